// Live-level scales of the models and the reading of a reply.
#include "core/monitor_scale.h"

#include "core/number_format.h"

namespace nlx {

const MonitorScale* monitor_scale(char model) {
    static constexpr std::array<MonitorScale, 5> scales = {{
        {'a', {"30", "80", "130"}, "声级", 30, 30},
        {'b', {"30", "80", "130"}, "声级", 30, 30},
        {'c', {"0", "50", "100"}, "声级", 0, 30},
        {'d', {"40", "90", "140"}, "振级", 40, 30},
        {'e', {"30", "80", "130"}, "声级", 0, 0},
    }};
    for (const auto& scale : scales)
        if (scale.model == model) return &scale;
    return nullptr;
}

std::string live_level_text(double level) { return format_number(level, "###.0"); }

LiveLevel live_level(const MonitorScale& scale, std::uint8_t low, std::uint8_t high) {
    LiveLevel level;
    // Tenths of a decibel, low byte first.
    const int tenths = high * 256 + low;
    level.f = tenths / 10.0;
    // Whole tenths added to whole decibels: exact in tenths, then back to dB.
    level.shown = (tenths + 10 * scale.shown_offset) / 10.0;
    level.bar = (tenths + 10 * scale.bar_offset) / 10.0;
    level.text = std::string("Lp=").append(live_level_text(level.shown)).append("dB");
    level.bar_in_range = level.bar >= kBarMinimum && level.bar <= kBarMaximum;
    return level;
}

}  // namespace nlx
