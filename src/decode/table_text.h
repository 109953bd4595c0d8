// Helpers of the code tables of every model: a code looked up in a table of texts, and the mode
// text of a group of a 24-hour run.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nlx {

// The text of `code`, nullopt for a code outside the table.
template <std::size_t N>
std::optional<std::string> table_text(const std::array<std::string_view, N>& table, int code) {
    if (code < 0 || code >= int(N)) return std::nullopt;
    return std::string(table[std::size_t(code)]);
}

// "24h" followed by the group's day number as a plain decimal number.
inline std::string day_mode_text(std::uint8_t day) { return "24h" + std::to_string(day); }

}  // namespace nlx
