// Builds the three time-history texts of model a; the caller writes them to the storage folder.
#include "decode/history_files.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "core/gbk.h"

namespace nlx {
namespace {

constexpr std::size_t kLevelClasses = 1025;  // 30.0 dB to 132.4 dB in 0.1 dB steps
constexpr std::string_view kLineEnd = "\r\n";

// A whole number as the pattern "####00" shows it: at least two digits, "-" before a negative
// one; appended without the pattern's general rounding, which a whole number never needs.
void append_two_digits(std::string& out, int value) {
    char buf[16];
    char* p = buf;
    if (value < 0) *p++ = '-';
    const unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    if (magnitude < 10) *p++ = '0';
    p = std::to_chars(p, buf + sizeof buf, magnitude).ptr;
    out.append(buf, p);
}

// A level in tenths of a dB as history_level_text gives it.
void append_level_digits(std::string& out, int tenths) {
    append_two_digits(out, tenths / 10);
    out += '.';
    const int tenth = tenths % 10;  // negative for a negative level, as std::to_string writes it
    if (tenth < 0) out += '-';
    out += char('0' + (tenth < 0 ? -tenth : tenth));
}

// The texts of the levels the files hold (0.0 to 132.4 dB), made once: a file of an hour's
// samples writes tens of thousands of them.
constexpr int kTabledLevels = 300 + int(kLevelClasses);

void append_level_text(std::string& out, int tenths) {
    static const auto table = [] {
        std::vector<std::string> texts(static_cast<std::size_t>(kTabledLevels));
        for (int t = 0; t < kTabledLevels; ++t) append_level_digits(texts[std::size_t(t)], t);
        return texts;
    }();
    if (tenths >= 0 && tenths < kTabledLevels) out += table[std::size_t(tenths)];
    else append_level_digits(out, tenths);
}

std::size_t history_length(std::span<const std::uint8_t> header) {
    return std::size_t(header[15]) << 16 | std::size_t(header[16]) << 8 | header[17];
}

// One 3-byte count per 0.1 dB class, least significant byte first; empty classes give no line.
void level_distribution(std::string& out, std::span<const std::uint8_t> data) {
    out.reserve(out.size() + 32 * kLevelClasses);
    out += " Lp            N";
    out += kLineEnd;
    for (std::size_t i = 0; i < kLevelClasses && 3 * i + 2 < data.size(); ++i) {
        std::uint32_t count = data[3 * i] | std::uint32_t(data[3 * i + 1]) << 8 |
                              std::uint32_t(data[3 * i + 2]) << 16;
        if (count == 0) continue;
        append_level_text(out, 300 + int(i));
        out += "           ";  // eleven spaces
        out += std::to_string(count);
        out += kLineEnd;
    }
}

// One byte per sample, 0.4 dB steps from 30.0 dB, all on the second line, each followed by TAB.
void instantaneous_level(std::string& out, std::span<const std::uint8_t> header,
                         std::span<const std::uint8_t> data) {
    out += "瞬时值随时间变化记录";
    out += kLineEnd;
    std::size_t m = history_length(header);
    out.reserve(out.size() + 8 * std::min(m, data.size()));
    for (std::size_t i = 0; i < m && i < data.size(); ++i) {
        append_level_text(out, 300 + 4 * int(data[i]));
        out += '\t';
    }
}

// Two bytes per sample: range factor b\8+1 times the 11-bit value 256*(b mod 8)+b2-512.
void ac_record(std::string& out, std::span<const std::uint8_t> header,
               std::span<const std::uint8_t> data) {
    out += "交流值随时间变化记录，采样间隔：";
    out += std::to_string(header[14]);
    out += "ms";
    out += kLineEnd;
    std::size_t m = history_length(header);
    out.reserve(out.size() + 4 * std::min(m, data.size()));
    for (std::size_t i = 0; i < m && i + 1 < data.size(); i += 2) {
        int b = data[i], b2 = data[i + 1];
        int value = (b / 8 + 1) * (256 * (b % 8) + b2 - 512);
        append_two_digits(out, value);
        out += '\t';
    }
}

}  // namespace

std::optional<HistoryKind> history_kind(std::uint8_t mode) {
    switch (mode) {
    case 0xA1: case 0xB1: return HistoryKind::level_distribution;
    case 0xA3: case 0xB3: case 0xC3: return HistoryKind::instantaneous_level;
    case 0xD0: return HistoryKind::ac_record;
    default: return std::nullopt;
    }
}

std::string_view history_extension(HistoryKind kind) {
    switch (kind) {
    case HistoryKind::level_distribution: return ".ln";
    case HistoryKind::instantaneous_level: return ".li";
    case HistoryKind::ac_record: return ".ac";
    }
    return "";
}

std::string history_level_text(int tenths) {
    std::string text;
    append_level_text(text, tenths);
    return text;
}

std::size_t history_bytes_wanted(HistoryKind kind, std::span<const std::uint8_t> header) {
    switch (kind) {
    case HistoryKind::level_distribution: return 3 * kLevelClasses;
    case HistoryKind::instantaneous_level: return history_length(header);
    case HistoryKind::ac_record: return (history_length(header) + 1) / 2 * 2;
    }
    return 0;
}

std::string history_text(HistoryKind kind, std::span<const std::uint8_t> header,
                         std::span<const std::uint8_t> data) {
    std::string out;
    switch (kind) {
    case HistoryKind::level_distribution: level_distribution(out, data); break;
    case HistoryKind::instantaneous_level: instantaneous_level(out, header, data); break;
    case HistoryKind::ac_record: ac_record(out, header, data); break;
    }
    return out;
}

Result<std::string> history_file_content(std::uint8_t mode, std::span<const std::uint8_t> header,
                                         std::span<const std::uint8_t> data) {
    auto kind = history_kind(mode);
    if (!kind) return fail("mode byte " + std::to_string(mode) + " has no time-history file");
    if (header.size() < 18)
        return fail("group header of " + std::to_string(header.size()) +
                    " bytes is too short for a time-history file");
    return to_gbk(history_text(*kind, header, data));
}

}  // namespace nlx
