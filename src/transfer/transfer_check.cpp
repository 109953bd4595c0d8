// Restoring a logged transfer from its capture file, and checking capture and rows against the log.
#include "transfer/transfer_check.h"

#include <algorithm>

#include "core/capture.h"
#include "core/models.h"
#include "core/texts.h"
#include "decode/decoder.h"
#include "store/database.h"
#include "transfer/transfer.h"

namespace nlx {
namespace fs = std::filesystem;

namespace {

Result<TransferEntry> find_entry(const Database& db, long long id, char model) {
    auto entries = db.transfers();
    if (!entries) return entries.error();
    // Without an id: the model's current transfer, the newest that replaced its records.
    for (const auto& e : *entries)
        if (id ? e.id == id : e.model == model && e.stored_records()) return e;
    return fail(id ? texts::transfer_unknown(id) : texts::no_transfer_of_model(model));
}

// The entry's capture, read only when it is the file the log vouches for.
Result<CaptureFile> logged_capture(const TransferEntry& entry, const fs::path& file, TransferCheck::CaptureState& state) {
    using S = TransferCheck::CaptureState;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        state = S::missing;
        return fail(texts::capture_missing(file.string()));
    }
    auto digest = file_sha256(file);
    if (!digest) {
        state = S::unreadable;
        return fail(texts::capture_unreadable(file.string(), digest.message()));
    }
    if (*digest != entry.sha256) {
        state = S::changed;
        return fail(texts::capture_changed(file.string()));
    }
    // The log keeps the model as its letter; an entry naming none has no transfer to read.
    const ModelInfo* model = find_model(entry.model);
    auto read = model ? read_capture_file(file, CaptureForm::either, model)
                      : Result<CaptureFile>(fail("the log names no model a to e"));
    if (!read || read->model != model) {
        state = S::unreadable;
        return fail(texts::capture_unreadable(file.string(), read ? "another model's transfer" : read.message()));
    }
    state = S::intact;
    return read;
}

Cell cell_of(const Value& v) { return v.is_null() ? Cell() : Cell(v.to_text()); }

// Compares the stored rows of the model with the transfer's decoded groups.
Result<void> compare_rows(const Database& db, const ModelInfo& model, const DecodeResult& decoded, TransferCheck& check) {
    auto table = db.read_table(record_table_name(model.letter));
    if (!table) return table.error();
    const auto& rows = table->rows;
    const std::size_t groups = decoded.groups.size();
    const std::size_t common = std::min(rows.size(), groups);
    auto label = [&](std::size_t r) {
        const std::string seq = rows[r].empty() ? std::string() : rows[r][0].to_text();
        return seq.empty() ? std::string("(").append(std::to_string(r + 1)).append(")") : seq;
    };
    for (std::size_t r = 0; r < common; ++r) {
        const RecordRow& want = decoded.groups[r].record;
        for (std::size_t c = 0; c < table->columns.size(); ++c) {
            const Cell stored = c < rows[r].size() ? cell_of(rows[r][c]) : Cell();
            const Cell expected = c < want.size() ? want[c] : Cell();
            if (stored != expected) check.differences.push_back({label(r), table->columns[c], stored, expected});
        }
    }
    check.missing_rows = groups - common;
    // 添加记录 appends a copy of the last row with the next 序号: anything else is foreign.
    for (std::size_t r = common; r < rows.size(); ++r) {
        const bool copy = r > 0 && rows[r].size() == rows[r - 1].size() &&
                          std::equal(rows[r].begin() + 1, rows[r].end(), rows[r - 1].begin() + 1);
        (copy && r >= groups ? check.added_groups : check.foreign_groups).push_back(label(r));
    }

    if (!model.has_distribution) return {};
    auto dist = db.read_table(distribution_table_name(model.letter));
    if (!dist) return dist.error();
    std::size_t d = 0;
    for (const auto& g : decoded.groups) {
        if (!g.distribution) continue;
        if (d >= dist->rows.size()) {
            ++check.missing_rows;
            continue;
        }
        const auto& stored = dist->rows[d++];
        const std::string seq = std::to_string(g.distribution->seq);
        if (stored.empty() || stored[0].as_number() != double(g.distribution->seq))
            check.differences.push_back({seq, dist->columns[0], stored.empty() ? Cell() : cell_of(stored[0]), seq});
        for (std::size_t k = 1; k < stored.size() && k < dist->columns.size(); ++k) {
            const auto& want = k - 1 < g.distribution->values.size() ? g.distribution->values[k - 1] : std::nullopt;
            const auto have = stored[k].is_null() ? std::nullopt : stored[k].as_number();
            if (have != want)
                check.differences.push_back({seq, dist->columns[k], cell_of(stored[k]),
                                             want ? Cell(Value(*want).to_text()) : Cell()});
        }
    }
    return {};
}

std::string joined(const std::vector<std::string>& groups) {
    std::string out;
    for (std::size_t i = 0; i < groups.size() && i < 20; ++i) out += (i ? "、" : "") + groups[i];
    if (groups.size() > 20) out += "……";
    return out;
}

}  // namespace

