// The TM27 print job over a scripted line: the bytes written, pauses on the virtual clock, the
// endings and their texts, cancelling, and the port closed on every path.
#include <gtest/gtest.h>

#include <memory>
#include <stop_token>

#include "core/texts.h"
#include "support/fake_link.h"
#include "link/port_lock.h"
#include "link/tm27_session.h"

namespace nlx::link {
namespace {

using namespace std::chrono_literals;

const Bytes kInit = {0x1B, 0x40, 0x0D};
const Bytes kSpacing = {0x1B, 0x31, 0x05};

Bytes group(std::uint8_t seed) { return {0x1B, 0x55, 0x02, 'N', 'o', '.', seed, 0x0D, 'x', seed, 0x0D, 0x0D}; }

Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct Recorder {
    std::vector<std::string> events;
    Tm27Observer observer() {
        auto lines = std::make_shared<Tm27StatusLines>([this](const std::string& t) { events.push_back("status:" + t); });
        Tm27Observer o;
        o.ready = [lines] { lines->ready(); };
        o.refused = [lines](std::size_t, const std::string& why) { lines->refused(why); };
        o.ended = [lines](Tm27Outcome outcome, const std::string& detail) { lines->ended(outcome, detail); };
        o.group_printed = [this](std::size_t i, std::size_t n) {
            events.push_back("printed:" + std::to_string(i) + "/" + std::to_string(n));
        };
        o.pause_started = [this](Millis length, std::size_t next) {
            events.push_back("pause:" + std::to_string(length.count()) + "@" + std::to_string(next));
        };
        return o;
    }
};

std::string st(std::string_view text) { return "status:" + std::string(text); }

Tm27Request request(std::vector<Result<Bytes>> groups, Millis pause = 80s) {
    Tm27Request r;
    r.port = PortSpec{1, {}};
    r.baud = 9600;
    r.groups = std::move(groups);
    r.pause = std::make_shared<Tm27Pause>(pause);
    return r;
}

void ready_printer(FakeLink& link) { link.answer(kInit, {0x0D}); }

TEST(Tm27Session, PrintsEachGroupWithThePauseBetweenThem) {
    struct Case {
        const char* what;
        std::vector<Result<Bytes>> groups;
        Millis pause;
        Bytes written;
        std::vector<std::string> events;
    } cases[] = {
        {"one group", {group(1)}, 80s, joined({kInit, kSpacing, group(1), {0x0D}}),
         {st("TM27已准备好!正在打印。"), "printed:0/1", st("打印完成")}},
        {"three groups", {group(1), group(2), group(3)}, 80s,
         joined({kInit, kSpacing, group(1), group(2), group(3), {0x0D}}),
         {st("TM27已准备好!正在打印。"), "printed:0/3", "pause:80000@1", "printed:1/3", "pause:80000@2", "printed:2/3",
          st("打印完成")}},
        {"no pause", {group(1), group(2)}, 0s, joined({kInit, kSpacing, group(1), group(2), {0x0D}}),
         {st("TM27已准备好!正在打印。"), "printed:0/2", "pause:0@1", "printed:1/2", st("打印完成")}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeLink link;
        ready_printer(link);
        link.feed_after(30s, {0x13});  // the printer holds the line during the first pause, then frees it
        link.feed_after(31s, {0x11});
        Recorder rec;
        const auto start = link.now();
        auto r = Tm27Session(link, request(c.groups, c.pause), rec.observer()).run();
        EXPECT_EQ(r.outcome, Tm27Outcome::completed);
        EXPECT_EQ(tm27_status_text(r.outcome, r.detail), "打印完成");
        EXPECT_EQ(r.printed, c.groups.size());
        EXPECT_EQ(link.written(), c.written);
        EXPECT_EQ(rec.events, c.events);
        const auto pauses = c.pause * std::int64_t(c.groups.size() - 1);
        EXPECT_GE(link.now() - start, pauses);
        EXPECT_LT(link.now() - start, pauses + 200ms);
        EXPECT_EQ(link.opened_port(), port_device_name(1));
        EXPECT_EQ(link.opened_baud(), 9600);
        EXPECT_EQ(link.opened_flow(), FlowControl::none);
        // XON/XOFF from the printer once it is ready, before the line spacing is sent.
        EXPECT_EQ(link.flow_changes(), (std::vector<std::pair<FlowControl, std::size_t>>{{FlowControl::xon_xoff, 3}}));
        EXPECT_FALSE(link.is_open());
        EXPECT_FALSE(PortLock::holder().has_value());
    }
}

TEST(Tm27Session, ASpeedChangedDuringTheJobSetsTheFollowingPauses) {
    FakeLink link;
    ready_printer(link);
    auto req = request({group(1), group(2), group(3)}, 80s);
    auto pace = req.pause;
    Recorder rec;
    auto observer = rec.observer();
    observer.group_printed = [&, recorded = observer.group_printed](std::size_t i, std::size_t n) {
        recorded(i, n);
        if (i == 0) pace->set(tm27_pause(Tm27Speed::fast));
    };
    const auto start = link.now();
    auto r = Tm27Session(link, req, observer).run();
    EXPECT_EQ(r.outcome, Tm27Outcome::completed);
    EXPECT_EQ(rec.events[2], "pause:40000@1");
    EXPECT_EQ(rec.events[4], "pause:40000@2");
    EXPECT_GE(link.now() - start, 80s);
    EXPECT_LT(link.now() - start, 81s);
}

TEST(Tm27Session, EachFailureEndsWithItsTextAndThePortClosed) {
    const std::string missing = "第2组的DATE为空，无法用TM27打印";
    struct Case {
        const char* what;
        std::function<void(FakeLink&)> script;
        std::vector<Result<Bytes>> groups;
        Tm27Outcome outcome;
        std::string status;
        Bytes written;
        std::size_t printed;
    } cases[] = {
        {"no answer", [](FakeLink&) {}, {group(1)}, Tm27Outcome::no_answer, "TM27打印机没有接好或没有联机", kInit, 0},
        {"wrong answer", [](FakeLink& l) { l.answer(kInit, {0x55}); }, {group(1)}, Tm27Outcome::bad_answer,
         "收到应答信号错误", kInit, 0},
        {"port cannot open", [](FakeLink& l) { l.fail_open("cannot open serial port /dev/ttyS0: no such port"); },
         {group(1)}, Tm27Outcome::port_error, "串行口错误: cannot open serial port /dev/ttyS0: no such port", {}, 0},
        {"write fails", [](FakeLink& l) { l.fail_write("serial port /dev/ttyS0: write failed (gone)"); }, {group(1)},
         Tm27Outcome::port_error, "串行口错误: serial port /dev/ttyS0: write failed (gone)", {}, 0},
        {"bad group", ready_printer, {group(1), fail(missing), group(3)}, Tm27Outcome::bad_group, missing,
         joined({kInit, kSpacing, group(1), {0x0D}}), 1},
        {"bad first group", ready_printer, {fail(missing)}, Tm27Outcome::bad_group, missing,
         joined({kInit, kSpacing, {0x0D}}), 0},
        {"nothing to print", ready_printer, {}, Tm27Outcome::nothing_to_print, "没有可打印的记录", {}, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeLink link;
        c.script(link);
        Recorder rec;
        const auto start = link.now();
        auto r = Tm27Session(link, request(c.groups), rec.observer()).run();
        EXPECT_EQ(r.outcome, c.outcome) << outcome_name(r.outcome);
        EXPECT_EQ(tm27_status_text(r.outcome, r.detail), c.status);
        EXPECT_EQ(rec.events.back(), st(c.status));
        EXPECT_EQ(link.written(), c.written);
        EXPECT_EQ(r.printed, c.printed);
        EXPECT_FALSE(link.is_open());
        EXPECT_FALSE(PortLock::holder().has_value());
        if (c.outcome == Tm27Outcome::no_answer) {
            EXPECT_GE(link.now() - start, 2s);
            EXPECT_LT(link.now() - start, 2s + 200ms);
        }
    }
}

TEST(Tm27Session, APortHeldByAnotherCommandEndsAtOnce) {
    auto held = PortLock::try_acquire("数据接收");
    ASSERT_TRUE(held.ok());
    FakeLink link;
    ready_printer(link);
    Recorder rec;
    auto r = Tm27Session(link, request({group(1)}), rec.observer()).run();
    EXPECT_EQ(r.outcome, Tm27Outcome::port_busy);
    EXPECT_EQ(tm27_status_text(r.outcome, r.detail), "串行口正被另一个操作使用(数据接收)");
    EXPECT_EQ(rec.events, (std::vector<std::string>{st(tm27_status_text(r.outcome, r.detail))}));
    EXPECT_EQ(link.open_count(), 0);
    EXPECT_EQ(PortLock::holder(), "数据接收");
}

TEST(Tm27Session, CancellingStopsPromptlyAndFeedsThePaperOnceReady) {
    struct Case {
        const char* what;
        bool during_ready_wait;  // else: once group 1 is printed, or 30 s into the pause after it
        bool in_pause;
        Bytes written;
        std::size_t printed;
    } cases[] = {
        {"after group 1", false, false, joined({kInit, kSpacing, group(1), {0x0D}}), 1},
        {"during the pause", false, true, joined({kInit, kSpacing, group(1), {0x0D}}), 1},
        {"before the printer is ready", true, false, kInit, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeLink link;
        if (!c.during_ready_wait) ready_printer(link);
        std::stop_source stop;
        Recorder rec;
        auto observer = rec.observer();
        if (!c.in_pause && !c.during_ready_wait)
            observer.group_printed = [&, recorded = observer.group_printed](std::size_t i, std::size_t n) {
                recorded(i, n);
                stop.request_stop();
            };
        const auto start = link.now();
        const auto stop_at = start + (c.during_ready_wait ? 1s : 30s);
        if (c.in_pause || c.during_ready_wait)
            link.on_read([&] {
                if (link.now() >= stop_at) stop.request_stop();
            });
        auto r = Tm27Session(link, request({group(1), group(2), group(3)}), observer).run(stop.get_token());
        EXPECT_EQ(r.outcome, Tm27Outcome::cancelled);
        EXPECT_EQ(tm27_status_text(r.outcome, r.detail), "TM27打印已取消");
        EXPECT_EQ(rec.events.back(), st("TM27打印已取消"));
        EXPECT_EQ(link.written(), c.written);
        EXPECT_EQ(r.printed, c.printed);
        EXPECT_FALSE(link.is_open());
        EXPECT_FALSE(PortLock::holder().has_value());
        if (c.in_pause || c.during_ready_wait) EXPECT_LT(link.now() - stop_at, 200ms);
        else EXPECT_LT(link.now() - start, 100ms);
    }
}

}  // namespace
}  // namespace nlx::link
