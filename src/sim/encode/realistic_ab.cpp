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
constexpr int kSampling1s = 6;

// Start, measured time and, in a 24-hour run (hour >= 0), the codes and day number of a model a
// or b group; single measurements come with their codes set. Returns the level the group's
// distribution centres on.
template <class Group>
double schedule(SeededRandom& rng, SeriesClock& clock, Group& g, int hour) {
    if (hour >= 0) {
        g.set_time_code = kSetTime1Hour;
        g.sampling_code = kSampling1s;
        g.day_number = std::uint8_t(hour + 1);
    }
    const unsigned seconds = kSetTimeSecondsABD[std::size_t(g.set_time_code)];
    g.start = hour < 0 ? clock.single(seconds) : clock.run_hour(hour);
    g.measured = duration_of(seconds);
    return hour < 0 ? rng.uniform(45.0, 90.0) : hourly_level(rng, hour, 45.0, 60.0);
}

// Distribution and levels of a statistical group around `centre` dB; returns the distribution.
template <class Group>
PercentDistribution measure(SeededRandom& rng, Group& g, double centre) {
    const double spread = rng.uniform(1.5, 4.0);
    PercentDistribution d =
        percent_distribution(rng, int(g.distribution_percent.size()), kLowestLevel, centre, spread);
    std::copy(d.percent.begin(), d.percent.end(), g.distribution_percent.begin());
    const LevelStats& s = d.stats;
    const Exposure x = exposure(s.leq, kSetTimeSecondsABD[std::size_t(g.set_time_code)]);
    g.levels = {s.leq, s.l5, s.l10, s.l50, s.l90, s.l95, s.sd, x.lae, s.lmax, s.lmin, x.e};
    return d;
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

struct PlanA {
    std::uint8_t mode;
    int set_time_code, sampling_code;
};
// One cycle of model a groups before the 24-hour run.
constexpr PlanA kCycleA[] = {{0xA0, 3, 3}, {0xA1, 2, 3}, {0xA3, 1, 3}, {0xC0, 3, 4},
                             {0xD0, 0, 0}, {0xB0, 6, 6}, {0xA2, 4, 4}, {0xC3, 0, 3}};

}  // namespace

std::vector<GroupA> realistic_groups_a(int count, std::uint32_t seed) {
    SeededRandom rng(seed);
    SeriesClock clock(rng);
    std::vector<GroupA> groups;
    const int singles = int(std::size(kCycleA));
    std::uint8_t run_weighting = 0;  // a 24-hour run keeps the weighting it was started with
    for (int i = 0; i < count; ++i) {
        const int hour = i % (singles + kRunHours) - singles;  // negative: a single measurement
        GroupA g;
        g.group_part1 = std::uint8_t((i + 1) / 256);
        g.group_part2 = std::uint8_t((i + 1) % 256);
        g.weighting = weighting(rng);
        if (hour == 0) run_weighting = g.weighting;
        if (hour > 0) g.weighting = run_weighting;
        g.code_value = rng.integer(0, 99) / 10.0;
        if (hour < 0) {
            const PlanA& plan = kCycleA[std::size_t(hour + singles)];
            g.mode = plan.mode;
            g.set_time_code = plan.set_time_code;
            g.sampling_code = plan.sampling_code;
        } else {
            g.mode = 0xB1;
        }
        const PercentDistribution d = measure(rng, g, schedule(rng, clock, g, hour));
        const double samples =
            kSetTimeSecondsABD[std::size_t(g.set_time_code)] / kSamplingSeconds[g.sampling_code];
        switch (g.mode) {
        case 0xA1:
        case 0xB1:
            g.history = level_classes(rng, d, samples);
            break;
        case 0xA3:
        case 0xC3:
            g.history = instantaneous(rng, d, int(std::min(samples, 700.0)));
            break;
        case 0xD0:
            g.ac_interval_ms = 20;
            g.history = ac_wave(rng, rng.integer(100, 300));
            break;
        default: break;
        }
        g.history_length = std::uint32_t(g.history.size());
        groups.push_back(std::move(g));
    }
    return groups;
}

std::vector<GroupB> realistic_groups_b(int count, std::uint32_t seed) {
    // One cycle: STA, IEC, two octave spectra, STA, then a 24-hour run.
    static constexpr std::uint8_t kTypes[] = {0, 2, 3, 3, 0};
    SeededRandom rng(seed);
    SeriesClock clock(rng);
    std::vector<GroupB> groups;
    const int singles = int(std::size(kTypes));
    std::uint8_t run_weighting = 0;  // a 24-hour run keeps the weighting it was started with
    for (int i = 0; i < count; ++i) {
        const int hour = i % (singles + kRunHours) - singles;  // negative: a single measurement
        GroupB g;
        g.weighting = weighting(rng);
        if (hour == 0) run_weighting = g.weighting;
        if (hour > 0) g.weighting = run_weighting;
        if (hour < 0) {
            g.type = kTypes[std::size_t(hour + singles)];
            g.set_time_code = rng.integer(1, 4);
            g.sampling_code = rng.integer(3, 5);
        } else {
            g.type = 1;
        }
        const double centre = schedule(rng, clock, g, hour);
        if (g.type == 3) {
            // Nine bands, their overall level AP and the A-weighted LA.
            const auto spectrum = octave_spectrum(rng, centre);
            std::array<double, 11> bands{};
            std::copy_n(spectrum.begin(), bands.size(), bands.begin());
            g.levels = octave_levels(bands);
        } else {
            measure(rng, g, centre);
        }
        groups.push_back(std::move(g));
    }
    return groups;
}

}  // namespace nlx::sim
