// The storing half of a download: capture file, decode, one-transaction replace, history files.
#include "store/transfer.h"

#include <ctime>
#include <system_error>

#include "core/atomic_file.h"
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

std::string stamp(std::chrono::system_clock::time_point when) {
    std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

}  // namespace

Result<fs::path> save_capture(const fs::path& storage_folder, char model, const Capture& capture,
                              std::chrono::system_clock::time_point when) {
    if (auto ok = ensure_folder(storage_folder); !ok) return ok.error();
    std::string base = "capture-" + std::string(1, model) + "-" + stamp(when);
    fs::path file = storage_folder / (base + ".cap");
    for (int k = 2; fs::exists(file); ++k) file = storage_folder / (base + "-" + std::to_string(k) + ".cap");
    auto bytes = capture_bytes(capture);
    auto written = write_file_atomically(
        file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!written) return written.error();
    return file;
}

Result<TransferSummary> store_transfer(Database& db, const fs::path& storage_folder, char model,
                                       const Capture& capture) {
    TransferSummary summary;
    summary.model = model;
    summary.n = transfer_count(model, capture.b1, capture.b2);
    summary.announced_bytes = announced_bytes(model, summary.n);
    summary.received_bytes = capture.data.size();
    if (summary.n <= 0) return fail(std::string(texts::kNoData));

    DecodeResult decoded = decode(model, capture.data, summary.n);
    summary.notes = decoded.notes;

    if (auto ok = db.replace_model(model, decoded.groups); !ok) return ok.error();

    for (const auto& g : decoded.groups) {
        ++summary.record_rows;
        if (g.distribution) ++summary.distribution_rows;
    }

    bool has_files = false;
    for (const auto& g : decoded.groups) has_files = has_files || g.history.has_value();
    if (!has_files) return summary;
    // The rows are committed; a history file that cannot be written is reported with its
    // name, and the others are still written.
    std::string failures;
    if (auto ok = ensure_folder(storage_folder); !ok) {
        failures = ok.message();
    } else {
        for (const auto& g : decoded.groups) {
            if (!g.history) continue;
            auto ok = write_file_atomically(storage_folder / g.history->name, g.history->content);
            if (ok)
                summary.files.push_back(g.history->name);
            else
                failures += (failures.empty() ? "" : "; ") + ok.message();
        }
    }
    if (!failures.empty())
        return fail(summary.line() + ", but history files could not be written: " + failures);
    return summary;
}

}  // namespace nlx

namespace nlx {

Result<TransferSummary> keep_and_store_transfer(Database& db, const fs::path& storage_folder, char model,
                                                const Capture& capture,
                                                std::chrono::system_clock::time_point when) {
    auto kept = save_capture(storage_folder, model, capture, when);
    if (!kept) return kept.error();
    auto stored = store_transfer(db, storage_folder, model, capture);
    if (!stored) return fail(stored.message() + " (capture kept in " + kept->string() + ")");
    stored->capture_file = *kept;
    return stored;
}

}  // namespace nlx
