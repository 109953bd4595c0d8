// LAeq, Lmax, Lmin and the exceeded levels of logged levels, against hand-computed figures.
#include <gtest/gtest.h>

#include <vector>

#include "core/level_statistics.h"

namespace nlx {
namespace {

TEST(LevelStatistics, FiguresOfKnownSequences) {
    struct Case {
        const char* what;
        std::vector<int> levels;  // tenths
        std::size_t gaps;
        LevelSummary expected;  // samples, gaps, laeq, lmax, lmin, l5, l10, l50, l90, l95
    };
    std::vector<int> fifty_to_59, one_to_100, quiet_and_one_loud(19, 600);
    for (int k = 0; k < 10; ++k) fifty_to_59.push_back(500 + 10 * k);
    for (int k = 1; k <= 100; ++k) one_to_100.push_back(10 * k);
    quiet_and_one_loud.push_back(1000);
    const Case cases[] = {
        // A steady level is its own LAeq and every exceeded level.
        {"one level", {856}, 0, {1, 0, 856, 856, 856, 856, 856, 856, 856, 856}},
        // 10·log10((10^8 + 10^9) / 2) = 87.40; of two levels L5, L10 are the upper, L50 on the lower.
        {"80 and 90 dB", {900, 800}, 2, {2, 2, 874, 900, 800, 900, 900, 800, 800, 800}},
        // 10·log10(mean 10^5.0 … 10^5.9) = 55.41; ranks ceil(9.5)=10, 9, 5, 1, ceil(0.5)=1.
        {"50 to 59 dB", fifty_to_59, 0, {10, 0, 554, 590, 500, 590, 580, 540, 500, 500}},
        // One loud sample in twenty: it lifts LAeq to 87.0 (86.998) but lies above L5 (rank 19).
        {"one loud sample in twenty", quiet_and_one_loud, 0, {20, 0, 870, 1000, 600, 600, 600, 600, 600, 600}},
        // 1 … 100 dB: L_N is 100 − N dB exactly; LAeq 86.87.
        {"1 to 100 dB", one_to_100, 0, {100, 0, 869, 1000, 10, 950, 900, 500, 100, 50}},
        // 85.6, 85.6, 85.7: LAeq 85.634 rounds down to 85.6.
        {"rounding to 0.1 dB", {856, 857, 856}, 0, {3, 0, 856, 857, 856, 857, 857, 856, 856, 856}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LevelStatistics stats;
        for (int level : c.levels) stats.add(level);
        stats.add_gap(c.gaps);
        const LevelSummary s = stats.summary();
        const LevelSummary& e = c.expected;
        EXPECT_EQ(s.samples, e.samples);
        EXPECT_EQ(s.gaps, e.gaps);
        EXPECT_EQ(s.laeq, e.laeq);
        EXPECT_EQ(s.lmax, e.lmax);
        EXPECT_EQ(s.lmin, e.lmin);
        EXPECT_EQ(s.l5, e.l5);
        EXPECT_EQ(s.l10, e.l10);
        EXPECT_EQ(s.l50, e.l50);
        EXPECT_EQ(s.l90, e.l90);
        EXPECT_EQ(s.l95, e.l95);
    }
}

TEST(LevelStatistics, CountsAddUpLikeSingleLevels) {
    // Levels added with a count (as a stored recording is read back) give what one by one gives.
    LevelStatistics one_by_one, counted;
    for (int k = 0; k < 7; ++k) one_by_one.add(723);
    for (int k = 0; k < 3; ++k) one_by_one.add(651);
    counted.add(651, 3);
    counted.add(723, 7);
    counted.add(999, 0);
    const LevelSummary a = one_by_one.summary(), b = counted.summary();
    EXPECT_EQ(summary_line(a), summary_line(b));
    EXPECT_EQ(b.lmax, 723);
}

TEST(LevelStatistics, SummaryLine) {
    LevelStatistics stats;
    stats.add(900);
    stats.add(800);
    stats.add_gap();
    EXPECT_EQ(summary_line(stats.summary()),
              "LAeq=87.4dB Lmax=90.0dB Lmin=80.0dB L5=90.0dB L10=90.0dB L50=80.0dB L90=80.0dB L95=80.0dB "
              "samples=2 gaps=1");
    // Gaps alone give no level at all, not a level of 0 dB.
    LevelStatistics silent;
    silent.add_gap(4);
    EXPECT_EQ(summary_line(silent.summary()), "LAeq=- Lmax=- Lmin=- L5=- L10=- L50=- L90=- L95=- samples=0 gaps=4");
    EXPECT_EQ(tenths_text(5), "0.5");
    EXPECT_EQ(tenths_text(-5), "-0.5");
}

}  // namespace
}  // namespace nlx
