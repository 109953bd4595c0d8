// UTF-8 to GBK, the character code of every text file and printer stream the program writes.
#pragma once

#include <string>
#include <string_view>

#include "core/result.h"

namespace nlx {

// Converts UTF-8 text to GBK; a character GBK cannot hold is an error naming it.
Result<std::string> to_gbk(std::string_view utf8);

// Converts GBK bytes back to UTF-8 (for reading files and tests).
Result<std::string> from_gbk(std::string_view gbk);

}  // namespace nlx
