// The team store against a real PostgreSQL server: what a sync sends and brings back, what it
// refuses, and what a station's least-privileged role can do.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <set>

#include "charts/day_profile.h"
#include "core/models.h"
#include "decode/decoder.h"
#include "sim/encode/encode_ab.h"
#include "core/texts.h"
#include "transfer/transfer_check.h"
#include "support/run_command.h"
#include "team/pg.h"
#include "team/team_schema.h"
#include "team/team_sync.h"
#include "team_fixture.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx::team {
namespace {
namespace fs = std::filesystem;
using test::Station;

class TeamStore : public test::TeamServerTest {};

std::vector<TransferEntry> log_of(const Station& s) {
    auto db = Database::open_read_only(s.db_file());
    EXPECT_TRUE(db);
    auto entries = db->transfers();
    EXPECT_TRUE(entries);
    return *entries;
}

// Sending: every logged capture once, with its decoded rows exactly as the station's tables
// hold them; a restore (the same capture again) and a second sync send nothing.
TEST_F(TeamStore, SendsEachCaptureOnceWithTheRowsTheStationHolds) {
    Station a;
    test::download_transfers(a, 10, 1);
    {
        Database db = a.open();
        ASSERT_TRUE(restore_transfer(db, a.storage(), 2));
    }
    Database db = a.open();
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    auto sent = send_transfers(server(), "lab-a", db, a.storage(),
                               [&](std::size_t done, std::size_t total) { progress.emplace_back(done, total); });
    ASSERT_TRUE(sent) << sent.message();
    EXPECT_EQ(sent->done, 10u);
    EXPECT_EQ(sent->skipped, 1u);
    EXPECT_TRUE(sent->problems.empty());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), std::make_pair(std::size_t(0), std::size_t(10)));
    EXPECT_EQ(progress.back(), std::make_pair(std::size_t(10), std::size_t(10)));
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), 10);
    expect_whole_transfers();

    // Each model's current records, cell by cell by column name, and its distribution rows.
    std::set<char> seen;
    for (const auto& e : log_of(a)) {  // newest first: the first entry of a model is its current one
        if (!seen.insert(e.model).second) continue;
        const ModelInfo& model = *find_model(e.model);
        SCOPED_TRACE(model.letter);
        auto records = db.read_table(record_table_name(model.letter));
        ASSERT_TRUE(records);
        std::vector<std::string> want;
        for (std::size_t r = 0; r < records->rows.size(); ++r)
            for (std::size_t c = 0; c < records->columns.size(); ++c) {
                const auto& v = records->rows[r][c];
                want.push_back(std::to_string(r + 1) + "|" + records->columns[c] + "|" + (v.is_null() ? "<null>" : v.to_text()));
            }
        const std::string held = sql(
            "SELECT string_agg(r.position || '|' || f.key || '|' || coalesce(f.value, '<null>'), E'\\n')"
            " FROM nlx.records r JOIN nlx.transfers t ON t.id = r.transfer, jsonb_each_text(r.fields) f"
            " WHERE t.sha256 = '" + e.sha256 + "'");
        std::vector<std::string> got;
        for (std::size_t at = 0; at <= held.size();) {
            const auto end = std::min(held.find('\n', at), held.size());
            got.push_back(held.substr(at, end - at));
            at = end + 1;
        }
        std::sort(want.begin(), want.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, want);
        if (!model.has_distribution) continue;
        auto dist = db.read_table(distribution_table_name(model.letter));
        ASSERT_TRUE(dist);
        ASSERT_FALSE(dist->rows.empty());
        // The numbers exactly (positions the group leaves unset are NULL in the table and absent
        // on the server).
        const auto& first = dist->rows.front();
        std::vector<std::optional<double>> want_row;
        for (std::size_t k = 1; k < first.size(); ++k)
            want_row.push_back(first[k].is_null() ? std::nullopt : std::optional<double>(first[k].number()));
        while (!want_row.empty() && !want_row.back()) want_row.pop_back();
        const std::string held_row = sql("SELECT array_to_string(d.percent, ',', 'NULL') FROM nlx.distributions d"
                                         " JOIN nlx.transfers t ON t.id = d.transfer WHERE t.sha256 = '" +
                                         e.sha256 + "' ORDER BY d.position LIMIT 1");
        std::vector<std::optional<double>> got_row;
        for (std::size_t at = 0; at < held_row.size();) {
            const auto end = std::min(held_row.find(',', at), held_row.size());
            const std::string cell = held_row.substr(at, end - at);
            got_row.push_back(cell == "NULL" ? std::nullopt : std::optional<double>(std::strtod(cell.c_str(), nullptr)));
            at = end + 1;
        }
        while (!got_row.empty() && !got_row.back()) got_row.pop_back();
        EXPECT_EQ(got_row, want_row);
    }
    // Model a's history files are the bytes its storage folder holds.
    const std::string name = sql("SELECT h.name FROM nlx.history_files h JOIN nlx.transfers t ON t.id = h.transfer"
                                 " WHERE t.log_id = 6 ORDER BY h.position LIMIT 1");
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(sql("SELECT encode(h.content, 'hex') FROM nlx.history_files h JOIN nlx.transfers t ON t.id = h.transfer"
                  " WHERE t.log_id = 6 AND h.name = '" + name + "'"),
              pg::hex_text(test::read_file(a.storage() / name)));

    auto again = send_transfers(server(), "lab-a", db, a.storage());
    ASSERT_TRUE(again) << again.message();
    EXPECT_EQ(again->done, 0u);
    EXPECT_EQ(again->skipped, 11u);
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), 10);
    EXPECT_EQ(count("SELECT count(*) FROM nlx.records"), count("SELECT sum(record_rows) FROM nlx.transfers"));
}

