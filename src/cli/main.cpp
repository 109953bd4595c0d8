// nlx: download and analysis of sound-level and vibration statistical analysers, from the shell.
// The commands a script runs most, import and records, are read and run here from their option
// tables: no parser library and no iostreams start with them, which set up for longer than a
// small import takes to store. Every other command line, and any other form of these two (help,
// a wrong option), goes unchanged to nlx-plain, which parses it in full.
#include <cstdio>
#include <exception>
#include <span>
#include <string_view>

#include "cli/command_forms.h"
#include "cli/commands.h"
#include "cli/hand_over.h"
#include "cli/import_run.h"
#include "cli/language_option.h"
#include "cli/records_run.h"
#include "cli/standard_output.h"
#include "cli/usual_form.h"

namespace {

// Runs a command's work as nlx-plain would: its failure, or output that did not reach standard
// output, is a message and exit code 1.
template <class Work>
int run(Work work) {
    try {
        work();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "nlx: %s\n", e.what());
        return 1;
    }
    if (const auto lost = nlx::cli::flush_standard_output(); !lost.empty()) {
        std::fprintf(stderr, "nlx: %s\n", lost.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace nlx::cli;
    // Takes --lang out of argv, and passes the choice on to nlx-plain.
    if (int refused = start_language(argc, argv, LanguageStart::on_first_text)) return refused;
    const std::string_view command = argc >= 2 ? argv[1] : "";
    if (command == "import") {
        auto request = read_usual_form<ImportRequest>(kImportForm, argc, argv, 2);
        if (request && import_request_complete(*request)) return run([&] { run_import(*request); });
    } else if (command == "records") {
        if (auto request = read_usual_form<RecordsRequest>(kRecordsForm, argc, argv, 2))
            return run([&] { run_records(*request); });
    }
    return hand_over("nlx-plain", "the file commands", argv);
}
