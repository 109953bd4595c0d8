// Plausible model a and b groups: bell-shaped level distributions and statistics derived from
// them, time histories that fit the levels, and 24-hour runs of hourly groups.
#include <algorithm>
#include <cmath>

#include "sim/encode/encode_ab.h"
#include "sim/encode/seeded_random.h"

namespace nlx::sim {
namespace {

constexpr int kSetTimeSeconds[] = {10, 60, 300, 600, 900, 1200, 3600, 7200, 14400, 28800, 86400};
constexpr double kSamplingSeconds[] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10};
constexpr int kFirstLevel = 30;  // distribution step k is the level 30 + k dB
constexpr int kSetTime1Hour = 6;

double tenths(double x) { return std::round(x * 10) / 10; }

// A calendar clock for the groups' start stamps (two-digit years, leap years every fourth).
struct Clock {
    int year = 8, month = 9, day = 5;
    long seconds = 8 * 3600;  // of the day

    void advance(long s) {
        seconds += s;
        while (seconds >= 86400) {
            seconds -= 86400;
            next_day();
        }
    }
    void next_midnight() {
        seconds = 0;
        next_day();
    }
    void next_day() {
        static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        int days = kDays[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
        if (++day > days) {
            day = 1;
            if (++month > 12) {
                month = 1;
                year = (year + 1) % 100;
            }
        }
    }
    Stamp stamp() const {
        return {year, month, day, int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60)};
    }
};

Duration duration_of(int seconds) { return {seconds / 3600, seconds / 60 % 60, seconds % 60}; }

// A bell-shaped distribution (binomial weights over width+1 steps centred on `centre` dB),
// each percentage rounded to the instrument's 0.5 % resolution and summing to 100 %, and the
// statistics it implies.
struct Measurement {
    std::array<double, 101> percent{};
    int lowest = 0, highest = 0;  // occupied steps, dB
    StatLevels levels;
};

// The level exceeded `share` per cent of the time, each 1 dB step spread evenly over [L, L+1).
double exceeded(const Measurement& m, double share) {
    double above = 0;
    for (int level = m.highest; level >= m.lowest; --level) {
        double p = m.percent[std::size_t(level - kFirstLevel)];
        if (p > 0 && above + p >= share) return level + 1 - (share - above) / p;
        above += p;
    }
    return m.lowest;
}

Measurement measure(SeededRandom& rng, double centre_db, int seconds) {
    Measurement m;
    // Standard deviations of about 1.4 to 3.9 dB, narrower where the 30 dB floor is near.
    int centre = std::clamp(int(std::lround(centre_db)), kFirstLevel + 4, 125);
    int width = 2 * std::min(rng.integer(4, 30), centre - kFirstLevel);
    int first = centre - width / 2;
    std::vector<double> weight(std::size_t(width) + 1, 0.0);
    weight[0] = 1;
    for (int row = 1; row <= width; ++row)  // Pascal's triangle, exact in doubles
        for (int i = row; i > 0; --i) weight[std::size_t(i)] += weight[std::size_t(i - 1)];
    double total = std::ldexp(1.0, width);
    m.lowest = 999;
    for (int i = 0; i <= width; ++i) {
        double p = std::round(200.0 * weight[std::size_t(i)] / total) / 2;
        if (p <= 0) continue;
        m.percent[std::size_t(first + i - kFirstLevel)] = p;
        m.lowest = std::min(m.lowest, first + i);
        m.highest = std::max(m.highest, first + i);
    }
    // The rounding may leave the total a little off 100 %; the middle step takes the difference.
    double rounded = 0;
    for (double p : m.percent) rounded += p;
    m.percent[std::size_t(first + width / 2 - kFirstLevel)] += 100 - rounded;
    double sum = 0, energy = 0, mean = 0;
    for (int level = m.lowest; level <= m.highest; ++level) {
        double p = m.percent[std::size_t(level - kFirstLevel)];
        sum += p;
        energy += p * std::pow(10.0, (level + 0.5) / 10);
        mean += p * (level + 0.5);
    }
    mean /= sum;
    double spread = 0;
    for (int level = m.lowest; level <= m.highest; ++level)
        spread += m.percent[std::size_t(level - kFirstLevel)] * (level + 0.5 - mean) * (level + 0.5 - mean);

    StatLevels& l = m.levels;
    l.leq = tenths(10 * std::log10(energy / sum));
    l.l5 = tenths(exceeded(m, 5));
    l.l10 = tenths(exceeded(m, 10));
    l.l50 = tenths(exceeded(m, 50));
    l.l90 = tenths(exceeded(m, 90));
    l.l95 = tenths(exceeded(m, 95));
    l.sd = tenths(std::sqrt(spread / sum));
    l.lmax = tenths(m.highest + 1 + rng.between(0.2, 2.5));
    l.lmin = tenths(m.lowest - rng.between(0.2, 2.0));
    l.lae = tenths(l.leq + 10 * std::log10(double(seconds)));
    // Exposure in Pa²h: duration in hours times the mean square pressure.
    l.e = tenths(std::min(999.9, seconds / 3600.0 * 4e-10 * std::pow(10.0, l.leq / 10)));
    return m;
}

// Counts per 0.1 dB class from 30.0 dB up to the highest occupied step.
std::vector<std::uint8_t> level_classes(SeededRandom& rng, const Measurement& m, double samples) {
    std::vector<std::uint32_t> counts(std::size_t(m.highest - kFirstLevel + 1) * 10, 0);
    for (int level = m.lowest; level <= m.highest; ++level) {
        double p = m.percent[std::size_t(level - kFirstLevel)];
        double share[10], total = 0;
        for (double& s : share) total += s = rng.between(0.5, 1.5);
        for (int c = 0; c < 10; ++c)
            counts[std::size_t((level - kFirstLevel) * 10 + c)] =
                std::uint32_t(std::lround(samples * p / 100 * share[c] / total));
    }
    return ln_history(counts);
}

// A random walk of instantaneous levels inside the occupied steps.
std::vector<std::uint8_t> instantaneous(SeededRandom& rng, const Measurement& m, int samples) {
    std::vector<double> levels(static_cast<std::size_t>(samples));
    double level = (m.lowest + m.highest + 1) / 2.0;
    for (double& v : levels) {
        level = std::clamp(level + rng.between(-1.2, 1.2), double(m.lowest), m.highest + 1.0);
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

// Hourly centre level of a 24-hour run: busier by day than by night.
double hourly_centre(SeededRandom& rng, int hour) {
    return (hour >= 6 && hour < 22 ? 62.0 : 47.0) + rng.between(-3, 3);
}

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
    Clock clock;
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
            centre = rng.between(45, 90);
            clock.advance(rng.integer(60, 1800));
        } else {
            int hour = place - int(std::size(kCycleA));
            if (hour == 0) clock.next_midnight();
            g.mode = 0xB1;
            g.set_time_code = kSetTime1Hour;
            g.sampling_code = 6;
            g.day_number = std::uint8_t(hour + 1);
            centre = hourly_centre(rng, hour);
        }
        const int seconds = kSetTimeSeconds[g.set_time_code];
        g.start = clock.stamp();
        g.measured = duration_of(seconds);
        Measurement m = measure(rng, centre, seconds);
        g.levels = m.levels;
        g.distribution_percent = m.percent;
        const double samples = seconds / kSamplingSeconds[g.sampling_code];
        switch (g.mode) {
        case 0xA1:
        case 0xB1:
            g.history = level_classes(rng, m, samples);
            g.history_length = std::uint32_t(g.history.size());
            break;
        case 0xA3:
        case 0xC3:
            g.history = instantaneous(rng, m, int(std::min(samples, 700.0)));
            g.history_length = std::uint32_t(g.history.size());
            break;
        case 0xD0:
            g.ac_interval_ms = 20;
            g.history = ac_wave(rng, rng.integer(100, 300));
            g.history_length = std::uint32_t(g.history.size());
            break;
        default: break;
        }
        clock.advance(seconds);
        groups.push_back(std::move(g));
    }
    return groups;
}

