// The download exchange over a scripted line: event order, counts, failures, time-outs, cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <stop_token>

#include "link/download_protocol.h"
#include "core/texts.h"
#include "link/port_lock.h"
#include "support/session_support.h"

namespace nlx::link {
namespace {

using namespace std::chrono_literals;
using test::HookCall;
using test::Recorder;


std::string st(std::string_view text) { return "status:" + std::string(text); }

TEST(DownloadSession, CompletedTransferReportsEveryEventInOrder) {
    FakeLink link;
    ASSERT_TRUE(link.open("leftover", 1200, FlowControl::xon_xoff).ok());  // a port left open
    Bytes data = test::pattern(512);
    test::script_exchange(link, 0, 18, data);  // model a: 128*0 + 18 - 16 = 2 blocks
    Recorder rec;
    std::vector<HookCall> calls;
    TransferSummary two_groups;
    two_groups.record_rows = 2;
    DownloadSession session(link, test::request('a'), rec.observer(), test::recording_hook(calls, link, two_groups));
    auto r = session.run();

    EXPECT_EQ(r.outcome, DownloadOutcome::completed);
    EXPECT_EQ(test::status_of(r), "数据接收完毕");
    ASSERT_TRUE(r.stored.has_value());
    EXPECT_EQ(r.stored->record_rows, 2u);
    EXPECT_EQ(r.count, 2);
    EXPECT_EQ(r.announced, 512u);
    EXPECT_EQ(link.written(), (Bytes{0x1B, 0x40, 0x1A}));
    EXPECT_EQ(link.opened_port(), port_device_name(1));
    EXPECT_EQ(link.opened_baud(), 9600);
    EXPECT_EQ(link.opened_flow(), FlowControl::none);
    EXPECT_EQ(link.open_count(), 2);
    EXPECT_FALSE(link.is_open());

    std::vector<std::string> expected{st("正在接收数据请稍候")};
    for (int p = 0; p <= 99; ++p) expected.push_back(st("数据读取完" + std::to_string(p) + "%"));
    expected.push_back(st("数据接收完毕"));
    EXPECT_EQ(rec.events, expected);

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].complete);
    EXPECT_FALSE(calls[0].port_open);  // stored only after the port was closed
    EXPECT_EQ(calls[0].capture.b1, 0);
    EXPECT_EQ(calls[0].capture.b2, 18);
    EXPECT_EQ(calls[0].capture.data, data);

    ASSERT_FALSE(rec.progress.empty());
    EXPECT_EQ(rec.progress.front(), std::make_pair(std::size_t(0), std::size_t(512)));
    EXPECT_EQ(rec.progress.back(), std::make_pair(std::size_t(512), std::size_t(512)));
    EXPECT_EQ(rec.states, (std::vector<DownloadState>{DownloadState::opening, DownloadState::waiting_for_acknowledge,
                                                       DownloadState::requesting, DownloadState::receiving,
                                                       DownloadState::storing, DownloadState::idle}));
}

TEST(DownloadSession, ModelECountsItsTransferInBytes) {
    FakeLink link;
    Bytes data = test::pattern(320);
    test::script_exchange(link, 64, 129, data);  // 256*(129-128) + 64 = 320 bytes
    Recorder rec;
    std::vector<HookCall> calls;
    auto r = DownloadSession(link, test::request('e'), rec.observer(), test::recording_hook(calls, link)).run();
    EXPECT_EQ(r.outcome, DownloadOutcome::completed);
    EXPECT_EQ(r.count, 320);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].capture.data, data);

    ASSERT_GE(rec.events.size(), 4u);
    EXPECT_EQ(rec.events[0], st("正在接收数据请稍候"));
    EXPECT_EQ(rec.events[1], st("数据读取完0%"));
    auto statuses = rec.statuses();
    // 320 bytes: the percentage moves in steps of 100/320; 99 % is the last before the end.
    EXPECT_EQ(statuses[statuses.size() - 2], "数据读取完99%");
    EXPECT_EQ(statuses.back(), "数据接收完毕");
}

