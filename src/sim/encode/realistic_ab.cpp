// Plausible model a and b groups: bell-shaped level distributions and statistics derived from
// them, time histories that fit the levels, and 24-hour runs of hourly groups.
#include <algorithm>
#include <cmath>

#include "sim/encode/encode_ab.h"
#include "sim/encode/realistic.h"

namespace nlx::sim {
namespace {

constexpr double kSamplingSeconds[] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10};
constexpr int kLowestLevel = 30;  // distribution step k is the level 30 + k dB
constexpr int kSetTime1Hour = 6;
constexpr int kSampling1s = 6;

// A measurement around `centre` dB lasting `seconds`: its distribution over `classes` steps and
// the levels it implies.
struct Measurement {
    PercentDistribution distribution;
    StatLevels levels;
};

Measurement measure(SeededRandom& rng, int classes, double centre, unsigned seconds) {
    const double spread = rng.uniform(1.5, 4.0);
    Measurement m{percent_distribution(rng, classes, kLowestLevel, centre, spread), {}};
    const LevelStats& s = m.distribution.stats;
    const Exposure x = exposure(s.leq, seconds);
    m.levels = {s.leq, s.l5, s.l10, s.l50, s.l90, s.l95, s.sd, x.lae, s.lmax, s.lmin, x.e};
    return m;
}

// Counts per 0.1 dB class from 30.0 dB up to the highest occupied step.
std::vector<std::uint8_t> level_classes(SeededRandom& rng, const PercentDistribution& d, double samples) {
    std::vector<std::uint32_t> counts(std::size_t(d.last + 1) * 10, 0);
    for (int j = d.first; j <= d.last; ++j) {
        const double p = d.percent[std::size_t(j)];
        double share[10], total = 0;
        for (double& s : share) total += s = rng.uniform(0.5, 1.5);
        for (int c = 0; c < 10; ++c)
            counts[std::size_t(j * 10 + c)] = std::uint32_t(std::lround(samples * p / 100 * share[c] / total));
    }
    return ln_history(counts);
}

// A random walk of instantaneous levels inside the occupied steps.
std::vector<std::uint8_t> instantaneous(SeededRandom& rng, const PercentDistribution& d, int samples) {
    const double low = kLowestLevel + d.first, high = kLowestLevel + d.last + 1.0;
    std::vector<double> levels(static_cast<std::size_t>(samples));
    double level = (low + high) / 2;
    for (double& v : levels) {
        level = std::clamp(level + rng.uniform(-1.2, 1.2), low, high);
        v = level;
    }
    return li_history(levels);
}

// A noisy triangle wave of `samples` AC samples with one range factor.
std::vector<std::uint8_t> ac_wave(SeededRandom& rng, int samples) {
    std::vector<std::uint8_t> out;
    int factor = rng.integer(1, 4);
    for (int i = 0; i < samples; ++i) {
        int phase = i % 20;
        int raw = ((phase < 10 ? phase : 20 - phase) - 5) * 80 + rng.integer(-10, 10);
        auto pair = ac_sample(factor, raw);
        out.insert(out.end(), pair.begin(), pair.end());
    }
    return out;
}

std::uint8_t weighting(SeededRandom& rng) {
    static constexpr std::uint8_t kChoices[] = {0x00, 0x00, 0x10, 0x01, 0x11, 0x02};
    return kChoices[rng.integer(0, 5)];
}

// Hourly centre level of a 24-hour run.
double hourly_centre(SeededRandom& rng, int hour) { return hourly_level(rng, hour, 45.0, 60.0); }

struct PlanA {
    std::uint8_t mode;
    int set_time_code, sampling_code;
};
// One cycle of model a groups before the 24-hour run.
constexpr PlanA kCycleA[] = {{0xA0, 3, 3}, {0xA1, 2, 3}, {0xA3, 1, 3}, {0xC0, 3, 4},
                             {0xD0, 0, 0}, {0xB0, 6, 6}, {0xA2, 4, 4}, {0xC3, 0, 3}};
constexpr int kRunLength = 24;

}  // namespace

