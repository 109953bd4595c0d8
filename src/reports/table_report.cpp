// Page headers, rows and rulers of the table report.
#include "reports/table_report.h"

#include "core/models.h"
#include "reports/table_layout.h"

namespace nlx::reports {
namespace {

constexpr Font kTitle{Face::hei, 20}, kDate{Face::hei, 13}, kTable{Face::song, 10}, kRowRuler{Face::song, 9};
constexpr int kDateDrop = 100;  // the date stands 100 twips lower than the title, in the smaller size

std::string ruler(const Ruler& r) { return std::string(std::size_t(r.spaces), ' ') + std::string(std::size_t(r.hyphens), '-'); }

bool is_octave(const ReportRows& rows, std::size_t row) {
    const Cell mode = rows.cell(row, kModeColumn);
    return mode && *mode == "OCT";
}

void page_header(PageWriter& page, const TableLayout& layout, int number, const std::string& date) {
    page.line("", kTitle);
    page.open(std::string(28, ' ') + std::string(layout.title) + " " + std::to_string(number) + " ", kTitle);
    page.line("  (" + date + ")", kDate, kDateDrop);
    page.line("", kDate);
    page.line(std::string(layout.header), kTable);
    page.line(ruler(layout.header_ruler), kTable);
}

}  // namespace

std::string chinese_date(const CalendarDate& date) {
    auto two = [](int v) { return std::string(1, char('0' + v / 10 % 10)) + char('0' + v % 10); };
    return std::to_string(date.year) + "年" + two(date.month) + "月" + two(date.day) + "日";
}

std::vector<std::string> row_lines(const ModelInfo& model, const ReportRows& rows, std::size_t row) {
    const TableLayout* layout = &table_layout(model);
    std::vector<std::string> lines;
    const bool octave = is_octave(rows, row);
    std::string line;
    for (const auto& entry : layout->row) {
        switch (entry.kind) {
            case RowEntry::Kind::spaces: line.append(std::size_t(entry.spaces), ' '); break;
            case RowEntry::Kind::cell:
                // 序号 is read by its position: the first column.
                line += cell_text(entry.cell, entry.column == kSeqColumn ? rows.at(row, 0) : rows.cell(row, entry.column), octave);
                break;
            case RowEntry::Kind::line_end: lines.push_back(std::move(line)); line.clear(); break;
        }
    }
    return lines;
}

std::vector<Page> table_report(const ModelInfo& model, const ReportRows& rows, std::size_t first, std::size_t last,
                               const CalendarDate& today) {
    std::vector<Page> pages;
    const TableLayout* layout = &table_layout(model);
    if (first >= rows.size() || last < first) return pages;
    if (last >= rows.size()) last = rows.size() - 1;
    const std::string date = chinese_date(today);
    std::size_t row = first;
    while (row <= last) {
        PageWriter page(int(pages.size()) + 1);
        page_header(page, *layout, int(pages.size()) + 1, date);
        for (int on_page = 0; on_page < kGroupsPerPage && row <= last; ++on_page, ++row) {
            for (auto& text : row_lines(model, rows, row)) page.line(std::move(text), kTable);
            page.line("", kTable);
            // The last group of the rows has no ruler under it; a run ending inside them has.
            if (row + 1 < rows.size()) page.line(ruler(layout->row_ruler), kRowRuler);
        }
        pages.push_back(page.finish());
    }
    return pages;
}

}  // namespace nlx::reports