// Two copies of one station's database (a laptop restored from a backup) send the same transfers:
// the second changes nothing; another station's identical capture is its own.
TEST_F(TeamStore, TheSameTransferTwiceChangesNothing) {
    Station a;
    test::download_transfers(a, 6, 2);
    Station copy;
    fs::copy(a.home(), copy.home(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    auto first = send_transfers(server(), "lab-a", a.open(), a.storage());
    ASSERT_TRUE(first) << first.message();
    const std::string before = sql("SELECT string_agg(id || ':' || sha256 || ':' || sent_at, ',' ORDER BY id) FROM nlx.transfers");
    const long long rows = count("SELECT count(*) FROM nlx.records");
    auto second = send_transfers(server(), "lab-a", copy.open(), copy.storage());
    ASSERT_TRUE(second) << second.message();
    EXPECT_EQ(second->done, 0u);
    EXPECT_EQ(second->skipped, 6u);
    EXPECT_EQ(sql("SELECT string_agg(id || ':' || sha256 || ':' || sent_at, ',' ORDER BY id) FROM nlx.transfers"), before);
    EXPECT_EQ(count("SELECT count(*) FROM nlx.records"), rows);
    auto other = send_transfers(server(), "lab-b", copy.open(), copy.storage());
    ASSERT_TRUE(other) << other.message();
    EXPECT_EQ(other->done, 6u);
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), 12);
}

// Text of any kind reaches the server as it was: the array literals that carry rows in one
// statement quote everything.
TEST_F(TeamStore, ArrayLiteralsCarryAnyText) {
    auto session = pg::Session::open(server());
    ASSERT_TRUE(session) << session.message();
    const std::vector<std::optional<std::string>> values = {
        "plain", "", "NULL", std::nullopt, "a\"b", "back\\slash", "{braces}", "comma,here", " spaced ",
        "噪声a", "line\nbreak", "\\\"", "{\"序号\": \"01\"}"};
    auto rows = session->exec("SELECT coalesce(v, '<null>'), v IS NULL FROM unnest($1::text[]) WITH ORDINALITY AS u(v, n) ORDER BY n",
                              {pg::Param::text(pg::array_literal(values))});
    ASSERT_TRUE(rows) << rows.message();
    ASSERT_EQ(rows->count(), int(values.size()));
    for (int r = 0; r < rows->count(); ++r) {
        const auto& want = values[std::size_t(r)];
        EXPECT_EQ(rows->boolean(r, 1), !want);
        if (want) {
            EXPECT_EQ(rows->text(r, 0), *want);
        }
    }
}