TEST(DownloadSession, CountBytesDecideTheTransferSize) {
    struct Case {
        char model;
        std::uint8_t b1, b2;
        std::size_t bytes;
    };
    const Case cases[] = {
        {'a', 1, 16, 128 * 256},  // 128 blocks
        {'b', 0, 20, 4 * 256},
        {'c', 0, 131, 3 * 256},
        {'c', 200, 131, 3 * 256},  // b1 plays no part for model c
        {'d', 0, 17, 256},
        {'e', 64, 129, 320},
        {'a', 4, 16, 512 * 256},  // more than the classic 127,001-byte buffer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.model) + " " + std::to_string(c.b1) + " " + std::to_string(c.b2));
        FakeLink link;
        Bytes data = test::pattern(c.bytes, c.b2);
        test::script_exchange(link, c.b1, c.b2, data);
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request(c.model), {}, test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::completed);
        EXPECT_EQ(r.announced, c.bytes);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_TRUE(calls[0].complete);
        EXPECT_EQ(calls[0].capture.data, data);
    }
}

TEST(DownloadSession, ZeroOrNegativeCountIsNoDataAndStoresNothing) {
    struct Case {
        char model;
        std::uint8_t b1, b2;
        std::int32_t n;
    };
    const Case cases[] = {{'a', 0, 16, 0}, {'a', 0, 0, -16}, {'d', 0, 3, -13},
                          {'c', 9, 128, 0}, {'c', 0, 100, -28}, {'e', 0, 128, 0}, {'e', 5, 127, -251}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.model) + " " + std::to_string(c.b1) + " " + std::to_string(c.b2));
        FakeLink link;
        test::script_exchange(link, c.b1, c.b2, test::pattern(600));  // any trailing bytes are ignored
        Recorder rec;
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request(c.model), rec.observer(), test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::no_data);
        EXPECT_EQ(test::status_of(r), "声级计中无数据");
        EXPECT_EQ(r.count, c.n);
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(link.is_open());
        EXPECT_EQ(rec.events, (std::vector<std::string>{st("正在接收数据请稍候"), st("声级计中无数据")}));
        ASSERT_TRUE(r.capture.has_value());
        EXPECT_EQ(r.capture->b1, c.b1);
        EXPECT_TRUE(r.capture->data.empty());
    }
}

TEST(DownloadSession, AcknowledgeFailures) {
    {   // a wrong answer to the attention bytes
        FakeLink link;
        link.answer({0x1B, 0x40}, {0x55});
        Recorder rec;
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request('a'), rec.observer(), test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::bad_ack);
        EXPECT_EQ(test::status_of(r), "收到应答信号错误");
        EXPECT_EQ(rec.events, (std::vector<std::string>{st("收到应答信号错误")}));
        EXPECT_EQ(link.written(), (Bytes{0x1B, 0x40}));  // no request after a wrong answer
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(link.is_open());
        EXPECT_FALSE(r.capture.has_value());
    }
    {   // silence: two seconds on the line's clock, then the no-answer text
        FakeLink link;
        Recorder rec;
        std::vector<HookCall> calls;
        auto start = link.now();
        auto r = DownloadSession(link, test::request('a'), rec.observer(), test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::no_ack);
        EXPECT_EQ(test::status_of(r), "串行接口没有收到应答信号,可能是串行口号选的不对或传输线没有接好.");
        EXPECT_EQ(rec.events, (std::vector<std::string>{st(texts::kNoAcknowledge)}));
        EXPECT_GE(link.now() - start, kAcknowledgeWait);
        EXPECT_LT(link.now() - start, kAcknowledgeWait + 200ms);
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(link.is_open());
    }
    {   // an acknowledge just inside the two seconds is taken
        FakeLink link;
        link.answer({0x1B, 0x40}, {0xAA}, 1900ms);
        link.answer({0x1A}, {0, 17, 1});
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request('e'), {}, test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::no_data);  // e: 256*(17-128) < 0
    }
}

