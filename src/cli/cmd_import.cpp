// nlx import: stores a capture file as a download would have stored it.
#include "cli/form_options.h"

#include "cli/commands.h"
#include "cli/import_run.h"

namespace nlx::cli {

void register_import(CLI::App& app, int& exit_code) {
    auto* cmd = app.add_subcommand("import", "Decode a capture file and replace the model's records with it");
    auto request = std::make_shared<ImportRequest>();
    add_form_options<ImportRequest>(*cmd, kImportForm, *request);
    cmd->callback([request, &exit_code] {
        if (!import_request_complete(*request)) throw CLI::RequiredError("--model (with --raw)");
        run_import(*request);
        exit_code = 0;
    });
}

}  // namespace nlx::cli
