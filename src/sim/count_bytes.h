// The instrument's side of the transfer count: the two count bytes for a count n, sample content.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "decode/capture.h"

namespace nlx::sim {

// Count bytes (b1, b2) that make transfer_count(model, b1, b2) == n; nullopt when no pair does.
std::optional<std::pair<std::uint8_t, std::uint8_t>> count_bytes(char model, std::int32_t n);

// A transfer announcing n units (blocks, or bytes for model e) filled with a fixed byte pattern
// that depends on `seed`; the bytes are not valid groups, only a known content to compare.
Capture patterned_capture(char model, std::int32_t n, unsigned seed = 1);

}  // namespace nlx::sim
