// nlx assess on a database of chosen groups: the verdicts as CSV and JSON, the standard taken
// from standard.cfg or refused with the file named, models refused by a standard, the A4
// assessment sheet as pdftotext reads it, written only by a command that succeeds, and which of
// them follow the operator's language.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>

#include "core/catalogue.h"
#include "core/models.h"
#include "core/texts.h"
#include "store/database.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

// pdftotext reads some characters of the CJK face as the Kangxi radicals of the same shape.
void unify_radicals(std::string& text) {
    const std::pair<std::string_view, std::string_view> radicals[] = {
        {"⼩", "小"}, {"⽆", "无"}, {"⾄", "至"}, {"⾏", "行"}, {"⽇", "日"}, {"⽉", "月"}, {"⾼", "高"}, {"⼤", "大"}};
    for (const auto& [radical, character] : radicals)
        for (auto at = text.find(radical); at != std::string::npos; at = text.find(radical, at))
            text.replace(at, radical.size(), character);
}

struct AssessCommand : ::testing::Test {
    test::TempDir dir;
    fs::path home = dir / "home";
    fs::path db_file = dir / "records.db";

    static DecodedGroup group(char letter, std::size_t number, const std::map<std::string, std::string>& cells) {
        const ModelInfo& model = *find_model(letter);
        DecodedGroup g;
        g.record.resize(model.record_columns.size());
        g.record[0] = (number < 10 ? "0" : "") + std::to_string(number);
        for (const auto& [name, text] : cells) g.record.at(std::size_t(record_column_index(model, name).value())) = text;
        return g;
    }
    void store(char letter, const std::vector<DecodedGroup>& groups) {
        auto db = Database::create_or_open(db_file);
        ASSERT_TRUE(db) << db.message();
        ASSERT_TRUE(db->replace_model(model_of(letter), groups)) << "store";
    }
    void SetUp() override {
        fs::create_directories(home);
        // Row 1: a C-weighted group; rows 2-25: a constant 60.0 dB run; row 26: a group spanning 22:00.
        std::vector<DecodedGroup> groups;
        groups.push_back(group('a', 1, {{"MODE", "STA"}, {"TIME", "10:00:00"}, {"测量时间", "0h10m0s"},
                                        {"Leq", "50.0"}, {"频率计权", "C"}}));
        for (int h = 0; h < 24; ++h)
            groups.push_back(group('a', groups.size() + 1,
                                   {{"MODE", "24h" + std::to_string(h + 1)}, {"TIME", (h < 10 ? "0" : "") + std::to_string(h) + ":00:00"},
                                    {"DATE", "08-09-05"}, {"Leq", "60.0"}, {"Lmax", "70.0"}, {"频率计权", "A"}}));
        groups.push_back(group('a', 26, {{"MODE", "STA"}, {"TIME", "21:30:00"}, {"测量时间", "1h0m0s"},
                                         {"Leq", "52.0"}, {"Lmax", "60.0"}, {"频率计权", "A"}}));
        store('a', groups);
    }
    test::CommandResult assess(std::vector<std::string> args, const std::string& language = "zh") const {
        std::vector<std::string> all = {"assess", "--model", "a", "--db", db_file.string()};
        all.insert(all.end(), args.begin(), args.end());
        return test::run_nlx(all, {{"NLX_HOME", home.string()}, {"NLX_LANG", language}});
    }
};

TEST_F(AssessCommand, CsvAndJsonCarryEveryVerdict) {
    const auto csv = assess({"--all", "--standard", "gb3096", "--zone", "2", "--format", "csv"});
    ASSERT_EQ(csv.exit_code, 0) << csv.err;
    for (const char* line : {"1,01,统计组,,10:00:00,,,,,,未评价,频率计权为C，GB 3096-2008只评价A计权声级\r\n",
                             "2-25,02,24小时测量,08-09-05,00:00:00,昼间,Ld,60.0,60.0,0.0,达标,\r\n",
                             "2-25,02,24小时测量,08-09-05,00:00:00,夜间,Ln,60.0,50.0,+10.0,超标,\r\n",
                             "2,02,逐时,08-09-05,,00时,Lmax,70.0,65.0,+5.0,超标,\r\n",
                             "26,26,统计组,,21:30:00,跨昼夜,Leq,52.0,50.0,+2.0,超标,测量跨越22:00，按较严的夜间限值评价\r\n"})
        EXPECT_NE(csv.out.find(line), std::string::npos) << line << "\n" << csv.out;
    const auto json = assess({"--row", "7", "--standard", "gb3096", "--zone", "4b", "--format", "json"});
    ASSERT_EQ(json.exit_code, 0) << json.err;
    EXPECT_NE(json.out.find("\"first_row\": 2, \"last_row\": 25"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("{\"quantity\": \"Ln\", \"measured\": 60.0, \"limit\": 60.0, \"margin\": 0.0, \"verdict\": \"达标\""),
              std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"missing_hours\": []"), std::string::npos);
}

