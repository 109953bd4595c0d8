// Transfers of every model typed byte by byte from the record layouts, with the rows typed too.
//
// The other decoder tests build their input with the project's encoders, so an offset misread
// on both sides goes unnoticed. Here every transfer is literal bytes (bytes not typed are zero)
// and every expected cell is typed from the layout: each row states all columns of its table.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/models.h"
#include "decode/decoder.h"
#include "decoded_rows.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

// Bytes typed at an offset of the transfer.
struct Bytes {
    std::size_t at;
    std::vector<std::uint8_t> bytes;
};

// A distribution row: positions 1..`written` hold 0 except those listed; the rest stay empty.
struct Distribution {
    long long seq;
    int written;
    std::vector<std::pair<int, double>> nonzero;  // position (from 1), percent
};

struct Row {
    std::vector<std::pair<const char*, Cell>> cells;  // every column of the record table
    std::optional<Distribution> distribution;
    std::optional<HistoryFile> history;
};

struct Case {
    const char* name;
    char model;
    std::size_t size;  // bytes handed to the decoder
    std::int32_t n;    // transfer count
    std::vector<Bytes> bytes;
    std::vector<Row> rows;
};

constexpr std::nullopt_t unset = std::nullopt;

// The transfers' Chinese texts in GBK.
const std::string kInstantHeader =  // 瞬时值随时间变化记录
    "\xCB\xB2\xCA\xB1\xD6\xB5\xCB\xE6\xCA\xB1\xBC\xE4\xB1\xE4\xBB\xAF\xBC\xC7\xC2\xBC";
const std::string kAcHeader =  // 交流值随时间变化记录，采样间隔：
    "\xBD\xBB\xC1\xF7\xD6\xB5\xCB\xE6\xCA\xB1\xBC\xE4\xB1\xE4\xBB\xAF\xBC\xC7\xC2\xBC\xA3\xAC"
    "\xB2\xC9\xD1\xF9\xBC\xE4\xB8\xF4\xA3\xBA";

