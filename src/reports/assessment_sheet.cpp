// Pages and worksheet of the assessment.
#include "reports/assessment_sheet.h"

#include "assess/assessment_output.h"
#include "core/texts.h"
#include "reports/table_report.h"

namespace nlx::reports {
namespace {

constexpr Font kTitle{Face::hei, 18}, kHeading{Face::hei, 11}, kBody{Face::song, 10};
// A4 less the 10 mm margins of the PDF writer: 190 x 277 mm.
constexpr int kPageTwips = 277 * 1440 * 10 / 254;
constexpr std::size_t kColumns = 104;  // 10-point 宋体 columns across 190 mm, with room to spare

std::size_t char_bytes(unsigned char lead) { return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2; }

std::string padded(const std::string& text, std::size_t width, bool right = false) {
    const std::size_t used = display_columns(text);
    const std::string pad(used >= width ? 0 : width - used, ' ');
    return right ? pad + text : text + pad;
}

// Lays lines out on pages, starting a new page (with a continuation header) when one is full.
class SheetWriter {
public:
    std::vector<Page> pages;

    void line(std::string text, Font font) {
        if (y_ + line_twips(font) > kPageTwips) {
            pages.push_back(page_.finish());
            page_ = PageWriter(int(pages.size()) + 1);
            y_ = 0;
            line(texts::assessment_sheet_continued(pages.size() + 1), kHeading);
            line("", kBody);
        }
        y_ += line_twips(font);
        page_.line(std::move(text), font);
    }
    void wrapped(const std::string& text, Font font, const std::string& indent = "") {
        bool first = true;
        for (auto& piece : wrap_columns(text, kColumns - display_columns(indent)))
            line((first ? "" : indent) + piece, font), first = false;
    }
    std::vector<Page> finish() {
        pages.push_back(page_.finish());
        for (auto& p : pages) p.paper = Paper::a4;
        return std::move(pages);
    }

private:
    PageWriter page_{1};
    int y_ = 0;
};

std::string table_row(const std::vector<std::string>& cells) {
    static constexpr std::size_t widths[] = {10, 18, 9, 9, 9, 6, 8};
    static constexpr bool right[] = {false, false, true, true, true, false, false};
    std::string row = "  ";
    for (std::size_t i = 0; i < cells.size() && i < std::size(widths); ++i)
        row += padded(cells[i], widths[i], right[i]) + (right[i] ? "  " : "");
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row;
}

}  // namespace

std::size_t display_columns(std::string_view text) {
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size(); i += char_bytes(static_cast<unsigned char>(text[i])))
        columns += static_cast<unsigned char>(text[i]) < 0x80 ? 1 : 2;
    return columns;
}

std::vector<std::string> wrap_columns(std::string_view text, std::size_t columns) {
    std::vector<std::string> lines(1);
    std::size_t used = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = char_bytes(static_cast<unsigned char>(text[i]));
        const std::size_t w = n == 1 ? 1 : 2;
        if (used + w > columns && used > 0) {
            lines.emplace_back();
            used = 0;
        }
        lines.back().append(text.substr(i, n));
        used += w;
        i += n;
    }
    return lines;
}

std::vector<Page> assessment_pages(const assess::Criterion& criterion, const std::vector<assess::Assessment>& assessments,
                                   const AssessmentSource& source) {
    SheetWriter sheet;
    sheet.line(std::string(44, ' ') + std::string(texts::kAssessmentSheetTitle), kTitle);
    sheet.line("", kBody);
    sheet.wrapped(std::string(texts::kStandardLabel) + criterion.description(), kHeading);
    sheet.wrapped(std::string(texts::kRuleLabel) + std::string(criterion.standard->rule), kBody, "          ");
    sheet.wrapped(std::string(texts::kSheetModel) + source.model_caption + "    " + std::string(texts::kSheetDate) +
                      chinese_date(source.today),
                  kBody);
    sheet.wrapped(std::string(texts::kSheetDatabase) + source.database, kBody, "            ");
    int passed = 0, failed = 0, skipped = 0;
    for (const auto& a : assessments) {
        sheet.line("", kBody);
        sheet.wrapped(assess::heading_line(a), kHeading);
        const assess::Outcome outcome = a.outcome();
        (outcome == assess::Outcome::pass ? passed : outcome == assess::Outcome::fail ? failed : skipped)++;
        if (a.refused) {
            sheet.wrapped("  " + std::string(texts::kRefusedLabel) + *a.refused, kBody, "          ");
            continue;
        }
        sheet.line(table_row({std::begin(texts::kSheetColumns), std::end(texts::kSheetColumns)}), kBody);
        sheet.line("  " + std::string(kColumns - 8, '-'), kBody);
        for (const auto& l : assess::table_lines(a)) {
            if (l.kind == texts::kMissingKind) continue;
            sheet.line(table_row({l.period, l.quantity, l.measured, l.limit, l.margin,
                                  l.verdict.empty() ? "--" : l.verdict, l.kind == texts::kHourlyKind ? l.group : ""}),
                       kBody);
        }
        if (a.kind == assess::Assessment::Kind::run)
            sheet.wrapped("  " + std::string(texts::kMissingLabel) + assess::hours_text(a.missing_hours), kBody, "            ");
        for (const auto& note : a.notes) sheet.wrapped("  " + std::string(texts::kNoteLabel) + note, kBody, "        ");
    }
    sheet.line("", kBody);
    sheet.line(texts::assessment_totals(passed, failed, skipped), kHeading);
    sheet.line(std::string(texts::kHourlyMarginsNote), kBody);
    sheet.wrapped(std::string(assess::missing_hours_rule()), kBody);
    return sheet.finish();
}

WorkbookSheet assessment_worksheet(const assess::Criterion& criterion, const std::vector<assess::Assessment>& assessments) {
    WorkbookSheet sheet;
    sheet.name = std::string(texts::kAssessmentTitle);
    sheet.title = std::string(texts::kAssessmentTitle) + std::string(texts::kColon) + criterion.description();
    sheet.title_columns = std::size(assess::kTableHeadings);
    sheet.headings.assign(std::begin(assess::kTableHeadings), std::end(assess::kTableHeadings));
    for (const auto& a : assessments)
        for (const auto& l : assess::table_lines(a))
            sheet.rows.push_back({l.rows, l.group, l.kind, l.date, l.time, l.period, l.quantity, l.measured, l.limit,
                                  l.margin, l.verdict, l.note});
    sheet.rows.push_back({std::string(assess::missing_hours_rule())});
    return sheet;
}

}  // namespace nlx::reports
