// A group's cells by column name and the 24-hour run around a row.
#include "charts/group_cells.h"

#include "core/models.h"
#include "core/number_format.h"

namespace nlx::charts {
namespace {

std::optional<std::size_t> position(const ModelInfo& model, std::string_view name) {
    auto found = record_column_index(model, name);
    if (!found && name.substr(0, 1) != "V") found = record_column_index(model, std::string("V").append(name));
    return found ? std::optional<std::size_t>(std::size_t(*found)) : std::nullopt;
}

}  // namespace

std::string group_cell(const ModelInfo& model, const GroupRows& rows, std::size_t row, std::string_view name) {
    const auto at = position(model, name);
    return at && row < rows.count ? rows.text(row, *at) : std::string();
}

GroupKind row_kind(const ModelInfo& model, const GroupRows& rows, std::size_t row) {
    return group_kind(group_cell(model, rows, row, kModeColumn).substr(0, 3));
}

bool has_level_distribution(const ModelInfo& model, const GroupRows& rows, std::size_t row) {
    return model.has_distribution && row_kind(model, rows, row) != GroupKind::octave;
}

StoredPercentiles stored_percentiles(const ModelInfo& model, const GroupRows& rows, std::size_t row) {
    StoredPercentiles stored;
    const char* names[] = {"L10", "L50", "L90"};
    for (std::size_t k = 0; k < 3; ++k) stored[k] = parse_decimal(group_cell(model, rows, row, names[k]));
    return stored;
}

std::optional<DayProfile> run_day_profile(const ModelInfo& model, const GroupRows& rows, std::size_t row) {
    const auto mode = position(model, kModeColumn), time = position(model, "TIME"), leq = position(model, "Leq");
    if (!mode || !time || !leq || row >= rows.count) return std::nullopt;
    const DayColumns columns{*mode, *time, *leq};
    return day_profile(rows, columns, day_series_start(rows, columns, row));
}

}  // namespace nlx::charts
