// Helpers for the model c, d and e decoder tests: cells by column name, byte blocks.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/models.h"
#include "core/rows.h"
#include "decode/decoder.h"

namespace nlx::test {

// The cell of `column` in a record row of `model`; fails the test for an unknown column.
inline Cell cell(const RecordRow& row, char model, std::string_view column) {
    auto i = record_column_index(*find_model(model), column);
    if (!i || std::size_t(*i) >= row.size()) return std::string("<no column ") + std::string(column) + ">";
    return row[std::size_t(*i)];
}

template <class... Blocks>
std::vector<std::uint8_t> concat(const Blocks&... blocks) {
    std::vector<std::uint8_t> out;
    (out.insert(out.end(), blocks.begin(), blocks.end()), ...);
    return out;
}

}  // namespace nlx::test
