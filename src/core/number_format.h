// Number patterns ("00", "#00.0", "##0.0", ...) and plain decimal text, independent of the locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nlx {

// Formats a value with a pattern: "0" a digit always shown, "#" a digit shown when significant,
// "." the decimal point. Rounds half away from zero on the value's decimal form (its shortest
// text of at most 15 significant digits), so 2.25 with "##0.0" gives 2.3 and 1.005 with "#0.00"
// gives 1.01. Negative values get a leading "-" (dropped when the rounded result is zero).
std::string format_number(double value, std::string_view pattern);

// Formats a text: one that reads as a decimal number is formatted as that number; any other
// text (such as the digit text "1A" of a byte with a nibble above 9) comes back unchanged.
std::string format_text(std::string_view text, std::string_view pattern);

// The plain decimal text of a number stored unformatted: rounded to 15 significant digits,
// trailing zeros and a trailing point removed (85.6, 85, 23.5; 0.12 * 100 gives 12).
std::string plain_number_text(double value);

// Fast forms of the two above for the whole numbers a decoder formats by the thousand: the
// text format_number(v, "00…0") gives with `digits` zeros ("07", "123"), and the text
// plain_number_text(tenths / 10.0) gives ("85.6", "85", "0.5").
std::string whole_number_text(unsigned long long v, std::size_t digits);
std::string plain_tenths_text(unsigned long long tenths);
// The same for the levels a header holds in tenths of a dB: the text format_number(tenths /
// 10.0, pattern) gives for a pattern of one decimal with `whole_digits` zeros before the point
// ("#00.0": 2, "##0.0": 1).
std::string tenths_text(unsigned long long tenths, std::size_t whole_digits);

// Parses a plain decimal number ("-12.5", " 7 "), nullopt for anything else.
std::optional<double> parse_decimal(std::string_view text);

}  // namespace nlx
