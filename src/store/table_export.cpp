// Text forms of a table for the command line; numbers in plain decimal, no locale.
#include "store/table_export.h"

#include "core/text_escapes.h"

#include <algorithm>

namespace nlx {

namespace {

std::string csv_field(const Value& v) {
    if (v.is_null()) return "";
    std::string s = v.to_text();
    if (!s.empty() && s.find_first_of(",\"\r\n") == std::string::npos) return s;
    return quoted_csv(s);
}

// Decodes one UTF-8 sequence at s[i]; a malformed byte counts as one character of its own.
char32_t next_code_point(std::string_view s, std::size_t& i) {
    unsigned char c = s[i];
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
    if (extra && i + std::size_t(extra) >= s.size()) {
        ++i;
        return c;
    }
    for (int k = 1; k <= extra; ++k) {
        unsigned char d = s[i + std::size_t(k)];
        if ((d & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (d & 0x3F);
    }
    i += std::size_t(extra) + 1;
    return cp;
}

bool is_wide(char32_t cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E) || (cp >= 0x3041 && cp <= 0x33FF) ||
           (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF) ||
           (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) ||
           (cp >= 0xFF00 && cp <= 0xFF60) || (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

}  // namespace

int display_width(std::string_view utf8) {
    int width = 0;
    for (std::size_t i = 0; i < utf8.size();) width += is_wide(next_code_point(utf8, i)) ? 2 : 1;
    return width;
}

std::string to_csv(const TableContents& table) {
    std::string out;
    auto line = [&](const std::vector<Value>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i) out += ',';
            out += csv_field(fields[i]);
        }
        out += '\n';
    };
    line(std::vector<Value>(table.columns.begin(), table.columns.end()));
    for (const auto& row : table.rows) line(row);
    return out;
}

std::string to_json(const TableContents& table) {
    std::string out = "[";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        out += r ? ",\n  {" : "\n  {";
        const auto& row = table.rows[r];
        for (std::size_t i = 0; i < row.size() && i < table.columns.size(); ++i) {
            if (i) out += ", ";
            out += json_string(table.columns[i]) + ": ";
            const Value& v = row[i];
            out += v.is_null() ? "null" : v.is_number() ? v.to_text() : json_string(v.text());
        }
        out += "}";
    }
    out += table.rows.empty() ? "]\n" : "\n]\n";
    return out;
}

std::string to_text(const TableContents& table) {
    std::vector<std::vector<std::string>> cells;
    cells.push_back(table.columns);
    for (const auto& row : table.rows) {
        std::vector<std::string> line;
        for (const auto& v : row) line.push_back(v.to_text());
        cells.push_back(std::move(line));
    }
    std::vector<int> widths(table.columns.size(), 0);
    for (const auto& line : cells)
        for (std::size_t i = 0; i < line.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], display_width(line[i]));

    std::string out;
    auto emit = [&](const std::vector<std::string>& line) {
        std::string text;
        for (std::size_t i = 0; i < line.size() && i < widths.size(); ++i) {
            if (i) text += "  ";
            text += line[i];
            text.append(std::size_t(widths[i] - display_width(line[i])), ' ');
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out += text + '\n';
    };
    emit(cells[0]);
    std::vector<std::string> rule;
    for (int w : widths) rule.push_back(std::string(std::size_t(w), '-'));
    emit(rule);
    for (std::size_t r = 1; r < cells.size(); ++r) emit(cells[r]);
    return out;
}

}  // namespace nlx