// ---------------------------------------------------------------------------------------------
// Model a: a 48-byte header, levels high byte first, distribution bytes 48..148 in half percent,
// group length in blocks at 46..47, time history from the group's second block.
const std::vector<Case> kCasesA = {
    {"a: three one-block groups: statistics, 24h no, a mode byte outside the table", 'a', 768, 3,
     {
         {0, {0xA0,              // 0: mode byte: single statistical measurement, no file
              0x00, 0x0C,        // 1, 2: group-number parts 0 and 12
              0x21,              // 3: weighting: time S (high nibble 2), frequency C (low 1)
              0x08, 0x09, 0x05,  // 4..6: date 08-09-05
              0x14, 0x03, 0x00,  // 7..9: start 14:03:00
              0x03,              // 10: set time 10min
              0x06,              // 11: sampling interval 1s
              0xFF, 0xFF,        // 12, 13: not read
              0x14,              // 14: AC interval (no file for this mode)
              0x00, 0x00, 0x05,  // 15..17: history length (no file)
              0x07, 0x45,        // 18: Leq 74.5
              0x07, 0x82,        // 20: L10 78.2
              0x07, 0x00,        // 22: L50 70.0
              0x06, 0x24,        // 24: L90 62.4
              0x10, 0x25,        // 26: SD, its first byte a plain number: 10 x 16 + 2.5 = 162.5
              0x10, 0x25,        // 28: LAE, packed: 102.5
              0x09, 0x50,        // 30: Lmax 95.0
              0x04, 0x02,        // 32: Lmin 40.2
              0x00, 0x04,        // 34: E 0.4
              0x00, 0x30, 0x01,  // 36..38: measured 0 s, 30 min, 1 h
              0x00,              // 39: 24h number (not used for this mode)
              0x15,              // 40: CODE 1.5
              0xFF,              // 41: not read
              0x00, 0x53,        // 42: L95 5.3
              0x08, 0x01,        // 44: L5 80.1
              0x00, 0x01}},      // 46, 47: group length 1 block
         {48, {0xC8,             // distribution position 1: 200 = 100 %, kept as 0
               0x63,             // position 2: 99 = 49.5 %
               0x01}},           // position 3: 0.5 %
         {148, {0x06}},          // position 101: 3 %
         {256, {0xB0,            // 0: mode byte: 24-hour run without number
                0x01, 0x05,      // 1, 2: group-number parts 1 and 5
                0x00,            // 3: weighting F, A
                0x08, 0x0A, 0x05,  // 4..6: date; the month byte 0Ah is no decimal digit
                0x23, 0x59, 0x59,  // 7..9: start 23:59:59
                0x0B,            // 10: set-time code 11, outside the table
                0x0A}},          // 11: sampling-interval code 10, outside the table
         {256 + 36, {0x00, 0x05, 0x00,  // 36..38: measured 0 s, 5 min, 0 h
                     0x07}},            // 39: number not shown for this mode
         {256 + 46, {0x00, 0x01}},      // 46, 47: group length 1 block
         {512, {0xE0,            // 0: mode byte outside the table: no MODE, no file
                0x02, 0x00,      // 1, 2: group-number parts 2 and 0
                0x13,            // 3: weighting S, E
                0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 4..9: date and start all zero
                0x0A,            // 10: set time 24hour
                0x09}},          // 11: sampling interval 10s
         {512 + 18, {0x09, 0x99}},  // 18: Leq 99.9
         {512 + 40, {0x99}},        // 40: CODE 9.9
         {512 + 46, {0x00, 0x01}},  // 46, 47: group length 1 block
         {512 + 147, {0xC7}},       // distribution position 100: 199 = 99.5 %
     },
     {
         {{{"序号", "01"}, {"组号", "012"}, {"Leq", "74.5"}, {"L5", "80.1"}, {"L10", "78.2"},
           {"L50", "70.0"}, {"L90", "62.4"}, {"L95", "05.3"}, {"SD", "162.5"}, {"LAE", "102.5"},
           {"Lmax", "95.0"}, {"Lmin", "40.2"}, {"E", "0.4"}, {"测量时间", "1h30m0s"}, {"CODE", "1.5"},
           {"DATE", "08-09-05"}, {"TIME", "14:03:00"}, {"MODE", "STA"}, {"频率计权", "C"},
           {"时间计权", "S"}, {"设定时间", "10min"}, {"采样间隔", "1s"}, {"filename", unset}},
          Distribution{1, 101, {{2, 49.5}, {3, 0.5}, {101, 3.0}}},
          std::nullopt},
         {{{"序号", "02"}, {"组号", "015"}, {"Leq", "00.0"}, {"L5", "00.0"}, {"L10", "00.0"},
           {"L50", "00.0"}, {"L90", "00.0"}, {"L95", "00.0"}, {"SD", "0.0"}, {"LAE", "00.0"},
           {"Lmax", "00.0"}, {"Lmin", "00.0"}, {"E", "0.0"}, {"测量时间", "0h5m0s"}, {"CODE", "0.0"},
           {"DATE", "08-A-05"}, {"TIME", "23:59:59"}, {"MODE", "24h no"}, {"频率计权", "A"},
           {"时间计权", "F"}, {"设定时间", unset}, {"采样间隔", unset}, {"filename", unset}},
          Distribution{2, 101, {}},
          std::nullopt},
         {{{"序号", "03"}, {"组号", "020"}, {"Leq", "99.9"}, {"L5", "00.0"}, {"L10", "00.0"},
           {"L50", "00.0"}, {"L90", "00.0"}, {"L95", "00.0"}, {"SD", "0.0"}, {"LAE", "00.0"},
           {"Lmax", "00.0"}, {"Lmin", "00.0"}, {"E", "0.0"}, {"测量时间", "0h0m0s"}, {"CODE", "9.9"},
           {"DATE", "00-00-00"}, {"TIME", "00:00:00"}, {"MODE", unset}, {"频率计权", "E"},
           {"时间计权", "S"}, {"设定时间", "24hour"}, {"采样间隔", "10s"}, {"filename", unset}},
          Distribution{3, 101, {{100, 99.5}}},
          std::nullopt},
     }},

    {"a: two-block groups with level-distribution, instantaneous-level and AC histories", 'a',
     1536, 6,
     {
         {0, {0xB1,              // 0: mode byte: 24-hour run with number, ".ln" file
              0x00, 0x0C,        // 1, 2: group-number parts 0 and 12
              0x10,              // 3: weighting S, A
              0x08, 0x09, 0x05,  // 4..6: date 08-09-05
              0x00, 0x00, 0x00,  // 7..9: start 00:00:00
              0x0A,              // 10: set time 24hour
              0x08}},            // 11: sampling interval 5s
         {18, {0x05, 0x50}},     // 18: Leq 55.0
         {36, {0x00, 0x00, 0x24,  // 36..38: measured 0 s, 0 min, 24 h
               0x02}},            // 39: shown after "24h"
         {46, {0x00, 0x02}},      // 46, 47: group length 2 blocks
         {48, {0x14}},            // distribution position 1: 10 %
         // Second block: 3-byte counts of 0.1 dB classes from 30.0 dB, low byte first.
         {256, {0x01, 0x00, 0x01}},        // class 0 (30.0 dB): 65537
         {256 + 15, {0x0C, 0x00, 0x00}},   // class 5 (30.5 dB): 12
         {256 + 252, {0x07, 0x00, 0x00}},  // class 84 (38.4 dB), the last whole one: 7
         {256 + 255, {0x01}},              // class 85 runs past the group's end: not read

         {512, {0xA3,            // 0: mode byte: statistics with instantaneous levels, ".li"
                0x01, 0x05,      // 1, 2: group-number parts 1 and 5
                0x01,            // 3: weighting F, C
                0x08, 0x09, 0x06,  // 4..6: date 08-09-06
                0x10, 0x00, 0x00,  // 7..9: start 10:00:00
                0x01,            // 10: set time 1min
                0x00}},          // 11: sampling interval 0.01s
         {512 + 15, {0x00, 0x00, 0x03,  // 15..17: 3 samples
                     0x06, 0x00}},      // 18: Leq 60.0
         {512 + 36, {0x00, 0x01, 0x00}},  // 36..38: measured 0 s, 1 min, 0 h
         {512 + 46, {0x00, 0x02}},        // 46, 47: group length 2 blocks
         {768, {0x00, 0x01, 0x02,         // samples: 30.0, 30.4, 30.8 dB
                0xFF}},                   // beyond the 3 samples: not read

         {1024, {0xD0,           // 0: mode byte: AC record, ".ac"
                 0x00, 0x00,     // 1, 2: group-number parts 0 and 0
                 0x02,           // 3: weighting F, Z
                 0x08, 0x09, 0x07,  // 4..6: date 08-09-07
                 0x11, 0x00, 0x00,  // 7..9: start 11:00:00
                 0x00,           // 10: set time 10s
                 0x01,           // 11: sampling interval 0.02s
                 0x00, 0x00,     // 12, 13: not read
                 0x14,           // 14: AC sampling interval 20 ms
                 0x00, 0x00, 0x04}},  // 15..17: 4 bytes of samples
         {1024 + 46, {0x00, 0x02}},   // 46, 47: group length 2 blocks
         {1280, {0x0A, 0x10,          // range factor 2, value 2 x (512 + 16 - 512) = 32
                 0x00, 0x00,          // range factor 1, value -512
                 0x06, 0x0A}},        // beyond the 4 bytes: not read
     },
     {
         {{{"序号", "01"}, {"组号", "012"}, {"Leq", "55.0"}, {"L5", "00.0"}, {"L10", "00.0"},
           {"L50", "00.0"}, {"L90", "00.0"}, {"L95", "00.0"}, {"SD", "0.0"}, {"LAE", "00.0"},
           {"Lmax", "00.0"}, {"Lmin", "00.0"}, {"E", "0.0"}, {"测量时间", "24h0m0s"}, {"CODE", "0.0"},
           {"DATE", "08-09-05"}, {"TIME", "00:00:00"}, {"MODE", "24h2"}, {"频率计权", "A"},
           {"时间计权", "S"}, {"设定时间", "24hour"}, {"采样间隔", "5s"}, {"filename", "0120.ln"}},
          Distribution{1, 101, {{1, 10.0}}},
          HistoryFile{"0120.ln",
                      " Lp            N\r\n"
                      "30.0           65537\r\n"
                      "30.5           12\r\n"
                      "38.4           7\r\n"}},
         {{{"序号", "02"}, {"组号", "015"}, {"Leq", "60.0"}, {"L5", "00.0"}, {"L10", "00.0"},
           {"L50", "00.0"}, {"L90", "00.0"}, {"L95", "00.0"}, {"SD", "0.0"}, {"LAE", "00.0"},
           {"Lmax", "00.0"}, {"Lmin", "00.0"}, {"E", "0.0"}, {"测量时间", "0h1m0s"}, {"CODE", "0.0"},
           {"DATE", "08-09-06"}, {"TIME", "10:00:00"}, {"MODE", "STA"}, {"频率计权", "C"},
           {"时间计权", "F"}, {"设定时间", "1min"}, {"采样间隔", "0.01s"}, {"filename", "151.li"}},
          Distribution{2, 101, {}},
          HistoryFile{"151.li", kInstantHeader + "\r\n30.0\t30.4\t30.8\t"}},
         {{{"序号", "03"}, {"组号", "000"}, {"Leq", "00.0"}, {"L5", "00.0"}, {"L10", "00.0"},
           {"L50", "00.0"}, {"L90", "00.0"}, {"L95", "00.0"}, {"SD", "0.0"}, {"LAE", "00.0"},
           {"Lmax", "00.0"}, {"Lmin", "00.0"}, {"E", "0.0"}, {"测量时间", "0h0m0s"}, {"CODE", "0.0"},
           {"DATE", "08-09-07"}, {"TIME", "11:00:00"}, {"MODE", "AC"}, {"频率计权", "Z"},
           {"时间计权", "F"}, {"设定时间", "10s"}, {"采样间隔", "0.02s"}, {"filename", "002.ac"}},
          Distribution{3, 101, {}},
          HistoryFile{"002.ac", kAcHeader + "20ms\r\n32\t-512\t"}},
     }},
};

