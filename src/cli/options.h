// Options shared by the commands: --model and --db.
#pragma once

#include <string>

#include "cli/command_forms.h"
#include "core/models.h"

namespace CLI {
class App;
class Option;
}

namespace nlx::cli {

// --model X, one of the model letters, required unless `required` is false.
CLI::Option* add_model_option(CLI::App& cmd, std::string& model, bool required = true);
// --db FILE; empty means the application folder's noise.db.
CLI::Option* add_database_option(CLI::App& cmd, std::string& db);

}  // namespace nlx::cli
