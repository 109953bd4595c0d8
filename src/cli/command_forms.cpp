// The values the options of nlx import and nlx records allow.
#include "cli/command_forms.h"

#include "cli/commands.h"
#include "core/models.h"

namespace nlx::cli {

std::vector<std::string> model_letters() {
    std::vector<std::string> letters;
    for (const auto& m : all_models()) letters.emplace_back(1, m.letter);
    return letters;
}

const ModelInfo& chosen_model(const std::string& letter) {
    if (const ModelInfo* model = find_model(letter)) return *model;
    throw Failure("there is no model " + letter + "; the models are a to e");
}

std::vector<std::string> record_tables() { return {"records", "distribution"}; }
std::vector<std::string> record_formats() { return {"text", "csv", "json"}; }

}  // namespace nlx::cli
