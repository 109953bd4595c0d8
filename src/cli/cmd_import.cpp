// nlx import: stores a capture file as a download would have stored it.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "core/app_folder.h"
#include "store/transfer.h"

namespace nlx::cli {

void register_import(CLI::App& app, int& exit_code) {
    auto* cmd = app.add_subcommand("import", "Decode a capture file and replace the model's records with it");
    struct Options {
        std::string model, db, capture_file;
    };
    auto opts = std::make_shared<Options>();
    add_model_option(*cmd, opts->model);
    add_database_option(*cmd, opts->db);
    cmd->add_option("CAPTURE", opts->capture_file, "Capture file: the two count bytes, then the data")
        ->required()
        ->check(CLI::ExistingFile);
    cmd->callback([opts, &exit_code] {
        auto capture = read_capture_file(opts->capture_file);
        if (!capture) throw Failure(capture.message());
        Database database = open_for_writing(opts->db);
        auto summary = store_transfer(database, storage_folder(application_folder()), opts->model[0], *capture);
        if (!summary) throw Failure(summary.message());
        for (const auto& note : summary->notes) std::cerr << "note: " << note << "\n";
        std::cout << summary->line() << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
