// Opening and closing a simulated device's pseudo-terminal.
#include "sim/pseudo_terminal.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace nlx::sim {

std::string errno_text(const char* what) { return std::string(what).append(": ").append(std::strerror(errno)); }

PseudoTerminal::~PseudoTerminal() {
    for (int* fd : {&master, &slave, &wake[0], &wake[1]}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void PseudoTerminal::hand_over(int& master_end, int& slave_end, int (&wake_pipe)[2], std::string& name) {
    master_end = std::exchange(master, -1);
    slave_end = std::exchange(slave, -1);
    wake_pipe[0] = std::exchange(wake[0], -1);
    wake_pipe[1] = std::exchange(wake[1], -1);
    name = std::move(device);
}

Result<void> open_pseudo_terminal(PseudoTerminal& line) {
    if (::openpty(&line.master, &line.slave, nullptr, nullptr, nullptr) != 0)
        return fail(errno_text("cannot open a pseudo-terminal"));
    for (int fd : {line.master, line.slave}) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(line.master, F_SETFL, ::fcntl(line.master, F_GETFL) | O_NONBLOCK);
    termios raw{};
    if (::tcgetattr(line.slave, &raw) != 0) return fail(errno_text("cannot read the pseudo-terminal settings"));
    ::cfmakeraw(&raw);
    if (::tcsetattr(line.slave, TCSANOW, &raw) != 0) return fail(errno_text("cannot make the pseudo-terminal raw"));
    char name[256];
    if (::ttyname_r(line.slave, name, sizeof name) != 0) return fail(errno_text("cannot name the pseudo-terminal"));
    line.device = name;
    if (::pipe2(line.wake, O_NONBLOCK | O_CLOEXEC) != 0) return fail(errno_text("cannot create a pipe"));
    return {};
}

}  // namespace nlx::sim
