// nlx import of hand-built captures, then nlx records as CSV: the stored rows byte for byte.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "core/capture.h"
#include "store/database.h"
#include "store/sqlite.h"
#include "sim/encode/bytes.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;
using sim::put_level_high_first;
using sim::put_level_low_first;
using sim::to_bcd;
using Bytes = std::vector<std::uint8_t>;

// Date 08-09-05, start 14:03:00 at the offsets of the 256-byte layouts.
void put_stamp(Bytes& g, std::size_t at) {
    g[at + 4] = 0x08, g[at + 5] = 0x09, g[at + 6] = 0x05;
    g[at + 7] = 0x14, g[at + 8] = 0x03, g[at + 9] = 0x00;
}

// A capture file as a download writes it.
std::string capture_file(const fs::path& dir, char model, std::int32_t n, const Bytes& data) {
    auto count = count_bytes(model_of(model), n);
    EXPECT_TRUE(count.has_value());
    Bytes bytes = capture_file_bytes(model_of(model), {"2026-12-09 10:00:00", "/dev/ttyUSB0", 9600},
                                     Capture{(*count)[0], (*count)[1], data});
    fs::path file = dir / ("capture-" + std::string(1, model) + ".cap");
    test::write_file(file, std::string(bytes.begin(), bytes.end()));
    return file.string();
}

// A distribution CSV line: 序号, then 101 positions, given ones set, others "0" up to `last`,
// empty beyond it.
std::string distribution_line(int seq, std::map<int, std::string> set, int last = 101) {
    std::string line = std::to_string(seq);
    for (int p = 1; p <= 101; ++p) {
        line += ',';
        line += set.count(p) ? set[p] : (p <= last ? "0" : "");
    }
    return line;
}

struct Imported {
    test::CommandResult import, records, distribution;
};

Imported import_and_list(const test::TempDir& home, char model, const std::string& capture,
                         const std::vector<std::string>& options = {}) {
    std::map<std::string, std::string> env{{"NLX_HOME", home.path().string()}};
    std::string m(1, model);
    Imported r;
    std::vector<std::string> args{"import", "--model", m};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(capture);
    r.import = test::run_nlx(args, env);
    r.records = test::run_nlx({"records", "--model", m, "--format", "csv"}, env);
    if (model != 'e')
        r.distribution = test::run_nlx({"records", "--model", m, "--table", "distribution", "--format", "csv"}, env);
    return r;
}

std::string records_header(char model) {
    switch (model) {
    case 'a':
        return "序号,组号,Leq,L5,L10,L50,L90,L95,SD,LAE,Lmax,Lmin,E,测量时间,CODE,DATE,TIME,MODE,频率计权,时间计权,设定时间,采样间隔,filename\n";
    case 'd':
        return "序号,VLeq,VL5,VL10,VL50,VL90,VL95,VSD,VLAV,VLmax,VLmin,E,测量时间,DATE,TIME,MODE,频率计权,时间计权,设定时间,采样间隔,VLAE\n";
    case 'e':
        return "序号,组号,Leq,LAE,Lmax,Lmin,DL,E,频率计权,时间计权,DATE,TIME,设定时间,Tm,filename\n";
    default:
        return "序号,Leq,L5,L10,L50,L90,L95,SD,LAE,Lmax,Lmin,E,测量时间,DATE,TIME,MODE,频率计权,时间计权,设定时间,采样间隔\n";
    }
}

std::string distribution_header() {
    std::string h = "序号";
    for (int p = 1; p <= 101; ++p) h += ",P" + std::to_string(p);
    return h + "\n";
}

// Model a: a one-block statistical group and a two-block group with a level-distribution file.
Bytes model_a_transfer() {
    Bytes d(3 * 256, 0);
    d[0] = 0xA0, d[1] = 0, d[2] = 12, d[3] = 0x21;
    put_stamp(d, 0);
    d[10] = 2, d[11] = 6;
    put_level_high_first(d, 18, 74.5);
    put_level_high_first(d, 20, 76.0);
    put_level_high_first(d, 22, 73.2);
    put_level_high_first(d, 24, 70.1);
    d[26] = 0x00, d[27] = 0x23;
    put_level_high_first(d, 28, 99.3);
    put_level_high_first(d, 30, 88.8);
    put_level_high_first(d, 32, 65.4);
    d[34] = 0x00, d[35] = 0x12;
    d[36] = 0x00, d[37] = 0x05, d[38] = 0x00;
    d[40] = 0x35;
    put_level_high_first(d, 42, 69.5);
    put_level_high_first(d, 44, 80.2);
    d[46] = 0, d[47] = 1;
    d[48] = 200, d[48 + 30] = 99, d[48 + 31] = 101, d[148] = 7;

    std::size_t s = 256;
    d[s] = 0xA1, d[s + 1] = 1, d[s + 2] = 2;
    d[s + 4] = 0x08, d[s + 5] = 0x0A, d[s + 6] = 0x05;
    d[s + 10] = 11, d[s + 11] = 10;
    d[s + 47] = 2;
    d[s + 256] = 0x01, d[s + 257] = 0x00, d[s + 258] = 0x01;  // class 0: 65537
    d[s + 256 + 15] = 12;                                     // class 5: 12
    return d;
}

