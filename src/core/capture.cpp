// The transfer-count formulas, read from each model's transfer format; used by the download,
// the importer and the virtual instrument.
#include "core/capture.h"

#include "core/models.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace nlx {

namespace {

// Models outside the table announce nothing.
const TransferFormat* format_of(char model) {
    const ModelInfo* m = find_model(model);
    return m ? &m->transfer : nullptr;
}

}  // namespace

std::int32_t transfer_count(const TransferFormat& f, std::uint8_t b1, std::uint8_t b2) {
    return f.b1_weight * std::int32_t(b1) + f.b2_weight * std::int32_t(b2) + f.offset;
}

std::optional<std::array<std::uint8_t, 2>> count_bytes(const TransferFormat& f, std::int32_t n) {
    // The byte of the larger weight takes as much of n as it can hold (model a's b2 may then
    // exceed 127 once b1 is at its top); the other byte takes the rest.
    const bool b1_major = f.b1_weight >= f.b2_weight;
    const std::int32_t major_weight = b1_major ? f.b1_weight : f.b2_weight;
    const std::int32_t minor_weight = b1_major ? f.b2_weight : f.b1_weight;
    const std::int64_t v = std::int64_t(n) - f.offset;
    if (v < 0 || major_weight <= 0) return std::nullopt;
    std::int64_t major = std::min<std::int64_t>(v / major_weight, 255);
    std::int64_t rest = v - major * major_weight;
    std::int64_t minor = minor_weight > 0 ? rest / minor_weight : 0;
    if (major > 255 || minor > 255) return std::nullopt;
    std::uint8_t b1 = std::uint8_t(b1_major ? major : minor);
    std::uint8_t b2 = std::uint8_t(b1_major ? minor : major);
    if (transfer_count(f, b1, b2) != n) return std::nullopt;
    return std::array<std::uint8_t, 2>{b1, b2};
}

std::size_t announced_bytes(const TransferFormat& f, std::int32_t n) {
    return n <= 0 ? 0 : std::size_t(n) * f.unit;
}

std::int32_t transfer_count(char model, std::uint8_t b1, std::uint8_t b2) {
    const TransferFormat* f = format_of(model);
    return f ? transfer_count(*f, b1, b2) : 0;
}

std::optional<std::array<std::uint8_t, 2>> count_bytes(char model, std::int32_t n) {
    const TransferFormat* f = format_of(model);
    return f ? count_bytes(*f, n) : std::nullopt;
}

std::size_t transfer_unit(char model) {
    const TransferFormat* f = format_of(model);
    return f ? f->unit : 0;
}

std::size_t announced_bytes(char model, std::int32_t n) {
    const TransferFormat* f = format_of(model);
    return f ? announced_bytes(*f, n) : 0;
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

Result<Capture> read_capture_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return fail("cannot read capture file " + file.string());
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return fail("cannot read capture file " + file.string());
    auto capture = parse_capture(bytes);
    if (!capture) return fail("capture file " + file.string() + ": " + capture.message());
    return capture;
}

}  // namespace nlx
