// Record grid view: layout per model, marker, Delete removal and the click actions.
#include "app/record_grid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStyle>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "app/qt_text.h"
#include "core/shell_texts.h"

namespace nlx::app {

RecordGrid::RecordGrid(QWidget* parent) : QTableView(parent) {
    setObjectName("msflexgrid1");
    setModel(&model_);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Rows of one fixed height scroll by pixels: thousands of groups move smoothly.
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(8);
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) { click(index.row(), index.column()); });
}

void RecordGrid::lay_out(const ModelInfo& model) {
    // Another model's groups never stand under this model's headers: its rows go, and the grid
    // shows the one empty row until it is filled from this model's table.
    const bool other_model = model_info_ && model_info_ != &model;
    model_info_ = &model;
    const GridLayout& g = model.grid;
    model_.set_layout(g, other_model);
    twips_.assign(std::size_t(g.column_count), g.wide_width);
    twips_[0] = g.marker_width;
    for (int c = g.narrow_first; c <= g.narrow_last && c < g.column_count; ++c) twips_[std::size_t(c)] = g.narrow_width;
    for (int c = g.wide_first; c <= g.wide_last && c < g.column_count; ++c) twips_[std::size_t(c)] = g.wide_width;
    apply_widths();
    set_current_row(0);
}

void RecordGrid::fill(const TableContents& table, const ModelInfo& model) {
    model_info_ = &model;
    model_.fill(table);
    // Columns the table has beyond the layout (model d's VLAE) get the wide width.
    twips_.resize(std::size_t(model_.columnCount()), model.grid.wide_width);
    model_.set_centred(1, model_.columnCount() - 1);
    apply_widths();
    widen_to_contents();
    if (model_.rowCount() > 0) set_current_row(0);
}

void RecordGrid::widen_to_contents() {
    // A column keeps its layout width unless its header or longest text needs more (a model a
    // history file name such as "1514339205.ln"): the text is never cut to "1514339…".
    const QFontMetrics cells = fontMetrics(), headers = horizontalHeader()->fontMetrics();
    const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 10;
    for (int c = 1; c < model_.columnCount(); ++c) {
        int longest = 0;
        for (int r = 0; r < model_.rowCount(); ++r) longest = std::max(longest, int(model_.text(r, c).size()));
        int needed = headers.horizontalAdvance(model_.header(c)) + padding;
        // Only a few texts of the longest length are measured, not every row.
        for (int r = 0, measured = 0; r < model_.rowCount() && measured < 8 && longest > 0; ++r)
            if (const QString text = model_.text(r, c); text.size() == longest) {
                needed = std::max(needed, cells.horizontalAdvance(text) + padding);
                ++measured;
            }
        if (needed > columnWidth(c)) setColumnWidth(c, needed);
    }
}

void RecordGrid::apply_widths() {
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    for (int c = 0; c < int(twips_.size()); ++c)
        setColumnWidth(c, int(std::lround(twips_[std::size_t(c)] * dpi / 1440.0)));
}

int RecordGrid::column_twips(int column) const {
    return column >= 0 && column < int(twips_.size()) ? twips_[std::size_t(column)] : 0;
}

int RecordGrid::current_row() const {
    auto index = currentIndex();
    return index.isValid() ? index.row() : (model_.rowCount() > 0 ? 0 : -1);
}

std::pair<int, int> RecordGrid::selected_rows() const {
    const int current = current_row();
    if (current < 0) return {-1, -1};
    int top = current, bottom = current;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
    }
    return {top, bottom};
}

void RecordGrid::set_current_row(int row) {
    if (row < 0 || row >= model_.rowCount()) return;
    int column = currentIndex().isValid() ? currentIndex().column() : 1;
    setCurrentIndex(model_.index(row, std::min(column, model_.columnCount() - 1)));
}

void RecordGrid::click(int row, int column) {
    if (row < 0 || row >= model_.rowCount()) return;
    model_.mark(row);
    if (model_info_ && model_info_->history_files) {
        QString cell = model_.text(row, column);
        if (column == kFilenameGridColumn && opens_history_file(utf8(cell))) emit history_file_clicked(cell);
    } else if (model_info_) {
        for (const auto& [col, text] : clicked_row_headers(*model_info_, utf8(model_.text(row, kModeGridColumn))))
            model_.set_header(col, qs(text));
    }
    emit clicked_row(row);
}

void RecordGrid::remove_selected_rows() {
    const auto ranges = selectionModel()->selection();
    if (ranges.isEmpty()) return;
    int top = model_.rowCount(), bottom = -1, cells = 0;
    for (const auto& range : ranges) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
        cells += range.width() * range.height();
    }
    if (cells <= 1) return;  // one cell: nothing goes
    selectionModel()->clearSelection();
    model_.remove_rows(top, bottom);
}

void RecordGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        remove_selected_rows();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void RecordGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit popup_requested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void RecordGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid() && current.row() != previous.row()) emit current_row_changed(current.row());
}

}  // namespace nlx::app
