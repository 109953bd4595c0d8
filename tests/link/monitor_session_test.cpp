// The live-level exchange over a scripted line: replies shown one in ten at the tick's pace,
// silence, more than two bytes, a late reply, a busy port and the operator closing the monitor.
#include <gtest/gtest.h>

#include <stop_token>

#include "core/texts.h"
#include "support/fake_link.h"
#include "link/monitor_session.h"
#include "link/port_lock.h"

namespace nlx::link {
namespace {

using namespace std::chrono_literals;

struct MonitorRun {
    MonitorResult result;
    std::vector<std::string> shown, messages;
    std::chrono::nanoseconds took{};
};

MonitorRun monitor(FakeLink& link, char model, std::function<void(MonitorRun&, std::stop_source&)> on_shown = {}) {
    MonitorRun run;
    std::stop_source stop;
    MonitorObserver observer;
    observer.shown = [&](const LiveLevel& level) {
        run.shown.push_back(level.text);
        if (on_shown) on_shown(run, stop);
    };
    observer.silent = [&] { run.messages.push_back(monitor_silence_text()); };
    observer.ended = [&](MonitorOutcome outcome, const std::string& detail) {
        if (outcome != MonitorOutcome::no_reply)
            if (auto text = monitor_ending_text(outcome, detail); !text.empty()) run.messages.push_back(text);
    };
    const TimePoint start = link.now();
    MonitorSession session(link, {*find_model(model), PortSpec{1, {}}, 9600}, observer);
    run.result = session.run(stop.get_token());
    run.took = link.now() - start;
    return run;
}

// `count` replies of 58h 03h (85.6 dB), each `delay` after its request.
void replies(FakeLink& link, int count, std::chrono::nanoseconds delay = 5ms, Bytes reply = {0x58, 0x03}) {
    for (int k = 0; k < count; ++k) link.answer({kLiveLevelRequest}, reply, delay);
}

TEST(MonitorSession, EndsAsTheLineSays) {
    struct Case {
        const char* what;
        int replies;
        Bytes reply;
        std::chrono::nanoseconds delay;
        MonitorOutcome outcome;
        std::vector<std::string> shown, messages;
    } cases[] = {
        {"ten replies, then silence", 10, {0x58, 0x03}, 5ms, MonitorOutcome::no_reply, {"Lp=115.6dB"},
         {std::string(texts::kLiveNoReply)}},
        {"twenty replies", 20, {0x05, 0x00}, 5ms, MonitorOutcome::no_reply, {"Lp=30.5dB", "Lp=30.5dB"},
         {std::string(texts::kLiveNoReply)}},
        {"no instrument", 0, {}, 0ms, MonitorOutcome::no_reply, {}, {std::string(texts::kLiveNoReply)}},
        {"three bytes at once", 3, {0x58, 0x03, 0x00}, 5ms, MonitorOutcome::no_reply, {},
         {std::string(texts::kLiveNoReply)}},
        {"a reply after its tick", 10, {0x58, 0x03}, 150ms, MonitorOutcome::paced_out, {}, {}},
    };
    for (const auto& c : cases) {
        FakeLink link;
        replies(link, c.replies, c.delay, c.reply);
        const auto run = monitor(link, 'a');
        EXPECT_EQ(run.result.outcome, c.outcome) << c.what;
        EXPECT_EQ(run.shown, c.shown) << c.what;
        EXPECT_EQ(run.messages, c.messages) << c.what;
        EXPECT_FALSE(link.is_open()) << c.what;
        EXPECT_EQ(link.opened_flow(), FlowControl::none) << c.what;
    }
}

TEST(MonitorSession, OneReplyATickAndTheMessageShownForItsTime) {
    FakeLink link;
    replies(link, 10);
    const auto run = monitor(link, 'c');
    // Ten requests for ten replies, the eleventh unanswered; replies 2..10 wait for ticks 1..9.
    EXPECT_EQ(link.written(), Bytes(11, kLiveLevelRequest));
    EXPECT_GE(run.took, 900ms + kLiveReplyWait + kNoReplyShown);
    EXPECT_LT(run.took, 1000ms + kLiveReplyWait + kNoReplyShown);
}

TEST(MonitorSession, LateReplyEndsSilentlyAfterTheTicksRunOut) {
    FakeLink link;
    replies(link, 1, 5ms);
    link.answer({kLiveLevelRequest}, {0x58, 0x03}, 250ms);  // sent at 100 ms, reply 2 misses tick 2
    const auto run = monitor(link, 'a');
    EXPECT_EQ(run.result.outcome, MonitorOutcome::paced_out);
    EXPECT_GE(run.took, (kPacingTicks + 1) * kLiveTick);
    EXPECT_LT(run.took, (kPacingTicks + 2) * kLiveTick);
}

TEST(MonitorSession, ClosingTheMonitorEndsWithinATick) {
    FakeLink link;
    replies(link, 100);
    TimePoint stopped_at{};
    const auto run = monitor(link, 'd', [&](MonitorRun& r, std::stop_source& stop) {
        if (r.shown.size() == 2) {
            stopped_at = link.now();
            stop.request_stop();
        }
    });
    EXPECT_EQ(run.result.outcome, MonitorOutcome::stopped);
    EXPECT_EQ(run.shown, (std::vector<std::string>{"Lp=125.6dB", "Lp=125.6dB"}));
    EXPECT_TRUE(run.messages.empty());
    EXPECT_FALSE(link.is_open());
    EXPECT_LE(link.now() - stopped_at, kLiveTick);
}

TEST(MonitorSession, BusyPortIsRefusedWithoutOpeningIt) {
    auto held = PortLock::try_acquire("数据接收");
    ASSERT_TRUE(held);
    FakeLink link;
    const auto run = monitor(link, 'a');
    EXPECT_EQ(run.result.outcome, MonitorOutcome::port_busy);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_NE(run.messages[0].find("数据接收"), std::string::npos);
    EXPECT_EQ(link.open_count(), 0);
}

}  // namespace
}  // namespace nlx::link
