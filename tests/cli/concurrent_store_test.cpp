// Storing while another nlx process opens the same database: what the storing command reports.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/capture.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/transfer_a.h"

namespace nlx {
namespace {
namespace fs = std::filesystem;

void write_capture(const fs::path& file, std::uint32_t seed) {
    test::write_capture_a(file, test::realistic_transfer_a(20, seed));
}

// Starts nlx with `args`, held at the pause point `pause`; its stdout and stderr go to files.
pid_t start_paused(const std::map<std::string, std::string>& env, const std::string& pause,
                   const std::vector<std::string>& args, const fs::path& out, const fs::path& err) {
    pid_t pid = fork();
    if (pid == 0) {
        int in = open("/dev/null", O_RDONLY);
        int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(o, 1);
        dup2(e, 2);
        for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
        setenv("NLX_PAUSE_AT", pause.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(NLX_CLI_PATH)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(NLX_CLI_PATH, argv.data());
        _exit(127);
    }
    return pid;
}

// An import (and a restore, which stores the same way) held between the commit of its records
// and the renames of its history files, while another command opens the database and completes
// those renames itself: the files hold their new bytes, so the store succeeded.
TEST(ConcurrentStore, RenamesDoneByAnotherProcessCountAsDone) {
    test::TempDir dir;
    const fs::path home = dir / "home", storage = home / "3140A存储文件";
    std::map<std::string, std::string> env{{"NLX_HOME", home.string()}};
    write_capture(dir / "old.cap", 1);
    write_capture(dir / "new.cap", 2);

    // The history files a plain import of the new capture leaves.
    std::map<std::string, std::string> expected;
    {
        test::TempDir ref;
        ASSERT_EQ(test::run_nlx({"import", (dir / "new.cap").string()}, {{"NLX_HOME", ref.path().string()}}).exit_code, 0);
        for (const auto& e : fs::directory_iterator(ref / "3140A存储文件"))
            if (e.path().extension() != ".cap") expected[e.path().filename().string()] = test::read_file(e.path());
    }
    ASSERT_FALSE(expected.empty());

    const std::vector<std::string> commands[] = {{"import", (dir / "new.cap").string()}, {"restore", "2"}};
    ASSERT_EQ(test::run_nlx({"import", (dir / "old.cap").string()}, env).exit_code, 0);
    ASSERT_EQ(test::run_nlx({"import", (dir / "new.cap").string()}, env).exit_code, 0);
    for (const auto& args : commands) {
        SCOPED_TRACE(args[0]);
        // The old set first, so that every history file changes.
        ASSERT_EQ(test::run_nlx({"restore", "1"}, env).exit_code, 0);
        const pid_t pid = start_paused(env, "history-files", args, dir / "out", dir / "err");
        ASSERT_GT(pid, 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, WUNTRACED), pid);
        ASSERT_TRUE(WIFSTOPPED(status)) << "the command ended before its pause point";

        auto other = test::run_nlx({"records", "--model", "a", "--format", "csv"}, env);
        EXPECT_EQ(other.exit_code, 0) << other.err;
        for (const auto& [name, bytes] : expected)
            EXPECT_EQ(test::read_file(storage / name), bytes) << name << " put in place by the other command";

        kill(pid, SIGCONT);
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << test::read_file(dir / "err");
        EXPECT_NE(test::read_file(dir / "out").find("20 groups stored"), std::string::npos)
            << test::read_file(dir / "out");
        for (const auto& [name, bytes] : expected) EXPECT_EQ(test::read_file(storage / name), bytes) << name;
    }
}

}  // namespace
}  // namespace nlx
