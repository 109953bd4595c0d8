// The largest generated transfer of each model, as the store benchmarks take it.
#pragma once

#include <cstddef>

#include "core/capture.h"
#include "sim/generated_content.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx::bench {

// The most data a model's transfer carries: 496 blocks for a, b, d; 127 for c; 32,767 bytes
// (2,047 records of 16 bytes) for e.
inline std::size_t largest_transfer_bytes(char model) {
    return model == 'c' ? 127 * 256 : model == 'e' ? 32767 : 496 * 256;
}

// The largest generated transfer of the model (seed 1) whose count stays within `limit` bytes.
inline Capture largest_capture(char model, std::size_t limit) {
    Capture best;
    int low = 1, high = 8192;
    while (low <= high) {
        const int mid = (low + high) / 2;
        auto c = sim::generated_capture(model_of(model), mid, 1);
        const auto n = c ? transfer_count(model_of(model), c->b1, c->b2) : 0;
        if (c && n > 0 && std::size_t(n) * transfer_unit(model_of(model)) <= limit) {
            best = *c;
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    return best;
}

inline Capture largest_capture(char model) { return largest_capture(model, largest_transfer_bytes(model)); }

}  // namespace nlx::bench
