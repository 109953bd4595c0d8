// The TM27 printout byte for byte: the layout, the time label, paddings, model names, refusals.
#include <gtest/gtest.h>

#include <map>

#include "core/models.h"
#include "reports/tm27_printout.h"

namespace nlx::reports {
namespace {

using Cells = std::map<std::string, std::string>;

ReportRows one_row(char model, const Cells& cells) {
    ReportRows rows;
    RecordRow row;
    for (auto name : find_model(model)->record_columns) {
        rows.columns.emplace_back(name);
        auto found = cells.find(std::string(name));
        row.push_back(found == cells.end() ? Cell() : Cell(found->second));
    }
    rows.rows.push_back(row);
    return rows;
}

std::string sp(int n) { return std::string(std::size_t(n), ' '); }

// The printout as a byte string, or "error: <message>".
std::string printout(char model, const Cells& cells) {
    auto p = tm27_printout(*find_model(model), one_row(model, cells), 0);
    return p ? std::string(p->begin(), p->end()) : "error: " + p.message();
}

// Printed line `index` (0-based) without its 0Dh.
std::string line(const std::string& bytes, std::size_t index) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < index; ++i) from = bytes.find('\r', from) + 1;
    return bytes.substr(from, bytes.find('\r', from) - from);
}

const Cells kGroup = {
    {"序号", "5"}, {"组号", "5"}, {"Leq", "45.2"}, {"L5", "102.5"}, {"L10", "60"}, {"L50", "55.55"}, {"L90", "50"},
    {"L95", "49"}, {"SD", "1.5"}, {"LAE", "99.9"}, {"Lmax", "101.2"}, {"Lmin", "40"}, {"E", "0.5"}, {"CODE", "3"},
    {"DATE", "08-09-25"}, {"TIME", "9:05"}, {"MODE", "STA"}, {"频率计权", "A"}, {"时间计权", "F"},
    {"测量时间", "0h10m0s"}, {"设定时间", "10min"}, {"采样间隔", "1s"}, {"filename", "005.ln"}};

Cells with(Cells cells, const Cells& changes) {
    for (const auto& [k, v] : changes) cells[k] = v;
    return cells;
}

Cells without(Cells cells, const std::string& column) {
    cells.erase(column);
    return cells;
}

TEST(Tm27Printout, OneGroupByteForByte) {
    const std::string expected = std::string("\x1bU\x02No.005\x1bU\x01\r") +
                                 "08/09/25" + sp(11) + "09:05:00\r" +
                                 "Mode:STA" + sp(11) + "WEIGHT: F  A\r" +
                                 "Ts=10min" + sp(4 + 7) + "t=1s\r" +
                                 "Leq = 45.2dB" + sp(7) + "L5 =102.5dB\r" +
                                 "Lmax=101.2dB" + sp(7) + "L10= 60.0dB\r" +
                                 "Lmin= 40.0dB" + sp(7) + "L50= 55.6dB\r" +
                                 "LAE = 99.9dB" + sp(7) + "L90= 50.0dB\r" +
                                 " SD =  1.5dB" + sp(7) + "L95= 49.0dB\r" +
                                 "  E = 0.50Pa\x9c\x9c\x7fh\r\r";
    EXPECT_EQ(printout('a', kGroup), expected);
    // Models b and c have no 组号, CODE or filename; their printout is the same.
    EXPECT_EQ(printout('b', kGroup), expected);
    EXPECT_EQ(printout('c', kGroup), expected);
}

