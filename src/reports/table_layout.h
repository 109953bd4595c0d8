// The table report's layout of each model: title, column header line, rulers and the cells of a
// printed row, one table row per model.
#pragma once

#include <string_view>
#include <vector>

#include "reports/cell_format.h"

namespace nlx {
struct ModelInfo;
}

namespace nlx::reports {

// One entry of a printed row: a run of spaces, a cell, or the end of a printed line.
struct RowEntry {
    enum class Kind { spaces, cell, line_end } kind;
    int spaces = 0;
    std::string_view column;
    CellKind cell = CellKind::text;
};

struct Ruler {
    int spaces, hyphens;
};

struct TableLayout {
    char model;
    std::string_view title;   // "NLX3140a测量结果  表"
    std::string_view header;  // the column header line
    Ruler header_ruler;       // at 10 points, under the header
    Ruler row_ruler;          // at 9 points, under each group
    std::vector<RowEntry> row;
};

// The model's layout; every model has one.
const TableLayout& table_layout(const ModelInfo& model);

}  // namespace nlx::reports
