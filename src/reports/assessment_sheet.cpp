// Pages and worksheet of the assessment.
#include "reports/assessment_sheet.h"

#include <algorithm>

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
    explicit SheetWriter(Wording wording) : wording_(wording) {}

    std::vector<Page> pages;

    void line(std::string text, Font font) {
        if (y_ + line_twips(font) > kPageTwips) {
            pages.push_back(page_.finish());
            page_ = PageWriter(int(pages.size()) + 1);
            y_ = 0;
            line(texts::assessment_sheet_continued(pages.size() + 1, wording_), kHeading);
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
    Wording wording_;
    PageWriter page_{1};
    int y_ = 0;
};

std::string table_row(const std::vector<std::string>& cells) {
    static constexpr std::size_t widths[] = {10, 18, 9, 9, 9, 6, 8};
    static constexpr bool right[] = {false, false, true, true, true, false, false};
    std::string row = "  ";
    for (std::size_t i = 0; i < cells.size() && i < std::size(widths); ++i) {
        row += padded(cells[i], widths[i], right[i]) + (right[i] ? "  " : "");
        // A cell as wide as its column or wider is kept apart from the next one.
        if (!right[i] && display_columns(cells[i]) >= widths[i]) row += ' ';
    }
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
            std::string& full = lines.back();
            // A word of Latin letters is not split: it moves to the next line whole, after the
            // last space of the full one, when that line holds more than the word.
            std::string moved;
            if (n == 1 && text[i] != ' ') {
                const std::size_t space = full.find_last_of(' ');
                if (space != std::string::npos && space > 0 &&
                    std::all_of(full.begin() + std::ptrdiff_t(space) + 1, full.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
                    moved = full.substr(space + 1);
                    full.erase(space);
                }
            }
            lines.push_back(moved);
            used = moved.size();
            // A space at the break is left out: neither line ends or starts with it.
            if (text[i] == ' ' && moved.empty()) {
                ++i;
                continue;
            }
        }
        lines.back().append(text.substr(i, n));
        used += w;
        i += n;
    }
    return lines;
}

std::vector<Page> assessment_pages(const assess::Criterion& criterion, const std::vector<assess::Assessment>& assessments,
                                   const AssessmentSource& source, Wording w) {
    SheetWriter sheet(w);
    // A labelled line, its further lines indented under its value: "说明：…".
    auto labelled = [&](std::string_view margin, std::string_view pattern, const std::string& value, Font font) {
        const std::string_view worded_pattern = worded(w, pattern);
        const std::string label(worded_pattern.substr(0, worded_pattern.find("%1")));
        sheet.wrapped(std::string(margin) + fill(worded_pattern, {value}), font,
                      std::string(display_columns(margin) + display_columns(label), ' '));
    };
    // The title centred over the page: 44 spaces before the Chinese one of 20 columns, a space of
    // the title's face being about half as wide as a column of its text.
    const std::string_view title = worded(w, texts::kAssessmentSheetTitle);
    const std::size_t title_columns = display_columns(title);
    sheet.line(std::string(title_columns >= 64 ? 0 : 64 - title_columns, ' ') + std::string(title), kTitle);
    sheet.line("", kBody);
    sheet.wrapped(fill(worded(w, texts::kStandardLine), {criterion.description(w)}), kHeading);
    labelled("", texts::kRuleLine, std::string(worded(w, criterion.standard->rule)), kBody);
    const auto two = [](int v) { return std::string(1, char('0' + v / 10 % 10)) + char('0' + v % 10); };
    const std::string today =
        fill(worded(w, texts::kSheetDay), {std::to_string(source.today.year), two(source.today.month), two(source.today.day)});
    sheet.wrapped(fill(worded(w, texts::kSheetModelDate), {source.model_caption, today}), kBody);
    labelled("", texts::kSheetDatabase, source.database, kBody);
    std::vector<std::string> columns;
    for (const auto heading : texts::kSheetColumns) columns.emplace_back(worded(w, heading));
    int passed = 0, failed = 0, skipped = 0;
    for (const auto& a : assessments) {
        sheet.line("", kBody);
        sheet.wrapped(assess::heading_line(a, w), kHeading);
        const assess::Outcome outcome = a.outcome();
        (outcome == assess::Outcome::pass ? passed : outcome == assess::Outcome::fail ? failed : skipped)++;
        if (a.refused) {
            labelled("  ", texts::kRefusedLine, a.refused->text(w), kBody);
            continue;
        }
        sheet.line(table_row(columns), kBody);
        sheet.line("  " + std::string(kColumns - 8, '-'), kBody);
        for (const auto& l : assess::table_lines(a, w)) {
            if (l.role == assess::TableLine::Role::missing_hours) continue;
            sheet.line(table_row({l.period, l.quantity, l.measured, l.limit, l.margin, l.verdict.empty() ? "--" : l.verdict,
                                  l.role == assess::TableLine::Role::hour ? l.group : ""}),
                       kBody);
        }
        if (a.kind == assess::Assessment::Kind::run)
            labelled("  ", texts::kMissingLine, assess::hours_text(a.missing_hours, w), kBody);
        for (const auto& note : a.notes) labelled("  ", texts::kNoteLine, note.text(w), kBody);
    }
    sheet.line("", kBody);
    sheet.line(texts::assessment_totals(passed, failed, skipped, w), kHeading);
    sheet.wrapped(std::string(worded(w, texts::kHourlyMarginsNote)), kBody);
    sheet.wrapped(std::string(assess::missing_hours_rule(w)), kBody);
    return sheet.finish();
}

WorkbookSheet assessment_worksheet(const assess::Criterion& criterion, const std::vector<assess::Assessment>& assessments,
                                   Wording w) {
    WorkbookSheet sheet;
    sheet.name = std::string(worded(w, texts::kAssessmentTitle));
    sheet.title = fill(worded(w, texts::kWorksheetTitle), {criterion.description(w)});
    sheet.title_columns = std::size(assess::kTableHeadings);
    for (const char* heading : assess::kTableHeadings) sheet.headings.emplace_back(worded(w, heading));
    for (const auto& a : assessments)
        for (const auto& l : assess::table_lines(a, w))
            sheet.rows.push_back({l.rows, l.group, l.kind, l.date, l.time, l.period, l.quantity, l.measured, l.limit,
                                  l.margin, l.verdict, l.note});
    sheet.rows.push_back({std::string(assess::missing_hours_rule(w))});
    return sheet;
}

}  // namespace nlx::reports
