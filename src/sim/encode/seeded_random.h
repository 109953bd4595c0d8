// A seeded random source whose sequences are the same on every platform and library version:
// the mt19937 engine is fully specified, and the ranges below are derived from it by hand
// (the standard distributions differ between library implementations).
#pragma once

#include <cstdint>
#include <random>

namespace nlx::sim {

class SeededRandom {
public:
    explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}

    // Uniform in [lo, hi).
    double uniform(double lo, double hi) { return lo + (hi - lo) * (double(engine_()) / 4294967296.0); }
    // Uniform integer in [lo, hi].
    int integer(int lo, int hi) {
        return lo + int(std::uint64_t(engine_()) * std::uint64_t(hi - lo + 1) >> 32);
    }
    // True with probability p.
    bool chance(double p) { return uniform(0.0, 1.0) < p; }

private:
    std::mt19937 engine_;
};

}  // namespace nlx::sim
