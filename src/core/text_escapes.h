// Text written into CSV fields and JSON strings, the same way by every command.
#pragma once

#include <string>
#include <string_view>

namespace nlx {

// `text` in double quotes, each quote doubled: a CSV field that may hold commas and line breaks.
std::string quoted_csv(std::string_view text);

// `text` as a JSON string: quotes, backslashes and control characters escaped; UTF-8 kept.
std::string json_string(std::string_view text);

}  // namespace nlx
