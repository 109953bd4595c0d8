// nlx simulate as an operator runs it: a download against the simulator process.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "link/download_session.h"
#include "link/serial_link.h"
#include "support/session_support.h"
#include "sim/patterned_capture.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace nlx {
namespace {

// `nlx simulate ...` in a child process; the first line it prints is the device path.
class Simulator {
public:
    explicit Simulator(const std::vector<std::string>& args) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            close(out[0]);
            std::vector<char*> argv{const_cast<char*>(NLX_CLI_PATH), const_cast<char*>("simulate")};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(NLX_CLI_PATH, argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
        std::string line;
        while (line.find('\n') == std::string::npos) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 5000) <= 0) break;
            char c;
            if (read(out_, &c, 1) != 1) break;
            line += c;
        }
        if (!line.empty() && line.back() == '\n') line.pop_back();
        device_ = line;
    }
    ~Simulator() {
        if (pid_ > 0) stop();
    }
    const std::string& device() const { return device_; }

    // Sends SIGTERM, then returns the exit code and the rest of the output.
    std::pair<int, std::string> stop() {
        kill(pid_, SIGTERM);
        std::string rest;
        char buf[512];
        ssize_t got;
        while ((got = read(out_, buf, sizeof buf)) > 0) rest.append(buf, std::size_t(got));
        close(out_);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), rest};
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string device_;
};

TEST(SimulateCommand, ServesTheCaptureFileUntilStopped) {
    test::TempDir dir;
    Capture c = sim::patterned_capture('c', 3, 42);
    auto bytes = capture_bytes(c);
    test::write_file(dir / "c.cap", std::string(bytes.begin(), bytes.end()));

    Simulator sim({"--model", "c", "--capture", (dir / "c.cap").string(), "--fault", "stale-bytes"});
    ASSERT_EQ(sim.device().rfind("/dev/", 0), 0u) << sim.device();
    link::SerialLink port;
    std::vector<link::test::HookCall> calls;
    link::DownloadRequest req;
    req.model = 'c';
    req.port = PortSpec{0, sim.device()};
    auto r = link::DownloadSession(port, req, {}, link::test::recording_hook(calls, port)).run();
    EXPECT_EQ(r.outcome, link::DownloadOutcome::completed) << r.status;
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].capture.data, c.data);
    auto [code, rest] = sim.stop();
    EXPECT_EQ(code, 0);
    EXPECT_NE(rest.find("served 1 download(s)"), std::string::npos) << rest;
}

TEST(SimulateCommand, RefusesBadArguments) {
    test::TempDir dir;
    test::write_file(dir / "a.cap", std::string("\x00\x11", 2) + std::string(256, '\x01'));
    auto cap = (dir / "a.cap").string();
    EXPECT_EQ(test::run_nlx({"simulate", "--model", "a", "--capture", cap, "--fault", "smoke"}).exit_code, 2);
    EXPECT_EQ(test::run_nlx({"simulate", "--model", "x", "--capture", cap}).exit_code, 2);
    EXPECT_EQ(test::run_nlx({"simulate", "--model", "a", "--capture", cap, "--baud", "1000"}).exit_code, 2);
    EXPECT_EQ(test::run_nlx({"simulate", "--model", "a"}).exit_code, 2);
    auto missing = test::run_nlx({"simulate", "--model", "a", "--capture", (dir / "none.cap").string()});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("none.cap"), std::string::npos);
    test::write_file(dir / "short.cap", "\x01");
    auto short_file = test::run_nlx({"simulate", "--model", "a", "--capture", (dir / "short.cap").string()});
    EXPECT_EQ(short_file.exit_code, 1);
    EXPECT_NE(short_file.err.find("count bytes"), std::string::npos);
}

}  // namespace
}  // namespace nlx
