// nlx version: prints the program's version.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"

#ifndef NLX_VERSION
#define NLX_VERSION "0.1.0"
#endif

namespace nlx::cli {

void register_version(CLI::App& app, int& exit_code) {
    auto* cmd = app.add_subcommand("version", "Print the program version");
    cmd->callback([&exit_code] {
        std::cout << "nlx " << NLX_VERSION << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
