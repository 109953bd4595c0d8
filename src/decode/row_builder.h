// Fills a record row by column name, in the column order of the model's record table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/models.h"
#include "core/rows.h"

namespace nlx {

class RecordBuilder {
public:
    explicit RecordBuilder(const ModelInfo& model);

    // Sets a column (letter case ignored); nullopt leaves it unset. An unknown column name is a
    // programming error and aborts.
    void set(std::string_view column, std::optional<std::string> text);
    // The same by the column's position, for a decoder that looked its columns up once with
    // column() rather than for every row.
    void set_at(std::size_t column, std::optional<std::string> text) { row_[column] = std::move(text); }
    std::size_t column(std::string_view name) const { return index(name); }
    // The text already set in a column, nullopt when unset.
    const Cell& get(std::string_view column) const;

    RecordRow take() { return std::move(row_); }
    const ModelInfo& model() const { return *model_; }

private:
    std::size_t index(std::string_view column) const;
    const ModelInfo* model_;
    RecordRow row_;
    mutable std::size_t next_ = 0;
};

}  // namespace nlx
