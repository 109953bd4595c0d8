// The commands nlx runs itself, and the parsing shared with nlx-qt.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"

namespace nlx::cli {

void register_plain_commands(CLI::App& app, int& exit_code) {
    register_version(app, exit_code);
    register_settings(app, exit_code);
    register_records(app, exit_code);
    register_add_record(app, exit_code);
    register_save_as(app, exit_code);
    register_simulate(app, exit_code);
    register_import(app, exit_code);
    register_export(app, exit_code);
    register_transfers(app, exit_code);
    register_restore(app, exit_code);
    register_verify(app, exit_code);
    register_recordings(app, exit_code);
    register_recording(app, exit_code);
    register_assess(app, exit_code);
    register_sync(app, exit_code);
    register_team(app, exit_code);
}

int run_commands(CLI::App& app, int argc, char** argv, const int& exit_code) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    } catch (const Failure& e) {
        std::cerr << "nlx: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "nlx: " << e.what() << "\n";
        return 1;
    }
    return exit_code;
}

}  // namespace nlx::cli