// ---------------------------------------------------------------------------------------------
// Model b: one group per 256-byte block, a type byte 0..3, the measured values at model a's
// offsets, distribution bytes 48..147 in half percent.
const std::vector<Case> kCasesB = {
    {"b: a 24h block, two blocks that are no group, an octave block and an empty block", 'b',
     1280, 5,
     {
         {0, {0x01,              // 0: type 24-hour run
              0xFF, 0xFF,        // 1, 2: not read
              0x12,              // 3: weighting S, Z
              0x08, 0x09, 0x05,  // 4..6: date 08-09-05
              0x14, 0x03, 0x00,  // 7..9: start 14:03:00
              0x06,              // 10: set time 1hour
              0x09,              // 11: sampling interval 10s
              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // 12..17: not read
              0x07, 0x45,        // 18: Leq 74.5
              0x07, 0x82,        // 20: L10 78.2
              0x07, 0x00,        // 22: L50 70.0
              0x06, 0x24,        // 24: L90 62.4
              0x00, 0x53,        // 26: SD 5.3
              0x11, 0x01,        // 28: LAE 110.1
              0x09, 0x50,        // 30: Lmax 95.0
              0x04, 0x02,        // 32: Lmin 40.2
              0x01, 0x23,        // 34: E 12.3
              0x00, 0x05, 0x00,  // 36..38: measured 0 s, 5 min, 0 h
              0x03,              // 39: shown after "24h"
              0xFF, 0xFF,        // 40, 41: not read
              0x06, 0x00,        // 42: L95 60.0
              0x08, 0x01,        // 44: L5 80.1
              0xFF, 0xFF}},      // 46, 47: not read
         {48, {0x19,             // distribution position 1: 25 = 12.5 %
               0xC8}},           // position 2: 100 %, kept as 0
         {147, {0x01,            // position 100: 0.5 %
                0x10}},          // byte 148: not read, position 101 stays empty
         {256, {0x04}},          // 0: type 4: no group
         {512, {0xFF}},          // 0: type FFh: no group
         {768, {0x03,            // 0: type octave
                0x00, 0x00,      // 1, 2: not read
                0x04,            // 3: weighting F, frequency code 4 outside the table
                0x08, 0x0A, 0x05,  // 4..6: date; month byte 0Ah
                0x09, 0x00, 0x00,  // 7..9: start 09:00:00
                0x0B,            // 10: set-time code 11, outside the table
                0x0A}},          // 11: sampling-interval code 10, outside the table
         {768 + 26, {0x10, 0x25}},  // 26: SD, first byte plain: 162.5
         {768 + 36, {0x00, 0x05, 0x00}},  // 36..38: measured time, not used for octave blocks
         {768 + 44, {0x10, 0x25}},  // 44: L5 102.5
         {768 + 48, {0x63}},        // distribution position 1: 49.5 %
         // 1024..1279: an empty block (as after a reception time-out): a type 0 group
     },
     {
         {{{"序号", "01"}, {"Leq", "74.5"}, {"L5", "80.1"}, {"L10", "78.2"}, {"L50", "70.0"},
           {"L90", "62.4"}, {"L95", "60.0"}, {"SD", "5.3"}, {"LAE", "110.1"}, {"Lmax", "95.0"},
           {"Lmin", "40.2"}, {"E", "12.3"}, {"测量时间", "0h5m0s"}, {"DATE", "08-09-05"},
           {"TIME", "14:03:00"}, {"MODE", "24h3"}, {"频率计权", "Z"}, {"时间计权", "S"},
           {"设定时间", "1hour"}, {"采样间隔", "10s"}},
          Distribution{1, 100, {{1, 12.5}, {100, 0.5}}},
          std::nullopt},
         {{{"序号", "04"}, {"Leq", "00.0"}, {"L5", "102.5"}, {"L10", "00.0"}, {"L50", "00.0"},
           {"L90", "00.0"}, {"L95", "00.0"}, {"SD", "162.5"}, {"LAE", "00.0"}, {"Lmax", "00.0"},
           {"Lmin", "00.0"}, {"E", "0.0"}, {"测量时间", unset}, {"DATE", "08-A-05"},
           {"TIME", "09:00:00"}, {"MODE", "OCT"}, {"频率计权", unset}, {"时间计权", "F"},
           {"设定时间", unset}, {"采样间隔", unset}},
          Distribution{4, 100, {{1, 49.5}}},
          std::nullopt},
         {{{"序号", "05"}, {"Leq", "00.0"}, {"L5", "00.0"}, {"L10", "00.0"}, {"L50", "00.0"},
           {"L90", "00.0"}, {"L95", "00.0"}, {"SD", "0.0"}, {"LAE", "00.0"}, {"Lmax", "00.0"},
           {"Lmin", "00.0"}, {"E", "0.0"}, {"测量时间", "0h0m0s"}, {"DATE", "00-00-00"},
           {"TIME", "00:00:00"}, {"MODE", "STA"}, {"频率计权", "A"}, {"时间计权", "F"},
           {"设定时间", "10s"}, {"采样间隔", "0.01s"}},
          Distribution{5, 100, {}},
          std::nullopt},
     }},
};

