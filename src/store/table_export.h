// A whole table as text: CSV, JSON or an aligned table for people.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/table_contents.h"

namespace nlx {

// UTF-8, header line of the column names, LF line ends; NULL is an empty field, an empty text
// is "" (so the two stay apart); fields with a comma, quote, CR or LF are quoted, quotes doubled.
std::string to_csv(const TableContents& table);
// An array of objects, column name to string, number or null.
std::string to_json(const TableContents& table);
// CSV or JSON written a row at a time, the same bytes as to_csv and to_json, handed on in pieces
// of about 64 KiB: a long listing is never held whole.
class TableStreamWriter {
public:
    enum class Format { csv, json };
    using Sink = std::function<void(std::string_view)>;
    TableStreamWriter(Format format, const std::vector<std::string>& columns, Sink sink);
    void row(std::span<const ValueView> values);
    // Ends the text and hands on what is left.
    void finish();

private:
    void flush_if_full();

    Format format_;
    std::size_t columns_;
    std::vector<std::string> keys_;  // JSON: each column's name as a key, with ": "
    std::size_t rows_ = 0;
    std::string buffer_;
    Sink sink_;
};

// Columns padded to a common width (CJK characters count two columns), a rule under the header.
std::string to_text(const TableContents& table);

// Terminal columns taken by a UTF-8 text: wide East Asian characters count two.
int display_width(std::string_view utf8);

}  // namespace nlx
