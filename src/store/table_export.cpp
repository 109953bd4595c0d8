// Text forms of a table for the command line; numbers in plain decimal, no locale.
#include "store/table_export.h"

#include "core/number_format.h"
#include "core/text_escapes.h"

#include <algorithm>

namespace nlx {

namespace {

constexpr std::size_t kPiece = 64 * 1024;

void append_csv_field(std::string& out, const ValueView& v) {
    if (v.kind == ValueView::Kind::null) return;
    if (v.kind == ValueView::Kind::number) {
        out += plain_number_text(v.number);
        return;
    }
    // One pass over the bytes (find_first_of would search the four characters at each byte).
    bool plain = !v.text.empty();
    for (const char c : v.text)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            plain = false;
            break;
        }
    if (plain) out += v.text;
    else out += quoted_csv(v.text);
}

void append_json_value(std::string& out, const ValueView& v) {
    if (v.kind == ValueView::Kind::null) out += "null";
    else if (v.kind == ValueView::Kind::number) out += plain_number_text(v.number);
    else out += json_string(v.text);
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

TableStreamWriter::TableStreamWriter(Format format, const std::vector<std::string>& columns, Sink sink)
    : format_(format), columns_(columns.size()), sink_(std::move(sink)) {
    buffer_.reserve(kPiece + 4096);
    if (format_ == Format::json) {
        buffer_ += '[';
        for (const auto& c : columns) keys_.push_back(json_string(c) + ": ");
        return;
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i) buffer_ += ',';
        append_csv_field(buffer_, {ValueView::Kind::text, columns[i], 0});
    }
    buffer_ += '\n';
}

void TableStreamWriter::row(std::span<const ValueView> values) {
    if (format_ == Format::csv) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i) buffer_ += ',';
            append_csv_field(buffer_, values[i]);
        }
        buffer_ += '\n';
    } else {
        buffer_ += rows_ ? ",\n  {" : "\n  {";
        for (std::size_t i = 0; i < values.size() && i < columns_; ++i) {
            if (i) buffer_ += ", ";
            buffer_ += keys_[i];
            append_json_value(buffer_, values[i]);
        }
        buffer_ += '}';
    }
    ++rows_;
    flush_if_full();
}

void TableStreamWriter::flush_if_full() {
    if (buffer_.size() < kPiece) return;
    sink_(buffer_);
    buffer_.clear();
}

void TableStreamWriter::finish() {
    if (format_ == Format::json) buffer_ += rows_ == 0 ? "]\n" : "\n]\n";
    if (!buffer_.empty()) sink_(buffer_);
    buffer_.clear();
}

namespace {

std::string whole(TableStreamWriter::Format format, const TableContents& table) {
    std::string out;
    TableStreamWriter writer(format, table.columns, [&](std::string_view piece) { out += piece; });
    std::vector<ValueView> views;
    for (const auto& row : table.rows) {
        views.clear();
        for (const auto& v : row) views.push_back(ValueView::of(v));
        writer.row(views);
    }
    writer.finish();
    return out;
}

}  // namespace

std::string to_csv(const TableContents& table) { return whole(TableStreamWriter::Format::csv, table); }

std::string to_json(const TableContents& table) { return whole(TableStreamWriter::Format::json, table); }

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
