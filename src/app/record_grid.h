// The record grid `msflexgrid1`: a table view over the record snapshot, with the grid's own keys
// and clicks (marker, Delete, the header rewrite of octave rows, model a's history files).
#pragma once

#include <QTableView>

#include "app/record_grid_model.h"
#include "core/models.h"

namespace nlx::app {

class RecordGrid final : public QTableView {
    Q_OBJECT
public:
    explicit RecordGrid(QWidget* parent = nullptr);

    RecordGridModel& cells() { return model_; }
    const RecordGridModel& cells() const { return model_; }

    // Column count, widths (twips at the screen's logical DPI), centring and headers of a model.
    void lay_out(const ModelInfo& model);
    // Fills from the record table, keeping the widths of columns already laid out.
    void fill(const TableContents& table, const ModelInfo& model);

    int current_row() const;  // -1 without rows
    void set_current_row(int row);
    // The first and last row of the selection, top to bottom whichever way it was made; the
    // current row alone when nothing is selected; (-1, -1) without rows.
    std::pair<int, int> selected_rows() const;
    // The width of a grid column, in twips as the layout gave it.
    int column_twips(int column) const;

    // The click handling of the grid for `model`, also run by tests: marker, then the header
    // rewrite of models b/c/d; for model a a history file cell asks to open the file.
    void click(int row, int column);

signals:
    void current_row_changed(int row);   // the charts follow the current row
    void clicked_row(int row);           // after the click's own handling
    void history_file_clicked(const QString& file);  // model a: a ".ln"/".li" name was clicked
    void popup_requested(const QPoint& global_position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void apply_widths();
    void remove_selected_rows();

    RecordGridModel model_;
    void widen_to_contents();

    const ModelInfo* model_info_ = nullptr;  // the model laid out or filled last
    std::vector<int> twips_;
};

}  // namespace nlx::app
