// nlx sync and nlx team as an operator runs them against a real server: stations at once, syncs
// killed or cut off by a server restart, transfers pulled into a fresh folder and verified.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <regex>
#include <thread>

#include "core/texts.h"
#include "support/run_command.h"
#include "team/team_schema.h"
#include "team/team_settings.h"
#include "team_fixture.h"

namespace nlx {
namespace {
namespace fs = std::filesystem;
using test::Station;

class TeamSyncCommand : public test::TeamServerTest {};

// nlx in the background, output to files, optionally held at a pause point.
struct Running {
    pid_t pid = -1;
    fs::path out, err;
    // Waits for the end; the exit code, or 128 + the signal.
    int wait() {
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string stdout_text() const { return test::read_file(out); }
    std::string stderr_text() const { return test::read_file(err); }
};

Running start_nlx(const fs::path& folder, const std::map<std::string, std::string>& env,
                  const std::vector<std::string>& args, const std::string& pause = "") {
    static int serial = 0;
    Running r{-1, folder / ("out" + std::to_string(serial)), folder / ("err" + std::to_string(serial))};
    ++serial;
    std::vector<char*> argv{const_cast<char*>(NLX_CLI_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    r.pid = ::fork();
    if (r.pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int o = ::open(r.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(r.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(o, 1);
        ::dup2(e, 2);
        for (const auto& [k, v] : env) ::setenv(k.c_str(), v.c_str(), 1);
        if (!pause.empty()) ::setenv("NLX_PAUSE_AT", pause.c_str(), 1);
        ::execv(NLX_CLI_PATH, argv.data());
        ::_exit(127);
    }
    return r;
}

// The count in "sent N transfers" / "brought in N transfers"; -1 when the line is not there.
long long reported(const std::string& out, const std::string& verb) {
    std::smatch m;
    if (!std::regex_search(out, m, std::regex(verb + " ([0-9]+) transfer"))) return -1;
    return std::stoll(m[1]);
}

// Stations syncing onto a server that has no store yet, all at once: the store is created once,
// every station's transfers arrive whole, and one station syncing twice at once sends each once.
TEST_F(TeamSyncCommand, StationsSyncAtOnce) {
    Station a, b, c;
    test::download_transfers(a, 10, 11);
    test::download_transfers(b, 10, 12, "bd");
    test::download_transfers(c, 10, 13, "ae");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        if (round) {
            ASSERT_EQ(cluster()->sql("postgres", "DROP DATABASE team WITH (FORCE)"), "");
            ASSERT_EQ(cluster()->sql("postgres", "CREATE DATABASE team"), "");
        }
        test::TempDir logs;
        std::vector<Running> runs;
        for (auto [station, name] : {std::pair{&a, "lab-a"}, std::pair{&b, "lab-b"}, std::pair{&c, "lab-c"}, std::pair{&a, "lab-a"}})
            runs.push_back(start_nlx(logs.path(), station->env(), {"sync", "--to", server(), "--station", name}));
        long long sent_a = 0;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            ASSERT_EQ(runs[i].wait(), 0) << runs[i].stderr_text();
            const long long sent = reported(runs[i].stdout_text(), "sent");
            if (i == 0 || i == 3) sent_a += sent;
            else EXPECT_EQ(sent, 10) << runs[i].stdout_text();
        }
        EXPECT_EQ(sent_a, 10);
        EXPECT_EQ(sql("SELECT string_agg(station || '=' || n, ' ' ORDER BY station) FROM"
                      " (SELECT station, count(*) AS n FROM nlx.transfers GROUP BY station) s"),
                  "lab-a=10 lab-b=10 lab-c=10");
        EXPECT_EQ(count("SELECT count(*) FROM nlx.schema_version"), 1);
        expect_whole_transfers();
    }
}

// A sync killed at random moments leaves the server with whole transfers only; one held just
// before its commit shows nothing of its transfer; one cut off by a server restart says so; the
// next sync completes.
TEST_F(TeamSyncCommand, BrokenSyncsLeaveWholeTransfersAndTheNextCompletes) {
    constexpr int kTransfers = 60;
    Station a;
    test::download_transfers(a, kTransfers, 14, "ab", 80);
    test::TempDir logs;
    const std::vector<std::string> sync = {"sync", "--to", server(), "--station", "lab-a"};
    ASSERT_TRUE(team::save_team_settings(team::team_settings_path(a.home()), {"lab-a", "", false}));

    // How long a whole sync of this station takes here, on a database of its own.
    ASSERT_EQ(cluster()->sql("postgres", "CREATE DATABASE probe"), "");
    const auto started = std::chrono::steady_clock::now();
    auto probe = test::run_nlx({"sync", "--to", cluster()->conninfo("probe"), "--station", "lab-a"}, a.env());
    const auto whole = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(probe.exit_code, 0) << probe.err;
    cluster()->sql("postgres", "DROP DATABASE probe WITH (FORCE)");

    // Held before the commit of its first transfer: the server shows none of it, and a kill
    // leaves it so.
    Running held = start_nlx(logs.path(), a.env(), sync, "team-commit");
    int status = 0;
    ASSERT_EQ(::waitpid(held.pid, &status, WUNTRACED), held.pid);
    ASSERT_TRUE(WIFSTOPPED(status)) << held.stderr_text();
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), 0);
    ::kill(held.pid, SIGKILL);
    held.wait();
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), 0);