std::vector<GroupA> realistic_groups_a(int count, std::uint32_t seed) {
    SeededRandom rng(seed);
    GroupStamp now = random_start(rng);
    std::vector<GroupA> groups;
    const int cycle = int(std::size(kCycleA)) + kRunLength;
    for (int i = 0; i < count; ++i) {
        int place = i % cycle;
        GroupA g;
        g.group_part1 = std::uint8_t((i + 1) / 256);
        g.group_part2 = std::uint8_t((i + 1) % 256);
        g.weighting = weighting(rng);
        g.code_value = rng.integer(0, 99) / 10.0;
        double centre;
        if (place < int(std::size(kCycleA))) {
            const PlanA& plan = kCycleA[place];
            g.mode = plan.mode;
            g.set_time_code = plan.set_time_code;
            g.sampling_code = plan.sampling_code;
            centre = rng.uniform(45, 90);
            now = advanced(now, rng.integer(60, 1800));
        } else {
            // A run starts at midnight, so its groups' hours follow their day numbers.
            int hour = place - int(std::size(kCycleA));
            if (hour == 0) now = next_multiple(now, 86400);
            g.mode = 0xB1;
            g.set_time_code = kSetTime1Hour;
            g.sampling_code = kSampling1s;
            g.day_number = std::uint8_t(hour + 1);
            centre = hourly_centre(rng, hour);
        }
        const unsigned seconds = kSetTimeSecondsABD[std::size_t(g.set_time_code)];
        g.start = now;
        g.measured = duration_of(seconds);
        Measurement m = measure(rng, int(g.distribution_percent.size()), centre, seconds);
        g.levels = m.levels;
        std::copy(m.distribution.percent.begin(), m.distribution.percent.end(),
                  g.distribution_percent.begin());
        const double samples = seconds / kSamplingSeconds[g.sampling_code];
        switch (g.mode) {
        case 0xA1:
        case 0xB1:
            g.history = level_classes(rng, m.distribution, samples);
            g.history_length = std::uint32_t(g.history.size());
            break;
        case 0xA3:
        case 0xC3:
            g.history = instantaneous(rng, m.distribution, int(std::min(samples, 700.0)));
            g.history_length = std::uint32_t(g.history.size());
            break;
        case 0xD0:
            g.ac_interval_ms = 20;
            g.history = ac_wave(rng, rng.integer(100, 300));
            g.history_length = std::uint32_t(g.history.size());
            break;
        default: break;
        }
        now = advanced(now, seconds);
        groups.push_back(std::move(g));
    }
    return groups;
}

std::vector<GroupB> realistic_groups_b(int count, std::uint32_t seed) {
    // One cycle: STA, IEC, two octave spectra, STA, then a 24-hour run.
    static constexpr std::uint8_t kTypes[] = {0, 2, 3, 3, 0};
    SeededRandom rng(seed);
    GroupStamp now = random_start(rng);
    std::vector<GroupB> groups;
    const int cycle = int(std::size(kTypes)) + kRunLength;
    for (int i = 0; i < count; ++i) {
        int place = i % cycle;
        GroupB g;
        g.weighting = weighting(rng);
        double centre;
        if (place < int(std::size(kTypes))) {
            g.type = kTypes[place];
            g.set_time_code = rng.integer(1, 4);
            g.sampling_code = rng.integer(3, 5);
            centre = rng.uniform(45, 90);
            now = advanced(now, rng.integer(60, 1800));
        } else {
            int hour = place - int(std::size(kTypes));
            if (hour == 0) now = next_multiple(now, 86400);
            g.type = 1;
            g.set_time_code = kSetTime1Hour;
            g.sampling_code = kSampling1s;
            g.day_number = std::uint8_t(hour + 1);
            centre = hourly_centre(rng, hour);
        }
        const unsigned seconds = kSetTimeSecondsABD[std::size_t(g.set_time_code)];
        g.start = now;
        g.measured = duration_of(seconds);
        if (g.type == 3) {
            // Nine bands, their overall level AP and the A-weighted LA.
            const auto spectrum = octave_spectrum(rng, centre);
            std::array<double, 11> bands{};
            std::copy_n(spectrum.begin(), bands.size(), bands.begin());
            g.levels = octave_levels(bands);
        } else {
            Measurement m = measure(rng, int(g.distribution_percent.size()), centre, seconds);
            g.levels = m.levels;
            std::copy(m.distribution.percent.begin(), m.distribution.percent.end(),
                      g.distribution_percent.begin());
        }
        now = advanced(now, seconds);
        groups.push_back(std::move(g));
    }
    return groups;
}

}  // namespace nlx::sim
