// A writer killed at a random moment leaves the record database with the old or the new rows.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "core/models.h"
#include "store/database.h"
#include "store/sample_groups.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

TEST(DatabaseCrash, KilledWriterLeavesEitherTheOldOrTheNewRows) {
    test::TempDir dir;
    const auto file = dir / "noise.db";
    // Two distinguishable contents: marker in 组号 and a different row count.
    const auto set_a = test::sample_groups('a', 300, "A");
    const auto set_b = test::sample_groups('a', 450, "B", 1000);
    {
        auto db = Database::create_or_open(file);
        ASSERT_TRUE(db) << db.message();
        ASSERT_TRUE(db->replace_model(model_of('a'), set_a));
    }

    std::mt19937 rng(std::random_device{}());
    for (int round = 0; round < 6; ++round) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // The child: rewrite the tables over and over until killed.
            auto db = Database::create_or_open(file);
            if (!db) _exit(3);
            for (;;) {
                if (!db->replace_model(model_of('a'), set_b)) _exit(4);
                if (!db->replace_model(model_of('a'), set_a)) _exit(5);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(30, 700)(rng)));
        ASSERT_EQ(kill(pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended on its own with status " << status;

        auto db = Database::open_existing(file);
        ASSERT_TRUE(db) << db.message();
        auto records = db->read_table("噪声a");
        auto distribution = db->read_table("分布图a");
        ASSERT_TRUE(records && distribution);
        ASSERT_GT(records->rows.size(), 0u);
        const std::size_t group = std::size_t(*record_column_index(*find_model('a'), "组号"));
        const std::string marker = records->rows[0][group].text();
        ASSERT_TRUE(marker == "A" || marker == "B") << marker;
        const auto& expected = marker == "A" ? set_a : set_b;
        ASSERT_EQ(records->rows.size(), expected.size());
        ASSERT_EQ(distribution->rows.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(records->rows[i][group].text(), marker) << "row " << i;
            ASSERT_EQ(records->rows[i][0].text(), *expected[i].record[0]) << "row " << i;
            ASSERT_EQ(distribution->rows[i][0].number(), double(expected[i].distribution->seq)) << "row " << i;
        }
    }
}

}  // namespace
}  // namespace nlx
