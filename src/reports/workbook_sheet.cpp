// The exported workbook's sheet from a model's record rows.
#include "reports/workbook_sheet.h"

#include <algorithm>

#include "reports/cell_format.h"

namespace nlx::reports {

WorkbookSheet export_sheet(const ModelInfo& model, const ReportRows& records) {
    WorkbookSheet sheet;
    sheet.title = model.workbook.title;
    sheet.title_columns = std::max<std::size_t>(1, records.columns.size());
    sheet.headings.assign(model.workbook.headings.begin(), model.workbook.headings.end());
    const auto cells = std::min(records.columns.size(), std::size_t(model.grid.column_count));
    const auto date = model.workbook.date_column;
    sheet.rows.reserve(records.size());
    for (const auto& record : records.rows) {
        RecordRow& row = sheet.rows.emplace_back(record.begin(), record.begin() + std::min(cells, record.size()));
        if (date && *date < row.size() && row[*date])
            if (auto iso = iso_date_text(*row[*date])) row[*date] = std::move(*iso);
    }
    return sheet;
}

namespace {

void csv_field(std::string& out, std::string_view s) {
    if (s.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += s;
        return;
    }
    out += '"';
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

std::string sheet_csv(const WorkbookSheet& sheet) {
    std::string out = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < sheet.headings.size(); ++i) {
        if (i) out += ',';
        csv_field(out, sheet.headings[i]);
    }
    out += "\r\n";
    for (const auto& row : sheet.rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) out += ',';
            if (row[i]) csv_field(out, *row[i]);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace nlx::reports