// ---------------------------------------------------------------------------------------------
// Model c: 256-byte groups A0h/B0h (statistics) and D0h (octave bands), levels low byte first,
// duration in seconds at 15..17 low byte first, 16-bit level counts from byte 48.
const std::vector<Case> kCasesC = {
    {"c: a single and a 24h group, a no-group type, an octave group and an empty block", 'c',
     1280, 5,
     {
         {0, {0xA0,              // 0: type single statistical measurement
              0x00, 0x00,        // 1, 2: not read
              0x10,              // 3: time weighting from the low nibble 0: F
              0x08, 0x09, 0x05,  // 4..6: date 08-09-05
              0x14, 0x03, 0x00,  // 7..9: start 14:03:00
              0x09,              // 10: set time 24hour (this model's table)
              0x05,              // 11: not read, the interval is always 1s
              0x00, 0x00, 0x00,  // 12..14: not read
              0x10, 0x0E, 0x00,  // 15..17: duration 0E10h = 3600 s
              0x00, 0x10,        // 18: Leq 100.0 (low byte first)
              0x05, 0x00,        // 20: L10 0.5
              0x00, 0x07,        // 22: L50 70.0
              0x24, 0x06,        // 24: L90 62.4
              0x35,              // 26: SD units 3, tenths 5
              0x02,              // 27: SD tens 2: 23.5
              0xFF, 0xFF,        // 28, 29: not read
              0x53, 0x10,        // 30: Lmax 105.3
              0x02, 0x04,        // 32: Lmin 40.2
              0x99, 0x99,        // 34, 35: not read
              0x00, 0x00, 0x01,  // 36..38: measured 0 s, 0 min, 1 h
              0x00,              // 39: day number, not used for A0h
              0x00, 0x00,        // 40, 41: not read
              0x01, 0x06,        // 42: L95 60.1
              0x56, 0x08,        // 44: L5 85.6
              0x00, 0x00,        // 46, 47: not read
              0x01, 0x00,        // 48: count of 30 dB: 1
              0x00, 0x00,        // 50: count of 31 dB: 0
              0x03, 0x00}},      // 52: count of 32 dB: 3; 4 counts in all
         {248, {0x02, 0x00}},    // 248: count of 130 dB: 2, not part of the total

         {256, {0xB0,            // 0: type 24-hour run
                0x00, 0x00,      // 1, 2: not read
                0x01,            // 3: time weighting S
                0x09, 0x01, 0x31,  // 4..6: date 09-01-31
                0x23, 0x59, 0x58,  // 7..9: start 23:59:58
                0x0A}},          // 10: set-time code 10, outside this model's table
         {256 + 15, {0x00, 0x00, 0x01,  // 15..17: duration 10000h = 65536 s
                     0x00, 0x08}},      // 18: Leq 80.0
         {256 + 26, {0x77,              // 26: not used when byte 27 is FFh
                     0xFF}},            // 27: SD from the counts
         {256 + 36, {0x30, 0x05, 0x12,  // 36..38: measured 30 s, 5 min, 12 h
                     0x0C}},            // 39: day 12
         {256 + 108, {0x00, 0x01,       // 108: count of 60 dB: 256
                      0x00, 0x00,       // 110: count of 61 dB: 0
                      0x00, 0x01}},     // 112: count of 62 dB: 256; mean 61, deviation 1

         {512, {0xA1,            // 0: type A1h: no group
                0x00, 0x00, 0x00, 0x08, 0x09, 0x05}},

         {768, {0xD0,            // 0: type octave bands
                0x00, 0x00,      // 1, 2: not read
                0x01,            // 3: time weighting S
                0x10, 0x11, 0x12,  // 4..6: date 10-11-12
                0x08, 0x00, 0x00,  // 7..9: start 08:00:00
                0x03,            // 10: not read, the set time is 1sLeq
                0x00, 0x00, 0x00, 0x00,  // 11..14: not read
                0x10, 0x0E, 0x00,  // 15..17: not read for octave groups
                0x50, 0x04,      // 18: 31.5 Hz 45.0
                0x22, 0x05,      // 20: 125 Hz 52.2
                0x53, 0x05,      // 22: 250 Hz 55.3
                0x84, 0x05,      // 24: 500 Hz 58.4
                0x16, 0x06,      // 26: 2 kHz 61.6
                0x97, 0x05,      // 28: 4 kHz 59.7
                0x08, 0x05,      // 30: 8 kHz 50.8
                0x89, 0x06,      // 32: AP 68.9
                0x50, 0x06,      // 34: LA 65.0
                0x00, 0x07,      // 36: LC 70.0
                0x01, 0x02,      // 38, 39: not read
                0x00, 0x00,      // 40, 41: not read
                0x05, 0x06,      // 42: 1 kHz 60.5
                0x81, 0x04}},    // 44: 63 Hz 48.1
         // 1024..1279: an empty block, type 00h: no group
     },
     {
         {{{"序号", "01"}, {"Leq", "100.0"}, {"L5", "85.6"}, {"L10", "0.5"}, {"L50", "70.0"},
           {"L90", "62.4"}, {"L95", "60.1"}, {"SD", "23.5"},
           {"LAE", "135.6"},  // 100.0 + 10 lg 3600 = 135.56
           {"Lmax", "105.3"}, {"Lmin", "40.2"},
           {"E", "4.0"},  // 4 x 10^(13.556 - 10) / 3600 = 4 x 3600 / 3600
           {"测量时间", "1h0m0s"}, {"DATE", "08-09-05"}, {"TIME", "14:03:00"}, {"MODE", "STA"},
           {"频率计权", "A"}, {"时间计权", "F"}, {"设定时间", "24hour"}, {"采样间隔", "1s"}},
          Distribution{1, 101, {{1, 25.0}, {3, 75.0}, {101, 50.0}}},
          std::nullopt},
         {{{"序号", "02"}, {"Leq", "80.0"}, {"L5", "0.0"}, {"L10", "0.0"}, {"L50", "0.0"},
           {"L90", "0.0"}, {"L95", "0.0"}, {"SD", "1.0"},
           {"LAE", "128.2"},  // 80.0 + 10 lg 65536 = 128.16
           {"Lmax", "0.0"}, {"Lmin", "0.0"},
           {"E", "0.7"},  // 4 x 10^2.8165 / 3600 = 0.728
           {"测量时间", "12h5m30s"}, {"DATE", "09-01-31"}, {"TIME", "23:59:58"}, {"MODE", "24h12"},
           {"频率计权", "A"}, {"时间计权", "S"}, {"设定时间", unset}, {"采样间隔", "1s"}},
          Distribution{2, 101, {{31, 50.0}, {33, 50.0}}},
          std::nullopt},
         {{{"序号", "04"}, {"Leq", "45.0"}, {"L5", "48.1"}, {"L10", "52.2"}, {"L50", "55.3"},
           {"L90", "58.4"}, {"L95", "60.5"}, {"SD", "61.6"}, {"LAE", "59.7"}, {"Lmax", "50.8"},
           {"Lmin", "68.9"}, {"E", "65.0"}, {"测量时间", "70"}, {"DATE", "10-11-12"},
           {"TIME", "08:00:00"}, {"MODE", "OCT"}, {"频率计权", "L"}, {"时间计权", "S"},
           {"设定时间", "1sLeq"}, {"采样间隔", "1s"}},
          std::nullopt,
          std::nullopt},
     }},
};