TEST(ImportCommand, ModelAStoresRowsDistributionAndHistoryFile) {
    test::TempDir home;
    auto r = import_and_list(home, 'a', capture_file(home.path(), 'a', 3, model_a_transfer()));
    ASSERT_EQ(r.import.exit_code, 0) << r.import.err;
    EXPECT_NE(r.import.out.find("2 groups stored"), std::string::npos) << r.import.out;
    EXPECT_NE(r.import.out.find("1 history files"), std::string::npos) << r.import.out;
    ASSERT_EQ(r.records.exit_code, 0) << r.records.err;
    EXPECT_EQ(r.records.out,
              records_header('a') +
                  "01,012,74.5,80.2,76.0,73.2,70.1,69.5,2.3,99.3,88.8,65.4,1.2,0h5m0s,3.5,08-09-05,14:03:00,STA,C,S,5min,1s,\n"
                  "02,012,00.0,00.0,00.0,00.0,00.0,00.0,0.0,00.0,00.0,00.0,0.0,0h0m0s,0.0,08-A-05,00:00:00,STA,A,F,,,121.ln\n");
    EXPECT_EQ(r.distribution.out, distribution_header() +
                                      distribution_line(1, {{31, "49.5"}, {32, "50.5"}, {101, "3.5"}}) + "\n" +
                                      distribution_line(2, {}) + "\n");
    EXPECT_EQ(test::read_file(home / "3140A存储文件" / "121.ln"),
              " Lp            N\r\n30.0           65537\r\n30.5           12\r\n");
}

// An import that fails once its history files are written takes away the folders it made:
// the storage folder and the application folder above it.
TEST(ImportCommand, AFailedImportLeavesNoFolderItMade) {
    test::TempDir dir;
    const fs::path trap = dir / "trap.db";
    {
        auto db = Database::create_or_open(trap);
        ASSERT_TRUE(db) << db.message();
        ASSERT_TRUE(db->replace_model(model_of('a'), {}));
    }
    {
        // Every new record row is refused, as by a disk that has just filled up.
        auto c = sql::Connection::open(trap, SQLITE_OPEN_READWRITE);
        ASSERT_TRUE(c);
        ASSERT_TRUE((*c)->exec("CREATE TRIGGER trap BEFORE INSERT ON \"噪声a\" BEGIN SELECT RAISE(ABORT, 'no room'); END"));
    }
    const fs::path home = dir / "home";
    auto r = test::run_nlx({"import", "--db", trap.string(), capture_file(dir.path(), 'a', 3, model_a_transfer())},
                           {{"NLX_HOME", home.string()}});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("no room"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(home)) << "nothing of the storage folder is left";
}

TEST(ImportCommand, ModelBTypesAndSkippedBlocks) {
    Bytes d(3 * 256, 0);
    d[0] = 1, d[39] = 3, d[10] = 0, d[11] = 9;
    put_stamp(d, 0);
    put_level_high_first(d, 18, 55.5);
    put_level_high_first(d, 20, 57.0);
    put_level_high_first(d, 22, 55.0);
    put_level_high_first(d, 24, 52.0);
    d[26] = 0x12, d[27] = 0x34;  // the deviation's first byte counts as a plain number: 183.4
    put_level_high_first(d, 28, 95.1);
    put_level_high_first(d, 30, 66.6);
    put_level_high_first(d, 32, 44.4);
    d[34] = 0x00, d[35] = 0x05;
    d[36] = 0x45, d[37] = 0x59, d[38] = 0x23;
    put_level_high_first(d, 42, 50.0);
    put_level_high_first(d, 44, 60.0);
    d[48] = 10, d[147] = 150, d[148] = 9;
    d[256] = 3;     // an octave block: no measurement time
    d[512] = 0xFF;  // no group

    test::TempDir home;
    auto r = import_and_list(home, 'b', capture_file(home.path(), 'b', 3, d));
    ASSERT_EQ(r.import.exit_code, 0) << r.import.err;
    EXPECT_EQ(r.records.out,
              records_header('b') +
                  "01,55.5,60.0,57.0,55.0,52.0,50.0,183.4,95.1,66.6,44.4,0.5,23h59m45s,08-09-05,14:03:00,24h3,A,F,10s,10s\n"
                  "02,00.0,00.0,00.0,00.0,00.0,00.0,0.0,00.0,00.0,00.0,0.0,,00-00-00,00:00:00,OCT,A,F,10s,0.01s\n");
    EXPECT_EQ(r.distribution.out, distribution_header() + distribution_line(1, {{1, "5"}, {100, "75"}}, 100) +
                                      "\n" + distribution_line(2, {}, 100) + "\n");
}

