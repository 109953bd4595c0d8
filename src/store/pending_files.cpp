// Staging, listing and completing the renames of history files around the records' commit.
#include "store/pending_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <unordered_set>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <system_error>

#include "core/atomic_file.h"
#include "core/read_file.h"

namespace nlx {
namespace fs = std::filesystem;

namespace {

const std::string kTable = sql::quote_identifier(kPendingFilesTable);

// The temporaries this process renamed into place and flushed whose entries are still listed.
std::mutex placed_mutex;
std::unordered_set<std::string> placed_here;

// Whether anything stands at `path`, a link included.
bool stands(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// Adds `folder` to `folders` unless it is there already.
void note_folder(std::vector<fs::path>& folders, const fs::path& folder) {
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
}

// Removes the entries `done` from the list, inside the caller's transaction. `whole_list` says
// they are every entry, read inside that same transaction, so that one statement empties it.
Result<void> remove_entries(sql::Connection& db, const std::vector<long long>& done, bool whole_list) {
    if (done.empty()) return {};
    if (whole_list) return db.exec("DELETE FROM " + kTable);
    auto del = sql::Statement::prepare(db, "DELETE FROM " + kTable + " WHERE rowid = ?1");
    if (!del) return del.error();
    for (long long id : done) {
        del->reset();
        del->bind_int(1, id);
        if (auto r = del->run(); !r) return r;
    }
    return {};
}

bool table_exists(sql::Connection& db) {
    auto stmt = sql::Statement::prepare(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
    if (!stmt) return false;
    stmt->bind_text(1, kPendingFilesTable);
    auto row = stmt->step();
    return row && *row;
}

}  // namespace

std::string pending_files_create_sql() {
    return "CREATE TABLE IF NOT EXISTS " + kTable + " (temporary TEXT NOT NULL, final TEXT NOT NULL)";
}

std::vector<std::string> pending_files_columns() { return {"temporary", "final"}; }

FolderFiles::FolderFiles(fs::path folder) : folder_(std::move(folder)) {}

FolderFiles::~FolderFiles() {
    if (fd_ >= 0) ::close(fd_);
}

int FolderFiles::folder_fd() {
    if (!opened_) {
        opened_ = true;
        fd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    return fd_;
}

void FolderFiles::list() {
    if (listed_) return;
    listed_ = true;
    const int dir = folder_fd();
    if (dir < 0) return;
    // The entries are read straight from the open folder, into a buffer on the stack: a
    // storage folder's hundred names take one call and a second to see the end.
    alignas(dirent64) char buffer[8192];
    std::unordered_map<std::string, unsigned char> names;
    for (;;) {
        const ssize_t got = ::getdents64(dir, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return;  // no listing: every name is asked for its kind
        if (got == 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            names.emplace(entry->d_name, entry->d_type);
            at += entry->d_reclen;
        }
    }
    listing_ = std::move(names);
}

std::optional<unsigned char> FolderFiles::listed_kind(const std::string& name) {
    list();
    if (!listing_) return DT_UNKNOWN;
    const auto found = listing_->find(name);
    if (found == listing_->end()) return std::nullopt;
    return found->second;
}

void FolderFiles::remove_stale_temporaries() {
    list();
    if (!listing_) {
        nlx::remove_stale_temporaries(folder_);
        return;
    }
    for (auto it = listing_->begin(); it != listing_->end();) {
        if (stale_temporary(it->first) && ::unlinkat(fd_, it->first.c_str(), 0) == 0) it = listing_->erase(it);
        else ++it;
    }
}

bool FolderFiles::holds(const std::string& name, std::string_view bytes) {
    // What is not a regular file is never opened (opening a device alone can change its lines):
    // the listing tells the kind of most; where it cannot, the kind and size are asked first.
    // The open file's own kind and size are checked again before its bytes are compared.
    const auto kind = listed_kind(name);
    if (!kind) return false;
    const int dir = folder_fd();
    // Without the open folder there is no listing: the whole path's kind and size are asked.
    if (dir < 0) return file_holds(folder_ / name, bytes, scratch_);
    if (*kind != DT_REG) {
        struct stat st {};
        if (*kind != DT_UNKNOWN || ::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || std::uintmax_t(st.st_size) != bytes.size())
            return false;
    }
    return file_holds_at(dir, name.c_str(), bytes, scratch_);
}

bool FolderFiles::stands(const std::string& name, struct stat& st) {
    const int dir = folder_fd();
    return dir >= 0 ? ::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
                    : ::lstat((folder_ / name).c_str(), &st) == 0;
}

Result<std::vector<PendingFile>> stage_history_files(const fs::path& folder, std::span<const HistoryFile> files) {
    std::vector<PendingFile> staged;
    if (files.empty()) return staged;
    staged.reserve(files.size());
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec))
        return fail("the storage folder " + folder.string() + " cannot be made" +
                    (fs::exists(fs::symlink_status(folder, ec)) ? " (something else stands in its place)" : ""));
    const fs::path absolute = fs::absolute(folder, ec);
    FolderFiles present_files(folder);
    for (const auto& file : files) {
        const fs::path final = (ec ? folder : absolute) / file.name;
        struct stat st {};
        const bool present = present_files.stands(file.name, st);
        if (present && !S_ISREG(st.st_mode)) {
            discard_staged(staged);
            return fail("cannot write the history file " + final.string() +
                        ": something other than a file stands in its place");
        }
        auto tmp = write_temporary(final, file.content, Flush::later);
        if (!tmp) {
            discard_staged(staged);
            return fail("cannot write the history file " + final.string() + ": " + tmp.message());
        }
        staged.push_back({*tmp, final});
    }
    // The temporaries reach the disk before the records that name them are committed.
    if (staged.empty()) return staged;
    std::vector<fs::path> temporaries;
    temporaries.reserve(staged.size());
    for (const auto& p : staged) temporaries.push_back(p.temporary);
    if (auto flushed = flush_to_disk(ec ? folder : absolute, temporaries); !flushed) {
        discard_staged(staged);
        return fail("cannot write the history files: " + flushed.message());
    }
    return staged;
}

void discard_staged(std::span<const PendingFile> staged) {
    std::error_code ec;
    for (const auto& p : staged) fs::remove(p.temporary, ec);
}

Result<void> record_pending(sql::Connection& db, std::span<const PendingFile> staged) {
    // The renames of earlier changes that are done leave the list in this transaction, once they
    // are on disk: those this process did were flushed then; another's folder is flushed now.
    std::vector<long long> done;
    std::size_t listed = 0;
    std::vector<fs::path> unflushed;
    {
        auto select = sql::Statement::prepare(db, "SELECT rowid, temporary, final FROM " + kTable);
        if (!select) return select.error();
        std::lock_guard lock(placed_mutex);
        for (;;) {
            auto row = select->step();
            if (!row) return row.error();
            if (!*row) break;
            ++listed;
            const std::string tmp = select->column_text(1);
            const bool here = placed_here.erase(tmp) > 0;
            if (!here && stands(tmp)) continue;
            done.push_back(select->column_int(0));
            if (!here) note_folder(unflushed, fs::path(select->column_text(2)).parent_path());
        }
    }
    for (const auto& folder : unflushed) flush_folder(folder);
    if (auto r = remove_entries(db, done, done.size() == listed); !r) return r;
    if (staged.empty()) return {};
    auto insert = sql::Statement::prepare(db, "INSERT INTO " + kTable + " (temporary, final) VALUES (?1, ?2)");
    if (!insert) return insert.error();
    for (const auto& p : staged) {
        insert->reset();
        insert->bind_text(1, p.temporary.string());
        insert->bind_text(2, p.final.string());
        if (auto r = insert->run(); !r) return r;
    }
    return {};
}

bool has_pending_files(sql::Connection& db) {
    // A file without the list cannot prepare the query: it has nothing pending, as a list that
    // cannot be read has not.
    auto stmt = sql::Statement::prepare(db, "SELECT temporary FROM " + kTable);
    if (!stmt) return false;
    std::lock_guard lock(placed_mutex);
    for (;;) {
        auto row = stmt->step();
        if (!row || !*row) return false;
        const std::string tmp = stmt->column_text(0);
        if (!placed_here.contains(tmp) && stands(tmp)) return true;
    }
}

Result<void> complete_pending_files(sql::Connection& db) {
    if (!table_exists(db)) return {};
    struct Listed {
        long long id;
        fs::path temporary, final;
    };
    std::vector<Listed> listed;
    {
        auto select = sql::Statement::prepare(db, "SELECT rowid, temporary, final FROM " + kTable + " ORDER BY rowid");
        if (!select) return select.error();
        for (;;) {
            auto row = select->step();
            if (!row) return row.error();
            if (!*row) break;
            listed.push_back({select->column_int(0), select->column_text(1), select->column_text(2)});
        }
    }  // the reading statement ends before the list is changed
    // Only the newest listed file of a name is put in place: an older one still listed (its
    // rename failed before) must not land over it later.
    std::map<fs::path, long long> newest;
    for (const auto& l : listed) newest[l.final] = l.id;
    std::vector<long long> done;
    std::vector<fs::path> folders;
    std::string failures;
    for (const auto& l : listed) {
        if (!stands(l.temporary)) {
            done.push_back(l.id);  // renamed already, or before a crash
            std::lock_guard lock(placed_mutex);
            placed_here.erase(l.temporary.string());
            continue;
        }
        if (newest[l.final] != l.id) {
            std::error_code ec;
            fs::remove(l.temporary, ec);
            done.push_back(l.id);  // a leftover is a stale temporary, never renamed
            continue;
        }
        if (auto placed = rename_into_place(l.temporary, l.final, Flush::later); !placed) {
            failures += (failures.empty() ? "" : "; ") + placed.message();
            continue;
        }
        note_folder(folders, l.final.parent_path());
        done.push_back(l.id);
    }
    // The renames reach the disk before they leave the list: a temporary whose rename was lost
    // must still be listed, or it would be taken for a killed writer's and removed.
    for (const auto& folder : folders) flush_folder(folder);
    auto tx = sql::Transaction::begin(db);
    if (!tx) return tx.error();
    // The list was read before this transaction, and another process may have added to it since.
    if (auto r = remove_entries(db, done, false); !r) return r;
    if (auto r = tx->commit(); !r) return r;
    if (!failures.empty()) return fail(failures);
    return {};
}

Result<void> place_staged(std::span<const PendingFile> staged) {
    std::vector<fs::path> folders;
    std::vector<std::string> renamed;
    std::string failures;
    for (const auto& p : staged) {
        if (auto placed = rename_into_place(p.temporary, p.final, Flush::later); !placed) {
            failures += (failures.empty() ? "" : "; ") + placed.message();
            continue;
        }
        renamed.push_back(p.temporary.string());
        note_folder(folders, p.final.parent_path());
    }
    for (const auto& folder : folders) flush_folder(folder);
    {
        std::lock_guard lock(placed_mutex);
        for (auto& t : renamed) placed_here.insert(std::move(t));
    }
    if (!failures.empty()) return fail(failures);
    return {};
}

}  // namespace nlx
