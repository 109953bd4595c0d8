// Opening the record database for the record commands; refusals name the file.
#include "cli/open_database.h"

#include "cli/commands.h"
#include "core/app_folder.h"
#include "core/texts.h"

namespace nlx::cli {
namespace fs = std::filesystem;

namespace {

fs::path resolve(const std::string& db) { return db.empty() ? database_path(application_folder()) : fs::path(db); }

[[noreturn]] void refuse(const fs::path& file, const std::string& message) {
    if (message == texts::kOpenFailed) throw Failure(message + " (" + file.string() + ")");
    throw Failure(message);
}

}  // namespace

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
