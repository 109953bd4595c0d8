// Model d: vibration columns, weighting and mode tables, half-percent distribution, transfers.
#include <gtest/gtest.h>

#include "decode/decoder.h"
#include "core/number_format.h"
#include "decoded_rows.h"
#include "sim/encode/encode_cde.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

using K = DecodeNote::Kind;

using sim::GroupD;

Cell col(const DecodedGroup& g, std::string_view column) { return test::cell('d', g.record, column); }

GroupD sample_group() {
    GroupD g;
    g.mode = 0;
    g.start = {10, 3, 7, 8, 15, 30};
    g.set_time_code = 6;
    g.sampling_code = 3;
    g.vleq = 85.6, g.vl5 = 91.0, g.vl10 = 89.9, g.vl50 = 84.0, g.vl90 = 70.2, g.vl95 = 5.6;
    g.vsd = 12.5, g.vlav = 83.3, g.vlmax = 101.7, g.vlmin = 60.0, g.e = 3.2;
    g.measured = {1, 5, 0};
    g.percent[10] = 40.0;
    g.percent[11] = 60.0;
    return g;
}

DecodedGroup decode_one(const sim::Block256& block) {
    auto r = decode_d(model_of('d'), block, 1);
    EXPECT_EQ(r.groups.size(), 1u);
    return r.groups.empty() ? DecodedGroup{} : r.groups[0];
}

TEST(DecodeD, VibrationGroupFillsEveryColumn) {
    auto block = sim::encode_group_d(sample_group());
    EXPECT_EQ(block[18], 0x08);  // high byte first
    EXPECT_EQ(block[19], 0x56);
    EXPECT_EQ(block[26], 1);
    EXPECT_EQ(block[27], 0x25);

    auto g = decode_one(block);
    ASSERT_EQ(g.record.size(), 21u);
    EXPECT_EQ(col(g, "序号"), "01");
    EXPECT_EQ(col(g, "VLeq"), "85.6");
    EXPECT_EQ(col(g, "VL5"), "91.0");
    EXPECT_EQ(col(g, "VL10"), "89.9");
    EXPECT_EQ(col(g, "VL50"), "84.0");
    EXPECT_EQ(col(g, "VL90"), "70.2");
    EXPECT_EQ(col(g, "VL95"), "05.6");  // "#00.0": two integer digits
    EXPECT_EQ(col(g, "VSD"), "12.5");
    EXPECT_EQ(col(g, "VLAV"), "83.3");
    EXPECT_EQ(col(g, "VLAE"), std::nullopt);
    EXPECT_EQ(col(g, "VLmax"), "101.7");
    EXPECT_EQ(col(g, "VLmin"), "60.0");
    EXPECT_EQ(col(g, "E"), "3.2");  // "##0.0"
    EXPECT_EQ(col(g, "测量时间"), "1h5m0s");
    EXPECT_EQ(col(g, "DATE"), "10-03-07");
    EXPECT_EQ(col(g, "TIME"), "08:15:30");
    EXPECT_EQ(col(g, "设定时间"), "1hour");
    EXPECT_EQ(col(g, "采样间隔"), "0.1s");
    EXPECT_EQ(col(g, "MODE"), "STA");
    EXPECT_EQ(col(g, "时间计权"), "F");
    EXPECT_EQ(col(g, "频率计权"), "Z");

    block[18] = 0x00, block[19] = 0x56;
    EXPECT_EQ(col(decode_one(block), "VLeq"), "05.6");
}

TEST(DecodeD, WeightingSetTimeSamplingAndModeTables) {
    auto block = sim::encode_group_d(sample_group());
    auto text = [&](std::string_view column) { return col(decode_one(block), column); };

    block[3] = 0x21;
    EXPECT_EQ(text("时间计权"), "S");
    EXPECT_EQ(text("频率计权"), "XY");
    block[3] = 0x03;
    EXPECT_EQ(text("时间计权"), "F");
    EXPECT_EQ(text("频率计权"), "E");
    block[3] = 0x12;
    EXPECT_EQ(text("时间计权"), "S");
    EXPECT_EQ(text("频率计权"), "L");
    block[3] = 0x04;
    EXPECT_EQ(text("频率计权"), std::nullopt);

    block[10] = 10;
    EXPECT_EQ(text("设定时间"), "24hour");
    block[10] = 11;
    EXPECT_EQ(text("设定时间"), std::nullopt);
    block[11] = 9;
    EXPECT_EQ(text("采样间隔"), "10s");
    block[11] = 10;
    EXPECT_EQ(text("采样间隔"), std::nullopt);

    block[0] = 1, block[39] = 3;
    EXPECT_EQ(text("MODE"), "24h3");
    block[0] = 2;
    EXPECT_EQ(text("MODE"), "IEC");
    EXPECT_EQ(text("VLAV"), "83.3");

    // Mode 3: the level at offset 28 is the exposure level; no measured time.
    block[0] = 3;
    auto g = decode_one(block);
    EXPECT_EQ(col(g, "MODE"), "OCT");
    EXPECT_EQ(col(g, "VLAE"), "83.3");
    EXPECT_EQ(col(g, "VLAV"), std::nullopt);
    EXPECT_EQ(col(g, "测量时间"), std::nullopt);
    EXPECT_TRUE(g.distribution.has_value());

    block[0] = 4;
    EXPECT_TRUE(decode_d(model_of('d'), block, 1).groups.empty());
}

