// Line breaking of the single-group sheet.
#include "reports/sheet_lines.h"

#include <algorithm>

namespace nlx::reports {
namespace {

// Length of the UTF-8 sequence that starts with `lead`.
std::size_t sequence_length(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Width of text[from, to) without the spaces it ends with: trailing spaces at a break need no room.
double used_width(std::string_view text, std::size_t from, std::size_t to, const TextWidth& text_width) {
    while (to > from && text[to - 1] == ' ') --to;
    return text_width(text.substr(from, to - from));
}

}  // namespace

std::vector<std::string> break_at_spaces(std::string_view paragraph, double width, const TextWidth& text_width) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        if (used_width(paragraph, start, paragraph.size(), text_width) <= width) {
            lines.emplace_back(paragraph.substr(start));
            return lines;
        }
        // The longest run of whole characters from `start` that fits; at least one character.
        std::size_t fits = start + sequence_length(static_cast<unsigned char>(paragraph[start]));
        for (std::size_t next = fits; next < paragraph.size();) {
            next += sequence_length(static_cast<unsigned char>(paragraph[next]));
            if (next > paragraph.size() || used_width(paragraph, start, next, text_width) > width) break;
            fits = next;
        }
        fits = std::min(fits, paragraph.size());
        // The last space at or before the end of that run, past the indentation the line starts
        // with (a line broken inside it would be empty).
        std::size_t first_word = start;
        while (first_word < paragraph.size() && paragraph[first_word] == ' ') ++first_word;
        std::size_t end = fits, next_start = fits;
        for (std::size_t k = std::min(fits, paragraph.size() - 1); k > first_word; --k)
            if (paragraph[k] == ' ') {
                end = k;
                next_start = k;
                while (next_start < paragraph.size() && paragraph[next_start] == ' ') ++next_start;
                break;
            }
        while (end > start && paragraph[end - 1] == ' ') --end;
        lines.emplace_back(paragraph.substr(start, end - start));
        if (next_start >= paragraph.size()) return lines;
        start = next_start;
    }
}

}  // namespace nlx::reports
