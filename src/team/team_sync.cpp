// nlx sync in both directions and the reads of the team store: one server transaction per
// transfer, every value a statement parameter.
#include "team/team_sync.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <set>
#include <system_error>

#include "core/atomic_file.h"
#include "core/capture.h"
#include "core/models.h"
#include "core/pause_point.h"
#include "core/read_file.h"
#include "core/sha256.h"
#include "core/text_escapes.h"
#include "core/texts.h"
#include "decode/decoder.h"
#include "store/database.h"
#include "transfer/transfer.h"
#include "team/pg.h"
#include "team/team_settings.h"

namespace nlx::team {
namespace fs = std::filesystem;
using pg::Param;

namespace {

// The reason alone of a failure whose message is the operator's text and then a reason.
std::string reason_of(const std::string& message) {
    const auto nl = message.find('\n');
    return nl == std::string::npos ? message : message.substr(nl + 1);
}

std::string number_text(double v) {
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    return std::string(buf, end);
}

// A connection whose running statement is cancelled when `stop` is requested.
struct Connected {
    explicit Connected(pg::Session s) : session(std::move(s)) {}
    pg::Session session;
    std::optional<std::stop_callback<std::function<void()>>> interrupt;  // goes before the session
};

Result<std::unique_ptr<Connected>> connect(const std::string& server, std::stop_token stop) {
    auto session = pg::Session::open(server, nullptr, stop);
    if (!session) return session.error();
    auto c = std::make_unique<Connected>(std::move(*session));
    pg::Session* s = &c->session;
    c->interrupt.emplace(stop, std::function<void()>([s] { s->interrupt(); }));
    return c;
}

// --- Sending ----------------------------------------------------------------------------------------

// What one logged transfer sends: its capture file's bytes and what they decode to.
struct Outgoing {
    TransferEntry entry;
    std::string capture;  // the file's bytes
    DecodeResult decoded;
};

// Reads and checks the entry's capture file; a problem is returned as the operator's line.
Result<Outgoing> prepare(const TransferEntry& entry, const fs::path& storage_folder) {
    const fs::path file = logged_capture_path(storage_folder, entry.capture_file);
    auto bytes = read_regular_file(file, kMaxCaptureFileBytes);
    if (!bytes) {
        std::error_code ec;
        return fail(fs::exists(file, ec) ? texts::capture_unreadable(file.string(), bytes.message())
                                         : texts::capture_missing(file.string()));
    }
    const std::span<const std::uint8_t> raw(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size());
    if (sha256_hex(raw) != entry.sha256) return fail(texts::capture_changed(file.string()));
    // The log keeps the model as its letter.
    const ModelInfo* model = find_model(entry.model);
    if (!model) return fail(texts::capture_unreadable(file.string(), "the log names no model a to e"));
    auto parsed = has_capture_header(raw) ? parse_capture_file(raw) : raw_capture_file(*model, raw);
    if (!parsed) return fail(texts::capture_unreadable(file.string(), parsed.message()));
    if (parsed->model != model)
        return fail(texts::capture_unreadable(file.string(), "another model's transfer"));
    Outgoing out{entry, std::move(*bytes), {}};
    const auto n = transfer_count(*model, parsed->capture.b1, parsed->capture.b2);
    out.decoded = decode(*model, parsed->capture.data, n);
    return out;
}

// The record row as a JSON object, column name to text (null for an unset cell).
std::string record_json(const ModelInfo& model, const RecordRow& row) {
    std::string out = "{";
    for (std::size_t c = 0; c < model.record_columns.size(); ++c) {
        if (c) out += ',';
        out += json_string(model.record_columns[c]) + ':';
        out += c < row.size() && row[c] ? json_string(*row[c]) : "null";
    }
    return out + "}";
}

std::string percent_literal(const DistributionRow& row) {
    std::string out = "{";
    for (std::size_t k = 0; k < row.values.size(); ++k) {
        if (k) out += ',';
        out += row.values[k] ? number_text(*row.values[k]) : "NULL";
    }
    return out + "}";
}

// A statement that failed for this transfer alone (a value the server's checks refuse: a time
// that is not one, text that is not UTF-8), rather than for the server or the connection.
bool transfer_refused(const pg::Session& session) {
    const auto& s = session.failed_state();
    return !session.lost() && s.size() == 5 && (s.starts_with("22") || s.starts_with("23"));
}

enum class Sent { sent, already_there };

// The transfer, its rows and files in one transaction: the server holds all of it or none.
Result<Sent> send_one(pg::Session& session, const std::string& station, const Outgoing& out) {
    const TransferEntry& e = out.entry;
    const ModelInfo* model = find_model(e.model);
    if (!model) return fail(std::string("the log names an unknown model ") + e.model);
    if (auto begun = session.exec("BEGIN"); !begun) return begun.error();
    auto rollback = [&](const Error& error) -> Result<Sent> {
        if (!session.lost()) (void)session.exec("ROLLBACK");
        return error;
    };
    const std::span<const std::uint8_t> capture(reinterpret_cast<const std::uint8_t*>(out.capture.data()),
                                                out.capture.size());
    auto inserted = session.exec(
        "INSERT INTO nlx.transfers (station, sha256, logged_at, model, port, baud, announced, received, complete,"
        " record_rows, distribution_rows, source, log_id, capture_name, capture)"
        " VALUES ($1, $2, $3::timestamp, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15)"
        " ON CONFLICT (station, sha256) DO NOTHING RETURNING id",
        {Param::text(station), Param::text(e.sha256), Param::text(e.time), Param::text(std::string(1, e.model)),
         Param::text(e.port), Param::integer(e.baud), Param::integer((long long)e.announced),
         Param::integer((long long)e.received), Param::boolean(e.complete), Param::integer((long long)e.record_rows),
         Param::integer((long long)e.distribution_rows), Param::text(e.source), Param::integer(e.id),
         Param::text(e.capture_file), Param::bytes(capture)});
    if (!inserted) return rollback(inserted.error());
    // Another sync of the same station committed it meanwhile.
    if (inserted->count() == 0) {
        if (auto r = session.exec("ROLLBACK"); !r) return r.error();
        return Sent::already_there;
    }
    const Param id = Param::text(std::string(inserted->text(0, 0)));

    std::vector<std::optional<std::string>> records, positions, seqs, percents, names, contents, file_positions;
    for (std::size_t g = 0; g < out.decoded.groups.size(); ++g) {
        const auto& group = out.decoded.groups[g];
        records.emplace_back(record_json(*model, group.record));
        if (group.distribution) {
            positions.emplace_back(std::to_string(g + 1));
            seqs.emplace_back(std::to_string(group.distribution->seq));
            percents.emplace_back(percent_literal(*group.distribution));
        }
        if (group.history) {
            file_positions.emplace_back(std::to_string(g + 1));
            names.emplace_back(group.history->name);
            contents.emplace_back(pg::hex_text(group.history->content));
        }
    }
    if (!records.empty()) {
        auto r = session.exec(
            "INSERT INTO nlx.records (transfer, position, fields)"
            " SELECT $1, t.position, t.fields FROM unnest($2::jsonb[]) WITH ORDINALITY AS t(fields, position)",
            {id, Param::text(pg::array_literal(records))});
        if (!r) return rollback(r.error());
    }
    if (!positions.empty()) {
        auto r = session.exec(
            "INSERT INTO nlx.distributions (transfer, position, seq, percent)"
            " SELECT $1, u.position, u.seq, u.percent::double precision[]"
            " FROM unnest($2::integer[], $3::bigint[], $4::text[]) AS u(position, seq, percent)",
            {id, Param::text(pg::array_literal(positions)), Param::text(pg::array_literal(seqs)),
             Param::text(pg::array_literal(percents))});
        if (!r) return rollback(r.error());
    }
    if (!names.empty()) {
        auto r = session.exec(
            "INSERT INTO nlx.history_files (transfer, position, name, content)"
            " SELECT $1, u.position, u.name, decode(u.content, 'hex')"
            " FROM unnest($2::integer[], $3::text[], $4::text[]) AS u(position, name, content)",
            {id, Param::text(pg::array_literal(file_positions)), Param::text(pg::array_literal(names)),
             Param::text(pg::array_literal(contents))});
        if (!r) return rollback(r.error());
    }
    pause_point("team-commit");
    if (auto r = session.exec("COMMIT"); !r) return rollback(r.error());
    return Sent::sent;
}

// Samples go in batches of this many, each one statement.
constexpr std::size_t kSampleBatch = 5000;

// Sends what the server lacks of one recording: its row, the samples after those it holds, and
// its end; one transaction. Returns the samples sent, or nullopt when it had everything.
Result<std::optional<std::size_t>> send_recording(pg::Session& session, const std::string& station,
                                                  const Database& db, const RecordingInfo& rec) {
    const Param st = Param::text(station), log_id = Param::integer(rec.id),
                started = Param::integer(rec.header.started_ms);
    if (auto begun = session.exec("BEGIN"); !begun) return begun.error();
    auto rollback = [&](const Error& error) -> Result<std::optional<std::size_t>> {
        if (!session.lost()) (void)session.exec("ROLLBACK");
        return error;
    };
    auto added = session.exec(
        "INSERT INTO nlx.recordings (station, log_id, model, port, baud, started_ms) VALUES ($1, $2, $3, $4, $5, $6)"
        " ON CONFLICT (station, log_id, started_ms) DO NOTHING",
        {st, log_id, Param::text(std::string(1, rec.header.model)), Param::text(rec.header.port),
         Param::integer(rec.header.baud), started});
    if (!added) return rollback(added.error());
    auto held = session.exec(
        "SELECT r.id, (SELECT coalesce(max(position), 0) FROM nlx.recording_samples WHERE recording = r.id),"
        " EXISTS (SELECT 1 FROM nlx.recording_ends WHERE recording = r.id)"
        " FROM nlx.recordings r WHERE r.station = $1 AND r.log_id = $2 AND r.started_ms = $3",
        {st, log_id, started});
    if (!held) return rollback(held.error());
    if (held->count() != 1) return rollback(fail(std::string(nlx::tr(texts::kTeamStatementFailed)) + "\nrecording row missing"));
    const Param id = Param::text(std::string(held->text(0, 0)));
    const std::size_t on_server = std::size_t(held->integer(0, 1));
    const bool end_there = held->boolean(0, 2);
    const bool end_wanted = !rec.ended.empty() && !end_there;
    if (on_server >= rec.rows && !end_wanted) {
        if (auto r = session.exec("ROLLBACK"); !r) return r.error();
        return std::optional<std::size_t>();
    }

    std::size_t position = 0, sent = 0;
    std::vector<std::optional<std::string>> positions, offsets, levels;
    std::optional<Error> failed;
    auto flush = [&] {
        if (positions.empty() || failed) return;
        auto r = session.exec(
            "INSERT INTO nlx.recording_samples (recording, position, offset_ms, tenths)"
            " SELECT $1, u.position, u.offset_ms, u.tenths FROM unnest($2::integer[], $3::bigint[], $4::integer[])"
            " AS u(position, offset_ms, tenths) ON CONFLICT DO NOTHING",
            {id, Param::text(pg::array_literal(positions)), Param::text(pg::array_literal(offsets)),
             Param::text(pg::array_literal(levels))});
        if (!r) failed = r.error();
        sent += positions.size();
        positions.clear();
        offsets.clear();
        levels.clear();
    };
    auto scanned = db.scan_recording(rec.id, [&](const RecordedSample& s) {
        if (++position <= on_server || failed) return;
        positions.emplace_back(std::to_string(position));
        offsets.emplace_back(std::to_string(s.offset_ms));
        levels.emplace_back(s.tenths ? std::optional<std::string>(std::to_string(*s.tenths)) : std::nullopt);
        if (positions.size() >= kSampleBatch) flush();
    });
    flush();
    if (failed) return rollback(*failed);
    if (!scanned) return rollback(scanned.error());
    if (end_wanted) {
        auto r = session.exec("INSERT INTO nlx.recording_ends (recording, how) VALUES ($1, $2) ON CONFLICT DO NOTHING",
                              {id, Param::text(rec.ended)});
        if (!r) return rollback(r.error());
    }
    if (auto r = session.exec("COMMIT"); !r) return rollback(r.error());
    return std::optional<std::size_t>(sent);
}

// The end of a sync cut short by the server or the connection: what went before stays.
Error broken_off(const Error& error, const SyncReport& report, bool pull) {
    return fail(texts::sync_failed(error.message + "\n" + report_line(report, pull) +
                                   " before the failure; the next sync goes on from there"));
}

}  // namespace

Result<SyncReport> send_transfers(const std::string& server, const std::string& station, const Database& db,
                                  const fs::path& storage_folder, const SyncProgress& progress, std::stop_token stop) {
    if (auto ok = check_station_name(station); !ok) return ok.error();
    // The database is read first: one that cannot be read fails before the server is contacted.
    auto entries = db.transfers();
    if (!entries) return entries.error();
    std::reverse(entries->begin(), entries->end());  // oldest first
    auto recordings = db.recordings();
    if (!recordings) return recordings.error();

    SyncReport report;
    report.station = station;
    // A failure once a stop was asked for is the stop (a statement cancelled, a connect given up).
    auto ended = [&](const Error& error) -> Result<SyncReport> {
        if (!stop.stop_requested()) return error;
        report.cancelled = true;
        return report;
    };
    auto c = connect(server, stop);
    if (!c) return ended(c.error());
    pg::Session& session = (*c)->session;
    report.target = session.target();
    auto store = ensure_store(session);
    if (!store) return ended(store.error());
    if (auto r = session.exec("INSERT INTO nlx.stations (name) VALUES ($1) ON CONFLICT DO NOTHING", {Param::text(station)});
        !r)
        return ended(r.error());
    auto held = session.exec("SELECT sha256 FROM nlx.transfers WHERE station = $1", {Param::text(station)});
    if (!held) return ended(held.error());
    std::set<std::string, std::less<>> on_server;
    for (int r = 0; r < held->count(); ++r) on_server.emplace(held->text(r, 0));

    // Captures brought from the team store are there already; a restore of a transfer logs the
    // same capture again. Each capture is sent once, with its oldest entry.
    std::set<std::string, std::less<>> skip = on_server;
    for (const auto& e : *entries)
        if (e.source.starts_with(kPulledSourcePrefix)) skip.insert(e.sha256);
    std::vector<const TransferEntry*> todo;
    for (const auto& e : *entries) {
        if (skip.contains(e.sha256)) {
            ++report.skipped;
            continue;
        }
        skip.insert(e.sha256);
        todo.push_back(&e);
    }
    if (progress) progress(0, todo.size());
    for (std::size_t i = 0; i < todo.size(); ++i) {
        if (stop.stop_requested()) {
            report.cancelled = true;
            return report;
        }
        auto out = prepare(*todo[i], storage_folder);
        if (!out) {
            report.problems.push_back(texts::team_transfer_not_sent(todo[i]->id, out.message()));
        } else if (auto sent = send_one(session, station, *out); !sent) {
            if (stop.stop_requested()) return ended(sent.error());
            if (!transfer_refused(session)) return broken_off(sent.error(), report, false);
            report.problems.push_back(texts::team_transfer_not_sent(todo[i]->id, reason_of(sent.message())));
        } else if (*sent == Sent::sent) {
            ++report.done;
        } else {
            ++report.skipped;
        }
        if (progress) progress(i + 1, todo.size());
    }
    for (const auto& rec : *recordings) {
        if (stop.stop_requested()) {
            report.cancelled = true;
            return report;
        }
        auto sent = send_recording(session, station, db, rec);
        if (!sent) return stop.stop_requested() ? ended(sent.error()) : broken_off(sent.error(), report, false);
        if (*sent) {
            ++report.recordings;
            report.samples += **sent;
        }
    }
    return report;
}

// --- Receiving --------------------------------------------------------------------------------------

namespace {

struct Incoming {
    long long id = 0;
    std::string sha256, time, port, source, capture_name;
    char model = 'a';
    int baud = 0;
};

// A file name for a pulled capture in the storage folder: its name at the station, or one made
// from model and digest; "-2", "-3" … before .cap when another file has the name.
fs::path capture_destination(const fs::path& storage_folder, const Incoming& t, const std::string& bytes,
                             bool& same_there) {
    std::string name = fs::path(t.capture_name).filename().string();
    if (name.empty() || name == "." || name == ".." || name.front() == '.')
        name = "capture-" + std::string(1, t.model) + "-" + t.sha256.substr(0, 12) + ".cap";
    const fs::path base(name);
    const std::string stem = base.stem().string(), ext = base.extension().string();
    std::string scratch;
    fs::path file = storage_folder / name;
    for (int k = 2;; ++k) {
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(file, ec))) break;
        if (file_holds(file, bytes, scratch)) {
            same_there = true;
            break;
        }
        file = storage_folder / (stem + "-" + std::to_string(k) + ext);
    }
    return file;
}

