// nlx tm27 against the virtual TM27 on a pseudo-terminal: the printer receives exactly the
// printouts of the stored groups, also when it holds the line mid-job; refusals before printing.
#include <gtest/gtest.h>

#include "core/models.h"
#include "reports/tm27_printout.h"
#include "sim/generated_content.h"
#include "sim/virtual_printer.h"
#include "store/database.h"
#include "transfer/transfer.h"
#include "support/run_command.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

struct Tm27Command : ::testing::Test {
    test::TempDir dir;
    fs::path db_file = dir / "noise.db";
    std::map<std::string, std::string> env{{"NLX_HOME", dir.path().string()}};
    std::vector<std::string> printouts;  // each stored group's printout

    void SetUp() override {
        auto capture = sim::generated_capture(model_of('a'), 3, 5);
        ASSERT_TRUE(capture) << capture.message();
        auto db = Database::create_or_open(db_file);
        ASSERT_TRUE(db) << db.message();
        ASSERT_TRUE(store_transfer(*db, dir / "store", model_of('a'), *capture));
        auto table = db->read_table(record_table_name('a'));
        ASSERT_TRUE(table) << table.message();
        reports::ReportRows rows;
        rows.columns = table->columns;
        for (const auto& values : table->rows) {
            RecordRow row;
            for (const auto& v : values) row.push_back(v.is_null() ? Cell() : Cell(v.to_text()));
            rows.rows.push_back(row);
        }
        ASSERT_EQ(rows.size(), 3u);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            auto printout = reports::tm27_printout(*find_model('a'), rows, r);
            ASSERT_TRUE(printout) << printout.message();
            printouts.emplace_back(printout->begin(), printout->end());
        }
    }
    test::CommandResult tm27(std::vector<std::string> args) const {
        args.insert(args.begin(), {"tm27", "--model", "a", "--db", db_file.string()});
        return test::run_nlx(args, env);
    }
    // The line spacing, the groups, the paper feed.
    std::string job(std::initializer_list<std::size_t> groups) const {
        std::string out = "\x1b\x31\x05";
        for (auto g : groups) out += printouts[g];
        return out + "\r";
    }
};

std::vector<std::string> lines_of(const std::string& out) {
    std::vector<std::string> lines;
    std::size_t from = 0, at;
    while ((at = out.find('\n', from)) != std::string::npos) {
        lines.push_back(out.substr(from, at - from));
        from = at + 1;
    }
    return lines;
}

TEST_F(Tm27Command, PrintsEveryGroupInOrder) {
    auto printer = sim::VirtualPrinter::open({});
    ASSERT_TRUE(printer) << printer.message();
    ASSERT_TRUE((*printer)->start().ok());
    auto r = tm27({"--all", "--pause", "0", "--port", (*printer)->device()});
    ASSERT_TRUE((*printer)->stop().ok());
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(lines_of(r.out), (std::vector<std::string>{"TM27已准备好!正在打印。", "打印完成"}));
    const auto received = (*printer)->received();
    EXPECT_EQ(std::string(received.begin(), received.end()), job({0, 1, 2}));
    EXPECT_EQ((*printer)->resets(), 1u);
}

TEST_F(Tm27Command, APrinterHoldingTheLineMidJobStillGetsEveryByte) {
    // The printer holds the line for 300 ms once the first group is in; the second group is sent
    // 200 ms after the first, while it holds.
    const std::string held_after = std::to_string(3 + printouts[0].size());
    test::Simulator printer({"--printer", (dir / "paper.bin").string(), "--hold-after", held_after, "--hold-for", "300"});
    ASSERT_EQ(printer.device().rfind("/dev/", 0), 0u) << printer.device();
    auto r = tm27({"--all", "--pause", "0.2", "--port", printer.device()});
    auto [code, rest] = printer.stop();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(lines_of(r.out).back(), "打印完成");
    EXPECT_EQ(code, 0);
    const std::string expected = job({0, 1, 2});
    EXPECT_EQ(test::read_file(dir / "paper.bin"), expected);
    EXPECT_NE(rest.find("received " + std::to_string(expected.size()) + " bytes in 1 job(s)"), std::string::npos) << rest;
    const std::string paper = test::read_file(dir / "paper.bin.txt");
    for (const char* group : {"No.001", "No.002", "No.003"}) EXPECT_NE(paper.find(group), std::string::npos) << paper;
    EXPECT_NE(paper.find("Pa²h\n"), std::string::npos) << paper;
}

TEST_F(Tm27Command, RefusesBeforePrinting) {
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        std::string says;
    } cases[] = {
        {{"--port", "/dev/null"}, 2, "--row or --all"},
        {{"--row", "1", "--all", "--port", "/dev/null"}, 2, "excludes"},
        {{"--row", "4", "--port", "/dev/null"}, 1, "past the last row (3)"},
        {{"--row", "1", "--port", "/dev/nlx-no-such-port"}, 1, "串行口错误: cannot open serial port /dev/nlx-no-such-port"},
    };
    for (const auto& c : cases) {
        auto r = tm27(c.args);
        EXPECT_EQ(r.exit_code, c.exit_code) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace nlx
