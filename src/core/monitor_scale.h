// The live level of each model: the scale under the monitor's bar, the quantity it shows, and
// how the instrument's reply value becomes the level shown and the bar's position.
#pragma once

#include "core/models.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace nlx {

inline constexpr int kBarMinimum = 30, kBarMaximum = 130;

// One reply of the instrument: f, tenths of a decibel, low byte first.
struct LiveLevel {
    double f = 0;           // dB as the instrument counts it
    double shown = 0;       // f + the model's shown offset
    double bar = 0;         // f + the model's bar offset
    std::string text;       // "Lp=85.6dB"
    bool bar_in_range = false;
};
LiveLevel live_level(const MonitorScale& scale, std::uint8_t low, std::uint8_t high);

// A level written as "###.0": no leading zeros, one decimal (85.6, .5, 115.6).
std::string live_level_text(double level);

}  // namespace nlx
