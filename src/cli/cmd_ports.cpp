// nlx ports: lists the serial ports with their USB details, so the operator finds the adapter;
// with --probe, asks each for the live level to find the port the instrument is on.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "core/settings.h"
#include "link/port_probe.h"
#include "link/serial_link.h"
#include "link/serial_ports.h"

namespace nlx::cli {
namespace {

std::string probe_line(const link::PortProbe& probe) {
    std::string line = probe.device + ": ";
    switch (probe.outcome) {
    case link::ProbeOutcome::answered:
        return line.append("answers (level ").append(link::level_text(probe.level_tenths)).append(" dB)");
    case link::ProbeOutcome::silent:
        line.append("no answer");
        return probe.detail.empty() ? line : line.append(" (").append(probe.detail).append(")");
    case link::ProbeOutcome::skipped: return line.append("skipped: ").append(probe.detail);
    }
    return line;
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& name : names) out.append(out.empty() ? "" : ", ").append(name);
    return out;
}

// Probes `devices` and prints a line for each; fails unless one answered.
void probe(const std::vector<std::string>& devices, int baud) {
    link::SerialLink serial;
    const link::ProbeReport report = link::probe_ports(devices, serial, link::ProbeOptions{baud});
    for (const auto& port : report.ports) std::cout << probe_line(port) << "\n";
    std::cout.flush();
    if (report.refused) throw Failure(std::string("probing stopped: ").append(*report.refused));
    if (!report.first_answer())
        throw Failure(std::string("no instrument answered the live-level request at ")
                          .append(std::to_string(baud))
                          .append(" bit/s on ")
                          .append(joined(devices)));
}

}  // namespace

void register_ports(CLI::App& app, int& exit_code) {
    struct Options {
        bool probe = false;
        int baud = 9600;
        std::string port;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("ports", "List the serial ports (description, USB vendor:product ids, serial number)");
    auto* probe_flag = cmd->add_flag("--probe", opts->probe,
                                     "Ask each port for the instrument's live level and say which one answers");
    cmd->add_option("--baud", opts->baud, "Speed of the probe in bit/s: 9600, 4800, 2400 or 1200 (default 9600)")
        ->check(CLI::IsMember({9600, 4800, 2400, 1200}))
        ->needs(probe_flag);
    auto* port_option = cmd->add_option("--port", opts->port,
                                        "Probe only this port: 1..3 or a device path such as /dev/pts/3")
                            ->needs(probe_flag);
    cmd->callback([opts, port_option, &exit_code] {
        if (!opts->probe) {
            auto ports = link::list_serial_ports();
            if (ports.empty()) std::cout << "no serial ports found\n";
            for (const auto& port : ports) std::cout << link::port_line(port) << "\n";
            exit_code = 0;
            return;
        }
        std::vector<std::string> devices;
        if (port_option->count() > 0) {
            auto port = parse_port(opts->port);
            if (!port) throw CLI::ValidationError("--port", port.message());
            devices.push_back(port_device_name(*port));
        } else {
            // An adapter is asked by its stable name, the one to keep in the settings.
            for (const auto& port : link::list_serial_ports()) devices.push_back(port.preferred_device());
            if (devices.empty()) throw Failure("no serial ports found to probe; name one with --port");
        }
        probe(devices, opts->baud);
        exit_code = 0;
    });
}

}  // namespace nlx::cli
