// nlx team: the team database's transfers, its connection test, creating its tables, and the
// station settings kept in team.cfg.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/options.h"
#include "core/app_folder.h"
#include "core/texts.h"
#include "store/table_export.h"
#include "team/pg.h"
#include "team/team_settings.h"
#include "team/team_sync.h"

namespace nlx::cli {
namespace {

team::TeamSettings kept_settings() {
    auto settings = team::load_team_settings(team::team_settings_path(application_folder()));
    if (!settings) throw Failure(settings.message());
    return *settings;
}

// The address given, else the one kept in team.cfg.
std::string server_or_kept(const std::string& given, const CLI::Option* option) {
    if (option->count()) return given;
    const auto settings = kept_settings();
    if (settings.server.empty())
        throw Failure(std::string(nlx::tr(texts::kTeamNoAddress)) + "\nno " + option->get_name() + " given and no server in " +
                      team::team_settings_path(application_folder()).string());
    return settings.server;
}

void register_team_transfers(CLI::App& team, int& exit_code) {
    struct Options {
        std::string from, station, model, format = "text";
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = team.add_subcommand("transfers", "List the transfers the team database holds, by station and time");
    auto* from = cmd->add_option("--from", opt->from, "The team database (default: the server of team.cfg)");
    cmd->add_option("--station", opt->station, "Only the transfers of this station");
    add_model_option(*cmd, opt->model, false)->description("Only the transfers of this model");
    cmd->add_option("--format", opt->format, "text (default), csv or json")->check(CLI::IsMember({"text", "csv", "json"}));
    cmd->callback([opt, from, &exit_code] {
        const auto server = server_or_kept(opt->from, from);
        auto table = team::team_transfers(server, {opt->station, opt->model.empty() ? '\0' : opt->model[0]});
        if (!table) throw Failure(table.message());
        if (opt->format == "csv") std::cout << to_csv(*table);
        else if (opt->format == "json") std::cout << to_json(*table);
        else std::cout << to_text(*table);
        exit_code = 0;
    });
}

void register_team_check(CLI::App& team, int& exit_code) {
    auto server = std::make_shared<std::string>();
    auto* cmd = team.add_subcommand("check", "Connect to the team database and say what it holds (设置 → 团队数据库 → 测试)");
    auto* option = cmd->add_option("--server", *server, "The team database (default: the server of team.cfg)");
    cmd->callback([server, option, &exit_code] {
        auto check = team::check_server(server_or_kept(*server, option));
        if (!check) throw Failure(check.message());
        std::cout << "connected to " << check->target << " (PostgreSQL " << check->server_version << ")\n";
        if (check->store.present)
            std::cout << "schema nlx version " << check->store.version << ": " << check->stations
                      << (check->stations == 1 ? " station, " : " stations, ") << check->transfers
                      << (check->transfers == 1 ? " transfer\n" : " transfers\n");
        else
            std::cout << "no schema nlx yet: the first sync (or nlx team init) creates it\n";
        exit_code = 0;
    });
}

void register_team_init(CLI::App& team, int& exit_code) {
    auto server = std::make_shared<std::string>();
    auto* cmd = team.add_subcommand("init", "Create the team database's tables (schema nlx), as its owner; "
                                            "then grant the stations' roles their rights (see README)");
    auto* option = cmd->add_option("--server", *server, "The team database (default: the server of team.cfg)");
    cmd->callback([server, option, &exit_code] {
        auto state = team::init_store(server_or_kept(*server, option));
        if (!state) throw Failure(state.message());
        std::cout << "schema nlx version " << state->version << " is in place\n";
        exit_code = 0;
    });
}

void register_team_settings(CLI::App& team, int& exit_code) {
    struct Options {
        std::string server, station;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = team.add_subcommand("settings", "Show or change the station name and the team database kept in team.cfg "
                                                "(设置 → 团队数据库)");
    auto* server = cmd->add_option("--server", opt->server,
                                   "The team database to keep: a connection string or URL without a password");
    auto* station = cmd->add_option("--station", opt->station, "The station name to keep");
    cmd->callback([opt, server, station, &exit_code] {
        const auto file = team::team_settings_path(application_folder());
        auto settings = kept_settings();
        if (server->count() || station->count()) {
            if (server->count()) settings.server = opt->server;
            if (station->count()) settings.station = opt->station;
            if (auto saved = team::save_team_settings(file, settings); !saved) throw Failure(saved.message());
            settings.station_kept = true;
        }
        std::cout << "station: " << settings.station << (settings.station_kept ? "" : " (this computer's host name)")
                  << "\nserver: "
                  << (settings.server.empty()            ? std::string("(none)")
                      : team::pg::has_password(settings.server) ? team::pg::describe_address(settings.server) +
                                                                      " (the file holds a password: move it to ~/.pgpass)"
                                                                : settings.server)
                  << "\nfile: " << file.string() << "\n";
        exit_code = 0;
    });
}

}  // namespace

void register_team(CLI::App& app, int& exit_code) {
    auto* team = app.add_subcommand("team", "The team database on PostgreSQL: its transfers, a connection test, "
                                            "creating its tables, this station's settings");
    team->require_subcommand(1);
    register_team_transfers(*team, exit_code);
    register_team_check(*team, exit_code);
    register_team_init(*team, exit_code);
    register_team_settings(*team, exit_code);
}

}  // namespace nlx::cli
