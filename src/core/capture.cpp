// The transfer-count formulas, read from each model's transfer format; used by the download,
// the importer and the virtual instrument.
#include "core/capture.h"

#include "core/models.h"
#include "core/read_file.h"
#include "core/sha256.h"

#include <algorithm>
#include <string_view>

namespace nlx {


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

std::int32_t transfer_count(const ModelInfo& model, std::uint8_t b1, std::uint8_t b2) {
    return transfer_count(model.transfer, b1, b2);
}

std::optional<std::array<std::uint8_t, 2>> count_bytes(const ModelInfo& model, std::int32_t n) {
    return count_bytes(model.transfer, n);
}

std::size_t transfer_unit(const ModelInfo& model) { return model.transfer.unit; }

std::size_t announced_bytes(const ModelInfo& model, std::int32_t n) { return announced_bytes(model.transfer, n); }

std::vector<std::uint8_t> capture_bytes(const Capture& capture) {
    std::vector<std::uint8_t> out(capture.data.size() + 2);
    out[0] = capture.b1;
    out[1] = capture.b2;
    std::copy(capture.data.begin(), capture.data.end(), out.begin() + 2);
    return out;
}

Result<Capture> parse_capture(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2)
        return fail(std::string(bytes.size() == 1 ? "it holds 1 byte" : "it holds no bytes") +
                    "; a transfer starts with the two count bytes");
    Capture c;
    c.b1 = bytes[0];
    c.b2 = bytes[1];
    c.data.assign(bytes.begin() + 2, bytes.end());
    return c;
}

namespace {

constexpr std::string_view kMagic = "NLX-CAPTURE ";
constexpr std::string_view kVersion = "1";
constexpr std::size_t kMaxHeaderBytes = 4096;

// A header value on one line: control characters cannot end it early.
std::string one_line(std::string_view text) {
    std::string out;
    for (char c : text) out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? '?' : c;
    return out;
}

std::optional<std::size_t> parse_size(std::string_view text) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    std::size_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + std::size_t(c - '0');
    }
    return v;
}

std::string bytes_text(std::size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

// What the count bytes of a raw form announce, for the model.
std::size_t announced_by(const ModelInfo& model, const Capture& c) {
    return announced_bytes(model, transfer_count(model, c.b1, c.b2));
}

}  // namespace

std::vector<std::uint8_t> capture_file_bytes(const ModelInfo& model, const CaptureOrigin& origin, const Capture& capture) {
    const auto raw = capture_bytes(capture);
    std::string header = std::string(kMagic) + std::string(kVersion) + "\n";
    header += "model " + std::string(1, model.letter) + "\n";
    header += "time " + one_line(origin.time) + "\n";
    header += "port " + one_line(origin.port) + "\n";
    header += "baud " + std::to_string(origin.baud) + "\n";
    header += "announced " + std::to_string(announced_by(model, capture)) + "\n";
    header += "received " + std::to_string(capture.data.size()) + "\n";
    header += "sha256 " + sha256_hex(raw) + "\n\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    out.insert(out.end(), raw.begin(), raw.end());
    return out;
}

