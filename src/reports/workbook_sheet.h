// The exported workbook's one sheet as data: title, headings and the text of every cell.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/models.h"
#include "core/rows.h"
#include "reports/report_rows.h"

namespace nlx::reports {

struct WorkbookSheet {
    std::string name = "sheet1";
    std::string title;                  // row 1, merged over columns 1..title_columns
    std::size_t title_columns = 1;      // the record table's column count (at least 1)
    std::vector<std::string> headings;  // row 2 from column 1
    std::vector<RecordRow> rows;        // rows 3.. from column 1; nullopt is an empty cell
};

// A model's record rows laid out as the workbook holds them: every value as text, the DATE
// column as yyyy-mm-dd where it reads as a date, as many cells per row as the grid has columns
// (a table column beyond them is left out).
WorkbookSheet export_sheet(const ModelInfo& model, const ReportRows& records);

// The same sheet as CSV without the title: UTF-8 with a byte-order mark (spreadsheet programs
// then read the Chinese headings), CRLF line ends, fields quoted when they need it. A field that
// a spreadsheet would run as a formula (it begins with =, +, -, @, a tab or a carriage return
// and is no number) begins with an apostrophe, so a crafted record shows as text.
std::string sheet_csv(const WorkbookSheet& sheet);

}  // namespace nlx::reports
