// The header fields shared by the model a, b and d decoders.
#include "decode/shared_header.h"

#include "core/models.h"
#include "decode/code_tables.h"
#include "core/number_format.h"
#include "decode/packed.h"

namespace nlx {
namespace {

// A level with the pattern "#00.0".
std::string level_at(std::span<const std::uint8_t> h, std::size_t o) {
    return tenths_text(unsigned(packed_tenths(h[o], h[o + 1])), 2);
}

}  // namespace

void fill_shared_columns(RecordBuilder& row, std::span<const std::uint8_t> h, const LevelSlots& c) {
    row.set(c.leq, level_at(h, 18));
    row.set(c.l5, level_at(h, 44));
    row.set(c.l10, level_at(h, 20));
    row.set(c.l50, level_at(h, 22));
    row.set(c.l90, level_at(h, 24));
    row.set(c.l95, level_at(h, 42));
    row.set(c.sd, tenths_text(unsigned(sd_tenths(h[26], h[27])), 1));  // "##0.0"
    row.set(c.lae, level_at(h, 28));
    row.set(c.lmax, level_at(h, 30));
    row.set(c.lmin, level_at(h, 32));
    row.set(c.e, tenths_text(unsigned(packed_tenths(h[34], h[35])), 1));  // "##0.0"
    row.set("DATE", date_text(h[4], h[5], h[6]));
    row.set("TIME", time_text(h[7], h[8], h[9]));
    row.set("设定时间", set_time_text(h[10]));
    row.set("采样间隔", sampling_interval_text(h[11]));
    row.set("时间计权", time_weighting_text(h[3]));
}

void fill_shared_columns_ab(RecordBuilder& row, std::span<const std::uint8_t> h) {
    fill_shared_columns(row, h, kSoundLevelSlots);
    row.set("频率计权", frequency_weighting_text(h[3]));
}

DistributionRow half_percent_distribution(long long seq, std::span<const std::uint8_t> bytes) {
    DistributionRow d;
    d.seq = seq;
    d.values.assign(kDistributionValues, std::nullopt);
    for (std::size_t k = 0; k < bytes.size() && k < d.values.size(); ++k) {
        double percent = bytes[k] / 2.0;
        d.values[k] = percent >= 100 ? 0.0 : percent;
    }
    return d;
}

}  // namespace nlx
