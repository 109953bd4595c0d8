// Qt serial port link on pseudo-terminals (the virtual instrument is the far end): open errors,
// blocking waits, threads, cancellation.
#include <gtest/gtest.h>

#include <grp.h>

#include <QtGlobal>

#include <sys/stat.h>

#include <atomic>
#include <thread>

#include "core/settings.h"
#include "link/download_session.h"
#include "link/serial_link.h"
#include "support/other_user.h"
#include "support/session_support.h"
#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx::sim {
namespace {

using namespace std::chrono_literals;
using link::FlowControl;
using link::SerialLink;

std::unique_ptr<VirtualInstrument> instrument(Fault fault = {}, char model = 'a') {
    InstrumentOptions o;
    o.model = model_of(model);
    Capture c = patterned_capture(model_of(model), 2);
    o.content = [c] { return c; };
    o.fault = fault;
    auto vi = VirtualInstrument::open(o);
    EXPECT_TRUE(vi.ok()) << vi.message();
    return vi.ok() ? std::move(vi).value() : nullptr;
}

TEST(SerialLink, OpenErrorsNameThePortAndTheReason) {
    SerialLink link;
    auto missing = link.open("/dev/nlx-no-such-port", 9600, FlowControl::none);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find("/dev/nlx-no-such-port"), std::string::npos);
    EXPECT_NE(missing.message().find("no such port"), std::string::npos);
    EXPECT_FALSE(link.is_open());

    auto vi = instrument();
    ASSERT_TRUE(vi);
    SerialLink first, second;
    ASSERT_TRUE(first.open(vi->device(), 9600, FlowControl::none).ok());
    EXPECT_TRUE(first.is_open());
    auto busy = second.open(vi->device(), 9600, FlowControl::none);
    ASSERT_FALSE(busy.ok());
    EXPECT_NE(busy.message().find(vi->device()), std::string::npos);
    EXPECT_NE(busy.message().find("busy"), std::string::npos) << busy.message();
    first.close();
    EXPECT_TRUE(second.open(vi->device(), 4800, FlowControl::xon_xoff).ok());

    EXPECT_FALSE(link.read(1, link.now()).ok());  // never opened
    EXPECT_FALSE(link.write_byte(1).ok());
}

TEST(SerialLink, APortGoneWhileHeldIsNoSuchPortNotBusy) {
    auto vi = instrument();
    ASSERT_TRUE(vi);
    const std::string device = vi->device();
    SerialLink holder;
    ASSERT_TRUE(holder.open(device, 9600, FlowControl::none).ok());
    vi.reset();  // the far end goes, and the device node with it; the lock stays with `holder`
    SerialLink link;
    auto gone = link.open(device, 9600, FlowControl::none);
    ASSERT_FALSE(gone.ok());
    EXPECT_EQ(gone.message(), "cannot open serial port " + device + ": no such port");
}

