// Model c: 256-byte statistical groups (A0h single, B0h 24-hour run) and octave-band groups (D0h).
#include <cmath>
#include <optional>

#include "core/models.h"
#include "decode/code_tables_cde.h"
#include "decode/decoder.h"
#include "core/number_format.h"
#include "decode/packed.h"
#include "decode/received_blocks.h"
#include "decode/row_builder.h"

namespace nlx {
namespace {

constexpr int kClasses = 101;        // level counts for 30 .. 130 dB
constexpr int kCountedClasses = 100;  // the classes that make up the total (30 .. 129 dB)
constexpr int kLowestLevel = 30;

using Group = std::span<const std::uint8_t>;

double level(Group g, std::size_t o) { return packed_level_low_first(g[o], g[o + 1]); }
std::string level_text(Group g, std::size_t o) { return format_number(level(g, o), "##0.0"); }

// Counts are 16-bit, low byte first. The instrument keeps the high byte below 80h; a count with
// the high bit set is still read as the unsigned value rather than as a negative number.
unsigned count(Group g, int j) {
    std::size_t o = 48 + 2 * std::size_t(j);
    return unsigned(g[o]) | unsigned(g[o + 1]) << 8;
}

unsigned duration_seconds(Group g) {
    return unsigned(g[15]) | unsigned(g[16]) << 8 | unsigned(g[17]) << 16;
}

// Total of the 100 counted classes; the distribution divides by it too.
long long counted_total(Group g) {
    long long n = 0;
    for (int j = 0; j < kCountedClasses; ++j) n += count(g, j);
    return n;
}

// Standard deviation of the levels weighted by their counts, in exact integer sums so the
// variance can never come out negative. No samples gives 0.
double sd_from_counts(Group g) {
    long long n = 0, s1 = 0, s2 = 0;
    for (int j = 0; j < kCountedClasses; ++j) {
        long long c = count(g, j), x = kLowestLevel + j;
        n += c;
        s1 += c * x;
        s2 += c * x * x;
    }
    if (n == 0) return 0.0;
    // variance = S2/N - (S1/N)^2 = (N*S2 - S1^2) / N^2
    double numerator = double(n * s2 - s1 * s1);
    return std::sqrt(numerator) / double(n);
}

std::string sd_text(Group g) {
    if (g[27] == 0xFF) return format_number(sd_from_counts(g), "##0.0");
    // The stored deviation: tens in byte 27 as a plain number, units and tenths in byte 26.
    return plain_number_text(sd_level(g[27], g[26]));
}

void set_common(RecordBuilder& row, Group g, std::int32_t i) {
    row.set(kSeqColumn, whole_number_text(unsigned(i) + 1, 2));
    row.set("DATE", date_text(g[4], g[5], g[6]));
    row.set("TIME", time_text(g[7], g[8], g[9]));
    row.set("采样间隔", "1s");
    row.set("时间计权", time_weighting_text_c(g[3]));
}

// LAE = Leq + 10 log10(T); E is the exposure in Pa²h for 20 µPa, from the unrounded LAE.
// A duration of 0 s has no exposure level: both stay unset.
void set_exposure(RecordBuilder& row, Group g) {
    unsigned t = duration_seconds(g);
    auto leq = parse_decimal(*row.get("Leq"));
    if (t == 0 || !leq) return;
    double lae = *leq + 10.0 * std::log10(double(t));
    row.set("LAE", format_number(lae, "##0.0"));
    row.set("E", format_number(4.0 * std::pow(10.0, 0.1 * lae - 10.0) / 3600.0, "##0.0"));
}

DecodedGroup statistical_group(const ModelInfo& model, Group g, std::int32_t i) {
    RecordBuilder row(model);
    set_common(row, g, i);
    row.set("Leq", level_text(g, 18));
    row.set("L5", level_text(g, 44));
    row.set("L10", level_text(g, 20));
    row.set("L50", level_text(g, 22));
    row.set("L90", level_text(g, 24));
    row.set("L95", level_text(g, 42));
    row.set("Lmax", level_text(g, 30));
    row.set("Lmin", level_text(g, 32));
    row.set(kMeasuredTimeColumn, duration_text(g[38], g[37], g[36]));
    row.set("设定时间", set_time_text_c(g[10]));
    row.set(kModeColumn, mode_text_c(g[0], g[39]));
    row.set("频率计权", "A");
    row.set("SD", sd_text(g));
    set_exposure(row, g);

    DistributionRow dist;
    dist.seq = i + 1;
    dist.values.resize(kClasses);
    long long total = counted_total(g);
    for (int j = 0; j < kClasses; ++j)
        dist.values[std::size_t(j)] = total == 0 ? 0.0 : double(count(g, j)) / double(total) * 100.0;
    return DecodedGroup{row.take(), std::move(dist), std::nullopt};
}

DecodedGroup octave_group(const ModelInfo& model, Group g, std::int32_t i) {
    RecordBuilder row(model);
    set_common(row, g, i);
    // Bands 31.5 Hz .. 8 kHz, then AP and LA, in the statistical columns.
    static constexpr struct { const char* column; std::size_t offset; } kBands[] = {
        {"Leq", 18}, {"L5", 44}, {"L10", 20}, {"L50", 22}, {"L90", 24}, {"L95", 42},
        {"SD", 26},  {"LAE", 28}, {"Lmax", 30}, {"Lmin", 32}, {"E", 34}};
    for (const auto& band : kBands) row.set(band.column, level_text(g, band.offset));
    row.set(kMeasuredTimeColumn, plain_number_text(level(g, 36)));  // the LC level
    row.set(kModeColumn, "OCT");
    row.set("设定时间", "1sLeq");
    row.set("频率计权", "L");
    return DecodedGroup{row.take(), std::nullopt, std::nullopt};
}

// A block that is no group (an empty block reads as type 00h) gives no row.
std::optional<DecodedGroup> group_c(const ModelInfo& model, Group g, std::int32_t i, std::vector<DecodeNote>&) {
    switch (g[0]) {
    case 0xA0:
    case 0xB0: return statistical_group(model, g, i);
    case 0xD0: return octave_group(model, g, i);
    default: return std::nullopt;
    }
}

}  // namespace

DecodeResult decode_c(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each) {
    return decode_whole_groups(model, data, n, group_c, each);
}

}  // namespace nlx
