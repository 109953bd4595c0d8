// Inverse of the count formulas, and patterned content for link tests and benchmarks.
#include "sim/count_bytes.h"

namespace nlx::sim {

std::optional<std::pair<std::uint8_t, std::uint8_t>> count_bytes(char model, std::int32_t n) {
    std::int32_t b1 = 0, b2 = 0;
    switch (model) {
    case 'c':
        b2 = n + 128;
        break;
    case 'e': {
        std::int32_t shifted = n + 128 * 256;  // 256 * b2 + b1
        if (shifted < 0) return std::nullopt;
        b2 = shifted / 256;
        b1 = shifted % 256;
        break;
    }
    default: {
        std::int32_t shifted = n + 16;  // 128 * b1 + b2
        if (shifted < 0) return std::nullopt;
        b1 = shifted / 128;
        b2 = shifted % 128;
        if (b1 > 255) {  // b2 may go up to 255
            b2 += 128 * (b1 - 255);
            b1 = 255;
        }
        break;
    }
    }
    if (b1 < 0 || b1 > 255 || b2 < 0 || b2 > 255) return std::nullopt;
    if (transfer_count(model, std::uint8_t(b1), std::uint8_t(b2)) != n) return std::nullopt;
    return std::pair{std::uint8_t(b1), std::uint8_t(b2)};
}

Capture patterned_capture(char model, std::int32_t n, unsigned seed) {
    Capture c;
    if (auto bytes = count_bytes(model, n)) {
        c.b1 = bytes->first;
        c.b2 = bytes->second;
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