// ---------------------------------------------------------------------------------------------
// Model d: 256-byte vibration groups, mode 0..3, levels high byte first, VSD tens as a plain
// number, distribution bytes 48..147 in half percent.
const std::vector<Case> kCasesD = {
    {"d: a 24h group, an octave group, a no-group mode byte and an empty block", 'd', 1024, 4,
     {
         {0, {0x01,              // 0: mode 24-hour run
              0x00, 0x00,        // 1, 2: not read
              0x21,              // 3: time weighting S, frequency code 1: XY
              0x09, 0x12, 0x24,  // 4..6: date 09-12-24
              0x06, 0x30, 0x15,  // 7..9: start 06:30:15
              0x0A,              // 10: set time 24hour
              0x0A,              // 11: sampling-interval code 10, outside the table
              0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 12..17: not read
              0x08, 0x56,        // 18: VLeq 85.6
              0x08, 0x00,        // 20: VL10 80.0
              0x07, 0x50,        // 22: VL50 75.0
              0x07, 0x00,        // 24: VL90 70.0
              0x01, 0x25,        // 26, 27: VSD tens 1, units 2, tenths 5: 12.5
              0x09, 0x01,        // 28: VLAV 90.1
              0x09, 0x99,        // 30: VLmax 99.9
              0x06, 0x55,        // 32: VLmin 65.5
              0x00, 0x12,        // 34: E 1.2
              0x59, 0x59, 0x23,  // 36..38: measured 59 s, 59 min, 23 h
              0x02,              // 39: day number 2
              0x00, 0x00,        // 40, 41: not read
              0x06, 0x80,        // 42: VL95 68.0
              0x00, 0x56,        // 44: VL5 05.6
              0x00, 0x00,        // 46, 47: not read
              0xC7,              // 48: distribution position 1: 199 = 99.5 %
              0xC8,              // position 2: 200, kept as 0
              0xFF,              // position 3: 255, kept as 0
              0x01}},            // position 4: 0.5 %

         {256, {0x03,            // 0: mode octave
                0x00, 0x00,      // 1, 2: not read
                0x03,            // 3: time weighting F, frequency code 3: E
                0x09, 0x12, 0x25,  // 4..6: date 09-12-25
                0x00, 0x00, 0x01,  // 7..9: start 00:00:01
                0x00,            // 10: set time 10s
                0x06}},          // 11: sampling interval 1s
         {256 + 18, {0x07, 0x77}},  // 18: VLeq 77.7
         {256 + 28, {0x10, 0x00}},  // 28: VLAE 100.0 in an octave group
         {256 + 36, {0x00, 0x10, 0x00,  // 36..38: not read for octave groups
                     0x05}},            // 39: not read for octave groups
         {256 + 48, {0x02}},            // distribution position 1: 1 %

         {512, {0x04,            // 0: mode byte 4: no group
                0x00, 0x00, 0x21, 0x09, 0x12, 0x24}},
         // 768..1023: an empty block (as after a reception time-out): a mode 0 group
     },
     {
         {{{"序号", "01"}, {"VLeq", "85.6"}, {"VL5", "05.6"}, {"VL10", "80.0"}, {"VL50", "75.0"},
           {"VL90", "70.0"}, {"VL95", "68.0"}, {"VSD", "12.5"}, {"VLAV", "90.1"},
           {"VLmax", "99.9"}, {"VLmin", "65.5"}, {"E", "1.2"}, {"测量时间", "23h59m59s"},
           {"DATE", "09-12-24"}, {"TIME", "06:30:15"}, {"MODE", "24h2"}, {"频率计权", "XY"},
           {"时间计权", "S"}, {"设定时间", "24hour"}, {"采样间隔", unset}, {"VLAE", unset}},
          Distribution{1, 100, {{1, 99.5}, {4, 0.5}}},
          std::nullopt},
         {{{"序号", "02"}, {"VLeq", "77.7"}, {"VL5", "00.0"}, {"VL10", "00.0"}, {"VL50", "00.0"},
           {"VL90", "00.0"}, {"VL95", "00.0"}, {"VSD", "0.0"}, {"VLAV", unset},
           {"VLmax", "00.0"}, {"VLmin", "00.0"}, {"E", "0.0"}, {"测量时间", unset},
           {"DATE", "09-12-25"}, {"TIME", "00:00:01"}, {"MODE", "OCT"}, {"频率计权", "E"},
           {"时间计权", "F"}, {"设定时间", "10s"}, {"采样间隔", "1s"}, {"VLAE", "100.0"}},
          Distribution{2, 100, {{1, 1.0}}},
          std::nullopt},
         {{{"序号", "04"}, {"VLeq", "00.0"}, {"VL5", "00.0"}, {"VL10", "00.0"}, {"VL50", "00.0"},
           {"VL90", "00.0"}, {"VL95", "00.0"}, {"VSD", "0.0"}, {"VLAV", "00.0"},
           {"VLmax", "00.0"}, {"VLmin", "00.0"}, {"E", "0.0"}, {"测量时间", "0h0m0s"},
           {"DATE", "00-00-00"}, {"TIME", "00:00:00"}, {"MODE", "STA"}, {"频率计权", "Z"},
           {"时间计权", "F"}, {"设定时间", "10s"}, {"采样间隔", "0.01s"}, {"VLAE", unset}},
          Distribution{4, 100, {}},
          std::nullopt},
     }},
};

