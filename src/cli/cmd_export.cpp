// nlx export: a model's record table as the .xlsx workbook 导出 saves, or as CSV.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli/assess_options.h"
#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "cli/record_rows.h"
#include "core/app_folder.h"
#include "core/atomic_file.h"
#include "core/standard_choice.h"
#include "reports/assessment_sheet.h"
#include "reports/workbook_sheet.h"
#include "workbook/xlsx_file.h"

namespace nlx::cli {

void register_export(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, db, xlsx, csv;
        bool assess = false;
        StandardOptions standard;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("export", "Export a model's record table as an .xlsx workbook (title, headings, "
                                             "one row per group) or as CSV with the same headings");
    add_model_option(*cmd, opt->model);
    add_database_option(*cmd, opt->db);
    auto* xlsx = cmd->add_option("--xlsx", opt->xlsx, "Write the workbook to this file");
    auto* csv = cmd->add_option("--csv", opt->csv, "Write UTF-8 CSV (with a byte-order mark) to this file");
    xlsx->excludes(csv);
    auto* assess = cmd->add_flag("--assess", opt->assess,
                                 "Add the assessment against the limits as a second worksheet (达标评价), against the "
                                 "standard given or the one kept in standard.cfg");
    assess->excludes(csv);
    add_standard_options(*cmd, opt->standard);
    cmd->callback([opt, &exit_code] {
        if (opt->xlsx.empty() && opt->csv.empty()) throw CLI::ValidationError("export", "give --xlsx FILE or --csv FILE");
        if (!opt->assess && opt->standard.any())
            throw CLI::ValidationError("export", "the standard options go with --assess");
        const ModelInfo& model = chosen_model(opt->model);
        Database db = open_for_reading(opt->db);
        const auto records = record_rows(db, model);
        std::vector<reports::WorkbookSheet> sheets{reports::export_sheet(model, records)};
        if (opt->assess) {
            const auto criterion = resolve_criterion(opt->standard, standard_choice_path(application_folder()));
            check_model_fits(model, criterion);
            sheets.push_back(reports::assessment_worksheet(criterion, assess_records(model, records, std::nullopt, criterion),
                                                          Wording::operator_language));
        }
        auto write_csv = [&] {
            // CSV files that a killed export left half-written beside their names go first.
            const std::filesystem::path folder = std::filesystem::path(opt->csv).parent_path();
            remove_stale_temporaries(folder.empty() ? "." : folder, ".csv");
            return write_file_atomically(opt->csv, reports::sheet_csv(sheets.front()));
        };
        const auto written = opt->xlsx.empty() ? write_csv() : workbook::write_xlsx(sheets, opt->xlsx);
        if (!written) throw Failure(written.message());
        const std::size_t groups = sheets.front().rows.size();
        std::cout << (opt->xlsx.empty() ? opt->csv : opt->xlsx) << ": " << groups << (groups == 1 ? " group of " : " groups of ") << record_table_name(model.letter) << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
