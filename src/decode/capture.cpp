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