// A station's transfers brought into a fresh database are stored as its downloads were: the same
// log (by digest and time), the same records, verified identical; a second pull brings nothing,
// and a sync of that database never sends them as its own.
TEST_F(TeamStore, PulledTransfersAreStoredAsTheStationStoredThem) {
    Station a;
    test::download_transfers(a, 7, 3);
    ASSERT_TRUE(send_transfers(server(), "lab-a", a.open(), a.storage()));
    Station b;
    Database db = b.open();
    auto pulled = receive_transfers(server(), "lab-a", db, b.storage());
    ASSERT_TRUE(pulled) << pulled.message();
    EXPECT_EQ(pulled->done, 7u);
    EXPECT_EQ(pulled->skipped, 0u);

    const auto theirs = log_of(a), ours = log_of(b);
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        EXPECT_EQ(ours[i].sha256, theirs[i].sha256);
        EXPECT_EQ(ours[i].time, theirs[i].time);
        EXPECT_EQ(ours[i].model, theirs[i].model);
        EXPECT_EQ(ours[i].record_rows, theirs[i].record_rows);
        EXPECT_EQ(ours[i].source, "sync:lab-a");
        EXPECT_EQ(test::read_file(logged_capture_path(b.storage(), ours[i].capture_file)),
                  test::read_file(logged_capture_path(a.storage(), theirs[i].capture_file)));
    }
    Database theirs_db = a.open();
    for (const auto& m : all_models()) {
        SCOPED_TRACE(m.letter);
        auto mine = db.read_table(record_table_name(m.letter)), other = theirs_db.read_table(record_table_name(m.letter));
        ASSERT_TRUE(mine && other);
        EXPECT_EQ(mine->rows, other->rows);
        auto check = check_transfer(db, b.storage(), 0, &m);
        ASSERT_TRUE(check) << check.message();
        EXPECT_TRUE(check->identical()) << check_text(*check);
    }
    auto again = receive_transfers(server(), "lab-a", db, b.storage());
    ASSERT_TRUE(again) << again.message();
    EXPECT_EQ(again->done, 0u);
    EXPECT_EQ(again->skipped, 7u);
    EXPECT_EQ(log_of(b).size(), 7u);
    auto resend = send_transfers(server(), "lab-b", db, b.storage());
    ASSERT_TRUE(resend) << resend.message();
    EXPECT_EQ(resend->done, 0u);
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers WHERE station = 'lab-b'"), 0);

    auto unknown = receive_transfers(server(), "lab-z", db, b.storage());
    ASSERT_FALSE(unknown);
    EXPECT_TRUE(unknown.message().starts_with(texts::team_station_unknown("lab-z", "lab-a"))) << unknown.message();
}

// A capture the server holds damaged is named and not brought in; the others are, and nothing of
// the damaged one is left in the folder.
TEST_F(TeamStore, ADamagedCaptureOnTheServerIsNotBroughtIn) {
    Station a;
    test::download_transfers(a, 4, 17);
    ASSERT_TRUE(send_transfers(server(), "lab-a", a.open(), a.storage()));
    ASSERT_EQ(sql("UPDATE nlx.transfers SET capture = capture || '\\x01'::bytea WHERE log_id = 2"), "");
    Station b;
    Database db = b.open();
    auto pulled = receive_transfers(server(), "lab-a", db, b.storage());
    ASSERT_TRUE(pulled) << pulled.message();
    EXPECT_EQ(pulled->done, 3u);
    ASSERT_EQ(pulled->problems.size(), 1u);
    EXPECT_NE(pulled->problems[0].find(texts::kTeamCaptureCorrupt), std::string::npos) << pulled->problems[0];
    const auto theirs = log_of(a);
    std::set<std::string> have;
    for (const auto& e : log_of(b)) have.insert(e.sha256);
    EXPECT_EQ(have.size(), 3u);
    EXPECT_FALSE(have.contains(theirs[2].sha256));  // log_id 2, newest first of four
    std::size_t captures = 0;
    for (const auto& f : fs::directory_iterator(b.storage())) captures += f.path().extension() == ".cap";
    EXPECT_EQ(captures, 3u);
}

