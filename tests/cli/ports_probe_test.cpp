// nlx ports --probe against the virtual instrument on a pseudo-terminal: the port that answers
// the live-level request, and one that stays silent.
#include <gtest/gtest.h>

#include <charconv>

#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "support/run_command.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

TEST(PortsProbe, SaysWhetherTheInstrumentAnswersOnThePort) {
    const struct {
        const char* fault;
        int exit_code;
        const char* line;  // after "<device>: "
    } cases[] = {
        {"none", 0, "answers (level "},
        {"no-live", 1, "no answer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        sim::InstrumentOptions o;
        const Capture served = sim::patterned_capture(model_of('a'), 1);
        o.content = [served] { return served; };
        o.fault = sim::parse_fault(c.fault).value();
        auto vi = sim::VirtualInstrument::open(o);
        ASSERT_TRUE(vi.ok()) << vi.message();
        ASSERT_TRUE((*vi)->start().ok());
        const std::string device = (*vi)->device();

        auto r = test::run_nlx({"ports", "--probe", "--port", device, "--baud", "4800"});
        EXPECT_EQ(r.exit_code, c.exit_code) << r.out << r.err;
        EXPECT_EQ(r.out.rfind(device + ": " + c.line, 0), 0u) << r.out;
        if (c.exit_code == 0) {
            // "answers (level 55.3 dB)": a level the virtual instrument can report.
            const std::string text = r.out.substr(r.out.find("level ") + 6);
            double level = 0;
            EXPECT_EQ(std::from_chars(text.data(), text.data() + text.size(), level).ec, std::errc()) << text;
            EXPECT_GE(level, 50.0);
            EXPECT_LE(level, 60.0);
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(device), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(test::run_nlx({"ports", "--port", "/dev/null"}).exit_code, 2) << "--port needs --probe";
}

}  // namespace
}  // namespace nlx
