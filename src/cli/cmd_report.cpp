// nlx report: the table report of a model's groups, 36 a page on A3, to a PDF file or a printer.
#include <CLI/CLI.hpp>

#include <charconv>
#include <memory>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "cli/print_target.h"
#include "cli/record_rows.h"
#include "reports/table_report.h"

namespace nlx::cli {
namespace {

std::optional<std::size_t> row_number(std::string_view text) {
    std::size_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value == 0) return std::nullopt;
    return value;
}

// "A-B" or "A", rows from 1, as 0-based first and last.
std::pair<std::size_t, std::size_t> row_range(const std::string& text, std::size_t rows, const std::string& table) {
    const auto dash = text.find('-');
    const auto first = row_number(std::string_view(text).substr(0, dash));
    const auto last = dash == std::string::npos ? first : row_number(std::string_view(text).substr(dash + 1));
    if (!first || !last || *last < *first)
        throw CLI::ValidationError("--rows", "give rows as A-B or A, counted from 1, A not after B: " + text);
    if (*last > rows)
        throw Failure("rows " + text + " go past the last row (" + std::to_string(rows) + ") of " + table);
    return {*first - 1, *last - 1};
}

}  // namespace

void register_report(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, db, rows;
        PrintTarget target;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("report", "Print the table report of a model's groups (A3, 36 groups a page) "
                                             "to a PDF file or a printer queue");
    add_model_option(*cmd, opt->model);
    add_database_option(*cmd, opt->db);
    cmd->add_option("--rows", opt->rows, "Rows A-B of the record table, from 1 (default: every row)");
    add_print_target_options(*cmd, opt->target);
    cmd->callback([opt, &exit_code] {
        require_print_target(opt->target);
        const ModelInfo& model = chosen_model(opt->model);
        Database db = open_for_reading(opt->db);
        const auto rows = record_rows(db, model);
        const std::string where = record_table_name(model.letter) + " in " + db.path().string();
        if (rows.size() == 0) throw Failure("nothing to print: " + where + " holds no groups");
        auto [first, last] = opt->rows.empty() ? std::pair<std::size_t, std::size_t>{0, rows.size() - 1}
                                               : row_range(opt->rows, rows.size(), where);
        print_pages(opt->target, reports::table_report(model, rows, first, last, local_today()));
        exit_code = 0;
    });
}

}  // namespace nlx::cli
