// Opening the record database for the record commands; refusals name the file.
#include "cli/open_database.h"

#include "cli/commands.h"
#include "core/app_folder.h"
#include "core/atomic_file.h"
#include "core/texts.h"

namespace nlx::cli {
namespace fs = std::filesystem;

namespace {

fs::path resolve(const std::string& db) { return db.empty() ? database_path(application_folder()) : fs::path(db); }

[[noreturn]] void refuse(const fs::path& file, const std::string& message) {
    if (message == nlx::tr(texts::kOpenFailed)) throw Failure(message + " (" + file.string() + "; nothing was changed)");
    if (message.find("nothing was changed") != std::string::npos) throw Failure(message);
    throw Failure(message + "; nothing was changed");
}

// Temporaries in the storage folder left by a process killed before its commit go, once the
// database has put in place those its records name (the open completes listed renames).
void tidy_storage_folder(const Database& db) {
    if (!db.pending_files_after_open()) remove_stale_temporaries(storage_folder(application_folder()));
}

}  // namespace

Database open_for_reading(const std::string& db) {
    fs::path file = resolve(db);
    // A command uses its database from one thread.
    auto opened = Database::open_read_only(file, Database::Threads::one_at_a_time);
    if (!opened) refuse(file, opened.message());
    tidy_storage_folder(*opened);
    return std::move(*opened);
}

Database open_for_writing(const std::string& db, StorageFolder folder) {
    fs::path file = resolve(db);
    // The default file's folder is made along with the file, when something is first stored.
    auto opened = Database::create_or_open(file, db.empty(), Database::Threads::one_at_a_time);
    if (!opened) refuse(file, opened.message());
    if (folder == StorageFolder::tidied) tidy_storage_folder(*opened);
    return std::move(*opened);
}

}  // namespace nlx::cli