// A capture that is missing or changed is named and left out; the others are sent.
TEST_F(TeamStore, ACaptureMissingOrChangedIsNamedAndTheRestSent) {
    Station a;
    test::download_transfers(a, 5, 4);
    const auto entries = log_of(a);  // newest first
    fs::remove(logged_capture_path(a.storage(), entries[1].capture_file));
    {
        std::ofstream f(logged_capture_path(a.storage(), entries[3].capture_file), std::ios::app);
        f << "x";
    }
    auto sent = send_transfers(server(), "lab-a", a.open(), a.storage());
    ASSERT_TRUE(sent) << sent.message();
    EXPECT_EQ(sent->done, 3u);
    ASSERT_EQ(sent->problems.size(), 2u);
    EXPECT_TRUE(sent->problems[0].starts_with(texts::team_transfer_not_sent(entries[3].id, ""))) << sent->problems[0];
    EXPECT_NE(sent->problems[0].find("SHA-256"), std::string::npos) << sent->problems[0];
    EXPECT_TRUE(sent->problems[1].starts_with(texts::team_transfer_not_sent(entries[1].id, ""))) << sent->problems[1];
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), 3);
}

// A stop asked for during the sync ends it between transfers: the server holds the whole
// transfers sent so far, and the next sync sends the rest.
TEST_F(TeamStore, CancelledSyncKeepsWholeTransfersAndResumes) {
    Station a;
    test::download_transfers(a, 8, 5);
    std::stop_source stop;
    auto sent = send_transfers(
        server(), "lab-a", a.open(), a.storage(),
        [&](std::size_t done, std::size_t) {
            if (done == 3) stop.request_stop();
        },
        stop.get_token());
    ASSERT_TRUE(sent) << sent.message();
    EXPECT_TRUE(sent->cancelled);
    EXPECT_EQ(sent->done, 3u);
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), 3);
    auto rest = send_transfers(server(), "lab-a", a.open(), a.storage());
    ASSERT_TRUE(rest) << rest.message();
    EXPECT_EQ(rest->done, 5u);
    EXPECT_EQ(rest->skipped, 3u);
    expect_whole_transfers();
}

// A store of a later version is refused before anything is read or written, on both sides.
TEST_F(TeamStore, NewerSchemaIsRefusedAndNothingChanges) {
    Station a;
    test::download_transfers(a, 3, 6);
    ASSERT_TRUE(send_transfers(server(), "lab-a", a.open(), a.storage()));
    ASSERT_EQ(sql("UPDATE nlx.schema_version SET version = 2"), "");
    test::download_transfers(a, 2, 7, "b", 12, 100);
    const std::string db_before = test::read_file(a.db_file());

    const std::string newer = texts::team_schema_newer(2, kTeamSchemaVersion);
    auto sent = send_transfers(server(), "lab-a", a.open(), a.storage());
    ASSERT_FALSE(sent);
    EXPECT_TRUE(sent.message().starts_with(newer)) << sent.message();
    EXPECT_EQ(count("SELECT count(*) FROM nlx.transfers"), 3);
    EXPECT_EQ(test::read_file(a.db_file()), db_before);

    Station b;
    Database db = b.open();
    auto pulled = receive_transfers(server(), "lab-a", db, b.storage());
    ASSERT_FALSE(pulled);
    EXPECT_TRUE(pulled.message().starts_with(newer)) << pulled.message();
    EXPECT_FALSE(fs::exists(b.db_file()));
    EXPECT_FALSE(fs::exists(b.storage()));
    for (auto failed : {check_server(server()).ok(), team_transfers(server(), {}).ok(), init_store(server()).ok()})
        EXPECT_FALSE(failed);
}

