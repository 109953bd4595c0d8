// The storing half of a download or import: capture file, decode, one-transaction replace with
// the history files staged beside their names and put in place once the records are committed.
#include "transfer/transfer.h"

#include <ctime>
#include <system_error>

#include "core/atomic_file.h"
#include "core/pause_point.h"
#include "core/read_file.h"
#include "core/sha256.h"
#include "core/texts.h"
#include "decode/decoder.h"
#include "store/database.h"

namespace nlx {
namespace fs = std::filesystem;

namespace {

Result<void> ensure_folder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder))
        return fail("cannot create the storage folder " + folder.string() +
                    (ec ? ": " + ec.message() : std::string()));
    return {};
}

// Whether every history file a committed store wrote lies in the storage folder with its new
// bytes, whoever put it there: another process that opened the database in the meantime
// completes the listed renames itself. (Those it left held their bytes already.)
bool all_in_place(const fs::path& storage_folder, const std::vector<HistoryFile>& files) {
    std::string scratch;
    for (const auto& f : files)
        if (!file_holds(storage_folder / f.name, f.content, scratch)) return false;
    return true;
}

std::string stamp(std::chrono::system_clock::time_point when, const char* format) {
    std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, format, &tm);
    return buf;
}

}  // namespace

Result<fs::path> save_capture(const fs::path& storage_folder, const ModelInfo& model, const Capture& capture,
                              const CaptureOrigin& origin, std::chrono::system_clock::time_point when) {
    if (auto ok = ensure_folder(storage_folder); !ok) return ok.error();
    std::string base = "capture-" + std::string(1, model.letter) + "-" + stamp(when, "%Y%m%d-%H%M%S");
    fs::path file = storage_folder / (base + ".cap");
    for (int k = 2; fs::exists(file); ++k) file = storage_folder / (base + "-" + std::to_string(k) + ".cap");
    CaptureOrigin stamped = origin;
    if (stamped.time.empty()) stamped.time = stamp(when, "%Y-%m-%d %H:%M:%S");
    auto bytes = capture_file_bytes(model, stamped, capture);
    auto written = write_file_atomically(
        file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!written) return written.error();
    return file;
}

std::string logged_capture_name(const fs::path& storage_folder, const fs::path& file) {
    std::error_code ec;
    const fs::path folder = fs::weakly_canonical(storage_folder, ec);
    const fs::path full = fs::weakly_canonical(file, ec);
    if (!ec && full.parent_path() == folder) return full.filename().string();
    return (ec ? fs::absolute(file) : full).string();
}

fs::path logged_capture_path(const fs::path& storage_folder, const std::string& name) {
    const fs::path p(name);
    return p.is_absolute() ? p : storage_folder / p;
}

