// Model b decoding: one group per block, the four types, skipped blocks, broken transfers and a
// round trip of generated groups.
#include <gtest/gtest.h>

#include "core/models.h"
#include "core/capture.h"
#include "decode/decoder.h"
#include "core/number_format.h"
#include "decoded_rows.h"
#include "sim/encode/encode_ab.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

using K = DecodeNote::Kind;

using test::has_note;
using sim::GroupB;

Cell col(const DecodedGroup& g, std::string_view column) { return test::cell('b', g.record, column); }

GroupB block(std::uint8_t type) {
    GroupB g;
    g.type = type;
    g.weighting = 0x12;
    g.start = {8, 9, 5, 14, 3, 0};
    g.set_time_code = 6;
    g.sampling_code = 9;
    g.levels = {.leq = 74.5, .l5 = 80.1, .l10 = 78.2, .l50 = 70.0, .l90 = 62.4, .l95 = 60.0,
                .sd = 5.3, .lae = 110.1, .lmax = 95.0, .lmin = 40.2, .e = 12.3};
    g.measured = {0, 5, 0};
    g.day_number = 3;
    g.distribution_percent[0] = 12.5;
    g.distribution_percent[1] = 100;
    g.distribution_percent[99] = 0.5;
    return g;
}

TEST(DecodeB, TypesGiveModesAndUnknownTypesAreSkipped) {
    std::vector<GroupB> groups{block(0), block(1), block(2), block(4), block(3)};
    auto data = sim::encode_transfer_b(groups);
    data.resize(data.size() + 256, 0xFF);  // an erased block
    auto more = sim::encode_group_b(block(0));
    more[48] = 198;  // 99 %
    data.insert(data.end(), more.begin(), more.end());
    ASSERT_EQ(data.size(), 7u * 256);

    auto r = decode_b(model_of('b'), data, 7);
    ASSERT_EQ(r.groups.size(), 5u);
    for (const auto& g : r.groups) EXPECT_EQ(g.record.size(), find_model('b')->record_columns.size());
    EXPECT_EQ(col(r.groups[0], "MODE"), "STA");
    EXPECT_EQ(col(r.groups[1], "MODE"), "24h3");
    EXPECT_EQ(col(r.groups[2], "MODE"), "IEC");
    EXPECT_EQ(col(r.groups[3], "MODE"), "OCT");
    EXPECT_EQ(col(r.groups[4], "MODE"), "STA");
    // 序号 follows the block, so the skipped blocks leave gaps.
    EXPECT_EQ(col(r.groups[3], "序号"), "05");
    EXPECT_EQ(col(r.groups[4], "序号"), "07");
    EXPECT_EQ(r.groups[4].distribution->seq, 7);
    EXPECT_TRUE(has_note(r.notes, DecodeNote{.kind = K::not_a_group, .group = 4, .at = 4}));
    EXPECT_TRUE(has_note(r.notes, DecodeNote{.kind = K::not_a_group, .group = 6, .at = 255}));

    EXPECT_EQ(col(r.groups[0], "测量时间"), "0h5m0s");
    EXPECT_EQ(col(r.groups[3], "测量时间"), std::nullopt);
    const auto& g = r.groups[0];
    EXPECT_EQ(col(g, "Leq"), "74.5");
    EXPECT_EQ(col(g, "L5"), "80.1");
    EXPECT_EQ(col(g, "L10"), "78.2");
    EXPECT_EQ(col(g, "L50"), "70.0");
    EXPECT_EQ(col(g, "L90"), "62.4");
    EXPECT_EQ(col(g, "L95"), "60.0");
    EXPECT_EQ(col(g, "SD"), "5.3");
    EXPECT_EQ(col(g, "LAE"), "110.1");
    EXPECT_EQ(col(g, "Lmax"), "95.0");
    EXPECT_EQ(col(g, "Lmin"), "40.2");
    EXPECT_EQ(col(g, "E"), "12.3");
    EXPECT_EQ(col(g, "DATE"), "08-09-05");
    EXPECT_EQ(col(g, "TIME"), "14:03:00");
    EXPECT_EQ(col(g, "设定时间"), "1hour");
    EXPECT_EQ(col(g, "采样间隔"), "10s");
    EXPECT_EQ(col(g, "时间计权"), "S");
    EXPECT_EQ(col(g, "频率计权"), "Z");

    const auto& d = *g.distribution;
    ASSERT_EQ(d.values.size(), 101u);
    EXPECT_EQ(d.values[0], 12.5);
    EXPECT_EQ(d.values[1], 0.0);  // 100 % is stored as 0
    EXPECT_EQ(d.values[99], 0.5);
    EXPECT_EQ(d.values[100], std::nullopt);
    EXPECT_EQ(r.groups[4].distribution->values[0], 99.0);  // from byte 48 of its own block
}

