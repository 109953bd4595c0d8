// Recordings of the live level in the record database: batches stored as they fill, a recording
// cut off mid-way read back whole but for its last batch, summaries, and the model tables left
// as they were.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "store/database.h"
#include "store/recording_writer.h"
#include "store/sample_groups.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

Database fresh(const fs::path& file) {
    auto db = Database::create_or_open(file);
    EXPECT_TRUE(db) << db.message();
    return std::move(*db);
}

std::vector<RecordedSample> stored_samples(const Database& db, long long id) {
    std::vector<RecordedSample> out;
    auto scanned = db.scan_recording(id, [&](const RecordedSample& s) { out.push_back(s); });
    EXPECT_TRUE(scanned) << scanned.message();
    return out;
}

TEST(Recordings, BatchesAreStoredAsTheyFillAndTheRestAtTheEnd) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    ASSERT_TRUE(db.replace_model(model_of('b'), test::sample_groups('b', 3, "x")));
    const auto records_before = db.read_table("噪声b");
    ASSERT_TRUE(records_before);

    RecordingWriter writer(db, {'b', "/dev/pts/7", 9600, 1'700'000'000'000LL});
    // 25 requests 100 ms apart: levels 80.0 and 90.0 by turns, every fifth without a reply.
    std::vector<RecordedSample> sent;
    for (int k = 0; k < 25; ++k) {
        RecordedSample s{100LL * k, k % 5 == 4 ? std::nullopt : std::optional<int>(k % 2 ? 900 : 800)};
        sent.push_back(s);
        ASSERT_TRUE(writer.add(s));
        // Stored at once: whole batches of ten; the rest waits for the batch to fill.
        auto read = Database::open_read_only(dir / "noise.db");
        ASSERT_TRUE(read) << read.message();
        EXPECT_EQ(stored_samples(*read, writer.id()).size(), std::size_t((k + 1) / 10 * 10)) << k;
    }
    ASSERT_TRUE(writer.finish("stopped"));

    auto list = db.recordings();
    ASSERT_TRUE(list) << list.message();
    ASSERT_EQ(list->size(), 1u);
    const RecordingInfo& r = list->front();
    EXPECT_EQ(r.id, writer.id());
    EXPECT_EQ(r.header.model, 'b');
    EXPECT_EQ(r.header.port, "/dev/pts/7");
    EXPECT_EQ(r.header.started_ms, 1'700'000'000'000LL);
    EXPECT_EQ(r.ended, "stopped");
    EXPECT_EQ(r.rows, 25u);
    EXPECT_EQ(r.duration_ms(), 2400);
    // 10 at 80.0 and 10 at 90.0: LAeq 87.4; five gaps are no levels.
    EXPECT_EQ(summary_line(r.summary), summary_line(writer.statistics().summary()));
    EXPECT_EQ(r.summary.samples, 20u);
    EXPECT_EQ(r.summary.gaps, 5u);
    EXPECT_EQ(r.summary.laeq, 874);

    const auto back = stored_samples(db, r.id);
    ASSERT_EQ(back.size(), sent.size());
    for (std::size_t k = 0; k < sent.size(); ++k) {
        EXPECT_EQ(back[k].offset_ms, sent[k].offset_ms) << k;
        EXPECT_EQ(back[k].tenths, sent[k].tenths) << k;
    }
    // The model tables are as the download left them.
    auto records_after = db.read_table("噪声b");
    ASSERT_TRUE(records_after);
    EXPECT_EQ(records_after->rows, records_before->rows);
}

TEST(Recordings, ACutOffRecordingKeepsEveryStoredBatch) {
    test::TempDir dir;
    long long id = 0;
    {
        Database db = fresh(dir / "noise.db");
        RecordingWriter writer(db, {'a', "/dev/ttyUSB0", 4800, 0});
        // Samples every 100 ms, then a stretch where only every fourth tick was served: a batch
        // also closes once it spans 900 ms, whatever its count.
        for (int k = 0; k < 13; ++k) ASSERT_TRUE(writer.add({100LL * k, 600 + k}));
        for (int k = 0; k < 4; ++k) ASSERT_TRUE(writer.add({1300 + 400LL * k, 700}));
        id = writer.id();
        // No finish: the process was killed here.
    }
    auto db = Database::open_read_only(dir / "noise.db");
    ASSERT_TRUE(db) << db.message();
    auto one = db->recording(id);
    ASSERT_TRUE(one) << one.message();
    ASSERT_TRUE(one->has_value());
    // 10 in the first batch; 3 + three at 1300..2100 ms span 900 ms; the sample at 2500 ms is lost.
    EXPECT_EQ((*one)->rows, 16u);
    EXPECT_EQ((*one)->last_offset_ms, 2100);
    EXPECT_EQ((*one)->ended, "");
    EXPECT_EQ((*one)->summary.lmax, 700);
    EXPECT_EQ((*one)->summary.lmin, 600);
    auto missing = db->recording(id + 1);
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->has_value());
}

TEST(Recordings, AMonitorThatHeardNothingLeavesNoRecording) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    RecordingWriter writer(db, {'a', "/dev/ttyS0", 9600, 0});
    ASSERT_TRUE(writer.finish("no reply"));
    EXPECT_EQ(writer.id(), 0);
    EXPECT_FALSE(fs::exists(dir / "noise.db")) << "nothing was stored, so no file was made";
}

TEST(Recordings, LocalTimeInIsoFormWithMilliseconds) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    const struct {
        const char* zone;
        long long ms;
        const char* text;
    } cases[] = {
        {"UTC0", 1'234, "1970-01-01T00:00:01.234+00:00"},
        {"CST-8", 1'700'000'000'005LL, "2023-11-15T06:13:20.005+08:00"},
        {"EST5", 1'700'000'000'999LL, "2023-11-14T17:13:20.999-05:00"},
        {"IST-5:30", 0, "1970-01-01T05:30:00.000+05:30"},
    };
    for (const auto& c : cases) {
        setenv("TZ", c.zone, 1);
        tzset();
        EXPECT_EQ(iso_local_time(c.ms), c.text) << c.zone;
    }
    if (old) setenv("TZ", saved.c_str(), 1);
    else unsetenv("TZ");
    tzset();
}

}  // namespace
}  // namespace nlx
