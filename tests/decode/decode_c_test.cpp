// Model c: statistical and octave-band groups, SD and exposure rules, distribution rows, transfers.
#include <gtest/gtest.h>

#include <cmath>

#include "decode/decoder.h"
#include "core/number_format.h"
#include "decoded_rows.h"
#include "sim/encode/encode_cde.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

using K = DecodeNote::Kind;

using sim::StatGroupC;
using sim::OctaveGroupC;

Cell col(const DecodedGroup& g, std::string_view column) { return test::cell('c', g.record, column); }

StatGroupC sample_group() {
    StatGroupC g;
    g.start = {8, 9, 5, 14, 3, 0};
    g.set_time_code = 6;
    g.duration_s = 3600;
    g.measured = {1, 0, 0};
    g.leq = 85.6, g.l5 = 90.1, g.l10 = 88.0, g.l50 = 84.2, g.l90 = 80.5, g.l95 = 79.9;
    g.lmax = 101.3, g.lmin = 5.2;
    g.sd = 23.5;
    g.counts[30] = 10;
    return g;
}

DecodeResult decode_one(const sim::Block256& block) { return decode_c(model_of('c'), block, 1); }

TEST(DecodeC, StatisticalGroupFillsEveryColumn) {
    auto block = sim::encode_group_c(sample_group());
    // Low byte first: the hundreds and tens are in byte 19, units and tenths in byte 18.
    EXPECT_EQ(block[18], 0x56);
    EXPECT_EQ(block[19], 0x08);

    auto r = decode_one(block);
    ASSERT_EQ(r.groups.size(), 1u);
    const auto& g = r.groups[0];
    ASSERT_EQ(g.record.size(), 20u);
    EXPECT_EQ(col(g, "序号"), "01");
    EXPECT_EQ(col(g, "Leq"), "85.6");
    EXPECT_EQ(col(g, "L5"), "90.1");
    EXPECT_EQ(col(g, "L10"), "88.0");
    EXPECT_EQ(col(g, "L50"), "84.2");
    EXPECT_EQ(col(g, "L90"), "80.5");
    EXPECT_EQ(col(g, "L95"), "79.9");
    EXPECT_EQ(col(g, "Lmax"), "101.3");
    EXPECT_EQ(col(g, "Lmin"), "5.2");  // "##0.0": no padding to two digits
    EXPECT_EQ(col(g, "SD"), "23.5");
    EXPECT_EQ(col(g, "测量时间"), "1h0m0s");
    EXPECT_EQ(col(g, "DATE"), "08-09-05");
    EXPECT_EQ(col(g, "TIME"), "14:03:00");
    EXPECT_EQ(col(g, "设定时间"), "1hour");
    EXPECT_EQ(col(g, "采样间隔"), "1s");
    EXPECT_EQ(col(g, "MODE"), "STA");
    EXPECT_EQ(col(g, "频率计权"), "A");
    EXPECT_EQ(col(g, "时间计权"), "F");
    EXPECT_EQ(col(g, "LAE"), "121.2");
    EXPECT_TRUE(r.notes.empty());

    block[18] = 0x05, block[19] = 0x00;
    EXPECT_EQ(col(decode_one(block).groups[0], "Leq"), "0.5");
}

TEST(DecodeC, CodeTablesOfTheModel) {
    auto block = sim::encode_group_c(sample_group());
    auto text = [&](std::string_view column) { return col(decode_one(block).groups[0], column); };

    block[10] = 0;
    EXPECT_EQ(text("设定时间"), "手动");
    block[10] = 7;
    EXPECT_EQ(text("设定时间"), "4hour");
    block[10] = 9;
    EXPECT_EQ(text("设定时间"), "24hour");
    block[10] = 10;
    EXPECT_EQ(text("设定时间"), std::nullopt);

    // The time weighting comes from the low nibble (not the high one as in models a, b).
    block[3] = 0x10;
    EXPECT_EQ(text("时间计权"), "F");
    block[3] = 0x01;
    EXPECT_EQ(text("时间计权"), "S");
    block[3] = 0x0F;
    EXPECT_EQ(text("时间计权"), "S");

    block[0] = 0xB0;
    block[39] = 3;
    EXPECT_EQ(text("MODE"), "24h3");
    block[39] = 12;
    EXPECT_EQ(text("MODE"), "24h12");
    EXPECT_EQ(text("频率计权"), "A");
    EXPECT_EQ(decode_one(block).groups[0].distribution.has_value(), true);
}