// Brings one transfer in: its capture file first, then the store as a download makes it.
// Returns false (with the operator's line in `problem`) for a capture the server holds damaged;
// true with a `problem` for one stored whose history files are still to be put in place.
Result<bool> receive_one(pg::Session& session, Database& db, const fs::path& storage_folder,
                         const std::string& station, const Incoming& t, std::string& problem) {
    auto rows = session.exec("SELECT capture FROM nlx.transfers WHERE id = $1", {Param::integer(t.id)}, true);
    if (!rows) return rows.error();
    if (rows->count() != 1) {
        problem = texts::team_transfer_not_received(t.time, "it was removed from the server meanwhile");
        return false;
    }
    const std::string bytes(rows->text(0, 0));
    const std::span<const std::uint8_t> raw(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    if (sha256_hex(raw) != t.sha256) {
        problem = texts::team_transfer_not_received(t.time, nlx::tr(texts::kTeamCaptureCorrupt));
        return false;
    }
    // The server keeps the model as its letter.
    const ModelInfo* model = find_model(t.model);
    if (!model) {
        problem = texts::team_transfer_not_received(t.time, "the server names no model a to e");
        return false;
    }
    auto parsed = has_capture_header(raw) ? parse_capture_file(raw) : raw_capture_file(*model, raw);
    if (!parsed || parsed->model != model) {
        problem = texts::team_transfer_not_received(t.time, parsed ? "another model's transfer" : parsed.message());
        return false;
    }
    std::error_code ec;
    fs::create_directories(storage_folder, ec);
    bool same_there = false;
    const fs::path file = capture_destination(storage_folder, t, bytes, same_there);
    if (!same_there)
        if (auto written = write_file_atomically(file, bytes); !written) return written.error();
    TransferEntry entry;
    entry.time = t.time;
    entry.port = t.port;
    entry.baud = t.baud;
    entry.capture_file = logged_capture_name(storage_folder, file);
    entry.sha256 = t.sha256;
    entry.source = std::string(kPulledSourcePrefix) + station;
    auto stored = store_transfer(db, storage_folder, *model, parsed->capture, std::move(entry), EmptyTransfer::logged);
    if (stored) return true;
    // A store whose records were committed but whose history files are not all in place yet
    // is logged: those files are put in place by the next open, and its capture must stay.
    auto logged = db.transfers();
    const bool committed = logged && std::any_of(logged->begin(), logged->end(), [&](const TransferEntry& e) {
                               return e.sha256 == t.sha256;
                           });
    if (committed) {
        problem = texts::team_transfer_not_received(t.time, stored.message());
        return true;
    }
    // Nothing is left behind by a store that failed: the capture goes with it.
    if (!same_there) fs::remove(file, ec);
    return stored.error();
}

}  // namespace