std::vector<GroupB> realistic_groups_b(int count, std::uint32_t seed) {
    // One cycle: STA, IEC, two octave spectra, STA, then a 24-hour run.
    static constexpr std::uint8_t kTypes[] = {0, 2, 3, 3, 0};
    static constexpr double kAWeight[] = {-39.4, -26.2, -16.1, -8.6, -3.2, 0, 1.2, 1.0, -1.1};
    SeededRandom rng(seed);
    Clock clock;
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
            centre = rng.between(45, 90);
            clock.advance(rng.integer(60, 1800));
        } else {
            int hour = place - int(std::size(kTypes));
            if (hour == 0) clock.next_midnight();
            g.type = 1;
            g.set_time_code = kSetTime1Hour;
            g.sampling_code = 6;
            g.day_number = std::uint8_t(hour + 1);
            centre = hourly_centre(rng, hour);
        }
        const int seconds = kSetTimeSeconds[g.set_time_code];
        g.start = clock.stamp();
        g.measured = duration_of(seconds);
        if (g.type == 3) {
            // Nine band levels sloping down from the low bands, their sum AP and A-weighted LA.
            std::array<double, 11> bands{};
            double all = 0, a = 0;
            for (int k = 0; k < 9; ++k) {
                bands[std::size_t(k)] = tenths(centre + 6 - 1.5 * k + rng.between(-3, 3));
                all += std::pow(10.0, bands[std::size_t(k)] / 10);
                a += std::pow(10.0, (bands[std::size_t(k)] + kAWeight[k]) / 10);
            }
            bands[9] = tenths(10 * std::log10(all));
            bands[10] = tenths(10 * std::log10(a));
            g.levels = octave_levels(bands);
        } else {
            Measurement m = measure(rng, centre, seconds);
            g.levels = m.levels;
            std::copy_n(m.percent.begin(), g.distribution_percent.size(),
                        g.distribution_percent.begin());
        }
        clock.advance(seconds);
        groups.push_back(std::move(g));
    }
    return groups;
}

}  // namespace nlx::sim
