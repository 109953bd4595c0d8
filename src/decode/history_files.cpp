// Builds the three time-history texts of model a in GBK; the caller writes them to the storage folder.
#include "decode/history_files.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace nlx {
namespace {

constexpr std::size_t kLevelClasses = 1025;  // 30.0 dB to 132.4 dB in 0.1 dB steps
constexpr std::string_view kLineEnd = "\r\n";

// The most one value writes: a level line of "132.4", eleven spaces, a count of eight digits and
// CR LF; a level and TAB; "-16384" and TAB. Level texts are copied eight bytes at a time and
// counts written with room for eight digits, so a buffer keeps eight bytes spare past the end.
constexpr std::size_t kLevelLineMost = 5 + 11 + 8 + 2, kLevelMost = 6, kAcValueMost = 7, kSpare = 8;
// The most a file's first line after its title writes: the class line " Lp            N" and
// CR LF, or an interval of up to 255 ms with "ms" and CR LF.
constexpr std::size_t kHeadingMost = 18;

// A whole number as the pattern "####00" shows it: at least two digits, "-" before a negative
// one; written without the pattern's general rounding, which a whole number never needs. `p`
// has room for twelve characters.
char* put_two_digits(char* p, int value) {
    if (value < 0) *p++ = '-';
    const unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    if (magnitude < 10) *p++ = '0';
    return std::to_chars(p, p + 11, magnitude).ptr;
}

// A level in tenths of a dB as history_level_text gives it.
char* put_level_digits(char* p, int tenths) {
    p = put_two_digits(p, tenths / 10);
    *p++ = '.';
    const int tenth = tenths % 10;  // negative for a negative level, as std::to_string writes it
    if (tenth < 0) *p++ = '-';
    *p++ = char('0' + (tenth < 0 ? -tenth : tenth));
    return p;
}

// The texts of the levels the files hold (0.0 to 132.4 dB), made when the program is built: a
// file of an hour's samples writes tens of thousands of them. Each fits in eight bytes, copied
// whole; history_level_text's test holds them to the digits the layouts give.
constexpr int kTabledLevels = 300 + int(kLevelClasses);

struct LevelText {
    char text[8];
    std::uint8_t size;
};

constexpr std::array<LevelText, kTabledLevels> kLevelTexts = [] {
    std::array<LevelText, kTabledLevels> table{};
    for (int t = 0; t < kTabledLevels; ++t) {
        LevelText& e = table[std::size_t(t)];
        const int whole = t / 10;
        if (whole >= 100) e.text[e.size++] = char('0' + whole / 100);
        e.text[e.size++] = char('0' + whole / 10 % 10);
        e.text[e.size++] = char('0' + whole % 10);
        e.text[e.size++] = '.';
        e.text[e.size++] = char('0' + t % 10);
    }
    return table;
}();

char* put_level(char* p, int tenths) {
    if (tenths < 0 || tenths >= kTabledLevels) return put_level_digits(p, tenths);
    const LevelText& t = kLevelTexts[std::size_t(tenths)];
    std::memcpy(p, t.text, sizeof t.text);  // the buffer has room past the text
    return p + t.size;
}

std::size_t history_length(std::span<const std::uint8_t> header) {
    return std::size_t(header[15]) << 16 | std::size_t(header[16]) << 8 | header[17];
}

// The file's first line (its Chinese title), in GBK as the file holds it. Written as bytes: the
// converter's GBK tables would otherwise be loaded by every import of a model with history files.
constexpr std::string_view kInstantaneousTitle =  // 瞬时值随时间变化记录
    "\xCB\xB2\xCA\xB1\xD6\xB5\xCB\xE6\xCA\xB1\xBC\xE4\xB1\xE4\xBB\xAF\xBC\xC7\xC2\xBC";
constexpr std::string_view kAcTitle =  // 交流值随时间变化记录，采样间隔：
    "\xBD\xBB\xC1\xF7\xD6\xB5\xCB\xE6\xCA\xB1\xBC\xE4\xB1\xE4\xBB\xAF\xBC\xC7\xC2\xBC\xA3\xAC"
    "\xB2\xC9\xD1\xF9\xBC\xE4\xB8\xF4\xA3\xBA";

std::string_view gbk_title(HistoryKind kind) {
    switch (kind) {
    case HistoryKind::instantaneous_level: return kInstantaneousTitle;
    case HistoryKind::ac_record: return kAcTitle;
    case HistoryKind::level_distribution: break;
    }
    return {};
}

// Each writer puts the text after the title at `p`, in a buffer sized for the longest it can be,
// and returns where the text ends.
char* put_level_distribution(char* p, std::span<const std::uint8_t> data) {
    // One 3-byte count per 0.1 dB class, least significant byte first; empty classes give no line.
    std::memcpy(p, " Lp            N\r\n", 18);
    p += 18;
    const std::size_t classes = std::min(kLevelClasses, data.size() / 3), end = 3 * classes;
    for (std::size_t i = 0; i < classes; ++i) {
        std::uint32_t count = data[3 * i] | std::uint32_t(data[3 * i + 1]) << 8 |
                              std::uint32_t(data[3 * i + 2]) << 16;
        if (count == 0) {
            // A measurement fills a band of classes and leaves most of the 1025 empty: eight
            // zero bytes from the next class on pass over two more empty classes at once.
            for (std::uint64_t word; 3 * i + 3 + 8 <= end; i += 2) {
                std::memcpy(&word, data.data() + 3 * i + 3, 8);
                if (word != 0) break;
            }
            continue;
        }
        p = put_level(p, 300 + int(i));
        std::memcpy(p, "           ", 11);  // eleven spaces
        p = std::to_chars(p + 11, p + 11 + 8, count).ptr;
        std::memcpy(p, kLineEnd.data(), 2);
        p += 2;
    }
    return p;
}

// One byte per sample, 0.4 dB steps from 30.0 dB, all on the second line, each followed by TAB.
char* put_instantaneous_level(char* p, std::size_t samples, std::span<const std::uint8_t> data) {
    std::memcpy(p, kLineEnd.data(), 2);
    p += 2;
    for (std::size_t i = 0; i < samples; ++i) {
        p = put_level(p, 300 + 4 * int(data[i]));
        *p++ = '\t';
    }
    return p;
}

// Two bytes per sample: range factor b\8+1 times the 11-bit value 256*(b mod 8)+b2-512.
char* put_ac_record(char* p, std::span<const std::uint8_t> header, std::size_t bytes,
                    std::span<const std::uint8_t> data) {
    p = std::to_chars(p, p + 3, header[14]).ptr;
    std::memcpy(p, "ms\r\n", 4);
    p += 4;
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        int b = data[i], b2 = data[i + 1];
        p = put_two_digits(p, (b / 8 + 1) * (256 * (b % 8) + b2 - 512));
        *p++ = '\t';
    }
    return p;
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
    char buf[48];
    return std::string(buf, put_level(buf, tenths));
}