TEST(DownloadSession, StaleBytesAreDiscardedAndNotTakenAsTheAcknowledge) {
    FakeLink link;
    link.feed({0x13, 0x55, 0x00});  // left in the port by an earlier exchange
    Bytes data = test::pattern(256);
    test::script_exchange(link, 0, 17, data);
    std::vector<HookCall> calls;
    auto r = DownloadSession(link, test::request('a'), {}, test::recording_hook(calls, link)).run();
    EXPECT_EQ(r.outcome, DownloadOutcome::completed);
    EXPECT_EQ(link.discarded(), 3u);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].capture.data, data);
}

TEST(DownloadSession, CountBytesAreWaitedForFiveSeconds) {
    {   // only one count byte ever comes
        FakeLink link;
        link.answer({0x1B, 0x40}, {0xAA});
        link.answer({0x1A}, {0x00});
        Recorder rec;
        std::vector<HookCall> calls;
        auto requested = link.now();
        auto r = DownloadSession(link, test::request('a'), rec.observer(), test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::no_count);
        EXPECT_EQ(test::status_of(r), std::string(texts::kNoAcknowledge));
        EXPECT_EQ(rec.events, (std::vector<std::string>{st("正在接收数据请稍候"), st(texts::kNoAcknowledge)}));
        EXPECT_GE(link.now() - requested, kCountWait);
        EXPECT_LT(link.now() - requested, kCountWait + 200ms);
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(link.is_open());
    }
    {   // count bytes late but inside the five seconds
        FakeLink link;
        link.answer({0x1B, 0x40}, {0xAA});
        Bytes reply{0, 17};
        Bytes data = test::pattern(256);
        reply.insert(reply.end(), data.begin(), data.end());
        link.answer({0x1A}, reply, 4800ms);
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request('a'), {}, test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::completed);
    }
}

TEST(DownloadSession, ReceptionTimeOutStoresExactlyThePartialData) {
    FakeLink link;
    Bytes data = test::pattern(3 * 256);
    Bytes sent(data.begin(), data.begin() + 300);  // stops in the middle of block 1
    test::script_exchange(link, 0, 19, sent);
    Recorder rec;
    std::vector<HookCall> calls;
    auto r = DownloadSession(link, test::request('a'), rec.observer(), test::recording_hook(calls, link)).run();
    EXPECT_EQ(r.outcome, DownloadOutcome::incomplete_stored);
    EXPECT_EQ(test::status_of(r), "串行接收的数据有丢失");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FALSE(calls[0].complete);
    EXPECT_FALSE(calls[0].port_open);
    EXPECT_EQ(calls[0].capture.b2, 19);
    EXPECT_EQ(calls[0].capture.data, sent);  // no zero padding
    auto statuses = rec.statuses();
    EXPECT_EQ(statuses.back(), "串行接收的数据有丢失");
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "数据接收完毕"), 0);
    EXPECT_EQ(statuses[statuses.size() - 2], texts::progress_text(299, 768));
    EXPECT_EQ(rec.reception_ends, std::vector<bool>{false});
    EXPECT_FALSE(link.is_open());
}

TEST(DownloadSession, DataTimeOutCountsFromTheLastByteAndGrowsAtLowSpeeds) {
    EXPECT_EQ(data_wait(9600), 2000ms);
    EXPECT_EQ(data_wait(2400), 4268ms);  // four blocks of 1.067 s
    EXPECT_EQ(data_wait(1200), 8536ms);

    auto trickle = [](int baud, std::chrono::milliseconds gap) {
        FakeLink link;
        test::script_exchange(link, 0, 17, test::pattern(100));
        Bytes rest = test::pattern(156, 3);
        link.feed_after(gap, Bytes(rest.begin(), rest.begin() + 100));
        link.feed_after(2 * gap, Bytes(rest.begin() + 100, rest.end()));
        std::vector<HookCall> calls;
        return DownloadSession(link, test::request('a', baud), {}, test::recording_hook(calls, link)).run().outcome;
    };
    // Bytes keep coming every 1.8 s: never two silent seconds at 9600 bit/s.
    EXPECT_EQ(trickle(9600, 1800ms), DownloadOutcome::completed);
    // A 5 s gap is a loss at 9600 bit/s but within the wait at 1200 bit/s.
    EXPECT_EQ(trickle(9600, 5000ms), DownloadOutcome::incomplete_stored);
    EXPECT_EQ(trickle(1200, 5000ms), DownloadOutcome::completed);
}