TEST(DecodeC, StandardDeviationFromBytesOrFromCounts) {
    auto block = sim::encode_group_c(sample_group());
    auto sd = [&] { return col(decode_one(block).groups[0], "SD"); };

    block[27] = 0x02, block[26] = 0x35;
    EXPECT_EQ(sd(), "23.5");
    block[27] = 0x02, block[26] = 0x00;
    EXPECT_EQ(sd(), "20");  // a plain number, not "##0.0"
    block[27] = 0x00, block[26] = 0x07;
    EXPECT_EQ(sd(), "0.7");

    // Computed from the counts: everything at 60 dB has no spread.
    StatGroupC g = sample_group();
    g.sd.reset();
    g.counts = {};
    g.counts[30] = 500;
    auto r = decode_one(sim::encode_group_c(g));
    EXPECT_EQ(col(r.groups[0], "SD"), "0.0");

    // Half at 50 dB, half at 70 dB: 10 dB either side of the mean.
    g.counts = {};
    g.counts[20] = 7, g.counts[40] = 7;
    EXPECT_EQ(col(decode_one(sim::encode_group_c(g)).groups[0], "SD"), "10.0");

    // The count of the top class (130 dB) is not part of the statistics.
    g.counts[100] = 1000;
    EXPECT_EQ(col(decode_one(sim::encode_group_c(g)).groups[0], "SD"), "10.0");

    // 1 sample at 30 dB, 3 at 34 dB: mean 33, variance (9 + 3) / 4 = 3.
    g.counts = {};
    g.counts[0] = 1, g.counts[4] = 3;
    EXPECT_EQ(col(decode_one(sim::encode_group_c(g)).groups[0], "SD"), "1.7");
}

TEST(DecodeC, ExposureLevelAndExposureFromTheDuration) {
    StatGroupC g = sample_group();
    auto decode_with = [&](double leq, unsigned seconds) {
        g.leq = leq;
        g.duration_s = seconds;
        return decode_one(sim::encode_group_c(g)).groups.at(0);
    };
    auto r = decode_with(100.0, 3600);
    EXPECT_EQ(col(r, "LAE"), "135.6");
    EXPECT_EQ(col(r, "E"), "4.0");
    r = decode_with(80.0, 3600);
    EXPECT_EQ(col(r, "LAE"), "115.6");
    EXPECT_EQ(col(r, "E"), "0.0");
    // 24 bits of seconds: a full day.
    r = decode_with(60.0, 86400);
    EXPECT_EQ(col(r, "LAE"), "109.4");
    r = decode_with(90.0, 0x010000 + 3600);  // the third byte counts 65536 s
    EXPECT_EQ(col(r, "LAE"), format_number(90.0 + 10 * std::log10(69136.0), "##0.0"));

    // No duration, no exposure level: both stay unset, the rest of the row is written.
    r = decode_with(85.6, 0);
    EXPECT_EQ(col(r, "LAE"), std::nullopt);
    EXPECT_EQ(col(r, "E"), std::nullopt);
    EXPECT_EQ(col(r, "Leq"), "85.6");
    EXPECT_TRUE(r.distribution.has_value());
}

TEST(DecodeC, DistributionRowOfPercentages) {
    StatGroupC g = sample_group();
    g.counts = {};
    g.counts[0] = 1, g.counts[50] = 3;
    g.counts[100] = 2;  // 130 dB: written, but not part of the total
    auto blocks = test::concat(sim::encode_group_c(g), sim::encode_group_c(g));
    auto r = decode_c(model_of('c'), blocks, 2);
    ASSERT_EQ(r.groups.size(), 2u);
    const auto& d = *r.groups[1].distribution;
    EXPECT_EQ(d.seq, 2);
    ASSERT_EQ(d.values.size(), 101u);
    EXPECT_DOUBLE_EQ(*d.values[0], 25.0);
    EXPECT_DOUBLE_EQ(*d.values[50], 75.0);
    EXPECT_DOUBLE_EQ(*d.values[100], 50.0);
    EXPECT_DOUBLE_EQ(*d.values[1], 0.0);

    // Counts that sum to zero: no share can be computed; the row is all zeros and SD 0.0.
    g.counts = {};
    g.counts[100] = 9;
    g.sd.reset();
    r = decode_one(sim::encode_group_c(g));
    ASSERT_TRUE(r.groups[0].distribution);
    for (const auto& v : r.groups[0].distribution->values) EXPECT_EQ(v, 0.0);
    EXPECT_EQ(col(r.groups[0], "SD"), "0.0");

    // A count with the high bit set is read as the unsigned 16-bit value.
    g.counts = {};
    g.counts[10] = 0x8000;
    g.counts[11] = 0x8000;
    r = decode_one(sim::encode_group_c(g));
    EXPECT_DOUBLE_EQ(*r.groups[0].distribution->values[10], 50.0);
    EXPECT_EQ(col(r.groups[0], "SD"), "0.5");
}

