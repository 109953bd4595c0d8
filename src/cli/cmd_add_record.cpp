// nlx add-record: appends a copy of the model's last group with the next 序号.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "core/models.h"
#include "store/file_commands.h"

namespace nlx::cli {

void register_add_record(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, db;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("add-record", "Append a copy of the model's last group with the next group number");
    add_model_option(*cmd, opt->model);
    add_database_option(*cmd, opt->db);

    cmd->callback([opt, &exit_code] {
        const ModelInfo& model = chosen_model(opt->model);
        Database db = open_for_writing(opt->db);
        auto added = add_record(db, model);
        if (!added) throw Failure(added.message() + " (" + db.path().string() + ")");
        std::cout << "added 序号 " << added->seq_text << " to " << record_table_name(model.letter) << " in "
                  << db.path().string() << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
