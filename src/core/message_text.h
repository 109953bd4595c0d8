// Pieces of operator messages: a field echoed safely and a system error in plain words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nlx {

inline constexpr std::size_t kShownFieldChars = 40;

// `bytes` as it may appear inside a message: bytes outside printable ASCII become \xNN, and the
// result is cut to at most `max_chars` characters followed by "..." when anything was left out,
// so a huge or binary field never floods a message.
std::string shown_text(std::string_view bytes, std::size_t max_chars = kShownFieldChars);

// An errno value in plain English words ("permission denied", "the disk is full"), the same in
// every locale; an unusual value gives "system error N".
std::string errno_text(int error);

}  // namespace nlx
