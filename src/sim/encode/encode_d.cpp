// Model d groups to bytes: vibration levels, codes and the half-percent distribution.
#include <algorithm>
#include <cmath>

#include "sim/encode/bytes.h"
#include "sim/encode/encode_cde.h"
#include "sim/encode/realistic_levels.h"

namespace nlx::sim {
namespace {

constexpr int kLowestLevel = 40;
// Seconds of the set-time codes 0..10.
constexpr std::array<unsigned, 11> kSetSeconds = {10, 60, 300, 600, 900, 1200, 3600, 7200, 14400, 28800, 86400};

GroupD vibration(Rng& rng, int mode, double mean, int set_code) {
    GroupD g;
    g.mode = mode;
    g.set_time_code = set_code;
    g.sampling_code = rng.between(3, 6);
    g.time_weighting = rng.between(0, 1);
    g.frequency_weighting = rng.between(0, 3);
    unsigned seconds = kSetSeconds[std::size_t(set_code)];
    if (mode != 3) {
        g.hours = int(seconds / 3600);
        g.minutes = int(seconds / 60 % 60);
        g.seconds = int(seconds % 60);
    }
    auto shares = bell_shares(100, kLowestLevel, mean, rng.uniform(2.0, 6.0));
    auto halves = apportion(shares, 200);  // in steps of 0.5 %, summing to 100 %
    std::vector<double> weights(halves.begin(), halves.end());
    for (std::size_t j = 0; j < halves.size(); ++j) g.percent[j] = halves[j] / 2.0;
    LevelStats s = level_stats(weights, kLowestLevel, rng);
    g.vleq = s.leq, g.vl5 = s.l5, g.vl10 = s.l10, g.vl50 = s.l50, g.vl90 = s.l90, g.vl95 = s.l95;
    g.vsd = s.sd, g.vlmax = s.lmax, g.vlmin = s.lmin;
    double exposure_level = s.leq + 10.0 * std::log10(double(seconds));
    g.vlav = mode == 3 ? round_tenth(exposure_level)
                       : round_tenth(std::min(s.leq, s.l50 + rng.uniform(0.0, 1.0)));
    g.e = round_tenth(std::min(999.9, 4.0 * std::pow(10.0, 0.1 * exposure_level - 10.0) / 3600.0));
    return g;
}

}  // namespace

Block256 encode_group_d(const GroupD& g) {
    Block256 b{};
    b[0] = std::uint8_t(g.mode);
    b[3] = std::uint8_t((g.time_weighting & 0x0F) << 4 | (g.frequency_weighting & 0x0F));
    b[4] = to_bcd(g.start.year);
    b[5] = to_bcd(g.start.month);
    b[6] = to_bcd(g.start.day);
    b[7] = to_bcd(g.start.hour);
    b[8] = to_bcd(g.start.minute);
    b[9] = to_bcd(g.start.second);
    b[10] = std::uint8_t(g.set_time_code);
    b[11] = std::uint8_t(g.sampling_code);
    put_level_high_first(b, 18, g.vleq);
    put_level_high_first(b, 20, g.vl10);
    put_level_high_first(b, 22, g.vl50);
    put_level_high_first(b, 24, g.vl90);
    int sd_tenths = int(std::lround(g.vsd * 10));
    b[26] = std::uint8_t(sd_tenths / 100);
    b[27] = to_bcd(sd_tenths % 100);
    put_level_high_first(b, 28, g.vlav);
    put_level_high_first(b, 30, g.vlmax);
    put_level_high_first(b, 32, g.vlmin);
    put_level_high_first(b, 34, g.e);
    b[36] = to_bcd(g.seconds);
    b[37] = to_bcd(g.minutes);
    b[38] = to_bcd(g.hours);
    b[39] = std::uint8_t(g.day_number);
    put_level_high_first(b, 42, g.vl95);
    put_level_high_first(b, 44, g.vl5);
    for (std::size_t j = 0; j < g.percent.size(); ++j)
        b[48 + j] = std::uint8_t(std::clamp(std::lround(g.percent[j] * 2), 0L, 255L));
    return b;
}

std::vector<std::uint8_t> transfer_d(std::span<const GroupD> groups) {
    std::vector<std::uint8_t> out;
    out.reserve(groups.size() * 256);
    for (const auto& g : groups) {
        auto b = encode_group_d(g);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

std::vector<GroupD> realistic_groups_d(int count, std::uint32_t seed) {
    Rng rng(seed);
    std::vector<GroupD> out;
    GroupStamp now{rng.between(8, 12), rng.between(1, 12), rng.between(1, 28), rng.between(7, 10),
                   rng.between(0, 59), 0};
    auto add = [&](GroupD g) {
        g.start = now;
        out.push_back(g);
        now = advanced(now, kSetSeconds[std::size_t(g.set_time_code)]);
    };
    while (int(out.size()) < count) {
        // A single measurement, an IEC measurement and an octave group, then a 24-hour run.
        for (int mode : {0, 2, 3}) {
            if (int(out.size()) >= count) break;
            add(vibration(rng, mode, rng.uniform(55.0, 95.0), rng.between(1, 6)));
            now = advanced(now, rng.between(60, 1800));
        }
        now = advanced(now, 3600 - (now.minute * 60 + now.second));
        for (int hour = 0; hour < 24 && int(out.size()) < count; ++hour) {
            bool night = now.hour >= 22 || now.hour < 6;
            GroupD g = vibration(rng, 1, (night ? 55.0 : 70.0) + rng.uniform(-3.0, 5.0), 6);
            g.day_number = hour + 1;
            add(g);
        }
        now = advanced(now, rng.between(600, 7200));
    }
    return out;
}

}  // namespace nlx::sim
