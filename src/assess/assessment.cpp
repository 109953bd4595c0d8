// Groups and 24-hour runs compared with their limits.
#include "assess/assessment.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "charts/group_cells.h"
#include "core/number_format.h"
#include "core/texts.h"

namespace nlx::assess {
namespace {

constexpr int kDayStart = 6 * 3600, kNightStart = 22 * 3600, kDaySeconds = 24 * 3600;

std::optional<int> small_number(std::string_view text) {
    int value = 0;
    if (text.empty()) return std::nullopt;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

bool night_hour(int hour) { return hour < 6 || hour >= 22; }

// What the standard compares, read from the model's columns.
struct Reading {
    std::string column;    // the column read: "Leq" (VLeq for model d) or "L10" (VL10)
    std::string quantity;  // as printed
};

Reading reading_of(const Criterion& c, const ModelInfo& model) {
    if (c.standard->quantity == Quantity::vertical_vibration) return {"L10", "VLz10"};
    return {"Leq", measures_vibration(model) ? "VLeq" : "Leq"};
}

std::optional<int> level_tenths(const ModelInfo& model, const charts::GroupRows& rows, std::size_t row,
                                std::string_view column) {
    const auto value = parse_decimal(charts::group_cell(model, rows, row, column));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return tenths(*value);
}

// Why the standard does not cover the group of `row` whatever its time and levels; nullopt when it
// does.
std::optional<Phrase> not_covered(const Criterion& c, const ModelInfo& model, const charts::GroupRows& rows,
                                       std::size_t row) {
    const Standard& s = *c.standard;
    if (charts::row_kind(model, rows, row) == charts::GroupKind::octave) return phrase(texts::kOctaveNotAssessed);
    const std::string weighting = charts::group_cell(model, rows, row, "频率计权");
    switch (s.quantity) {
        case Quantity::a_weighted_sound:
            if (measures_vibration(model)) return texts::vibration_not_sound(s.source);
            if (weighting != "A") return texts::not_a_weighted(weighting, s.source);
            return std::nullopt;
        case Quantity::vertical_vibration:
            if (!measures_vibration(model)) return texts::sound_not_vibration(s.source);
            if (weighting != "Z") return texts::not_z_weighted(weighting, s.source);
            return std::nullopt;
        case Quantity::any_level: return std::nullopt;
    }
    return std::nullopt;
}

// Energy mean of levels in tenths, rounded to tenths; nullopt for none.
std::optional<int> energy_mean(const std::vector<int>& levels) {
    if (levels.empty()) return std::nullopt;
    double sum = 0;
    for (int t : levels) sum += std::pow(10.0, t / 100.0);
    return int(std::lround(100 * std::log10(sum / double(levels.size()))));
}

double power(double db) { return std::pow(10.0, db / 10.0); }

Assessment assess_group(const ModelInfo& model, const charts::GroupRows& rows, std::size_t row, const Criterion& c) {
    Assessment a;
    a.kind = Assessment::Kind::group;
    a.first_row = a.last_row = row;
    a.group = rows.text(row, 0);
    a.date = charts::group_cell(model, rows, row, "DATE");
    a.time = charts::group_cell(model, rows, row, "TIME");
    if (auto why = not_covered(c, model, rows, row)) {
        a.refused = *why;
        return a;
    }
    if (c.standard->id == StandardId::eu) {
        a.refused = texts::runs_only(c.standard->source);
        return a;
    }
    const auto start = time_of_day(a.time);
    if (!start) {
        a.refused = phrase(texts::kNoStartTime);
        return a;
    }
    const Reading reading = reading_of(c, model);
    const auto level = level_tenths(model, rows, row, reading.column);
    if (!level) {
        a.refused = texts::not_a_number((measures_vibration(model) ? "V" : "") + reading.column);
        return a;
    }
    std::string duration_text = charts::group_cell(model, rows, row, "测量时间");
    if (duration_text.empty()) duration_text = charts::group_cell(model, rows, row, "Tm");
    auto duration = duration_seconds(duration_text);
    if (!duration) {
        a.notes.push_back(phrase(texts::kDurationUnknown));
        duration = 0;
    }
    // The measurement runs from its start for its duration; it spans a boundary that lies strictly
    // inside that interval.
    const long begin = *start, end = begin + *duration;
    std::vector<std::string> crossed;
    for (long day = 0; day * kDaySeconds < end + kDaySeconds; ++day)
        for (int boundary : {kDayStart, kNightStart}) {
            const long at = day * kDaySeconds + boundary;
            if (begin < at && at < end) {
                const std::string name = boundary == kDayStart ? "06:00" : "22:00";
                if (std::find(crossed.begin(), crossed.end(), name) == crossed.end()) crossed.push_back(name);
            }
        }
    const bool strict_is_night = c.night <= c.day;
    if (!crossed.empty()) {
        a.period = Period::spanning;
        a.notes.push_back(texts::spans_boundaries(crossed, strict_is_night));
    } else {
        a.period = night_hour(*start / 3600) ? Period::night : Period::day;
    }
    const bool night_limit = a.period == Period::night || (a.period == Period::spanning && strict_is_night);
    a.checks.push_back({plain(reading.quantity), *level, night_limit ? c.night : c.day});
    if (c.standard->night_lmax_allowance && a.period != Period::day) {
        if (const auto lmax = level_tenths(model, rows, row, "Lmax"))
            a.checks.push_back({plain("Lmax"), *lmax, c.night + *c.standard->night_lmax_allowance});
        else
            a.notes.push_back(phrase(texts::kLmaxNotNumber));
    }
    return a;
}

Assessment assess_run(const ModelInfo& model, const charts::GroupRows& rows, std::size_t row, const Criterion& c) {
    Assessment a;
    a.kind = Assessment::Kind::run;
    const auto profile = charts::run_day_profile(model, rows, row);
    a.first_row = profile->first_row;
    a.last_row = profile->last_row;
    a.group = rows.text(a.first_row, 0);
    a.date = charts::group_cell(model, rows, a.first_row, "DATE");
    a.time = charts::group_cell(model, rows, a.first_row, "TIME");
    for (std::size_t r = a.first_row; r <= a.last_row; ++r)
        if (auto why = not_covered(c, model, rows, r)) {
            a.refused = texts::run_group_refused(rows.text(r, 0), *why);
            return a;
        }
    const Reading reading = reading_of(c, model);
    const std::string level_name = (measures_vibration(model) ? "V" : "") + reading.column;
    std::array<std::optional<HourResult>, 24> by_hour;
    for (std::size_t r = a.first_row; r <= a.last_row; ++r) {
        const std::string group = rows.text(r, 0);
        // The hour as the 24-hour chart takes it: the first two characters of TIME.
        const auto hour = small_number(charts::group_cell(model, rows, r, "TIME").substr(0, 2));
        if (!hour || *hour < 0 || *hour > 23) {
            a.notes.push_back(texts::hour_outside_day(group));
            continue;
        }
        const auto level = level_tenths(model, rows, r, reading.column);
        if (!level) {
            a.notes.push_back(texts::hour_level_not_number(group, level_name));
            continue;
        }
        auto& slot = by_hour[std::size_t(*hour)];
        if (slot)
            a.notes.push_back(texts::same_hour(group, slot->group, *hour));
        HourResult h;
        h.hour = *hour;
        h.row = r;
        h.group = group;
        h.period = night_hour(*hour) ? Period::night : Period::day;
        h.level = *level;
        if (c.standard->id != StandardId::eu)
            h.level_check = Check{plain(reading.quantity), *level, h.period == Period::night ? c.night : c.day, false};
        if (c.standard->night_lmax_allowance && h.period == Period::night)
            if (const auto lmax = level_tenths(model, rows, r, "Lmax"))
                h.lmax_check = Check{plain("Lmax"), *lmax, c.night + *c.standard->night_lmax_allowance};
        slot = h;
    }
    std::vector<int> day, night;
    for (int hour = 0; hour < 24; ++hour) {
        const auto& slot = by_hour[std::size_t(hour)];
        if (!slot) {
            a.missing_hours.push_back(hour);
            continue;
        }
        a.hours.push_back(*slot);
        (slot->period == Period::night ? night : day).push_back(slot->level);
    }
    if (a.hours.empty()) {
        a.refused = phrase(texts::kNoUsableHours);
        return a;
    }
    if (c.standard->id == StandardId::eu) {
        // Lden of the directive from the hours present in each of its periods.
        std::vector<int> d, e, n;
        for (const auto& h : a.hours) (h.hour >= 7 && h.hour < 19 ? d : h.hour >= 19 && h.hour < 23 ? e : n).push_back(h.level);
        const auto ld = energy_mean(d), le = energy_mean(e), ln = energy_mean(n);
        if (ld && le && ln) {
            const double sum = 12 * power(*ld / 10.0) + 4 * power(*le / 10.0 + 5) + 8 * power(*ln / 10.0 + 10);
            a.checks.push_back({plain("Lden"), int(std::lround(100 * std::log10(sum / 24))), c.day});
        } else {
            a.notes.push_back(phrase(texts::kLdenNotAssessed));
        }
        if (ln) a.checks.push_back({plain("Lnight"), *ln, c.night, true, Period::night});
    } else {
        // Sound: the energy mean of the hours present in each period. Vibration: every hour of the
        // period must meet its limit, so the period stands by its highest hour.
        const bool highest = c.standard->quantity == Quantity::vertical_vibration ||
                             (c.standard->quantity == Quantity::any_level && measures_vibration(model));
        auto period_level = [&](const std::vector<int>& levels) -> std::optional<int> {
            if (levels.empty()) return std::nullopt;
            return highest ? *std::max_element(levels.begin(), levels.end()) : energy_mean(levels);
        };
        if (auto v = period_level(day))
            a.checks.push_back({highest ? texts::period_highest(false, reading.quantity) : plain("Ld"), *v, c.day, true, Period::day});
        else a.notes.push_back(phrase(texts::kNoDayHours));
        if (auto v = period_level(night))
            a.checks.push_back({highest ? texts::period_highest(true, reading.quantity) : plain("Ln"), *v, c.night, true, Period::night});
        else a.notes.push_back(phrase(texts::kNoNightHours));
    }
    if (!a.missing_hours.empty()) {
        a.notes.push_back(texts::missing_hours_counted(a.missing_hours.size(), day.size(), night.size()));
        if (c.standard->quantity != Quantity::vertical_vibration && !measures_vibration(model))
            a.notes.push_back(texts::chart_counts_missing_as_zero(tenths_text(profile->ld), tenths_text(profile->ln)));
    }
    return a;
}

}  // namespace

Outcome Assessment::outcome() const {
    if (refused) return Outcome::not_assessed;
    bool any = false, failed = false;
    auto take = [&](const Check& check) {
        if (!check.decides) return;
        any = true;
        failed = failed || !check.passed();
    };
    for (const auto& check : checks) take(check);
    for (const auto& hour : hours)
        if (hour.lmax_check) take(*hour.lmax_check);
    if (!any) return Outcome::not_assessed;
    return failed ? Outcome::fail : Outcome::pass;
}

bool measures_vibration(const ModelInfo& model) { return record_column_index(model, "VLeq").has_value(); }

bool fits_model(const ModelInfo& model, const Criterion& c) {
    switch (c.standard->quantity) {
        case Quantity::a_weighted_sound: return !measures_vibration(model);
        case Quantity::vertical_vibration: return measures_vibration(model);
        case Quantity::any_level: return true;
    }
    return false;
}

void mark_limits(charts::Chart& chart, const Criterion& c) {
    std::vector<charts::PeriodLimit> limits;
    if (c.standard->id == StandardId::eu) {
        limits.push_back({23, 7, c.night / 10.0, texts::limit_line("Lnight", tenths_text(c.night))});
    } else if (c.standard->quantity == Quantity::vertical_vibration) {
        // GB 10070 limits VLz10, drawn over the hours' VLeq: the label says which level it limits.
        limits.push_back({6, 22, c.day / 10.0, texts::quantity_period_limit_line("VLz10", false, tenths_text(c.day))});
        limits.push_back({22, 6, c.night / 10.0, texts::quantity_period_limit_line("VLz10", true, tenths_text(c.night))});
    } else {
        limits.push_back({6, 22, c.day / 10.0, texts::period_limit_line(false, tenths_text(c.day))});
        limits.push_back({22, 6, c.night / 10.0, texts::period_limit_line(true, tenths_text(c.night))});
    }
    charts::mark_period_limits(chart, limits);
}

Assessment assess_row(const ModelInfo& model, const charts::GroupRows& rows, std::size_t row, const Criterion& c) {
    if (charts::row_kind(model, rows, row) == charts::GroupKind::day_profile && charts::run_day_profile(model, rows, row))
        return assess_run(model, rows, row, c);
    return assess_group(model, rows, row, c);
}

std::vector<Assessment> assess_all(const ModelInfo& model, const charts::GroupRows& rows, const Criterion& c) {
    std::vector<Assessment> all;
    for (std::size_t row = 0; row < rows.count; ++row) {
        all.push_back(assess_row(model, rows, row, c));
        // A run is assessed once; its other rows are its hours.
        if (all.back().kind == Assessment::Kind::run) row = std::max(row, all.back().last_row);
    }
    return all;
}

std::optional<int> time_of_day(std::string_view text) {
    std::vector<int> fields;
    while (true) {
        const auto colon = text.find(':');
        const auto field = small_number(text.substr(0, colon));
        if (!field || text.substr(0, colon).size() > 2) return std::nullopt;
        fields.push_back(*field);
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    if (fields.size() < 2 || fields.size() > 3) return std::nullopt;
    if (fields[0] > 23 || fields[1] > 59 || (fields.size() == 3 && fields[2] > 59)) return std::nullopt;
    return fields[0] * 3600 + fields[1] * 60 + (fields.size() == 3 ? fields[2] : 0);
}

std::optional<long> duration_seconds(std::string_view text) {
    if (text.find(':') != std::string_view::npos) {
        const auto t = time_of_day(text);
        return t ? std::optional<long>(*t) : std::nullopt;
    }
    // "1h30m0s": each part a number followed by its unit, in this order.
    long total = 0;
    for (auto [unit, scale] : {std::pair{'h', 3600L}, std::pair{'m', 60L}, std::pair{'s', 1L}}) {
        const auto at = text.find(unit);
        if (at == std::string_view::npos) return std::nullopt;
        const auto number = small_number(text.substr(0, at));
        if (!number || *number < 0) return std::nullopt;
        total += *number * scale;
        text.remove_prefix(at + 1);
    }
    if (!text.empty()) return std::nullopt;
    return total;
}

std::string_view outcome_text(Outcome outcome, Wording wording) {
    switch (outcome) {
        case Outcome::pass: return worded(wording, texts::kPass);
        case Outcome::fail: return worded(wording, texts::kFail);
        case Outcome::not_assessed: return worded(wording, texts::kNotAssessed);
    }
    return "";
}

std::string_view verdict_text(const Check& check, Wording wording) {
    return worded(wording, check.passed() ? texts::kPass : texts::kFail);
}

std::string_view period_text(Period period, Wording wording) {
    switch (period) {
        case Period::day: return worded(wording, texts::kDay);
        case Period::night: return worded(wording, texts::kNight);
        case Period::spanning: return worded(wording, texts::kSpanning);
    }
    return "";
}

}  // namespace nlx::assess
