// Column lookup through the model table, so decoders never depend on column positions.
#include "decode/row_builder.h"

#include <cstdio>
#include <cstdlib>

namespace nlx {

RecordBuilder::RecordBuilder(char model) : model_(find_model(model)) {
    if (!model_) {
        std::fprintf(stderr, "RecordBuilder: no model '%c'\n", model);
        std::abort();
    }
    row_.resize(model_->record_columns.size());
}

std::size_t RecordBuilder::index(std::string_view column) const {
    auto i = record_column_index(*model_, column);
    if (!i) {
        std::fprintf(stderr, "RecordBuilder: model %c has no column %.*s\n", model_->letter,
                     int(column.size()), column.data());
        std::abort();
    }
    return std::size_t(*i);
}

void RecordBuilder::set(std::string_view column, std::optional<std::string> text) {
    row_[index(column)] = std::move(text);
}

const Cell& RecordBuilder::get(std::string_view column) const { return row_[index(column)]; }

}  // namespace nlx
