// A whole table read at once: its column names and every row, for the grid and the exports.
#pragma once

#include <string>
#include <vector>

#include "store/value.h"

namespace nlx {

struct TableContents {
    std::vector<std::string> columns;      // in table order, the hidden order key left out
    std::vector<std::vector<Value>> rows;  // in insertion order; NULL distinct from ""
};

}  // namespace nlx
