// nlx download against the virtual instrument on a pseudo-terminal: what reaches the record
// database and the storage folder, for every model and for the instrument's faults.
#include <gtest/gtest.h>

#include "core/capture.h"
#include "link/serial_link.h"
#include "sim/generated_content.h"
#include "sim/virtual_instrument.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

std::unique_ptr<sim::VirtualInstrument> start_instrument(char model, const Capture& served,
                                                         const std::string& fault = "none") {
    sim::InstrumentOptions o;
    o.model = model_of(model);
    o.content = [served] { return served; };
    o.fault = sim::parse_fault(fault).value();
    auto vi = sim::VirtualInstrument::open(o);
    EXPECT_TRUE(vi.ok()) << vi.message();
    EXPECT_TRUE((*vi)->start().ok());
    return std::move(vi).value();
}

std::vector<fs::path> captures_in(const fs::path& folder) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.path().extension() == ".cap") out.push_back(e.path());
    return out;
}

// The raw form: the count bytes, then the data.
std::string bytes_of(const Capture& c) {
    auto b = capture_bytes(c);
    return std::string(b.begin(), b.end());
}

// What a capture file kept by a download holds, its header checked.
std::string kept_bytes(const fs::path& file, char model) {
    auto kept = read_capture_file(file, CaptureForm::with_header);
    EXPECT_TRUE(kept) << kept.message();
    if (!kept) return {};
    EXPECT_EQ(kept->model->letter, model);
    EXPECT_EQ(kept->origin.baud, 9600);
    EXPECT_EQ(kept->origin.port.rfind("/dev/", 0), 0u) << kept->origin.port;
    return bytes_of(kept->capture);
}

struct Home {
    test::TempDir dir;
    std::map<std::string, std::string> env{{"NLX_HOME", dir.path().string()}};
    fs::path storage() const { return dir / "3140A存储文件"; }
    test::CommandResult nlx(std::vector<std::string> args) const { return test::run_nlx(args, env); }
    std::string records(char model, const std::string& table = "records") const {
        return nlx({"records", "--model", std::string(1, model), "--table", table, "--format", "csv"}).out;
    }
};

class DownloadEveryModel : public ::testing::TestWithParam<char> {};

// A download stores exactly what importing the same bytes stores, keeps those bytes as its
// capture file, and a second download replaces the first.
TEST_P(DownloadEveryModel, StoresWhatTheImporterStoresAndKeepsTheCapture) {
    const char model = GetParam();
    const std::string m(1, model);
    auto first = sim::generated_capture(model_of(model), 30, 7).value();
    auto second = sim::generated_capture(model_of(model), 12, 8).value();

    Home imported;
    test::write_file(imported.dir / "first.cap", bytes_of(first));
    ASSERT_EQ(imported.nlx({"import", "--raw", "--model", m, (imported.dir / "first.cap").string()}).exit_code, 0);

    Home home;
    {
        auto vi = start_instrument(model, first);
        auto r = home.nlx({"download", "--model", m, "--port", vi->device()});
        ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
        EXPECT_NE(r.out.find("数据接收完毕"), std::string::npos) << r.out;
    }
    EXPECT_EQ(home.records(model), imported.records(model));
    if (model != 'e') {
        EXPECT_EQ(home.records(model, "distribution"), imported.records(model, "distribution"));
    }
    auto caps = captures_in(home.storage());
    ASSERT_EQ(caps.size(), 1u);
    EXPECT_EQ(kept_bytes(caps[0], model), bytes_of(first));
    // Importing the kept capture stores the same rows again.
    Home reimported;
    ASSERT_EQ(reimported.nlx({"import", caps[0].string()}).exit_code, 0);
    EXPECT_EQ(reimported.records(model), home.records(model));

    auto vi = start_instrument(model, second);
    auto again = home.nlx({"download", "--model", m, "--port", vi->device()});
    ASSERT_EQ(again.exit_code, 0) << again.out << again.err;
    std::string rows = home.records(model);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 13) << "12 groups and the header replace the 30";
    EXPECT_EQ(captures_in(home.storage()).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Models, DownloadEveryModel, ::testing::Values('a', 'b', 'c', 'd', 'e'),
                         [](const auto& info) { return std::string(1, info.param); });

