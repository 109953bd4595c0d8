// Test access to decoded rows by column name, through the model table.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/models.h"
#include "core/rows.h"

namespace nlx::testing {

// The cell of `column` in a record row of `model`; fails the test for an unknown column.
inline Cell cell(char model, const RecordRow& row, std::string_view column) {
    auto index = record_column_index(*find_model(model), column);
    EXPECT_TRUE(index.has_value()) << column;
    if (!index || std::size_t(*index) >= row.size()) return std::nullopt;
    return row[std::size_t(*index)];
}

// True when some note contains `part`.
inline bool has_note(const std::vector<std::string>& notes, std::string_view part) {
    for (const auto& note : notes)
        if (note.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace nlx::testing
