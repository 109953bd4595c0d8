// nlx-qt: every nlx command, including those that use the serial port or paint; nlx hands it
// the command lines it does not run itself.
#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/language_option.h"

int main(int argc, char** argv) {
    if (int refused = nlx::cli::start_language(argc, argv)) return refused;
    CLI::App app{nlx::cli::kProgramDescription};
    app.require_subcommand(1);
    int exit_code = 0;
    nlx::cli::register_plain_commands(app, exit_code);
    nlx::cli::register_qt_commands(app, exit_code);
    return nlx::cli::run_commands(app, argc, argv, exit_code);
}
