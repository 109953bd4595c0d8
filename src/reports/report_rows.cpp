// Cells of the report rows by column name.
#include "reports/report_rows.h"

#include "core/models.h"

namespace nlx::reports {

Cell ReportRows::at(std::size_t row, std::size_t position) const {
    if (row >= rows.size() || position >= rows[row].size()) return std::nullopt;
    return rows[row][position];
}

Cell ReportRows::cell(std::size_t row, std::string_view name) const {
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (same_column_name(columns[c], name)) return at(row, c);
    return std::nullopt;
}

}  // namespace nlx::reports
