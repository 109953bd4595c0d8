// The assessment sheet: A4 pages naming the standard and class, each group or run with its
// measured values, limits, margins and verdicts, and the rule for absent hours; and the same lines
// as a worksheet for the exported workbook. Both in a wording: the operator's language or Chinese.
#pragma once

#include <string>
#include <vector>

#include "assess/assessment.h"
#include "core/calendar_date.h"
#include "reports/print_page.h"
#include "reports/workbook_sheet.h"

namespace nlx::reports {

// What the sheet says about where the groups come from.
struct AssessmentSource {
    std::string model_caption;  // "NLX3140A"
    std::string database;       // the record database's path
    CalendarDate today;
};

std::vector<Page> assessment_pages(const assess::Criterion& criterion, const std::vector<assess::Assessment>& assessments,
                                   const AssessmentSource& source, Wording wording);

// The second worksheet "达标评价": the standard in row 1, the headings in row 2, one row per line.
WorkbookSheet assessment_worksheet(const assess::Criterion& criterion, const std::vector<assess::Assessment>& assessments,
                                   Wording wording);

// Columns a text takes in the fixed-pitch face: a Chinese character two, an ASCII character one.
std::size_t display_columns(std::string_view text);
// The text broken into lines of at most `columns` columns, between characters.
std::vector<std::string> wrap_columns(std::string_view text, std::size_t columns);

}  // namespace nlx::reports
