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

SharedColumns::SharedColumns(const RecordBuilder& row, const LevelSlots& c)
    : leq(row.column(c.leq)), l5(row.column(c.l5)), l10(row.column(c.l10)), l50(row.column(c.l50)),
      l90(row.column(c.l90)), l95(row.column(c.l95)), sd(row.column(c.sd)), lae(row.column(c.lae)),
      lmax(row.column(c.lmax)), lmin(row.column(c.lmin)), e(row.column(c.e)), date(row.column("DATE")),
      time(row.column("TIME")), set_time(row.column("设定时间")), interval(row.column("采样间隔")),
      time_weighting(row.column("时间计权")) {}

void fill_shared_columns(RecordBuilder& row, std::span<const std::uint8_t> h, const SharedColumns& c) {
    row.set_at(c.leq, level_at(h, 18));
    row.set_at(c.l5, level_at(h, 44));
    row.set_at(c.l10, level_at(h, 20));
    row.set_at(c.l50, level_at(h, 22));
    row.set_at(c.l90, level_at(h, 24));
    row.set_at(c.l95, level_at(h, 42));
    row.set_at(c.sd, tenths_text(unsigned(sd_tenths(h[26], h[27])), 1));  // "##0.0"
    row.set_at(c.lae, level_at(h, 28));
    row.set_at(c.lmax, level_at(h, 30));
    row.set_at(c.lmin, level_at(h, 32));
    row.set_at(c.e, tenths_text(unsigned(packed_tenths(h[34], h[35])), 1));  // "##0.0"
    row.set_at(c.date, date_text(h[4], h[5], h[6]));
    row.set_at(c.time, time_text(h[7], h[8], h[9]));
    row.set_at(c.set_time, set_time_text(h[10]));
    row.set_at(c.interval, sampling_interval_text(h[11]));
    row.set_at(c.time_weighting, time_weighting_text(h[3]));
}

SharedColumnsAB::SharedColumnsAB(const RecordBuilder& row)
    : shared(row, kSoundLevelSlots), frequency(row.column("频率计权")) {}

void fill_shared_columns_ab(RecordBuilder& row, std::span<const std::uint8_t> h, const SharedColumnsAB& c) {
    fill_shared_columns(row, h, c.shared);
    row.set_at(c.frequency, frequency_weighting_text(h[3]));
}

DistributionRow half_percent_distribution(long long seq, std::span<const std::uint8_t> bytes) {
    DistributionRow d;
    d.seq = seq;
    d.values.reserve(kDistributionValues);
    for (std::size_t k = 0; k < bytes.size() && k < std::size_t(kDistributionValues); ++k) {
        const double percent = bytes[k] / 2.0;
        d.values.emplace_back(percent >= 100 ? 0.0 : percent);
    }
    d.values.resize(kDistributionValues);  // NULL past the bytes given
    return d;
}

}  // namespace nlx
