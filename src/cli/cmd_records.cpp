// nlx records: prints a model's record or distribution table as text, CSV or JSON.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "core/models.h"
#include "core/texts.h"
#include "store/table_export.h"

namespace nlx::cli {

void register_records(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, db, table = "records", format = "text";
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("records", "Print a model's record table or distribution table");
    add_model_option(*cmd, opt->model);
    add_database_option(*cmd, opt->db);
    cmd->add_option("--table", opt->table, "records (default) or distribution")
        ->check(CLI::IsMember({"records", "distribution"}));
    cmd->add_option("--format", opt->format,
                    "text (default), csv or json; csv is for scripts and writes every value as stored (for a "
                    "spreadsheet use nlx export --csv, which keeps formula-like values from running)")
        ->check(CLI::IsMember({"text", "csv", "json"}));

    cmd->callback([opt, &exit_code] {
        const ModelInfo& model = chosen_model(opt->model);
        const bool distribution = opt->table == "distribution";
        if (distribution && !model.has_distribution)
            throw Failure("model " + opt->model + " has no distribution table");
        Database db = open_for_reading(opt->db);
        const std::string table = distribution ? distribution_table_name(model.letter) : record_table_name(model.letter);
        if (!db.has_table(table))
            throw Failure(texts::open_failed(db.path().string() + " has no table " + table));
        if (opt->format == "text") {
            // Aligned columns need every row first.
            auto contents = db.read_table(table);
            if (!contents) throw Failure(contents.message());
            std::cout << to_text(*contents);
            exit_code = 0;
            return;
        }
        // CSV and JSON go out as the rows are read.
        const auto format = opt->format == "csv" ? TableStreamWriter::Format::csv : TableStreamWriter::Format::json;
        std::optional<TableStreamWriter> writer;
        auto scanned = db.scan_table(
            table,
            [&](const std::vector<std::string>& columns) {
                writer.emplace(format, columns, [](std::string_view piece) {
                    std::cout.write(piece.data(), std::streamsize(piece.size()));
                });
            },
            [&](std::span<const ValueView> values) { writer->row(values); });
        if (!scanned) throw Failure(scanned.message());
        writer->finish();
        exit_code = 0;
    });
}

}  // namespace nlx::cli
