// Transfer counts and capture files: the exact bytes an instrument sent after the request byte.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace nlx {

struct TransferFormat;

// Transfer count n from the two count bytes, by the model's formula (core/models): model c
// b2-128 blocks, model e 256*(b2-128)+b1 bytes, models a, b, d 128*b1+b2-16 blocks. Zero or
// negative means the instrument holds no data; a letter outside a..e gives 0.
std::int32_t transfer_count(const TransferFormat& format, std::uint8_t b1, std::uint8_t b2);
std::int32_t transfer_count(char model, std::uint8_t b1, std::uint8_t b2);

// The instrument's side: count bytes (b1, b2) with transfer_count(model, b1, b2) == n; nullopt
// when no pair of bytes gives n.
std::optional<std::array<std::uint8_t, 2>> count_bytes(const TransferFormat& format, std::int32_t n);
std::optional<std::array<std::uint8_t, 2>> count_bytes(char model, std::int32_t n);

// Bytes one unit of n stands for: 1 for model e, a 256-byte block for the others.
std::size_t transfer_unit(char model);

// Bytes the transfer announces: n units, 0 when n <= 0.
std::size_t announced_bytes(const TransferFormat& format, std::int32_t n);
std::size_t announced_bytes(char model, std::int32_t n);

// A capture file: the two count bytes, then the data as it arrived (possibly short).
struct Capture {
    std::uint8_t b1 = 0, b2 = 0;
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> capture_bytes(const Capture& capture);
Result<Capture> parse_capture(std::span<const std::uint8_t> bytes);

// Reads and parses a capture file; the message names the file.
Result<Capture> read_capture_file(const std::filesystem::path& file);

}  // namespace nlx
