// Header fields models a, b and d store at the same offsets: weighting, date and time, codes,
// levels, duration, day number and the distribution in half percent.
#pragma once

#include <cstdint>
#include <span>

#include "sim/encode/group_stamp.h"

namespace nlx::sim {

// Statistical results of a group, in dB (E in the instrument's exposure unit), 0.0 to 999.9.
// Octave groups of model b put their 11 bands here in column order (see octave_levels); model d
// puts its vibration levels here, VLAV (VLAE) in lae.
struct StatLevels {
    double leq = 0, l5 = 0, l10 = 0, l50 = 0, l90 = 0, l95 = 0, sd = 0, lae = 0, lmax = 0,
           lmin = 0, e = 0;
};

// The shared fields of one group header; the groups of models a and b are built on them.
struct SharedHeader {
    std::uint8_t weighting = 0;  // high nibble time weighting, low nibble frequency weighting
    GroupStamp start;
    int set_time_code = 0, sampling_code = 0;
    StatLevels levels;
    Duration measured;
    std::uint8_t day_number = 0;  // shown after "24h": the group's place in its 24-hour run
};

// Writes bytes 3..11, 18..39, 42..45 of a header, and the distribution percentages (times 2,
// rounded, at most 255) from byte 48 on.
void put_shared_header(std::span<std::uint8_t> block, const SharedHeader& header,
                       std::span<const double> distribution_percent);

}  // namespace nlx::sim
