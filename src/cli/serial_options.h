// --port and --baud of the serial commands, over the port and speed of sys.cfg.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "core/settings.h"

namespace nlx::cli {

struct SerialOptions {
    std::string port;
    int baud = 0;
    CLI::Option* port_option = nullptr;
};

void add_serial_options(CLI::App& cmd, SerialOptions& options);

// sys.cfg's port and speed with the options' over them. A sys.cfg that is there but wrong is
// noted on stderr (and that --port is used instead); a bad --port is a usage error.
SerialSettings serial_settings(const SerialOptions& options);

}  // namespace nlx::cli
