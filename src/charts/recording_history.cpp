// Time history of a recording: stretches of equal time, each as its equivalent level.
#include "charts/recording_history.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "core/level_statistics.h"
#include "core/texts.h"

namespace nlx::charts {
namespace {
// Energies are taken relative to 100 dB so that no level overflows or vanishes.
constexpr double kReference = 1000;  // tenths
}

HistoryBuilder::HistoryBuilder(long long duration_ms, std::size_t points) {
    if (points == 0) points = 1;
    // Stretches of whole 100 ms ticks, at least one; a short recording draws every sample.
    const long long ticks = duration_ms / 100 + 1;
    const long long per = (ticks + (long long)points - 1) / (long long)points;
    span_ms_ = per * 100;
    stretches_.resize(std::size_t(duration_ms / span_ms_ + 1));
}

void HistoryBuilder::add(long long offset_ms, std::optional<int> tenths) {
    if (!tenths || offset_ms < 0) return;
    std::size_t k = std::size_t(offset_ms / span_ms_);
    if (k >= stretches_.size()) k = stretches_.size() - 1;
    stretches_[k].energy += std::pow(10.0, (*tenths - kReference) / 100.0);
    ++stretches_[k].levels;
}

Chart HistoryBuilder::chart(long long started_ms, const std::string& title) const {
    Chart c;
    c.style = ChartStyle::line;
    c.title = title;
    c.x_title = std::string(nlx::tr(texts::kHistoryTime));
    c.y_title = "dB";
    const std::size_t label_every = stretches_.size() / 8 + 1;
    std::size_t gaps = 0;
    for (std::size_t k = 0; k < stretches_.size(); ++k) {
        std::string label;
        if (k % label_every == 0) {
            const std::time_t t = std::time_t((started_ms + (long long)k * span_ms_) / 1000);
            std::tm tm{};
            localtime_r(&t, &tm);
            char buf[16];
            std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
            label = buf;
        }
        const Stretch& s = stretches_[k];
        if (s.levels == 0) {
            ++gaps;
            c.add(label, 0, std::string(nlx::tr(texts::kHistoryGap)));
            continue;
        }
        const int tenths = int(std::lround(kReference + 100.0 * std::log10(s.energy / double(s.levels))));
        c.add(label, tenths / 10.0, tenths_text(tenths) + "dB");
    }
    c.note = texts::history_stretch(tenths_text(int(span_ms_ / 100)));
    if (gaps) c.note += "  " + texts::history_gaps(gaps);
    return c;
}

}  // namespace nlx::charts
