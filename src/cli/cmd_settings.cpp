// nlx settings: shows the application folder and the serial port and speed from sys.cfg.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "core/app_folder.h"
#include "core/settings.h"

namespace nlx::cli {

void register_settings(CLI::App& app, int& exit_code) {
    auto* cmd = app.add_subcommand("settings", "Show the application folder, serial port and speed");
    cmd->callback([&exit_code] {
        auto folder = application_folder();
        auto loaded = load_application_settings(folder);
        std::cout << "application folder: " << folder.string() << "\n"
                  << "port: " << loaded.settings.port.text() << " ("
                  << port_device_name(loaded.settings.port) << ")\n"
                  << "speed: " << loaded.settings.baud << " bit/s\n";
        if (loaded.message) std::cout << "note: " << *loaded.message << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
