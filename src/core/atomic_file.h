// Whole-file writes that either replace the file completely or leave it as it was.
#pragma once

#include <filesystem>
#include <string_view>

#include "core/result.h"

namespace nlx {

// Writes `bytes` to a temporary file beside `file`, flushes it to disk, then renames it over
// `file`. On failure the temporary file is removed and the message names `file`.
Result<void> write_file_atomically(const std::filesystem::path& file, std::string_view bytes);

}  // namespace nlx