TEST(DownloadSession, CancellationStoresNothingAndClosesThePort) {
    auto run_with_stop = [](FakeLink& link, std::stop_source& source, std::vector<HookCall>& calls, Recorder& rec) {
        return DownloadSession(link, test::request('a'), rec.observer(), test::recording_hook(calls, link))
            .run(source.get_token());
    };
    {   // while waiting for the acknowledge
        FakeLink link;
        std::stop_source source;
        int reads = 0;
        link.on_read([&] {
            if (++reads == 3) source.request_stop();
        });
        std::vector<HookCall> calls;
        Recorder rec;
        auto start = link.now();
        auto r = run_with_stop(link, source, calls, rec);
        EXPECT_EQ(r.outcome, DownloadOutcome::cancelled);
        EXPECT_EQ(test::status_of(r), "数据接收已取消");
        EXPECT_EQ(rec.statuses().back(), "数据接收已取消");
        EXPECT_LE(link.now() - start, 3 * kCancelSlice);  // seen within one slice of the request
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(link.is_open());
    }
    {   // in the middle of the data
        FakeLink link;
        test::script_exchange(link, 0, 20, {});
        Bytes data = test::pattern(1024);
        for (std::size_t i = 0; i < data.size(); i += 64)
            link.feed_after(std::chrono::milliseconds(10 * (i / 64 + 1)), Bytes(data.begin() + i, data.begin() + i + 64));
        std::stop_source source;
        link.on_read([&] {
            if (link.bytes_read() > 2 + 300) source.request_stop();
        });
        std::vector<HookCall> calls;
        Recorder rec;
        auto r = run_with_stop(link, source, calls, rec);
        EXPECT_EQ(r.outcome, DownloadOutcome::cancelled);
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(link.is_open());
        EXPECT_EQ(rec.events.back(), st("数据接收已取消"));
    }
    {   // after the last byte, before storing
        FakeLink link;
        test::script_exchange(link, 0, 17, test::pattern(256));
        std::stop_source source;
        std::vector<HookCall> calls;
        Recorder rec;
        auto observer = rec.observer();
        auto record_end = observer.reception_ended;
        observer.reception_ended = [&](bool complete) {
            record_end(complete);
            if (complete) source.request_stop();
        };
        auto r = DownloadSession(link, test::request('a'), observer, test::recording_hook(calls, link)).run(source.get_token());
        EXPECT_EQ(r.outcome, DownloadOutcome::cancelled);
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(link.is_open());
    }
}

TEST(DownloadSession, PortFailuresAreReportedAndLeaveThePortClosed) {
    {
        FakeLink link;
        link.fail_open("cannot open serial port /dev/ttyS0: no such port");
        Recorder rec;
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request('a'), rec.observer(), test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::port_error);
        EXPECT_EQ(test::status_of(r), "串行口错误: cannot open serial port /dev/ttyS0: no such port");
        EXPECT_EQ(rec.events, (std::vector<std::string>{st(test::status_of(r))}));
        EXPECT_TRUE(link.written().empty());
        EXPECT_TRUE(calls.empty());
    }
    {
        FakeLink link;
        link.fail_write("write failed");
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request('a'), {}, test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::port_error);
        EXPECT_EQ(r.detail, "write failed");
        EXPECT_FALSE(link.is_open());
        EXPECT_TRUE(calls.empty());
    }
    {   // the line fails before the acknowledge
        FakeLink link;
        link.fail_read("read failed (Input/output error)");
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request('a'), {}, test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::port_error);
        EXPECT_FALSE(link.is_open());
        EXPECT_TRUE(calls.empty());
    }
    {   // the line fails during the data: what came is kept, as after a time-out
        FakeLink link;
        Bytes data = test::pattern(512);
        test::script_exchange(link, 0, 18, data);
        link.fail_read("read failed (Input/output error)", 1 + 2 + 200);
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request('a'), {}, test::recording_hook(calls, link)).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::incomplete_stored);
        EXPECT_EQ(test::status_of(r), "串行接收的数据有丢失");
        EXPECT_EQ(r.detail, "read failed (Input/output error)");
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].capture.data, Bytes(data.begin(), data.begin() + 200));
        EXPECT_FALSE(link.is_open());
    }
}

