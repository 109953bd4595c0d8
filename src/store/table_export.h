// A whole table as text: CSV, JSON or an aligned table for people.
#pragma once

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
// Columns padded to a common width (CJK characters count two columns), a rule under the header.
std::string to_text(const TableContents& table);

// Terminal columns taken by a UTF-8 text: wide East Asian characters count two.
int display_width(std::string_view utf8);

}  // namespace nlx
