// Patterned transfer content for link tests and benchmarks.
#include "sim/patterned_capture.h"

namespace nlx::sim {

Capture patterned_capture(const ModelInfo& model, std::int32_t n, unsigned seed) {
    Capture c;
    if (auto bytes = nlx::count_bytes(model, n)) {
        c.b1 = (*bytes)[0];
        c.b2 = (*bytes)[1];
    }
    c.data.resize(announced_bytes(model, n));
    std::uint32_t x = seed * 2654435761u + 12345u;
    for (auto& byte : c.data) {
        x = x * 1664525u + 1013904223u;
        byte = std::uint8_t(x >> 24);
    }
    return c;
}

}  // namespace nlx::sim