TEST(DecodeC, OctaveGroupUsesTheStatisticalColumns) {
    OctaveGroupC o;
    o.start = {9, 12, 31, 23, 59, 58};
    o.time_weighting = 1;
    for (int k = 0; k < 12; ++k) o.bands[std::size_t(k)] = 50.0 + k + 0.1 * k;
    o.bands[6] = 5.0;    // 2 kHz in "SD"
    o.bands[11] = 85.0;  // LC in "测量时间" as a plain number
    auto r = decode_one(sim::encode_group_c(o));
    ASSERT_EQ(r.groups.size(), 1u);
    const auto& g = r.groups[0];
    EXPECT_FALSE(g.distribution.has_value());
    const char* columns[] = {"Leq", "L5", "L10", "L50", "L90", "L95", "SD", "LAE", "Lmax", "Lmin", "E"};
    for (int k = 0; k < 11; ++k)
        EXPECT_EQ(col(g, columns[k]), format_number(o.bands[std::size_t(k)], "##0.0")) << columns[k];
    EXPECT_EQ(col(g, "SD"), "5.0");
    EXPECT_EQ(col(g, "E"), "61.0");  // the LA level
    EXPECT_EQ(col(g, "测量时间"), "85");
    EXPECT_EQ(col(g, "MODE"), "OCT");
    EXPECT_EQ(col(g, "设定时间"), "1sLeq");
    EXPECT_EQ(col(g, "频率计权"), "L");
    EXPECT_EQ(col(g, "采样间隔"), "1s");
    EXPECT_EQ(col(g, "时间计权"), "S");
    EXPECT_EQ(col(g, "DATE"), "09-12-31");
    EXPECT_EQ(col(g, "TIME"), "23:59:58");

    o.bands[11] = 85.6;
    EXPECT_EQ(col(decode_one(sim::encode_group_c(o)).groups[0], "测量时间"), "85.6");
}

TEST(DecodeC, TransferSkipsNonGroupsAndLosesOnlyBrokenBlocks) {
    EXPECT_TRUE(decode_c(model_of('c'), {}, 0).groups.empty());
    EXPECT_TRUE(decode_c(model_of('c'), {}, -128).groups.empty());

    auto stat = sim::encode_group_c(sample_group());
    sim::Block256 empty{}, other{};
    other[0] = 0xA1;
    auto data = test::concat(stat, empty, other, stat);
    auto r = decode_c(model_of('c'), data, 4);
    ASSERT_EQ(r.groups.size(), 2u);
    EXPECT_EQ(col(r.groups[0], "序号"), "01");
    EXPECT_EQ(col(r.groups[1], "序号"), "04");  // numbered by position in the transfer
    EXPECT_EQ(r.groups[1].distribution->seq, 4);
    EXPECT_EQ(r.announced_bytes, 1024u);
    EXPECT_EQ(r.received_bytes, 1024u);
    EXPECT_TRUE(r.notes.empty());

    // Broken after two and a half groups of four: the half group gives no row.
    std::vector<std::uint8_t> broken = test::concat(stat, stat, stat);
    broken.resize(640);
    r = decode_c(model_of('c'), broken, 4);
    ASSERT_EQ(r.groups.size(), 2u);
    EXPECT_EQ(r.received_bytes, 640u);
    EXPECT_EQ(r.announced_bytes, 1024u);
    EXPECT_EQ(r.notes, (std::vector<DecodeNote>{
                           {.kind = K::broken_off, .received = 640, .announced = 1024},
                           {.kind = K::groups_not_whole, .group = 3, .last = 4, .count = 4}}));

    // More bytes than announced: the surplus is not decoded.
    r = decode_c(model_of('c'), data, 1);
    EXPECT_EQ(r.groups.size(), 1u);
    EXPECT_EQ(r.notes, (std::vector<DecodeNote>{{.kind = K::surplus, .received = 1024, .announced = 256}}));

    // Group 100 is numbered "100".
    std::vector<sim::GroupC> many(100, sample_group());
    r = decode_c(model_of('c'), sim::encode_transfer_c(many), 100);
    ASSERT_EQ(r.groups.size(), 100u);
    EXPECT_EQ(col(r.groups[99], "序号"), "100");
}

