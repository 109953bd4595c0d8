// The groups a report prints: record rows of text cells under their column names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rows.h"

namespace nlx::reports {

struct ReportRows {
    std::vector<std::string> columns;
    std::vector<RecordRow> rows;

    std::size_t size() const { return rows.size(); }
    // The cell of `row` in the column named `name` (letter case ignored); nullopt when the
    // column is absent or the cell is NULL.
    Cell cell(std::size_t row, std::string_view name) const;
    // The cell at a table position; nullopt past the row's cells.
    Cell at(std::size_t row, std::size_t position) const;
};

}  // namespace nlx::reports
