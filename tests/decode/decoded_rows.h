// Helpers of the decoder tests: cells by column name through the model table, notes, joined
// byte blocks, and the ordering every generated group's levels must keep.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/decode_note.h"
#include "core/models.h"
#include "core/rows.h"

namespace nlx::test {

// The cell of `column` in a record row of `model`; fails the test for an unknown column.
inline Cell cell(char model, const RecordRow& row, std::string_view column) {
    auto index = record_column_index(*find_model(model), column);
    EXPECT_TRUE(index.has_value()) << column;
    if (!index || std::size_t(*index) >= row.size()) return std::nullopt;
    return row[std::size_t(*index)];
}

// True when the notes hold `note`, or a note of `kind`.
inline bool has_note(const std::vector<DecodeNote>& notes, const DecodeNote& note) {
    return std::find(notes.begin(), notes.end(), note) != notes.end();
}
inline bool has_note(const std::vector<DecodeNote>& notes, DecodeNote::Kind kind) {
    return std::any_of(notes.begin(), notes.end(), [&](const DecodeNote& n) { return n.kind == kind; });
}


// The blocks' bytes one after the other.
template <class... Blocks>
std::vector<std::uint8_t> concat(const Blocks&... blocks) {
    std::vector<std::uint8_t> out;
    (out.insert(out.end(), blocks.begin(), blocks.end()), ...);
    return out;
}

// Levels exceeded 5, 10, 50, 90 and 95 % of the time fall in that order, and Lmax >= Leq >= Lmin.
inline void expect_ordered_levels(const std::array<double, 5>& exceeded, double lmax, double leq,
                                  double lmin) {
    for (std::size_t k = 1; k < exceeded.size(); ++k)
        EXPECT_GE(exceeded[k - 1], exceeded[k]) << "exceeded levels " << k - 1 << ", " << k;
    EXPECT_GE(lmax, leq);
    EXPECT_GE(leq, lmin);
}

}  // namespace nlx::test
