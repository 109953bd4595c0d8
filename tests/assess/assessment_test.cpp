// Groups and 24-hour runs against GB 3096-2008, GB 10070-88, the EU directive and user limits: the
// hand-computed cases, the boundaries of the periods, and the groups that are not assessed; their
// text in the operator's language, their CSV and JSON in Chinese whatever the language.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "assess/assessment.h"
#include "assess/assessment_output.h"
#include "core/catalogue.h"

namespace nlx::assess {
namespace {

using Cells = std::map<std::string, std::string>;

// Record rows of a model, cells given by column name; 序号 is the row number.
struct Rows {
    const ModelInfo& model;
    std::vector<std::vector<std::string>> cells;

    explicit Rows(char letter) : model(*find_model(letter)) {}
    Rows& add(const Cells& named) {
        std::vector<std::string> row(model.record_columns.size());
        row[0] = (cells.size() < 9 ? "0" : "") + std::to_string(cells.size() + 1);
        for (const auto& [name, text] : named) row.at(std::size_t(record_column_index(model, name).value())) = text;
        cells.push_back(row);
        return *this;
    }
    charts::GroupRows rows() const {
        return {cells.size(), [this](std::size_t r, std::size_t p) { return p < cells[r].size() ? cells[r][p] : ""; }};
    }
};

std::string clock(int hour, int minute = 0) {
    auto two = [](int v) { return std::string(1, char('0' + v / 10)) + char('0' + v % 10); };
    return two(hour) + ":" + two(minute) + ":00";
}

// A model a 24-hour run: one A-weighted row per hour given, in the order given.
Rows run_a(const std::vector<std::pair<int, std::string>>& hours, const std::string& lmax = "") {
    Rows rows('a');
    rows.add({{"MODE", "STA"}, {"TIME", "05:00:00"}, {"Leq", "99.0"}, {"频率计权", "A"}});
    int day = 1;
    for (const auto& [hour, leq] : hours)
        rows.add({{"MODE", "24h" + std::to_string(day++)}, {"TIME", clock(hour)}, {"Leq", leq},
                  {"Lmax", lmax.empty() ? leq : lmax}, {"频率计权", "A"}, {"DATE", "08-09-05"}});
    return rows;
}

std::vector<std::pair<int, std::string>> every_hour(const std::string& leq) {
    std::vector<std::pair<int, std::string>> hours;
    for (int h = 0; h < 24; ++h) hours.push_back({h, leq});
    return hours;
}

Criterion criterion(const char* standard, const char* zone, std::optional<double> day = {},
                    std::optional<double> night = {}) {
    return make_criterion(standard, zone, day, night).value();
}

struct Expected {
    std::string quantity;
    int measured, limit;
};

struct Case {
    const char* what;
    Rows rows;
    std::size_t row;  // the row assessed, 0-based
    Criterion criterion;
    Outcome outcome;
    std::vector<Expected> checks;      // the deciding and the period checks, in order
    std::vector<int> missing_hours;
    std::string note_or_reason;        // a text a note or the refusal holds; "" for none wanted
};

TEST(Assessment, HandComputedCases) {
    std::vector<std::pair<int, std::string>> uneven;
    for (int h = 6; h < 14; ++h) uneven.push_back({h, "60.0"});
    for (int h = 14; h < 22; ++h) uneven.push_back({h, "50.0"});
    for (int h : {22, 23, 0, 1, 2}) uneven.push_back({h, "45.0"});
    const Case cases[] = {
        {"constant 60.0 dB run in class 2: day meets its limit exactly, night 10 dB over", run_a(every_hour("60.0")), 5,
         criterion("gb3096", "2"), Outcome::fail, {{"Ld", 600, 600}, {"Ln", 600, 500}}, {}, ""},
        {"hours 03-05 missing: energy means of the hours present, not zeros", run_a(uneven), 3, criterion("gb3096", "2"),
         Outcome::pass, {{"Ld", 574, 600}, {"Ln", 450, 500}}, {3, 4, 5}, "其Ld=57.4 dB，Ln=43.0 dB"},
        {"the run in class 1: its Ld of 57.4 is over 55", run_a(uneven), 1, criterion("gb3096", "1"), Outcome::fail,
         {{"Ld", 574, 550}, {"Ln", 450, 450}}, {3, 4, 5}, ""},
        {"group from 21:30 for an hour spans 22:00: night limit", Rows('b').add({{"MODE", "STA"}, {"TIME", "21:30:00"},
         {"测量时间", "1h0m0s"}, {"Leq", "52.0"}, {"Lmax", "60.0"}, {"频率计权", "A"}}), 0, criterion("gb3096", "2"),
         Outcome::fail, {{"Leq", 520, 500}, {"Lmax", 600, 650}}, {}, "跨越22:00"},
        {"group ending at 22:00 is a day group", Rows('b').add({{"MODE", "STA"}, {"TIME", "21:00:00"},
         {"测量时间", "1h0m0s"}, {"Leq", "52.0"}, {"Lmax", "90.0"}, {"频率计权", "A"}}), 0, criterion("gb3096", "2"),
         Outcome::pass, {{"Leq", 520, 600}}, {}, ""},
        {"group from 05:50 for 20 minutes spans 06:00", Rows('b').add({{"MODE", "STA"}, {"TIME", "05:50:00"},
         {"测量时间", "0h20m0s"}, {"Leq", "48.0"}, {"Lmax", "60.0"}, {"频率计权", "A"}}), 0, criterion("gb3096", "2"),
         Outcome::pass, {{"Leq", 480, 500}, {"Lmax", 600, 650}}, {}, "跨越06:00"},
        {"night group with Lmax 16 dB over the night limit", Rows('a').add({{"MODE", "STA"}, {"TIME", "23:00:00"},
         {"测量时间", "0h10m0s"}, {"Leq", "45.0"}, {"Lmax", "66.0"}, {"频率计权", "A"}}), 0, criterion("gb3096", "2"),
         Outcome::fail, {{"Leq", 450, 500}, {"Lmax", 660, 650}}, {}, ""},
        {"night Lmax exactly 15 dB over meets the rule", Rows('a').add({{"MODE", "STA"}, {"TIME", "02:00:00"},
         {"测量时间", "0h10m0s"}, {"Leq", "45.0"}, {"Lmax", "65.0"}, {"频率计权", "A"}}), 0, criterion("gb3096", "2"),
         Outcome::pass, {{"Leq", 450, 500}, {"Lmax", 650, 650}}, {}, ""},
        {"night hour of a run with Lmax 16 dB over fails the run", run_a(every_hour("40.0"), "66.0"), 1,
         criterion("gb3096", "2"), Outcome::fail, {{"Ld", 400, 600}, {"Ln", 400, 500}}, {}, ""},
        {"C-weighted group refused", Rows('b').add({{"MODE", "STA"}, {"TIME", "10:00:00"}, {"测量时间", "0h10m0s"},
         {"Leq", "50.0"}, {"频率计权", "C"}}), 0, criterion("gb3096", "2"), Outcome::not_assessed, {}, {},
         "频率计权为C，GB 3096-2008只评价A计权声级"},
        {"Z-weighted sound group refused", Rows('c').add({{"MODE", "STA"}, {"TIME", "10:00:00"}, {"Leq", "50.0"},
         {"频率计权", "Z"}}), 0, criterion("gb3096", "2"), Outcome::not_assessed, {}, {}, "频率计权为Z"},
        {"octave group refused", Rows('b').add({{"MODE", "OCT"}, {"TIME", "10:00:00"}, {"Leq", "50.0"},
         {"频率计权", "A"}}), 0, criterion("gb3096", "2"), Outcome::not_assessed, {}, {}, "倍频程"},
        {"group without TIME refused", Rows('b').add({{"MODE", "STA"}, {"Leq", "50.0"}, {"频率计权", "A"}}), 0,
         criterion("gb3096", "2"), Outcome::not_assessed, {}, {}, "TIME"},
        {"a run with a C-weighted hour is refused, naming it", [] {
             Rows rows = run_a(every_hour("50.0"));
             rows.cells[4][std::size_t(*record_column_index(rows.model, "频率计权"))] = "C";
             return rows;
         }(), 2, criterion("gb3096", "2"), Outcome::not_assessed, {}, {}, "序号05：频率计权为C"},
        {"model d residential by day: VLz10 68.5 meets 70 though VLeq is 72", Rows('d').add({{"MODE", "STA"},
         {"TIME", "10:00:00"}, {"测量时间", "0h20m0s"}, {"VLeq", "72.0"}, {"VL10", "68.5"}, {"VLmax", "90.0"},
         {"频率计权", "Z"}}), 0, criterion("gb10070", "residential"), Outcome::pass, {{"VLz10", 685, 700}}, {}, ""},
        {"model d residential by night: VLz10 68.0 is over 67", Rows('d').add({{"MODE", "STA"}, {"TIME", "23:10:00"},
         {"测量时间", "0h20m0s"}, {"VLeq", "66.0"}, {"VL10", "68.0"}, {"频率计权", "Z"}}), 0,
         criterion("gb10070", "residential"), Outcome::fail, {{"VLz10", 680, 670}}, {}, ""},
        {"model d horizontal group refused by GB 10070", Rows('d').add({{"MODE", "STA"}, {"TIME", "10:00:00"},
         {"VL10", "60.0"}, {"频率计权", "XY"}}), 0, criterion("gb10070", "special"), Outcome::not_assessed, {}, {},
         "只评价铅垂向Z振级"},
        {"model d refused by GB 3096", Rows('d').add({{"MODE", "STA"}, {"TIME", "10:00:00"}, {"VLeq", "60.0"},
         {"频率计权", "Z"}}), 0, criterion("gb3096", "2"), Outcome::not_assessed, {}, {}, "振动测量组"},
        {"model d 24-hour run by GB 10070 stands by its highest hour", [] {
             Rows rows('d');
             for (int h = 0; h < 24; ++h)
                 rows.add({{"MODE", "24h" + std::to_string(h + 1)}, {"TIME", clock(h)}, {"VL10", h == 15 ? "71.0" : "60.0"},
                           {"频率计权", "Z"}});
             return rows;
         }(), 7, criterion("gb10070", "residential"), Outcome::fail,
         {{"昼间VLz10最大", 710, 700}, {"夜间VLz10最大", 600, 670}}, {}, ""},
        {"user limits on any weighting", Rows('b').add({{"MODE", "STA"}, {"TIME", "12:00:00"}, {"测量时间", "0h1m0s"},
         {"Leq", "62.3"}, {"频率计权", "C"}}), 0, criterion("user", "", 62.3, 50), Outcome::pass, {{"Leq", 623, 623}}, {},
         ""},
        {"EU directive: Lden of a constant 60 dB day is 66.4", run_a(every_hour("60.0")), 1, criterion("eu", "", 65, 60),
         Outcome::fail, {{"Lden", 664, 650}, {"Lnight", 600, 600}}, {}, ""},
        {"EU directive assesses runs only", Rows('b').add({{"MODE", "STA"}, {"TIME", "12:00:00"}, {"Leq", "62.3"},
         {"频率计权", "A"}}), 0, criterion("eu", "", 65, 60), Outcome::not_assessed, {}, {}, "只对24小时测量评价"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Assessment a = assess_row(c.rows.model, c.rows.rows(), c.row, c.criterion);
        EXPECT_EQ(a.outcome(), c.outcome);
        ASSERT_EQ(a.checks.size(), c.checks.size());
        for (std::size_t k = 0; k < c.checks.size(); ++k) {
            EXPECT_EQ(a.checks[k].quantity.text(Wording::source), c.checks[k].quantity);
            EXPECT_EQ(a.checks[k].measured, c.checks[k].measured);
            EXPECT_EQ(a.checks[k].limit, c.checks[k].limit);
        }
        EXPECT_EQ(a.missing_hours, c.missing_hours);
        std::string said = a.refused ? a.refused->text(Wording::source) : "";
        for (const auto& note : a.notes) said += "\n" + note.text(Wording::source);
        if (!c.note_or_reason.empty()) {
            EXPECT_NE(said.find(c.note_or_reason), std::string::npos) << said;
        }
        if (c.outcome == Outcome::not_assessed) {
            EXPECT_TRUE(a.refused);
        }
    }
}

TEST(Assessment, RunCoversTheRowsTheChartTakes) {
    // The STA row before the run and the STA row after it are groups of their own.
    Rows rows = run_a(every_hour("55.0"));
    rows.add({{"MODE", "STA"}, {"TIME", "10:00:00"}, {"测量时间", "0h5m0s"}, {"Leq", "70.0"}, {"频率计权", "A"}});
    const auto all = assess_all(rows.model, rows.rows(), criterion("gb3096", "4a"));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].kind, Assessment::Kind::group);
    EXPECT_EQ(all[1].kind, Assessment::Kind::run);
    EXPECT_EQ(all[1].first_row, 1u);
    EXPECT_EQ(all[1].last_row, 24u);
    EXPECT_EQ(all[1].hours.size(), 24u);
    EXPECT_EQ(all[2].first_row, 25u);
    EXPECT_EQ(all[2].outcome(), Outcome::pass);  // 70.0 against 4a's day limit of 70
    // Every hour against the limit of its period, without deciding the run.
    for (const auto& h : all[1].hours) {
        ASSERT_TRUE(h.level_check);
        EXPECT_EQ(h.level_check->limit, h.hour >= 6 && h.hour < 22 ? 700 : 550) << h.hour;
        EXPECT_FALSE(h.level_check->decides);
    }
}

TEST(Assessment, TimesAndDurations) {
    const struct {
        const char* text;
        std::optional<long> seconds;
    } times[] = {{"21:30:00", 77400}, {"07:05", 25500}, {"24:00:00", {}}, {"", {}}, {"12:60:00", {}}, {"1A:00:00", {}}},
      durations[] = {{"1h30m0s", 5400}, {"0h5m0s", 300}, {"25h0m0s", 90000}, {"01:30:00", 5400}, {"", {}},
                     {"1h30m", {}}, {"h0m0s", {}}};
    for (const auto& t : times) EXPECT_EQ(time_of_day(t.text), t.seconds) << t.text;
    for (const auto& d : durations) EXPECT_EQ(duration_seconds(d.text), d.seconds) << d.text;
}

TEST(Assessment, CriterionRefusals) {
    const struct {
        const char* standard;
        const char* zone;
        std::optional<double> day, night;
        const char* says;
    } refused[] = {
        {"gb3096", "5", {}, {}, "0, 1, 2, 3, 4a, 4b"},
        {"gb3096", "", {}, {}, "needs a zone class"},
        {"gb3096", "2", 60, 50, "sets its own limits"},
        {"gb10070", "2", {}, {}, "special, residential"},
        {"user", "", 60, {}, "both"},
        {"user", "", 60, -1, "night limit must be"},
        {"eu", "", 60, 50 + 1e9, "Lnight limit"},
        {"iso", "", {}, {}, "gb3096, gb10070, eu or user"},
    };
    for (const auto& r : refused) {
        const auto made = make_criterion(r.standard, r.zone, r.day, r.night);
        ASSERT_FALSE(made) << r.standard << " " << r.zone;
        EXPECT_NE(made.message().find(r.says), std::string::npos) << made.message();
    }
}

// The limits a 24-hour chart draws, over a run from midnight: each standard's periods and labels.
TEST(Assessment, ChartLimitsOfEachStandard) {
    charts::Chart run;
    for (int h = 0; h < 24; ++h) run.add(clock(h).substr(0, 2), 60, "60.0");
    const struct {
        Criterion criterion;
        std::vector<charts::ChartLevel> lines;
    } cases[] = {
        {criterion("gb3096", "2"),
         {{5.5, 21.5, 60, "昼间限值 60.0 dB"}, {-0.5, 5.5, 50, "夜间限值 50.0 dB"}, {21.5, 23.5, 50, "夜间限值 50.0 dB"}}},
        {criterion("gb10070", "residential"),
         {{5.5, 21.5, 70, "VLz10昼间限值 70.0 dB"}, {-0.5, 5.5, 67, "VLz10夜间限值 67.0 dB"},
          {21.5, 23.5, 67, "VLz10夜间限值 67.0 dB"}}},
        {criterion("user", "", 61.5, 45),
         {{5.5, 21.5, 61.5, "昼间限值 61.5 dB"}, {-0.5, 5.5, 45, "夜间限值 45.0 dB"}, {21.5, 23.5, 45, "夜间限值 45.0 dB"}}},
        {criterion("eu", "", 65, 55), {{-0.5, 6.5, 55, "Lnight限值 55.0 dB"}, {22.5, 23.5, 55, "Lnight限值 55.0 dB"}}},
    };
    for (const auto& c : cases) {
        charts::Chart chart = run;
        mark_limits(chart, c.criterion);
        EXPECT_EQ(chart.levels, c.lines) << c.criterion.description(Wording::source);
    }
}

TEST(Assessment, StandardsFitTheModelsTheyLimit) {
    const struct {
        char model;
        const char* standard;
        bool fits;
    } cases[] = {{'a', "gb3096", true},  {'e', "gb3096", true},  {'d', "gb3096", false}, {'b', "gb10070", false},
                 {'d', "gb10070", true}, {'d', "eu", false},     {'c', "eu", true},      {'d', "user", true}};
    for (const auto& c : cases) {
        const Criterion made = std::string(c.standard) == "gb3096"    ? criterion("gb3096", "1")
                               : std::string(c.standard) == "gb10070" ? criterion("gb10070", "mixed")
                                                                      : criterion(c.standard, "", 60, 50);
        EXPECT_EQ(fits_model(*find_model(c.model), made), c.fits) << c.model << " " << c.standard;
    }
}

TEST(AssessmentOutput, LinesCsvAndJsonCarryTheVerdicts) {
    const Rows rows = run_a(every_hour("60.0"));
    const Criterion c = criterion("gb3096", "2");
    const auto all = assess_all(rows.model, rows.rows(), c);
    const auto lines = table_lines(all[1], Wording::source);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].quantity, "Ld");
    EXPECT_EQ(lines[0].margin, "0.0");
    EXPECT_EQ(lines[0].verdict, "达标");
    EXPECT_EQ(lines[1].margin, "+10.0");
    EXPECT_EQ(lines[1].verdict, "超标");
    const std::string csv = assessment_csv(c, all);
    EXPECT_NE(csv.find("2-25,02,24小时测量,08-09-05,00:00:00,夜间,Ln,60.0,50.0,+10.0,超标"), std::string::npos) << csv;
    const std::string json = assessment_json(c, all);
    EXPECT_NE(json.find("{\"quantity\": \"Ln\", \"measured\": 60.0, \"limit\": 50.0, \"margin\": 10.0, \"verdict\": \"超标\""),
              std::string::npos);
    const std::string text = assessment_text(c, all, Wording::source);
    EXPECT_NE(text.find("第2至25行 序号02 24小时测量 08-09-05 00:00:00：超标"), std::string::npos) << text;
}

