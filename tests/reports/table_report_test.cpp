// The table report's pages as data: page breaks and end-of-run rulers, the title and header
// lines, and the cells of the printed rows.
#include <gtest/gtest.h>

#include <map>

#include "core/models.h"
#include "reports/cell_format.h"
#include "reports/table_layout.h"
#include "reports/table_report.h"
#include "support/model_of.h"

#include <algorithm>

using nlx::test::model_of;

namespace nlx::reports {
namespace {

// Rows of a model with every cell of the model's columns set from `cells` (by name), "" else.
ReportRows model_rows(char model, std::size_t count, const std::map<std::string, std::string>& cells = {}) {
    ReportRows rows;
    for (auto name : find_model(model)->record_columns) rows.columns.emplace_back(name);
    for (std::size_t r = 0; r < count; ++r) {
        RecordRow row;
        for (const auto& name : rows.columns) {
            auto found = cells.find(name);
            row.push_back(name == "序号" ? std::to_string(r + 1) : found != cells.end() ? found->second : "");
        }
        rows.rows.push_back(row);
    }
    return rows;
}

constexpr CalendarDate kToday{2026, 3, 5};

std::size_t groups_on(const Page& page) {
    std::size_t n = 0;
    for (const auto& line : page.lines) n += line.text().starts_with("         0") || line.text().starts_with("   0");
    return n;
}

bool ruler(const Line& line) { return line.text().find("-----") != std::string::npos && line.runs[0].font.points == 9; }

TEST(TableReport, PagesAndEndOfRun) {
    struct Case {
        const char* what;
        std::size_t rows, first, last;
        std::vector<std::size_t> groups;  // per page
        bool ends_with_ruler;
    } cases[] = {
        {"36 groups", 36, 0, 35, {36}, false},
        {"37 groups", 37, 0, 36, {36, 1}, false},
        {"36 of 40", 40, 0, 35, {36}, true},
        {"all of 40, last past the end", 40, 0, 40, {36, 4}, false},
        {"5 inside", 40, 10, 14, {5}, true},
        {"72 groups", 72, 0, 71, {36, 36}, false},
        {"empty range", 10, 10, 12, {}, false},
    };
    for (const auto& c : cases) {
        const auto pages = table_report(model_of('b'), model_rows('b', c.rows), c.first, c.last, kToday);
        ASSERT_EQ(pages.size(), c.groups.size()) << c.what;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            EXPECT_EQ(pages[p].number, int(p) + 1) << c.what;
            EXPECT_EQ(groups_on(pages[p]), c.groups[p]) << c.what << " page " << p + 1;
        }
        if (!pages.empty()) {
            EXPECT_EQ(ruler(pages.back().lines.back()), c.ends_with_ruler) << c.what;
        }
    }
}

TEST(TableReport, PageHeader) {
    const auto pages = table_report(model_of('b'), model_rows('b', 37), 0, 36, kToday);
    ASSERT_EQ(pages.size(), 2u);
    const auto& lines = pages[1].lines;
    EXPECT_EQ(lines[1].runs[0].text, std::string(28, ' ') + "NLX3140b测量结果  表 2 ");
    EXPECT_EQ(lines[1].runs[0].font, (Font{Face::hei, 20}));
    EXPECT_EQ(lines[1].runs[1].text, "  (2026年03月05日)");
    EXPECT_EQ(lines[1].runs[1].font, (Font{Face::hei, 13}));
    EXPECT_EQ(lines[1].runs[1].drop, 100);
    EXPECT_EQ(lines[4].text(), std::string(9, ' ') + std::string(142, '-'));
    EXPECT_EQ(lines[4].top, 400 + 100 + 260 + 260 + 200) << "blank 20 pt, title, blank 13 pt, header at 10 pt";

    struct Header {
        char model;
        const char* line;
        Ruler row_ruler;
    } headers[] = {
        {'a', "   序号 组号  Leq   L5   L10   L50   L90   L95   SD  LAE  Lmax  Lmin  E  测量时间   CODE   DATE    TIME   MODE 频率计权 时间计权 设定时间  采样间隔 filename", {2, 165}},
        {'c', "         序号   Leq   L5    L10   L50   L90   L95   SD   LAE   Lmax   Lmin   E   测量时间    DATE     TIME   MODE  频率计权 时间计权 设定时间 采样间隔", {10, 154}},
        {'d', "         序号   VLeq VL5   VL10  VL50  VL90  VL95  VSD  VLAE  VLmax  VLmin   E   测量时间    DATE     TIME   MODE  频率计权 时间计权 设定时间 采样间隔", {10, 154}},
        {'e', "   序号  组号   Leq   LAE    Lmax    Lmin    DL    E     频率计权   时间计权   DATE    TIME   设定时间   TM", {2, 165}},
    };
    for (const auto& h : headers) {
        const auto page = table_report(model_of(h.model), model_rows(h.model, 2), 0, 1, kToday).at(0);
        EXPECT_EQ(page.lines[1].runs[0].text.substr(28, 7), h.model == 'e' ? "NLX2730" : "NLX3140") << h.model;
        EXPECT_EQ(page.lines[3].text(), h.line) << h.model;
        const auto rule = std::find_if(page.lines.begin(), page.lines.end(), ruler);
        ASSERT_NE(rule, page.lines.end()) << h.model;
        EXPECT_EQ(rule->text(), std::string(std::size_t(h.row_ruler.spaces), ' ') + std::string(std::size_t(h.row_ruler.hyphens), '-'));
    }
}

TEST(TableReport, RowLayouts) {
    const std::map<std::string, std::string> cells = {
        {"组号", "7"}, {"Leq", "100"}, {"L5", "5.2"}, {"L10", "60.25"}, {"L50", "55"}, {"L90", "50.1"}, {"L95", "49"},
        {"SD", "0.3"}, {"LAE", "99.9"}, {"Lmax", "101.2"}, {"Lmin", "40"}, {"E", "0.5"}, {"测量时间", "12h30m0s10"},
        {"CODE", "3.0"}, {"DATE", "10-12-21"}, {"TIME", "9:05:03"}, {"MODE", "STA"}, {"频率计权", "A"}, {"时间计权", "F"},
        {"采样间隔", "1s"}, {"filename", "021.ln"}, {"DL", "12.5%"}, {"Tm", "04:00:00"}, {"VLeq", "85.6"}, {"VSD", "12.5"}};
    struct Case {
        char model;
        std::vector<std::string> lines;
    } cases[] = {
        {'a', {"   001  007 100.0  05.2  60.3  55.0  50.1  49.0  0.3 99.9101.2  40.0 0.50 12h30m0s1 3.0 10/12/21 09:05:03 STA    A        F      /      1s    021.ln"}},
        {'b', {"         001  100.0  05.2  60.3  55.0  50.1  49.0   0.3  99.9 101.2   40.0  0.50 12h30m0s1 10/12/21 09:05:03 STA      A        F      /      1s    "}},
        {'d', {"         001   85.6                                12.5            " + std::string(7, ' ') + "  0.50 12h30m0s1 10/12/21 09:05:03 STA      A        F      /      1s    "}},
        {'e', {"   001    007   100.0    99.9   101.2    40.0   12.5%   0.5   A        F      10/12/21 09:05:03 " + std::string(" "),
               "04:00:00      "}},
    };
    for (const auto& c : cases) EXPECT_EQ(row_lines(model_of(c.model), model_rows(c.model, 1, cells), 0), c.lines) << c.model;

    auto octave = cells;
    octave["MODE"] = "OCT";
    const auto line = row_lines(model_of('c'), model_rows('c', 1, octave), 0).at(0);
    EXPECT_EQ(line.substr(line.find("0.50") + 4, 10), std::string(10, ' ')) << "测量时间 is blank for an octave group: " << line;
}

TEST(CellFormat, Cells) {
    struct Case {
        CellKind kind;
        Cell value;
        const char* text;
    } cases[] = {
        {CellKind::level, "100", "100.0"},       {CellKind::level, "5.2", " 05.2"},
        {CellKind::level, "--", " --"},          {CellKind::level, std::nullopt, "     "},
        {CellKind::deviation, "0.3", "  0.3"},   {CellKind::deviation, "12.5", " 12.5"},
        {CellKind::deviation, "112.5", "112.5"}, {CellKind::exposure, "0", " 0.00"},
        {CellKind::set_time, "", "/"},           {CellKind::set_time, std::nullopt, "/"},
        {CellKind::set_time, "10min", "10min"},  {CellKind::group, "07", "007"},
        {CellKind::date, "10-12-21", "10/12/21"}, {CellKind::date, "2008-02-29", "08/02/29"},
        {CellKind::date, "09-02-29", "09-02-29"}, {CellKind::date, "1A-12-21", "1A-12-21"},
        {CellKind::time, "10:06", "10:06:00"},   {CellKind::time, "24:00:00", "24:00:00"},
        {CellKind::time, "", "        "},        {CellKind::percent_ratio, "12.5%", "12.5%"},
        {CellKind::percent_ratio, "3", "3.00"},  {CellKind::measure_time, "0h10m0s", "0h10m0s  "},
    };
    for (const auto& c : cases) EXPECT_EQ(cell_text(c.kind, c.value), c.text) << (c.value ? *c.value : "NULL");
}

}  // namespace
}  // namespace nlx::reports
