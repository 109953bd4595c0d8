// Deterministic random numbers and plausible level statistics for generated measurement groups.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace nlx::sim {

// std::mt19937 is the same sequence on every platform; the distributions on top of it are our
// own because the standard ones differ between library implementations.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : gen_(seed) {}
    double uniform(double lo, double hi);  // lo <= x < hi
    int between(int lo, int hi);           // lo <= k <= hi
    bool chance(double p);                 // true with probability p

private:
    std::mt19937 gen_;
};

// A level rounded to tenths of a dB, as the instruments store it.
double round_tenth(double level);

// Shares of 1 dB classes (summing to 1) of a bell-shaped level distribution around `mean` with
// the given spread, class j standing for level lowest + j dB.
std::vector<double> bell_shares(int classes, int lowest, double mean, double spread);

// Whole units per class in proportion to `shares`, summing exactly to `total` (largest
// remainders get the units left over after rounding down).
std::vector<unsigned> apportion(std::span<const double> shares, unsigned total);

// Statistics of a distribution of 1 dB classes (class j is level lowest + j, spanning half a dB
// either side), each rounded to tenths: Leq the energy mean, Ln the level exceeded n % of the
// time, so l5 >= l10 >= l50 >= l90 >= l95; lmax and lmin lie a little outside the occupied
// classes, so lmax >= leq >= lmin.
struct LevelStats {
    double leq = 0, l5 = 0, l10 = 0, l50 = 0, l90 = 0, l95 = 0, sd = 0, lmax = 0, lmin = 0;
};
LevelStats level_stats(std::span<const double> weights, int lowest, Rng& rng);

}  // namespace nlx::sim
