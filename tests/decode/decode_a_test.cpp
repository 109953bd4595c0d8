// Model a decoding: group scan, columns, distribution, history files, broken transfers and a
// round trip of generated groups through the encoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "core/models.h"
#include "core/capture.h"
#include "decode/decoder.h"
#include "decode/history_files.h"
#include "core/number_format.h"
#include "decoded_rows.h"
#include "sim/encode/encode_ab.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

using K = DecodeNote::Kind;

using test::has_note;
using sim::GroupA;

Cell col(const DecodedGroup& g, std::string_view column) { return test::cell('a', g.record, column); }

std::int32_t blocks(const std::vector<std::uint8_t>& data) { return std::int32_t(data.size() / 256); }

GroupA sample_group() {
    GroupA g;
    g.mode = 0xB1;
    g.group_part1 = 0;
    g.group_part2 = 12;
    g.weighting = 0x21;
    g.start = {8, 9, 5, 14, 3, 0};
    g.set_time_code = 11;  // not in the table
    g.sampling_code = 3;
    g.levels = {.leq = 74.5, .l5 = 80.1, .l10 = 78.2, .l50 = 70.0, .l90 = 62.4, .l95 = 5.3,
                .sd = 5.3, .lae = 102.5, .lmax = 95.0, .lmin = 40.2, .e = 0.4};
    g.measured = {1, 30, 0};
    g.day_number = 2;
    g.code_value = 1.5;
    g.distribution_percent[0] = 100;   // byte C8h: 100 %, stored as 0
    g.distribution_percent[1] = 49.5;  // byte 63h
    g.distribution_percent[100] = 3;   // byte 148: position 101
    return g;
}

TEST(DecodeA, FillsEveryColumnFromTheHeader) {
    std::vector<GroupA> groups{sample_group()};
    auto data = sim::encode_transfer_a(groups);
    ASSERT_EQ(data.size(), 256u);
    auto r = decode_a(model_of('a'), data, 1);
    ASSERT_EQ(r.groups.size(), 1u);
    const auto& g = r.groups[0];
    EXPECT_EQ(g.record.size(), find_model('a')->record_columns.size());
    EXPECT_EQ(col(g, "序号"), "01");
    EXPECT_EQ(col(g, "组号"), "012");
    EXPECT_EQ(col(g, "MODE"), "24h2");
    EXPECT_EQ(col(g, "filename"), "0120.ln");
    EXPECT_EQ(col(g, "Leq"), "74.5");
    EXPECT_EQ(col(g, "L5"), "80.1");
    EXPECT_EQ(col(g, "L10"), "78.2");
    EXPECT_EQ(col(g, "L50"), "70.0");
    EXPECT_EQ(col(g, "L90"), "62.4");
    EXPECT_EQ(col(g, "L95"), "05.3");
    EXPECT_EQ(col(g, "SD"), "5.3");
    EXPECT_EQ(col(g, "LAE"), "102.5");
    EXPECT_EQ(col(g, "Lmax"), "95.0");
    EXPECT_EQ(col(g, "Lmin"), "40.2");
    EXPECT_EQ(col(g, "E"), "0.4");
    EXPECT_EQ(col(g, "测量时间"), "1h30m0s");
    EXPECT_EQ(col(g, "CODE"), "1.5");
    EXPECT_EQ(col(g, "DATE"), "08-09-05");
    EXPECT_EQ(col(g, "TIME"), "14:03:00");
    EXPECT_EQ(col(g, "设定时间"), std::nullopt);
    EXPECT_EQ(col(g, "采样间隔"), "0.1s");
    EXPECT_EQ(col(g, "时间计权"), "S");
    EXPECT_EQ(col(g, "频率计权"), "C");

    ASSERT_TRUE(g.distribution.has_value());
    const auto& d = *g.distribution;
    EXPECT_EQ(d.seq, 1);
    ASSERT_EQ(d.values.size(), 101u);
    EXPECT_EQ(d.values[0], 0.0);
    EXPECT_EQ(d.values[1], 49.5);
    EXPECT_EQ(d.values[2], 0.0);
    EXPECT_EQ(d.values[100], 3.0);

    // A .ln group of one block has no history data: the file is its header line alone.
    ASSERT_TRUE(g.history.has_value());
    EXPECT_EQ(g.history->name, "0120.ln");
    EXPECT_EQ(g.history->content, " Lp            N\r\n");
    EXPECT_TRUE(r.notes.empty());
}

