// Storing and reading recordings of the live level.
#include "store/recordings.h"

#include <cstdio>
#include <ctime>

namespace nlx {
namespace recordings {
namespace {

const std::string kRecordings = sql::quote_identifier(kRecordingsTable);
const std::string kSamples = sql::quote_identifier(kRecordingSamplesTable);

Result<bool> table_exists(sql::Connection& db, std::string_view table) {
    auto exists = sql::Statement::prepare(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
    if (!exists) return exists.error();
    exists->bind_text(1, table);
    auto found = exists->step();
    if (!found) return found.error();
    return *found;
}

// Summarises the samples of each recording as they stream past.
Result<void> summarise(sql::Connection& db, RecordingInfo& info) {
    LevelStatistics stats;
    std::size_t rows = 0;
    long long last = 0;
    auto done = scan(db, info.id, [&](const RecordedSample& s) {
        ++rows;
        last = s.offset_ms;
        if (s.tenths) stats.add(*s.tenths);
        else stats.add_gap();
    });
    if (!done) return done;
    info.rows = rows;
    info.last_offset_ms = last;
    info.summary = stats.summary();
    return {};
}

Result<std::vector<RecordingInfo>> read_where(sql::Connection& db, const std::string& where, long long id) {
    std::vector<RecordingInfo> out;
    auto exists = table_exists(db, kRecordingsTable);
    if (!exists) return exists.error();
    if (!*exists) return out;
    auto stmt = sql::Statement::prepare(
        db, "SELECT id, model, port, baud, started_ms, ended FROM " + kRecordings + where + " ORDER BY id");
    if (!stmt) return stmt.error();
    if (!where.empty()) stmt->bind_int(1, id);
    for (;;) {
        auto row = stmt->step();
        if (!row) return row.error();
        if (!*row) break;
        RecordingInfo info;
        info.id = stmt->column_int(0);
        const std::string model = stmt->column_text(1);
        info.header.model = model.empty() ? '?' : model[0];
        info.header.port = stmt->column_text(2);
        info.header.baud = int(stmt->column_int(3));
        info.header.started_ms = stmt->column_int(4);
        info.ended = stmt->column_text(5);
        out.push_back(std::move(info));
    }
    for (auto& info : out)
        if (auto r = summarise(db, info); !r) return r.error();
    return out;
}

}  // namespace

std::vector<std::string> create_sql() {
    return {"CREATE TABLE IF NOT EXISTS " + kRecordings +
                " (id INTEGER PRIMARY KEY AUTOINCREMENT, model TEXT NOT NULL, port TEXT NOT NULL,"
                " baud INTEGER NOT NULL, started_ms INTEGER NOT NULL, ended TEXT NOT NULL)",
            // Keyed by recording and number: a recording's samples lie together, in order.
            "CREATE TABLE IF NOT EXISTS " + kSamples +
                " (recording INTEGER NOT NULL, seq INTEGER NOT NULL, offset_ms INTEGER NOT NULL, level INTEGER,"
                " PRIMARY KEY (recording, seq)) WITHOUT ROWID"};
}

std::vector<std::string> recording_columns() { return {"id", "model", "port", "baud", "started_ms", "ended"}; }
std::vector<std::string> sample_columns() { return {"recording", "seq", "offset_ms", "level"}; }

Result<long long> begin(sql::Connection& db, const RecordingHeader& h) {
    auto insert = sql::Statement::prepare(
        db, "INSERT INTO " + kRecordings + " (model, port, baud, started_ms, ended) VALUES (?1, ?2, ?3, ?4, '')");
    if (!insert) return insert.error();
    insert->bind_text(1, std::string(1, h.model));
    insert->bind_text(2, h.port);
    insert->bind_int(3, h.baud);
    insert->bind_int(4, h.started_ms);
    if (auto r = insert->run(); !r) return fail("cannot start a recording: " + r.message());
    return db.last_insert_rowid();
}

Result<void> append(sql::Connection& db, long long id, long long first_seq, const std::vector<RecordedSample>& samples) {
    auto insert = sql::Statement::prepare(
        db, "INSERT INTO " + kSamples + " (recording, seq, offset_ms, level) VALUES (?1, ?2, ?3, ?4)");
    if (!insert) return insert.error();
    long long seq = first_seq;
    for (const auto& s : samples) {
        insert->bind_int(1, id);
        insert->bind_int(2, seq++);
        insert->bind_int(3, s.offset_ms);
        if (s.tenths) insert->bind_int(4, *s.tenths);
        else insert->bind_null(4);
        if (auto r = insert->run(); !r) return fail("cannot store the recorded levels: " + r.message());
    }
    return {};
}

Result<void> end(sql::Connection& db, long long id, std::string_view how) {
    auto update = sql::Statement::prepare(db, "UPDATE " + kRecordings + " SET ended = ?2 WHERE id = ?1");
    if (!update) return update.error();
    update->bind_int(1, id);
    update->bind_text(2, how);
    if (auto r = update->run(); !r) return fail("cannot end the recording: " + r.message());
    return {};
}

Result<std::vector<RecordingInfo>> read_all(sql::Connection& db) { return read_where(db, {}, 0); }

Result<std::optional<RecordingInfo>> read_one(sql::Connection& db, long long id) {
    auto found = read_where(db, " WHERE id = ?1", id);
    if (!found) return found.error();
    if (found->empty()) return std::optional<RecordingInfo>();
    return std::optional<RecordingInfo>(std::move(found->front()));
}

Result<void> scan(sql::Connection& db, long long id, const std::function<void(const RecordedSample&)>& each) {
    auto stmt = sql::Statement::prepare(db, "SELECT offset_ms, level FROM " + kSamples +
                                                " WHERE recording = ?1 ORDER BY seq");
    if (!stmt) return stmt.error();
    stmt->bind_int(1, id);
    RecordedSample s;
    for (;;) {
        auto row = stmt->step();
        if (!row) return row.error();
        if (!*row) return {};
        s.offset_ms = stmt->column_int(0);
        s.tenths = stmt->column_is_null(1) ? std::nullopt : std::optional<int>(int(stmt->column_int(1)));
        each(s);
    }
}

}  // namespace recordings

std::string iso_local_time(long long ms) {
    const long long seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    const int millis = int(ms - seconds * 1000);
    const std::time_t t = std::time_t(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    const long offset = tm.tm_gmtoff / 60;  // minutes east of UTC
    const long zone = offset < 0 ? -offset : offset;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, millis, offset < 0 ? '-' : '+', zone / 60, zone % 60);
    return buf;
}

}  // namespace nlx
