// Grid rows as report rows.
#include "app/grid_rows.h"

#include "app/qt_text.h"

namespace nlx::app {

reports::ReportRows grid_report_rows(const RecordGridModel& cells) {
    reports::ReportRows rows;
    rows.columns = cells.table_columns();
    for (int r = 0; r < cells.rowCount(); ++r) {
        RecordRow row;
        for (std::size_t c = 0; c < rows.columns.size(); ++c) row.push_back(utf8(cells.text(r, int(c) + 1)));
        rows.rows.push_back(std::move(row));
    }
    return rows;
}

charts::GroupRows grid_group_rows(const RecordGridModel& cells) {
    return {std::size_t(cells.rowCount()), [&cells](std::size_t row, std::size_t position) {
                return utf8(cells.text(int(row), int(position) + 1));
            }};
}

}  // namespace nlx::app