TEST(DecodeA, ModesSelectFilesAndTheSecondGroupReadsItsOwnHistory) {
    GroupA first = sample_group();
    first.mode = 0xA0;
    first.group_part2 = 7;
    GroupA second = sample_group();
    second.mode = 0xA3;
    second.group_part1 = 1;
    second.group_part2 = 2;
    second.history.assign(512, 0);
    second.history[0] = 1;    // 30.4 dB
    second.history[1] = 100;  // 70.0 dB
    second.history[300] = 5;
    second.history_length = 2;
    std::vector<GroupA> groups{first, second};
    auto data = sim::encode_transfer_a(groups);
    ASSERT_EQ(data.size(), 4u * 256);
    EXPECT_EQ(data[256], 0xA3);  // second header at 256

    auto r = decode_a(model_of('a'), data, 4);
    ASSERT_EQ(r.groups.size(), 2u);
    EXPECT_EQ(col(r.groups[0], "MODE"), "STA");
    EXPECT_EQ(col(r.groups[0], "filename"), std::nullopt);
    EXPECT_FALSE(r.groups[0].history.has_value());
    EXPECT_EQ(col(r.groups[1], "序号"), "02");
    EXPECT_EQ(col(r.groups[1], "组号"), "012");
    EXPECT_EQ(col(r.groups[1], "MODE"), "STA");
    EXPECT_EQ(col(r.groups[1], "filename"), "121.li");
    ASSERT_TRUE(r.groups[1].history.has_value());
    std::string content = r.groups[1].history->content;
    EXPECT_EQ(content.substr(content.find("\r\n")), "\r\n30.4\t70.0\t");
    EXPECT_EQ(r.groups[1].distribution->seq, 2);

    // Mode A1h gives STA and a .ln file whose classes come from the group's second block.
    GroupA ln = sample_group();
    ln.mode = 0xA1;
    std::vector<std::uint32_t> counts(6, 0);
    counts[5] = 12;
    ln.history = sim::ln_history(counts);
    std::vector<GroupA> one{ln};
    auto ln_data = sim::encode_transfer_a(one);
    auto ln_r = decode_a(model_of('a'), ln_data, blocks(ln_data));
    ASSERT_EQ(ln_r.groups.size(), 1u);
    EXPECT_EQ(col(ln_r.groups[0], "MODE"), "STA");
    EXPECT_EQ(ln_r.groups[0].history->content, " Lp            N\r\n30.5           12\r\n");

    // B0h "24h no"; D0h AC with its interval; an unknown mode leaves MODE unset, row kept.
    GroupA ac = sample_group();
    ac.mode = 0xD0;
    ac.ac_interval_ms = 20;
    auto pair = sim::ac_sample(2, 16);
    ac.history = {pair[0], pair[1], 0, 0};
    ac.history_length = 4;
    GroupA no = sample_group();
    no.mode = 0xB0;
    GroupA odd = sample_group();
    odd.mode = 0x55;
    std::vector<GroupA> three{ac, no, odd};
    auto d3 = sim::encode_transfer_a(three);
    auto r3 = decode_a(model_of('a'), d3, blocks(d3));
    ASSERT_EQ(r3.groups.size(), 3u);
    EXPECT_EQ(col(r3.groups[0], "MODE"), "AC");
    EXPECT_EQ(col(r3.groups[0], "filename"), "0120.ac");
    const std::string& ac_text = r3.groups[0].history->content;
    EXPECT_EQ(ac_text.substr(ac_text.size() - 14), "20ms\r\n32\t-512\t");
    EXPECT_EQ(col(r3.groups[1], "MODE"), "24h no");
    EXPECT_EQ(col(r3.groups[2], "MODE"), std::nullopt);
    EXPECT_EQ(col(r3.groups[2], "Leq"), "74.5");
}

TEST(DecodeA, ZeroGroupLengthEndsTheScanAndKeepsEarlierGroups) {
    GroupA g = sample_group();
    g.mode = 0xA0;
    std::vector<GroupA> groups{g, g, g};
    auto data = sim::encode_transfer_a(groups);
    data[256 + 46] = 0;
    data[256 + 47] = 0;
    auto r = decode_a(model_of('a'), data, 3);
    ASSERT_EQ(r.groups.size(), 1u);
    EXPECT_TRUE(has_note(r.notes, DecodeNote{.kind = K::zero_length, .group = 2, .at = 256})) << r.notes.size();

    // All-zero data, as an erased memory sends it: no group at all, and no endless loop.
    std::vector<std::uint8_t> zeros(4 * 256, 0);
    auto z = decode_a(model_of('a'), zeros, 4);
    EXPECT_TRUE(z.groups.empty());
    EXPECT_TRUE(has_note(z.notes, DecodeNote{.kind = K::zero_length, .group = 1, .at = 0}));
}