TEST_F(AssessCommand, TheStandardComesFromStandardCfgOrIsRefused) {
    const fs::path file = home / "standard.cfg";
    const auto none = assess({"--row", "26"});
    EXPECT_EQ(none.exit_code, 1);
    EXPECT_NE(none.err.find("no standard chosen"), std::string::npos) << none.err;
    EXPECT_NE(none.err.find(file.string()), std::string::npos) << none.err;

    const auto saved = assess({"--row", "26", "--day", "55", "--night", "52.5", "--save"});
    ASSERT_EQ(saved.exit_code, 0) << saved.err;
    const auto again = assess({"--row", "26", "--format", "csv"});
    ASSERT_EQ(again.exit_code, 0) << again.err;
    EXPECT_NE(again.out.find(",Leq,52.0,52.5,-0.5,达标,"), std::string::npos) << again.out;

    {
        std::ofstream broken(file, std::ios::trunc);
        broken << "standard=gb3096\nclass=9\n";
    }
    const auto bad_class = assess({"--row", "26"});
    EXPECT_EQ(bad_class.exit_code, 1);
    EXPECT_NE(bad_class.err.find("no zone class \"9\""), std::string::npos) << bad_class.err;
    {
        std::ofstream broken(file, std::ios::trunc);
        broken << "standard gb3096\n";
    }
    const auto unreadable = assess({"--row", "26"});
    EXPECT_EQ(unreadable.exit_code, 1);
    EXPECT_NE(unreadable.err.find(file.string() + " is not valid"), std::string::npos) << unreadable.err;
}

