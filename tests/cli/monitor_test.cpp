// nlx monitor against the virtual instrument on a pseudo-terminal: levels about once a second
// until --seconds pass, and the no-reply text when the instrument stays silent.
#include <gtest/gtest.h>

#include "core/texts.h"
#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

TEST(MonitorCommand, ShowsLevelsOrSaysNoReply) {
    const struct {
        const char* fault;
        int exit_code;
    } cases[] = {{"none", 0}, {"no-live", 1}};
    test::TempDir home;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        sim::InstrumentOptions o;
        const Capture served = sim::patterned_capture(model_of('b'), 1);
        o.content = [served] { return served; };
        o.fault = sim::parse_fault(c.fault).value();
        auto vi = sim::VirtualInstrument::open(o);
        ASSERT_TRUE(vi.ok()) << vi.message();
        ASSERT_TRUE((*vi)->start().ok());

        auto r = test::run_nlx({"monitor", "--model", "b", "--port", (*vi)->device(), "--seconds", "2.5"},
                               {{"NLX_HOME", home.path().string()}});
        EXPECT_EQ(r.exit_code, c.exit_code) << r.out << r.err;
        if (c.exit_code == 0) {
            // Two or three shown levels in 2.5 s; model b shows the reply + 30 dB: 80..90 dB here.
            std::size_t lines = 0;
            for (std::size_t at = 0; (at = r.out.find("Lp=8", at)) != std::string::npos; ++at) ++lines;
            EXPECT_GE(lines, 2u) << r.out;
            EXPECT_LE(lines, 3u) << r.out;
        } else {
            EXPECT_EQ(r.out, "");
            EXPECT_NE(r.err.find(std::string(texts::kLiveNoReply)), std::string::npos) << r.err;
        }
    }
}

}  // namespace
}  // namespace nlx