// Each way a connection fails is told apart, and no password is ever shown.
TEST_F(TeamStore, ConnectionFailuresSayWhatFailed) {
    ASSERT_EQ(sql(std::string("CREATE ROLE ") + test::PgCluster::kPasswordRole + " LOGIN PASSWORD 'right-horse-7'"), "");
    test::TempDir dir;
    const auto pgpass = dir / "pgpass";
    const std::string socket = cluster()->socket_folder().string();
    auto pass_file = [&](const std::string& password) {
        test::write_file(pgpass, socket + ":5432:team:" + test::PgCluster::kPasswordRole + ":" + password + "\n");
        fs::permissions(pgpass, fs::perms::owner_read | fs::perms::owner_write);
    };
    ::setenv("PGPASSFILE", pgpass.c_str(), 1);
    struct Case {
        std::string label, conninfo, password_file;
        pg::ConnectProblem problem;
        std::string says;
    };
    const std::string pw_server = server(test::PgCluster::kPasswordRole);
    const Case cases[] = {
        {"no server", "host=" + (dir / "nowhere").string() + " dbname=team", "", pg::ConnectProblem::unreachable,
         texts::team_unreachable("\x01")},
        {"no password", pw_server, "", pg::ConnectProblem::needs_password, texts::team_needs_password("\x01")},
        {"wrong password", pw_server, "wrong-horse", pg::ConnectProblem::refused, texts::team_refused("\x01")},
        {"no such database", cluster()->conninfo("nothere"), "", pg::ConnectProblem::refused,
         texts::team_refused("\x01")},
        {"no such role", server("nobody_here"), "", pg::ConnectProblem::refused, texts::team_refused("\x01")},
        {"bad address", "host=x port", "", pg::ConnectProblem::bad_address, std::string(texts::kTeamBadAddress)},
        {"password in ~/.pgpass", pw_server, "right-horse-7", pg::ConnectProblem::none, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.password_file.empty()) fs::remove(pgpass);
        else pass_file(c.password_file);
        pg::ConnectProblem problem{};
        auto session = pg::Session::open(c.conninfo, &problem);
        EXPECT_EQ(problem, c.problem);
        if (c.problem == pg::ConnectProblem::none) {
            EXPECT_TRUE(session) << session.message();
            continue;
        }
        ASSERT_FALSE(session);
        // The operator's text comes first, with the server's name where the text has it.
        auto says_it = [&](const std::string& message) {
            const auto mark = c.says.find('\x01');
            if (mark == std::string::npos) return message.starts_with(c.says);
            return message.starts_with(c.says.substr(0, mark)) && message.find(c.says.substr(mark + 1)) != std::string::npos;
        };
        EXPECT_TRUE(says_it(session.message())) << session.message();
        EXPECT_EQ(session.message().find("horse"), std::string::npos) << session.message();
        // The whole sync fails the same way and changes nothing.
        Station a;
        auto sent = send_transfers(c.conninfo, "lab-a", a.open(), a.storage());
        ASSERT_FALSE(sent);
        EXPECT_TRUE(says_it(sent.message())) << sent.message();
    }
    ::unsetenv("PGPASSFILE");
    EXPECT_EQ(count("SELECT count(*) FROM pg_namespace WHERE nspname = 'nlx'"), 0);
}

