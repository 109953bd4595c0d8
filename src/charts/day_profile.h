// The 24-hour profile of a 24-hour run: the start of the series, the hour array, the day, night
// and day-night levels, and the EU day-evening-night level from the same hours.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "charts/chart.h"
#include "charts/group_rows.h"

namespace nlx::charts {

// Table positions of the columns a 24-hour run is read from.
struct DayColumns {
    std::size_t mode, time, leq;
};

// The first row of the run that `row` belongs to: back to a row whose MODE begins with "24h1"
// or "24h01", but never before the first row nor onto a row that is not part of a 24-hour run.
std::size_t day_series_start(const GroupRows& rows, const DayColumns& columns, std::size_t row);

struct DayProfile {
    std::array<double, 24> hours{};   // Leq of hour h at [h]; an hour absent from the run is 0 dB
    Chart chart;                      // the rows of the run as read, labelled by their hour
    long ld = 0, ln = 0, ldn = 0;     // tenths of a decibel
    std::size_t first_row = 0, last_row = 0;
};

// Reads up to 24 rows from `start` while their MODE begins with "24h".
DayProfile day_profile(const GroupRows& rows, const DayColumns& columns, std::size_t start);

// Ld (hours 06..21), Ln (00..05, 22, 23) and Ldn (night +10 dB) in tenths, rounded half away
// from zero.
void day_night_levels(const std::array<double, 24>& hours, long& ld, long& ln, long& ldn);

// A limit that holds over the hours from `first_hour` up to `end_hour` (not included); a period
// that passes midnight wraps, so 22 to 6 is the night.
struct PeriodLimit {
    int first_hour = 0, end_hour = 0;
    double level = 0;  // dB
    std::string label;
};

// The limits as lines over the profile chart's rows, each row in the period of its hour (its
// label): one line per stretch of consecutive rows, from half a row before the first to half a
// row after the last. A row whose label is not an hour 00 to 23 belongs to no period.
void mark_period_limits(Chart& profile_chart, const std::vector<PeriodLimit>& limits);

// The title label: "Ld= 60dB       Ln= 60dB       Ldn= 66dB".
std::string day_night_text(long ld, long ln, long ldn);

// Lden of ISO 1996-1 (EU Directive 2002/49/EC): day 07..19, evening 19..23 with +5 dB, night
// 23..07 with +10 dB, from the same hour array; in dB, unrounded.
double lden(const std::array<double, 24>& hours);

}  // namespace nlx::charts
