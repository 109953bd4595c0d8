// Level statistics computed from a class distribution, so generated groups are self-consistent.
#include "sim/encode/realistic_levels.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace nlx::sim {

double Rng::uniform(double lo, double hi) { return lo + (hi - lo) * (double(gen_()) / 4294967296.0); }

int Rng::between(int lo, int hi) {
    return lo + int(gen_() % std::uint32_t(hi - lo + 1));
}

bool Rng::chance(double p) { return uniform(0.0, 1.0) < p; }

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

LevelStats level_stats(std::span<const double> w, int lowest, Rng& rng) {
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

}  // namespace nlx::sim