    // Killed at random moments within the first part of a whole sync's time.
    std::mt19937 rng(20261209);
    std::uniform_real_distribution<double> share(0.02, 0.12);
    for (int round = 0; round < 6; ++round) {
        Running run = start_nlx(logs.path(), a.env(), sync);
        std::this_thread::sleep_for(std::chrono::duration_cast<std::chrono::microseconds>(whole * share(rng)));
        ::kill(run.pid, SIGKILL);
        run.wait();
        expect_whole_transfers();
    }
    const long long before_restart = count("SELECT count(*) FROM nlx.transfers");
    ASSERT_LT(before_restart, kTransfers) << "the syncs were not cut short";

    // The server restarts under a sync about to commit: the sync fails saying so.
    Running cut = start_nlx(logs.path(), a.env(), sync, "team-commit");
    ASSERT_EQ(::waitpid(cut.pid, &status, WUNTRACED), cut.pid);
    ASSERT_TRUE(WIFSTOPPED(status)) << cut.stderr_text();
    std::string why;
    ASSERT_TRUE(cluster()->restart(why)) << why;
    ::kill(cut.pid, SIGCONT);
    EXPECT_EQ(cut.wait(), 1);
    const std::string said = cut.stderr_text();
    EXPECT_NE(said.find(texts::sync_failed("")), std::string::npos) << said;
    EXPECT_NE(said.find("before the failure"), std::string::npos) << said;
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), before_restart);
    expect_whole_transfers();

    auto last = test::run_nlx(sync, a.env());
    ASSERT_EQ(last.exit_code, 0) << last.err;
    EXPECT_EQ(reported(last.out, "sent"), kTransfers - before_restart) << last.out;
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), kTransfers);
    expect_whole_transfers();
}

// A station's transfers pulled into a fresh application folder: listed, verified identical with
// nlx verify, the same records as the station's, restorable.
TEST_F(TeamSyncCommand, PulledTransfersVerifyIdentical) {
    Station a, b;
    test::download_transfers(a, 10, 15);
    auto sent = test::run_nlx({"sync", "--to", server(), "--station", "lab-a"}, a.env());
    ASSERT_EQ(sent.exit_code, 0) << sent.err;
    auto pulled = test::run_nlx({"sync", "--from", server(), "--station", "lab-a"}, b.env());
    ASSERT_EQ(pulled.exit_code, 0) << pulled.err;
    EXPECT_EQ(reported(pulled.out, "brought in"), 10) << pulled.out;

    auto listed = test::run_nlx({"transfers", "--format", "csv"}, b.env());
    ASSERT_EQ(listed.exit_code, 0) << listed.err;
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 11) << listed.out;
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), ',') / 11, 13) << "one line per transfer";
    auto verified = test::run_nlx({"verify"}, b.env());
    EXPECT_EQ(verified.exit_code, 0) << verified.out << verified.err;
    for (int id = 1; id <= 10; ++id) {
        auto one = test::run_nlx({"verify", std::to_string(id)}, b.env());
        EXPECT_EQ(one.exit_code, 0) << id << ": " << one.out << one.err;
    }
    for (const char* model : {"a", "b", "c", "d", "e"}) {
        const std::vector<std::string> records = {"records", "--model", model, "--format", "csv"};
        auto theirs = test::run_nlx(records, a.env()), ours = test::run_nlx(records, b.env());
        ASSERT_EQ(ours.exit_code, 0) << ours.err;
        EXPECT_EQ(ours.out, theirs.out) << model;
    }
    auto restored = test::run_nlx({"restore", "2"}, b.env());
    ASSERT_EQ(restored.exit_code, 0) << restored.err;
    auto again = test::run_nlx({"verify", "11"}, b.env());
    EXPECT_EQ(again.exit_code, 0) << again.out << again.err;
    // Pulled into the folder's own database, a sync of it does not send them back as its own.
    auto back = test::run_nlx({"sync", "--to", server(), "--station", "lab-b"}, b.env());
    ASSERT_EQ(back.exit_code, 0) << back.err;
    EXPECT_EQ(reported(back.out, "sent"), 0) << back.out;
}

