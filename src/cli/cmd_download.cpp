// nlx download: the main operation — fetch every stored group from the instrument and store it.
#include <CLI/CLI.hpp>

#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/run_download.h"
#include "cli/options.h"
#include "core/app_folder.h"
#include "core/settings.h"

namespace nlx::cli {

void register_download(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, port, db;
        int baud = 0;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("download", "Download every stored group from the instrument and store it");
    add_model_option(*cmd, opts->model);
    auto* port_option = cmd->add_option("--port", opts->port,
                                        "Serial port: 1..3 or a device path such as /dev/ttyUSB0 (default: from sys.cfg)");
    cmd->add_option("--baud", opts->baud, "Speed in bit/s: 9600, 4800, 2400 or 1200 (default: from sys.cfg)")
        ->check(CLI::IsMember({9600, 4800, 2400, 1200}));
    add_database_option(*cmd, opts->db);
    cmd->callback([opts, port_option, &exit_code] {
        // A given --port is checked whatever its value: an empty one is refused, not ignored.
        std::optional<PortSpec> chosen_port;
        if (port_option->count() > 0) {
            auto port = parse_port(opts->port);
            if (!port) throw CLI::ValidationError("--port", port.message());
            chosen_port = *port;
        }
        auto folder = application_folder();
        auto loaded = load_settings(settings_path(folder));
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
        if (opts->baud != 0) settings.baud = opts->baud;

        // The database is opened before the instrument is asked, so a bad file is refused early.
        Database db = open_for_writing(opts->db);
        char model = opts->model[0];
        auto result = run_download(db, folder, {model, settings.port, settings.baud});
        if (result.outcome == link::DownloadOutcome::completed) {
            exit_code = 0;
            return;
        }
        std::string message = result.status;
        // A port failure's status already holds the port's message; other endings add it in brackets.
        if (!result.detail.empty() && result.status.find(result.detail) == std::string::npos)
            message += " (" + result.detail + ")";
        throw Failure(message);
    });
}

}  // namespace nlx::cli
