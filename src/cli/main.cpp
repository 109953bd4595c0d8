// nlx: download and analysis of sound-level and vibration statistical analysers, from the shell.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"

int main(int argc, char** argv) {
    CLI::App app{"nlx: download, decode and analyse the measurement groups of the NLX sound-level "
                 "and vibration statistical analysers (models a to e)"};
    app.require_subcommand(1);
    int exit_code = 0;
    nlx::cli::register_version(app, exit_code);
    nlx::cli::register_settings(app, exit_code);
    nlx::cli::register_records(app, exit_code);
    nlx::cli::register_add_record(app, exit_code);
    nlx::cli::register_save_as(app, exit_code);
    nlx::cli::register_ports(app, exit_code);
    nlx::cli::register_simulate(app, exit_code);
    nlx::cli::register_import(app, exit_code);
    nlx::cli::register_download(app, exit_code);
    nlx::cli::register_demo(app, exit_code);
    nlx::cli::register_chart(app, exit_code);
    nlx::cli::register_report(app, exit_code);
    nlx::cli::register_sheet(app, exit_code);
    nlx::cli::register_monitor(app, exit_code);
    nlx::cli::register_tm27(app, exit_code);
    nlx::cli::register_export(app, exit_code);
    nlx::cli::register_transfers(app, exit_code);
    nlx::cli::register_restore(app, exit_code);
    nlx::cli::register_verify(app, exit_code);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    } catch (const nlx::cli::Failure& e) {
        std::cerr << "nlx: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "nlx: " << e.what() << "\n";
        return 1;
    }
    return exit_code;
}
