// The --model and --db options, with the model letters taken from the model table.
#include "cli/options.h"

#include <CLI/CLI.hpp>

namespace nlx::cli {

CLI::Option* add_model_option(CLI::App& cmd, std::string& model, bool required) {
    return cmd.add_option("--model", model, std::string(kModelDescription))
        ->required(required)
        ->check(CLI::IsMember(model_letters()));
}

CLI::Option* add_database_option(CLI::App& cmd, std::string& db) {
    return cmd.add_option("--db", db, std::string(kDatabaseDescription));
}

}  // namespace nlx::cli