// Whether `text` holds a character of the CJK blocks (U+2E80 .. U+9FFF, U+FF00 .. U+FFEF).
bool has_chinese(std::string_view text) {
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]), next = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xE2 && next >= 0xBA) return true;
        if (lead >= 0xE3 && lead <= 0xE9) return true;
        if (lead == 0xEF && (next == 0xBC || next == 0xBD || next == 0xBE || next == 0xBF)) return true;
    }
    return false;
}

// Every kind of group, run, note and refusal of an assessment, as one set of rows per standard.
struct Wordings {
    const char* what;
    Rows rows;
    Criterion criterion;
};

std::vector<Wordings> every_kind_of_assessment() {
    std::vector<std::pair<int, std::string>> gappy;
    for (int h = 6; h < 22; ++h) gappy.push_back({h, "55.0"});
    gappy.push_back({7, "56.0"});     // the same hour twice
    gappy.push_back({0, "n/a"});      // a level that is not a number
    Rows sound = run_a(gappy);
    sound.add({{"MODE", "STA"}, {"TIME", "21:30:00"}, {"测量时间", "1h0m0s"}, {"Leq", "52.0"}, {"Lmax", "x"}, {"频率计权", "A"}})
        .add({{"MODE", "STA"}, {"TIME", "05:50:00"}, {"测量时间", "0h20m0s"}, {"Leq", "48.0"}, {"Lmax", "60.0"}, {"频率计权", "A"}})
        .add({{"MODE", "STA"}, {"TIME", "21:00:00"}, {"测量时间", "10h0m0s"}, {"Leq", "48.0"}, {"Lmax", "60.0"}, {"频率计权", "A"}})
        .add({{"MODE", "STA"}, {"TIME", "12:00:00"}, {"Leq", "50.0"}, {"频率计权", "A"}})  // duration unknown
        .add({{"MODE", "STA"}, {"TIME", "12:00:00"}, {"测量时间", "0h1m0s"}, {"Leq", "50.0"}, {"频率计权", "C"}})
        .add({{"MODE", "STA"}, {"TIME", "12:00:00"}, {"测量时间", "0h1m0s"}, {"Leq", "50.0"}})  // no weighting
        .add({{"MODE", "STA"}, {"Leq", "50.0"}, {"频率计权", "A"}})                           // no TIME
        .add({{"MODE", "STA"}, {"TIME", "12:00:00"}, {"Leq", "--"}, {"频率计权", "A"}})       // Leq not a number
        .add({{"MODE", "OCT"}, {"TIME", "12:00:00"}, {"Leq", "50.0"}, {"频率计权", "A"}});
    Rows night_only = run_a({{23, "45.0"}, {1, "44.0"}});
    Rows unusable = run_a({{1, "x"}, {2, "--"}});
    Rows vibration('d');
    for (int h = 0; h < 24; ++h)
        vibration.add({{"MODE", "24h" + std::to_string(h + 1)}, {"TIME", h == 3 ? "30:00:00" : clock(h)},
                       {"VL10", "60.0"}, {"VLeq", "58.0"}, {"频率计权", "Z"}});
    vibration.add({{"MODE", "STA"}, {"TIME", "10:00:00"}, {"VL10", "60.0"}, {"频率计权", ""}})
        .add({{"MODE", "STA"}, {"TIME", "10:00:00"}, {"VL10", "60.0"}, {"频率计权", "XY"}});
    Rows wrong_kind('b');
    wrong_kind.add({{"MODE", "STA"}, {"TIME", "12:00:00"}, {"Leq", "50.0"}, {"频率计权", "A"}});
    return {
        {"sound against GB 3096", sound, criterion("gb3096", "4a")},
        {"sound against the user's limits", sound, criterion("user", "", 55, 45)},
        {"sound against user limits stricter by day", sound, criterion("user", "", 45, 55)},
        {"sound against the EU directive", sound, criterion("eu", "", 65, 55)},
        {"a run with night hours only", night_only, criterion("eu", "", 65, 55)},
        {"a run with night hours only, GB 3096", night_only, criterion("gb3096", "1")},
        {"a run without a usable hour", unusable, criterion("gb3096", "1")},
        {"vibration against GB 10070", vibration, criterion("gb10070", "trunk-road")},
        {"vibration against the user's limits", vibration, criterion("user", "", 70, 60)},
        {"vibration against GB 3096", vibration, criterion("gb3096", "0")},
        {"sound against GB 10070", wrong_kind, criterion("gb10070", "special")},
    };
}

