// Building blocks of generated groups: statistics computed from the class distribution, so every
// generated group is self-consistent; exposures, day and night levels, spectra and start stamps.
#include "sim/encode/realistic.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace nlx::sim {

double round_tenth(double level) { return std::round(level * 10.0) / 10.0; }

std::vector<double> bell_shares(int classes, int lowest, double mean, double spread) {
    std::vector<double> shares(static_cast<std::size_t>(classes));
    double total = 0;
    for (int j = 0; j < classes; ++j) {
        double z = (lowest + j - mean) / spread;
        shares[std::size_t(j)] = std::exp(-0.5 * z * z);
        total += shares[std::size_t(j)];
    }
    for (double& s : shares) s /= total;
    return shares;
}

std::vector<unsigned> apportion(std::span<const double> shares, unsigned total) {
    std::vector<unsigned> units(shares.size());
    std::vector<std::pair<double, std::size_t>> remainders;
    unsigned given = 0;
    for (std::size_t j = 0; j < shares.size(); ++j) {
        double exact = shares[j] * total;
        units[j] = unsigned(std::floor(exact));
        given += units[j];
        remainders.emplace_back(exact - units[j], j);
    }
    // Larger remainder first; equal remainders by class, so the result never depends on the sort.
    std::sort(remainders.begin(), remainders.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (std::size_t k = 0; given < total && k < remainders.size(); ++k, ++given)
        ++units[remainders[k].second];
    return units;
}

namespace {

// The level exceeded `percent` % of the time, interpolated inside the class where the
// cumulative share from the top reaches it.
double exceeded(std::span<const double> w, double total, int lowest, double percent) {
    double above = 0;
    for (std::size_t j = w.size(); j-- > 0;) {
        double share = w[j] / total * 100.0;
        if (share > 0 && above + share >= percent) {
            double inside = (percent - above) / share;
            return lowest + double(j) + 0.5 - inside;
        }
        above += share;
    }
    return lowest - 0.5;
}

}  // namespace

LevelStats level_stats(std::span<const double> w, int lowest, SeededRandom& rng) {
    LevelStats s;
    double total = 0, energy = 0, s1 = 0;
    std::size_t first = w.size(), last = 0;
    for (std::size_t j = 0; j < w.size(); ++j) {
        if (w[j] <= 0) continue;
        double x = lowest + double(j);
        total += w[j];
        energy += w[j] * std::pow(10.0, x / 10.0);
        s1 += w[j] * x;
        first = std::min(first, j);
        last = j;
    }
    if (total <= 0) return s;
    double mean = s1 / total, var = 0;
    for (std::size_t j = 0; j < w.size(); ++j) {
        double d = lowest + double(j) - mean;
        var += w[j] * d * d;
    }
    s.leq = round_tenth(10.0 * std::log10(energy / total));
    s.l5 = round_tenth(exceeded(w, total, lowest, 5));
    s.l10 = round_tenth(exceeded(w, total, lowest, 10));
    s.l50 = round_tenth(exceeded(w, total, lowest, 50));
    s.l90 = round_tenth(exceeded(w, total, lowest, 90));
    s.l95 = round_tenth(exceeded(w, total, lowest, 95));
    s.sd = round_tenth(std::sqrt(var / total));
    s.lmax = round_tenth(lowest + double(last) + 0.5 + rng.uniform(0.0, 2.5));
    s.lmin = round_tenth(std::max(0.0, lowest + double(first) - 0.5 - rng.uniform(0.0, 2.5)));
    return s;
}

PercentDistribution percent_distribution(SeededRandom& rng, int classes, int lowest, double mean,
                                         double spread) {
    auto halves = apportion(bell_shares(classes, lowest, mean, spread), 200);
    PercentDistribution d;
    d.percent.assign(halves.size(), 0.0);
    d.first = classes;
    for (std::size_t j = 0; j < halves.size(); ++j) {
        d.percent[j] = halves[j] / 2.0;
        if (halves[j] == 0) continue;
        d.first = std::min(d.first, int(j));
        d.last = int(j);
    }
    d.stats = level_stats(d.percent, lowest, rng);
    return d;
}

Exposure exposure(double leq, double seconds) {
    double lae = leq + 10.0 * std::log10(seconds);
    // 4e-10 Pa² is the square of 20 µPa; the exposure is counted in hours.
    double e = 4e-10 * std::pow(10.0, leq / 10.0) * seconds / 3600.0;
    return {round_tenth(lae), round_tenth(std::min(999.9, e))};
}

double hourly_level(SeededRandom& rng, int hour, double night, double day) {
    bool is_night = hour >= 22 || hour < 6;
    return (is_night ? night : day) + rng.uniform(-3.0, 5.0);
}

std::array<double, 12> octave_spectrum(SeededRandom& rng, double base) {
    static constexpr double kShape[9] = {4, 3, 2, 1, 0, -1, -3, -6, -10};
    static constexpr double kA[9] = {-39.4, -26.2, -16.1, -8.6, -3.2, 0, 1.2, 1.0, -1.1};
    static constexpr double kC[9] = {-3.0, -0.8, -0.2, 0, 0, 0, -0.2, -0.8, -3.0};
    std::array<double, 12> levels{};
    double all = 0, a = 0, c = 0;
    for (std::size_t k = 0; k < 9; ++k) {
        double band = round_tenth(base + kShape[k] + rng.uniform(-3.0, 3.0));
        levels[k] = band;
        all += std::pow(10.0, band / 10.0);
        a += std::pow(10.0, (band + kA[k]) / 10.0);
        c += std::pow(10.0, (band + kC[k]) / 10.0);
    }
    levels[9] = round_tenth(10.0 * std::log10(all));
    levels[10] = round_tenth(10.0 * std::log10(a));
    levels[11] = round_tenth(10.0 * std::log10(c));
    return levels;
}

GroupStamp random_start(SeededRandom& rng) {
    return {rng.integer(8, 12), rng.integer(1, 12), rng.integer(1, 28), rng.integer(7, 10),
            rng.integer(0, 59), 0};
}

GroupStamp SeriesClock::single(unsigned seconds) {
    now_ = advanced(now_, rng_.integer(60, 1800));
    return take(seconds);
}

GroupStamp SeriesClock::run_hour(int hour) {
    if (hour == 0) now_ = next_multiple(now_, 86400);
    return take(3600);
}

GroupStamp SeriesClock::take(unsigned seconds) {
    GroupStamp start = now_;
    now_ = advanced(now_, seconds);
    return start;
}

}  // namespace nlx::sim
