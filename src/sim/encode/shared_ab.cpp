// The header layout models a and b share, the inverse of the decoders' shared fields.
#include "sim/encode/shared_ab.h"

#include <algorithm>
#include <cmath>

#include "sim/encode/bytes.h"

namespace nlx::sim {
namespace {

// Standard-deviation variant: the first byte is a plain number of tens of dB.
void put_sd(std::span<std::uint8_t> b, std::size_t o, double value) {
    int tenths = int(std::lround(value * 10));
    b[o] = std::uint8_t(std::clamp(tenths / 100, 0, 255));
    b[o + 1] = to_bcd(tenths % 100);
}

}  // namespace

void put_shared_ab(std::span<std::uint8_t> b, std::uint8_t weighting, const Stamp& start,
                   int set_time_code, int sampling_code, const StatLevels& l,
                   const Duration& measured, std::uint8_t day_number,
                   std::span<const double> distribution_percent) {
    b[3] = weighting;
    b[4] = to_bcd(start.year);
    b[5] = to_bcd(start.month);
    b[6] = to_bcd(start.day);
    b[7] = to_bcd(start.hour);
    b[8] = to_bcd(start.minute);
    b[9] = to_bcd(start.second);
    b[10] = std::uint8_t(set_time_code);
    b[11] = std::uint8_t(sampling_code);
    put_level_high_first(b, 18, l.leq);
    put_level_high_first(b, 20, l.l10);
    put_level_high_first(b, 22, l.l50);
    put_level_high_first(b, 24, l.l90);
    put_sd(b, 26, l.sd);
    put_level_high_first(b, 28, l.lae);
    put_level_high_first(b, 30, l.lmax);
    put_level_high_first(b, 32, l.lmin);
    put_level_high_first(b, 34, l.e);
    b[36] = to_bcd(measured.seconds);
    b[37] = to_bcd(measured.minutes);
    b[38] = to_bcd(measured.hours);
    b[39] = day_number;
    put_level_high_first(b, 42, l.l95);
    put_level_high_first(b, 44, l.l5);
    for (std::size_t k = 0; k < distribution_percent.size(); ++k)
        b[48 + k] = std::uint8_t(std::clamp<long>(std::lround(distribution_percent[k] * 2), 0, 255));
}

}  // namespace nlx::sim
