// nlx ports: lists the serial ports with their USB details, so the operator finds the adapter.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "link/serial_ports.h"

namespace nlx::cli {

void register_ports(CLI::App& app, int& exit_code) {
    auto* cmd = app.add_subcommand("ports", "List the serial ports (description, USB vendor:product ids, serial number)");
    cmd->callback([&exit_code] {
        auto ports = link::list_serial_ports();
        if (ports.empty()) std::cout << "no serial ports found\n";
        for (const auto& port : ports) std::cout << link::port_line(port) << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
