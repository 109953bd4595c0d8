// The CSV export: cells that a spreadsheet would run as formulas are shown as the text they are.
#include <gtest/gtest.h>

#include "reports/workbook_sheet.h"

namespace nlx::reports {
namespace {

// The CSV of a sheet with one row holding `cell`, without the byte-order mark and headings.
std::string csv_of(const std::string& cell) {
    WorkbookSheet sheet;
    sheet.headings = {"序号", "Leq"};
    sheet.rows.push_back({Cell("01"), Cell(cell)});
    const std::string csv = sheet_csv(sheet);
    const std::string head = "\xEF\xBB\xBF序号,Leq\r\n";
    EXPECT_EQ(csv.substr(0, head.size()), head);
    return csv.substr(head.size());
}

TEST(SheetCsv, FormulasAreNeutralisedAndNumbersKept) {
    const std::pair<std::string, std::string> cases[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "01,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"\r\n"},
        {"-2+3+cmd|' /C calc'!A0", "01,'-2+3+cmd|' /C calc'!A0\r\n"},
        {"+1+1", "01,'+1+1\r\n"},
        {"@SUM(A1:A2)", "01,'@SUM(A1:A2)\r\n"},
        {"\t=1", "01,'\t=1\r\n"},
        {"\r=1", "01,\"'\r=1\"\r\n"},
        {"-", "01,'-\r\n"},
        {"-e5", "01,'-e5\r\n"},
        {"1-1", "01,1-1\r\n"},     // only the first character counts
        {" =1", "01, =1\r\n"},
        {"-3.5", "01,-3.5\r\n"},   // a level below zero stays a number
        {"+12", "01,+12\r\n"},
        {"-.5", "01,-.5\r\n"},
        {"-1e-3", "01,-1e-3\r\n"},
        {"-1.", "01,-1.\r\n"},
        {"65.3", "01,65.3\r\n"},
        {"", "01,\r\n"},
    };
    for (const auto& [cell, line] : cases) EXPECT_EQ(csv_of(cell), line) << cell;
}

}  // namespace
}  // namespace nlx::reports