TEST(Tm27Printout, LinesOfChosenCells) {
    const Cells vibration = {{"VLeq", "45.2"}, {"VL5", "102.5"}, {"VL10", "60"}, {"VL50", "55.55"}, {"VL90", "50"},
                             {"VL95", "49"},   {"VSD", "1.5"},   {"VLAV", "77.7"}, {"VLAE", "88.8"},
                             {"VLmax", "101.2"}, {"VLmin", "40"}};
    struct Case {
        const char* what;
        char model;
        Cells cells;
        std::size_t line;
        std::string text;
    } cases[] = {
        {"group 1", 'a', with(kGroup, {{"序号", "1"}}), 0, "\x1bU\x02No.001\x1bU\x01"},
        {"group 0", 'a', with(kGroup, {{"序号", "0"}}), 0, "\x1bU\x02No.000\x1bU\x01"},
        {"group 1234", 'a', with(kGroup, {{"序号", "1234"}}), 0, "\x1bU\x02No.234\x1bU\x01"},
        {"time with seconds", 'a', with(kGroup, {{"TIME", "12:3:4"}}), 1, "08/09/25" + sp(11) + "12:03:04"},
        {"not a time", 'a', with(kGroup, {{"TIME", "25:00"}}), 1, "08/09/25" + sp(11) + "25:00"},
        {"24-hour run stopped early", 'a', with(kGroup, {{"设定时间", "24hour"}, {"测量时间", "3h2m1s"}}), 3,
         "Tm=3h2m1s" + sp(3 + 7) + "t=1s"},
        {"24-hour run complete", 'a', with(kGroup, {{"设定时间", "24hour"}, {"测量时间", "24h0m0s"}}), 3,
         "Ts=24h" + sp(6 + 7) + "t=1s"},
        {"other hours", 'a', with(kGroup, {{"设定时间", "8hour"}}), 3, "Ts=8h" + sp(7 + 7) + "t=1s"},
        {"nine characters, no padding", 'a', with(kGroup, {{"设定时间", "24hour"}, {"测量时间", "23h59m59s"}}), 3,
         "Tm=23h59m59s" + sp(7) + "t=1s"},
        {"model b octave", 'b', with(kGroup, {{"MODE", "OCT"}}), 3, "Ts=" + sp(3 + 6 + 7) + "t=1s"},
        {"model b octave, no measured time", 'b', without(with(kGroup, {{"MODE", "OCT"}, {"设定时间", "24hour"}}), "测量时间"),
         3, "Tm=" + sp(3 + 6 + 7) + "t=1s"},
        {"model c octave keeps its set time", 'c', with(kGroup, {{"MODE", "OCT"}, {"设定时间", "1sLeq"}}), 3,
         "Ts=1sLeq" + sp(4 + 7) + "t=1s"},
        {"short level", 'a', with(kGroup, {{"Leq", "5"}, {"L5", "-3.25"}}), 4, "Leq = 5.0dB" + sp(7) + "L5 = -3.3dB"},
        {"level not a number", 'a', with(kGroup, {{"Leq", "1A"}}), 4, "Leq = 1AdB" + sp(7) + "L5 =102.5dB"},
        {"SD of four characters", 'a', with(kGroup, {{"SD", "12.25"}}), 8, " SD = 12.3dB" + sp(7) + "L95= 49.0dB"},
        {"SD of five characters", 'a', with(kGroup, {{"SD", "102.5"}}), 8, " SD =102.5dB" + sp(7) + "L95= 49.0dB"},
        {"E of five characters", 'a', with(kGroup, {{"E", "12.345"}}), 9, "  E =12.35Pa\x9c\x9c\x7fh"},
        {"model d levels", 'd', with(kGroup, vibration), 4, "Leq = 45.2dB" + sp(7) + "L5 =102.5dB"},
        {"model d exposure level", 'd', with(kGroup, vibration), 7, "LAE = 77.7dB" + sp(7) + "L90= 50.0dB"},
        {"model d octave exposure level", 'd', with(with(kGroup, vibration), {{"MODE", "OCT"}}), 7,
         "LAE = 88.8dB" + sp(7) + "L90= 50.0dB"},
        {"model d SD", 'd', with(kGroup, vibration), 8, " SD =  1.5dB" + sp(7) + "L95= 49.0dB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string bytes = printout(c.model, c.cells);
        ASSERT_EQ(bytes.rfind("error", 0), std::string::npos) << bytes;
        EXPECT_EQ(line(bytes, c.line), c.text);
    }
}

TEST(Tm27Printout, GroupsThatCannotBePrintedAreRefusedByName) {
    struct Case {
        char model;
        Cells cells;
        std::string message;
    } cases[] = {
        {'a', without(kGroup, "DATE"), "第5组的DATE为空，无法用TM27打印"},
        {'a', with(kGroup, {{"TIME", ""}}), "第5组的TIME为空，无法用TM27打印"},
        {'b', without(kGroup, "L95"), "第5组的L95为空，无法用TM27打印"},
        {'a', without(kGroup, "采样间隔"), "第5组的采样间隔为空，无法用TM27打印"},
        {'a', without(with(kGroup, {{"设定时间", "24hour"}}), "测量时间"), "第5组的测量时间为空，无法用TM27打印"},
        {'d', kGroup, "第5组的VLeq为空，无法用TM27打印"},  // plain names are not read for model d
        {'a', with(kGroup, {{"序号", "x"}}), "第1行的序号不是数字，无法用TM27打印"},
        {'a', with(kGroup, {{"序号", "2.5"}}), "第1行的序号不是数字，无法用TM27打印"},
        {'a', with(kGroup, {{"MODE", "\xF0\x9F\x98\x80"}}), "第5组的MODE含有TM27无法打印的字符"},
        {'e', kGroup, "NLX2730C的记录没有L5至L95和SD，无法用TM27打印"},
    };
    for (const auto& c : cases) EXPECT_EQ(printout(c.model, c.cells), "error: " + c.message);
}

}  // namespace
}  // namespace nlx::reports
