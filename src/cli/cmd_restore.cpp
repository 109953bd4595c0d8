// nlx restore: stores a logged transfer's capture again, replacing the model's records.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "core/app_folder.h"
#include "transfer/transfer_check.h"

namespace nlx::cli {

void register_restore(CLI::App& app, int& exit_code) {
    struct Options {
        std::string db;
        long long id = 0;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("restore", "Store a logged transfer again from its capture file (see nlx "
                                              "transfers); the model's current records stay restorable");
    add_database_option(*cmd, opt->db);
    cmd->add_option("ID", opt->id, "The transfer's id in the log")->required()->check(CLI::PositiveNumber);
    cmd->callback([opt, &exit_code] {
        Database db = open_for_writing(opt->db);
        auto summary = restore_transfer(db, storage_folder(application_folder()), opt->id);
        if (!summary) throw Failure(summary.message());
        for (const auto& note : summary->notes) std::cerr << "note: " << decode_note_text(note) << "\n";
        std::cout << summary->line() << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
