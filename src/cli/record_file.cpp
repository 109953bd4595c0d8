// --db / --model handling and opening of the record database for the record commands.
#include "cli/record_file.h"

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "core/app_folder.h"
#include "core/models.h"
#include "store/messages.h"

namespace nlx::cli {
namespace fs = std::filesystem;

namespace {

fs::path resolve(const std::string& db) { return db.empty() ? database_path(application_folder()) : fs::path(db); }

[[noreturn]] void refuse(const fs::path& file, const std::string& message) {
    if (message == messages::kOpenFailed) throw Failure(message + " (" + file.string() + ")");
    throw Failure(message);
}

}  // namespace

CLI::Option* add_model_option(CLI::App& cmd, std::string& model) {
    std::vector<std::string> letters;
    for (const auto& m : all_models()) letters.emplace_back(1, m.letter);
    return cmd.add_option("--model", model, "Instrument model letter")->required()->check(CLI::IsMember(letters));
}

CLI::Option* add_database_option(CLI::App& cmd, std::string& db) {
    return cmd.add_option("--db", db, "Record database file (default: noise.db in the application folder)");
}

Database open_for_reading(const std::string& db) {
    fs::path file = resolve(db);
    auto opened = Database::open_existing(file);
    if (!opened) refuse(file, opened.message());
    return std::move(*opened);
}

Database open_for_writing(const std::string& db) {
    fs::path file = resolve(db);
    if (db.empty()) {
        std::error_code ec;
        fs::create_directories(file.parent_path(), ec);
    }
    auto opened = Database::create_or_open(file);
    if (!opened) refuse(file, opened.message());
    return std::move(*opened);
}

}  // namespace nlx::cli