TEST(ImportCommand, ModelCStatisticalAndOctaveGroups) {
    Bytes d(2 * 256, 0);
    d[0] = 0xA0, d[3] = 0x00, d[10] = 6;
    put_stamp(d, 0);
    sim::put_u24_le(d, 15, 3600);
    put_level_low_first(d, 18, 85.6);
    put_level_low_first(d, 20, 70.0);
    put_level_low_first(d, 22, 65.0);
    put_level_low_first(d, 24, 60.5);
    d[26] = 0x35, d[27] = 0x02;
    put_level_low_first(d, 30, 99.9);
    put_level_low_first(d, 32, 40.0);
    d[36] = 0x00, d[37] = 0x00, d[38] = 0x01;
    put_level_low_first(d, 42, 58.0);
    put_level_low_first(d, 44, 90.0);
    sim::put_u16_le(d, 48 + 2 * 30, 3600);  // one hour of samples, all at 60 dB

    std::size_t s = 256;
    d[s] = 0xD0, d[s + 3] = 0x01;
    put_stamp(d, s);
    const std::pair<std::size_t, double> bands[] = {{18, 45.0}, {44, 48.0}, {20, 50.0}, {22, 55.0},
                                                    {24, 60.0}, {42, 63.0}, {26, 65.5}, {28, 62.0},
                                                    {30, 58.0}, {32, 70.1}, {34, 68.2}, {36, 72.0}};
    for (auto [at, level] : bands) put_level_low_first(d, s + at, level);

    test::TempDir home;
    auto r = import_and_list(home, 'c', capture_file(home.path(), 'c', 2, d));
    ASSERT_EQ(r.import.exit_code, 0) << r.import.err;
    // LAE = 85.6 + 10 log10(3600) = 121.16; E = 4 * 10^(12.116 - 10) / 3600 = 0.145 Pa²h.
    EXPECT_EQ(r.records.out,
              records_header('c') +
                  "01,85.6,90.0,70.0,65.0,60.5,58.0,23.5,121.2,99.9,40.0,0.1,1h0m0s,08-09-05,14:03:00,STA,A,F,1hour,1s\n"
                  "02,45.0,48.0,50.0,55.0,60.0,63.0,65.5,62.0,58.0,70.1,68.2,72,08-09-05,14:03:00,OCT,L,S,1sLeq,1s\n");
    EXPECT_EQ(r.distribution.out, distribution_header() + distribution_line(1, {{31, "100"}}) + "\n");
}

TEST(ImportCommand, ModelDVibrationGroup) {
    Bytes d(256, 0);
    d[0] = 0, d[3] = 0x21, d[10] = 10, d[11] = 6;
    put_stamp(d, 0);
    put_level_high_first(d, 18, 85.6);
    put_level_high_first(d, 20, 90.0);
    put_level_high_first(d, 22, 80.0);
    put_level_high_first(d, 24, 70.0);
    d[26] = 1, d[27] = 0x25;
    put_level_high_first(d, 28, 100.2);
    put_level_high_first(d, 30, 110.0);
    put_level_high_first(d, 32, 5.6);
    d[34] = 0x00, d[35] = 0x35;
    d[36] = 0x30, d[37] = 0x02, d[38] = 0x00;
    put_level_high_first(d, 42, 65.0);
    put_level_high_first(d, 44, 95.0);
    d[48] = 199, d[49] = 1, d[50] = 200;

    test::TempDir home;
    auto r = import_and_list(home, 'd', capture_file(home.path(), 'd', 1, d));
    ASSERT_EQ(r.import.exit_code, 0) << r.import.err;
    EXPECT_EQ(r.records.out,
              records_header('d') +
                  "01,85.6,95.0,90.0,80.0,70.0,65.0,12.5,100.2,110.0,05.6,3.5,0h2m30s,08-09-05,14:03:00,STA,XY,S,24hour,1s,\n");
    EXPECT_EQ(r.distribution.out,
              distribution_header() + distribution_line(1, {{1, "99.5"}, {2, "0.5"}}, 100) + "\n");
}

