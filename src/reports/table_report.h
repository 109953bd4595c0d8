// The table report: a page header and up to 36 groups a page, for a range of the record rows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/calendar_date.h"
#include "core/models.h"
#include "reports/print_page.h"
#include "reports/report_rows.h"

namespace nlx::reports {

inline constexpr int kGroupsPerPage = 36;

// "2026年03月05日".
std::string chinese_date(const CalendarDate& date);

// One group printed with the model's row layout: one line, two for model e.
std::vector<std::string> row_lines(const ModelInfo& model, const ReportRows& rows, std::size_t row);

// The pages printing groups `first` to `last` (0-based, inclusive, `last` cut to the last row)
// of `rows`, dated `today`. A run ends at the end of the rows without a row ruler and inside
// them with one; no page holds only its header: an empty range gives no pages.
std::vector<Page> table_report(const ModelInfo& model, const ReportRows& rows, std::size_t first, std::size_t last,
                               const CalendarDate& today);

}  // namespace nlx::reports
