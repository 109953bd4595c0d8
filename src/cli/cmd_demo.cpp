// nlx demo: a virtual instrument on a pseudo-terminal, downloaded through the real serial code
// into the application folder's record database, then the stored records as a table and their
// table report as a PDF and their workbook as .xlsx in the application folder.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "cli/print_target.h"
#include "cli/record_rows.h"
#include "cli/run_download.h"
#include "core/app_folder.h"
#include "core/models.h"
#include "reports/table_report.h"
#include "reports/workbook_sheet.h"
#include "sim/generated_content.h"
#include "sim/virtual_instrument.h"
#include "store/table_export.h"
#include "workbook/xlsx_file.h"

namespace nlx::cli {

void register_demo(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model = "a";
        int groups = 30;
        std::uint32_t seed = 1;
        bool pace = false;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("demo", "Download from a virtual instrument, show the stored records and write their table report as a PDF and their workbook as .xlsx");
    std::vector<std::string> letters;
    for (const auto& m : all_models()) letters.emplace_back(1, m.letter);
    cmd->add_option("--model", opts->model, "Instrument model letter (default a)")->check(CLI::IsMember(letters));
    cmd->add_option("--groups", opts->groups, "Groups in the virtual instrument (default 30)")->check(CLI::Range(1, 4000));
    cmd->add_option("--seed", opts->seed, "Seed of the generated groups (default 1)");
    cmd->add_flag("--pace", opts->pace, "Send at the real line rate of 9600 bit/s");
    cmd->callback([opts, &exit_code] {
        const ModelInfo& info = chosen_model(opts->model);
        const char model = info.letter;
        auto content = sim::generated_capture(info, opts->groups, opts->seed);
        if (!content) throw Failure(content.message());

        sim::InstrumentOptions io;
        io.model = info;
        io.content = [capture = *content] { return capture; };
        io.pace = opts->pace;
        io.baud = 9600;
        auto instrument = sim::VirtualInstrument::open(std::move(io));
        if (!instrument) throw Failure(instrument.message());
        if (auto started = (*instrument)->start(); !started) throw Failure(started.message());

        auto folder = application_folder();
        Database db = open_for_writing("");
        std::cout << "virtual " << info.option_caption << " on " << (*instrument)->device()
                  << ", " << opts->groups << " groups; database " << db.path().string() << "\n";

        PortSpec port{0, (*instrument)->device()};
        auto result = run_download(db, folder, {info, port, 9600});
        (*instrument)->stop();
        if (result.outcome != link::DownloadOutcome::completed)
            throw Failure(download_failure(result, {info, port, 9600}));

        auto table = db.read_table(record_table_name(model));
        if (!table) throw Failure(table.message());
        std::cout << "\n" << record_table_name(model) << "\n" << to_text(*table);

        // The table report of the downloaded groups, as 打印全部 prints it.
        const auto report = folder / ("demo-report-" + std::string(1, model) + ".pdf");
        print_pages({report.string(), {}},
                    reports::table_report(info, record_rows(db, info), 0, table->rows.size() - 1,
                                          local_today()));

        // The same records as 导出 saves them.
        const auto workbook = folder / ("demo-records-" + std::string(1, model) + ".xlsx");
        if (auto saved = workbook::write_xlsx(reports::export_sheet(info, record_rows(db, info)), workbook); !saved)
            throw Failure(saved.message());
        std::cout << workbook.string() << ": " << table->rows.size() << (table->rows.size() == 1 ? " group\n" : " groups\n");
        exit_code = 0;
    });
}

}  // namespace nlx::cli
