// Building blocks of plausible generated groups, shared by the generators of all five models:
// level distributions and the statistics they imply, exposures, day and night levels, octave
// spectra and start stamps.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/encode/group_stamp.h"
#include "sim/encode/seeded_random.h"

namespace nlx::sim {

// Seconds of the set-time codes 0 ("10s") .. 10 ("24hour") of models a, b and d.
inline constexpr std::array<unsigned, 11> kSetTimeSecondsABD = {
    10, 60, 300, 600, 900, 1200, 3600, 7200, 14400, 28800, 86400};

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
LevelStats level_stats(std::span<const double> weights, int lowest, SeededRandom& rng);

// A bell-shaped distribution in percent per 1 dB class, in the 0.5 % steps the instruments
// store and summing to exactly 100 %, with its statistics and its occupied classes.
struct PercentDistribution {
    std::vector<double> percent;  // class j is level lowest + j dB
    LevelStats stats;
    int first = 0, last = 0;      // first and last class holding a share
};
PercentDistribution percent_distribution(SeededRandom& rng, int classes, int lowest, double mean,
                                         double spread);

// Exposure level LAE = Leq + 10 log10(T) and exposure E in Pa²h (at most 999.9) of a level held
// for `seconds`, both rounded to tenths.
struct Exposure {
    double lae = 0, e = 0;
};
Exposure exposure(double leq, double seconds);

// Mean level of an hour of a 24-hour run: around `night` dB from 22 to 6 o'clock, around `day`
// dB otherwise.
double hourly_level(SeededRandom& rng, int hour, double night, double day);

// An octave spectrum falling towards the high bands around `base` dB: the levels at 31.5, 63,
// 125, 250, 500 Hz, 1, 2, 4 and 8 kHz, then the overall, A-weighted and C-weighted levels.
std::array<double, 12> octave_spectrum(SeededRandom& rng, double base);

// A start stamp some morning between 2008 and 2012.
GroupStamp random_start(SeededRandom& rng);

// Hourly groups of a 24-hour run, and the set-time code of one hour in every model's table.
inline constexpr int kRunHours = 24;
inline constexpr int kSetTime1Hour = 6;

// Start stamps of a generated series, from a random start on: single measurements follow each
// other a random while apart; a 24-hour run starts at the next midnight, so the hour of each of
// its groups is its day number - 1. Each group then lasts its `seconds`.
class SeriesClock {
public:
    explicit SeriesClock(SeededRandom& rng) : rng_(rng), now_(random_start(rng)) {}

    GroupStamp single(unsigned seconds);
    GroupStamp run_hour(int hour);  // hour 0..23 of a run, an hour long

private:
    GroupStamp take(unsigned seconds);
    SeededRandom& rng_;
    GroupStamp now_;
};

}  // namespace nlx::sim