// With the English catalogue in use, the text and the table lines speak English throughout (a
// text of an assessment without a translation would show in Chinese), while the CSV and JSON are
// byte for byte what they are without a catalogue, and the Chinese text is what it always was.
TEST(AssessmentOutput, TextInTheLanguageMachineFormatsInChinese) {
    auto english = load_catalogue(NLX_ENGLISH_CATALOGUE);
    ASSERT_TRUE(english) << english.message();
    for (const auto& c : every_kind_of_assessment()) {
        SCOPED_TRACE(c.what);
        const auto all = assess_all(c.rows.model, c.rows.rows(), c.criterion);
        use_no_catalogue();
        const std::string csv = assessment_csv(c.criterion, all), json = assessment_json(c.criterion, all);
        const std::string chinese = assessment_text(c.criterion, all, Wording::operator_language);
        EXPECT_EQ(assessment_text(c.criterion, all, Wording::source), chinese);

        use_catalogue(*english);
        const std::string text = assessment_text(c.criterion, all, Wording::operator_language);
        EXPECT_FALSE(has_chinese(text)) << text;
        EXPECT_EQ(text.find('%'), std::string::npos) << text;  // every placeholder filled
        for (const auto& a : all)
            for (const auto& line : table_lines(a, Wording::operator_language))
                for (const auto* cell : {&line.kind, &line.period, &line.quantity, &line.verdict, &line.note})
                    EXPECT_FALSE(has_chinese(*cell)) << *cell;
        EXPECT_EQ(assessment_csv(c.criterion, all), csv);
        EXPECT_EQ(assessment_json(c.criterion, all), json);
        EXPECT_EQ(assessment_text(c.criterion, all, Wording::source), chinese);
        use_no_catalogue();
    }
}

