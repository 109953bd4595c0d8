// nlx: download and analysis of sound-level and vibration statistical analysers, from the shell.
// The commands that only read and write files run here without loading Qt, so a script listing
// records starts as fast as the sqlite3 shell; the rest (serial port, painting, the full help)
// are handed to nlx-qt, which keeps the process, its arguments and its exit code.
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/language_option.h"
#include "core/app_folder.h"

namespace {

int hand_over_to_qt_commands(char** argv) {
    const auto folder = nlx::executable_folder();
    std::string tried;
    for (const auto& candidate : folder.empty() ? std::vector<std::filesystem::path>()
                                                : nlx::qt_commands_candidates(folder)) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            ::execv(candidate.c_str(), argv);
            std::cerr << "nlx: cannot run " << candidate.string() << ": " << std::strerror(errno) << "\n";
            return 1;
        }
        tried += (tried.empty() ? "" : ", ") + candidate.string();
    }
    std::cerr << "nlx: the commands that use the serial port or paint are in nlx-qt, which is missing ("
              << (tried.empty() ? std::string("the program's folder is unknown") : "looked for " + tried)
              << ")\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (int refused = nlx::cli::start_language(argc, argv)) return refused;
    CLI::App app{nlx::cli::kProgramDescription};
    app.require_subcommand(1);
    int exit_code = 0;
    // Only the command run is registered: setting up all of them is a fixed cost of every
    // command, as large as reading a small table.
    bool plain = argc >= 2 && nlx::cli::register_plain_command(app, argv[1], exit_code);
    // A command that also writes a PDF (nlx assess --pdf) paints, which nlx-qt does.
    for (int i = 2; plain && i < argc; ++i)
        if (std::string_view(argv[i]) == "--pdf" || std::string_view(argv[i]).starts_with("--pdf=")) plain = false;
    if (!plain) return hand_over_to_qt_commands(argv);
    return nlx::cli::run_commands(app, argc, argv, exit_code);
}
