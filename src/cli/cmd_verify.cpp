// nlx verify: checks logged transfers' capture files against the log and the current records
// against their capture; exit 0 only when all agree (rows added by 添加记录 apart).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "core/app_folder.h"
#include "core/models.h"
#include "transfer/transfer_check.h"

namespace nlx::cli {

void register_verify(CLI::App& app, int& exit_code) {
    struct Options {
        std::string db;
        long long id = 0;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("verify", "Check a logged transfer (default: the current one of every model): "
                                             "its capture file against the log, the records against the capture");
    add_database_option(*cmd, opt->db);
    cmd->add_option("ID", opt->id, "The transfer's id in the log")->check(CLI::PositiveNumber);
    cmd->callback([opt, &exit_code] {
        Database db = open_for_reading(opt->db);
        const auto storage = storage_folder(application_folder());
        std::vector<TransferCheck> checks;
        if (opt->id) {
            auto check = check_transfer(db, storage, opt->id);
            if (!check) throw Failure(check.message());
            checks.push_back(*check);
        } else {
            auto entries = db.transfers();
            if (!entries) throw Failure(entries.message());
            for (const auto& m : all_models()) {
                const bool logged = std::any_of(entries->begin(), entries->end(),
                                                [&](const TransferEntry& e) { return e.model == m.letter && e.stored_records(); });
                if (!logged) continue;
                auto check = check_transfer(db, storage, 0, &m);
                if (!check) throw Failure(check.message());
                checks.push_back(*check);
            }
            if (checks.empty()) throw Failure(db.path().string() + " has logged no transfer");
        }
        bool identical = true;
        for (const auto& c : checks) {
            std::cout << check_text(c);
            identical = identical && c.identical();
        }
        exit_code = identical ? 0 : 1;
    });
}

}  // namespace nlx::cli
