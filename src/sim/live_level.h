// The level the virtual instrument reports to the live-level request, reading after reading.
#pragma once

#include <cstdint>

#include "sim/encode/seeded_random.h"

namespace nlx::sim {

// About 55.0 dB: a slow swing of ±4 dB (one cycle in 600 readings, a minute of 100 ms polls) with
// a random walk of at most ±1 dB on top, changing by at most 0.2 dB from one reading to the
// next. The same seed gives the same readings.
class LiveLevel {
public:
    explicit LiveLevel(std::uint32_t seed);

    // The next reading in tenths of a decibel, between 500 and 600.
    int next();

private:
    SeededRandom random_;
    double phase_;            // where on the swing the first reading falls
    std::uint64_t reading_ = 0;
    int walk_ = 0;            // tenths, within ±10
};

}  // namespace nlx::sim
