// Bounded reads of regular files that never block on a pipe or a device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace nlx {

// The whole contents of `file`, which must be a regular file (or a link to one) of at most
// `max_bytes` bytes. A folder, named pipe, device or socket is refused without being opened for
// reading, a larger file without being read. Every message begins with the file's name and says
// what is wrong: "<file> is missing", "<file> is not a regular file (it is a folder)",
// "<file> is larger than 4096 bytes", "<file> cannot be read: permission denied".
Result<std::string> read_regular_file(const std::filesystem::path& file, std::size_t max_bytes);
// The same, as bytes.
Result<std::vector<std::uint8_t>> read_regular_bytes(const std::filesystem::path& file, std::size_t max_bytes);

// Whether `file` is a regular file (not a link) holding exactly `bytes`. A file of another size
// is not read; anything that cannot be opened or read counts as not holding them. `scratch` is a
// buffer the caller keeps between calls so that comparing many files allocates once.
bool file_holds(const std::filesystem::path& file, std::string_view bytes, std::string& scratch);
// The same for `name` in the open folder `folder_fd` (one path step instead of the whole path),
// for a caller that has already seen the file's size: the file is opened and read at once.
bool file_holds_at(int folder_fd, const char* name, std::string_view bytes, std::string& scratch);

}  // namespace nlx
