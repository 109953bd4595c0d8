// 24-hour profile and its levels.
#include "charts/day_profile.h"

#include <cmath>

#include "core/number_format.h"
#include "core/texts.h"

namespace nlx::charts {
namespace {

bool begins(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

double power(double level) { return std::pow(10.0, level / 10.0); }

bool night_hour(int h) { return h <= 5 || h >= 22; }

std::string tenths_text(long tenths) {
    return std::string(tenths >= 0 ? " " : "").append(plain_number_text(double(tenths) / 10.0));
}

}  // namespace

GroupKind group_kind(std::string_view mode) {
    if (begins(mode, "24h")) return GroupKind::day_profile;
    if (begins(mode, "OCT")) return GroupKind::octave;
    return GroupKind::statistics;
}

std::size_t day_series_start(const GroupRows& rows, const DayColumns& columns, std::size_t row) {
    auto mode = [&](std::size_t r) { return rows.text(r, columns.mode); };
    while (!begins(mode(row), "24h1") && !begins(mode(row), "24h01")) {
        if (row == 0) return 0;
        --row;
        if (!begins(mode(row), "24h")) return row + 1;
    }
    return row;
}

DayProfile day_profile(const GroupRows& rows, const DayColumns& columns, std::size_t start) {
    DayProfile profile;
    Chart& chart = profile.chart;
    chart.style = ChartStyle::line;
    chart.title = std::string(nlx::tr(texts::kDayProfileTitle));
    chart.tooltip = std::string(nlx::tr(texts::kDayProfileTooltip)) + "\n" + std::string(nlx::tr(texts::kDayNightHours));
    chart.x_title = std::string(nlx::tr(texts::kHourAxis));
    chart.y_title = std::string(nlx::tr(texts::kLevelAxis));
    profile.first_row = profile.last_row = start;
    for (std::size_t r = start; r < rows.count && r < start + 24; ++r) {
        if (r > start && !begins(rows.text(r, columns.mode), "24h")) break;
        const std::string hour_text = rows.text(r, columns.time).substr(0, 2);
        const std::string leq = rows.text(r, columns.leq);
        const double hour = leading_number(hour_text);
        if (hour >= 0 && hour <= 23 && hour == std::floor(hour)) profile.hours[std::size_t(hour)] = leading_number(leq);
        chart.add(hour_text, leading_number(leq), leq);
        profile.last_row = r;
    }
    day_night_levels(profile.hours, profile.ld, profile.ln, profile.ldn);
    return profile;
}

namespace {

// The hour of a row label: one or two digits, 0 to 23.
std::optional<int> label_hour(std::string_view label) {
    if (label.empty() || label.size() > 2) return std::nullopt;
    int hour = 0;
    for (char c : label) {
        if (c < '0' || c > '9') return std::nullopt;
        hour = hour * 10 + (c - '0');
    }
    return hour <= 23 ? std::optional<int>(hour) : std::nullopt;
}

bool in_period(int hour, const PeriodLimit& limit) {
    if (limit.first_hour <= limit.end_hour) return hour >= limit.first_hour && hour < limit.end_hour;
    return hour >= limit.first_hour || hour < limit.end_hour;
}

}  // namespace

void mark_period_limits(Chart& chart, const std::vector<PeriodLimit>& limits) {
    for (const auto& limit : limits) {
        constexpr std::size_t kNone = std::size_t(-1);
        std::size_t first = kNone;  // the first row of the stretch being drawn
        auto close = [&](std::size_t end) {
            if (first != kNone) chart.levels.push_back({double(first) - 0.5, double(end) - 0.5, limit.level, limit.label});
            first = kNone;
        };
        for (std::size_t r = 0; r < chart.labels.size(); ++r) {
            const auto hour = label_hour(chart.labels[r]);
            if (hour && in_period(*hour, limit)) {
                if (first == kNone) first = r;
            } else {
                close(r);
            }
        }
        close(chart.labels.size());
    }
}

void day_night_levels(const std::array<double, 24>& hours, long& ld, long& ln, long& ldn) {
    double day = 0, night = 0, night_weighted = 0;
    for (int h = 0; h < 24; ++h) {
        if (night_hour(h)) {
            night += power(hours[std::size_t(h)]);
            night_weighted += power(hours[std::size_t(h)] + 10);
        } else {
            day += power(hours[std::size_t(h)]);
        }
    }
    ld = std::lround(100 * std::log10(day / 16));
    ln = std::lround(100 * std::log10(night / 8));
    ldn = std::lround(100 * std::log10((day + night_weighted) / 24));
}

std::string day_night_text(long ld, long ln, long ldn) {
    return "Ld=" + tenths_text(ld) + "dB" + "       Ln=" + tenths_text(ln) + "dB" + "       Ldn=" + tenths_text(ldn) + "dB";
}

double lden(const std::array<double, 24>& hours) {
    double sum = 0;
    for (int h = 0; h < 24; ++h) {
        const double level = hours[std::size_t(h)];
        if (h >= 7 && h < 19) sum += power(level);
        else if (h >= 19 && h < 23) sum += power(level + 5);
        else sum += power(level + 10);
    }
    return 10 * std::log10(sum / 24);
}

}  // namespace nlx::charts