TEST(DecodeA, BrokenTransferNeverInventsGroupsAndCutsHistories) {
    GroupA a = sample_group();
    a.mode = 0xA0;
    GroupA li = sample_group();
    li.mode = 0xA3;
    li.history.assign(500, 3);  // 33.6 dB each
    li.history_length = 500;
    std::vector<GroupA> groups{a, li, a};
    auto data = sim::encode_transfer_a(groups);
    ASSERT_EQ(data.size(), 5u * 256);  // 1 + 3 + 1 blocks
    const std::int32_t n = 5;

    // Data stops 100 bytes into the second group's history, or right before it: that group is
    // not whole and gives nothing.
    for (std::size_t into : {100u, 0u}) {
        std::span<const std::uint8_t> cut(data.data(), 512 + into);
        auto r = decode_a(model_of('a'), cut, n);
        ASSERT_EQ(r.groups.size(), 1u) << into;
        EXPECT_EQ(r.announced_bytes, 1280u);
        EXPECT_EQ(r.received_bytes, 512u + into);
        EXPECT_TRUE(has_note(r.notes, DecodeNote{.kind = K::broken_off, .received = 512 + into, .announced = 1280}));
        EXPECT_TRUE(has_note(r.notes, DecodeNote{.kind = K::history_cut, .group = 2, .received = into,
                                                 .announced = 500, .stored = false}));
    }
    // The whole history arrived but the group's last block did not: the group is whole.
    std::span<const std::uint8_t> history_whole(data.data(), 512 + 500);
    auto whole = decode_a(model_of('a'), history_whole, n);
    ASSERT_EQ(whole.groups.size(), 2u);
    const std::string& text = whole.groups[1].history->content;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 500);
    EXPECT_FALSE(has_note(whole.notes, K::history_cut));

    // Data stops inside the third group's first block: that group gives nothing.
    std::span<const std::uint8_t> in_third(data.data(), 4 * 256 + 200);
    auto r3 = decode_a(model_of('a'), in_third, n);
    EXPECT_EQ(r3.groups.size(), 2u);
    EXPECT_TRUE(has_note(r3.notes, DecodeNote{.kind = K::first_block_incomplete, .group = 3, .received = 200}));

    // Data stops inside the first block: no group at all.
    std::span<const std::uint8_t> in_first(data.data(), 255);
    EXPECT_TRUE(decode_a(model_of('a'), in_first, n).groups.empty());
    EXPECT_TRUE(decode_a(model_of('a'), {}, n).groups.empty());

    // A group longer than the announced data: cut at the announced end, scan ends there.
    auto r2 = decode_a(model_of('a'), data, 3);
    ASSERT_EQ(r2.groups.size(), 2u);
    const std::string& text2 = r2.groups[1].history->content;
    EXPECT_EQ(std::count(text2.begin(), text2.end(), '\t'), 256);
    EXPECT_TRUE(has_note(r2.notes, DecodeNote{.kind = K::history_cut, .group = 2, .received = 256,
                                              .announced = 500, .stored = true}));
    EXPECT_TRUE(has_note(r2.notes, DecodeNote{.kind = K::surplus, .received = 1280, .announced = 768}));

    // A cut that loses nothing the file reads is not reported as a loss.
    li.history_length = 10;
    std::vector<GroupA> short_li{li};
    auto d2 = sim::encode_transfer_a(short_li);
    std::span<const std::uint8_t> first_two(d2.data(), 512);
    auto r4 = decode_a(model_of('a'), first_two, 4);
    ASSERT_EQ(r4.groups.size(), 1u);
    EXPECT_FALSE(has_note(r4.notes, K::history_cut));

    // No or negative count: nothing decoded.
    EXPECT_TRUE(decode_a(model_of('a'), data, 0).groups.empty());
    EXPECT_TRUE(decode_a(model_of('a'), data, -16).groups.empty());
}

