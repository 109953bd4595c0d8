// Transfer counts and capture files: the exact bytes an instrument sent after the request byte.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace nlx {

struct ModelInfo;
struct TransferFormat;

// Transfer count n from the two count bytes, by the model's formula (core/models): model c
// b2-128 blocks, model e 256*(b2-128)+b1 bytes, models a, b, d 128*b1+b2-16 blocks. Zero or
// negative means the instrument holds no data.
std::int32_t transfer_count(const TransferFormat& format, std::uint8_t b1, std::uint8_t b2);
std::int32_t transfer_count(const ModelInfo& model, std::uint8_t b1, std::uint8_t b2);

// The instrument's side: count bytes (b1, b2) with transfer_count(model, b1, b2) == n; nullopt
// when no pair of bytes gives n.
std::optional<std::array<std::uint8_t, 2>> count_bytes(const TransferFormat& format, std::int32_t n);
std::optional<std::array<std::uint8_t, 2>> count_bytes(const ModelInfo& model, std::int32_t n);

// Bytes one unit of n stands for: 1 for model e, a 256-byte block for the others.
std::size_t transfer_unit(const ModelInfo& model);

// Bytes the transfer announces: n units, 0 when n <= 0.
std::size_t announced_bytes(const TransferFormat& format, std::int32_t n);
std::size_t announced_bytes(const ModelInfo& model, std::int32_t n);

// What the instrument sent after the request: the two count bytes, then the data as it arrived
// (possibly short).
struct Capture {
    std::uint8_t b1 = 0, b2 = 0;
    std::vector<std::uint8_t> data;
};

// The raw form, as other tools dump a transfer: the two count bytes, then the data.
std::vector<std::uint8_t> capture_bytes(const Capture& capture);
Result<Capture> parse_capture(std::span<const std::uint8_t> bytes);

// Where and when a capture was taken.
struct CaptureOrigin {
    std::string time;  // local time, "2026-12-09 14:03:27"
    std::string port;  // the device the download used
    int baud = 0;
};

// A capture file as every download writes it: a text header of its own, then the raw form.
//   NLX-CAPTURE 1            magic word and format version
//   model a                  the model letter
//   time 2026-12-09 14:03:27
//   port /dev/ttyUSB0
//   baud 9600
//   announced 768            data bytes the count bytes announce
//   received 768             data bytes that arrived (fewer after a broken transfer)
//   sha256 <64 hex digits>   of the raw form that follows
//   (an empty line, then the two count bytes and the data)
struct CaptureFile {
    const ModelInfo* model = nullptr;  // never null in a file that parsed
    CaptureOrigin origin;     // empty for a raw dump
    std::size_t announced = 0, received = 0;
    Capture capture;
    // The SHA-256 of the whole file as read_capture_file read it (64 hexadecimal digits), which
    // the transfer log keeps; empty for bytes parsed from memory.
    std::string file_sha256;
    bool complete() const { return received >= announced; }
};

// No capture is larger: the largest transfer is 496 blocks, with room to spare.
inline constexpr std::size_t kMaxCaptureFileBytes = 16u << 20;

std::vector<std::uint8_t> capture_file_bytes(const ModelInfo& model, const CaptureOrigin& origin, const Capture& capture);

// The header form; anything else (a raw dump, a damaged or altered file) is refused, saying why.
Result<CaptureFile> parse_capture_file(std::span<const std::uint8_t> bytes);
// A raw dump of a transfer of `model` (announced from its count bytes, received as it is).
Result<CaptureFile> raw_capture_file(const ModelInfo& model, std::span<const std::uint8_t> bytes);

// Whether the bytes start as a capture file with a header does.
bool has_capture_header(std::span<const std::uint8_t> bytes);

enum class CaptureForm { with_header, raw, either };
// Reads a capture file (a regular file of at most kMaxCaptureFileBytes) once, checks it and
// takes the digest of its bytes; `raw_model` is the model of a raw dump (`either`: raw when the
// file has no header; a raw dump without it is refused). Messages name the file.
Result<CaptureFile> read_capture_file(const std::filesystem::path& file, CaptureForm form,
                                     const ModelInfo* raw_model = nullptr);

}  // namespace nlx