Result<SyncReport> receive_transfers(const std::string& server, const std::string& station, Database& db,
                                     const fs::path& storage_folder, const SyncProgress& progress, std::stop_token stop) {
    if (auto ok = check_station_name(station); !ok) return ok.error();
    auto entries = db.transfers();
    if (!entries) return entries.error();
    std::set<std::string, std::less<>> logged;
    for (const auto& e : *entries) logged.insert(e.sha256);

    SyncReport report;
    report.station = station;
    auto ended = [&](const Error& error) -> Result<SyncReport> {
        if (!stop.stop_requested()) return error;
        report.cancelled = true;
        return report;
    };
    auto c = connect(server, stop);
    if (!c) return ended(c.error());
    pg::Session& session = (*c)->session;
    report.target = session.target();
    auto store = inspect_store(session);
    if (!store) return ended(store.error());
    if (!store->present) return fail(std::string(nlx::tr(texts::kTeamNoStore)) + "\n" + session.target() + " has no schema nlx");
    auto known = session.exec("SELECT name FROM nlx.stations ORDER BY name");
    if (!known) return ended(known.error());
    std::string names;
    bool found = false;
    for (int r = 0; r < known->count(); ++r) {
        found = found || known->text(r, 0) == station;
        names += (r ? "、" : "") + std::string(known->text(r, 0));
    }
    if (!found) return fail(texts::team_station_unknown(station, names) + "\n" + session.target());
    auto listed = session.exec(
        "SELECT id, sha256, to_char(logged_at, 'YYYY-MM-DD HH24:MI:SS'), model, port, baud, source, capture_name"
        " FROM nlx.transfers WHERE station = $1 ORDER BY logged_at, id",
        {Param::text(station)});
    if (!listed) return ended(listed.error());
    std::vector<Incoming> todo;
    for (int r = 0; r < listed->count(); ++r) {
        Incoming t;
        t.id = listed->integer(r, 0);
        t.sha256 = listed->text(r, 1);
        if (logged.contains(t.sha256)) {
            ++report.skipped;
            continue;
        }
        logged.insert(t.sha256);
        t.time = listed->text(r, 2);
        const auto model = listed->text(r, 3);
        t.model = model.empty() ? '?' : model[0];
        t.port = listed->text(r, 4);
        t.baud = int(listed->integer(r, 5));
        t.source = listed->text(r, 6);
        t.capture_name = listed->text(r, 7);
        todo.push_back(std::move(t));
    }
    if (progress) progress(0, todo.size());
    for (std::size_t i = 0; i < todo.size(); ++i) {
        if (stop.stop_requested()) {
            report.cancelled = true;
            return report;
        }
        std::string problem;
        auto got = receive_one(session, db, storage_folder, station, todo[i], problem);
        if (!got) return stop.stop_requested() ? ended(got.error()) : broken_off(got.error(), report, true);
        if (*got) ++report.done;
        if (!problem.empty()) report.problems.push_back(problem);
        if (progress) progress(i + 1, todo.size());
    }
    return report;
}

