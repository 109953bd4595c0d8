// nlx-plain: the nlx commands that only read and write files, run without loading Qt; nlx hands
// it every command line it does not read itself. The rest (serial port, painting, the full help)
// go on to nlx-qt, which keeps the process, its arguments and its exit code.
#include "cli/commands.h"
#include "cli/hand_over.h"
#include "cli/language_option.h"

int main(int argc, char** argv) {
    // nlx-qt chooses the language again for the command lines handed to it.
    if (int refused = nlx::cli::start_language(argc, argv, nlx::cli::LanguageStart::on_first_text)) return refused;
    if (auto code = nlx::cli::run_plain_command_line(argc, argv)) return *code;
    return nlx::cli::hand_over("nlx-qt", "the commands that use the serial port or paint", argv);
}
