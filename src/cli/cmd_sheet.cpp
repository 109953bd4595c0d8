// nlx sheet: one group's labelled values on one page, to a PDF file or a printer.
#include <CLI/CLI.hpp>

#include <memory>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "cli/print_target.h"
#include "cli/record_rows.h"
#include "reports/sheet_text.h"

namespace nlx::cli {

void register_sheet(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, db;
        std::size_t row = 0;
        PrintTarget target;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("sheet", "Print one group's sheet of labelled values to a PDF file or a printer queue");
    add_model_option(*cmd, opt->model);
    add_database_option(*cmd, opt->db);
    cmd->add_option("--row", opt->row, "Row of the record table, from 1")->required()->check(CLI::PositiveNumber);
    add_print_target_options(*cmd, opt->target);
    cmd->callback([opt, &exit_code] {
        require_print_target(opt->target);
        const ModelInfo& model = chosen_model(opt->model);
        Database db = open_for_reading(opt->db);
        const auto rows = record_rows(db, model);
        if (opt->row > rows.size())
            throw Failure("row " + std::to_string(opt->row) + " is past the last row (" + std::to_string(rows.size()) +
                          ") of " + record_table_name(model.letter) + " in " + db.path().string());
        print_sheet(opt->target, reports::sheet_text(model, rows, opt->row - 1), reports::SheetBox{});
        exit_code = 0;
    });
}

}  // namespace nlx::cli