TEST(DecodeD, DistributionFromHalfPercentBytes) {
    auto block = sim::encode_group_d(sample_group());
    block[48] = 199;
    block[49] = 200;
    block[50] = 0xFF;
    block[51] = 1;
    block[147] = 7;  // the last class
    block[148] = 9;  // not part of the distribution
    auto d = *decode_one(block).distribution;
    EXPECT_EQ(d.seq, 1);
    ASSERT_EQ(d.values.size(), 101u);
    EXPECT_EQ(d.values[0], 99.5);
    EXPECT_EQ(d.values[1], 0.0);
    EXPECT_EQ(d.values[2], 0.0);
    EXPECT_EQ(d.values[3], 0.5);
    EXPECT_EQ(d.values[10], 40.0);
    EXPECT_EQ(d.values[99], 3.5);
    EXPECT_EQ(d.values[100], std::nullopt);  // position 101 has no byte
}

TEST(DecodeD, GroupOfZeroBytesIsAnEmptyMeasurement) {
    sim::Block256 zero{};
    auto g = decode_one(zero);
    EXPECT_EQ(col(g, "MODE"), "STA");
    for (auto c : {"VLeq", "VL5", "VL10", "VL50", "VL90", "VL95", "VLAV", "VLmax", "VLmin"})
        EXPECT_EQ(col(g, c), "00.0") << c;
    EXPECT_EQ(col(g, "VSD"), "0.0");
    EXPECT_EQ(col(g, "E"), "0.0");
    EXPECT_EQ(col(g, "设定时间"), "10s");
    EXPECT_EQ(col(g, "采样间隔"), "0.01s");
    EXPECT_EQ(col(g, "时间计权"), "F");
    EXPECT_EQ(col(g, "频率计权"), "Z");
    EXPECT_EQ(col(g, "测量时间"), "0h0m0s");
    EXPECT_EQ(col(g, "DATE"), "00-00-00");
    ASSERT_TRUE(g.distribution);
    for (int k = 0; k < 100; ++k) EXPECT_EQ(g.distribution->values[std::size_t(k)], 0.0);
}

TEST(DecodeD, BrokenTransferKeepsWholeGroupsOnly) {
    auto a = sim::encode_group_d(sample_group());
    auto data = test::concat(a, a, a);
    auto r = decode_d(model_of('d'), data, 3);
    ASSERT_EQ(r.groups.size(), 3u);
    EXPECT_EQ(col(r.groups[2], "序号"), "03");
    EXPECT_TRUE(r.notes.empty());

    data.resize(256 * 2 + 1);  // the third group's type byte arrived, the rest did not
    r = decode_d(model_of('d'), data, 3);
    ASSERT_EQ(r.groups.size(), 2u);
    EXPECT_EQ(r.notes, (std::vector<DecodeNote>{
                           {.kind = K::broken_off, .received = 513, .announced = 768},
                           {.kind = K::groups_not_whole, .group = 3, .last = 3, .count = 3}}));

    // A count far beyond what arrived is accounted without decoding phantom groups.
    r = decode_d(model_of('d'), data, 32879);
    EXPECT_EQ(r.groups.size(), 2u);
    EXPECT_EQ(r.announced_bytes, 32879u * 256u);
    EXPECT_TRUE(decode_d(model_of('d'), data, -16).groups.empty());
}

TEST(DecodeD, RealisticGroupsRoundTrip) {
    auto groups = sim::realistic_groups_d(60, 11);
    ASSERT_EQ(groups.size(), 60u);
    EXPECT_EQ(sim::encode_transfer_d(groups), sim::encode_transfer_d(sim::realistic_groups_d(60, 11)));
    auto r = decode_d(model_of('d'), sim::encode_transfer_d(groups), 60);
    ASSERT_EQ(r.groups.size(), 60u);
    int modes[4] = {};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const auto& g = groups[i];
        const auto& d = r.groups[i];
        SCOPED_TRACE("group " + std::to_string(i));
        ASSERT_TRUE(g.mode >= 0 && g.mode <= 3);
        ++modes[g.mode];
        test::expect_ordered_levels({g.vl5, g.vl10, g.vl50, g.vl90, g.vl95}, g.vlmax, g.vleq, g.vlmin);
        EXPECT_EQ(col(d, "VLeq"), format_number(g.vleq, "#00.0"));
        EXPECT_EQ(col(d, "VL5"), format_number(g.vl5, "#00.0"));
        EXPECT_EQ(col(d, "VL95"), format_number(g.vl95, "#00.0"));
        EXPECT_EQ(col(d, "VSD"), format_number(g.vsd, "##0.0"));
        EXPECT_EQ(col(d, "E"), format_number(g.e, "##0.0"));
        EXPECT_EQ(col(d, g.mode == 3 ? "VLAE" : "VLAV"), format_number(g.vlav, "#00.0"));
        double sum = 0;
        for (int j = 0; j < 100; ++j) {
            EXPECT_EQ(d.distribution->values[std::size_t(j)], g.percent[std::size_t(j)]);
            sum += g.percent[std::size_t(j)];
        }
        EXPECT_EQ(sum, 100.0);
        if (g.mode == 1) {
            EXPECT_EQ(col(d, "MODE"), "24h" + std::to_string(g.day_number));
        }
    }
    EXPECT_GE(modes[1], 24);
    EXPECT_GE(modes[0], 1);
    EXPECT_GE(modes[2], 1);
    EXPECT_GE(modes[3], 1);
}

}  // namespace
}  // namespace nlx
