// nlx monitor --record against the virtual instrument on a pseudo-terminal, answering with a
// sequence of known levels: the summary it prints, the samples it writes, the listing, the
// chart, and a recording killed mid-way.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "sim/level_sequence.h"
#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

std::unique_ptr<sim::VirtualInstrument> instrument(char model, const std::string& levels) {
    sim::InstrumentOptions o;
    o.model = model_of(model);
    const Capture served = sim::patterned_capture(model_of(model), 1);
    o.content = [served] { return served; };
    auto sequence = sim::parse_level_sequence(levels);
    EXPECT_TRUE(sequence) << sequence.message();
    if (sequence) o.level_sequence = *sequence;
    auto vi = sim::VirtualInstrument::open(o);
    EXPECT_TRUE(vi) << vi.message();
    if (!vi) return nullptr;
    EXPECT_TRUE((*vi)->start());
    return std::move(*vi);
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// 20 levels (10 at 60 dB, 5 at 70, 4 at 80, one at 90), then 40 requests left unanswered.
// LAeq = 10·log10((10·10^6 + 5·10^7 + 4·10^8 + 10^9) / 20) = 78.63; of 20 samples by nearest
// rank L5 is rank 19 (80), L10 rank 18 (80), L50 rank 10 (60), L90 rank 2, L95 rank 1 (60).
std::string known_levels() {
    std::string text = "# 20 levels, then silence\n";
    const char* levels[] = {"60.0", "70.0", "60", "80.0", "60.0", "90.0", "60.0", "70.0", "80.0", "60.0",
                            "60.0", "70.0", "60.0", "80.0", "70.0", "60.0", "60.0", "80.0", "70.0", "60.0"};
    for (const char* l : levels) text += std::string(l) + "\n";
    for (int k = 0; k < 40; ++k) text += "-\n";
    return text;
}

TEST(RecordCommand, KnownLevelsGiveTheirSummaryAndSilenceGivesGaps) {
    test::TempDir home;
    const std::map<std::string, std::string> env{{"NLX_HOME", home.path().string()}};
    // Model d shows the reply + 40 dB: the recording holds the levels as the window shows them.
    auto vi = instrument('d', known_levels());
    ASSERT_TRUE(vi);
    const fs::path csv = home / "levels.csv";
    auto r = test::run_nlx({"monitor", "--model", "d", "--port", vi->device(), "--seconds", "3.2", "--record", "--csv",
                            csv.string()},
                           env);
    ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
    const auto out = lines_of(r.out);
    ASSERT_FALSE(out.empty());
    const std::string summary = out.back();
    EXPECT_EQ(summary.substr(0, summary.find(" gaps=")),
              "LAeq=118.6dB Lmax=130.0dB Lmin=100.0dB L5=120.0dB L10=120.0dB L50=100.0dB L90=100.0dB L95=100.0dB "
              "samples=20");
    // The twenty levels take two seconds; the silence after them is gaps until the command ends.
    const int gaps = std::stoi(summary.substr(summary.find(" gaps=") + 6));
    EXPECT_GE(gaps, 8) << summary;
    EXPECT_LE(gaps, 14) << summary;
    // Only the tenth and the twentieth reply were shown, as without a recording.
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << r.out;

    // The CSV: a heading, then one line per request in order, the levels as recorded.
    const auto rows = lines_of(test::read_file(csv));
    ASSERT_EQ(rows.size(), std::size_t(1 + 20 + gaps));
    EXPECT_EQ(rows[0], "time,level");
    EXPECT_EQ(rows[1].substr(rows[1].find(',')), ",100.0");
    EXPECT_EQ(rows[6].substr(rows[6].find(',')), ",130.0");
    EXPECT_EQ(rows[21].substr(rows[21].find(',')), ",") << "a gap has no level";
    for (std::size_t k = 2; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k].find(','), 29u) << rows[k];  // 2026-12-10T05:18:36.703+00:00
        EXPECT_LT(rows[k - 1].substr(0, 23), rows[k].substr(0, 23)) << "times rise: " << rows[k];
    }

    // The listing and the stored summary say the same; the chart draws it.
    auto listed = test::run_nlx({"recordings", "--format", "csv"}, env);
    ASSERT_EQ(listed.exit_code, 0) << listed.err;
    const auto list = lines_of(listed.out);
    ASSERT_EQ(list.size(), 2u) << listed.out;
    EXPECT_EQ(list[0], "id,start,duration,LAeq,Lmax,Lmin,L5,L10,L50,L90,L95,samples,gaps,model,port,ended");
    EXPECT_NE(list[1].find(",118.6,130.0,100.0,120.0,120.0,100.0,100.0,100.0,20," + std::to_string(gaps) + ",d,"),
              std::string::npos)
        << list[1];
    auto again = test::run_nlx({"recording", "1", "--csv", (home / "again.csv").string()}, env);
    ASSERT_EQ(again.exit_code, 0) << again.err;
    EXPECT_EQ(test::read_file(home / "again.csv"), test::read_file(csv));
    auto chart = test::run_nlx({"chart", "--recording", "1", "--png", (home / "history.png").string()}, env);
    ASSERT_EQ(chart.exit_code, 0) << chart.err;
    EXPECT_EQ(test::read_file(home / "history.png").substr(1, 3), "PNG");
}

