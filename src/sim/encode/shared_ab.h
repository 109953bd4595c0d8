// Header fields models a and b share: levels, date and time, codes, duration, distribution.
#pragma once

#include <span>

#include "sim/encode/encode_ab.h"

namespace nlx::sim {

// Writes bytes 3..11, 18..39, 42..45 of a header, and the distribution percentages (times 2,
// rounded, at most 255) from byte 48 on.
void put_shared_ab(std::span<std::uint8_t> block, std::uint8_t weighting, const Stamp& start,
                   int set_time_code, int sampling_code, const StatLevels& levels,
                   const Duration& measured, std::uint8_t day_number,
                   std::span<const double> distribution_percent);

}  // namespace nlx::sim
