// nlx records: prints a model's record table or distribution table as text, CSV or JSON.
#include "cli/form_options.h"

#include "cli/commands.h"
#include "cli/records_run.h"

namespace nlx::cli {

void register_records(CLI::App& app, int& exit_code) {
    auto* cmd = app.add_subcommand("records", "Print a model's record table or distribution table");
    auto request = std::make_shared<RecordsRequest>();
    add_form_options<RecordsRequest>(*cmd, kRecordsForm, *request);
    cmd->callback([request, &exit_code] {
        run_records(*request);
        exit_code = 0;
    });
}

}  // namespace nlx::cli
