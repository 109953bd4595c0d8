// nlx save-as: copies the record database under a new name; the original stays as it is.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "store/file_commands.h"

namespace nlx::cli {

void register_save_as(CLI::App& app, int& exit_code) {
    struct Options {
        std::string db, destination;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("save-as", "Copy the record database to a new file");
    add_database_option(*cmd, opt->db);
    cmd->add_option("DEST", opt->destination, "The new file")->required();

    cmd->callback([opt, &exit_code] {
        Database db = open_for_reading(opt->db);
        if (auto message = save_database_as(db, opt->destination)) throw Failure(message->text);
        std::cout << "copied " << db.path().string() << " to " << opt->destination << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