// A station's role with only the README's grants (insert and select on the schema) can sync both
// ways and read the list, but cannot create the store, change or remove what is there.
TEST_F(TeamStore, AStationRoleNeedsOnlyInsertAndSelect) {
    ASSERT_EQ(sql("CREATE ROLE station_b LOGIN"), "");
    Station a;
    test::download_transfers(a, 4, 8);
    auto refused = send_transfers(server("station_b"), "lab-b", a.open(), a.storage());
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.message().starts_with(texts::kTeamCannotCreate)) << refused.message();
    EXPECT_EQ(count("SELECT count(*) FROM pg_namespace WHERE nspname = 'nlx'"), 0);

    ASSERT_TRUE(init_store(server()));
    auto granted = test::run_command("/usr/bin/psql", {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-v", "role=station_b", "-d",
                                                       server(), "-f", NLX_SOURCE_DIR "/scripts/team-station-role.sql"});
    ASSERT_EQ(granted.exit_code, 0) << granted.err;
    auto sent = send_transfers(server("station_b"), "lab-b", a.open(), a.storage());
    ASSERT_TRUE(sent) << sent.message();
    EXPECT_EQ(sent->done, 4u);
    Station b;
    Database db = b.open();
    auto pulled = receive_transfers(server("station_b"), "lab-b", db, b.storage());
    ASSERT_TRUE(pulled) << pulled.message();
    EXPECT_EQ(pulled->done, 4u);
    auto listed = team_transfers(server("station_b"), {});
    ASSERT_TRUE(listed) << listed.message();
    EXPECT_EQ(listed->rows.size(), 4u);

    auto session = pg::Session::open(server("station_b"));
    ASSERT_TRUE(session);
    for (const char* statement : {"DELETE FROM nlx.records", "UPDATE nlx.transfers SET port = ''",
                                  "TRUNCATE nlx.recordings", "CREATE TABLE nlx.extra (x int)",
                                  "DROP TABLE nlx.history_files"}) {
        SCOPED_TRACE(statement);
        EXPECT_FALSE(session->exec(statement));
    }
    EXPECT_EQ(count("SELECT count(*) FROM nlx.records"), count("SELECT sum(record_rows) FROM nlx.transfers"));
}

// The recordings of the live level go with the transfers: what the server lacks of each, once.
TEST_F(TeamStore, RecordingsAreSentAndCompleted) {
    Station a;
    long long id = 0;
    {
        Database db = a.open();
        auto begun = db.begin_recording({'a', "/dev/ttyUSB0", 9600, 1798000000000});
        ASSERT_TRUE(begun) << begun.message();
        id = *begun;
        ASSERT_TRUE(db.append_recorded(id, 0, {{0, 553}, {100, std::nullopt}, {200, 561}}));
    }
    auto first = send_transfers(server(), "lab-a", a.open(), a.storage());
    ASSERT_TRUE(first) << first.message();
    EXPECT_EQ(first->recordings, 1u);
    EXPECT_EQ(first->samples, 3u);
    {
        Database db = a.open();
        ASSERT_TRUE(db.append_recorded(id, 3, {{300, 570}, {400, 566}}));
        ASSERT_TRUE(db.end_recording(id, "stopped"));
    }
    auto second = send_transfers(server(), "lab-a", a.open(), a.storage());
    ASSERT_TRUE(second) << second.message();
    EXPECT_EQ(second->samples, 2u);
    auto third = send_transfers(server(), "lab-a", a.open(), a.storage());
    ASSERT_TRUE(third) << third.message();
    EXPECT_EQ(third->recordings, 0u);
    EXPECT_EQ(sql("SELECT string_agg(position || '@' || offset_ms || '=' || coalesce(tenths::text, '-'), ' ' ORDER BY position)"
                  " FROM nlx.recording_samples"),
              "1@0=553 2@100=- 3@200=561 4@300=570 5@400=566");
    EXPECT_EQ(sql("SELECT how FROM nlx.recording_ends"), "stopped");
}

