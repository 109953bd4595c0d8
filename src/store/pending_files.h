// History files that the records name are put in place through a list kept in the database: they
// are written as temporaries first, the list is committed with the records, and the renames are
// completed after the commit, or by the next open after a crash. Records and storage folder
// therefore always agree. A listed rename is still to do exactly while its temporary exists
// (temporary names are never taken twice); entries whose renames are done are removed by the
// next change that lists new ones, so putting files in place costs no commit of its own.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#include <sys/stat.h>

#include "core/result.h"
#include "core/rows.h"
#include "store/sqlite.h"

namespace nlx {

// The list of renames (done ones until the next change); ignored by everything that shows or
// exports tables.
inline constexpr std::string_view kPendingFilesTable = "_nlx_pending_files";

// The list's CREATE TABLE IF NOT EXISTS text, and its columns in table order.
std::string pending_files_create_sql();
std::vector<std::string> pending_files_columns();

struct PendingFile {
    std::filesystem::path temporary, final;
};

// The files already in a storage folder, looked at through the folder opened once (at the first
// look): one path step each, not the whole path. A download of the same memory looks at a
// hundred files and writes none.
class FolderFiles {
public:
    explicit FolderFiles(std::filesystem::path folder);
    ~FolderFiles();
    FolderFiles(const FolderFiles&) = delete;
    FolderFiles& operator=(const FolderFiles&) = delete;

    // Whether `name` in the folder is a regular file holding exactly `bytes`; false when the
    // folder or the file is missing, or when anything else stands there. The folder's names and
    // kinds are read once, at the first question: a file made after that counts as missing (it
    // is written again, which is always safe).
    bool holds(const std::string& name, std::string_view bytes);

    // Whether anything stands at `name` in the folder (a link is not followed), and what.
    bool stands(const std::string& name, struct stat& st);

    // Removes the temporaries in the folder whose writing process no longer runs, as
    // remove_stale_temporaries does, through the same listing the questions use: the folder
    // is read once for both.
    void remove_stale_temporaries();

private:
    int folder_fd();
    void list();
    // The kind the folder's listing gives `name` (DT_REG, DT_UNKNOWN where the file system gives
    // none, ...); nullopt when it is not listed. Without a listing every name is DT_UNKNOWN.
    std::optional<unsigned char> listed_kind(const std::string& name);

    std::filesystem::path folder_;
    int fd_ = -1;
    bool opened_ = false;
    bool listed_ = false;
    std::optional<std::unordered_map<std::string, unsigned char>> listing_;
    std::string scratch_;
};

// Writes each history file to a temporary beside its name in `folder` (created when missing).
// Fails, leaving nothing behind, when the folder cannot be made or written, or when something
// other than a regular file stands where a file goes. (A caller that leaves files already
// holding their bytes compares them first, with FolderFiles.)
Result<std::vector<PendingFile>> stage_history_files(const std::filesystem::path& folder,
                                                     std::span<const HistoryFile> files);

// Removes staged temporaries whose records were not committed.
void discard_staged(std::span<const PendingFile> staged);

// Inside a change of the database, which has made the list's table: removes the entries whose
// renames are done and adds the new renames to the list.
Result<void> record_pending(sql::Connection& db, std::span<const PendingFile> staged);

// Whether the list holds renames still to do (their temporaries exist).
bool has_pending_files(sql::Connection& db);

// Performs the listed renames still to do and empties the list. Of several listed files of one
// name only the newest is put in place; the older temporaries are removed. A rename that fails
// stays listed for the next open.
Result<void> complete_pending_files(sql::Connection& db);

// Renames the temporaries of a change just committed into place and flushes their folders. Their
// entries stay listed until the next change; one that fails is done by the next open.
Result<void> place_staged(std::span<const PendingFile> staged);

}  // namespace nlx
