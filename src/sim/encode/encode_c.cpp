// Model c groups to bytes: statistical groups with their level counts and octave-band groups.
#include <cmath>

#include "sim/encode/bytes.h"
#include "sim/encode/encode_cde.h"
#include "sim/encode/join.h"

namespace nlx::sim {
namespace {

constexpr std::size_t kCountsAt = 48;
// Offsets of the 12 octave-band levels, in the order of OctaveGroupC::bands.
constexpr std::array<std::size_t, 12> kBandOffsets = {18, 44, 20, 22, 24, 42, 26, 28, 30, 32, 34, 36};

}  // namespace

Block256 encode_group_c(const StatGroupC& g) {
    Block256 b{};
    b[0] = g.day_run ? 0xB0 : 0xA0;
    b[3] = std::uint8_t(g.time_weighting & 0x0F);
    put_stamp(b, 4, g.start);
    b[10] = std::uint8_t(g.set_time_code);
    put_u24_le(b, 15, g.duration_s);
    put_level_low_first(b, 18, g.leq);
    put_level_low_first(b, 20, g.l10);
    put_level_low_first(b, 22, g.l50);
    put_level_low_first(b, 24, g.l90);
    if (g.sd) {
        int tenths = int(std::lround(*g.sd * 10));
        b[26] = to_bcd(tenths % 100);
        b[27] = std::uint8_t(tenths / 100);
    } else {
        b[27] = 0xFF;
    }
    put_level_low_first(b, 30, g.lmax);
    put_level_low_first(b, 32, g.lmin);
    put_duration(b, 36, g.measured);
    b[39] = std::uint8_t(g.day_number);
    put_level_low_first(b, 42, g.l95);
    put_level_low_first(b, 44, g.l5);
    for (std::size_t j = 0; j < g.counts.size(); ++j) put_u16_le(b, kCountsAt + 2 * j, g.counts[j]);
    return b;
}

Block256 encode_group_c(const OctaveGroupC& g) {
    Block256 b{};
    b[0] = 0xD0;
    b[3] = std::uint8_t(g.time_weighting & 0x0F);
    put_stamp(b, 4, g.start);
    for (std::size_t k = 0; k < kBandOffsets.size(); ++k)
        put_level_low_first(b, kBandOffsets[k], g.bands[k]);
    return b;
}

Block256 encode_group_c(const GroupC& g) {
    return std::visit([](const auto& x) { return encode_group_c(x); }, g);
}

std::vector<std::uint8_t> encode_transfer_c(std::span<const GroupC> groups) {
    return join_encoded(groups, [](const GroupC& g) { return encode_group_c(g); });
}

}  // namespace nlx::sim
