// Team store benchmark: TRANSFERS model b transfers of 100 groups (1,000 by default: 100,000
// records) logged by four stations, sent to a PostgreSQL server of the benchmark's own (flushing
// to disk as a real server does) and brought back into fresh databases, with the time per
// transfer each way; then the server-side query of every station's daily Ld and Ln
// (scripts/team-daily-levels.sql) on that data.
//   nlx_bench_team [TRANSFERS]
// Prints the figures and PASS/FAIL against the targets: 25 ms per transfer sent, 50 ms per
// transfer brought in, 2 s for the query. Skipped (exit 0) where no server can start.
#include <libpq-fe.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/capture.h"
#include "sim/generated_content.h"
#include "store/database.h"
#include "transfer/transfer.h"
#include "support/pg_cluster.h"
#include "team/team_sync.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Folder {
    fs::path home;
    fs::path db() const { return home / "noise.db"; }
    fs::path storage() const { return home / "3140A存储文件"; }
};

bool verdict(const char* what, double value, double limit, const char* unit) {
    const bool ok = value <= limit;
    std::printf("  %-34s %9.2f %s (target under %.0f %s) %s\n", what, value, unit, limit, unit, ok ? "PASS" : "FAIL");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const int transfers = argc > 1 ? std::atoi(argv[1]) : 1000;
    constexpr int kStations = 4, kGroups = 100;
    std::string why;
    auto cluster = nlx::test::PgCluster::start(why, true);
    if (!cluster) {
        std::printf("team store: SKIPPED (%s)\n", why.c_str());
        return 0;
    }
    cluster->sql("postgres", "CREATE DATABASE team");
    const std::string server = cluster->conninfo("team");
    const fs::path work = cluster->folder() / "stations";

    // The stations' own databases: each transfer stored as a download stores it.
    std::vector<Folder> stations, pulled;
    for (int s = 0; s < kStations; ++s) {
        stations.push_back({work / ("station-" + std::to_string(s + 1))});
        pulled.push_back({work / ("pulled-" + std::to_string(s + 1))});
    }
    auto start = Clock::now();
    {
        std::vector<nlx::Database> dbs;
        for (const auto& s : stations) {
            fs::create_directories(s.home);
            dbs.push_back(nlx::Database::create_or_open(s.db()).value());
        }
        const auto first = std::chrono::system_clock::from_time_t(1798000000);
        for (int i = 0; i < transfers; ++i) {
            auto capture = nlx::sim::generated_capture(model_of('b'), kGroups, std::uint32_t(i + 1));
            const std::size_t s = std::size_t(i % kStations);
            auto stored = nlx::keep_and_store_transfer(dbs[s], stations[s].storage(), model_of('b'), *capture,
                                                       {"", "/dev/ttyUSB0", 9600}, first + std::chrono::minutes(i));
            if (!stored) {
                std::fprintf(stderr, "cannot store transfer %d: %s\n", i, stored.message().c_str());
                return 1;
            }
        }
    }
    const double local = seconds_since(start);

    start = Clock::now();
    std::size_t sent = 0;
    for (int s = 0; s < kStations; ++s) {
        auto db = nlx::Database::open_read_only(stations[std::size_t(s)].db());
        auto report = nlx::team::send_transfers(server, "station-" + std::to_string(s + 1), *db,
                                                stations[std::size_t(s)].storage());
        if (!report) {
            std::fprintf(stderr, "sync failed: %s\n", report.message().c_str());
            return 1;
        }
        sent += report->done;
    }
    const double send = seconds_since(start);
    const std::string records = cluster->sql("team", "SELECT count(*) FROM nlx.records");
    const std::string size = cluster->sql("team", "SELECT pg_size_pretty(pg_database_size('team'))");

    start = Clock::now();
    std::size_t received = 0;
    for (int s = 0; s < kStations; ++s) {
        fs::create_directories(pulled[std::size_t(s)].home);
        auto db = nlx::Database::create_or_open(pulled[std::size_t(s)].db());
        auto report = nlx::team::receive_transfers(server, "station-" + std::to_string(s + 1), *db,
                                                   pulled[std::size_t(s)].storage());
        if (!report) {
            std::fprintf(stderr, "pull failed: %s\n", report.message().c_str());
            return 1;
        }
        received += report->done;
    }
    const double pull = seconds_since(start);

    std::ifstream file(NLX_SOURCE_DIR "/scripts/team-daily-levels.sql");
    std::stringstream query;
    query << file.rdbuf();
    PGconn* conn = PQconnectdb(server.c_str());
    start = Clock::now();
    PGresult* levels = PQexec(conn, query.str().c_str());
    const double daily = seconds_since(start);
    if (PQresultStatus(levels) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "the daily levels query failed: %s\n", PQresultErrorMessage(levels));
        return 1;
    }
    const int days = PQntuples(levels);

    std::printf("team store: %d model b transfers of %d groups from %d stations (%s records, database %s)\n",
                transfers, kGroups, kStations, records.c_str(), size.c_str());
    std::printf("  stored locally first (not timed below): %.1f s, %.2f ms a transfer\n", local, 1000 * local / transfers);
    std::printf("  sent %zu in %.2f s; brought in %zu in %.2f s; daily Ld/Ln: %d station-days in %.3f s\n", sent, send,
                received, pull, days, daily);
    for (int r = 0; r < days && r < 3; ++r)
        std::printf("    %s %s Ld %s Ln %s (%s groups)\n", PQgetvalue(levels, r, 0), PQgetvalue(levels, r, 1),
                    PQgetvalue(levels, r, 2), PQgetvalue(levels, r, 3), PQgetvalue(levels, r, 4));
    PQclear(levels);
    PQfinish(conn);
    bool ok = sent == std::size_t(transfers) && received == std::size_t(transfers);
    if (!ok) std::printf("  FAIL: not every transfer went both ways\n");
    ok = verdict("sync --to, per transfer", 1000 * send / transfers, 25, "ms") && ok;
    ok = verdict("sync --from, per transfer", 1000 * pull / transfers, 50, "ms") && ok;
    ok = verdict("daily Ld/Ln query", daily, 2, "s") && ok;
    return ok ? 0 : 1;
}
