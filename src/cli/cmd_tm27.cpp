// nlx tm27: print one group, or every group, of a record table on the TM27 serial micro-printer.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "cli/record_rows.h"
#include "cli/serial_options.h"
#include "link/serial_link.h"
#include "core/tm27_status.h"
#include "link/tm27_session.h"
#include "reports/tm27_printout.h"

namespace nlx::cli {

void register_tm27(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, db;
        std::size_t row = 0;
        bool all = false;
        double pause = std::chrono::duration<double>(link::tm27_pause(link::Tm27Speed::slow)).count();
        SerialOptions serial;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("tm27", "Print groups on the TM27 micro-printer on the serial port");
    add_model_option(*cmd, opts->model);
    add_database_option(*cmd, opts->db);
    auto* row = cmd->add_option("--row", opts->row, "Row of the record table to print, from 1")->check(CLI::PositiveNumber);
    auto* all = cmd->add_flag("--all", opts->all, "Print every row of the record table");
    row->excludes(all);
    cmd->add_option("--pause", opts->pause, "Seconds between two groups, while the printer prints (default 80, the slow speed)")
        ->check(CLI::Range(0.0, 3600.0));
    add_serial_options(*cmd, opts->serial);
    cmd->callback([opts, row, all, &exit_code] {
        if (row->count() == 0 && all->count() == 0) throw CLI::RequiredError("--row or --all");
        const SerialSettings settings = serial_settings(opts->serial);
        const ModelInfo& model = chosen_model(opts->model);
        const Database db = open_for_reading(opts->db);
        const auto rows = record_rows(db, model);
        if (!opts->all && opts->row > rows.size())
            throw Failure("row " + std::to_string(opts->row) + " is past the last row (" + std::to_string(rows.size()) +
                          ") of " + record_table_name(model.letter) + " in " + db.path().string());

        link::Tm27Request request;
        request.port = settings.port;
        request.baud = settings.baud;
        const std::size_t first = opts->all ? 0 : opts->row - 1, last = opts->all ? rows.size() : opts->row;
        for (std::size_t r = first; r < last; ++r) request.groups.push_back(reports::tm27_printout(model, rows, r));
        request.pause = std::make_shared<link::Tm27Pause>(
            link::Millis(static_cast<link::Millis::rep>(opts->pause * 1000 + 0.5)));

        Tm27StatusLines lines([](const std::string& text) { std::cout << text << std::endl; });
        link::Tm27Observer observer;
        observer.ready = [&lines] { lines.ready(); };
        observer.refused = [&lines](std::size_t, const std::string& why) { lines.refused(why); };
        observer.ended = [&lines](Tm27Outcome outcome, const std::string& detail) { lines.ended(outcome, detail); };
        link::SerialLink serial;
        const auto result = link::Tm27Session(serial, std::move(request), observer).run();
        if (result.outcome == link::Tm27Outcome::completed) {
            exit_code = 0;
            return;
        }
        throw Failure(tm27_status_text(result.outcome, result.detail));
    });
}

}  // namespace nlx::cli
