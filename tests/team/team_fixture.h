// The server tests' common ground: one PostgreSQL cluster per test process with a fresh
// database, and stations (application folders) holding logged transfers.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "core/capture.h"
#include "sim/generated_content.h"
#include "store/database.h"
#include "transfer/transfer.h"
#include "support/pg_cluster.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

namespace nlx::test {

// The test is skipped, naming the reason, where this machine cannot run the server; with
// NLX_POSTGRES_REQUIRED=1 it fails instead.
class TeamServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!cluster()) cluster() = PgCluster::start(why());
    }
    static void TearDownTestSuite() { cluster().reset(); }

    void SetUp() override {
        if (!cluster()) {
            if (PgCluster::required()) FAIL() << "no PostgreSQL server: " << why();
            GTEST_SKIP() << "no PostgreSQL server: " << why();
        }
        const std::string made = cluster()->sql("postgres", "CREATE DATABASE team");
        ASSERT_EQ(made.rfind("ERROR", 0), std::string::npos) << made;
    }
    void TearDown() override {
        if (cluster()) cluster()->sql("postgres", "DROP DATABASE IF EXISTS team WITH (FORCE)");
    }

    static std::unique_ptr<PgCluster>& cluster() {
        static std::unique_ptr<PgCluster> c;
        return c;
    }
    static std::string& why() {
        static std::string w;
        return w;
    }
    std::string server(const std::string& user = PgCluster::kAdmin) const { return cluster()->conninfo("team", user); }
    std::string sql(const std::string& statements) const { return cluster()->sql("team", statements); }
    long long count(const std::string& query) const { return std::stoll("0" + sql(query)); }

    // Every transfer on the server is whole: as many record, distribution and history rows as
    // its entry says it stored, and a capture whose digest is its key.
    void expect_whole_transfers() const {
        EXPECT_EQ(sql("SELECT count(*) FROM nlx.transfers t WHERE"
                      " (SELECT count(*) FROM nlx.records r WHERE r.transfer = t.id) <> t.record_rows"
                      " OR (SELECT count(*) FROM nlx.distributions d WHERE d.transfer = t.id) <> t.distribution_rows"
                      " OR encode(sha256(t.capture), 'hex') <> t.sha256"
                      " OR (t.model = 'a' AND t.record_rows > 0 AND"
                      "     NOT EXISTS (SELECT 1 FROM nlx.history_files h WHERE h.transfer = t.id))"),
                  "0");
    }
};

// An application folder with its record database and storage folder, as one laptop has them.
struct Station {
    TempDir dir;
    std::filesystem::path home() const { return dir.path(); }
    std::filesystem::path db_file() const { return dir / "noise.db"; }
    std::filesystem::path storage() const { return dir / "3140A存储文件"; }
    std::map<std::string, std::string> env() const { return {{"NLX_HOME", home().string()}}; }
    Database open() const {
        auto db = Database::create_or_open(db_file());
        EXPECT_TRUE(db) << (db ? "" : db.message());
        return std::move(*db);
    }
};

// Stores `count` generated transfers as downloads store them, models in the order of `models`
// over and over, a minute apart from `first_minute`; the groups differ by `seed`.
inline void download_transfers(const Station& station, int count, std::uint32_t seed, const std::string& models = "abcde",
                               int groups = 12, int first_minute = 0) {
    Database db = station.open();
    const auto start = std::chrono::system_clock::from_time_t(1798000000);
    for (int i = 0; i < count; ++i) {
        const char model = models[std::size_t(i) % models.size()];
        auto capture = sim::generated_capture(model_of(model), groups, seed * 1000 + std::uint32_t(i));
        ASSERT_TRUE(capture) << capture.message();
        const auto when = start + std::chrono::minutes(first_minute + i);
        auto stored = keep_and_store_transfer(db, station.storage(), model_of(model), *capture, {"", "/dev/ttyUSB0", 9600}, when);
        ASSERT_TRUE(stored) << stored.message();
    }
}

}  // namespace nlx::test
