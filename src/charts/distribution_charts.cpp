// Distribution and cumulative distribution of one group.
#include "charts/distribution_charts.h"

#include <string>

#include "core/number_format.h"
#include "core/texts.h"

namespace nlx::charts {
namespace {

double percent_at(std::span<const std::optional<double>> percent, int row) {
    return std::size_t(row) < percent.size() && percent[std::size_t(row)] ? *percent[std::size_t(row)] : 0.0;
}

std::string row_label(const ModelInfo& model, int row) {
    return row % 10 == 0 ? std::to_string(row + model.distribution_first_level) : std::string();
}

std::string level_name(const ModelInfo& model, int row) { return std::to_string(row + model.distribution_first_level) + " dB"; }

Chart distribution_axes() {
    Chart chart;
    chart.tooltip = std::string(nlx::tr(texts::kDistributionTooltip));
    chart.x_title = std::string(nlx::tr(texts::kLevelAxis));
    chart.y_title = std::string(nlx::tr(texts::kPercentAxis));
    return chart;
}

std::string one_decimal(const std::optional<double>& level) {
    return level ? format_number(*level, "##0.0") : std::string("--");
}

}  // namespace

Chart distribution_chart(const ModelInfo& model, std::span<const std::optional<double>> percent) {
    Chart chart = distribution_axes();
    chart.style = ChartStyle::bars;
    chart.title = std::string(nlx::tr(texts::kDistributionTitle));
    for (int row = 0; row < kDistributionRows; ++row) {
        double value = percent_at(percent, row);
        chart.add(row_label(model, row), value, plain_number_text(value) + " %", level_name(model, row));
    }
    return chart;
}

std::array<double, kDistributionRows> time_above(std::span<const std::optional<double>> percent) {
    std::array<double, kDistributionRows> above{};
    double remaining = 100;
    for (int row = 0; row < kDistributionRows; ++row) {
        remaining -= percent_at(percent, row);
        if (remaining < 0) remaining = 0;
        above[std::size_t(row)] = remaining;
    }
    return above;
}

std::optional<double> exceeded_level(const ModelInfo& model, const std::array<double, kDistributionRows>& above, double percent) {
    // Row i holds the time at its level rounded to whole decibels, so what remains after it lies
    // above its level + 0.5 dB; before row 1 the whole time lies above its level - 0.5 dB.
    double previous = 100, previous_edge = model.distribution_first_level - 0.5;
    for (int row = 0; row < kDistributionRows; ++row) {
        const double edge = model.distribution_first_level + row + 0.5;
        const double now = above[std::size_t(row)];
        if (now <= percent) {
            if (previous <= now) return edge;
            return previous_edge + (previous - percent) / (previous - now);
        }
        previous = now;
        previous_edge = edge;
    }
    return std::nullopt;
}

Chart cumulative_chart(const ModelInfo& model, std::span<const std::optional<double>> percent, const StoredPercentiles& stored) {
    Chart chart = distribution_axes();
    chart.style = ChartStyle::line;
    chart.title = std::string(nlx::tr(texts::kCumulativeTitle));
    chart.y_max = 100;
    // What remains after a row lies above the row's upper bin edge, half a decibel up: the line
    // is drawn there, so it crosses 10, 50 and 90 % where the marks stand.
    chart.x_shift = 0.5;
    const auto above = time_above(percent);
    for (int row = 0; row < kDistributionRows; ++row)
        chart.add(row_label(model, row), above[std::size_t(row)], plain_number_text(above[std::size_t(row)]) + " %",
                  level_name(model, row));

    static constexpr double kPercents[] = {10, 50, 90};
    std::string ours, theirs;
    for (int k = 0; k < 3; ++k) {
        const std::string name = std::string("L").append(std::to_string(int(kPercents[k])));
        const auto level = exceeded_level(model, above, kPercents[k]);
        if (level) chart.marks.push_back({*level - model.distribution_first_level, name + " " + one_decimal(level)});
        ours += " " + name + "=" + one_decimal(level);
        theirs += " " + name + "=" + one_decimal(stored[std::size_t(k)]);
    }
    chart.note = texts::percentile_note(ours, theirs);
    return chart;
}

}  // namespace nlx::charts
