// nlx: download and analysis of sound-level and vibration statistical analysers, from the shell.
// The commands that only read and write files run here without loading Qt, so a script listing
// records starts as fast as the sqlite3 shell; the rest (serial port, painting, the full help)
// are handed to nlx-qt, which keeps the process, its arguments and its exit code.
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
    // nlx-qt chooses the language again for the command lines nlx hands it.
    if (int refused = nlx::cli::start_language(argc, argv, nlx::cli::LanguageStart::on_first_text)) return refused;
    if (auto code = nlx::cli::run_plain_command_line(argc, argv)) return *code;
    return hand_over_to_qt_commands(argv);
}