// Standard deviation of the counted classes, computed here independently as mean of squares.
double sd_of(const std::array<unsigned, 101>& counts) {
    double n = 0, m = 0;
    for (int j = 0; j < 100; ++j) n += counts[std::size_t(j)], m += counts[std::size_t(j)] * (30.0 + j);
    m /= n;
    double v = 0;
    for (int j = 0; j < 100; ++j) v += counts[std::size_t(j)] * std::pow(30.0 + j - m, 2);
    return std::sqrt(v / n);
}

TEST(DecodeC, RealisticGroupsRoundTrip) {
    auto groups = sim::realistic_groups_c(80, 7);
    ASSERT_EQ(groups.size(), 80u);
    EXPECT_EQ(sim::encode_transfer_c(groups), sim::encode_transfer_c(sim::realistic_groups_c(80, 7)));
    EXPECT_NE(sim::encode_transfer_c(groups), sim::encode_transfer_c(sim::realistic_groups_c(80, 8)));

    auto r = decode_c(model_of('c'), sim::encode_transfer_c(groups), 80);
    ASSERT_EQ(r.groups.size(), 80u);
    int octaves = 0, run_hours = 0;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const auto& d = r.groups[i];
        if (auto* o = std::get_if<OctaveGroupC>(&groups[i])) {
            ++octaves;
            EXPECT_EQ(col(d, "MODE"), "OCT");
            EXPECT_EQ(col(d, "Leq"), format_number(o->bands[0], "##0.0"));
            EXPECT_EQ(col(d, "E"), format_number(o->bands[10], "##0.0"));
            EXPECT_EQ(col(d, "测量时间"), plain_number_text(o->bands[11]));
            EXPECT_GE(o->bands[9], o->bands[10]);  // the unweighted level is the highest
            continue;
        }
        const auto& g = std::get<StatGroupC>(groups[i]);
        SCOPED_TRACE("group " + std::to_string(i));
        test::expect_ordered_levels({g.l5, g.l10, g.l50, g.l90, g.l95}, g.lmax, g.leq, g.lmin);
        EXPECT_EQ(col(d, "Leq"), format_number(g.leq, "##0.0"));
        EXPECT_EQ(col(d, "L5"), format_number(g.l5, "##0.0"));
        EXPECT_EQ(col(d, "L95"), format_number(g.l95, "##0.0"));
        EXPECT_EQ(col(d, "Lmin"), format_number(g.lmin, "##0.0"));
        double sd = *parse_decimal(*col(d, "SD"));
        EXPECT_NEAR(sd, g.sd ? *g.sd : sd_of(g.counts), 0.051);
        EXPECT_NEAR(*parse_decimal(*col(d, "LAE")), g.leq + 10 * std::log10(double(g.duration_s)), 0.051);
        unsigned total = 0;
        for (int j = 0; j < 100; ++j) total += g.counts[std::size_t(j)];
        EXPECT_EQ(total, g.duration_s);  // one sample a second
        for (int j = 0; j < 101; ++j)
            EXPECT_NEAR(*d.distribution->values[std::size_t(j)], 100.0 * g.counts[std::size_t(j)] / total, 1e-9);
        if (g.day_run) {
            ++run_hours;
            EXPECT_EQ(col(d, "MODE"), "24h" + std::to_string(g.day_number));
            EXPECT_EQ(g.start.minute, 0);
        }
    }
    EXPECT_GE(octaves, 2);
    EXPECT_GE(run_hours, 48);
    // Runs are 24 hourly groups numbered 1..24 on consecutive hours.
    for (std::size_t i = 1; i < groups.size(); ++i) {
        auto* a = std::get_if<StatGroupC>(&groups[i - 1]);
        auto* b = std::get_if<StatGroupC>(&groups[i]);
        if (a && b && a->day_run && b->day_run && b->day_number != 1) {
            EXPECT_EQ(b->day_number, a->day_number + 1);
            EXPECT_EQ(b->start.hour, (a->start.hour + 1) % 24);
        }
    }
}

}  // namespace
}  // namespace nlx
