// The level distribution of a statistical group and its cumulative "time above the level".
#pragma once

#include <array>
#include <optional>
#include <span>

#include "charts/chart.h"
#include "core/models.h"

namespace nlx::charts {

inline constexpr int kDistributionRows = 100;

// The level in dB a distribution row stands for: row i (1..100) is i + 29 dB, for the vibration
// model d i + 39 dB (the model's first level - 1).

// MSChart1: the percentage of time at each 1 dB step; `percent[k]` is position k + 1 of the
// distribution row (a missing value counts as 0). Rows 1, 11, .., 91 carry the level.
Chart distribution_chart(const ModelInfo& model, std::span<const std::optional<double>> percent);

// The cumulative series: after row i, 100 minus the percentages of rows 1..i, never below 0.
std::array<double, kDistributionRows> time_above(std::span<const std::optional<double>> percent);

// The level exceeded `percent` % of the time, read off the cumulative series by linear
// interpolation between rows; nullopt when the series never falls to `percent`.
std::optional<double> exceeded_level(const ModelInfo& model, const std::array<double, kDistributionRows>& above, double percent);

// The instrument's own L10, L50 and L90 of the group, when the record row has them.
using StoredPercentiles = std::array<std::optional<double>, 3>;

// MSChart2: the cumulative series as a line, with L10, L50 and L90 marked where the series
// crosses 10, 50 and 90 %, and a note comparing them with the instrument's stored values.
Chart cumulative_chart(const ModelInfo& model, std::span<const std::optional<double>> percent, const StoredPercentiles& stored);

}  // namespace nlx::charts
