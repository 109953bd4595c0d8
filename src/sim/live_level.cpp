// The virtual instrument's live level: a seeded slow swing and random walk around 55 dB.
#include "sim/live_level.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nlx::sim {
namespace {

constexpr int kCentre = 550;       // tenths of a decibel
constexpr double kSwing = 40.0;    // tenths
constexpr double kPeriod = 600.0;  // readings
constexpr int kWalkLimit = 10;     // tenths

}  // namespace

LiveLevel::LiveLevel(std::uint32_t seed) : random_(seed), phase_(random_.uniform(0.0, 2 * std::numbers::pi)) {}

int LiveLevel::next() {
    walk_ = std::clamp(walk_ + random_.integer(-1, 1), -kWalkLimit, kWalkLimit);
    const double swing = kSwing * std::sin(2 * std::numbers::pi * double(reading_++) / kPeriod + phase_);
    return kCentre + int(std::lround(swing)) + walk_;
}

}  // namespace nlx::sim