// --- Reading the store ------------------------------------------------------------------------------

Result<TableContents> team_transfers(const std::string& server, const TransferFilter& filter) {
    auto c = connect(server, {});
    if (!c) return c.error();
    pg::Session& session = (*c)->session;
    auto store = inspect_store(session);
    if (!store) return store.error();
    TableContents table;
    table.columns = {"station", "id",     "time",        "model",        "port",   "baud",
                     "announced", "received", "complete", "record_rows", "distribution_rows",
                     "source",  "capture_file", "sha256", "sent_at"};
    if (!store->present) return table;
    auto rows = session.exec(
        "SELECT station, id, to_char(logged_at, 'YYYY-MM-DD HH24:MI:SS'), model, port, baud, announced, received,"
        " complete, record_rows, distribution_rows, source, capture_name, sha256,"
        " to_char(sent_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')"
        " FROM nlx.transfers WHERE ($1::text IS NULL OR station = $1) AND ($2::text IS NULL OR model = $2)"
        " ORDER BY station, logged_at, id",
        {filter.station.empty() ? Param::null() : Param::text(filter.station),
         filter.model ? Param::text(std::string(1, filter.model)) : Param::null()});
    if (!rows) return rows.error();
    for (int r = 0; r < rows->count(); ++r) {
        auto text = [&](int c) { return Value(std::string(rows->text(r, c))); };
        auto number = [&](int c) { return Value(rows->integer(r, c)); };
        table.rows.push_back({text(0), number(1), text(2), text(3), text(4), number(5), number(6), number(7),
                              Value(rows->boolean(r, 8) ? 1 : 0), number(9), number(10), text(11), text(12),
                              text(13), text(14)});
    }
    return table;
}

