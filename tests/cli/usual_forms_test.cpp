// nlx reads the usual command lines of import and records itself: each must answer and store
// exactly as nlx-plain's full parser does, and every other line must reach nlx-plain.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "core/capture.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/transfer_a.h"

namespace nlx {
namespace {
namespace fs = std::filesystem;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// What a command left in the home folder: every file by name; a record database by its record,
// distribution and log tables as nlx-plain lists them (the times of the log left out); any other
// file, such as a history file, by a digest of its bytes.
std::string folder_state(const fs::path& home) {
    std::vector<std::string> lines;
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
        if (!entry.is_regular_file()) continue;
        std::string line = fs::relative(entry.path(), home).string() + "\n";
        if (entry.path().extension() == ".db") {
            const std::string db = entry.path().string();
            for (const std::vector<std::string>& listing :
                 {std::vector<std::string>{"records", "--model", "a", "--format", "csv", "--db", db},
                  {"records", "--model", "a", "--table", "distribution", "--format", "csv", "--db", db},
                  {"transfers", "--db", db}}) {
                const auto listed = test::run_command(NLX_PLAIN_PATH, listing);
                line += std::regex_replace(listed.out + listed.err, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"),
                                           "TIME");
            }
        } else {
            line += std::to_string(std::hash<std::string>{}(test::read_file(entry.path()))) + "\n";
        }
        lines.push_back(replaced(line, home.string(), "HOME"));
    }
    std::sort(lines.begin(), lines.end());
    std::string state;
    for (const auto& line : lines) state += line;
    return state;
}

TEST(CommandLine, ImportAndRecordsReadByNlxAnswerAsNlxPlainDoes) {
    test::TempDir inputs;
    const Capture whole = test::realistic_transfer_a(12, 5);
    test::write_capture_a(inputs / "a.cap", whole);
    Capture cut = whole;
    cut.data.resize(cut.data.size() - 300);
    test::write_capture_a(inputs / "short.cap", cut);
    const auto raw = capture_bytes(whole);
    test::write_file(inputs / "raw.dump", std::string(raw.begin(), raw.end()));
    test::write_file(inputs / "text.cap", "not a capture\n");
    test::write_file(inputs / "text.db", "not a database\n");
    fs::create_directory(inputs / "folder");

    // nlx alone, nlx-plain not beside it: what it runs itself still runs.
    test::TempDir alone;
    fs::copy_file(NLX_CLI_PATH, alone / "nlx");

    const std::string in = inputs.path().string() + "/";
    struct Case {
        std::vector<std::string> args;
        bool read_by_nlx;
    } cases[] = {
        {{"import", in + "a.cap"}, true},
        {{"import", "--model=a", "--db", "HOME/other.db", in + "a.cap"}, true},
        {{"import", in + "a.cap", "--model", "b"}, true},
        {{"import", "--raw", "--model", "a", in + "raw.dump"}, true},
        {{"import", "--partial", in + "short.cap"}, true},
        {{"import", in + "short.cap"}, true},
        {{"import", in + "text.cap"}, true},
        {{"import", in + "folder"}, true},
        {{"import", "--db", in + "text.db", in + "a.cap"}, true},
        {{"--lang", "en", "import", "--db=" + in + "text.db", in + "a.cap"}, true},
        {{"import", "--raw", in + "raw.dump"}, false},
        {{"import", in + "missing.cap"}, false},
        {{"import", "--model", "z", in + "a.cap"}, false},
        {{"import", "--db", "HOME/x.db", "--db", "HOME/y.db", in + "a.cap"}, false},
        {{"import", "--raw=true", "--model", "a", in + "raw.dump"}, false},
        {{"import", "--partial", "--partial", in + "a.cap"}, false},
        {{"import", in + "a.cap", in + "a.cap"}, false},
        {{"import", "--", in + "a.cap"}, false},
        {{"import", "-h"}, false},
        {{"import", "--help"}, false},
        {{"import"}, false},
        {{"records", "--model", "a"}, true},
        {{"records", "--format", "csv", "--model", "a"}, true},
        {{"records", "--model=a", "--table", "distribution", "--format=json"}, true},
        {{"records", "--model", "e", "--table", "distribution"}, true},
        {{"records", "--model", "c"}, true},
        {{"records", "--model", "a", "--db", in + "missing.db"}, true},
        {{"records", "--model", "a", "--db", in + "text.db"}, true},
        {{"--lang", "en", "records", "--model", "a", "--db", in + "missing.db"}, true},
        {{"records", "--model", "a", "--format", "xml"}, false},
        {{"records", "--model", "a", "--table"}, false},
        {{"records", "--model", "a", "--db", ""}, false},
        {{"records", "--model", "a", "extra"}, false},
        {{"records", "--model", "a", "--model", "b"}, false},
        {{"records"}, false},
        {{"records", "--help"}, false},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += " " + replaced(a, in, "");
        SCOPED_TRACE(line);
        // Each program in a home of its own, holding the records of the same earlier import.
        struct Run {
            test::TempDir home;
            test::CommandResult result;
            std::string state;
        } runs[3];
        const std::string programs[3] = {NLX_PLAIN_PATH, NLX_CLI_PATH, (alone / "nlx").string()};
        for (int p = 0; p < 3; ++p) {
            const std::map<std::string, std::string> env{{"NLX_HOME", runs[p].home.path().string()}, {"NLX_LANG", "zh"}};
            ASSERT_EQ(test::run_command(NLX_PLAIN_PATH, {"import", in + "a.cap"}, env).exit_code, 0);
            std::vector<std::string> args;
            for (const auto& a : c.args) args.push_back(replaced(a, "HOME", runs[p].home.path().string()));
            runs[p].result = test::run_command(programs[p], args, env);
            for (std::string* text : {&runs[p].result.out, &runs[p].result.err})
                *text = replaced(replaced(*text, runs[p].home.path().string(), "HOME"), programs[p], "PROGRAM");
            runs[p].state = folder_state(runs[p].home.path());
        }
        const auto& plain = runs[0];
        EXPECT_TRUE(plain.result.err.find("nlx-plain") == std::string::npos) << plain.result.err;
        // nlx in the build tree answers as nlx-plain, whether it reads the line itself or hands it over.
        for (int p = 1; p < (c.read_by_nlx ? 3 : 2); ++p) {
            EXPECT_EQ(runs[p].result.exit_code, plain.result.exit_code) << programs[p];
            EXPECT_EQ(runs[p].result.out, plain.result.out) << programs[p];
            EXPECT_EQ(runs[p].result.err, plain.result.err) << programs[p];
            EXPECT_EQ(runs[p].state, plain.state) << programs[p];
        }
        if (!c.read_by_nlx) {
            EXPECT_EQ(runs[2].result.exit_code, 1);
            EXPECT_NE(runs[2].result.err.find("the file commands are in nlx-plain, which is missing"), std::string::npos)
                << runs[2].result.err;
        }
    }
}

// A listing that does not reach its output (here a full disk) fails the command that printed it,
// whichever program ran it.
TEST(CommandLine, OutputLostToAFullDiskFailsTheCommand) {
    test::TempDir home;
    test::write_capture_a(home / "a.cap", test::realistic_transfer_a(3, 9));
    const std::map<std::string, std::string> env{{"NLX_HOME", home.path().string()}};
    ASSERT_EQ(test::run_nlx({"import", (home / "a.cap").string()}, env).exit_code, 0);
    const std::vector<std::string> lines[] = {
        {"records", "--model", "a"},                     // nlx itself, the whole table at once
        {"records", "--model", "a", "--format", "csv"},  // nlx itself, row by row
        {"transfers"},                                   // nlx-plain
        {"version"},                                     // nlx-plain, a single line
    };
    for (const auto& args : lines) {
        std::string command = NLX_CLI_PATH;
        for (const auto& a : args) command += " " + a;
        SCOPED_TRACE(command);
        const auto listed = test::run_nlx(args, env);
        EXPECT_EQ(listed.exit_code, 0) << listed.err;
        EXPECT_FALSE(listed.out.empty());
        const auto lost = test::run_command("/bin/sh", {"-c", command + " > /dev/full"}, env);
        EXPECT_EQ(lost.exit_code, 1);
        EXPECT_NE(lost.err.find("nlx: the output could not be written"), std::string::npos) << lost.err;
    }
}

}  // namespace
}  // namespace nlx
