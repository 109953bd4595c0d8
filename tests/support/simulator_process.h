// `nlx simulate ...` in a child process, for the tests that talk to it over its pseudo-terminal.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace nlx::test {

#ifdef NLX_CLI_PATH
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

#endif

}  // namespace nlx::test
