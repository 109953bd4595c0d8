// Model e: 16-byte records decoded step by step, exposure columns, short and broken transfers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "decode/decoder.h"
#include "core/number_format.h"
#include "decoded_rows.h"
#include "sim/encode/encode_cde.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

using K = DecodeNote::Kind;

using sim::RecordE;

Cell col(const DecodedGroup& g, std::string_view column) { return test::cell('e', g.record, column); }

RecordE sample_record() {
    RecordE r;
    r.lmin = 30.5, r.leq = 85.6, r.lmax = 90.0;
    r.weighting = 0xA1;
    r.start = {8, 9, 5, 14, 3, 0};
    r.set_time_code = 6;
    r.measured = {1, 0, 0};
    return r;
}

DecodedGroup decode_one(const sim::Record16& bytes) {
    auto r = decode_e(model_of('e'), bytes, 16);
    EXPECT_EQ(r.groups.size(), 1u);
    return r.groups.empty() ? DecodedGroup{} : r.groups[0];
}

TEST(DecodeE, RecordFillsEveryColumn) {
    auto bytes = sim::encode_group_e(sample_record());
    EXPECT_EQ(bytes[12], 0x56);  // units and tenths packed, the tens plain
    EXPECT_EQ(bytes[13], 0x08);
    EXPECT_EQ(bytes[0], 0x05);
    EXPECT_EQ(bytes[1], 0x03);

    auto g = decode_one(bytes);
    ASSERT_EQ(g.record.size(), 15u);
    EXPECT_FALSE(g.distribution.has_value());
    EXPECT_EQ(col(g, "序号"), "01");
    EXPECT_EQ(col(g, "组号"), "001");
    EXPECT_EQ(col(g, "Leq"), "85.6");
    EXPECT_EQ(col(g, "Lmin"), "30.5");
    EXPECT_EQ(col(g, "Lmax"), "90");  // plain number text
    EXPECT_EQ(col(g, "频率计权"), "A");
    EXPECT_EQ(col(g, "时间计权"), "S");
    EXPECT_EQ(col(g, "DATE"), "08-09-05");
    EXPECT_EQ(col(g, "TIME"), "14:03");
    EXPECT_EQ(col(g, "设定时间"), "1h");
    EXPECT_EQ(col(g, "Tm"), "01:00:00");
    EXPECT_EQ(col(g, "LAE"), "121.2");
    EXPECT_EQ(col(g, "E"), "00.15");
    EXPECT_EQ(col(g, "DL"), "15%");
    EXPECT_EQ(col(g, "filename"), std::nullopt);

    // The tens byte is a plain number: 12 tens and 3.4 make 123.4.
    bytes[12] = 0x34, bytes[13] = 12;
    EXPECT_EQ(col(decode_one(bytes), "Leq"), "123.4");
}

TEST(DecodeE, WeightingAndSetTimeCodes) {
    auto bytes = sim::encode_group_e(sample_record());
    auto both = [&](std::uint8_t code) {
        bytes[2] = code;
        auto g = decode_one(bytes);
        return std::pair{col(g, "频率计权"), col(g, "时间计权")};
    };
    using P = std::pair<Cell, Cell>;
    EXPECT_EQ(both(0xA0), (P{"A", "F"}));
    EXPECT_EQ(both(0xA2), (P{"C", "F"}));
    EXPECT_EQ(both(0xA3), (P{"C", "S"}));
    EXPECT_EQ(both(0xA4), (P{"z", "F"}));
    EXPECT_EQ(both(0xA5), (P{"z", "S"}));
    EXPECT_EQ(both(0x90), (P{std::nullopt, std::nullopt}));
    EXPECT_EQ(both(0xA6), (P{std::nullopt, std::nullopt}));

    auto set_time = [&](std::uint8_t code) {
        bytes[8] = code;
        return col(decode_one(bytes), "设定时间");
    };
    EXPECT_EQ(set_time(0), "手动");
    EXPECT_EQ(set_time(7), "2h");
    EXPECT_EQ(set_time(10), "24h");
    EXPECT_EQ(set_time(11), std::nullopt);
}

