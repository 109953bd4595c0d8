// Assessments as text for a terminal, as CSV and JSON for programs, and as flat table lines for the
// printed sheet and the workbook: every number formatted the same way whatever the locale. The
// text and the lines are written in a wording; the CSV and JSON always in the Chinese source words.
#pragma once

#include <string>
#include <vector>

#include "assess/assessment.h"
#include "core/texts.h"

namespace nlx::assess {

// The rule for hours a 24-hour run lacks, as printed under every assessment.
std::string_view missing_hours_rule(Wording wording);

// One comparison as a line of a table; a group not assessed is one line with its reason.
struct TableLine {
    std::string rows;      // record rows from 1: "3" or "1-24"
    std::string group;     // 序号
    std::string kind;      // "统计组", "24小时测量", "逐时"
    std::string date, time;
    std::string period;    // "昼间", "夜间", "跨昼夜"; an hour's "14时"
    std::string quantity;  // "Leq", "Ld", "Lmax", ...
    std::string measured, limit, margin;  // dB with one decimal; margin signed
    std::string verdict;   // "达标", "超标", "未评价"
    std::string note;
    // What the line is, whatever its wording: a comparison of the group or run, an hour of a run,
    // or the run's missing hours; and whether its verdict is 超标.
    enum class Role { check, hour, missing_hours } role = Role::check;
    bool failed = false;
};

// The table's columns, as the CSV and the worksheet head them.
inline constexpr const auto& kTableHeadings = texts::kAssessmentHeadings;

// The lines of one assessment: its checks, then a run's hours and its missing hours.
std::vector<TableLine> table_lines(const Assessment& assessment, Wording wording);

// "第1至24行 序号01 24小时测量 08-09-05 00:00:00：超标".
std::string heading_line(const Assessment& assessment, Wording wording);

std::string assessment_text(const Criterion& criterion, const std::vector<Assessment>& assessments, Wording wording);
// UTF-8 with a byte-order mark, CRLF line ends, one line per table line, kTableHeadings first.
std::string assessment_csv(const Criterion& criterion, const std::vector<Assessment>& assessments);
std::string assessment_json(const Criterion& criterion, const std::vector<Assessment>& assessments);

// "03时、04时、05时"; "无" for none.
std::string hours_text(const std::vector<int>& hours, Wording wording);

}  // namespace nlx::assess