// Failures before reception leave the records as they were and write no capture.
TEST(DownloadCommand, EarlyFailuresLeaveTheRecordsUntouched) {
    Home home;
    auto stored = sim::generated_capture(model_of('a'), 5, 1).value();
    test::write_file(home.dir / "stored.cap", bytes_of(stored));
    ASSERT_EQ(home.nlx({"import", "--raw", "--model", "a", (home.dir / "stored.cap").string()}).exit_code, 0);
    const std::string before = home.records('a');

    // The operator's text, then the port and what came from it on the reason line.
    const struct {
        const char* fault;
        const char* status;
        const char* reason;
    } faults[] = {
        {"bad-ack", "收到应答信号错误", ": 1 byte received, 55h instead of the acknowledge AAh"},
        {"no-ack", "串行接口没有收到应答信号,可能是串行口号选的不对或传输线没有接好.",
         ": no byte received in answer to the attention bytes 1Bh 40h at 9600 bit/s"},
        {"zero-count", "声级计中无数据", ": the count bytes 00h 10h announce no data"},
        {"negative-count", "声级计中无数据", ": the count bytes 00h 00h announce a negative count (-16)"},
    };
    for (auto [fault, status, reason] : faults) {
        auto vi = start_instrument('a', sim::generated_capture(model_of('a'), 3, 2).value(), fault);
        auto r = home.nlx({"download", "--model", "a", "--port", vi->device()});
        EXPECT_EQ(r.exit_code, 1) << fault;
        EXPECT_EQ(r.err, "nlx: " + std::string(status) + "\n" + vi->device() + reason + "\n") << fault;
        EXPECT_EQ(home.records('a'), before) << fault;
    }
    EXPECT_TRUE(captures_in(home.storage()).empty()) << "nothing but the count bytes came";

    auto missing = home.nlx({"download", "--model", "a", "--port", "/dev/nlx-no-such-port"});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("/dev/nlx-no-such-port"), std::string::npos) << missing.err;
    EXPECT_EQ(home.records('a'), before);
}