// The same assessment in both wordings: the table lines' roles and verdicts do not depend on the
// words, so the window and the sheet tell an hour, a missing-hours line and a failure apart in
// any language.
TEST(AssessmentOutput, LineRolesDoNotDependOnTheWords) {
    auto english = load_catalogue(NLX_ENGLISH_CATALOGUE);
    ASSERT_TRUE(english) << english.message();
    const Rows rows = run_a({{0, "60.0"}, {1, "40.0"}, {12, "70.0"}}, "70.0");
    const Criterion c = criterion("gb3096", "2");
    const Assessment a = assess_all(rows.model, rows.rows(), c)[1];
    const auto chinese = table_lines(a, Wording::source);
    use_catalogue(*english);
    const auto english_lines = table_lines(a, Wording::operator_language);
    use_no_catalogue();
    ASSERT_EQ(chinese.size(), english_lines.size());
    std::size_t hours = 0, missing = 0, failed = 0;
    for (std::size_t i = 0; i < chinese.size(); ++i) {
        EXPECT_EQ(chinese[i].role, english_lines[i].role) << i;
        EXPECT_EQ(chinese[i].failed, english_lines[i].failed) << i;
        EXPECT_EQ(chinese[i].failed, chinese[i].verdict == "超标") << i;
        EXPECT_EQ(chinese[i].role == TableLine::Role::hour, chinese[i].kind == "逐时") << i;
        hours += chinese[i].role == TableLine::Role::hour;
        missing += chinese[i].role == TableLine::Role::missing_hours;
        failed += chinese[i].failed;
    }
    EXPECT_EQ(hours, 3u + 2u);  // three hours' Leq, two night hours' Lmax
    EXPECT_EQ(missing, 1u);
    // Ld 70.0 > 60; Ln 57.0 > 50; hour 00 Leq 60 > 50, hour 12 Leq 70 > 60, both night Lmax 70 > 65.
    EXPECT_EQ(failed, 2u + 2u + 2u);
}

}  // namespace
}  // namespace nlx::assess
