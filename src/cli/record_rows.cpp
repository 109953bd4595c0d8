// Record rows for the print and export commands, every value as the text the table holds.
#include "cli/record_rows.h"

#include "cli/commands.h"

namespace nlx::cli {

reports::ReportRows record_rows(const Database& db, const ModelInfo& model) {
    const std::string name = record_table_name(model.letter);
    if (!db.has_table(name)) throw Failure(db.path().string() + " has no table " + name);
    auto table = db.read_table(name);
    if (!table) throw Failure(table.message());
    reports::ReportRows rows;
    rows.columns = table->columns;
    rows.rows.reserve(table->rows.size());
    for (const auto& values : table->rows) {
        RecordRow row;
        row.reserve(values.size());
        for (const auto& value : values) row.push_back(value.is_null() ? Cell() : Cell(value.to_text()));
        rows.rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace nlx::cli
