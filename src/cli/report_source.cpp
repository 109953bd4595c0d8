// Record rows for the print commands, and the headless application of the painters.
#include "cli/report_source.h"

#include "cli/commands.h"

#ifdef NLX_WITH_RENDER
#include <QApplication>

#include "render/cjk_font.h"
#include "render/offscreen.h"
#endif

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

std::shared_ptr<QApplication> headless_application() {
#ifdef NLX_WITH_RENDER
    render::use_offscreen_platform();
    static int argc = 1;
    static char name[] = "nlx";
    static char* argv[] = {name, nullptr};
    auto application = std::make_shared<QApplication>(argc, argv);
    render::use_cjk_font(*application);
    return application;
#else
    throw Failure("this nlx was built without the Qt painters (charts, printing); build it with the desktop program");
#endif
}

}  // namespace nlx::cli
