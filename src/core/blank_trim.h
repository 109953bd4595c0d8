// A line of a small settings file with the blanks around it left off.
#pragma once

#include <string_view>

namespace nlx {

// `s` without its leading spaces and tabs and its trailing spaces, tabs and carriage return
// (a line written on Windows).
inline std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace nlx
