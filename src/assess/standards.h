// The limits the groups are assessed against: one table row per standard and class, each naming
// its source, and the choice of standard and class an assessment runs with.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/catalogue.h"
#include "core/result.h"

namespace nlx::assess {

enum class StandardId { gb3096, gb10070, eu, user };

// What a standard limits, and so which groups it can assess.
enum class Quantity {
    a_weighted_sound,    // Leq of A-weighted sound groups (models a, b, c, e)
    vertical_vibration,  // VLz10 of Z-weighted vibration groups (model d)
    any_level,           // the group's Leq or VLeq, whatever it measures
};

// A zone or area class of a standard and its day and night limits, in tenths of a decibel.
struct ClassLimits {
    std::string_view key;   // as typed on the command line and kept in the file: "2", "residential"
    std::string_view name;  // as printed, a catalogue entry: "2类声环境功能区"
    int day, night;
};

struct Standard {
    StandardId id;
    std::string_view key;     // "gb3096", "gb10070", "eu", "user"
    std::string_view source;  // "GB 3096-2008"; the user's limits: a catalogue entry
    std::string_view title;   // a catalogue entry: "声环境质量标准"
    Quantity quantity;
    std::span<const ClassLimits> classes;  // empty: the user gives the limits
    // How far a night group's or hour's Lmax may exceed the night limit, tenths; nullopt: no rule.
    std::optional<int> night_lmax_allowance;
    std::string_view rule;  // the standard's own words on what is compared, one line (a catalogue entry)
};

std::span<const Standard> all_standards();
const Standard* find_standard(std::string_view key);
const ClassLimits* find_class(const Standard& standard, std::string_view key);

// What an assessment runs with: a standard, its class, and the limits (from the class, or the
// user's own). For the EU directive `day` is the Lden limit and `night` the Lnight limit.
struct Criterion {
    const Standard* standard = nullptr;
    const ClassLimits* zone = nullptr;  // nullptr for limits the user gives
    int day = 0, night = 0;             // tenths of a decibel

    // "GB 3096-2008 声环境质量标准 2类声环境功能区 昼间60.0 dB 夜间50.0 dB".
    std::string description(Wording wording) const;
};

// A criterion from a standard's key and a class key, or the user's limits in dB (eu: Lden and
// Lnight; user: day and night). Errors say which value is wrong and what the choices are.
Result<Criterion> make_criterion(std::string_view standard, std::string_view zone, std::optional<double> day,
                                 std::optional<double> night);

// The keys of a standard's classes joined by ", ", for messages and help.
std::string class_keys(const Standard& standard);

// Tenths of a decibel of a level in dB, rounded half away from zero.
int tenths(double db);
// A level in tenths as text with one decimal: 600 -> "60.0", -5 -> "-0.5".
std::string tenths_text(long tenths);
// A margin with its sign: 100 -> "+10.0", 0 -> "0.0", -20 -> "-2.0".
std::string margin_text(long tenths);

}  // namespace nlx::assess
