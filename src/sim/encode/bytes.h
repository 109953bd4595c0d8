// Byte-level building blocks of the instruments' layouts: packed decimal and packed levels.
#pragma once

#include <cstdint>
#include <span>

namespace nlx::sim {

// A value 0..99 as a packed-decimal byte (tens in the high nibble): 25 -> 25h.
std::uint8_t to_bcd(int value);

// A level in dB (0.0 .. 999.9, rounded to tenths) as a packed level, high byte first:
// 74.5 -> 07h 45h at offsets o, o+1.
void put_level_high_first(std::span<std::uint8_t> bytes, std::size_t o, double level);

// The same digit pairs low byte first (model c): 85.6 -> 56h 08h.
void put_level_low_first(std::span<std::uint8_t> bytes, std::size_t o, double level);

// Unsigned integers in both byte orders.
void put_u16_be(std::span<std::uint8_t> bytes, std::size_t o, unsigned value);
void put_u16_le(std::span<std::uint8_t> bytes, std::size_t o, unsigned value);
void put_u24_be(std::span<std::uint8_t> bytes, std::size_t o, unsigned value);
void put_u24_le(std::span<std::uint8_t> bytes, std::size_t o, unsigned value);

}  // namespace nlx::sim