namespace {

// Everything parse_capture_file checks; the capture gets its count bytes but not its data, which
// starts at `data_at` in `bytes`. With `with_file_digest` the whole file's digest is worked out
// beside the data's, for its file_sha256.
Result<CaptureFile> checked_capture_file(std::span<const std::uint8_t> bytes, std::size_t& data_at,
                                         bool with_file_digest = false) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!has_capture_header(bytes))
        return fail("it is not a capture file of this program (it has no NLX-CAPTURE header); a raw "
                    "dump of the two count bytes and the data is imported with --raw --model X");
    const std::size_t end = text.substr(0, kMaxHeaderBytes).find("\n\n");
    if (end == std::string_view::npos) return fail("its header does not end within " + bytes_text(kMaxHeaderBytes));

    CaptureFile f;
    std::optional<std::size_t> announced, received;
    std::string model, hash;
    bool has_baud = false;
    std::size_t pos = 0;
    bool first = true;
    while (pos < end) {
        std::size_t eol = text.find('\n', pos);
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (first) {
            first = false;
            if (line.substr(kMagic.size()) != kVersion)
                return fail("its format version " + one_line(line.substr(kMagic.size())) + " is not known");
            continue;
        }
        std::size_t space = line.find(' ');
        std::string_view key = line.substr(0, space);
        std::string_view value = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (key == "model") model = std::string(value);
        else if (key == "time") f.origin.time = std::string(value);
        else if (key == "port") f.origin.port = std::string(value);
        else if (key == "baud") {
            auto b = parse_size(value);
            if (!b || *b > 1000000) return fail("its header has a speed that is not a number");
            f.origin.baud = int(*b);
            has_baud = true;
        } else if (key == "announced") announced = parse_size(value);
        else if (key == "received") received = parse_size(value);
        else if (key == "sha256") hash = std::string(value);
        // Other keys are left for later versions of the header.
    }
    f.model = find_model(model);
    if (!f.model) return fail("its header names no model a to e");
    if (!announced || !received || !has_baud || hash.size() != 64)
        return fail("its header lacks the speed, the byte counts or the SHA-256");
    f.announced = *announced;
    f.received = *received;

    const auto raw = bytes.subspan(end + 2);
    if (raw.size() != f.received + 2)
        return fail("its header says " + bytes_text(f.received) + " of data, the file holds " +
                    bytes_text(raw.size() < 2 ? 0 : raw.size() - 2) +
                    (raw.size() < 2 ? " and not even the two count bytes" : "") +
                    "; it was cut or changed");
    std::string digest;
    if (with_file_digest) {
        auto digests = sha256_hex_pair(bytes, raw);
        f.file_sha256 = std::move(digests[0]);
        digest = std::move(digests[1]);
    } else {
        digest = sha256_hex(raw);
    }
    if (digest != hash)
        return fail("its data does not match the SHA-256 in its header; it was changed or damaged");
    f.capture.b1 = raw[0];
    f.capture.b2 = raw[1];
    data_at = end + 2 + 2;
    if (announced_by(*f.model, f.capture) != f.announced)
        return fail("its count bytes announce " + bytes_text(announced_by(*f.model, f.capture)) +
                    " for model " + model + ", its header says " + bytes_text(f.announced));
    return f;
}

}  // namespace

Result<CaptureFile> parse_capture_file(std::span<const std::uint8_t> bytes) {
    std::size_t data_at = 0;
    auto f = checked_capture_file(bytes, data_at);
    if (f) f->capture.data.assign(bytes.begin() + std::ptrdiff_t(data_at), bytes.end());
    return f;
}

bool has_capture_header(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return text.substr(0, kMagic.size()) == kMagic;
}

Result<CaptureFile> raw_capture_file(const ModelInfo& model, std::span<const std::uint8_t> bytes) {
    auto capture = parse_capture(bytes);
    if (!capture) return capture.error();
    CaptureFile f;
    f.model = &model;
    f.capture = std::move(*capture);
    f.announced = announced_by(model, f.capture);
    f.received = f.capture.data.size();
    return f;
}

Result<CaptureFile> read_capture_file(const std::filesystem::path& file, CaptureForm form, const ModelInfo* raw_model) {
    auto read = read_regular_bytes(file, kMaxCaptureFileBytes);
    if (!read) return fail("capture file " + read.message());
    const std::span<const std::uint8_t> bytes(*read);
    const bool raw = form == CaptureForm::raw || (form == CaptureForm::either && !has_capture_header(bytes));
    if (raw && !raw_model) return fail("capture file " + file.string() + " has no header; a raw dump needs its model");
    std::size_t data_at = 0;
    auto parsed = raw ? raw_capture_file(*raw_model, bytes) : checked_capture_file(bytes, data_at, true);
    if (!parsed) return fail("capture file " + file.string() + ": " + parsed.message());
    if (raw) {
        parsed->file_sha256 = sha256_hex(bytes);  // a checked file's was worked out with its data's
    } else {
        // The data takes over the buffer read, its header cut from the front, rather than a copy.
        read->erase(read->begin(), read->begin() + std::ptrdiff_t(data_at));
        parsed->capture.data = std::move(*read);
    }
    return parsed;
}

}  // namespace nlx