TEST_F(AssessCommand, RefusesWhatDoesNotGoTogether) {
    const struct {
        std::vector<std::string> args;
        int exit_code;
        const char* says;
    } cases[] = {
        {{"--all", "--standard", "gb10070", "--area", "residential"}, 1, "measures sound"},
        {{"--all", "--standard", "gb3096", "--area", "residential"}, 2, "belongs to --standard gb10070"},
        {{"--all", "--standard", "gb3096"}, 1, "needs a zone class"},
        {{"--row", "27", "--standard", "gb3096", "--zone", "2"}, 1, "past the last row (26)"},
        {{"--standard", "gb3096", "--zone", "2"}, 2, "--row N or --all"},
    };
    for (const auto& c : cases) {
        const auto r = assess(c.args);
        EXPECT_EQ(r.exit_code, c.exit_code) << c.says << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
}

TEST_F(AssessCommand, WritesTheSheetAsA4Pdf) {
    const fs::path pdf = dir / "sheet.pdf";
    const auto failed = assess({"--row", "30", "--standard", "gb3096", "--zone", "2", "--pdf", pdf.string()});
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_FALSE(fs::exists(pdf));
    const auto r = assess({"--all", "--standard", "gb3096", "--zone", "2", "--pdf", pdf.string()});
    if (r.err.find("nlx-qt") != std::string::npos) GTEST_SKIP() << r.err;
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const auto info = test::run_command("/usr/bin/pdfinfo", {pdf.string()});
    EXPECT_NE(info.out.find("(A4)"), std::string::npos) << info.out;
    auto text = test::run_command("/usr/bin/pdftotext", {"-layout", pdf.string(), "-"});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    unify_radicals(text.out);
    for (const char* piece : {"噪声与振动达标评价表", "评价标准：GB 3096-2008 声环境质量标准 2类声环境功能区 昼间60.0 dB 夜间50.0 dB",
                              "未评价：频率计权为C，GB 3096-2008只评价A计权声级", "合计：达标0，超标2，未评价1",
                              "测量跨越22:00"})
        EXPECT_NE(text.out.find(piece), std::string::npos) << piece << "\n" << text.out;
    EXPECT_NE(text.out.find("缺测小时：无"), std::string::npos) << text.out;
    // The run's two deciding lines: period, quantity, measured, limit, margin, verdict.
    for (const char* row : {"昼间 +Ld +60\\.0 +60\\.0 +0\\.0 +达标", "夜间 +Ln +60\\.0 +50\\.0 +\\+10\\.0 +超标"})
        EXPECT_TRUE(std::regex_search(text.out, std::regex(row))) << row << "\n" << text.out;
}

// The text, the sheet and the worksheet speak the operator's language; the CSV and JSON, read by
// programs, are the same bytes in every language.
TEST_F(AssessCommand, TextAndSheetFollowTheLanguageMachineFormatsDoNot) {
    const std::vector<std::string> standard = {"--all", "--standard", "gb3096", "--zone", "2"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), standard.begin(), standard.end());
        return more;
    };
    for (const char* format : {"csv", "json"}) {
        const auto zh = assess(with({"--format", format}), "zh"), en = assess(with({"--format", format}), "en");
        ASSERT_EQ(en.exit_code, 0) << en.err;
        EXPECT_EQ(en.out, zh.out) << format;
    }
    const fs::path pdf = dir / "sheet-en.pdf", xlsx = dir / "records-en.xlsx";
    const auto text = assess(with({"--pdf", pdf.string()}), "en");
    if (text.err.find("nlx-qt") != std::string::npos) GTEST_SKIP() << text.err;
    ASSERT_EQ(text.exit_code, 0) << text.err;
    auto sheet = test::run_command("/usr/bin/pdftotext", {"-layout", pdf.string(), "-"});
    ASSERT_EQ(sheet.exit_code, 0) << sheet.err;
    const auto exported = test::run_nlx({"export", "--model", "a", "--db", db_file.string(), "--xlsx", xlsx.string(),
                                         "--assess", "--standard", "gb3096", "--zone", "2"},
                                        {{"NLX_HOME", home.string()}, {"NLX_LANG", "en"}});
    ASSERT_EQ(exported.exit_code, 0) << exported.err;
    const auto cells = test::run_command(
        "/usr/bin/python3", {"-c",
                             "import sys, zipfile\n"
                             "z = zipfile.ZipFile(sys.argv[1])\n"
                             "print(z.read('xl/workbook.xml').decode())\n"
                             "print(z.read('xl/sharedStrings.xml').decode())\n",
                             xlsx.string()});
    ASSERT_EQ(cells.exit_code, 0) << cells.err;

    auto english = load_catalogue(NLX_ENGLISH_CATALOGUE);
    ASSERT_TRUE(english) << english.message();
    use_catalogue(*english);
    const std::string refused = fill(tr(texts::kRefusedLine), {texts::not_a_weighted("C", "GB 3096-2008").text(Wording::operator_language)});
    const std::string totals = texts::assessment_totals(0, 2, 1, Wording::operator_language);
    const std::string spans = texts::spans_boundaries({"22:00"}, true).text(Wording::operator_language);
    const std::string title(tr(texts::kAssessmentSheetTitle)), worksheet(tr(texts::kAssessmentTitle));
    const std::string heading(tr(texts::kAssessmentHeadings[6])), verdict(tr(texts::kFail));
    use_no_catalogue();
    for (const std::string* piece : {&refused, &totals, &spans}) {
        EXPECT_NE(text.out.find(*piece), std::string::npos) << *piece << "\n" << text.out;
        EXPECT_NE(sheet.out.find(*piece), std::string::npos) << *piece << "\n" << sheet.out;
    }
    EXPECT_NE(sheet.out.find(title), std::string::npos) << sheet.out;
    for (const std::string* piece : {&worksheet, &heading, &verdict, &spans})
        EXPECT_NE(cells.out.find(*piece), std::string::npos) << *piece << "\n" << cells.out;
    // Chinese is left only in the record sheet's column names, as they are stored.
    EXPECT_EQ(text.out.find("超标"), std::string::npos) << text.out;
    EXPECT_EQ(cells.out.find("超标"), std::string::npos) << cells.out;
}

}  // namespace
}  // namespace nlx