TEST(DecodeE, ExposureOnTheSameScaleAsModelC) {
    RecordE r = sample_record();
    auto decode_with = [&](double leq, int h, int m, int s) {
        r.leq = leq, r.measured = {h, m, s};
        return decode_one(sim::encode_group_e(r));
    };
    auto g = decode_with(100.0, 1, 0, 0);
    EXPECT_EQ(col(g, "LAE"), "135.6");
    EXPECT_EQ(col(g, "E"), "04.00");  // model c writes 4.0 for the same group
    EXPECT_EQ(col(g, "DL"), "400%");
    g = decode_with(80.0, 1, 0, 0);
    EXPECT_EQ(col(g, "E"), "00.04");
    EXPECT_EQ(col(g, "DL"), "4%");
    g = decode_with(60.0, 1, 0, 0);
    EXPECT_EQ(col(g, "E"), "00.00");
    EXPECT_EQ(col(g, "DL"), "0");
    // Measured time in packed decimal: 0h 25m 30s is 1530 s.
    g = decode_with(70.0, 0, 25, 30);
    EXPECT_EQ(col(g, "Tm"), "00:25:30");
    EXPECT_EQ(col(g, "LAE"), format_number(70.0 + 10 * std::log10(1530.0), "#000.0"));
    g = decode_with(50.0, 0, 0, 5);
    EXPECT_EQ(col(g, "LAE"), "057.0");

    // No measured time: no exposure level; the exposure itself is a true zero.
    g = decode_with(85.6, 0, 0, 0);
    EXPECT_EQ(col(g, "LAE"), std::nullopt);
    EXPECT_EQ(col(g, "E"), "00.00");
    EXPECT_EQ(col(g, "DL"), "0");
    EXPECT_EQ(col(g, "Leq"), "85.6");
}

TEST(DecodeE, RecordOfZeroBytes) {
    sim::Record16 zero{};
    auto g = decode_one(zero);
    EXPECT_EQ(col(g, "Leq"), "0");
    EXPECT_EQ(col(g, "Lmin"), "0");
    EXPECT_EQ(col(g, "频率计权"), std::nullopt);
    EXPECT_EQ(col(g, "时间计权"), std::nullopt);
    EXPECT_EQ(col(g, "设定时间"), "手动");
    EXPECT_EQ(col(g, "Tm"), "00:00:00");
    EXPECT_EQ(col(g, "DATE"), "00-00-00");
    EXPECT_EQ(col(g, "TIME"), "00:00");
    EXPECT_EQ(col(g, "LAE"), std::nullopt);
    EXPECT_EQ(col(g, "E"), "00.00");
    EXPECT_EQ(col(g, "DL"), "0");
}

// From an input of the capture-import fuzzer: bytes that are not packed decimal give hexadecimal
// digit texts, and huge split levels give exposures of some seventy digits, still written out in
// full rather than with an exponent.
TEST(DecodeE, NonDecimalBytesAndHugeLevelsStayPlainText) {
    const std::vector<std::uint8_t> data = {
        0x16, 0x05, 0xA3, 0x09, 0x7E, 0x25, 0x15, 0x15, 0x07, 0x02, 0x00, 0x00, 0x31, 0x06, 0x09, 0x07,
        0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F};
    auto r = decode_e(model_of('e'), data, 32);
    ASSERT_EQ(r.groups.size(), 2u);
    EXPECT_EQ(col(r.groups[0], "DATE"), "09-7E-25");
    const auto& huge = r.groups[1];
    EXPECT_EQ(col(huge, "DATE"), "4F-4F-4F");
    EXPECT_EQ(col(huge, "Tm"), "4F:4F:4F");
    EXPECT_EQ(col(huge, "Leq"), "795.5");
    EXPECT_EQ(col(huge, "LAE"), "848.5");
    for (auto column : {"E", "DL"}) {
        auto text = col(huge, column);
        ASSERT_TRUE(text.has_value()) << column;
        EXPECT_GT(text->size(), 60u) << *text;
        EXPECT_EQ(text->find_first_not_of("0123456789.%"), std::string::npos) << *text;
    }
}

TEST(DecodeE, CountThatEndsInsideARecord) {
    std::vector<RecordE> records(3, sample_record());
    auto data = sim::encode_transfer_e(records);

    // n = 40: two whole records, then steps 0..7 of the third on the 8 bytes that came.
    std::span<const std::uint8_t> first40(data.data(), 40);
    auto r = decode_e(model_of('e'), first40, 40);
    ASSERT_EQ(r.groups.size(), 3u);
    EXPECT_EQ(col(r.groups[1], "DL"), "15%");
    const auto& third = r.groups[2];
    EXPECT_EQ(col(third, "序号"), "03");
    EXPECT_EQ(col(third, "组号"), "003");
    EXPECT_EQ(col(third, "频率计权"), "A");  // byte 2
    EXPECT_EQ(col(third, "时间计权"), "S");
    EXPECT_EQ(col(third, "DATE"), "08-09-05");  // bytes 3..5
    EXPECT_EQ(col(third, "TIME"), "14:03");     // bytes 6, 7
    for (auto c : {"Leq", "设定时间", "Tm", "Lmax", "Lmin", "E", "LAE", "DL"})
        EXPECT_EQ(col(third, c), std::nullopt) << c;
    EXPECT_EQ(r.notes, (std::vector<DecodeNote>{{.kind = K::count_not_whole, .group = 3, .received = 8, .announced = 40}}));

    // n = 44: steps 0..11; the measured time and Lmin are there, Leq (bytes 12, 13) is not,
    // so nothing that needs it is computed.
    r = decode_e(model_of('e'), std::span<const std::uint8_t>(data.data(), 44), 44);
    ASSERT_EQ(r.groups.size(), 3u);
    const auto& cut = r.groups[2];
    EXPECT_EQ(col(cut, "设定时间"), "1h");
    EXPECT_EQ(col(cut, "Tm"), "01:00:00");
    EXPECT_EQ(col(cut, "Lmin"), "30.5");
    for (auto c : {"Leq", "Lmax", "E", "LAE", "DL"}) EXPECT_EQ(col(cut, c), std::nullopt) << c;

    // n = 33: only step 0 of the third record.
    r = decode_e(model_of('e'), std::span<const std::uint8_t>(data.data(), 33), 33);
    ASSERT_EQ(r.groups.size(), 3u);
    EXPECT_EQ(col(r.groups[2], "序号"), "03");
    EXPECT_EQ(col(r.groups[2], "频率计权"), std::nullopt);
}

