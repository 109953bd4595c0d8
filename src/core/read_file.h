// Bounded reading of a file the program is given: a regular file only, never more than a limit.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "core/result.h"

namespace nlx {

// The whole of `file` when it is a regular file of at most `max_bytes`. A FIFO, a device or a
// folder is refused at once without being read (so it cannot block or run on without end), and so
// is a larger file; the message names the file and says which.
Result<std::string> read_regular_file(const std::filesystem::path& file, std::size_t max_bytes);

}  // namespace nlx
