// The transfer-count formulas in one place, used by the download and by the importer.
#include "decode/capture.h"

#include <algorithm>

namespace nlx {

std::int32_t transfer_count(char model, std::uint8_t b1, std::uint8_t b2) {
    switch (model) {
    case 'c': return std::int32_t(b2) - 128;
    case 'e': return 256 * (std::int32_t(b2) - 128) + b1;
    default: return 128 * std::int32_t(b1) + b2 - 16;
    }
}

std::optional<std::array<std::uint8_t, 2>> count_bytes(char model, std::int32_t n) {
    std::int32_t b1 = 0, b2 = 0;
    switch (model) {
    case 'c':
        b2 = n + 128;
        break;
    case 'e':
        b2 = (n + 128 * 256) / 256;  // n = 256 * (b2 - 128) + b1
        b1 = (n + 128 * 256) % 256;
        break;
    default:
        // n = 128 * b1 + b2 - 16; b2 may exceed 127 once b1 is at its top.
        b1 = std::min((n + 16) / 128, 255);
        b2 = n + 16 - 128 * b1;
        break;
    }
    if (b1 < 0 || b1 > 255 || b2 < 0 || b2 > 255) return std::nullopt;
    if (transfer_count(model, std::uint8_t(b1), std::uint8_t(b2)) != n) return std::nullopt;
    return std::array<std::uint8_t, 2>{std::uint8_t(b1), std::uint8_t(b2)};
}

std::size_t transfer_unit(char model) { return model == 'e' ? 1 : 256; }

std::size_t announced_bytes(char model, std::int32_t n) {
    return n <= 0 ? 0 : std::size_t(n) * transfer_unit(model);
}

std::vector<std::uint8_t> capture_bytes(const Capture& capture) {
    std::vector<std::uint8_t> out(capture.data.size() + 2);
    out[0] = capture.b1;
    out[1] = capture.b2;
    std::copy(capture.data.begin(), capture.data.end(), out.begin() + 2);
    return out;
}

Result<Capture> parse_capture(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2)
        return fail("capture file holds " + std::to_string(bytes.size()) +
                    " bytes; it needs at least the two count bytes");
    Capture c;
    c.b1 = bytes[0];
    c.b2 = bytes[1];
    c.data.assign(bytes.begin() + 2, bytes.end());
    return c;
}

}  // namespace nlx