TEST(DecodeE, BrokenTransferGivesNoValuesForMissingBytes) {
    std::vector<RecordE> records(4, sample_record());
    auto data = sim::encode_transfer_e(records);
    data.resize(40);
    auto r = decode_e(model_of('e'), data, 64);
    ASSERT_EQ(r.groups.size(), 3u);  // the fourth record never started
    EXPECT_EQ(r.announced_bytes, 64u);
    EXPECT_EQ(r.received_bytes, 40u);
    EXPECT_EQ(col(r.groups[2], "TIME"), "14:03");
    EXPECT_EQ(col(r.groups[2], "Leq"), std::nullopt);
    EXPECT_EQ(r.notes, (std::vector<DecodeNote>{{.kind = K::broken_off, .received = 40, .announced = 64},
                                                {.kind = K::record_incomplete, .group = 3},
                                                {.kind = K::records_lost, .group = 4, .last = 4}}));

    // Bytes beyond the count are not read, even when they arrived.
    data = sim::encode_transfer_e(records);
    r = decode_e(model_of('e'), data, 20);
    ASSERT_EQ(r.groups.size(), 2u);
    EXPECT_EQ(col(r.groups[1], "频率计权"), "A");
    EXPECT_EQ(col(r.groups[1], "Leq"), std::nullopt);
    EXPECT_EQ(r.notes.size(), 2u);

    EXPECT_TRUE(decode_e(model_of('e'), data, 0).groups.empty());
    EXPECT_TRUE(decode_e(model_of('e'), data, -32768).groups.empty());
    EXPECT_TRUE(decode_e(model_of('e'), {}, 320).groups.empty());
}

TEST(DecodeE, RealisticRecordsRoundTrip) {
    auto records = sim::realistic_groups_e(50, 3);
    ASSERT_EQ(records.size(), 50u);
    EXPECT_EQ(sim::encode_transfer_e(records), sim::encode_transfer_e(sim::realistic_groups_e(50, 3)));
    auto data = sim::encode_transfer_e(records);
    auto r = decode_e(model_of('e'), data, std::int32_t(data.size()));
    ASSERT_EQ(r.groups.size(), 50u);
    EXPECT_TRUE(r.notes.empty());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto& e = records[i];
        const auto& d = r.groups[i];
        SCOPED_TRACE("record " + std::to_string(i));
        EXPECT_GE(e.lmax, e.leq);
        EXPECT_GE(e.leq, e.lmin);
        EXPECT_EQ(col(d, "Leq"), plain_number_text(e.leq));
        EXPECT_EQ(col(d, "Lmax"), plain_number_text(e.lmax));
        EXPECT_EQ(col(d, "Lmin"), plain_number_text(e.lmin));
        EXPECT_EQ(col(d, "组号"), format_number(double(i + 1), "000"));
        char tm[16];
        std::snprintf(tm, sizeof tm, "%02d:%02d:%02d", e.measured.hours, e.measured.minutes,
                      e.measured.seconds);
        EXPECT_EQ(col(d, "Tm"), tm);
        double seconds = 3600.0 * e.measured.hours + 60.0 * e.measured.minutes + e.measured.seconds;
        EXPECT_NEAR(*parse_decimal(*col(d, "LAE")), e.leq + 10 * std::log10(seconds), 0.051);
        EXPECT_NEAR(*parse_decimal(*col(d, "E")), 4e-10 * std::pow(10, e.leq / 10) * seconds / 3600, 0.0051);
        EXPECT_TRUE(col(d, "频率计权").has_value());
        EXPECT_TRUE(col(d, "设定时间").has_value());
    }
}

}  // namespace
}  // namespace nlx