// What the commands say, what they keep in team.cfg and what they refuse.
TEST_F(TeamSyncCommand, ReportsKeepsAndRefuses) {
    Station a;
    test::download_transfers(a, 3, 16, "bc");
    const auto cfg = team::team_settings_path(a.home());

    auto nowhere = test::run_nlx({"sync"}, a.env());
    EXPECT_EQ(nowhere.exit_code, 1);
    EXPECT_NE(nowhere.err.find(texts::kTeamNoAddress), std::string::npos) << nowhere.err;
    auto unreachable = test::run_nlx({"sync", "--to", "host=" + (a.home() / "no-server").string() + " dbname=team"}, a.env());
    EXPECT_EQ(unreachable.exit_code, 1);
    EXPECT_TRUE(unreachable.err.starts_with("nlx: 无法连接团队数据库服务器")) << unreachable.err;
    EXPECT_FALSE(fs::exists(cfg)) << "a failed sync kept the station name";

    auto first = test::run_nlx({"sync", "--to", server()}, a.env());
    ASSERT_EQ(first.exit_code, 0) << first.err;
    const std::string host = team::host_station_name();
    EXPECT_NE(first.out.find("sent 3 transfers of station " + host + ", 0 on the server already"), std::string::npos)
        << first.out;
    EXPECT_EQ(test::read_file(cfg), "station " + host + "\n");

    auto keep = test::run_nlx({"team", "settings", "--server", server()}, a.env());
    ASSERT_EQ(keep.exit_code, 0) << keep.err;
    auto refused = test::run_nlx({"team", "settings", "--server", "postgresql://lab:s3cret@db/team"}, a.env());
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find(texts::kTeamPasswordInAddress), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find("s3cret"), std::string::npos);
    EXPECT_EQ(test::read_file(cfg).find("s3cret"), std::string::npos);

    auto second = test::run_nlx({"sync"}, a.env());
    ASSERT_EQ(second.exit_code, 0) << second.err;
    EXPECT_NE(second.out.find("sent 0 transfers of station " + host + ", 3 on the server already"), std::string::npos)
        << second.out;
    auto check = test::run_nlx({"team", "check"}, a.env());
    ASSERT_EQ(check.exit_code, 0) << check.err;
    EXPECT_NE(check.out.find("schema nlx version 1: 1 station, 3 transfers"), std::string::npos) << check.out;

    struct Listing {
        std::vector<std::string> args;
        std::size_t lines;
    };
    const Listing listings[] = {{{"--format", "csv"}, 4}, {{"--format", "csv", "--model", "c"}, 2},
                                {{"--format", "csv", "--station", "other"}, 1}};
    for (const auto& l : listings) {
        std::vector<std::string> args = {"team", "transfers"};
        args.insert(args.end(), l.args.begin(), l.args.end());
        auto listed = test::run_nlx(args, a.env());
        ASSERT_EQ(listed.exit_code, 0) << listed.err;
        EXPECT_EQ(std::size_t(std::count(listed.out.begin(), listed.out.end(), '\n')), l.lines) << listed.out;
    }
    auto json = test::run_nlx({"team", "transfers", "--format", "json"}, a.env());
    ASSERT_EQ(json.exit_code, 0) << json.err;
    EXPECT_TRUE(json.out.starts_with("[")) << json.out;
    EXPECT_NE(json.out.find("\"station\": \"" + host + "\""), std::string::npos) << json.out;

    Station b;
    auto unknown = test::run_nlx({"sync", "--from", server(), "--station", "other"}, b.env());
    EXPECT_EQ(unknown.exit_code, 1);
    EXPECT_NE(unknown.err.find(texts::team_station_unknown("other", host)), std::string::npos) << unknown.err;
    EXPECT_FALSE(fs::exists(b.db_file()));
}

}  // namespace
}  // namespace nlx
