// The figures of a logged live level: LAeq, Lmax, Lmin and the exceeded levels, in tenths of dB.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace nlx {

// All levels are whole tenths of a decibel (856 is 85.6 dB), as the instrument reports them.
struct LevelSummary {
    std::size_t samples = 0;  // replies that gave a level
    std::size_t gaps = 0;     // requests without a reply
    // The figures below hold only when samples > 0.
    int laeq = 0;             // 10·log10(mean of 10^(L/10)), rounded to 0.1 dB
    int lmax = 0, lmin = 0;
    int l5 = 0, l10 = 0, l50 = 0, l90 = 0, l95 = 0;  // exceeded by 5 %, 10 % … of the samples
};

// Counts levels as they come: one count per distinct level (a few thousand at most), so a
// 24-hour log of 864,000 levels takes a small map, not a list of every level.
class LevelStatistics {
public:
    void add(int tenths, std::size_t count = 1);
    void add_gap(std::size_t count = 1) { gaps_ += count; }

    std::size_t samples() const { return samples_; }
    std::size_t gaps() const { return gaps_; }
    LevelSummary summary() const;

private:
    std::map<int, std::size_t> counts_;  // level -> how many samples had it
    std::size_t samples_ = 0, gaps_ = 0;
};

// L_N, the level exceeded by N % of the samples, by nearest rank: the level at ascending rank
// ceil((100 − N) / 100 · samples) (at least 1). Taken from the counts of each level.
int exceeded_level(const std::map<int, std::size_t>& counts, std::size_t samples, int percent);

// "85.6", "-0.5": tenths of a decibel as decimal text, whatever the locale.
std::string tenths_text(int tenths);

// "LAeq=85.6dB Lmax=… Lmin=… L5=… L10=… L50=… L90=… L95=… samples=N gaps=G"; the levels are
// "-" when no sample gave one.
std::string summary_line(const LevelSummary& summary);

}  // namespace nlx
