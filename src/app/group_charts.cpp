// Distribution update and the 分布图 command over the grid's rows.
#include "app/group_charts.h"

#include <QLabel>

#include "app/chart_view.h"
#include "app/qt_text.h"
#include "app/record_grid.h"
#include "charts/day_profile.h"
#include "charts/distribution_charts.h"
#include "charts/octave_chart.h"
#include "core/number_format.h"
#include "store/database.h"

namespace nlx::app {

GroupCharts::GroupCharts(std::array<ChartView*, 3> views, QWidget& area, RecordGrid& grid, QLabel& title_label)
    : views_(views), area_(area), grid_(grid), title_label_(title_label) {}

void GroupCharts::hide_all() {
    for (auto* view : views_) view->hide();
    update_area();
}

void GroupCharts::show_pair() {
    views_[2]->hide();
    views_[0]->show();
    views_[1]->show();
    update_area();
}

void GroupCharts::show_special() {
    views_[0]->hide();
    views_[1]->hide();
    views_[2]->show();
    update_area();
}

void GroupCharts::update_area() {
    bool any = false;
    for (auto* view : views_) any = any || !view->isHidden();
    area_.setVisible(any);
}

charts::GroupRows GroupCharts::grid_rows() const {
    // The rows as the grid shows them, so a command picks the group the operator sees even after
    // rows were taken off the display with Delete.
    return {std::size_t(grid_.cells().rowCount()), [this](std::size_t row, std::size_t position) {
                return utf8(grid_.cells().text(int(row), int(position) + 1));
            }};
}

std::string GroupCharts::cell(int row, const char* column) const {
    if (!model_) return {};
    auto position = record_column_index(*model_, column);
    if (!position && column[0] != 'V') position = record_column_index(*model_, std::string("V") + column);
    return position ? utf8(grid_.cells().text(row, *position + 1)) : std::string();
}

void GroupCharts::distribution_update(int row, Database* db) {
    if (!model_ || row < 0 || row >= grid_.cells().rowCount()) return;
    if (!views_[2]->isHidden()) show_pair();
    const auto key = parse_decimal(utf8(grid_.cells().text(row, 1)));
    if (!key || !db || !model_->has_distribution) return;
    auto found = db->find_row(distribution_table_name(model_->letter), *key);
    if (!found || !*found) return;
    std::vector<std::optional<double>> percent;
    for (std::size_t k = 1; k < (*found)->size(); ++k) percent.push_back((**found)[k].as_number());
    charts::StoredPercentiles stored;
    const char* names[] = {"L10", "L50", "L90"};
    for (int k = 0; k < 3; ++k) stored[std::size_t(k)] = parse_decimal(cell(row, names[k]));
    views_[0]->set_chart(charts::distribution_chart(model_->letter, percent));
    views_[1]->set_chart(charts::cumulative_chart(model_->letter, percent, stored));
    show_pair();
}

void GroupCharts::distribution_command(Database* db) {
    if (!model_) return;
    const int row = grid_.current_row();
    if (row < 0) return;
    grid_.cells().mark(row);
    const auto kind = charts::group_kind(cell(row, "MODE").substr(0, 3));
    if (kind == charts::GroupKind::statistics || views_[0]->isHidden()) {
        show_pair();
        distribution_update(row, db);
        return;
    }
    const auto rows = grid_rows();
    if (kind == charts::GroupKind::day_profile) {
        auto mode = record_column_index(*model_, "MODE"), time = record_column_index(*model_, "TIME");
        auto leq = record_column_index(*model_, "Leq");
        if (!leq) leq = record_column_index(*model_, "VLeq");
        if (!mode || !time || !leq) return;
        const charts::DayColumns columns{std::size_t(*mode), std::size_t(*time), std::size_t(*leq)};
        const auto profile = charts::day_profile(rows, columns, charts::day_series_start(rows, columns, std::size_t(row)));
        views_[2]->set_chart(profile.chart);
        show_special();
        title_label_.setText(qs(charts::day_night_text(profile.ld, profile.ln, profile.ldn)));
    } else {
        views_[2]->set_chart(charts::octave_chart(model_->letter, rows, std::size_t(row)));
        show_special();
    }
}

}  // namespace nlx::app