Result<ServerCheck> check_server(const std::string& server, std::stop_token stop) {
    auto c = connect(server, stop);
    if (!c) return c.error();
    pg::Session& session = (*c)->session;
    ServerCheck check;
    check.target = session.target();
    check.server_version = session.server_version();
    auto store = inspect_store(session);
    if (!store) return store.error();
    check.store = *store;
    if (!store->present) return check;
    auto counts = session.exec("SELECT (SELECT count(*) FROM nlx.stations), (SELECT count(*) FROM nlx.transfers)");
    if (!counts) return counts.error();
    check.stations = std::size_t(counts->integer(0, 0));
    check.transfers = std::size_t(counts->integer(0, 1));
    return check;
}

Result<StoreState> init_store(const std::string& server) {
    auto c = connect(server, {});
    if (!c) return c.error();
    return ensure_store((*c)->session);
}

std::string report_line(const SyncReport& report, bool pull) {
    auto count = [](std::size_t n, const char* one) { return std::to_string(n) + " " + one + (n == 1 ? "" : "s"); };
    std::string s = pull ? "brought in " + count(report.done, "transfer") + " of station " + report.station + ", " +
                               std::to_string(report.skipped) + " logged already"
                         : "sent " + count(report.done, "transfer") + " of station " + report.station + ", " +
                               std::to_string(report.skipped) + " on the server already";
    if (!pull && (report.recordings || report.samples))
        s += "; " + count(report.recordings, "recording") + " (" + count(report.samples, "sample") + ")";
    if (!report.problems.empty()) s += "; " + std::to_string(report.problems.size()) + " could not be " + (pull ? "brought in" : "sent");
    if (report.cancelled) s += "; cancelled";
    return s;
}

}  // namespace nlx::team
