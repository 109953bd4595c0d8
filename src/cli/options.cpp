// The --model and --db options, with the model letters taken from the model table.
#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <vector>

#include "cli/commands.h"
#include "core/models.h"

namespace nlx::cli {

CLI::Option* add_model_option(CLI::App& cmd, std::string& model, bool required) {
    std::vector<std::string> letters;
    for (const auto& m : all_models()) letters.emplace_back(1, m.letter);
    return cmd.add_option("--model", model, "Instrument model letter")->required(required)->check(CLI::IsMember(letters));
}

const ModelInfo& chosen_model(const std::string& letter) {
    if (const ModelInfo* model = find_model(letter)) return *model;
    throw Failure("there is no model " + letter + "; the models are a to e");
}

CLI::Option* add_database_option(CLI::App& cmd, std::string& db) {
    return cmd.add_option("--db", db, "Record database file (default: noise.db in the application folder)");
}

}  // namespace nlx::cli
