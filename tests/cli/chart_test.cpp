// nlx chart on a database of generated groups: each kind writes a picture, the 24-hour kind
// prints its levels, and a group that cannot be drawn is refused without writing anything.
#include <gtest/gtest.h>

#include <fstream>

#include "core/models.h"
#include "sim/generated_content.h"
#include "store/database.h"
#include "transfer/transfer.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

struct ChartCommand : ::testing::Test {
    test::TempDir dir;
    fs::path db_file = dir / "noise.db";
    fs::path home = dir / "home";  // the application folder, where standard.cfg is kept
    std::vector<std::string> modes;  // MODE of each stored row

    void SetUp() override {
        fs::create_directories(home);
        auto capture = sim::generated_capture(model_of('c'), 40, 3);
        ASSERT_TRUE(capture) << capture.message();
        auto db = Database::create_or_open(db_file);
        ASSERT_TRUE(db) << db.message();
        ASSERT_TRUE(store_transfer(*db, dir / "store", model_of('c'), *capture));
        auto table = db->read_table(record_table_name('c'));
        ASSERT_TRUE(table);
        const auto mode = std::size_t(*record_column_index(*find_model('c'), "MODE"));
        for (const auto& row : table->rows) modes.push_back(row[mode].to_text());
    }
    std::string row_of(const std::string& mode) const {
        for (std::size_t r = 0; r < modes.size(); ++r)
            if (modes[r] == mode) return std::to_string(r + 1);
        ADD_FAILURE() << "no row with MODE " << mode;
        return "1";
    }
    test::CommandResult chart(const std::string& row, const std::string& kind, const fs::path& out,
                              const std::vector<std::string>& more = {}) const {
        std::vector<std::string> args{"chart", "--model", "c", "--db", db_file.string(), "--row", row, "--kind", kind,
                                      "--png", out.string(), "--width", "640", "--height", "400"};
        args.insert(args.end(), more.begin(), more.end());
        return test::run_nlx(args, {{"NLX_HOME", home.string()}});
    }
};

std::string head_of(const fs::path& file, std::size_t bytes) {
    std::ifstream in(file, std::ios::binary);
    std::string head(bytes, '\0');
    in.read(head.data(), std::streamsize(bytes));
    return head.substr(0, std::size_t(in.gcount()));
}

TEST_F(ChartCommand, EachKindWritesItsPicture) {
    struct Case {
        std::string kind, mode, file;
    } cases[] = {
        {"distribution", "STA", "distribution.png"},
        {"cumulative", "STA", "cumulative.svg"},
        {"24h", "24h3", "day.png"},
        {"octave", "OCT", "octave.png"},
    };
    for (const auto& c : cases) {
        auto r = chart(row_of(c.mode), c.kind, dir / c.file);
        if (r.err.find("without the Qt painters") != std::string::npos) GTEST_SKIP() << r.err;
        ASSERT_EQ(r.exit_code, 0) << c.kind << ": " << r.err;
        EXPECT_EQ(r.err, "") << c.kind;
        const bool svg = c.file.ends_with(".svg");
        if (svg) EXPECT_NE(head_of(dir / c.file, 400).find("<svg"), std::string::npos) << c.kind;
        else EXPECT_EQ(head_of(dir / c.file, 4), "\x89PNG") << c.kind;
        if (c.kind == "24h") {
            EXPECT_TRUE(r.out.starts_with("Ld= ")) << r.out;
            EXPECT_NE(r.out.find("dB       Ln= "), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("\nLden= "), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("2002/49/EC"), std::string::npos) << r.out;
        } else {
            EXPECT_EQ(r.out, "") << c.kind;
        }
    }
}