// Usage errors on --port end with exit 2 before anything is opened, whatever sys.cfg holds.
TEST(DownloadCommand, EveryGivenPortIsCheckedEvenAnEmptyOne) {
    Home home;
    for (const std::string port : {"", " ", "1.5", "ttyUSB0", "99999999999", "4"}) {
        auto r = home.nlx({"download", "--model", "a", "--port", port});
        EXPECT_EQ(r.exit_code, 2) << "--port \"" << port << "\": " << r.err;
        EXPECT_NE(r.err.find("--port"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(home.dir / "noise.db"));
}

// A sys.cfg that is there but wrong is noted also when --port replaces its port; one not saved
// yet is not mentioned then.
TEST(DownloadCommand, ABadSettingsFileIsNotedAlsoWithAGivenPort) {
    for (const char* settings : {"1.5,9600\r\n", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(settings ? settings : "no sys.cfg");
        Home home;
        if (settings) test::write_file(home.dir / "sys.cfg", settings);
        auto vi = start_instrument('a', sim::generated_capture(model_of('a'), 2, 1).value());
        auto r = home.nlx({"download", "--model", "a", "--port", vi->device()});
        EXPECT_EQ(r.exit_code, 0) << r.err;
        if (!settings) {
            EXPECT_EQ(r.err.find("note:"), std::string::npos) << r.err;
            continue;
        }
        const auto at = r.err.find("note: settings file " + (home.dir / "sys.cfg").string() + " is not valid: port \"1.5\"");
        ASSERT_NE(at, std::string::npos) << r.err;
        EXPECT_NE(r.err.find(vi->device() + ", is used instead", at), std::string::npos) << r.err;
    }
}

// The port's own message is said once: the status already holds it.
TEST(DownloadCommand, APortThatCannotBeOpenedIsReportedOnce) {
    Home home;
    auto vi = start_instrument('a', sim::generated_capture(model_of('a'), 2, 1).value());
    link::SerialLink holder;
    ASSERT_TRUE(holder.open(vi->device(), 9600, link::FlowControl::none).ok());
    const std::pair<std::string, const char*> cases[] = {
        {"/dev/nlx-no-such-port", "no such port"},
        {vi->device(), "the port is busy (another program is using it)"},
    };
    for (const auto& [port, why] : cases) {
        auto r = home.nlx({"download", "--model", "a", "--port", port});
        EXPECT_EQ(r.exit_code, 1) << port;
        EXPECT_EQ(r.err, "nlx: 串行口错误: cannot open serial port " + port + ": " + why + "\n");
    }
    EXPECT_EQ(vi->downloads(), 0u);
}

// A line that stops mid-transfer: the whole groups are stored, the loss is reported, the
// capture holds exactly the bytes that came, and the command fails.
TEST(DownloadCommand, ABrokenTransferKeepsWhatArrived) {
    Home home;
    auto served = sim::generated_capture(model_of('b'), 6, 3).value();  // six 256-byte blocks
    auto vi = start_instrument('b', served, "stall-after=1000");
    auto r = home.nlx({"download", "--model", "b", "--port", vi->device()});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("nlx: 串行接收的数据有丢失\n" + vi->device() + ": 1000 of 1536 data bytes received\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("1000 of 1536 bytes received"), std::string::npos) << r.out;
    std::string rows = home.records('b');
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 4) << "three whole blocks and the header";
    auto caps = captures_in(home.storage());
    ASSERT_EQ(caps.size(), 1u);
    Capture partial = served;
    partial.data.resize(1000);
    EXPECT_EQ(kept_bytes(caps[0], 'b'), bytes_of(partial));
}

// A download that breaks before its first whole group replaces nothing: the records stored
// before stay and the capture is kept.
TEST(DownloadCommand, ATransferWithoutAWholeGroupReplacesNothing) {
    Home home;
    auto stored = sim::generated_capture(model_of('b'), 20, 1).value();
    test::write_file(home.dir / "stored.cap", bytes_of(stored));
    ASSERT_EQ(home.nlx({"import", "--raw", "--model", "b", (home.dir / "stored.cap").string()}).exit_code, 0);
    const std::string before = home.records('b');

    std::size_t kept = 0;
    for (const char* fault : {"close-after=1", "close-after=255", "stall-after=0"}) {
        SCOPED_TRACE(fault);
        auto vi = start_instrument('b', sim::generated_capture(model_of('b'), 6, 2).value(), fault);
        auto r = home.nlx({"download", "--model", "b", "--port", vi->device()});
        EXPECT_EQ(r.exit_code, 1);
        EXPECT_NE(r.err.find("串行接收的数据有丢失"), std::string::npos) << r.err;
        EXPECT_NE(r.out.find("no whole group arrived, nothing was replaced"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("groups stored"), std::string::npos) << r.out;
        EXPECT_EQ(home.records('b'), before);
        EXPECT_EQ(captures_in(home.storage()).size(), ++kept);
    }
}

// A broken download that brings whole groups replaces the records and says which log entry
// brings the earlier ones back; that restore does.
TEST(DownloadCommand, ABrokenTransferNamesTheEntryThatBringsTheRecordsBack) {
    Home home;
    auto stored = sim::generated_capture(model_of('b'), 20, 1).value();
    test::write_file(home.dir / "stored.cap", bytes_of(stored));
    ASSERT_EQ(home.nlx({"import", "--raw", "--model", "b", (home.dir / "stored.cap").string()}).exit_code, 0);
    const std::string before = home.records('b');

    auto vi = start_instrument('b', sim::generated_capture(model_of('b'), 6, 2).value(), "close-after=600");
    auto r = home.nlx({"download", "--model", "b", "--port", vi->device()});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.out.find("2 groups stored"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("the 20 groups stored before were replaced (nlx restore 1 brings them back)"),
              std::string::npos)
        << r.out;
    ASSERT_EQ(home.nlx({"restore", "1"}).exit_code, 0);
    EXPECT_EQ(home.records('b'), before);
}

TEST(DownloadCommand, RefusesANonDatabaseBeforeTalkingToTheInstrument) {
    Home home;
    test::write_file(home.dir / "notes.db", "not a database");
    auto vi = start_instrument('a', sim::generated_capture(model_of('a'), 3, 1).value());
    auto r = home.nlx({"download", "--model", "a", "--port", vi->device(), "--db", (home.dir / "notes.db").string()});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("打开的文件不存在或格式错误"), std::string::npos) << r.err;
    EXPECT_EQ(test::read_file(home.dir / "notes.db"), "not a database");
    EXPECT_EQ(vi->downloads(), 0u);
}

}  // namespace
}  // namespace nlx