// The README's query of daily levels gives, for a day measured as one 24-hour run, the Ld and Ln
// the program's 24-hour chart shows for that run; the run downloaded twice counts once.
TEST_F(TeamStore, DailyLevelsQueryAgreesWithThe24HourChart) {
    std::vector<sim::GroupB> run;
    for (const auto& g : sim::realistic_groups_b(80, 31))
        if (g.type == 1 && run.size() < 24 && (!run.empty() || g.start.hour == 0)) run.push_back(g);
    ASSERT_EQ(run.size(), 24u);
    ASSERT_EQ(run.front().start.day, run.back().start.day);
    Capture capture;
    capture.data = sim::encode_transfer_b(run);
    const auto count_pair = count_bytes(model_of('b'), std::int32_t(capture.data.size() / 256));
    ASSERT_TRUE(count_pair);
    capture.b1 = (*count_pair)[0];
    capture.b2 = (*count_pair)[1];

    const DecodeResult decoded = decode(model_of('b'), capture.data, transfer_count(model_of('b'), capture.b1, capture.b2));
    ASSERT_EQ(decoded.groups.size(), 24u);
    const ModelInfo& b = *find_model('b');
    const auto time = std::size_t(*record_column_index(b, "TIME")), leq = std::size_t(*record_column_index(b, "Leq"));
    std::array<double, 24> hours{};
    for (const auto& g : decoded.groups) hours[std::size_t(std::stoi(*g.record[time]))] = std::stod(*g.record[leq]);
    long ld = 0, ln = 0, ldn = 0;
    charts::day_night_levels(hours, ld, ln, ldn);

    Station a;
    {
        Database db = a.open();
        const auto when = std::chrono::system_clock::from_time_t(1798000000);
        for (int k = 0; k < 2; ++k)  // the same memory downloaded twice
            ASSERT_TRUE(keep_and_store_transfer(db, a.storage(), model_of('b'), capture, {"", "/dev/ttyUSB0", 9600},
                                                when + std::chrono::hours(k)));
    }
    ASSERT_TRUE(send_transfers(server(), "lab-a", a.open(), a.storage()));
    // Two downloads (captures of their own times) of the same groups.
    ASSERT_EQ(count("SELECT count(*) FROM nlx.records"), 48);
    // A second station's copy of the same memory is its own, and counts for it alone.
    ASSERT_TRUE(send_transfers(server(), "lab-b", a.open(), a.storage()));
    const std::string query = test::read_file(NLX_SOURCE_DIR "/scripts/team-daily-levels.sql");
    ASSERT_FALSE(query.empty());
    auto session = pg::Session::open(server());
    ASSERT_TRUE(session);
    auto days = session->exec(query);
    ASSERT_TRUE(days) << days.message();
    ASSERT_EQ(days->count(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(days->text(r, 0), r ? "lab-b" : "lab-a");
        EXPECT_EQ(std::lround(std::stod(std::string(days->text(r, 2))) * 10), ld) << days->text(r, 1);
        EXPECT_EQ(std::lround(std::stod(std::string(days->text(r, 3))) * 10), ln) << days->text(r, 1);
        EXPECT_EQ(days->text(r, 4), "24");
    }
}

TEST_F(TeamStore, ListsTransfersByStationAndModel) {
    Station a, b;
    test::download_transfers(a, 5, 9);
    test::download_transfers(b, 3, 10, "bd");
    ASSERT_TRUE(send_transfers(server(), "lab-a", a.open(), a.storage()));
    ASSERT_TRUE(send_transfers(server(), "lab-b", b.open(), b.storage()));
    struct Case {
        TransferFilter filter;
        std::size_t rows;
    };
    const Case cases[] = {{{"", 0}, 8}, {{"lab-a", 0}, 5}, {{"", 'b'}, 3}, {{"lab-b", 'd'}, 1}, {{"lab-c", 0}, 0}};
    for (const auto& c : cases) {
        auto listed = team_transfers(server(), c.filter);
        ASSERT_TRUE(listed) << listed.message();
        EXPECT_EQ(listed->rows.size(), c.rows) << c.filter.station << " " << c.filter.model;
        for (const auto& row : listed->rows) {
            if (!c.filter.station.empty()) {
                EXPECT_EQ(row[0].to_text(), c.filter.station);
            }
            if (c.filter.model) {
                EXPECT_EQ(row[3].to_text(), std::string(1, c.filter.model));
            }
        }
    }
    auto check = check_server(server());
    ASSERT_TRUE(check) << check.message();
    EXPECT_EQ(check->stations, 2u);
    EXPECT_EQ(check->transfers, 8u);
    EXPECT_EQ(check->store.version, kTeamSchemaVersion);
}

}  // namespace
}  // namespace nlx::team
