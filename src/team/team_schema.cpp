// The team store's tables (version 1) and the check of the version a server holds.
#include "team/team_schema.h"

#include "core/texts.h"

namespace nlx::team {
namespace {

// Held while the store is created: two stations that find no store at the same moment create it
// one after the other, and the second finds it made.
constexpr long long kCreateLock = 0x4E4C5854;  // "NLXT"

// As constant texts: nothing is built for them at the start of every command.
constexpr std::string_view kStatements[] = {
    "CREATE SCHEMA nlx",
    "CREATE TABLE nlx.schema_version (version integer NOT NULL, created timestamptz NOT NULL DEFAULT now())",
    // One row per computer that sends transfers, by the name it is known by.
    "CREATE TABLE nlx.stations (name text PRIMARY KEY CHECK (name <> ''),"
    " first_seen timestamptz NOT NULL DEFAULT now())",
    // One row per transfer a station logged: its log entry, and the capture file's bytes, whose
    // SHA-256 makes it unique at the station, so that sending it again changes nothing.
    "CREATE TABLE nlx.transfers ("
    " id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    " station text NOT NULL REFERENCES nlx.stations (name),"
    " sha256 text NOT NULL CHECK (sha256 ~ '^[0-9a-f]{64}$'),"
    " logged_at timestamp NOT NULL,"  // the station's local time of the download or import
    " model text NOT NULL CHECK (model IN ('a', 'b', 'c', 'd', 'e')),"
    " port text NOT NULL,"
    " baud integer NOT NULL,"
    " announced integer NOT NULL,"  // data bytes the count bytes announced
    " received integer NOT NULL,"   // data bytes that arrived
    " complete boolean NOT NULL,"
    " record_rows integer NOT NULL,"
    " distribution_rows integer NOT NULL,"
    " source text NOT NULL,"        // download, import or restore
    " log_id bigint NOT NULL,"      // the entry's id in the station's transfer log
    " capture_name text NOT NULL,"  // the capture file's name at the station
    " capture bytea NOT NULL,"      // the capture file, header and all
    " sent_at timestamptz NOT NULL DEFAULT now(),"
    " UNIQUE (station, sha256))",
    // The groups of each transfer as the station decoded them: one row per group, in group order
    // from 1, every column of the model's record table by name (NULL for an unset cell). The
    // same group downloaded again (in a later transfer, perhaps under another 序号) has the same
    // group_key, which the server computes, so that queries can count each group once.
    "CREATE TABLE nlx.records ("
    " transfer bigint NOT NULL REFERENCES nlx.transfers (id),"
    " position integer NOT NULL,"
    " fields jsonb NOT NULL,"
    " group_key bytea NOT NULL GENERATED ALWAYS AS (sha256(((fields - '序号')::text)::bytea)) STORED,"
    " PRIMARY KEY (transfer, position))",
    // The level distribution of a statistical group: 序号 and the percentages of positions 1..101.
    "CREATE TABLE nlx.distributions ("
    " transfer bigint NOT NULL REFERENCES nlx.transfers (id),"
    " position integer NOT NULL,"  // the group's, as in nlx.records
    " seq bigint NOT NULL,"
    " percent double precision[] NOT NULL,"
    " PRIMARY KEY (transfer, position))",
    // Model a's level-history files, by the group that names them.
    "CREATE TABLE nlx.history_files ("
    " transfer bigint NOT NULL REFERENCES nlx.transfers (id),"
    " position integer NOT NULL,"
    " name text NOT NULL,"
    " content bytea NOT NULL,"
    " PRIMARY KEY (transfer, position))",
    // Recordings of the live level: the recording, its samples (added to as they are sent) and,
    // once it has ended, how.
    "CREATE TABLE nlx.recordings ("
    " id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    " station text NOT NULL REFERENCES nlx.stations (name),"
    " log_id bigint NOT NULL,"
    " model text NOT NULL,"
    " port text NOT NULL,"
    " baud integer NOT NULL,"
    " started_ms bigint NOT NULL,"  // wall clock of the first sample, ms since 1970 UTC
    " UNIQUE (station, log_id, started_ms))",
    "CREATE TABLE nlx.recording_samples ("
    " recording bigint NOT NULL REFERENCES nlx.recordings (id),"
    " position integer NOT NULL,"   // from 1, in the recording's order
    " offset_ms bigint NOT NULL,"
    " tenths integer,"              // the level shown, tenths of a dB; NULL for no reply
    " PRIMARY KEY (recording, position))",
    "CREATE TABLE nlx.recording_ends ("
    " recording bigint PRIMARY KEY REFERENCES nlx.recordings (id),"
    " how text NOT NULL)",
};

Result<StoreState> read_state(pg::Session& session) {
    auto found = session.exec("SELECT to_regclass('nlx.schema_version') IS NOT NULL");
    if (!found) return found.error();
    StoreState state;
    if (!found->boolean(0, 0)) return state;
    auto version = session.exec("SELECT coalesce(max(version), 0) FROM nlx.schema_version");
    if (!version) return version.error();
    state.present = true;
    state.version = version->integer(0, 0);
    return state;
}

// Under the lock: the store once more, then every table and the version row in one transaction.
Result<StoreState> create_store(pg::Session& session) {
    auto state = inspect_store(session);
    if (!state || state->present) return state;
    if (auto begun = session.exec("BEGIN"); !begun) return begun.error();
    auto rollback = [&](const Error& e) -> Result<StoreState> {
        if (!session.lost()) (void)session.exec("ROLLBACK");
        return e;
    };
    for (const auto& statement : kStatements) {
        if (auto done = session.exec(statement); !done) {
            if (session.failed_state() == "42501")
                return rollback(fail(std::string(nlx::tr(texts::kTeamCannotCreate)) + "\n" +
                                     done.message().substr(done.message().find('\n') + 1)));
            return rollback(done.error());
        }
    }
    if (auto v = session.exec("INSERT INTO nlx.schema_version (version) VALUES ($1)",
                              {pg::Param::integer(kTeamSchemaVersion)});
        !v)
        return rollback(v.error());
    if (auto committed = session.exec("COMMIT"); !committed) return rollback(committed.error());
    return StoreState{true, kTeamSchemaVersion};
}

}  // namespace

Result<StoreState> inspect_store(pg::Session& session) {
    auto state = read_state(session);
    if (!state) return state;
    if (state->present && state->version > kTeamSchemaVersion)
        return fail(texts::team_schema_newer(state->version, kTeamSchemaVersion) + "\n" + session.target() +
                    " holds schema nlx version " + std::to_string(state->version) + "; this nlx knows version " +
                    std::to_string(kTeamSchemaVersion));
    if (state->present && state->version < 1)
        return fail(std::string(nlx::tr(texts::kTeamStatementFailed)) + "\n" + session.target() +
                    ": nlx.schema_version holds no version");
    return state;
}

Result<StoreState> ensure_store(pg::Session& session) {
    auto state = inspect_store(session);
    if (!state || state->present) return state;
    // A lock of the session, taken before the transaction that creates the store: whoever waited
    // for it begins a transaction that sees the store another made meanwhile.
    if (auto locked = session.exec("SELECT pg_advisory_lock($1)", {pg::Param::integer(kCreateLock)}); !locked)
        return locked.error();
    auto created = create_store(session);
    if (!session.lost()) (void)session.exec("SELECT pg_advisory_unlock($1)", {pg::Param::integer(kCreateLock)});
    return created;
}

}  // namespace nlx::team
