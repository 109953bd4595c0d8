// Plausible model c, d and e data: statistical, octave and vibration groups with self-consistent
// levels, 24-hour runs of hourly groups, and short level records.
#include <algorithm>

#include "sim/encode/encode_cde.h"
#include "sim/encode/realistic.h"

namespace nlx::sim {
namespace {

constexpr int kLowestSound = 30;      // sound level classes from 30 dB (models c, e)
constexpr int kLowestVibration = 40;  // vibration level classes from 40 dB (model d)
// Seconds of the set-time codes 1..9 of model c (0 is a manual stop).
constexpr std::array<unsigned, 10> kSetSecondsC = {0, 10, 60, 300, 600, 1200, 3600, 14400, 28800, 86400};
// Seconds of the set-time codes 1..10 of model e (0 is a manual stop).
constexpr std::array<unsigned, 11> kSetSecondsE = {0, 10, 60, 300, 600, 1200, 3600, 7200, 14400, 28800, 86400};

// One sample a second, spread over the classes 30 .. 129 dB like a bell around `mean`.
StatGroupC statistical(SeededRandom& rng, double mean, unsigned seconds) {
    StatGroupC g;
    g.duration_s = seconds;
    g.measured = duration_of(seconds);
    const double spread = rng.uniform(2.0, 7.0);
    auto counts = apportion(bell_shares(100, kLowestSound, mean, spread), seconds);
    std::vector<double> weights(counts.begin(), counts.end());
    std::copy(counts.begin(), counts.end(), g.counts.begin());
    LevelStats s = level_stats(weights, kLowestSound, rng);
    g.leq = s.leq, g.l5 = s.l5, g.l10 = s.l10, g.l50 = s.l50, g.l90 = s.l90, g.l95 = s.l95;
    g.lmax = s.lmax, g.lmin = s.lmin;
    if (rng.chance(0.5)) g.sd = s.sd;
    g.time_weighting = rng.integer(0, 1);
    return g;
}

OctaveGroupC octave(SeededRandom& rng) {
    OctaveGroupC g;
    g.time_weighting = rng.integer(0, 1);
    g.bands = octave_spectrum(rng, rng.uniform(55.0, 80.0));
    return g;
}

GroupD vibration(SeededRandom& rng, int mode, double mean, int set_code) {
    GroupD g;
    g.mode = mode;
    g.set_time_code = set_code;
    g.sampling_code = rng.integer(3, 6);
    g.time_weighting = rng.integer(0, 1);
    g.frequency_weighting = rng.integer(0, 3);
    const unsigned seconds = kSetTimeSecondsABD[std::size_t(set_code)];
    if (mode != 3) g.measured = duration_of(seconds);
    const double spread = rng.uniform(2.0, 6.0);
    PercentDistribution d = percent_distribution(rng, 100, kLowestVibration, mean, spread);
    std::copy(d.percent.begin(), d.percent.end(), g.percent.begin());
    const LevelStats& s = d.stats;
    g.vleq = s.leq, g.vl5 = s.l5, g.vl10 = s.l10, g.vl50 = s.l50, g.vl90 = s.l90, g.vl95 = s.l95;
    g.vsd = s.sd, g.vlmax = s.lmax, g.vlmin = s.lmin;
    const Exposure x = exposure(s.leq, seconds);
    g.vlav = mode == 3 ? x.lae : round_tenth(std::min(s.leq, s.l50 + rng.uniform(0.0, 1.0)));
    g.e = x.e;
    return g;
}

}  // namespace

std::vector<GroupC> realistic_groups_c(int count, std::uint32_t seed) {
    // One cycle: two single measurements, an octave spectrum, then a 24-hour run.
    constexpr int kSingles = 3, kOctave = 2;
    SeededRandom rng(seed);
    SeriesClock clock(rng);
    std::vector<GroupC> out;
    int run_time_weighting = 0;
    for (int i = 0; i < count; ++i) {
        const int place = i % (kSingles + kRunHours);
        if (place == kOctave) {
            OctaveGroupC g = octave(rng);
            g.start = clock.single(60);
            out.push_back(g);
        } else if (place < kSingles) {
            const int code = rng.integer(1, 6);
            const double mean = rng.uniform(45.0, 85.0);
            StatGroupC g = statistical(rng, mean, kSetSecondsC[std::size_t(code)]);
            g.set_time_code = code;
            g.start = clock.single(g.duration_s);
            out.push_back(g);
        } else {
            const int hour = place - kSingles;
            StatGroupC g = statistical(rng, hourly_level(rng, hour, 42.0, 58.0), 3600);
            // A 24-hour run keeps the weighting it was started with.
            if (hour == 0) run_time_weighting = g.time_weighting;
            g.time_weighting = run_time_weighting;
            g.day_run = true;
            g.day_number = hour + 1;
            g.set_time_code = kSetTime1Hour;
            g.start = clock.run_hour(hour);
            out.push_back(g);
        }
    }
    return out;
}

std::vector<GroupD> realistic_groups_d(int count, std::uint32_t seed) {
    // One cycle: a single measurement, an IEC measurement and an octave group, then a 24-hour run.
    static constexpr int kModes[] = {0, 2, 3};
    constexpr int kSingles = int(std::size(kModes));
    SeededRandom rng(seed);
    SeriesClock clock(rng);
    std::vector<GroupD> out;
    GroupD run_settings;
    for (int i = 0; i < count; ++i) {
        const int hour = i % (kSingles + kRunHours) - kSingles;  // negative: a single measurement
        GroupD g;
        if (hour < 0) {
            const double mean = rng.uniform(55.0, 95.0);
            const int code = rng.integer(1, 6);
            g = vibration(rng, kModes[std::size_t(hour + kSingles)], mean, code);
            g.start = clock.single(kSetTimeSecondsABD[std::size_t(code)]);
        } else {
            g = vibration(rng, 1, hourly_level(rng, hour, 55.0, 70.0), kSetTime1Hour);
            // A 24-hour run keeps the weightings and sampling it was started with.
            if (hour == 0) run_settings = g;
            g.time_weighting = run_settings.time_weighting;
            g.frequency_weighting = run_settings.frequency_weighting;
            g.sampling_code = run_settings.sampling_code;
            g.day_number = hour + 1;
            g.start = clock.run_hour(hour);
        }
        out.push_back(g);
    }
    return out;
}

std::vector<RecordE> realistic_groups_e(int count, std::uint32_t seed) {
    SeededRandom rng(seed);
    SeriesClock clock(rng);
    std::vector<RecordE> out;
    for (int i = 0; i < count; ++i) {
        RecordE r;
        r.weighting = std::uint8_t(0xA0 + rng.integer(0, 5));
        r.set_time_code = rng.chance(0.1) ? 0 : rng.integer(1, 8);
        const unsigned seconds = r.set_time_code == 0 ? unsigned(rng.integer(30, 7200))
                                                      : kSetSecondsE[std::size_t(r.set_time_code)];
        r.measured = duration_of(seconds);
        const double mean = rng.uniform(40.0, 90.0);
        const double spread = rng.uniform(2.0, 6.0);
        const LevelStats s = percent_distribution(rng, 100, kLowestSound, mean, spread).stats;
        r.leq = s.leq, r.lmax = s.lmax, r.lmin = s.lmin;
        r.start = clock.single(seconds);
        out.push_back(r);
    }
    return out;
}

}  // namespace nlx::sim