Result<std::string> file_sha256(const fs::path& file) {
    // Any regular file up to a terabyte: the digest is of whatever lies there.
    auto bytes = read_regular_file(file, std::size_t(1) << 40);
    if (!bytes) return fail("cannot read " + file.string());
    return sha256_hex(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
}

std::string local_time_text(std::chrono::system_clock::time_point when) { return stamp(when, "%Y-%m-%d %H:%M:%S"); }

Result<TransferSummary> store_transfer(Database& db, const fs::path& storage_folder, const ModelInfo& model,
                                       const Capture& capture, std::optional<TransferEntry> logged,
                                       EmptyTransfer empty) {
    TransferSummary summary;
    summary.model = model.letter;
    summary.n = transfer_count(model, capture.b1, capture.b2);
    summary.announced_bytes = announced_bytes(model, summary.n);
    summary.received_bytes = capture.data.size();
    if (summary.n <= 0) return fail(std::string(nlx::tr(texts::kNoData)));

    // A store that fails takes away the storage folder it made (with the folders above it).
    const auto made = missing_folders(storage_folder);
    // A file may be left as it stands only when no earlier rename is still listed: a listed
    // rename, completed after this commit, would put an older file over it. Those this
    // connection knows of are completed first (that succeeds only when none is left). Whether
    // another listed one is asked inside the transaction, where no other writer can list one
    // until this one commits; the folder is read and swept only then.
    const bool left_listed = model.history_files && db.may_have_pending_files() && !db.complete_pending_files();
    bool settled = !model.history_files;
    std::optional<FolderFiles> present;
    auto read_folder = [&] {
        if (!model.history_files) return;
        settled = !left_listed && !db.has_pending_files();
        present.emplace(storage_folder);
        // With no rename listed, the temporaries of writers killed before their commit go,
        // from the same reading of the folder as the comparisons below.
        if (settled) present->remove_stale_temporaries();
    };

    // The groups are written as they are decoded, in the one transaction of the replace. The
    // history files are compared with the files of their names a few at a time, rather than one
    // between every two groups' rows, so that the file reads and the row writes each run with
    // their own data at hand. Only the bytes of those that differ are kept, to be staged once
    // the last group is written.
    constexpr std::size_t kCompareRun = 8;
    std::vector<std::string> names;
    std::vector<HistoryFile> files, uncompared;
    uncompared.reserve(kCompareRun);
    auto compare = [&] {
        for (auto& file : uncompared)
            if (!present->holds(file.name, file.content)) files.push_back(std::move(file));
        uncompared.clear();
    };
    std::size_t distribution_rows = 0;
    DecodeResult decoded;
    Result<std::vector<PendingFile>> staged = std::vector<PendingFile>();
    auto fill_entry = [&] {
        logged->model = model.letter;
        logged->announced = summary.announced_bytes;
        logged->received = summary.received_bytes;
        logged->complete = !summary.short_transfer();
        logged->record_rows = summary.record_rows;
        logged->distribution_rows = distribution_rows;
    };
    auto feed = [&](const std::function<bool(const DecodedGroup&)>& store) {
        read_folder();
        decoded = decode(model, capture.data, summary.n, [&](DecodedGroup& group) {
            ++summary.record_rows;
            if (group.distribution) ++distribution_rows;
            if (!store(group)) return false;
            // The row names the file; only staging needs its bytes.
            if (group.history) {
                names.push_back(group.history->name);
                if (!settled) {
                    files.push_back(std::move(*group.history));
                } else {
                    uncompared.push_back(std::move(*group.history));
                    if (uncompared.size() == kCompareRun) compare();
                }
            }
            return true;
        });
    };
    // History files are written beside their names before the records are committed: one that
    // cannot be written fails the transfer, and the tables stay as they were. Without a whole
    // group there is nothing to put in the records' place: the replace is abandoned.
    constexpr std::string_view kNoGroup = "no whole group arrived";
    auto stage = [&]() -> Result<std::span<const PendingFile>> {
        if (summary.record_rows == 0) return fail(std::string(kNoGroup));
        compare();
        if (logged) fill_entry();
        staged = stage_history_files(storage_folder, files);
        if (!staged) return staged.error();
        return std::span<const PendingFile>(*staged);
    };
    // What the records replaced were matters only after a short transfer: its summary says
    // where they can be brought back from. Counting them costs two queries of the store.
    Database::Replaced replaced;
    auto stored = db.replace_model_streamed(model, feed, stage, logged ? &*logged : nullptr,
                                            summary.short_transfer() ? &replaced : nullptr);
    summary.notes = decoded.notes;
    if (!stored && summary.record_rows == 0) {
        // Nothing replaced: the transfer is logged alone, or refused.
        summary.distribution_rows = 0;
        if (empty == EmptyTransfer::refused || !logged) {
            std::string why(kNoGroup);
            for (const auto& note : decoded.notes) why += "; " + decode_note_text(note);
            return fail(why + "; nothing was replaced, the records are unchanged");
        }
        fill_entry();
        if (auto ok = db.log_transfer(*logged); !ok) return fail(ok.message() + "; the records are unchanged");
        summary.replaced = false;
        summary.transfer_id = logged->id;
        return summary;
    }
    if (!stored) {
        if (staged) discard_staged(*staged);
        remove_empty_folders(made);
        return fail(stored.message() + "; the records are unchanged");
    }
    summary.distribution_rows = distribution_rows;
    summary.files = std::move(names);
    if (logged) summary.transfer_id = logged->id;
    summary.replaced_groups = replaced.groups;
    summary.previous_transfer = replaced.transfer;
    // The records are committed with the list of renames; one that fails now is done by the
    // next open of the database, or before the next store. While an earlier rename is still
    // listed, the whole list is completed, so that only the newest file of a name lands.
    pause_point("history-files");
    if (auto placed = settled ? place_staged(*staged) : db.complete_pending_files();
        !placed && !all_in_place(storage_folder, files))
        return fail(summary.line() + ", but history files could not be put in place yet: " + placed.message() +
                    "; they are put in place when the database is next opened");
    return summary;
}

Result<TransferSummary> keep_and_store_transfer(Database& db, const fs::path& storage_folder, const ModelInfo& model,
                                                const Capture& capture, const CaptureOrigin& origin,
                                                std::chrono::system_clock::time_point when) {
    auto kept = save_capture(storage_folder, model, capture, origin, when);
    if (!kept) return kept.error();
    // The digest of the file as it lies on disk: the log vouches for what was kept.
    auto digest = file_sha256(*kept);
    if (!digest) return fail(digest.message() + "; the records are unchanged (capture kept in " + kept->string() + ")");
    TransferEntry entry;
    entry.time = local_time_text(when);
    entry.port = origin.port;
    entry.baud = origin.baud;
    entry.capture_file = logged_capture_name(storage_folder, *kept);
    entry.sha256 = *digest;
    entry.source = "download";
    auto stored = store_transfer(db, storage_folder, model, capture, std::move(entry), EmptyTransfer::logged);
    if (!stored) return fail(stored.message() + " (capture kept in " + kept->string() + ")");
    stored->capture_file = *kept;
    return stored;
}

Result<TransferSummary> import_capture(Database& db, const fs::path& storage_folder, const fs::path& path,
                                       const CaptureFile& file, bool partial) {
    if (transfer_count(*file.model, file.capture.b1, file.capture.b2) <= 0) return fail(std::string(nlx::tr(texts::kNoData)));
    if (!file.complete() && !partial)
        return fail("the capture is short: " + std::to_string(file.received) + " of " +
                    std::to_string(file.announced) +
                    " bytes arrived; the records are unchanged (--partial stores its whole groups, as a "
                    "broken download does)");
    // The digest of the bytes that were checked, when the file was read for that.
    auto digest = file.file_sha256.empty() ? file_sha256(path) : Result<std::string>(file.file_sha256);
    if (!digest) return fail(digest.message() + "; the records are unchanged");
    TransferEntry entry;
    entry.time = local_time_text(std::chrono::system_clock::now());
    entry.port = file.origin.port;
    entry.baud = file.origin.baud;
    entry.capture_file = logged_capture_name(storage_folder, path);
    entry.sha256 = *digest;
    entry.source = "import";
    auto stored = store_transfer(db, storage_folder, *file.model, file.capture, std::move(entry));
    if (stored) stored->capture_file = path;
    return stored;
}

}  // namespace nlx
