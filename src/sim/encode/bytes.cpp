// Packed-decimal encoding, the inverse of the decoders' reading rules.
#include "sim/encode/bytes.h"

#include <cmath>

namespace nlx::sim {

std::uint8_t to_bcd(int value) { return std::uint8_t(((value / 10) % 10) << 4 | (value % 10)); }

void put_level_high_first(std::span<std::uint8_t> bytes, std::size_t o, double level) {
    int tenths = int(std::lround(level * 10));
    bytes[o] = to_bcd(tenths / 100);
    bytes[o + 1] = to_bcd(tenths % 100);
}

void put_level_low_first(std::span<std::uint8_t> bytes, std::size_t o, double level) {
    int tenths = int(std::lround(level * 10));
    bytes[o] = to_bcd(tenths % 100);
    bytes[o + 1] = to_bcd(tenths / 100);
}

void put_u16_be(std::span<std::uint8_t> b, std::size_t o, unsigned v) {
    b[o] = std::uint8_t(v >> 8);
    b[o + 1] = std::uint8_t(v);
}
void put_u16_le(std::span<std::uint8_t> b, std::size_t o, unsigned v) {
    b[o] = std::uint8_t(v);
    b[o + 1] = std::uint8_t(v >> 8);
}
void put_u24_be(std::span<std::uint8_t> b, std::size_t o, unsigned v) {
    b[o] = std::uint8_t(v >> 16);
    b[o + 1] = std::uint8_t(v >> 8);
    b[o + 2] = std::uint8_t(v);
}
void put_u24_le(std::span<std::uint8_t> b, std::size_t o, unsigned v) {
    b[o] = std::uint8_t(v);
    b[o + 1] = std::uint8_t(v >> 8);
    b[o + 2] = std::uint8_t(v >> 16);
}

}  // namespace nlx::sim
