// Assessment of measurement groups and 24-hour runs against a standard's day and night limits:
// the measured value, the limit, the margin and the verdict of every comparison, or why a group
// is not assessed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "assess/standards.h"
#include "charts/chart.h"
#include "charts/group_rows.h"
#include "core/models.h"

namespace nlx::assess {

// The period a group's measurement falls in: day 06:00-22:00, night 22:00-06:00, or both.
enum class Period { day, night, spanning };

// One comparison: a measured value against its limit, both in tenths of a decibel.
struct Check {
    Phrase quantity;  // "Leq", "Lmax", "Ld", "Ln", "VLz10", "Lden", "Lnight", "昼间VLz10最大"
    int measured = 0, limit = 0;
    bool decides = true;   // false: shown beside the verdict but not deciding it (an hour's Leq)
    // A run's check: the period its level stands for; none for Lden, a level of the whole day.
    // A group's check takes the group's period, an hour's its hour.
    std::optional<Period> period{};

    int margin() const { return measured - limit; }
    bool passed() const { return margin() <= 0; }  // a level equal to its limit meets it
};

// One hour of a 24-hour run.
struct HourResult {
    int hour = 0;              // 0..23, the hour its TIME begins in
    std::size_t row = 0;       // 0-based record row
    std::string group;         // its 序号
    Period period = Period::day;
    int level = 0;             // tenths: Leq (VL10 against GB 10070)
    std::optional<Check> level_check;  // against the limit of its period; none under the EU directive
    std::optional<Check> lmax_check;   // night hours: Lmax against the night limit + allowance
};

enum class Outcome { pass, fail, not_assessed };

struct Assessment {
    enum class Kind { group, run } kind = Kind::group;
    std::size_t first_row = 0, last_row = 0;  // 0-based record rows
    std::string group;                        // 序号 of the first row
    std::string date, time;                   // of the first row
    std::optional<Phrase> refused;            // why the group or run is not assessed
    std::optional<Period> period;             // a group's
    std::vector<Check> checks;                // a group's Leq (and Lmax); a run's Ld, Ln or Lden, Lnight
    std::vector<HourResult> hours;            // a run's hours, in hour order
    std::vector<int> missing_hours;           // a run's hours with no level
    std::vector<Phrase> notes;                // how the limit was chosen, what was left out

    Outcome outcome() const;
};

// Whether the model's groups are vibration levels (model d).
bool measures_vibration(const ModelInfo& model);

// Whether the standard limits what the model measures (sound or vibration); the user's own limits
// fit every model.
bool fits_model(const ModelInfo& model, const Criterion& criterion);

// The limits as lines on a 24-hour profile: the day limit over 06-22, the night limit over 22-06.
// The EU directive's Lnight limit is drawn over its night, 23-07; its Lden limit, a level of the
// whole day, over no hours.
void mark_limits(charts::Chart& profile_chart, const Criterion& criterion);

// The group of `row`, or the 24-hour run it belongs to (the rows the 24-hour chart takes).
Assessment assess_row(const ModelInfo& model, const charts::GroupRows& rows, std::size_t row, const Criterion& criterion);

// Every group of the rows in table order; each 24-hour run once, at its first row.
std::vector<Assessment> assess_all(const ModelInfo& model, const charts::GroupRows& rows, const Criterion& criterion);

// Seconds into the day of a TIME text "hh:mm:ss" or "hh:mm"; nullopt when it is none.
std::optional<int> time_of_day(std::string_view text);
// Seconds of a measured duration "1h30m0s" (测量时间) or "01:30:00" (Tm); nullopt when it is none.
std::optional<long> duration_seconds(std::string_view text);

// Texts of the outcome and periods as printed: "达标", "超标", "未评价"; "昼间", "夜间", "跨昼夜".
std::string_view outcome_text(Outcome outcome, Wording wording);
std::string_view verdict_text(const Check& check, Wording wording);
std::string_view period_text(Period period, Wording wording);

}  // namespace nlx::assess
