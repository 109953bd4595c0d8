// Model c groups to bytes: statistical groups with their level counts and octave-band groups.
#include <algorithm>
#include <cmath>

#include "sim/encode/bytes.h"
#include "sim/encode/encode_cde.h"
#include "sim/encode/realistic_levels.h"

namespace nlx::sim {
namespace {

constexpr std::size_t kCountsAt = 48;
constexpr int kLowestLevel = 30;
// Offsets of the 12 octave-band levels, in the order of OctaveGroupC::bands.
constexpr std::array<std::size_t, 12> kBandOffsets = {18, 44, 20, 22, 24, 42, 26, 28, 30, 32, 34, 36};
// Seconds of the set-time codes 1..9 (0 is a manual stop).
constexpr std::array<unsigned, 10> kSetSeconds = {0, 10, 60, 300, 600, 1200, 3600, 14400, 28800, 86400};

void put_stamp(Block256& b, const GroupStamp& s) {
    b[4] = to_bcd(s.year);
    b[5] = to_bcd(s.month);
    b[6] = to_bcd(s.day);
    b[7] = to_bcd(s.hour);
    b[8] = to_bcd(s.minute);
    b[9] = to_bcd(s.second);
}

void set_measured_time(StatGroupC& g, unsigned seconds) {
    g.duration_s = seconds;
    g.hours = int(seconds / 3600);
    g.minutes = int(seconds / 60 % 60);
    g.seconds = int(seconds % 60);
}

// One sample a second, spread over the classes 30 .. 129 dB like a bell around `mean`.
StatGroupC statistical(Rng& rng, double mean, unsigned seconds) {
    StatGroupC g;
    set_measured_time(g, seconds);
    auto shares = bell_shares(100, kLowestLevel, mean, rng.uniform(2.0, 7.0));
    auto counts = apportion(shares, seconds);
    std::vector<double> weights(counts.begin(), counts.end());
    std::copy(counts.begin(), counts.end(), g.counts.begin());
    LevelStats s = level_stats(weights, kLowestLevel, rng);
    g.leq = s.leq, g.l5 = s.l5, g.l10 = s.l10, g.l50 = s.l50, g.l90 = s.l90, g.l95 = s.l95;
    g.lmax = s.lmax, g.lmin = s.lmin;
    if (rng.chance(0.5)) g.sd = s.sd;
    g.time_weighting = rng.between(0, 1);
    return g;
}

// A spectrum falling towards high frequencies, with the overall, A- and C-weighted levels.
OctaveGroupC octave(Rng& rng) {
    static constexpr double kShape[9] = {4, 3, 2, 1, 0, -1, -3, -6, -10};
    static constexpr double kA[9] = {-39.4, -26.2, -16.1, -8.6, -3.2, 0, 1.2, 1.0, -1.1};
    static constexpr double kC[9] = {-3.0, -0.8, -0.2, 0, 0, 0, -0.2, -0.8, -3.0};
    OctaveGroupC g;
    g.time_weighting = rng.between(0, 1);
    double base = rng.uniform(55.0, 80.0), all = 0, a = 0, c = 0;
    for (int k = 0; k < 9; ++k) {
        double band = round_tenth(base + kShape[k] + rng.uniform(-3.0, 3.0));
        g.bands[std::size_t(k)] = band;
        all += std::pow(10.0, band / 10.0);
        a += std::pow(10.0, (band + kA[k]) / 10.0);
        c += std::pow(10.0, (band + kC[k]) / 10.0);
    }
    g.bands[9] = round_tenth(10.0 * std::log10(all));
    g.bands[10] = round_tenth(10.0 * std::log10(a));
    g.bands[11] = round_tenth(10.0 * std::log10(c));
    return g;
}

// Hourly mean level of a day: quiet at night, busy in the day.
double hourly_mean(int hour, Rng& rng) {
    bool night = hour >= 22 || hour < 6;
    return (night ? 42.0 : 58.0) + rng.uniform(-3.0, 5.0);
}

}  // namespace

Block256 encode_group_c(const StatGroupC& g) {
    Block256 b{};
    b[0] = g.day_run ? 0xB0 : 0xA0;
    b[3] = std::uint8_t(g.time_weighting & 0x0F);
    put_stamp(b, g.start);
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
    b[36] = to_bcd(g.seconds);
    b[37] = to_bcd(g.minutes);
    b[38] = to_bcd(g.hours);
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
    put_stamp(b, g.start);
    for (std::size_t k = 0; k < kBandOffsets.size(); ++k)
        put_level_low_first(b, kBandOffsets[k], g.bands[k]);
    return b;
}

Block256 encode_group_c(const GroupC& g) {
    return std::visit([](const auto& x) { return encode_group_c(x); }, g);
}

std::vector<std::uint8_t> transfer_c(std::span<const GroupC> groups) {
    std::vector<std::uint8_t> out;
    out.reserve(groups.size() * 256);
    for (const auto& g : groups) {
        auto b = encode_group_c(g);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

std::vector<GroupC> realistic_groups_c(int count, std::uint32_t seed) {
    Rng rng(seed);
    std::vector<GroupC> out;
    GroupStamp now{rng.between(8, 12), rng.between(1, 12), rng.between(1, 28), rng.between(7, 10),
                   rng.between(0, 59), 0};
    while (int(out.size()) < count) {
        // Two single measurements, an octave spectrum, then a 24-hour run.
        for (int k = 0; k < 2 && int(out.size()) < count; ++k) {
            int code = rng.between(1, 6);
            StatGroupC g = statistical(rng, rng.uniform(45.0, 85.0), kSetSeconds[std::size_t(code)]);
            g.set_time_code = code;
            g.start = now;
            out.push_back(g);
            now = advanced(now, g.duration_s + unsigned(rng.between(60, 1800)));
        }
        if (int(out.size()) < count) {
            OctaveGroupC g = octave(rng);
            g.start = now;
            out.push_back(g);
            now = advanced(now, rng.between(120, 1800));
        }
        // The run starts at the next full hour.
        now = advanced(now, 3600 - (now.minute * 60 + now.second));
        for (int hour = 0; hour < 24 && int(out.size()) < count; ++hour) {
            StatGroupC g = statistical(rng, hourly_mean(now.hour, rng), 3600);
            g.day_run = true;
            g.day_number = hour + 1;
            g.set_time_code = 6;
            g.start = now;
            out.push_back(g);
            now = advanced(now, 3600);
        }
        now = advanced(now, rng.between(600, 7200));
    }
    return out;
}

}  // namespace nlx::sim
