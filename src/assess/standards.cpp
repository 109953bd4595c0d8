// The standards' limits as data, and the criterion an assessment runs with.
#include "assess/standards.h"

#include <cmath>
#include <cstdlib>

#include "core/texts.h"

namespace nlx::assess {
namespace {

// GB 3096-2008 声环境质量标准, table 1: environmental noise limits of the function zones, A-weighted
// equivalent level, day 06:00-22:00, night 22:00-06:00.
constexpr ClassLimits kGb3096[] = {
    {"0", texts::kGb3096Class0, 500, 400},
    {"1", texts::kGb3096Class1, 550, 450},
    {"2", texts::kGb3096Class2, 600, 500},
    {"3", texts::kGb3096Class3, 650, 550},
    {"4a", texts::kGb3096Class4a, 700, 550},
    {"4b", texts::kGb3096Class4b, 700, 600},
};

// GB 10070-88 城市区域环境振动标准: vertical Z vibration level limits of the areas, day and night.
constexpr ClassLimits kGb10070[] = {
    {"special", texts::kGb10070Special, 650, 650},
    {"residential", texts::kGb10070Residential, 700, 670},
    {"mixed", texts::kGb10070Mixed, 750, 720},
    {"industrial", texts::kGb10070Industrial, 750, 720},
    {"trunk-road", texts::kGb10070TrunkRoad, 750, 720},
    {"railway", texts::kGb10070Railway, 800, 800},
};

constexpr Standard kStandards[] = {
    {StandardId::gb3096, "gb3096", "GB 3096-2008", texts::kGb3096Title, Quantity::a_weighted_sound, kGb3096, 150, texts::kGb3096Rule},
    {StandardId::gb10070, "gb10070", "GB 10070-88", texts::kGb10070Title, Quantity::vertical_vibration, kGb10070, std::nullopt,
     texts::kGb10070Rule},
    {StandardId::eu, "eu", "EU 2002/49/EC", texts::kEuTitle, Quantity::a_weighted_sound, {}, std::nullopt, texts::kEuRule},
    {StandardId::user, "user", texts::kUserSource, texts::kUserTitle, Quantity::any_level, {}, std::nullopt, texts::kUserRule},
};

bool plausible_limit(double db) { return std::isfinite(db) && db >= 0 && db <= 200; }

}  // namespace

std::span<const Standard> all_standards() { return kStandards; }

const Standard* find_standard(std::string_view key) {
    for (const auto& s : kStandards)
        if (s.key == key) return &s;
    return nullptr;
}

const ClassLimits* find_class(const Standard& standard, std::string_view key) {
    for (const auto& c : standard.classes)
        if (c.key == key) return &c;
    return nullptr;
}

std::string class_keys(const Standard& standard) {
    std::string keys;
    for (const auto& c : standard.classes) keys.append(keys.empty() ? "" : ", ").append(c.key);
    return keys;
}

int tenths(double db) { return int(std::lround(db * 10)); }

std::string tenths_text(long t) {
    const long a = std::labs(t);
    return std::string(t < 0 ? "-" : "") + std::to_string(a / 10) + "." + std::to_string(a % 10);
}

std::string margin_text(long t) {
    std::string text = t > 0 ? "+" : "";
    text += tenths_text(t);
    return text;
}

std::string Criterion::description(Wording wording) const {
    const bool eu = standard->id == StandardId::eu;
    const std::string day_limit = eu ? "Lden " + tenths_text(day) + " dB" : fill(worded(wording, texts::kDayLevel), {tenths_text(day)});
    const std::string night_limit =
        eu ? "Lnight " + tenths_text(night) + " dB" : fill(worded(wording, texts::kNightLevel), {tenths_text(night)});
    const std::string_view source = worded(wording, standard->source), title = worded(wording, standard->title);
    if (zone)
        return fill(worded(wording, texts::kCriterionOfClass), {source, title, worded(wording, zone->name), day_limit, night_limit});
    return fill(worded(wording, texts::kCriterion), {source, title, day_limit, night_limit});
}

Result<Criterion> make_criterion(std::string_view standard_key, std::string_view zone, std::optional<double> day,
                                 std::optional<double> night) {
    const Standard* standard = find_standard(standard_key);
    if (!standard) return fail("no standard \"" + std::string(standard_key) + "\" (gb3096, gb10070, eu or user)");
    Criterion c;
    c.standard = standard;
    if (!standard->classes.empty()) {
        const char* word = standard->id == StandardId::gb3096 ? "zone class" : "area";
        if (zone.empty()) return fail(std::string(standard->source) + " needs a " + word + " (" + class_keys(*standard) + ")");
        c.zone = find_class(*standard, zone);
        if (!c.zone)
            return fail(std::string(standard->source) + " has no " + word + " \"" + std::string(zone) + "\" (" +
                        class_keys(*standard) + ")");
        if (day || night) return fail(std::string(standard->source) + " sets its own limits: give no day or night limit");
        c.day = c.zone->day;
        c.night = c.zone->night;
        return c;
    }
    const bool eu = standard->id == StandardId::eu;
    const std::string day_name = eu ? "Lden limit" : "day limit", night_name = eu ? "Lnight limit" : "night limit";
    if (!zone.empty()) return fail(std::string(standard->source) + " has no classes: give the " + day_name + " and the " + night_name);
    if (!day || !night) return fail("give both the " + day_name + " and the " + night_name + " in dB");
    if (!plausible_limit(*day)) return fail("the " + day_name + " must be a level from 0 to 200 dB");
    if (!plausible_limit(*night)) return fail("the " + night_name + " must be a level from 0 to 200 dB");
    c.day = tenths(*day);
    c.night = tenths(*night);
    return c;
}

}  // namespace nlx::assess
