// Probing ports for the instrument on scripted lines: what each kind of port gives, in order,
// each closed before the next; and the probe stopping for the port lock or a stop request.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "core/texts.h"
#include "support/fake_link.h"
#include "link/port_lock.h"
#include "link/port_probe.h"

namespace nlx::link {
namespace {

using namespace std::chrono_literals;

constexpr const char* kBusy = "cannot open serial port /dev/ttyUSB3: the port is busy (another program is using it)";

struct Case {
    const char* device;
    std::function<void(FakeLink&)> script;
    ProbeOutcome outcome;
    int level_tenths;    // answered only
    const char* detail;  // found in the detail; "" when there is none
    bool asked;          // the request byte went out
};

TEST(PortProbe, EachPortIsAskedInTurnAndClosedBeforeTheNext) {
    const Case cases[] = {
        {"answers", [](FakeLink& l) { l.answer({0x1C}, {0x2B, 0x02}, 3ms); }, ProbeOutcome::answered, 555, "", true},
        {"answers at the end of the wait", [](FakeLink& l) { l.answer({0x1C}, {0xF4, 0x01}, 295ms); },
         ProbeOutcome::answered, 500, "", true},
        {"answers too late", [](FakeLink& l) { l.answer({0x1C}, {0x2B, 0x02}, 310ms); }, ProbeOutcome::silent, 0, "", true},
        {"silent", [](FakeLink&) {}, ProbeOutcome::silent, 0, "", true},
        {"three bytes", [](FakeLink& l) { l.answer({0x1C}, {0x2B, 0x02, 0x00}); }, ProbeOutcome::silent, 0,
         "more than 2 bytes", true},
        {"one byte", [](FakeLink& l) { l.answer({0x1C}, {0x2B}); }, ProbeOutcome::silent, 0, "1 byte", true},
        {"stale bytes only", [](FakeLink& l) { l.feed({0x2B, 0x02}); }, ProbeOutcome::silent, 0, "", true},
        {"held by another program", [](FakeLink& l) { l.fail_open(kBusy); }, ProbeOutcome::skipped, 0, kBusy, false},
        {"write fails", [](FakeLink& l) { l.fail_write("serial port x: write failed (gone)"); }, ProbeOutcome::skipped, 0,
         "write failed", false},
    };
    std::map<std::string, std::unique_ptr<FakeLink>> links;
    std::vector<std::string> devices;
    for (const auto& c : cases) {
        links[c.device] = std::make_unique<FakeLink>();
        c.script(*links[c.device]);
        devices.push_back(c.device);
    }
    std::vector<std::string> asked_for;
    auto link_for = [&](const std::string& device) -> ByteLink& {
        for (const auto& [name, link] : links) EXPECT_FALSE(link->is_open()) << name << " still open at " << device;
        EXPECT_EQ(PortLock::holder(), std::string(texts::kProbeLockHolder));
        asked_for.push_back(device);
        return *links.at(device);
    };

    const ProbeReport report = probe_ports(devices, link_for, ProbeOptions{4800});
    EXPECT_EQ(asked_for, devices);
    EXPECT_FALSE(report.refused);
    EXPECT_FALSE(report.cancelled);
    EXPECT_EQ(PortLock::holder(), std::nullopt);
    ASSERT_EQ(report.ports.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const PortProbe& got = report.ports[i];
        const FakeLink& link = *links.at(c.device);
        SCOPED_TRACE(c.device);
        EXPECT_EQ(got.device, c.device);
        EXPECT_EQ(got.outcome, c.outcome);
        if (c.outcome == ProbeOutcome::answered) {
            EXPECT_EQ(got.level_tenths, c.level_tenths);
        }
        if (*c.detail) {
            EXPECT_NE(got.detail.find(c.detail), std::string::npos) << got.detail;
        } else {
            EXPECT_EQ(got.detail, "");
        }
        EXPECT_FALSE(link.is_open());
        EXPECT_EQ(link.written(), c.asked ? Bytes{0x1C} : Bytes{});
        if (link.open_count() > 0) {
            EXPECT_EQ(link.opened_port(), c.device);
            EXPECT_EQ(link.opened_baud(), 4800);
            EXPECT_EQ(link.opened_flow(), FlowControl::none);
        }
    }
    EXPECT_EQ(report.first_answer(), &report.ports[0]);
}

TEST(PortProbe, StopsForTheHeldPortLockAStopRequestOrWhenAskedAtTheFirstAnswer) {
    FakeLink link;
    {
        auto download = PortLock::try_acquire("数据接收");
        ASSERT_TRUE(download.ok());
        const ProbeReport refused = probe_ports({"a", "b"}, link);
        ASSERT_TRUE(refused.refused);
        EXPECT_NE(refused.refused->find("数据接收"), std::string::npos) << *refused.refused;
        EXPECT_TRUE(refused.ports.empty());
        EXPECT_EQ(link.open_count(), 0);
        EXPECT_EQ(refused.first_answer(), nullptr);
    }

    std::stop_source stop;
    const TimePoint started = link.now();
    link.on_read([&] { stop.request_stop(); });
    const ProbeReport cancelled = probe_ports({"a", "b"}, link, {}, stop.get_token());
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.ports.empty());
    EXPECT_EQ(link.open_count(), 1);  // "b" was never opened
    EXPECT_FALSE(link.is_open());
    EXPECT_LT(link.now() - started, 150ms) << "the stop is seen within one wait slice";
    EXPECT_EQ(PortLock::holder(), std::nullopt);

    FakeLink answering;
    answering.answer({0x1C}, {0x2B, 0x02});
    ProbeOptions first;
    first.until_answered = true;
    const ProbeReport found = probe_ports({"a", "b"}, answering, first);
    ASSERT_EQ(found.ports.size(), 1u);
    EXPECT_EQ(found.ports[0].outcome, ProbeOutcome::answered);
    EXPECT_EQ(answering.open_count(), 1);
}

}  // namespace
}  // namespace nlx::link
