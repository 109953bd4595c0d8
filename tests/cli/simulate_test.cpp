// nlx simulate as an operator runs it: a download against the simulator process.
#include <gtest/gtest.h>

#include "link/download_session.h"
#include "link/serial_link.h"
#include "support/session_support.h"
#include "sim/patterned_capture.h"
#include "support/run_command.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

TEST(SimulateCommand, ServesTheCaptureFileUntilStopped) {
    test::TempDir dir;
    Capture c = sim::patterned_capture(model_of('c'), 3, 42);
    auto bytes = capture_bytes(c);
    test::write_file(dir / "c.cap", std::string(bytes.begin(), bytes.end()));

    test::Simulator sim({"--model", "c", "--capture", (dir / "c.cap").string(), "--fault", "stale-bytes"});
    ASSERT_EQ(sim.device().rfind("/dev/", 0), 0u) << sim.device();
    link::SerialLink port;
    std::vector<link::test::HookCall> calls;
    link::DownloadRequest req;
    req.model = *find_model('c');
    req.port = PortSpec{0, sim.device()};
    auto r = link::DownloadSession(port, req, {}, link::test::recording_hook(calls, port)).run();
    EXPECT_EQ(r.outcome, link::DownloadOutcome::completed) << link::test::status_of(r);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].capture.data, c.data);
    auto [code, rest] = sim.stop();
    EXPECT_EQ(code, 0);
    EXPECT_NE(rest.find("served 1 download(s)"), std::string::npos) << rest;
}

TEST(SimulateCommand, RefusesBadArguments) {
    test::TempDir dir;
    test::write_file(dir / "a.cap", std::string("\x00\x11", 2) + std::string(256, '\x01'));
    auto cap = (dir / "a.cap").string();
    EXPECT_EQ(test::run_nlx({"simulate", "--model", "a", "--capture", cap, "--fault", "smoke"}).exit_code, 2);
    EXPECT_EQ(test::run_nlx({"simulate", "--model", "x", "--capture", cap}).exit_code, 2);
    EXPECT_EQ(test::run_nlx({"simulate", "--model", "a", "--capture", cap, "--baud", "1000"}).exit_code, 2);
    EXPECT_EQ(test::run_nlx({"simulate", "--model", "a"}).exit_code, 2);
    auto missing = test::run_nlx({"simulate", "--model", "a", "--capture", (dir / "none.cap").string()});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("none.cap"), std::string::npos);
    test::write_file(dir / "short.cap", "\x01");
    auto short_file = test::run_nlx({"simulate", "--model", "a", "--capture", (dir / "short.cap").string()});
    EXPECT_EQ(short_file.exit_code, 1);
    EXPECT_NE(short_file.err.find("count bytes"), std::string::npos);
}

}  // namespace
}  // namespace nlx