TEST(DecodeA, RealisticGroupsRoundTrip) {
    const auto groups = sim::realistic_groups_a(40, 1234);
    ASSERT_EQ(groups.size(), 40u);
    auto data = sim::encode_transfer_a(groups);
    ASSERT_EQ(data.size() % 256, 0u);
    EXPECT_LE(data.size(), 127001u) << "a download of 40 groups fits the receive buffer";
    auto count = count_bytes(model_of('a'), blocks(data));
    ASSERT_TRUE(count.has_value());
    EXPECT_EQ(transfer_count(model_of('a'), (*count)[0], (*count)[1]), blocks(data));

    auto r = decode_a(model_of('a'), data, blocks(data));
    ASSERT_EQ(r.groups.size(), groups.size());
    EXPECT_TRUE(r.notes.empty());
    for (std::size_t j = 0; j < groups.size(); ++j) {
        SCOPED_TRACE(j);
        const GroupA& g = groups[j];
        const DecodedGroup& d = r.groups[j];
        EXPECT_EQ(col(d, "序号"), format_number(double(j + 1), "00"));
        EXPECT_EQ(col(d, "Leq"), format_number(g.levels.leq, "#00.0"));
        EXPECT_EQ(col(d, "L5"), format_number(g.levels.l5, "#00.0"));
        EXPECT_EQ(col(d, "L95"), format_number(g.levels.l95, "#00.0"));
        EXPECT_EQ(col(d, "SD"), format_number(g.levels.sd, "##0.0"));
        EXPECT_EQ(col(d, "LAE"), format_number(g.levels.lae, "#00.0"));
        EXPECT_EQ(col(d, "Lmin"), format_number(g.levels.lmin, "#00.0"));
        EXPECT_EQ(col(d, "E"), format_number(g.levels.e, "##0.0"));
        EXPECT_EQ(col(d, "CODE"), format_number(g.code_value, "##0.0"));
        for (std::size_t k = 0; k < 101; ++k)
            EXPECT_EQ(d.distribution->values[k], g.distribution_percent[k]) << k;
        auto kind = history_kind(g.mode);
        ASSERT_EQ(d.history.has_value(), kind.has_value());
        if (kind == HistoryKind::level_distribution) {
            // One line per non-empty class, and the counts add up to the encoded ones.
            std::uint64_t encoded = 0, written = 0;
            std::size_t classes = 0;
            for (std::size_t i = 0; i + 2 < g.history.size(); i += 3) {
                std::uint32_t c = g.history[i] | g.history[i + 1] << 8 | g.history[i + 2] << 16;
                encoded += c;
                classes += c != 0;
            }
            const std::string& text = d.history->content;
            std::size_t lines = 0;
            for (std::size_t at = text.find("\r\n"); at != std::string::npos;
                 at = text.find("\r\n", at + 2)) {
                ++lines;
                auto start = text.rfind(' ', at);
                if (lines > 1) written += std::stoull(text.substr(start + 1, at - start - 1));
            }
            EXPECT_EQ(lines, classes + 1);
            EXPECT_EQ(written, encoded);
        } else if (kind == HistoryKind::instantaneous_level) {
            const std::string& text = d.history->content;
            EXPECT_EQ(std::size_t(std::count(text.begin(), text.end(), '\t')), g.history_length);
        }
    }
}

TEST(RealisticGroupsA, ArePlausibleAndDeterministic) {
    const auto groups = sim::realistic_groups_a(64, 7);
    int run = 0, ln = 0, li = 0;
    for (std::size_t j = 0; j < groups.size(); ++j) {
        SCOPED_TRACE(j);
        const auto& g = groups[j];
        const auto& l = g.levels;
        test::expect_ordered_levels({l.l5, l.l10, l.l50, l.l90, l.l95}, l.lmax, l.leq, l.lmin);
        EXPECT_GT(l.sd, 0);
        double sum = std::accumulate(g.distribution_percent.begin(), g.distribution_percent.end(), 0.0);
        EXPECT_NEAR(sum, 100, 1e-9);
        if (g.mode == 0xB1) {
            ++run;
            EXPECT_EQ(g.start.hour, g.day_number - 1);
            EXPECT_EQ(g.measured.hours, 1);
        }
        ln += g.mode == 0xA1;
        li += g.mode == 0xA3;
    }
    EXPECT_EQ(run, 48);
    EXPECT_GT(ln, 0);
    EXPECT_GT(li, 0);
    EXPECT_EQ(sim::encode_transfer_a(sim::realistic_groups_a(20, 7)),
              sim::encode_transfer_a(std::span(groups).first(20)));
    EXPECT_NE(sim::encode_transfer_a(sim::realistic_groups_a(20, 8)),
              sim::encode_transfer_a(std::span(groups).first(20)));
}

}  // namespace
}  // namespace nlx
