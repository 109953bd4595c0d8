// The chart series and levels: cumulative distribution, exceeded levels, the 24-hour run and its
// levels, the octave bands.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "charts/day_profile.h"
#include "charts/distribution_charts.h"
#include "charts/group_cells.h"
#include "charts/octave_chart.h"
#include "core/models.h"

namespace nlx::charts {
namespace {

using Percent = std::vector<std::optional<double>>;

// Record rows of a model with MODE, TIME and Leq set; every other cell empty.
struct Rows {
    const ModelInfo& model;
    std::vector<std::vector<std::string>> cells;

    explicit Rows(char letter) : model(*find_model(letter)) {}
    void add(const std::string& mode, const std::string& time, const std::string& leq) {
        std::vector<std::string> row(model.record_columns.size());
        row[0] = std::to_string(cells.size() + 1);
        row[std::size_t(*record_column_index(model, "MODE"))] = mode;
        row[std::size_t(*record_column_index(model, "TIME"))] = time;
        auto leq_at = record_column_index(model, "Leq");
        if (!leq_at) leq_at = record_column_index(model, "VLeq");
        row[std::size_t(*leq_at)] = leq;
        cells.push_back(row);
    }
    GroupRows rows() const {
        return {cells.size(), [this](std::size_t r, std::size_t p) { return p < cells[r].size() ? cells[r][p] : ""; }};
    }
};

std::string hour(int h) {
    std::string text = h < 10 ? "0" : "";
    text += std::to_string(h);
    text += ":00:00";
    return text;
}

TEST(Distribution, CumulativeFallsToZeroAndNeverBelow) {
    struct Case {
        const char* what;
        Percent percent;
        double last;
    } cases[] = {
        {"sums to 100.5", [] { Percent p(100, 0.0); p[20] = 60; p[21] = 40.5; return p; }(), 0},
        {"sums to 100", [] { Percent p(100, 1.0); return p; }(), 0},
        {"half the time missing", [] { Percent p(100); p[30] = 50; return p; }(), 50},
    };
    for (const auto& c : cases) {
        const auto above = time_above(c.percent);
        EXPECT_DOUBLE_EQ(above.back(), c.last) << c.what;
        for (double v : above) EXPECT_GE(v, 0) << c.what;
        EXPECT_EQ(cumulative_chart(*find_model('a'), c.percent, {}).values.back(), c.last) << c.what;
    }
}

TEST(Distribution, RowLabelsRunFromTheModelsFirstLevel) {
    for (auto [model, first, last] : {std::tuple{'a', "30", "120"}, {'b', "30", "120"}, {'d', "40", "130"}}) {
        const auto chart = distribution_chart(*find_model(model), Percent(100, 1.0));
        ASSERT_EQ(chart.rows(), 100u);
        EXPECT_EQ(chart.labels[0], first) << model;
        EXPECT_EQ(chart.labels[90], last) << model;
        for (std::size_t r = 0; r < 100; ++r) EXPECT_EQ(chart.labels[r].empty(), r % 10 != 0) << model << r;
    }
}

TEST(Distribution, ExceededLevelsReadAtBinEdges) {
    // 40 % at 50 dB, 60 % at 51 dB (model a, rows 21 and 22): 90 % of the time lies above
    // 49.5 + 0.1/0.4 = 49.75 dB, 50 % above 50.5 + 0.1/0.6 dB, and 10 % above 50.5 + 0.5/0.6 dB.
    Percent p(100, 0.0);
    p[20] = 40;
    p[21] = 60;
    const auto above = time_above(p);
    EXPECT_NEAR(*exceeded_level(*find_model('a'), above, 90), 49.75, 1e-9);
    EXPECT_NEAR(*exceeded_level(*find_model('a'), above, 50), 50.5 + 1.0 / 6, 1e-9);
    EXPECT_NEAR(*exceeded_level(*find_model('a'), above, 10), 50.5 + 5.0 / 6, 1e-9);
    EXPECT_FALSE(exceeded_level(*find_model('a'), time_above(Percent(100)), 50)) << "no time recorded";
    const auto chart = cumulative_chart(*find_model('a'), p, {61.5, std::nullopt, 53.5});
    ASSERT_EQ(chart.marks.size(), 3u);
    EXPECT_EQ(chart.marks[0].label, "L10 51.3");
    EXPECT_NE(chart.note.find("L10=61.5 L50=-- L90=53.5"), std::string::npos) << chart.note;
}

TEST(DayProfile, LevelsAndLabel) {
    struct Case {
        const char* what;
        double day, night;  // every day hour (06..21) and night hour at these levels; < 0: absent
        long ld, ln, ldn;
        const char* text;
    } cases[] = {
        {"constant 60 dB", 60, 60, 600, 600, 660, "Ld= 60dB       Ln= 60dB       Ldn= 66dB"},
        {"day hours absent", -1, 60, 0, 600, 652, "Ld= 0dB       Ln= 60dB       Ldn= 65.2dB"},  // lg((16 + 8e7) / 24)
        {"quiet night", 65.3, 40, 653, 400, 636, "Ld= 65.3dB       Ln= 40dB       Ldn= 63.6dB"},
    };
    for (const auto& c : cases) {
        Rows rows('b');
        for (int h = 0; h < 24; ++h) {
            const bool night = h <= 5 || h >= 22;
            const double level = night ? c.night : c.day;
            if (level >= 0) rows.add("24h" + std::to_string(rows.cells.size() + 1), hour(h), std::to_string(level));
        }
        const auto profile = run_day_profile(rows.model, rows.rows(), 0);
        ASSERT_TRUE(profile) << c.what;
        EXPECT_EQ(profile->ld, c.ld) << c.what;
        EXPECT_EQ(profile->ln, c.ln) << c.what;
        EXPECT_EQ(profile->ldn, c.ldn) << c.what;
        EXPECT_EQ(day_night_text(profile->ld, profile->ln, profile->ldn), c.text) << c.what;
    }
    EXPECT_EQ(day_night_text(-5, 0, 1234), "Ld=-0.5dB       Ln= 0dB       Ldn= 123.4dB");
}

TEST(DayProfile, RewindsToTheStartOfTheRun) {
    struct Case {
        std::vector<const char*> modes;
        std::size_t selected, start;
    } cases[] = {
        {{"STA", "24h1", "24h2", "24h3"}, 3, 1},
        {{"24h1", "24h2", "24h3"}, 2, 0},
        {{"24h14", "24h15", "24h20"}, 2, 1},  // "24h15" begins with "24h1"
        {{"24h01", "24h02", "24h03"}, 2, 0},
        {{"STA", "24h5", "24h6"}, 2, 1},      // a run without its first hour starts after STA
        {{"24h7", "24h8"}, 1, 0},             // or at the first row
    };
    for (const auto& c : cases) {
        Rows rows('c');
        for (const char* mode : c.modes) rows.add(mode, hour(int(rows.cells.size())), "50");
        const DayColumns columns{std::size_t(*record_column_index(rows.model, "MODE")),
                                 std::size_t(*record_column_index(rows.model, "TIME")),
                                 std::size_t(*record_column_index(rows.model, "Leq"))};
        EXPECT_EQ(day_series_start(rows.rows(), columns, c.selected), c.start) << c.modes[c.selected];
    }
}

TEST(DayProfile, ReadsTheRunOnlyAndIgnoresHoursOutsideTheDay) {
    Rows rows('d');
    rows.add("24h1", "07:00:00", "70");
    rows.add("24h2", "25:00:00", "99");
    rows.add("24h3", "09:00:00", "72.5");
    rows.add("STA", "10:00:00", "80");
    const auto profile = run_day_profile(rows.model, rows.rows(), 2);
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->first_row, 0u);
    EXPECT_EQ(profile->last_row, 2u);
    EXPECT_EQ(profile->chart.labels, (std::vector<std::string>{"07", "25", "09"}));
    std::array<double, 24> expected{};
    expected[7] = 70;
    expected[9] = 72.5;
    EXPECT_EQ(profile->hours, expected);
}

TEST(DayProfile, LdenOfTheEuropeanPeriods) {
    // 12 day hours at 60 dB, 4 evening hours at 55 (+5), 8 night hours at 50 (+10): every hour
    // counts as 60 dB, so Lden is 60 dB; with the night at 60 (+10) it is
    // 10 lg((16 * 10^6 + 8 * 10^7) / 24) = 66.02 dB.
    std::array<double, 24> hours{};
    for (int h = 0; h < 24; ++h) hours[std::size_t(h)] = (h >= 7 && h < 19) ? 60 : (h >= 19 && h < 23) ? 55 : 50;
    EXPECT_NEAR(lden(hours), 60.0, 1e-9);
    for (int h : {23, 0, 1, 2, 3, 4, 5, 6}) hours[std::size_t(h)] = 60;
    for (int h : {19, 20, 21, 22}) hours[std::size_t(h)] = 55;
    EXPECT_NEAR(lden(hours), 10 * std::log10((16e6 + 8e7) / 24), 1e-9);
    EXPECT_NEAR(lden(hours), 66.02, 0.005);
}

// The limits as lines over the stretches of rows whose hour lies in each period, wherever the run
// starts and whatever hours it lacks.
TEST(DayProfile, LimitLinesCoverTheRowsOfTheirPeriods) {
    const std::vector<PeriodLimit> day_night{{6, 22, 60, "day"}, {22, 6, 50, "night"}};
    auto hours = [](std::vector<std::string> labels) {
        Chart chart;
        for (auto& l : labels) chart.add(l, 60, "60.0");
        return chart;
    };
    auto from = [](int first, int count) {
        std::vector<std::string> labels;
        for (int k = 0; k < count; ++k) labels.push_back(hour((first + k) % 24).substr(0, 2));
        return labels;
    };
    const struct Case {
        const char* what;
        Chart chart;
        std::vector<PeriodLimit> limits;
        std::vector<ChartLevel> lines;
    } cases[] = {
        {"a run from midnight", hours(from(0, 24)), day_night,
         {{5.5, 21.5, 60, "day"}, {-0.5, 5.5, 50, "night"}, {21.5, 23.5, 50, "night"}}},
        {"a run from 14:00", hours(from(14, 24)), day_night,
         {{-0.5, 7.5, 60, "day"}, {15.5, 23.5, 60, "day"}, {7.5, 15.5, 50, "night"}}},
        {"hours 04-07 missing: the rows meet where the periods change", [&] {
             auto labels = from(0, 4);
             for (auto& l : from(8, 16)) labels.push_back(l);
             return hours(labels);
         }(), day_night, {{3.5, 17.5, 60, "day"}, {-0.5, 3.5, 50, "night"}, {17.5, 19.5, 50, "night"}}},
        {"a row with no hour breaks the stretch", hours({"10", "1A", "12", "", "24", "13"}), {{6, 22, 60, "day"}},
         {{-0.5, 0.5, 60, "day"}, {1.5, 2.5, 60, "day"}, {4.5, 5.5, 60, "day"}}},
        {"the EU night 23-07", hours(from(20, 12)), {{23, 7, 55, "Lnight"}}, {{2.5, 10.5, 55, "Lnight"}}},
        {"no rows", hours({}), day_night, {}},
    };
    for (const auto& c : cases) {
        Chart chart = c.chart;
        mark_period_limits(chart, c.limits);
        EXPECT_EQ(chart.levels, c.lines) << c.what;
        EXPECT_EQ(chart.values, c.chart.values) << c.what;  // the profile itself is left as it was
    }
}

TEST(Octave, BandsPerModel) {
    for (auto [model, bands, last] : {std::tuple{'b', 11u, "LA"}, {'c', 12u, "LC"}, {'d', 11u, "LA"}}) {
        Rows rows(model);
        rows.add("OCT", "10:00:00", "");
        for (std::size_t k = 1; k <= 12; ++k) rows.cells[0][k] = std::to_string(60 + k) + ".5";
        const auto chart = octave_chart(*find_model(model), rows.rows(), 0);
        ASSERT_EQ(chart.rows(), bands) << model;
        EXPECT_EQ(chart.labels.front(), "31.5");
        EXPECT_EQ(chart.labels.back(), last) << model;
        EXPECT_EQ(chart.values.back(), 60 + double(bands) + 0.5) << model;
    }
}

}  // namespace
}  // namespace nlx::charts
