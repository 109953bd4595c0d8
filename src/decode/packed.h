// Packed-decimal bytes and the texts built from them: BCD, digit texts, levels, dates and times.
#pragma once

#include <cstdint>
#include <string>

namespace nlx {

inline int high_nibble(std::uint8_t x) { return x >> 4; }
inline int low_nibble(std::uint8_t x) { return x & 0x0F; }

// Packed-decimal byte: tens in the high nibble, units in the low: (x \ 16) * 10 + (x mod 16).
inline int BCD(int x) { return (x / 16) * 10 + (x % 16); }

// The byte in upper-case hexadecimal without leading zeros: 5 for 05h, 12 for 12h, 1A for 1Ah.
std::string digit_text(std::uint8_t x);

// The digit text with the pattern "00": 05 for 05h; a digit text that is no number passes as is.
std::string two_digit_text(std::uint8_t x);

// Packed level, high byte first (models a, b, d): 10*(10*H(hi)+L(hi)) + H(lo) + L(lo)/10.
double packed_level(std::uint8_t first, std::uint8_t second);

// Packed level, low byte first (model c): the same digit pairs with the bytes swapped.
double packed_level_low_first(std::uint8_t first, std::uint8_t second);

// Standard-deviation variant: the first byte counts as a plain number: 10*first + H + L/10.
double sd_level(std::uint8_t first, std::uint8_t second);

// packed_level and sd_level in whole tenths, which their texts are made from.
int packed_tenths(std::uint8_t first, std::uint8_t second);
int sd_tenths(std::uint8_t first, std::uint8_t second);

// Single-byte decimal in tenths: H(x) + L(x)/10 is single_byte_tenths(x) / 10.
int single_byte_tenths(std::uint8_t x);

// "DATE": two-digit texts joined by "-"; "TIME": joined by ":".
std::string date_text(std::uint8_t year, std::uint8_t month, std::uint8_t day);
std::string time_text(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds);

// 测量时间: digit texts with "h", "m", "s": 01h 30h 00h give 1h30m0s.
std::string duration_text(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds);

}  // namespace nlx
