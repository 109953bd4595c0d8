// fork/exec with pipes for stdout and stderr, so CLI tests see exactly what an operator sees.
#include "support/run_command.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>

namespace nlx::test {

CommandResult run_command(const std::string& program, const std::vector<std::string>& args,
                          const std::map<std::string, std::string>& env) {
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        close(out_pipe[0]);
        close(err_pipe[0]);
        int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, 0);
        for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    CommandResult r;
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    int open_fds = 2;
    char buf[4096];
    // A command that hangs is killed and reported as such, instead of stalling the test run.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (open_fds > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        int ready = poll(fds, 2, int(std::max<long long>(0, left.count())));
        if (ready < 0) break;
        if (ready == 0) {
            kill(pid, SIGKILL);
            r.err += "\n(the command did not end within 60 s and was killed)";
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            ssize_t got = read(fds[i].fd, buf, sizeof buf);
            if (got <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open_fds;
            } else {
                (i == 0 ? r.out : r.err).append(buf, std::size_t(got));
            }
        }
    }
    for (auto& f : fds)
        if (f.fd >= 0) close(f.fd);
    int status = 0;
    waitpid(pid, &status, 0);
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

}  // namespace nlx::test
