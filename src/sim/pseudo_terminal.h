// The line a simulated device serves on: a raw pseudo-terminal whose slave end the host opens
// like a serial port, and a pipe that wakes the serving loop when it is asked to stop.
#pragma once

#include <string>

#include "core/result.h"

namespace nlx::sim {

struct PseudoTerminal {
    int master = -1, slave = -1;
    int wake[2] = {-1, -1};
    std::string device;  // the slave end's name ("/dev/pts/4")

    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();  // closes what it still holds

    // Gives the files and the name to the device that serves on them.
    void hand_over(int& master_end, int& slave_end, int (&wake_pipe)[2], std::string& name);
};

// Opens the pseudo-terminal raw (the master end non-blocking) and the wake pipe; every file is
// closed on exec. A failure says which step failed.
Result<void> open_pseudo_terminal(PseudoTerminal& line);

// "what: <the system's reason>" for the last failed call.
std::string errno_text(const char* what);

}  // namespace nlx::sim