Result<TransferSummary> restore_transfer(Database& db, const fs::path& storage_folder, long long id) {
    if (!db.exists()) {
        std::error_code ec;
        const bool there = fs::exists(db.path(), ec);
        return fail(texts::transfer_unknown(id) + "\n" + db.path().string() +
                    (there ? " is empty: it holds no record database" : " does not exist: there is no record database") +
                    " and no transfer log; nothing was changed");
    }
    auto entry = find_entry(db, id, 0);
    if (!entry) return entry.error();
    const fs::path file = logged_capture_path(storage_folder, entry->capture_file);
    TransferCheck::CaptureState state{};
    auto capture = logged_capture(*entry, file, state);
    if (!capture) return fail(texts::records_unchanged(capture.message()));
    TransferEntry again;
    again.time = local_time_text(std::chrono::system_clock::now());
    again.port = entry->port;
    again.baud = entry->baud;
    again.capture_file = entry->capture_file;
    again.sha256 = entry->sha256;
    again.source = "restore";
    auto stored = store_transfer(db, storage_folder, *capture->model, capture->capture, std::move(again));
    if (stored) stored->capture_file = file;
    return stored;
}

Result<TransferCheck> check_transfer(const Database& db, const fs::path& storage_folder, long long id,
                                     const ModelInfo* model) {
    auto entry = find_entry(db, id, model ? model->letter : 0);
    if (!entry) return entry.error();
    TransferCheck check;
    check.entry = *entry;
    if (entry->stored_records()) {
        auto newest = find_entry(db, 0, entry->model);
        if (!newest) return newest.error();
        check.current = newest->id == entry->id;
    }
    const fs::path file = logged_capture_path(storage_folder, entry->capture_file);
    auto capture = logged_capture(*entry, file, check.capture);
    if (!capture) {
        check.capture_problem = capture.message();
        return check;
    }
    if (!check.current) return check;
    const ModelInfo& info = *capture->model;
    const auto n = transfer_count(info, capture->capture.b1, capture->capture.b2);
    const DecodeResult decoded = decode(info, capture->capture.data, n);
    if (auto compared = compare_rows(db, info, decoded, check); !compared) return compared.error();
    return check;
}

std::string check_text(const TransferCheck& check) {
    const auto& e = check.entry;
    std::string out = texts::check_heading(e.id, e.time, e.model) + "\n";
    if (check.capture != TransferCheck::CaptureState::intact) return out + check.capture_problem + "\n";
    if (!e.stored_records()) return out.append(nlx::tr(texts::kTransferStoredNothing)).append("\n");
    if (!check.current) return out.append(nlx::tr(texts::kCaptureIntactReplaced)).append("\n");
    if (check.identical()) out += texts::check_identical(e.record_rows) + "\n";
    if (!check.added_groups.empty())
        out += texts::check_added(check.added_groups.size(), joined(check.added_groups)) + "\n";
    if (!check.foreign_groups.empty())
        out += texts::check_foreign(check.foreign_groups.size(), joined(check.foreign_groups)) + "\n";
    if (check.missing_rows) out += texts::check_missing_rows(check.missing_rows) + "\n";
    if (!check.differences.empty()) {
        out += texts::check_differences(check.differences.size()) + "\n";
        const std::size_t shown = std::min<std::size_t>(check.differences.size(), 50);
        for (std::size_t i = 0; i < shown; ++i) {
            const auto& d = check.differences[i];
            out += "  " + texts::check_difference(d.group, d.column, d.stored.value_or(""), d.decoded.value_or("")) + "\n";
        }
        if (shown < check.differences.size()) out += "  " + texts::check_more_differences(check.differences.size() - shown) + "\n";
    }
    return out;
}

}  // namespace nlx
