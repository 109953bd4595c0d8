// nlx sync: sends the logged transfers to the team database, or brings a station's transfers
// from it into a record database.
#include <CLI/CLI.hpp>

#include <unistd.h>

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "core/app_folder.h"
#include "core/texts.h"
#include "team/team_settings.h"
#include "team/team_sync.h"

namespace nlx::cli {
namespace {

// "sent 120/1000" on one line of the terminal while a long sync runs; nothing when stderr is not
// a terminal (a script's log stays clean).
class TerminalProgress {
public:
    explicit TerminalProgress(std::string verb) : verb_(std::move(verb)), shown_(::isatty(STDERR_FILENO) == 1) {}
    ~TerminalProgress() {
        if (printed_) std::cerr << "\n";
    }
    team::SyncProgress callback() {
        if (!shown_) return {};
        return [this](std::size_t done, std::size_t total) {
            if (total == 0) return;
            std::cerr << "\r" << verb_ << " " << done << "/" << total << std::flush;
            printed_ = true;
        };
    }

private:
    std::string verb_;
    bool shown_, printed_ = false;
};

}  // namespace

void register_sync(CLI::App& app, int& exit_code) {
    struct Options {
        std::string to, from, station, db;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "sync", "Send every logged transfer the team database does not hold yet (--to, the default), or bring a "
                "station's transfers from it into a record database (--from)");
    auto* to = cmd->add_option("--to", opt->to,
                               "The team database: a libpq connection string or postgresql:// URL (default: the "
                               "server of team.cfg); the password comes from ~/.pgpass");
    auto* from = cmd->add_option("--from", opt->from, "Bring transfers from this team database instead");
    to->excludes(from);
    cmd->add_option("--station", opt->station,
                    "The station's name (default: the one kept in team.cfg, else this computer's host name)");
    add_database_option(*cmd, opt->db);
    cmd->callback([opt, &exit_code, to, from] {
        const auto folder = application_folder();
        const auto settings_file = team::team_settings_path(folder);
        auto settings = team::load_team_settings(settings_file);
        if (!settings) throw Failure(settings.message());
        const bool pull = from->count() > 0;
        const std::string server = pull ? opt->from : to->count() ? opt->to : settings->server;
        if (!pull && !to->count() && server.empty())
            throw Failure(std::string(nlx::tr(texts::kTeamNoAddress)) + "\nno --to given and no server in " + settings_file.string());
        const std::string station = opt->station.empty() ? settings->station : opt->station;

        Result<team::SyncReport> report = fail("");
        {
            TerminalProgress progress(pull ? "brought in" : "sent");
            if (pull) {
                Database db = open_for_writing(opt->db);
                report = team::receive_transfers(server, station, db, storage_folder(folder), progress.callback());
            } else {
                // A station that has stored nothing yet has nothing to send; its file is not made.
                const auto file = opt->db.empty() ? database_path(folder) : std::filesystem::path(opt->db);
                std::error_code ec;
                Database db = std::filesystem::exists(file, ec) ? open_for_reading(opt->db) : open_for_writing(opt->db);
                report = team::send_transfers(server, station, db, storage_folder(folder), progress.callback());
            }
        }
        if (!report) throw Failure(report.message());
        for (const auto& problem : report->problems) std::cerr << "nlx: " << problem << "\n";
        std::cout << team::report_line(*report, pull) << " (" << report->target << ")\n";
        if (!pull && opt->station.empty())
            if (auto kept = team::keep_station_name(settings_file, *settings); !kept)
                std::cerr << "nlx: note: the station name could not be kept in " << settings_file.string() << ": "
                          << kept.message() << "\n";
        exit_code = report->problems.empty() && !report->cancelled ? 0 : 1;
    });
}

}  // namespace nlx::cli
