// nlx recordings: the recordings of the live level a record database keeps; nlx recording ID:
// one of them written out as CSV or as an .xlsx workbook.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "transfer/recording_export.h"
#include "store/table_export.h"
#include "workbook/recording_workbook.h"

namespace nlx::cli {

RecordingInfo find_recording(const Database& db, long long id) {
    auto found = db.recording(id);
    if (!found) throw Failure(found.message());
    if (!*found)
        throw Failure(db.path().string() + " has no recording " + std::to_string(id) +
                      " (nlx recordings lists those it has)");
    return std::move(**found);
}

void register_recordings(CLI::App& app, int& exit_code) {
    struct Options {
        std::string db, format = "text";
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("recordings", "List the recordings of the live level (nlx monitor --record), "
                                                 "oldest first, with their LAeq, Lmax and exceeded levels");
    add_database_option(*cmd, opt->db);
    cmd->add_option("--format", opt->format, "text (default), csv or json")->check(CLI::IsMember({"text", "csv", "json"}));
    cmd->callback([opt, &exit_code] {
        Database db = open_for_reading(opt->db);
        auto list = db.recordings();
        if (!list) throw Failure(list.message());
        const auto table = recordings_table(*list);
        if (opt->format == "csv") std::cout << to_csv(table);
        else if (opt->format == "json") std::cout << to_json(table);
        else std::cout << to_text(table);
        exit_code = 0;
    });
}

void register_recording(CLI::App& app, int& exit_code) {
    struct Options {
        std::string db, csv, xlsx;
        long long id = 0;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("recording", "Write one recording of the live level out: its samples as CSV "
                                                "(time, level) or as an .xlsx workbook");
    cmd->add_option("ID", opt->id, "The recording's id, as nlx recordings lists it")->required()->check(CLI::PositiveNumber);
    add_database_option(*cmd, opt->db);
    auto* csv = cmd->add_option("--csv", opt->csv, "CSV file to write");
    auto* xlsx = cmd->add_option("--xlsx", opt->xlsx, "Workbook to write");
    cmd->callback([opt, csv, xlsx, &exit_code] {
        if (!*csv && !*xlsx) throw CLI::RequiredError("--csv or --xlsx");
        Database db = open_for_reading(opt->db);
        const RecordingInfo recording = find_recording(db, opt->id);
        if (!opt->csv.empty())
            if (auto written = write_recording_csv(db, recording, opt->csv); !written) throw Failure(written.message());
        if (!opt->xlsx.empty())
            if (auto written = workbook::write_recording_xlsx(db, recording, opt->xlsx); !written)
                throw Failure(written.message());
        std::cout << summary_line(recording.summary) << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
