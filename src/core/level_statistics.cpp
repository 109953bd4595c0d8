// LAeq, Lmax, Lmin and exceeded levels from the counts of each level.
#include "core/level_statistics.h"

#include <cmath>

namespace nlx {

void LevelStatistics::add(int tenths, std::size_t count) {
    if (count == 0) return;
    counts_[tenths] += count;
    samples_ += count;
}

int exceeded_level(const std::map<int, std::size_t>& counts, std::size_t samples, int percent) {
    // Integer arithmetic keeps the rank exact: ceil(p · n / 100) with p = 100 − N.
    const std::size_t share = std::size_t(100 - percent);
    std::size_t rank = (share * samples + 99) / 100;
    if (rank == 0) rank = 1;
    std::size_t seen = 0;
    for (const auto& [level, count] : counts) {
        seen += count;
        if (seen >= rank) return level;
    }
    return counts.empty() ? 0 : counts.rbegin()->first;
}

LevelSummary LevelStatistics::summary() const {
    LevelSummary s;
    s.samples = samples_;
    s.gaps = gaps_;
    if (samples_ == 0) return s;
    s.lmin = counts_.begin()->first;
    s.lmax = counts_.rbegin()->first;
    // Energies relative to Lmax: every term is at most 1, so nothing overflows, and a steady
    // level gives exactly its own value.
    double energy = 0;
    for (const auto& [level, count] : counts_) energy += double(count) * std::pow(10.0, (level - s.lmax) / 100.0);
    const double laeq_tenths = s.lmax + 100.0 * std::log10(energy / double(samples_));
    s.laeq = int(std::lround(laeq_tenths));
    s.l5 = exceeded_level(counts_, samples_, 5);
    s.l10 = exceeded_level(counts_, samples_, 10);
    s.l50 = exceeded_level(counts_, samples_, 50);
    s.l90 = exceeded_level(counts_, samples_, 90);
    s.l95 = exceeded_level(counts_, samples_, 95);
    return s;
}

std::string tenths_text(int tenths) {
    std::string text = tenths < 0 ? "-" : "";
    const int magnitude = tenths < 0 ? -tenths : tenths;
    return text.append(std::to_string(magnitude / 10)).append(".").append(std::to_string(magnitude % 10));
}

std::string summary_line(const LevelSummary& s) {
    auto level = [&](const char* name, int tenths) {
        return std::string(name) + "=" + (s.samples ? tenths_text(tenths) + "dB" : std::string("-")) + " ";
    };
    return level("LAeq", s.laeq) + level("Lmax", s.lmax) + level("Lmin", s.lmin) + level("L5", s.l5) +
           level("L10", s.l10) + level("L50", s.l50) + level("L90", s.l90) + level("L95", s.l95) +
           "samples=" + std::to_string(s.samples) + " gaps=" + std::to_string(s.gaps);
}

}  // namespace nlx
