// nlx download: the main operation — fetch every stored group from the instrument and store it.
#include <CLI/CLI.hpp>

#include <iostream>

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
    cmd->add_option("--port", opts->port, "Serial port: 1..3 or a device name (default: from sys.cfg)");
    cmd->add_option("--baud", opts->baud, "Speed in bit/s: 9600, 4800, 2400 or 1200 (default: from sys.cfg)")
        ->check(CLI::IsMember({9600, 4800, 2400, 1200}));
    add_database_option(*cmd, opts->db);
    cmd->callback([opts, &exit_code] {
        auto folder = application_folder();
        auto loaded = load_settings(settings_path(folder));
        SerialSettings settings = loaded.settings;
        if (!opts->port.empty()) {
            auto port = parse_port(opts->port);
            if (!port) throw CLI::ValidationError("--port", port.message());
            settings.port = *port;
        } else if (loaded.message) {
            std::cerr << "note: " << *loaded.message << "\n";
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
        if (!result.detail.empty() && result.detail != result.status) message += " (" + result.detail + ")";
        throw Failure(message);
    });
}

}  // namespace nlx::cli
