// Recording the live level over a scripted line: a request every tick from the first reply on,
// gaps for ticks without their reply, the levels the monitor shows, and the recording stored.
#include <gtest/gtest.h>

#include <stop_token>

#include "core/texts.h"
#include "support/fake_link.h"
#include "link/recorded_monitor.h"
#include "support/temp_dir.h"

namespace nlx::link {
namespace {

using namespace std::chrono_literals;

// What the instrument does with one request.
struct Step {
    Bytes reply;  // empty: no answer
    std::chrono::milliseconds delay = 5ms;
};
Step level(int tenths) { return {{std::uint8_t(tenths & 0xFF), std::uint8_t(tenths >> 8)}}; }
const Step kSilent{};

struct Recorded {
    MonitorResult result;
    std::vector<LiveSample> samples;
    std::vector<std::string> shown, messages;
    TimePoint first_request{};
};

// Records on `link` until `count` samples have come.
Recorded record(FakeLink& link, char model, const std::vector<Step>& steps, std::size_t count) {
    for (const auto& s : steps) link.answer({kLiveLevelRequest}, s.reply, s.delay);
    Recorded out;
    std::stop_source stop;
    MonitorObserver observer;
    observer.shown = [&](const LiveLevel& l) { out.shown.push_back(l.text); };
    observer.silent = [&] { out.messages.push_back(monitor_silence_text()); };
    observer.ended = [&](MonitorOutcome outcome, const std::string& detail) {
        if (outcome != MonitorOutcome::no_reply)
            if (auto text = monitor_ending_text(outcome, detail); !text.empty()) out.messages.push_back(text);
    };
    observer.sample = [&](const LiveSample& s) {
        out.samples.push_back(s);
        if (out.samples.size() == count) stop.request_stop();
    };
    MonitorRequest request{*find_model(model), PortSpec{1, {}}, 9600};
    request.record = true;
    out.first_request = link.now();
    MonitorSession session(link, request, observer);
    out.result = session.run(stop.get_token());
    return out;
}

TEST(RecordingSession, EveryTickIsASampleOrAGap) {
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::vector<std::optional<int>> expected;  // tenths shown (model b adds 30 dB)
    };
    const Step three_bytes{{0x58, 0x03, 0x00}};
    const Step late{{0x58, 0x03}, 150ms};
    const Case cases[] = {
        {"replies and a silent stretch", {level(856), level(857), kSilent, kSilent, level(100)},
         {1156, 1157, std::nullopt, std::nullopt, 400}},
        {"three bytes are no reply", {level(856), three_bytes, level(856)}, {1156, std::nullopt, 1156}},
        // A reply after its tick is a gap; landing after the next tick's reply, it is dropped.
        {"a late reply", {level(500), late, level(600), level(700)}, {800, std::nullopt, 900, 1000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeLink link;
        const auto run = record(link, 'b', c.steps, c.expected.size());
        EXPECT_EQ(run.result.outcome, MonitorOutcome::stopped);
        EXPECT_FALSE(link.is_open());
        ASSERT_EQ(run.samples.size(), c.expected.size());
        for (std::size_t k = 0; k < c.expected.size(); ++k) {
            EXPECT_EQ(run.samples[k].tenths, c.expected[k]) << k;
            // Tick k begins 100 ms after tick k − 1; a reply is stamped when it came (5 ms in),
            // a gap at the start of its tick.
            const auto tick = run.first_request + std::chrono::milliseconds(100 * k);
            EXPECT_EQ(run.samples[k].at, c.expected[k] ? tick + 5ms : tick) << k;
        }
        // One request a tick, none after the stop.
        EXPECT_EQ(link.written(), Bytes(c.expected.size(), kLiveLevelRequest));
    }
}

TEST(RecordingSession, SilenceIsToldOnceAndTheRecordingGoesOn) {
    FakeLink link;
    std::vector<Step> steps{level(600)};
    for (int k = 0; k < 25; ++k) steps.push_back(kSilent);
    for (int k = 0; k < 10; ++k) steps.push_back(level(610));
    const auto run = record(link, 'e', steps, steps.size());
    EXPECT_EQ(run.result.outcome, MonitorOutcome::stopped);
    EXPECT_EQ(run.messages, std::vector<std::string>{std::string(texts::kLiveNoReply)});
    // Every tenth reply is shown, as without a recording: the tenth is the last.
    EXPECT_EQ(run.shown, std::vector<std::string>{"Lp=61.0dB"});
    std::size_t gaps = 0;
    for (const auto& s : run.samples) gaps += !s.tenths;
    EXPECT_EQ(gaps, 25u);
}

TEST(RecordedMonitor, StoresWhatItRecordsAndSaysHowItEnded) {
    test::TempDir dir;
    auto db = Database::create_or_open(dir / "noise.db");
    ASSERT_TRUE(db) << db.message();
    FakeLink link;
    // 80.0 and 90.0 dB by turns (model e shows the reply as it is), one silent tick among them.
    for (int k = 0; k < 30; ++k)
        link.answer({kLiveLevelRequest}, k == 13 ? Bytes{} : Bytes{std::uint8_t(k % 2 ? 0x84 : 0x20), 0x03});
    std::stop_source stop;
    std::size_t samples = 0;
    std::vector<long long> progress_at;
    MonitorObserver observer;
    observer.sample = [&](const LiveSample&) {
        if (++samples == 25) stop.request_stop();
    };
    const auto result = record_monitor(link, {*find_model('e'), PortSpec{1, {}}, 9600}, observer, *db,
                                       [&](const RecordingProgress& p) { progress_at.push_back(p.duration_ms); },
                                       stop.get_token());
    EXPECT_EQ(result.monitor.outcome, MonitorOutcome::stopped);
    EXPECT_TRUE(result.store_error.empty()) << result.store_error;
    ASSERT_NE(result.recording, 0);
    EXPECT_EQ(result.summary.samples, 24u);
    EXPECT_EQ(result.summary.gaps, 1u);
    EXPECT_EQ(result.duration_ms, 2400);
    EXPECT_EQ(progress_at, (std::vector<long long>{1000, 2000}));

    auto stored = db->recording(result.recording);
    ASSERT_TRUE(stored && stored->has_value());
    EXPECT_EQ((*stored)->ended, "stopped");
    EXPECT_EQ((*stored)->rows, 25u);
    EXPECT_EQ(summary_line((*stored)->summary), summary_line(result.summary));
    EXPECT_EQ((*stored)->summary.lmax, 900);
    EXPECT_EQ((*stored)->summary.lmin, 800);
}

TEST(RecordedMonitor, AnInstrumentThatNeverAnswersLeavesNoRecording) {
    test::TempDir dir;
    auto db = Database::create_or_open(dir / "noise.db");
    ASSERT_TRUE(db);
    FakeLink link;
    const auto result = record_monitor(link, {*find_model('a'), PortSpec{1, {}}, 9600}, {}, *db, {}, {});
    EXPECT_EQ(result.monitor.outcome, MonitorOutcome::no_reply);
    EXPECT_EQ(result.recording, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "noise.db"));
}

}  // namespace
}  // namespace nlx::link
