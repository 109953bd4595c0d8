// The time history of a recording as a line chart: at most a set number of points, each the
// equivalent level of its stretch of samples, so a 24-hour recording draws as fast as a minute.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "charts/chart.h"

namespace nlx::charts {

class HistoryBuilder {
public:
    // `duration_ms`: the offset of the recording's last sample; `points`: the most drawn.
    HistoryBuilder(long long duration_ms, std::size_t points);
    // A sample `offset_ms` into the recording: a level in tenths of a decibel, or a gap.
    void add(long long offset_ms, std::optional<int> tenths);
    // The chart: one row per stretch, its LAeq in dB; a stretch with no level shows as 0 dB with
    // the text 间隙. Labels are clock times ("14:03:27") of about eight rows; `started_ms` is the
    // wall clock of the first sample and `title` the chart's title.
    Chart chart(long long started_ms, const std::string& title) const;

private:
    struct Stretch {
        double energy = 0;  // sum of 10^(L/10) relative to 10^(kReference/10)
        std::size_t levels = 0;
    };
    long long span_ms_;  // of one stretch
    std::vector<Stretch> stretches_;
};

}  // namespace nlx::charts
