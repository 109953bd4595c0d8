// The record grid's cells: header row, marker column and the rows of the record table, held as a
// snapshot read in one query, so painting and scrolling never touch the database.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "core/models.h"
#include "store/table_contents.h"

namespace nlx::app {

// Grid rows count as the model's rows 0.. (the header row is the view's header); grid column 0
// is the marker column, grid column k >= 1 shows table position k - 1.
class RecordGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The model's layout before the first fill: column count and header texts; the rows stay
    // unless `clear_rows`, and the first row gets the "*" marker (a grid with no rows gets one
    // empty row for it).
    void set_layout(const GridLayout& layout, bool clear_rows = false);
    // Replaces every row with the table's, the headers with its column names; the column count
    // becomes the table's plus the marker column.
    void fill(const TableContents& table);

    // " " in column 0 of every row, "*" in `row` (nothing marked when it is outside the rows).
    void mark(int row);
    int marked_row() const { return marked_; }

    // Removes rows top..bottom (inclusive, clamped) from the display.
    void remove_rows(int top, int bottom);

    void set_header(int column, const QString& text);
    QString header(int column) const;
    // The record table's column names as the last fill had them (the headers may be rewritten).
    const std::vector<std::string>& table_columns() const { return columns_; }
    // Cell text; column 0 is the marker.
    QString text(int row, int column) const;

    void set_centred(int first, int last);
    bool centred(int column) const;

private:
    void resize_columns(int count);

    std::vector<std::string> columns_;
    std::vector<QString> headers_;              // one per grid column; [0] is the marker column's
    std::vector<std::vector<QString>> cells_;   // data columns 1.. of each row (index 0 = column 1)
    std::vector<bool> centred_;
    int marked_ = -1;
};

}  // namespace nlx::app