TEST(RecordCommand, RefusalsNameWhatIsWrong) {
    test::TempDir home;
    const std::map<std::string, std::string> env{{"NLX_HOME", home.path().string()}};
    const struct {
        std::vector<std::string> args;
        int exit_code;
        std::string says;
    } cases[] = {
        {{"recording", "7", "--csv", (home / "x.csv").string()}, 1, "does not exist"},
        {{"recording", "7"}, 2, "--csv or --xlsx"},
        {{"monitor", "--model", "a", "--seconds", "1", "--record", "--csv", (home / "no" / "x.csv").string()}, 1,
         "folder " + (home / "no").string() + " does not exist"},
        {{"monitor", "--model", "a", "--seconds", "1", "--csv", (home / "x.csv").string()}, 2, "--record"},
        {{"chart", "--recording", "1", "--model", "a", "--png", "x.png"}, 2, "excludes"},
    };
    for (const auto& c : cases) {
        auto r = test::run_nlx(c.args, env);
        EXPECT_EQ(r.exit_code, c.exit_code) << c.args[0] << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(home / "x.csv"));
}

TEST(RecordCommand, AKilledRecordingKeepsAllButItsLastSecond) {
    test::TempDir home;
    const std::map<std::string, std::string> env{{"NLX_HOME", home.path().string()}};
    auto vi = instrument('c', "55.5\n56.5\n");
    ASSERT_TRUE(vi);
    pid_t pid = fork();
    if (pid == 0) {
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
        execl(NLX_CLI_PATH, NLX_CLI_PATH, "monitor", "--model", "c", "--port", vi->device().c_str(), "--record",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    // Waits until the recording holds three batches, then kills the command without warning.
    std::size_t stored = 0;
    for (int tries = 0; tries < 300 && stored < 30; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        auto listed = test::run_nlx({"recordings", "--format", "csv"}, env);
        const auto list = lines_of(listed.out);
        if (listed.exit_code == 0 && list.size() == 2) {
            const std::string row = list[1];
            std::size_t at = 0;
            for (int k = 0; k < 11; ++k) at = row.find(',', at) + 1;
            stored = std::stoul(row.substr(at));
        }
    }
    ASSERT_GE(stored, 30u);
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    const std::size_t answered = vi->live_replies();

    auto listed = test::run_nlx({"recordings", "--format", "csv"}, env);
    ASSERT_EQ(listed.exit_code, 0) << listed.err;
    const auto list = lines_of(listed.out);
    ASSERT_EQ(list.size(), 2u);
    // Every reply but those of the last batch (at most ten) is there; the recording reads as cut off.
    EXPECT_NE(list[1].find(",56.0,56.5,55.5,56.5,56.5,55.5,55.5,55.5,"), std::string::npos) << list[1];
    EXPECT_NE(list[1].find(",cut off"), std::string::npos) << list[1];
    auto csv = test::run_nlx({"recording", "1", "--csv", (home / "cut.csv").string()}, env);
    ASSERT_EQ(csv.exit_code, 0) << csv.err;
    const std::size_t rows = lines_of(test::read_file(home / "cut.csv")).size() - 1;
    EXPECT_LE(rows, answered);
    EXPECT_GE(rows + 10, answered) << "more than the last second was lost";
}

}  // namespace
}  // namespace nlx
