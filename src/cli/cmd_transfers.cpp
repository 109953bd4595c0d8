// nlx transfers: the transfer log of a record database, newest first, as text, CSV or JSON.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "core/app_folder.h"
#include "store/table_export.h"
#include "transfer/transfer.h"

namespace nlx::cli {

void register_transfers(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, db, format = "text";
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("transfers", "List the downloads and imports the record database has logged, "
                                                "newest first, and whether each capture file is still there");
    add_model_option(*cmd, opt->model, false)->description("Only the transfers of this model");
    add_database_option(*cmd, opt->db);
    cmd->add_option("--format", opt->format, "text (default), csv or json")->check(CLI::IsMember({"text", "csv", "json"}));
    cmd->callback([opt, &exit_code] {
        Database db = open_for_reading(opt->db);
        auto entries = db.transfers();
        if (!entries) throw Failure(entries.message());
        const auto storage = storage_folder(application_folder());
        std::vector<TransferEntry> shown;
        std::vector<bool> present;
        for (const auto& e : *entries) {
            if (!opt->model.empty() && e.model != opt->model[0]) continue;
            std::error_code ec;
            present.push_back(std::filesystem::is_regular_file(logged_capture_path(storage, e.capture_file), ec));
            shown.push_back(e);
        }
        const auto table = transfer_table(shown, present);
        if (opt->format == "csv") std::cout << to_csv(table);
        else if (opt->format == "json") std::cout << to_json(table);
        else std::cout << to_text(table);
        exit_code = 0;
    });
}

}  // namespace nlx::cli
