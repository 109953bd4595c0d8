// Column lookup through the model table, so decoders never depend on column positions.
#include "decode/row_builder.h"

#include <cstdio>
#include <cstdlib>

namespace nlx {

RecordBuilder::RecordBuilder(const ModelInfo& model) : model_(&model) {
    row_.resize(model_->record_columns.size());
}

std::size_t RecordBuilder::index(std::string_view column) const {
    // Decoders fill a row much in table order and name columns as the table spells them: the
    // search starts after the column found last and tries the exact name before letter case.
    const auto& names = model_->record_columns;
    for (bool exact : {true, false}) {
        for (std::size_t k = 0, i = next_ < names.size() ? next_ : 0; k < names.size();
             ++k, i = i + 1 < names.size() ? i + 1 : 0) {
            const bool found = exact ? names[i].size() == column.size() && !column.empty() &&
                                           names[i][0] == column[0] && names[i] == column
                                     : same_column_name(names[i], column);
            if (found) {
                next_ = i + 1;
                return i;
            }
        }
    }
    std::fprintf(stderr, "RecordBuilder: model %c has no column %.*s\n", model_->letter, int(column.size()),
                 column.data());
    std::abort();
}

void RecordBuilder::set(std::string_view column, std::optional<std::string> text) {
    row_[index(column)] = std::move(text);
}

const Cell& RecordBuilder::get(std::string_view column) const { return row_[index(column)]; }

}  // namespace nlx
