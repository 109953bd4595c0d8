// Port and speed for the commands that use the serial line.
#include "cli/serial_options.h"

#include <iostream>
#include <optional>

#include "core/app_folder.h"

namespace nlx::cli {

void add_serial_options(CLI::App& cmd, SerialOptions& options) {
    options.port_option = cmd.add_option("--port", options.port,
                                         "Serial port: 1..3 or a device path such as /dev/ttyUSB0 (default: from sys.cfg)");
    cmd.add_option("--baud", options.baud, "Speed in bit/s: 9600, 4800, 2400 or 1200 (default: from sys.cfg)")
        ->check(CLI::IsMember({9600, 4800, 2400, 1200}));
}

SerialSettings serial_settings(const SerialOptions& options) {
    // A given --port is checked whatever its value: an empty one is refused, not ignored.
    std::optional<PortSpec> chosen_port;
    if (options.port_option && options.port_option->count() > 0) {
        auto port = parse_port(options.port);
        if (!port) throw CLI::ValidationError("--port", port.message());
        chosen_port = *port;
    }
    auto loaded = load_application_settings(application_folder());
    SerialSettings settings = loaded.settings;
    if (chosen_port) settings.port = *chosen_port;
    // A file that is there but wrong is reported even when --port overrides its port. A file
    // not saved yet goes unmentioned then, as the port it would give is not used.
    if (loaded.message && !(chosen_port && loaded.missing)) {
        std::cerr << "note: " << *loaded.message;
        if (chosen_port)
            std::cerr << " (the port given with --port, " << port_device_name(*chosen_port) << ", is used instead)";
        std::cerr << "\n";
    }
    if (options.baud != 0) settings.baud = options.baud;
    return settings;
}

}  // namespace nlx::cli