// ---------------------------------------------------------------------------------------------
// Model e: 16-byte records counted in bytes; split levels (units and tenths packed in the first
// byte, the tens a plain number in the second); E on model c's exposure scale,
// 4e-10 x 10^(Leq/10) x T / 3600 Pa²h.
const std::vector<Case> kCasesE = {
    {"e: three whole records", 'e', 48, 48,
     {
         {0, {0x05, 0x03,        // 0: Lmin 30.5
              0xA4,              // 2: weighting z, F
              0x08, 0x09, 0x05,  // 3..5: date 08-09-05
              0x14, 0x03,        // 6, 7: start 14:03
              0x0A,              // 8: set time 24h
              0x01, 0x00, 0x00,  // 9..11: measured 01:00:00, 3600 s
              0x56, 0x08,        // 12: Leq 85.6
              0x00, 0x09}},      // 14: Lmax 90.0
         {16, {0x00, 0x04,       // 0: Lmin 40.0
               0x90,             // 2: weighting code outside the table
               0x08, 0x09, 0x06,  // 3..5: date 08-09-06
               0x09, 0x15,       // 6, 7: start 09:15
               0x00,             // 8: set time 手动
               0x00, 0x25, 0x30,  // 9..11: measured 00:25:30, 1530 s
               0x00, 0x07,       // 12: Leq 70.0
               0x50, 0x07}},     // 14: Lmax 75.0
         {32, {0x99, 0x02,       // 0: Lmin 29.9
               0xA3,             // 2: weighting C, S
               0x08, 0x12, 0x31,  // 3..5: date 08-12-31
               0x23, 0x59,       // 6, 7: start 23:59
               0x07,             // 8: set time 2h
               0x00, 0x00, 0x05,  // 9..11: measured 00:00:05, 5 s
               0x25, 0x0A,       // 12: Leq 10 tens + 2.5 = 102.5
               0x00, 0x0B}},     // 14: Lmax 110.0
     },
     {
         {{{"序号", "01"}, {"组号", "001"}, {"Leq", "85.6"},
           {"LAE", "121.2"},  // 85.6 + 10 lg 3600 = 121.16
           {"Lmax", "90"}, {"Lmin", "30.5"},
           {"DL", "15%"}, {"E", "00.15"},  // 4e-10 x 10^8.56 = 0.145
           {"频率计权", "z"}, {"时间计权", "F"}, {"DATE", "08-09-05"}, {"TIME", "14:03"},
           {"设定时间", "24h"}, {"Tm", "01:00:00"}, {"filename", unset}},
          std::nullopt,
          std::nullopt},
         {{{"序号", "02"}, {"组号", "002"}, {"Leq", "70"},
           {"LAE", "101.8"},  // 70 + 10 lg 1530 = 101.85
           {"Lmax", "75"}, {"Lmin", "40"},
           {"DL", "0"}, {"E", "00.00"},  // 4e-10 x 10^7 x 1530 / 3600 = 0.0017
           {"频率计权", unset}, {"时间计权", unset}, {"DATE", "08-09-06"}, {"TIME", "09:15"},
           {"设定时间", "手动"}, {"Tm", "00:25:30"}, {"filename", unset}},
          std::nullopt,
          std::nullopt},
         {{{"序号", "03"}, {"组号", "003"}, {"Leq", "102.5"},
           {"LAE", "109.5"},  // 102.5 + 10 lg 5 = 109.49
           {"Lmax", "110"}, {"Lmin", "29.9"},
           {"DL", "1%"}, {"E", "00.01"},  // 4e-10 x 10^10.25 x 5 / 3600 = 0.0099
           {"频率计权", "C"}, {"时间计权", "S"}, {"DATE", "08-12-31"}, {"TIME", "23:59"},
           {"设定时间", "2h"}, {"Tm", "00:00:05"}, {"filename", unset}},
          std::nullopt,
          std::nullopt},
     }},
};