std::size_t history_bytes_wanted(HistoryKind kind, std::span<const std::uint8_t> header) {
    switch (kind) {
    case HistoryKind::level_distribution: return 3 * kLevelClasses;
    case HistoryKind::instantaneous_level: return history_length(header);
    case HistoryKind::ac_record: return (history_length(header) + 1) / 2 * 2;
    }
    return 0;
}

Result<std::string> history_file_content(std::uint8_t mode, std::span<const std::uint8_t> header,
                                         std::span<const std::uint8_t> data) {
    auto kind = history_kind(mode);
    if (!kind) return fail("mode byte " + std::to_string(mode) + " has no time-history file");
    if (header.size() < 18)
        return fail("group header of " + std::to_string(header.size()) +
                    " bytes is too short for a time-history file");
    if (*kind == HistoryKind::level_distribution) {
        // At most a line for each of the 1025 classes: written on the stack and copied once, at
        // its length, rather than counting the lines first.
        char text[kHeadingMost + kLevelClasses * kLevelLineMost + kSpare];
        return std::string(text, put_level_distribution(text, data));
    }
    // The other files have a title, and only ASCII follows it, the same in GBK as in UTF-8: the
    // text is written straight into a buffer sized for its longest, then cut to what was written.
    const std::string_view title = gbk_title(*kind);
    const std::size_t samples = std::min(history_length(header), data.size());
    const std::size_t ac_bytes = std::min(history_length(header) + 1, data.size());
    const std::size_t most = *kind == HistoryKind::instantaneous_level ? samples * kLevelMost
                                                                       : ac_bytes / 2 * kAcValueMost;
    std::string out;
    out.resize(title.size() + kHeadingMost + most + kSpare);
    char* p = out.data();
    std::memcpy(p, title.data(), title.size());
    p += title.size();
    p = *kind == HistoryKind::instantaneous_level ? put_instantaneous_level(p, samples, data)
                                                  : put_ac_record(p, header, ac_bytes, data);
    out.resize(std::size_t(p - out.data()));
    return out;
}

}  // namespace nlx
