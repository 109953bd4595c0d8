// The virtual instrument itself: fault names, sample content, starting, stopping, hanging up.
#include <gtest/gtest.h>

#include "core/capture.h"
#include "link/download_session.h"
#include "link/serial_link.h"
#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "support/session_support.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx::sim {
namespace {

using link::SerialLink;

std::unique_ptr<VirtualInstrument> instrument(Fault fault) {
    InstrumentOptions o;
    Capture c = patterned_capture(model_of('a'), 2);
    o.content = [c] { return c; };
    o.fault = fault;
    auto vi = VirtualInstrument::open(o);
    EXPECT_TRUE(vi.ok()) << vi.message();
    return vi.ok() ? std::move(vi).value() : nullptr;
}

TEST(VirtualInstrument, FaultNamesAndPatternedContent) {
    EXPECT_EQ(parse_fault("stall-after=300")->kind, FaultKind::stall_after);
    EXPECT_EQ(parse_fault("stall-after=300")->after, 300u);
    EXPECT_EQ(fault_text(*parse_fault("close-after=7")), "close-after=7");
    EXPECT_EQ(parse_fault("bad-ack")->kind, FaultKind::bad_ack);
    EXPECT_FALSE(parse_fault("stall-after").ok());
    EXPECT_FALSE(parse_fault("stall-after=x").ok());
    EXPECT_FALSE(parse_fault("bad-ack=3").ok());
    auto unknown = parse_fault("smoke");
    ASSERT_FALSE(unknown.ok());
    EXPECT_NE(unknown.message().find("no-ack"), std::string::npos);

    for (char m : {'a', 'b', 'c', 'd', 'e'}) {
        auto sample = patterned_capture(model_of(m), 3);
        EXPECT_EQ(transfer_count(model_of(m), sample.b1, sample.b2), 3);
        EXPECT_EQ(sample.data.size(), announced_bytes(model_of(m), 3));
    }
}

TEST(VirtualInstrument, StopsCleanlyAndCannotServeAfterHangingUp) {
    auto vi = instrument(*parse_fault("close-after=0"));
    ASSERT_TRUE(vi);
    ASSERT_TRUE(vi->start().ok());
    EXPECT_FALSE(vi->start().ok());  // running already
    vi->stop();
    vi->stop();
    ASSERT_TRUE(vi->start().ok());  // a stopped instrument can start again
    SerialLink port;
    std::vector<link::test::HookCall> calls;
    link::DownloadRequest req;
    req.port = PortSpec{0, vi->device()};
    auto r = link::DownloadSession(port, req, {}, link::test::recording_hook(calls, port)).run();
    EXPECT_EQ(r.outcome, link::DownloadOutcome::incomplete_stored);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].capture.data.empty());
    vi->stop();
    EXPECT_TRUE(vi->hung_up());
    EXPECT_FALSE(vi->start().ok());
    EXPECT_FALSE(vi->run().ok());
    InstrumentOptions none;
    EXPECT_FALSE(VirtualInstrument::open(none).ok());  // no content
}

}  // namespace
}  // namespace nlx::sim
