// Reading a file of live levels, one a line.
#include "sim/level_sequence.h"

#include "core/blank_trim.h"
#include "core/read_file.h"

namespace nlx::sim {
namespace {

// "85.6" as 856; nullopt when it is no level of at most one decimal.
std::optional<int> tenths_of(std::string_view s) {
    int whole = 0, digits = 0, tenth = 0;
    std::size_t k = 0;
    for (; k < s.size() && s[k] >= '0' && s[k] <= '9'; ++k, ++digits) {
        whole = whole * 10 + (s[k] - '0');
        if (whole > 65535) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    if (k < s.size()) {
        if (s[k] != '.' || k + 2 != s.size() || s[k + 1] < '0' || s[k + 1] > '9') return std::nullopt;
        tenth = s[k + 1] - '0';
    }
    const int tenths = whole * 10 + tenth;
    if (tenths > 65535) return std::nullopt;
    return tenths;
}

}  // namespace

Result<LevelSequence> parse_level_sequence(std::string_view text) {
    LevelSequence out;
    std::size_t line_number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++line_number;
        if (line.empty() || line.front() == '#') continue;
        if (line == "-") {
            out.push_back(std::nullopt);
            continue;
        }
        auto level = tenths_of(line);
        if (!level)
            return fail("line " + std::to_string(line_number) + " (\"" + std::string(line) +
                        "\") is no level: write one level in dB a line, 0 to 6553.5 with at most one decimal, or - "
                        "for a request left unanswered");
        out.push_back(*level);
    }
    if (out.empty()) return fail("it holds no level: write one level in dB a line, or - for no reply");
    return out;
}

Result<LevelSequence> read_level_sequence(const std::filesystem::path& file) {
    // A level a line: 100 MB is far more than a 24-hour sequence needs.
    auto text = read_regular_file(file, 100u << 20);
    if (!text) return fail("cannot read the levels: " + text.message());
    auto parsed = parse_level_sequence(*text);
    if (!parsed) return fail("level file " + file.string() + ": " + parsed.message());
    return parsed;
}

}  // namespace nlx::sim
