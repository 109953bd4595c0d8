// The live-level request 1Ch: the levels the virtual instrument reports, and its answers on a
// pseudo-terminal between downloads.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "link/download_session.h"
#include "link/live_level.h"
#include "link/serial_link.h"
#include "sim/level_sequence.h"
#include "sim/live_level.h"
#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "support/session_support.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx::sim {
namespace {

using namespace std::chrono_literals;
using link::Bytes;
using link::SerialLink;

std::vector<int> readings(std::uint32_t seed, int count) {
    LiveLevel level(seed);
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(level.next());
    return out;
}

TEST(LiveLevel, DriftsSlowlyAroundFiftyFiveDecibelsTheSameForTheSameSeed) {
    const auto levels = readings(7, 3000);
    const auto [low, high] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_GE(*low, 500);
    EXPECT_LE(*high, 600);
    EXPECT_GE(*high - *low, 40) << "the level should swing, not stand still";
    for (std::size_t i = 1; i < levels.size(); ++i)
        ASSERT_LE(std::abs(levels[i] - levels[i - 1]), 2) << "reading " << i;
    EXPECT_EQ(readings(7, 50), std::vector<int>(levels.begin(), levels.begin() + 50));
    EXPECT_NE(readings(8, 50), std::vector<int>(levels.begin(), levels.begin() + 50));
}

// Reads exactly `want` bytes or fails the test; the deadline is the time the host allows.
Bytes read_exactly(SerialLink& port, std::size_t want, link::TimePoint deadline) {
    Bytes got;
    while (got.size() < want && port.now() < deadline) {
        auto r = port.read(want - got.size(), deadline);
        EXPECT_TRUE(r.ok()) << r.message();
        if (!r) break;
        got.insert(got.end(), r->begin(), r->end());
    }
    return got;
}

TEST(VirtualInstrumentLiveLevel, AnswersEveryRequestAtOnceAndStillServesDownloads) {
    const Capture served = patterned_capture(model_of('a'), 2);
    InstrumentOptions o;
    o.content = [served] { return served; };
    o.level_seed = 11;
    auto vi = VirtualInstrument::open(o);
    ASSERT_TRUE(vi.ok()) << vi.message();
    ASSERT_TRUE((*vi)->start().ok());

    SerialLink port;
    ASSERT_TRUE(port.open((*vi)->device(), 9600, link::FlowControl::none).ok());
    ASSERT_TRUE(port.discard_input().ok());
    const auto expected = readings(11, 60);
    for (int expected_tenths : expected) {
        ASSERT_TRUE(port.write_byte(link::kLiveLevelRequest).ok());
        // A monitor asks every 100 ms: the answer must be in well before the next request.
        Bytes reply = read_exactly(port, 2, port.now() + 100ms);
        ASSERT_EQ(reply.size(), 2u);
        EXPECT_EQ(link::live_level_tenths(reply[0], reply[1]), expected_tenths);
    }
    EXPECT_TRUE(read_exactly(port, 1, port.now() + 50ms).empty()) << "two bytes an answer, no more";
    port.close();

    std::vector<link::test::HookCall> calls;
    link::DownloadRequest req;
    req.port = PortSpec{0, (*vi)->device()};
    auto r = link::DownloadSession(port, req, {}, link::test::recording_hook(calls, port)).run();
    EXPECT_EQ(r.outcome, link::DownloadOutcome::completed) << link::test::status_of(r) << " " << r.detail;
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].capture.data, served.data);
}

}  // namespace
}  // namespace nlx::sim

namespace nlx::sim {
namespace {

TEST(LevelSequence, FileLinesAsLevelsOrUnansweredRequests) {
    const struct {
        const char* text;
        LevelSequence levels;  // empty: refused
        const char* says;
    } cases[] = {
        {"85.6\n40\n-\n", {856, 400, std::nullopt}, ""},
        {"# levels\r\n\r\n 0.5 \r\n6553.5\n", {5, 65535}, ""},
        {"85.65\n", {}, "line 1 (\"85.65\") is no level"},
        {"60\nloud\n", {}, "line 2 (\"loud\")"},
        {"6553.6\n", {}, "line 1"},
        {"-5\n", {}, "line 1"},
        {"# nothing\n\n", {}, "holds no level"},
    };
    for (const auto& c : cases) {
        auto parsed = parse_level_sequence(c.text);
        if (c.levels.empty()) {
            ASSERT_FALSE(parsed) << c.text;
            EXPECT_NE(parsed.message().find(c.says), std::string::npos) << parsed.message();
        } else {
            ASSERT_TRUE(parsed) << parsed.message();
            EXPECT_EQ(*parsed, c.levels) << c.text;
        }
    }
}

}  // namespace
}  // namespace nlx::sim