TEST(ImportCommand, ModelERecordsIncludingAZeroDuration) {
    Bytes d(32, 0);
    d[0] = 0x05, d[1] = 3;  // Lmin 30.5
    d[2] = 0xA1;
    d[3] = 0x08, d[4] = 0x09, d[5] = 0x05, d[6] = 0x14, d[7] = 0x03;
    d[8] = 6;
    d[9] = 0x01, d[10] = 0x00, d[11] = 0x00;
    d[12] = 0x56, d[13] = 8;   // Leq 85.6
    d[14] = 0x00, d[15] = 10;  // Lmax 100.0
    d[16 + 2] = 0xA0;

    test::TempDir home;
    auto r = import_and_list(home, 'e', capture_file(home.path(), 'e', 32, d));
    ASSERT_EQ(r.import.exit_code, 0) << r.import.err;
    // E = 4e-10 * 10^8.56 * 3600 / 3600 = 0.145 Pa²h, written 00.15, so DL reads 15%.
    EXPECT_EQ(r.records.out, records_header('e') +
                                 "01,001,85.6,121.2,100,30.5,15%,00.15,A,S,08-09-05,14:03,1h,01:00:00,\n"
                                 "02,002,0,,0,0,0,00.00,A,F,00-00-00,00:00,手动,00:00:00,\n");
}

TEST(ImportCommand, ShortCaptureKeepsWholeGroupsAndSaysWhatWasLost) {
    test::TempDir home;
    Bytes data = model_a_transfer();
    data.resize(300);  // the second group's first block is cut
    const std::string file = capture_file(home.path(), 'a', 3, data);
    auto refused = import_and_list(home, 'a', file);
    EXPECT_EQ(refused.import.exit_code, 1);
    EXPECT_NE(refused.import.err.find("300 of 768 bytes arrived"), std::string::npos) << refused.import.err;
    EXPECT_NE(refused.import.err.find("--partial"), std::string::npos) << refused.import.err;
    EXPECT_FALSE(fs::exists(home / "noise.db")) << "nothing is stored without --partial";

    auto r = import_and_list(home, 'a', file, {"--partial"});
    ASSERT_EQ(r.import.exit_code, 0) << r.import.err;
    EXPECT_NE(r.import.out.find("1 groups stored"), std::string::npos) << r.import.out;
    EXPECT_NE(r.import.out.find("300 of 768 bytes received, 468 lost"), std::string::npos) << r.import.out;
    EXPECT_NE(r.import.err.find("note:"), std::string::npos);
    EXPECT_EQ(std::count(r.records.out.begin(), r.records.out.end(), '\n'), 2);
}

TEST(ImportCommand, RefusesCapturesWithoutDataAndKeepsTheRecords) {
    test::TempDir home;
    std::map<std::string, std::string> env{{"NLX_HOME", home.path().string()}};
    ASSERT_EQ(import_and_list(home, 'a', capture_file(home.path(), 'a', 3, model_a_transfer())).import.exit_code, 0);

    test::write_file(home / "empty.cap", std::string("\x00\x10", 2));  // n = 0
    auto none = test::run_nlx({"import", "--raw", "--model", "a", (home / "empty.cap").string()}, env);
    EXPECT_EQ(none.exit_code, 1);
    EXPECT_NE(none.err.find("声级计中无数据"), std::string::npos) << none.err;

    test::write_file(home / "tiny.cap", "x");
    auto tiny = test::run_nlx({"import", "--raw", "--model", "a", (home / "tiny.cap").string()}, env);
    EXPECT_EQ(tiny.exit_code, 1);
    EXPECT_NE(tiny.err.find("count bytes"), std::string::npos) << tiny.err;

    auto missing = test::run_nlx({"import", "--model", "a", (home / "nope.cap").string()}, env);
    EXPECT_EQ(missing.exit_code, 2);

    // A short capture without a whole group, even with --partial: nothing replaced, nothing logged.
    for (std::size_t bytes : {0u, 255u}) {
        Bytes cut = model_a_transfer();
        cut.resize(bytes);
        auto partial = test::run_nlx({"import", "--partial", capture_file(home.path(), 'a', 3, cut)}, env);
        EXPECT_EQ(partial.exit_code, 1) << bytes;
        EXPECT_NE(partial.err.find("no whole group arrived"), std::string::npos) << partial.err;
        EXPECT_NE(partial.err.find("nothing was replaced"), std::string::npos) << partial.err;
    }
    auto log = test::run_nlx({"transfers", "--format", "csv"}, env);
    EXPECT_EQ(std::count(log.out.begin(), log.out.end(), '\n'), 2) << log.out;

    auto records = test::run_nlx({"records", "--model", "a", "--format", "csv"}, env);
    EXPECT_EQ(std::count(records.out.begin(), records.out.end(), '\n'), 3) << "the earlier rows stay";
}

}  // namespace
}  // namespace nlx
