// Live-level scales of the models and the reading of a reply.
#include "core/monitor_scale.h"

#include "core/number_format.h"

namespace nlx {

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
