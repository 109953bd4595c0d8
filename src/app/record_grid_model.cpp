// Snapshot table model of the record grid.
#include "app/record_grid_model.h"

#include <algorithm>

#include "app/qt_text.h"

namespace nlx::app {

RecordGridModel::RecordGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int RecordGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(cells_.size());
}

int RecordGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(headers_.size());
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && centred(index.column())) return int(Qt::AlignCenter);
    return {};
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return header(section);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

void RecordGridModel::resize_columns(int count) {
    headers_.resize(std::size_t(std::max(count, 1)));
    centred_.resize(headers_.size(), false);
    for (auto& row : cells_) row.resize(headers_.size() - 1);
}

void RecordGridModel::set_layout(const GridLayout& layout, bool clear_rows) {
    beginResetModel();
    if (clear_rows) cells_.clear();
    resize_columns(layout.column_count);
    headers_[0].clear();
    for (int c = 1; c < int(headers_.size()); ++c)
        headers_[std::size_t(c)] = c - 1 < int(layout.headers.size()) ? qs(layout.headers[std::size_t(c - 1)]) : QString();
    if (cells_.empty()) cells_.emplace_back(headers_.size() - 1);
    std::fill(centred_.begin(), centred_.end(), false);
    for (int c = layout.centred_first; c <= layout.centred_last && c < int(centred_.size()); ++c) centred_[std::size_t(c)] = true;
    marked_ = 0;
    endResetModel();
}

void RecordGridModel::fill(const TableContents& table) {
    beginResetModel();
    resize_columns(int(table.columns.size()) + 1);
    columns_ = table.columns;
    for (std::size_t c = 0; c < table.columns.size(); ++c) headers_[c + 1] = qs(table.columns[c]);
    cells_.clear();
    cells_.reserve(table.rows.size());
    for (const auto& row : table.rows) {
        std::vector<QString> texts(headers_.size() - 1);
        for (std::size_t c = 0; c < row.size() && c < texts.size(); ++c) texts[c] = qs(row[c].to_text());
        cells_.push_back(std::move(texts));
    }
    marked_ = -1;
    endResetModel();
}

void RecordGridModel::mark(int row) {
    int old = marked_;
    marked_ = row >= 0 && row < rowCount() ? row : -1;
    if (old >= 0 && old < rowCount()) emit dataChanged(index(old, 0), index(old, 0));
    if (marked_ >= 0) emit dataChanged(index(marked_, 0), index(marked_, 0));
}

void RecordGridModel::remove_rows(int top, int bottom) {
    top = std::max(top, 0);
    bottom = std::min(bottom, rowCount() - 1);
    if (top > bottom) return;
    beginRemoveRows({}, top, bottom);
    cells_.erase(cells_.begin() + top, cells_.begin() + bottom + 1);
    // The marker stays in its grid row: rows below the block move up, the marker does not.
    if (marked_ >= rowCount()) marked_ = -1;
    endRemoveRows();
}

void RecordGridModel::set_header(int column, const QString& text) {
    if (column < 0 || column >= columnCount()) return;
    headers_[std::size_t(column)] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QString RecordGridModel::header(int column) const {
    return column >= 0 && column < columnCount() ? headers_[std::size_t(column)] : QString();
}

QString RecordGridModel::text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return {};
    if (column == 0) return row == marked_ ? QStringLiteral("*") : QStringLiteral(" ");
    return cells_[std::size_t(row)][std::size_t(column - 1)];
}

void RecordGridModel::set_centred(int first, int last) {
    for (int c = std::max(first, 0); c <= last && c < int(centred_.size()); ++c) centred_[std::size_t(c)] = true;
    if (rowCount() > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

bool RecordGridModel::centred(int column) const {
    return column >= 0 && column < int(centred_.size()) && centred_[std::size_t(column)];
}

}  // namespace nlx::app
