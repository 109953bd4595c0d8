// The virtual TM27: the lines it prints from its bytes, and print jobs over a pseudo-terminal,
// one of them with the printer holding the line.
#include <gtest/gtest.h>

#include "link/serial_link.h"
#include "link/tm27_session.h"
#include "sim/tm27_paper.h"
#include "sim/virtual_printer.h"
#include "support/temp_dir.h"

namespace nlx::sim {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

TEST(Tm27Paper, PrintsTheTextAndObeysTheCommands) {
    struct Case {
        const char* what;
        std::string sent;
        std::string lines, unfinished;
    } cases[] = {
        {"reset, spacing, double width", "\x1b@\r\x1b\x31\x05\x1bU\x02No.005\x1bU\x01\r", "\nNo.005\n", ""},
        {"the unit of E", "  E = 0.50Pa\x9c\x9c\x7fh\r\r", "  E = 0.50Pa²h\n\n", ""},
        {"GBK text", "\xd6\xd0\xce\xc4\r", "中文\n", ""},
        {"9C 9C without 7F is a character", "\x9c\x9cx\r", "湝x\n", ""},
        {"flow control and LF print nothing", "a\x13\x11\nb\r", "ab\n", ""},
        {"bytes that print nothing are shown", "\x07\x1bZ\xff\r", "\\x07\\x1BZ\\xFF\n", ""},
        {"a line not ended yet", "ab\rcd", "ab\n", "cd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Tm27Paper whole;
        EXPECT_EQ(whole.feed(bytes(c.sent)), c.lines);
        EXPECT_EQ(whole.unfinished(), c.unfinished);
        // Byte by byte, as a slow line delivers it: the same lines.
        Tm27Paper piecewise;
        std::string lines;
        for (char b : c.sent) lines += piecewise.feed(Bytes{std::uint8_t(b)});
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(piecewise.unfinished(), c.unfinished);
    }
}

link::Tm27Result print(const std::string& device, std::vector<Result<link::Bytes>> groups) {
    link::SerialLink port;
    link::Tm27Request request;
    request.port = PortSpec{0, device};
    request.groups = std::move(groups);
    request.pause = std::make_shared<link::Tm27Pause>(50ms);
    return link::Tm27Session(port, std::move(request), {}).run();
}

TEST(VirtualPrinter, KeepsEveryJobAndHoldsTheLineWithoutLosingBytes) {
    test::TempDir dir;
    PrinterOptions options;
    options.hold_after = 40;
    options.hold_for = 300ms;
    options.save_to = dir / "paper.bin";
    auto printer = VirtualPrinter::open(options);
    ASSERT_TRUE(printer) << printer.message();
    auto& vp = **printer;
    ASSERT_TRUE(vp.start().ok());

    std::string first_job, second_job(200, 'y');
    for (int line = 0; line < 30; ++line) first_job += "line " + std::to_string(line) + "\r";
    auto first = print(vp.device(), {bytes(first_job), bytes("second group\r")});
    EXPECT_EQ(first.outcome, link::Tm27Outcome::completed) << first.detail;
    auto second = print(vp.device(), {bytes(second_job)});
    EXPECT_EQ(second.outcome, link::Tm27Outcome::completed) << second.detail;
    ASSERT_TRUE(vp.stop().ok());

    const std::string expected = "\x1b\x31\x05" + first_job + "second group\r" + "\r" +
                                 "\x1b@\r\x1b\x31\x05" + second_job + "\r";
    const auto received = vp.received();
    EXPECT_EQ(std::string(received.begin(), received.end()), expected);
    EXPECT_EQ(vp.resets(), 2u);
    EXPECT_EQ(vp.holds(), 1u);
    EXPECT_EQ(test::read_file(dir / "paper.bin"), expected);
    const std::string printed = test::read_file(dir / "paper.bin.txt");
    EXPECT_EQ(printed, vp.printed());
    EXPECT_TRUE(printed.starts_with("line 0\nline 1\n")) << printed;
    EXPECT_NE(printed.find("\nline 29\nsecond group\n\n\n" + second_job + "\n"), std::string::npos) << printed;
}

}  // namespace
}  // namespace nlx::sim
