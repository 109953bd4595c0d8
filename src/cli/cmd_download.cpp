// nlx download: the main operation — fetch every stored group from the instrument and store it.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/run_download.h"
#include "cli/options.h"
#include "cli/serial_options.h"
#include "core/app_folder.h"

namespace nlx::cli {

void register_download(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, db;
        SerialOptions serial;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("download", "Download every stored group from the instrument and store it");
    add_model_option(*cmd, opts->model);
    add_serial_options(*cmd, opts->serial);
    add_database_option(*cmd, opts->db);
    cmd->callback([opts, &exit_code] {
        const SerialSettings settings = serial_settings(opts->serial);
        const auto folder = application_folder();

        // The database is opened before the instrument is asked, so a bad file is refused early.
        Database db = open_for_writing(opts->db);
        const ModelInfo& model = chosen_model(opts->model);
        auto result = run_download(db, folder, {model, settings.port, settings.baud});
        if (result.outcome == link::DownloadOutcome::completed) {
            exit_code = 0;
            return;
        }
        throw Failure(download_failure(result, {model, settings.port, settings.baud}));
    });
}

}  // namespace nlx::cli