std::vector<std::uint8_t> transfer(const Case& c) {
    std::vector<std::uint8_t> data(c.size, 0);
    for (const auto& b : c.bytes) {
        EXPECT_LE(b.at + b.bytes.size(), c.size) << "bytes at " << b.at;
        for (std::size_t k = 0; k < b.bytes.size() && b.at + k < data.size(); ++k)
            data[b.at + k] = b.bytes[k];
    }
    return data;
}

void expect_distribution(const std::optional<DistributionRow>& got,
                         const std::optional<Distribution>& want) {
    ASSERT_EQ(got.has_value(), want.has_value());
    if (!want) return;
    EXPECT_EQ(got->seq, want->seq);
    ASSERT_EQ(got->values.size(), std::size_t(kDistributionValues));
    for (int position = 1; position <= kDistributionValues; ++position) {
        std::optional<double> expected;
        if (position <= want->written) expected = 0.0;
        for (const auto& [p, percent] : want->nonzero)
            if (p == position) expected = percent;
        const auto& value = got->values[std::size_t(position - 1)];
        ASSERT_EQ(value.has_value(), expected.has_value()) << "position " << position;
        if (expected) {
            EXPECT_DOUBLE_EQ(*value, *expected) << "position " << position;
        }
    }
}

void run(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ModelInfo& model = *find_model(c.model);
        auto result = decode(model_of(c.model), transfer(c), c.n);
        ASSERT_EQ(result.groups.size(), c.rows.size());
        for (std::size_t r = 0; r < c.rows.size(); ++r) {
            SCOPED_TRACE("row " + std::to_string(r + 1));
            const Row& want = c.rows[r];
            const DecodedGroup& got = result.groups[r];
            // The case states every column once.
            std::set<std::string> stated;
            for (const auto& [column, text] : want.cells) stated.insert(column);
            ASSERT_EQ(stated.size(), want.cells.size()) << "a column is stated twice";
            ASSERT_EQ(want.cells.size(), model.record_columns.size());
            ASSERT_EQ(got.record.size(), model.record_columns.size());
            for (const auto& [column, text] : want.cells)
                EXPECT_EQ(test::cell(c.model, got.record, column), text) << column;
            expect_distribution(got.distribution, want.distribution);
            ASSERT_EQ(got.history.has_value(), want.history.has_value());
            if (want.history) {
                EXPECT_EQ(got.history->name, want.history->name);
                EXPECT_EQ(got.history->content, want.history->content);
            }
        }
    }
}

TEST(LiteralTransfers, ModelA) { run(kCasesA); }
TEST(LiteralTransfers, ModelB) { run(kCasesB); }
TEST(LiteralTransfers, ModelC) { run(kCasesC); }
TEST(LiteralTransfers, ModelD) { run(kCasesD); }
TEST(LiteralTransfers, ModelE) { run(kCasesE); }

}  // namespace
}  // namespace nlx
