// Decoded rows as the store keeps them: record rows of text cells, distribution rows of numbers.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nlx {

// One cell of a record row: text, or nullopt for a column the decoder left unset (stored as NULL).
using Cell = std::optional<std::string>;

// A record-table row, one cell per column of the model's record table, in table order.
using RecordRow = std::vector<Cell>;

// A distribution-table row: 序号 and up to 101 percentages at positions 1..101.
struct DistributionRow {
    long long seq = 0;
    std::vector<std::optional<double>> values;  // values[k] is position k + 1; nullopt is NULL
};

// A time-history file of one group: its name in the storage folder and its bytes (already GBK).
struct HistoryFile {
    std::string name;
    std::string content;
};

// Everything one measurement group decodes to.
struct DecodedGroup {
    RecordRow record;
    std::optional<DistributionRow> distribution;
    std::optional<HistoryFile> history;
};

}  // namespace nlx
