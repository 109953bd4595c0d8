// The cells of a group that the charts read, found by the model's column names, and the 24-hour
// profile of the run a row belongs to: shared by the window's charts and `nlx chart`.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "charts/day_profile.h"
#include "charts/distribution_charts.h"
#include "charts/group_rows.h"
#include "core/models.h"

namespace nlx::charts {

// The text of a named column of `row`; the vibration model's "VLeq" answers for "Leq". "" when
// the model has no such column.
std::string group_cell(const ModelInfo& model, const GroupRows& rows, std::size_t row, std::string_view name);

// What 分布图 draws for the group in `row`, from the first three characters of its MODE.
GroupKind row_kind(const ModelInfo& model, const GroupRows& rows, std::size_t row);

// Whether the group has a level distribution to draw: an octave group's Leq .. E columns hold its
// band levels, and what its distribution row holds is no distribution of its level.
bool has_level_distribution(const ModelInfo& model, const GroupRows& rows, std::size_t row);

// The instrument's own L10, L50, L90 of the group (VL10.. for model d), where they read as numbers.
StoredPercentiles stored_percentiles(const ModelInfo& model, const GroupRows& rows, std::size_t row);

// The 24-hour profile of the run `row` belongs to, from the run's first row; nullopt for a model
// without MODE, TIME or Leq columns.
std::optional<DayProfile> run_day_profile(const ModelInfo& model, const GroupRows& rows, std::size_t row);

}  // namespace nlx::charts