// Root passes every access() check: the open runs as nobody then.
TEST(SerialLink, APortWithoutRightsNamesItsGroupAndHowToJoinIt) {
    auto vi = instrument();
    ASSERT_TRUE(vi);
    struct stat st {};
    ASSERT_EQ(::stat(vi->device().c_str(), &st), 0);
    // Readable and writable by its group only, as Debian gives serial ports to dialout.
    const group* dialout = ::getgrnam("dialout");
    if (!dialout) GTEST_SKIP() << "no dialout group here";
    ASSERT_EQ(::chown(vi->device().c_str(), st.st_uid, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(vi->device().c_str(), 0660), 0);
    Result<void> denied = fail("not tried");
    bool ran = test::run_without_root([&] {
        SerialLink link;
        denied = link.open(vi->device(), 9600, FlowControl::none);
    });
    ::chown(vi->device().c_str(), st.st_uid, st.st_gid);
    ::chmod(vi->device().c_str(), st.st_mode & 07777);
    if (!ran) GTEST_SKIP() << "cannot run as another user here";
    ASSERT_FALSE(denied.ok());
    EXPECT_EQ(denied.message(), "cannot open serial port " + vi->device() + ": permission denied: " + vi->device() +
                                    " belongs to the group dialout; add the user to it with \"sudo usermod -aG "
                                    "dialout $USER\", then log out and in again");
    SerialLink link;
    EXPECT_TRUE(link.open(vi->device(), 9600, FlowControl::none).ok()) << "the rights came back";
}

TEST(SerialLink, ReadWaitsUntilTheDeadline) {
    auto vi = instrument(Fault{FaultKind::no_ack, 0});
    ASSERT_TRUE(vi);
    ASSERT_TRUE(vi->start().ok());
    SerialLink link;
    ASSERT_TRUE(link.open(vi->device(), 9600, FlowControl::none).ok());
    auto t0 = link.now();
    auto got = link.read(16, t0 + 400ms);
    auto waited = link.now() - t0;
    ASSERT_TRUE(got.ok());
    EXPECT_TRUE(got->empty());
    EXPECT_GE(waited, 400ms);  // the CPU this wait takes is measured in bench/
    EXPECT_EQ(link.bytes_waiting(), 0u);
    EXPECT_TRUE(link.discard_input().ok());
    EXPECT_TRUE(link.write(std::vector<std::uint8_t>{0x1B, 0x40}).ok());
    EXPECT_TRUE(link.drain_output(link.now() + 1s).ok());
    link.close();
    EXPECT_FALSE(link.is_open());
}

std::atomic<int> g_qt_messages{0};
void count_qt_message(QtMsgType, const QMessageLogContext&, const QString&) { g_qt_messages.fetch_add(1); }

TEST(SerialLink, DownloadOnAPlainThreadIsQuiet) {
    auto vi = instrument();
    ASSERT_TRUE(vi);
    ASSERT_TRUE(vi->start().ok());
    auto previous = qInstallMessageHandler(count_qt_message);
    g_qt_messages = 0;
    link::DownloadOutcome outcome = link::DownloadOutcome::port_error;
    std::size_t stored = 0;
    std::thread worker([&] {
        SerialLink port;
        link::DownloadRequest req;
        req.model = *find_model('a');
        req.port = PortSpec{0, vi->device()};
        outcome = link::DownloadSession(port, req, {}, [&](const Capture& c, bool) -> Result<TransferSummary> {
                      stored = c.data.size();
                      return TransferSummary{};
                  }).run().outcome;
    });
    worker.join();
    qInstallMessageHandler(previous);
    EXPECT_EQ(outcome, link::DownloadOutcome::completed);
    EXPECT_EQ(stored, 512u);
    EXPECT_EQ(g_qt_messages.load(), 0);  // no complaints about notifiers on a thread Qt did not start
}

TEST(SerialLink, CancelWakesAWaitingDownloadPromptly) {
    for (const char* fault : {"no-ack", "stall-after=10"}) {
        SCOPED_TRACE(fault);
        auto vi = instrument(*parse_fault(fault));
        ASSERT_TRUE(vi);
        ASSERT_TRUE(vi->start().ok());
        SerialLink port;
        std::vector<link::test::HookCall> calls;
        link::DownloadResult result;
        std::stop_source source;
        link::DownloadRequest req;
        req.model = *find_model('a');
        req.port = PortSpec{0, vi->device()};
        std::thread worker([&] {
            result = link::DownloadSession(port, req, {}, link::test::recording_hook(calls, port)).run(source.get_token());
        });
        std::this_thread::sleep_for(400ms);
        auto asked = std::chrono::steady_clock::now();
        source.request_stop();
        worker.join();
        auto reaction = std::chrono::steady_clock::now() - asked;
        EXPECT_EQ(result.outcome, link::DownloadOutcome::cancelled);
        EXPECT_EQ(link::test::status_of(result), "数据接收已取消");
        EXPECT_LT(reaction, 200ms);  // one 100 ms slice, plus scheduling slack
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(port.is_open());
    }
}

}  // namespace
}  // namespace nlx::sim
