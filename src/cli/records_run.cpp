// nlx records' work, shared by nlx and nlx-plain; writes through stdio, so nlx needs no iostreams.
#include "cli/records_run.h"

#include <cstdio>
#include <optional>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "core/models.h"
#include "core/texts.h"
#include "store/table_export.h"

namespace nlx::cli {

void run_records(const RecordsRequest& request) {
    const ModelInfo& model = chosen_model(request.model);
    const bool distribution = request.table == "distribution";
    if (distribution && !model.has_distribution) throw Failure("model " + request.model + " has no distribution table");
    Database db = open_for_reading(request.db);
    const std::string table = distribution ? distribution_table_name(model.letter) : record_table_name(model.letter);
    if (!db.has_table(table)) throw Failure(texts::open_failed(db.path().string() + " has no table " + table));
    auto out = [](std::string_view piece) { std::fwrite(piece.data(), 1, piece.size(), stdout); };
    if (request.format == "text") {
        // Aligned columns need every row first.
        auto contents = db.read_table(table);
        if (!contents) throw Failure(contents.message());
        out(to_text(*contents));
        return;
    }
    // CSV and JSON go out as the rows are read.
    const auto format = request.format == "csv" ? TableStreamWriter::Format::csv : TableStreamWriter::Format::json;
    std::optional<TableStreamWriter> writer;
    auto scanned = db.scan_table(
        table, [&](const std::vector<std::string>& columns) { writer.emplace(format, columns, out); },
        [&](std::span<const ValueView> values) { writer->row(values); });
    if (!scanned) throw Failure(scanned.message());
    writer->finish();
}

}  // namespace nlx::cli