TEST_F(ChartCommand, RefusesWhatItCannotDrawAndWritesNothing) {
    struct Case {
        std::string row, kind, says;
    } cases[] = {
        {"41", "distribution", "past the last row (40)"},
        {row_of("STA"), "octave", "is not an octave group (MODE \"STA\")"},
        {row_of("OCT"), "24h", "is not part of a 24-hour run"},
        {row_of("OCT"), "distribution", "is an octave group: its columns hold band levels"},
        {row_of("OCT"), "cumulative", "is an octave group: its columns hold band levels"},
    };
    for (const auto& c : cases) {
        const fs::path out = dir / "refused.png";
        auto r = chart(c.row, c.kind, out);
        EXPECT_EQ(r.exit_code, 1) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out)) << c.says;
    }
    auto missing = test::run_nlx({"chart", "--model", "c", "--db", (dir / "none.db").string(), "--row", "1", "--kind",
                                  "24h", "--png", (dir / "x.png").string()});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("none.db"), std::string::npos) << missing.err;
}

// The day and night limits of the standard given, or of the one kept in standard.cfg, are drawn
// on the 24-hour chart (an SVG names them in its legend, the unit in a text run of its own) and
// printed under its levels.
TEST_F(ChartCommand, DrawsTheLimitsOfTheChosenStandard) {
    const std::string zone2 = "Limits: GB 3096-2008 声环境质量标准 2类声环境功能区 昼间60.0 dB 夜间50.0 dB\n";
    const struct Case {
        const char* what;
        std::string kept;  // standard.cfg; "" for none
        std::vector<std::string> options;
        int exit_code;
        std::string says;  // in the output (exit 0) or the error; "" for no limits drawn
    } cases[] = {
        {"given on the command line", "", {"--standard", "gb3096", "--zone", "2"}, 0, zone2},
        {"kept in standard.cfg", "standard=gb3096\nclass=2\n", {}, 0, zone2},
        {"the options before the kept choice", "standard=gb3096\nclass=4b\n", {"--zone", "2"}, 0, zone2},
        {"none chosen", "", {}, 0, ""},
        {"a kept standard of vibration, on a sound model", "standard=gb10070\nclass=mixed\n", {}, 0, ""},
        {"a given standard of vibration is refused", "", {"--standard", "gb10070", "--area", "mixed"}, 1,
         "limits vibration levels"},
        {"a standard.cfg that cannot be used", "standard=gb3096\nclass=9\n", {}, 1, "no zone class \"9\""},
    };
    for (const auto& c : cases) {
        fs::remove(home / "standard.cfg");
        if (!c.kept.empty()) std::ofstream(home / "standard.cfg") << c.kept;
        const fs::path out = dir / "limits.svg";
        fs::remove(out);
        auto r = chart(row_of("24h3"), "24h", out, c.options);
        if (r.err.find("without the Qt painters") != std::string::npos) GTEST_SKIP() << r.err;
        ASSERT_EQ(r.exit_code, c.exit_code) << c.what << ": " << r.err;
        if (c.exit_code != 0) {
            EXPECT_NE(r.err.find(c.says), std::string::npos) << c.what << ": " << r.err;
            EXPECT_FALSE(fs::exists(out)) << c.what;
            continue;
        }
        const std::string svg = head_of(out, 1 << 20);
        if (c.says.empty()) {
            EXPECT_EQ(r.out.find("Limits:"), std::string::npos) << c.what << ": " << r.out;
            EXPECT_EQ(svg.find("限值"), std::string::npos) << c.what;
        } else {
            EXPECT_TRUE(r.out.ends_with(c.says)) << c.what << ": " << r.out;
            EXPECT_NE(svg.find("昼间限值 60.0"), std::string::npos) << c.what;
            EXPECT_NE(svg.find("夜间限值 50.0"), std::string::npos) << c.what;
        }
    }
    // The standard options draw limits on the 24-hour chart only.
    auto r = chart(row_of("STA"), "distribution", dir / "d.png", {"--standard", "gb3096", "--zone", "2"});
    EXPECT_EQ(r.exit_code, 2) << r.err;
    EXPECT_NE(r.err.find("--kind 24h only"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace nlx
