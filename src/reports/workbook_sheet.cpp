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

// A decimal number as a spreadsheet reads one: optional sign, digits with an optional point,
// an optional exponent ("-3.5", "+12", ".5", "1e-3").
bool reads_as_number(std::string_view s) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t from = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        return i - from;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < s.size() && s[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < s.size() && std::string_view("eE").find(s[i]) != std::string_view::npos) {  // the exponent
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == s.size();
}

// A cell a spreadsheet would take for a formula (=, +, -, @, or a tab or carriage return
// before one) gets a leading apostrophe, so that it shows as the text it is; numbers stay.
bool needs_neutralising(std::string_view s) {
    return !s.empty() && std::string_view("=+-@\t\r").find(s[0]) != std::string_view::npos && !reads_as_number(s);
}

void csv_field(std::string& out, std::string_view value) {
    std::string neutral;
    if (needs_neutralising(value)) neutral.append("'").append(value);
    const std::string_view s = neutral.empty() ? value : std::string_view(neutral);
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
