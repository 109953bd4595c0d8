// Downloads over a real pseudo-terminal: what the virtual instrument sends for each fault, as
// Qt's serial port receives it. The session's own handling of each ending is tested on the fake
// link; here each fault runs once, and the count bytes of the models that differ.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>

#include "link/download_session.h"
#include "link/serial_link.h"
#include "support/session_support.h"
#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx::sim {
namespace {

using namespace std::chrono_literals;
using link::DownloadOutcome;
using link::DownloadSession;
using link::Bytes;
using link::SerialLink;
using link::test::HookCall;

std::int32_t units_for(char model) {
    switch (model) {
    case 'a': return 3;
    case 'b': return 2;
    case 'c': return 3;
    case 'd': return 1;
    default: return 320;  // model e counts bytes
    }
}

link::DownloadRequest request_for(char model, const std::string& device, int baud = 9600) {
    link::DownloadRequest r;
    r.model = *find_model(model);
    r.port = PortSpec{0, device};
    r.baud = baud;
    return r;
}

struct Case {
    char model;
    const char* fault;
};

void PrintTo(const Case& c, std::ostream* os) { *os << "model " << c.model << ", fault " << c.fault; }

class InstrumentDownload : public ::testing::TestWithParam<Case> {};

TEST_P(InstrumentDownload, StatusHookAndPortMatchTheFault) {
    const Case c = GetParam();
    auto fault = parse_fault(c.fault);
    ASSERT_TRUE(fault.ok()) << fault.message();
    const Capture served = patterned_capture(model_of(c.model), units_for(c.model), unsigned(c.model));
    InstrumentOptions o;
    o.model = model_of(c.model);
    o.content = [served] { return served; };
    o.fault = *fault;
    auto vi = VirtualInstrument::open(o);
    ASSERT_TRUE(vi.ok()) << vi.message();
    ASSERT_TRUE((*vi)->start().ok());

    SerialLink port;
    std::vector<HookCall> calls;
    link::test::Recorder rec;
    auto started = std::chrono::steady_clock::now();
    auto r = DownloadSession(port, request_for(c.model, (*vi)->device()), rec.observer(),
                             link::test::recording_hook(calls, port))
                 .run();
    auto took = std::chrono::steady_clock::now() - started;
    EXPECT_FALSE(port.is_open());

    const std::size_t partial = std::min<std::size_t>(fault->after, served.data.size());
    switch (fault->kind) {
    case FaultKind::none:
    case FaultKind::stale_bytes:
    case FaultKind::no_live:  // silent to the live-level request only
        EXPECT_EQ(r.outcome, DownloadOutcome::completed) << link::test::status_of(r) << " " << r.detail;
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_TRUE(calls[0].complete);
        EXPECT_FALSE(calls[0].port_open);
        EXPECT_EQ(calls[0].capture.b1, served.b1);
        EXPECT_EQ(calls[0].capture.b2, served.b2);
        EXPECT_EQ(calls[0].capture.data, served.data);
        break;
    case FaultKind::bad_ack:
    case FaultKind::no_ack: ADD_FAILURE() << "not among this test's cases"; break;
    case FaultKind::zero_count:
    case FaultKind::negative_count:
        EXPECT_EQ(r.outcome, DownloadOutcome::no_data);
        EXPECT_LE(r.count, 0);
        EXPECT_EQ(r.count == 0, fault->kind == FaultKind::zero_count);
        EXPECT_TRUE(calls.empty());
        break;
    case FaultKind::stall_after:
    case FaultKind::close_after:
        EXPECT_EQ(r.outcome, DownloadOutcome::incomplete_stored) << link::test::status_of(r) << " " << r.detail;
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_FALSE(calls[0].complete);
        EXPECT_FALSE(calls[0].port_open);
        EXPECT_EQ(calls[0].capture.data, Bytes(served.data.begin(), served.data.begin() + std::ptrdiff_t(partial)));
        if (fault->kind == FaultKind::stall_after) {
            EXPECT_GE(took, 2000ms);  // the data wait at 9600 bit/s
        } else {
            EXPECT_FALSE(r.detail.empty());  // the hang-up is a read failure, seen at once
            EXPECT_LT(took, 2000ms);         // sooner than a silent line's data wait
            EXPECT_TRUE((*vi)->hung_up());
        }
        break;
    }

    // The port is free again and the instrument answers the next download (unless it hung up).
    if (fault->kind != FaultKind::close_after) {
        SerialLink again;
        auto reopened = again.open((*vi)->device(), 9600, link::FlowControl::none);
        EXPECT_TRUE(reopened.ok()) << reopened.message();
        again.close();
    }
    if (fault->kind == FaultKind::none) {
        std::vector<HookCall> second;
        auto r2 = DownloadSession(port, request_for(c.model, (*vi)->device()), {}, link::test::recording_hook(second, port)).run();
        EXPECT_EQ(r2.outcome, DownloadOutcome::completed);
        ASSERT_EQ(second.size(), 1u);
        EXPECT_EQ(second[0].capture.data, served.data);
        EXPECT_EQ((*vi)->downloads(), 2u);
    }
    (*vi)->stop();
}

// Block transfers and the byte-counted one complete; the zero count of each count formula; every
// other fault once, on models taken in turn. The acknowledge faults are the session's to test,
// and nlx download's end to end.
std::vector<Case> all_cases() {
    return {{'a', "none"},           {'e', "none"},           {'a', "zero-count"},
            {'c', "zero-count"},     {'e', "zero-count"},     {'d', "negative-count"},
            {'e', "stale-bytes"},    {'a', "stall-after=100"}, {'b', "close-after=100"},
            {'d', "no-live"}};
}

INSTANTIATE_TEST_SUITE_P(ModelsAndFaults, InstrumentDownload, ::testing::ValuesIn(all_cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = std::string("model_") + info.param.model + "_";
                             for (const char* p = info.param.fault; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(InstrumentDownload, PacedTransferTakesTheLineTime) {
    const Capture served = patterned_capture(model_of('e'), 40);
    InstrumentOptions o;
    o.model = model_of('e');
    o.content = [served] { return served; };
    o.pace = true;
    o.baud = 2400;
    auto vi = VirtualInstrument::open(o);
    ASSERT_TRUE(vi.ok());
    ASSERT_TRUE((*vi)->start().ok());
    SerialLink port;
    std::vector<HookCall> calls;
    std::vector<std::chrono::steady_clock::time_point> arrivals;
    link::DownloadObserver observer;
    observer.progress = [&](std::size_t, std::size_t) { arrivals.push_back(std::chrono::steady_clock::now()); };
    auto start = std::chrono::steady_clock::now();
    auto r = DownloadSession(port, request_for('e', (*vi)->device(), 2400), observer, link::test::recording_hook(calls, port)).run();
    auto took = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(r.outcome, DownloadOutcome::completed);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].capture.data, served.data);
    // acknowledge, two count bytes and 40 data bytes at 2400 bit/s: 43 * 4.17 ms = 179 ms
    const auto line = link::byte_time(2400) * 43;
    EXPECT_GE(took, line - 5ms);
    // The data came in many small pieces spread over its line time, not in one burst.
    ASSERT_GE(arrivals.size(), 5u);
    EXPECT_GE(arrivals.back() - arrivals.front(), link::byte_time(2400) * 30);
    (*vi)->stop();
}

}  // namespace
}  // namespace nlx::sim
