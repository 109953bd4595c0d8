// The operator texts of the database-file commands, shown exactly as written here.
#pragma once

#include <string_view>

namespace nlx::messages {

// Open refused: wrong name, missing file, not a record database, or no record table of the model.
inline constexpr std::string_view kOpenFailed = "打开的文件不存在或格式错误";
inline constexpr std::string_view kOpenFailedTitle = "用户操作错误提示";

// Save-as onto the file being copied.
inline constexpr std::string_view kSameName = "新文件名与被复制文件名相同，请重新输入新文件名。";
// Save-as failed for any other reason.
inline constexpr std::string_view kSaveFailed = "存盘时出错，可能是文件名相同，请重新操作";

}  // namespace nlx::messages