TEST(DownloadSession, HookFailureBecomesTheFinalStatus) {
    {
        FakeLink link;
        test::script_exchange(link, 0, 17, test::pattern(256));
        Recorder rec;
        std::vector<HookCall> calls;
        auto r = DownloadSession(link, test::request('a'), rec.observer(),
                                 test::recording_hook(calls, link, fail("cannot write the record table"))).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::store_failed);
        EXPECT_EQ(test::status_of(r), "cannot write the record table");
        EXPECT_EQ(rec.events.back(), st("cannot write the record table"));
        EXPECT_EQ(calls.size(), 1u);
    }
    {   // a hook that throws is a failure too, and the port is closed all the same
        FakeLink link;
        test::script_exchange(link, 0, 17, test::pattern(256));
        auto r = DownloadSession(link, test::request('a'), {}, [](const Capture&, bool) -> Result<TransferSummary> {
                     throw std::runtime_error("disk full");
                 }).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::store_failed);
        EXPECT_NE(test::status_of(r).find("disk full"), std::string::npos);
        EXPECT_FALSE(link.is_open());
        EXPECT_FALSE(PortLock::holder().has_value());
    }
}

TEST(DownloadSession, OneSerialCommandAtATime) {
    FakeLink link;
    test::script_exchange(link, 0, 17, test::pattern(256));
    {
        auto monitor = PortLock::try_acquire("实时监测");
        ASSERT_TRUE(monitor.ok());
        Recorder rec;
        auto r = DownloadSession(link, test::request('a'), rec.observer(), {}).run();
        EXPECT_EQ(r.outcome, DownloadOutcome::port_busy);
        EXPECT_EQ(test::status_of(r), "串行口正被另一个操作使用(实时监测)");
        EXPECT_EQ(rec.events, (std::vector<std::string>{st(test::status_of(r))}));
        EXPECT_EQ(link.open_count(), 0);
    }
    std::optional<std::string> holder_while_storing;
    bool second_refused = false;
    auto r = DownloadSession(link, test::request('a'), {}, [&](const Capture&, bool) -> Result<TransferSummary> {
                 holder_while_storing = PortLock::holder();
                 second_refused = !PortLock::try_acquire("打印").ok();
                 return TransferSummary{};
             }).run();
    EXPECT_EQ(r.outcome, DownloadOutcome::completed);
    EXPECT_EQ(holder_while_storing, std::optional<std::string>("数据接收"));
    EXPECT_TRUE(second_refused);
    EXPECT_FALSE(PortLock::holder().has_value());
}

TEST(DownloadSession, ExceptionFromAnObserverStillClosesThePortAndReleasesTheLock) {
    FakeLink link;
    test::script_exchange(link, 0, 17, test::pattern(256));
    DownloadObserver o;
    o.progress = [](std::size_t received, std::size_t) {
        if (received >= 128) throw std::runtime_error("window gone");
    };
    EXPECT_THROW(DownloadSession(link, test::request('a'), o, {}).run(), std::runtime_error);
    EXPECT_FALSE(link.is_open());
    EXPECT_EQ(link.close_count(), 1);
    EXPECT_FALSE(PortLock::holder().has_value());
}

}  // namespace
}  // namespace nlx::link
