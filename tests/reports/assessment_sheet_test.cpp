// The assessment sheet's pages: A4, never longer than the printable height, continued with a
// header; lines broken by the columns a Chinese character takes; the worksheet's rows.
#include <gtest/gtest.h>

#include <algorithm>

#include "reports/assessment_sheet.h"

namespace nlx::reports {
namespace {

TEST(AssessmentSheet, WrapsByDisplayColumns) {
    const struct {
        std::string text;
        std::size_t columns;
        std::vector<std::string> lines;
    } cases[] = {
        {"abcdef", 4, {"abcd", "ef"}},
        {"昼间夜间", 5, {"昼间", "夜间"}},   // a character never split across lines
        {"Ld昼间60", 5, {"Ld昼", "间60"}},
        {"", 10, {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wrap_columns(c.text, c.columns), c.lines) << c.text;
        for (const auto& line : wrap_columns(c.text, c.columns)) EXPECT_LE(display_columns(line), c.columns);
    }
    EXPECT_EQ(display_columns("第1至24行 Ld"), 12u);
}

TEST(AssessmentSheet, PagesAreA4AndContinued) {
    const auto criterion = assess::make_criterion("gb3096", "2", {}, {}).value();
    std::vector<assess::Assessment> many(60);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i].first_row = many[i].last_row = i;
        many[i].group = std::to_string(i + 1);
        many[i].period = assess::Period::day;
        many[i].checks.push_back({"Leq", 550 + int(i), 600});
    }
    const auto pages = assessment_pages(criterion, many, {"NLX3140B", "/tmp/noise.db", {2026, 3, 5}});
    ASSERT_GE(pages.size(), 2u);
    const int printable = 277 * 1440 * 10 / 254;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        EXPECT_EQ(pages[p].paper, Paper::a4);
        EXPECT_LE(pages[p].height, printable) << p;
        EXPECT_EQ(pages[p].number, int(p) + 1);
        if (p > 0) {
            EXPECT_EQ(pages[p].lines.front().text(), "噪声与振动达标评价表（续）    第" + std::to_string(p + 1) + "页");
        }
    }
    std::size_t groups = 0;
    for (const auto& page : pages)
        for (const auto& line : page.lines) groups += line.text().find("统计组") != std::string::npos;
    EXPECT_EQ(groups, many.size());
    // The rule for absent hours closes the sheet.
    const auto& closing = pages.back().lines;
    EXPECT_TRUE(std::any_of(closing.end() - 3, closing.end(), [](const Line& l) { return l.text().starts_with("缺测小时："); }));
}

TEST(AssessmentSheet, WorksheetHoldsOneRowPerLine) {
    const auto criterion = assess::make_criterion("user", "", 60, 50).value();
    assess::Assessment refused;
    refused.group = "03";
    refused.refused = "倍频程频谱组，不作评价";
    const auto sheet = assessment_worksheet(criterion, {refused});
    EXPECT_EQ(sheet.name, "达标评价");
    EXPECT_EQ(sheet.headings.size(), sheet.title_columns);
    ASSERT_EQ(sheet.rows.size(), 2u);  // the group, then the rule for absent hours
    EXPECT_EQ(sheet.rows[0][10], "未评价");
    EXPECT_EQ(sheet.rows[0][11], "倍频程频谱组，不作评价");
}

}  // namespace
}  // namespace nlx::reports
