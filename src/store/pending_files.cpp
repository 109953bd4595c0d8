// Staging, listing and completing the renames of history files around the records' commit.
#include "store/pending_files.h"

#include <algorithm>
#include <system_error>

#include "core/atomic_file.h"
#include "core/read_file.h"

namespace nlx {
namespace fs = std::filesystem;

namespace {

const std::string kTable = sql::quote_identifier(kPendingFilesTable);

bool table_exists(sql::Connection& db) {
    auto stmt = sql::Statement::prepare(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
    if (!stmt) return false;
    stmt->bind_text(1, kPendingFilesTable);
    auto row = stmt->step();
    return row && *row;
}

}  // namespace

Result<std::vector<PendingFile>> stage_history_files(const fs::path& folder, std::span<const HistoryFile> files,
                                                     SameFiles same) {
    std::vector<PendingFile> staged;
    if (files.empty()) return staged;
    staged.reserve(files.size());
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec))
        return fail("the storage folder " + folder.string() + " cannot be made" +
                    (fs::exists(fs::symlink_status(folder, ec)) ? " (something else stands in its place)" : ""));
    const fs::path absolute = fs::absolute(folder, ec);
    for (const auto& file : files) {
        const fs::path final = (ec ? folder : absolute) / file.name;
        std::error_code st_ec;
        auto status = fs::symlink_status(final, st_ec);
        if (fs::exists(status) && !fs::is_regular_file(status)) {
            discard_staged(staged);
            return fail("cannot write the history file " + final.string() +
                        ": something other than a file stands in its place");
        }
        if (same == SameFiles::left && fs::is_regular_file(status)) {
            auto held = read_regular_file(final, file.content.size());
            if (held && *held == file.content) continue;
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
    if (staged.empty()) return {};
    if (auto r = db.exec("CREATE TABLE IF NOT EXISTS " + kTable + " (temporary TEXT NOT NULL, final TEXT NOT NULL)"); !r)
        return r;
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
    if (!table_exists(db)) return false;
    auto stmt = sql::Statement::prepare(db, "SELECT 1 FROM " + kTable + " LIMIT 1");
    if (!stmt) return false;
    auto row = stmt->step();
    return row && *row;
}

Result<void> complete_pending_files(sql::Connection& db) {
    if (!table_exists(db)) return {};
    std::vector<long long> done;
    std::vector<fs::path> folders;
    std::string failures;
    {
        auto select = sql::Statement::prepare(db, "SELECT rowid, temporary, final FROM " + kTable + " ORDER BY rowid");
        if (!select) return select.error();
        for (;;) {
            auto row = select->step();
            if (!row) return row.error();
            if (!*row) break;
            const fs::path tmp = select->column_text(1), final = select->column_text(2);
            std::error_code ec;
            if (!fs::exists(fs::symlink_status(tmp, ec))) {
                done.push_back(select->column_int(0));  // renamed before a crash
                continue;
            }
            if (auto placed = rename_into_place(tmp, final, Flush::later); !placed) {
                failures += (failures.empty() ? "" : "; ") + placed.message();
                continue;
            }
            if (std::find(folders.begin(), folders.end(), final.parent_path()) == folders.end())
                folders.push_back(final.parent_path());
            done.push_back(select->column_int(0));
        }
    }  // the reading statement ends before the list is changed
    // The renames reach the disk before they leave the list: a temporary whose rename was lost
    // must still be listed, or it would be taken for a killed writer's and removed.
    for (const auto& folder : folders) flush_folder(folder);
    auto tx = sql::Transaction::begin(db);
    if (!tx) return tx.error();
    auto del = sql::Statement::prepare(db, "DELETE FROM " + kTable + " WHERE rowid = ?1");
    if (!del) return del.error();
    for (long long id : done) {
        del->reset();
        del->bind_int(1, id);
        if (auto r = del->run(); !r) return r;
    }
    if (auto r = tx->commit(); !r) return r;
    if (!failures.empty()) return fail(failures);
    return {};
}

}  // namespace nlx