// A sink gets the groups a collecting decode returns, in order, with the same notes; one that
// says stop is called no more (a store that failed reads no further).
TEST(DecodeB, ASinkGetsTheSameGroupsAndStopsTheDecode) {
    std::vector<GroupB> groups{block(0), block(4), block(1), block(3), block(2)};
    auto data = sim::encode_transfer_b(groups);
    data.resize(data.size() - 100);  // the last block broken off
    const auto collected = decode_b(model_of('b'), data, 5);
    ASSERT_EQ(collected.groups.size(), 3u);
    for (std::size_t stop_after : {1u, 2u, 3u, 99u}) {
        SCOPED_TRACE(testing::Message() << "stop after " << stop_after);
        std::vector<DecodedGroup> got;
        const auto streamed = decode_b(model_of('b'), data, 5, [&](DecodedGroup& g) {
            got.push_back(std::move(g));
            return got.size() < stop_after;
        });
        EXPECT_TRUE(streamed.groups.empty());
        ASSERT_EQ(got.size(), std::min<std::size_t>(stop_after, 3));
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].record, collected.groups[i].record);
            EXPECT_EQ(got[i].distribution->values, collected.groups[i].distribution->values);
        }
        if (stop_after > 3) {
            EXPECT_EQ(streamed.notes, collected.notes);
        }
    }
}

TEST(DecodeB, BrokenTransferGivesRowsOnlyForWholeBlocks) {
    std::vector<GroupB> groups{block(0), block(2), block(3), block(1)};
    auto data = sim::encode_transfer_b(groups);
    std::span<const std::uint8_t> cut(data.data(), 2 * 256 + 128);
    auto r = decode_b(model_of('b'), cut, 4);
    ASSERT_EQ(r.groups.size(), 2u);
    EXPECT_EQ(r.received_bytes, 640u);
    EXPECT_EQ(r.announced_bytes, 1024u);
    EXPECT_EQ(r.notes, (std::vector<DecodeNote>{
                           {.kind = K::broken_off, .received = 640, .announced = 1024},
                           {.kind = K::groups_not_whole, .group = 3, .last = 4, .count = 4}}));

    EXPECT_TRUE(decode_b(model_of('b'), {}, 4).groups.empty());
    EXPECT_TRUE(decode_b(model_of('b'), data, 0).groups.empty());
    EXPECT_TRUE(decode_b(model_of('b'), data, -3).groups.empty());
    auto fewer = decode_b(model_of('b'), data, 2);
    EXPECT_EQ(fewer.groups.size(), 2u);
    EXPECT_TRUE(has_note(fewer.notes, DecodeNote{.kind = K::surplus, .received = 1024, .announced = 512}));
}

TEST(DecodeB, RealisticGroupsRoundTrip) {
    const auto groups = sim::realistic_groups_b(60, 99);
    auto data = sim::encode_transfer_b(groups);
    auto count = count_bytes(model_of('b'), std::int32_t(groups.size()));
    ASSERT_TRUE(count.has_value());
    auto r = decode_b(model_of('b'), data, transfer_count(model_of('b'), (*count)[0], (*count)[1]));
    ASSERT_EQ(r.groups.size(), groups.size());
    EXPECT_TRUE(r.notes.empty());
    int hourly = 0, octave = 0;
    for (std::size_t j = 0; j < groups.size(); ++j) {
        SCOPED_TRACE(j);
        const GroupB& g = groups[j];
        const DecodedGroup& d = r.groups[j];
        EXPECT_EQ(col(d, "Leq"), format_number(g.levels.leq, "#00.0"));
        EXPECT_EQ(col(d, "L5"), format_number(g.levels.l5, "#00.0"));
        EXPECT_EQ(col(d, "SD"), format_number(g.levels.sd, "##0.0"));
        EXPECT_EQ(col(d, "E"), format_number(g.levels.e, "##0.0"));
        for (std::size_t k = 0; k < 100; ++k)
            EXPECT_EQ(d.distribution->values[k], g.distribution_percent[k]) << k;
        if (g.type == 1) {
            ++hourly;
            EXPECT_EQ(col(d, "MODE"), "24h" + std::to_string(g.day_number));
            EXPECT_EQ(col(d, "TIME")->substr(0, 2), format_number(g.day_number - 1, "00"));
        } else if (g.type == 3) {
            ++octave;
            EXPECT_EQ(col(d, "测量时间"), std::nullopt);
            // Bands 31.5 Hz .. 8 kHz in Leq .. Lmax; their sum AP (in Lmin) exceeds each.
            const auto& l = g.levels;
            for (double band : {l.leq, l.l5, l.l10, l.l50, l.l90, l.l95, l.sd, l.lae, l.lmax})
                EXPECT_GE(l.lmin, band);
        } else {
            const auto& l = g.levels;
            test::expect_ordered_levels({l.l5, l.l10, l.l50, l.l90, l.l95}, l.lmax, l.leq, l.lmin);
        }
    }
    EXPECT_EQ(hourly, 48);
    EXPECT_EQ(octave, 4);
}

}  // namespace
}  // namespace nlx
