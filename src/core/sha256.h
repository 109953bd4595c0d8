// SHA-256 of a byte string (FIPS 180-4), for checking that a capture is the one that was written.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace nlx {

std::array<std::uint8_t, 32> sha256(std::span<const std::uint8_t> bytes);

// The digest as 64 lower-case hexadecimal digits.
std::string sha256_hex(std::span<const std::uint8_t> bytes);

// The digests of two strings at once, as sha256_hex gives them: with the SHA-256 instructions,
// faster than one after the other (a capture file and the data in it are both checked).
std::array<std::string, 2> sha256_hex_pair(std::span<const std::uint8_t> first, std::span<const std::uint8_t> second);

// sha256() uses the processor's SHA-256 instructions where it has them (and says so here);
// sha256_portable() never does. The two must always agree.
bool sha256_has_instructions();
std::array<std::uint8_t, 32> sha256_portable(std::span<const std::uint8_t> bytes);

}  // namespace nlx
