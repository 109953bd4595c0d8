// The nlx command line: help, usage errors and exit codes, version, settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace nlx {
namespace {

TEST(CommandLine, HelpUsageErrorsAndVersion) {
    auto help = test::run_nlx({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("settings"), std::string::npos);
    EXPECT_NE(help.out.find("download"), std::string::npos);

    EXPECT_EQ(test::run_nlx({}).exit_code, 2);
    EXPECT_EQ(test::run_nlx({"no-such-command"}).exit_code, 2);

    auto version = test::run_nlx({"version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out.rfind("nlx ", 0), 0u);
}

// The language of nlx's operator texts: --lang before the command, NLX_LANG, language.cfg kept by
// nlx settings --language, the locale; a wrong choice is refused before anything runs.
TEST(CommandLine, TheLanguageOfTheOperatorTexts) {
    test::TempDir home;
    // A record database to look the transfer up in.
    auto demo = test::run_nlx({"demo", "--groups", "3"}, {{"NLX_HOME", home.path().string()}, {"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_EQ(demo.exit_code, 0) << demo.err;
    const std::string chinese = "没有编号为999的传输记录", english = "There is no transfer number 999";
    struct Case {
        std::vector<std::string> args;
        std::map<std::string, std::string> env;
        const std::string* says;
    } cases[] = {
        {{"verify", "999"}, {}, &chinese},
        {{"--lang", "en", "verify", "999"}, {}, &english},
        {{"--lang=en", "verify", "999"}, {{"NLX_LANG", "zh"}}, &english},
        {{"verify", "999"}, {{"NLX_LANG", "en"}}, &english},
        {{"verify", "999"}, {{"LANG", "en_US.UTF-8"}}, &english},
        {{"verify", "999"}, {{"LANG", "de_DE.UTF-8"}}, &chinese},
        {{"--lang", "zh", "verify", "999"}, {{"LANG", "en_US.UTF-8"}}, &chinese},
    };
    for (const auto& c : cases) {
        auto env = c.env;
        env["NLX_HOME"] = home.path().string();
        env.try_emplace("NLX_LANG", "");
        env.try_emplace("LANG", "C.UTF-8");
        env.try_emplace("LC_ALL", "");
        env.try_emplace("LANGUAGE", "");
        env.try_emplace("LC_MESSAGES", "");
        auto run = test::run_nlx(c.args, env);
        EXPECT_NE(run.exit_code, 0);
        EXPECT_NE((run.out + run.err).find(*c.says), std::string::npos) << c.args[0] << " " << run.out << run.err;
    }
    for (const char* wrong : {"fr", "english", "../en"}) {
        auto refused = test::run_nlx({"--lang", wrong, "verify", "999"}, {{"NLX_HOME", home.path().string()}});
        EXPECT_EQ(refused.exit_code, 2);
        EXPECT_NE(refused.err.find(std::string("--lang ") + wrong + ": no such language is installed"), std::string::npos)
            << refused.err;
        EXPECT_NE(refused.err.find("the languages installed are zh, en"), std::string::npos) << refused.err;
    }

    const std::map<std::string, std::string> plain{{"NLX_HOME", home.path().string()}, {"NLX_LANG", ""}, {"LANG", "C.UTF-8"}};
    auto kept = test::run_nlx({"settings", "--language", "en"}, plain);
    ASSERT_EQ(kept.exit_code, 0) << kept.err;
    EXPECT_NE(kept.out.find("language: en (language.cfg)"), std::string::npos) << kept.out;
    auto after = test::run_nlx({"verify", "999"}, plain);
    EXPECT_NE(after.err.find(english), std::string::npos) << after.err;
}

// What is wrong with the choice of the language is said once, by the program that speaks it,
// and only by a command that shows operator texts: nlx version, which shows none, reads no
// language settings; a command line nlx hands to nlx-qt is not warned of twice.
TEST(CommandLine, AWrongLanguageChoiceIsSaidOnceWhereTextsAreShown) {
    test::TempDir home;
    test::write_file(home / "language.cfg", "not a language line\n");
    const std::string broken = "language.cfg is not valid", unknown = "NLX_LANG=xx names no installed language";
    struct Case {
        std::vector<std::string> args;
        const std::string* warned;  // nullptr: no warning
    } cases[] = {
        {{"verify", "999"}, &broken},
        {{"version"}, nullptr},
        {{"ports", "--help"}, &broken},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        for (bool env_too : {false, true}) {
            std::map<std::string, std::string> env{{"NLX_HOME", home.path().string()}, {"NLX_LANG", env_too ? "xx" : ""},
                                                   {"LANG", "C.UTF-8"}, {"QT_QPA_PLATFORM", "offscreen"}};
            auto run = test::run_nlx(c.args, env);
            const std::string& said = env_too ? unknown : broken;
            auto times = [&](const std::string& text) {
                int n = 0;
                for (auto at = run.err.find(text); at != std::string::npos; at = run.err.find(text, at + 1)) ++n;
                return n;
            };
            EXPECT_EQ(times(said), c.warned ? 1 : 0) << run.err;
        }
    }
}

// A translator's catalogue, compiled by msgfmt from a .po of a few entries into the folder
// NLX_LOCALE_DIR names, is a language of nlx as it stands: chosen by --lang and by the locale,
// listed and kept by nlx settings, named by its own entry for the language's name.
TEST(CommandLine, AThirdLanguageFromItsCatalogueAlone) {
    test::TempDir dir;
    const auto home = dir / "home", locale = dir / "locale";
    auto demo = test::run_nlx({"demo", "--groups", "3"}, {{"NLX_HOME", home.string()}, {"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_EQ(demo.exit_code, 0) << demo.err;
    test::write_file(dir / "fr.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\nLanguage: fr\\n\"\n\n"
                                    "msgid \"中文\"\nmsgstr \"Français\"\n\n"
                                    "msgid \"没有编号为%1的传输记录\"\nmsgstr \"Aucun transfert n° %1\"\n");
    std::filesystem::create_directories(locale / "fr" / "LC_MESSAGES");
    auto compiled = test::run_command(NLX_MSGFMT, {"--check", "-o", (locale / "fr" / "LC_MESSAGES" / "nlx.mo").string(),
                                                  (dir / "fr.po").string()});
    ASSERT_EQ(compiled.exit_code, 0) << compiled.err;

    const std::string chinese = "没有编号为999的传输记录", french = "Aucun transfert n° 999";
    struct Case {
        std::vector<std::string> args;
        std::map<std::string, std::string> env;
        const std::string* says;
    } cases[] = {
        {{"--lang", "fr", "verify", "999"}, {{"NLX_LOCALE_DIR", locale.string()}}, &french},
        {{"verify", "999"}, {{"NLX_LOCALE_DIR", locale.string()}, {"LANG", "fr_CH.UTF-8"}}, &french},
        {{"verify", "999"}, {{"NLX_LOCALE_DIR", locale.string()}, {"NLX_LANG", "fr"}}, &french},
        {{"verify", "999"}, {{"LANG", "fr_CH.UTF-8"}}, &chinese},  // not installed: Chinese
        {{"verify", "999"}, {{"NLX_LOCALE_DIR", locale.string()}, {"LANG", "de_DE.UTF-8"}}, &chinese},
    };
    for (const auto& c : cases) {
        auto env = c.env;
        env["NLX_HOME"] = home.string();
        for (const char* name : {"NLX_LANG", "LC_ALL", "LANGUAGE", "LC_MESSAGES", "NLX_LOCALE_DIR"}) env.try_emplace(name, "");
        env.try_emplace("LANG", "C.UTF-8");
        auto run = test::run_nlx(c.args, env);
        EXPECT_NE(run.exit_code, 0);
        EXPECT_NE((run.out + run.err).find(*c.says), std::string::npos) << c.args[0] << " " << run.out << run.err;
    }
    const std::map<std::string, std::string> plain{
        {"NLX_HOME", home.string()}, {"NLX_LANG", ""}, {"LANG", "C.UTF-8"}, {"NLX_LOCALE_DIR", locale.string()}};
    auto listed = test::run_nlx({"settings", "--language", "fr"}, plain);
    ASSERT_EQ(listed.exit_code, 0) << listed.err;
    EXPECT_NE(listed.out.find("language: fr (language.cfg)"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("languages installed: zh (中文) en (English) fr (Français)"), std::string::npos) << listed.out;
    auto after = test::run_nlx({"verify", "999"}, plain);
    EXPECT_NE(after.err.find(french), std::string::npos) << after.err;
    // Its catalogue gone, the kept choice is ignored with a warning and Chinese speaks.
    auto gone = test::run_nlx({"verify", "999"}, {{"NLX_HOME", home.string()}, {"NLX_LANG", ""}, {"LANG", "C.UTF-8"}});
    EXPECT_NE(gone.err.find(chinese), std::string::npos) << gone.err;
    EXPECT_NE(gone.err.find("names the language fr, whose catalogue is not installed"), std::string::npos) << gone.err;
    auto refused = test::run_nlx({"settings", "--language", "de"}, plain);
    EXPECT_NE(refused.exit_code, 0);
    EXPECT_NE(refused.err.find("the languages installed are zh, en, fr"), std::string::npos) << refused.err;
}

// nlx and nlx-plain link no Qt, so the file commands start fast; the commands that use the
// serial port or paint are run by nlx-qt, and an nlx without it says so instead of failing
// obscurely.
TEST(CommandLine, FileCommandsRunWithoutQtAndTheRestNeedNlxQt) {
    for (const char* program : {NLX_CLI_PATH, NLX_PLAIN_PATH}) {
        auto needed = test::run_command("/usr/bin/readelf", {"-d", program});
        ASSERT_EQ(needed.exit_code, 0) << needed.err;
        EXPECT_NE(needed.out.find("libsqlite3"), std::string::npos) << program;
        EXPECT_EQ(needed.out.find("libQt"), std::string::npos) << program << ": " << needed.out;
    }

    test::TempDir alone;
    const auto nlx = alone / "nlx";
    std::filesystem::copy_file(NLX_CLI_PATH, nlx);
    std::filesystem::copy_file(NLX_PLAIN_PATH, alone / "nlx-plain");
    const std::map<std::string, std::string> env{{"NLX_HOME", alone.path().string()}};
    struct Case {
        std::vector<std::string> args;
        bool needs_qt;
    } cases[] = {
        {{"version"}, false},
        {{"settings"}, false},
        {{"records", "--model", "a"}, false},
        // Every file command, by the name nlx registers it under.
        {{"add-record", "--help"}, false},
        {{"save-as", "--help"}, false},
        {{"simulate", "--help"}, false},
        {{"import", "--help"}, false},
        {{"export", "--help"}, false},
        {{"transfers", "--help"}, false},
        {{"restore", "--help"}, false},
        {{"verify", "--help"}, false},
        {{"recordings", "--help"}, false},
        {{"recording", "--help"}, false},
        {{"assess", "--help"}, false},
        {{"assess", "--pdf", "x.pdf"}, true},
        {{"download", "--model", "a"}, true},
        {{"chart", "--help"}, true},
        {{"--help"}, true},
        {{}, true},
    };
    for (const auto& c : cases) {
        auto run = test::run_command(nlx.string(), c.args, env);
        const bool refused = run.err.find("nlx-qt, which is missing") != std::string::npos;
        EXPECT_EQ(refused, c.needs_qt) << (c.args.empty() ? "" : c.args[0]) << ": " << run.err;
        if (c.needs_qt) {
            EXPECT_EQ(run.exit_code, 1);
            EXPECT_NE(run.err.find((alone / "nlx-qt").string()), std::string::npos) << run.err;
        }
    }
}

TEST(CommandLine, SettingsShowsTheFolderAndTheFallback) {
    test::TempDir home;
    auto missing = test::run_nlx({"settings"}, {{"NLX_HOME", home.path().string()}});
    EXPECT_EQ(missing.exit_code, 0);
    EXPECT_NE(missing.out.find(home.path().string()), std::string::npos);
    EXPECT_NE(missing.out.find("9600"), std::string::npos);
    EXPECT_NE(missing.out.find("missing"), std::string::npos);

    test::write_file(home / "sys.cfg", "3,1200\r\n");
    auto good = test::run_nlx({"settings"}, {{"NLX_HOME", home.path().string()}});
    EXPECT_EQ(good.exit_code, 0);
    EXPECT_NE(good.out.find("/dev/ttyS2"), std::string::npos);
    EXPECT_NE(good.out.find("1200"), std::string::npos);
    EXPECT_EQ(good.out.find("note:"), std::string::npos);
}

}  // namespace
}  // namespace nlx
