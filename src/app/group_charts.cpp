// Distribution update and the 分布图 command over the grid's rows.
#include "app/group_charts.h"

#include <QLabel>

#include "app/chart_view.h"
#include "app/grid_rows.h"
#include "app/qt_text.h"
#include "app/record_grid.h"
#include "assess/assessment.h"
#include "charts/group_cells.h"
#include "charts/octave_chart.h"
#include "core/texts.h"
#include "store/distribution_row.h"

namespace nlx::app {

GroupCharts::GroupCharts(std::array<ChartView*, 3> views, QWidget& area, RecordGrid& grid, QLabel& title_label)
    : views_(views), area_(area), grid_(grid), title_label_(title_label) {}

void GroupCharts::hide_all() {
    profile_.reset();
    for (auto* view : views_) view->hide();
    update_area();
}

void GroupCharts::show_pair() {
    profile_.reset();
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
    return grid_group_rows(grid_.cells());
}

void GroupCharts::set_limits(const std::optional<assess::Criterion>& criterion) {
    limits_ = criterion;
    if (profile_ && !views_[2]->isHidden()) show_profile();
}

void GroupCharts::show_profile() {
    charts::Chart chart = *profile_;
    if (limits_) assess::mark_limits(chart, *limits_);
    views_[2]->set_chart(chart);
}

void GroupCharts::distribution_update(int row, Database* db) {
    if (!model_ || row < 0 || row >= grid_.cells().rowCount()) return;
    if (!views_[2]->isHidden()) show_pair();
    if (!db) return;
    const auto rows = grid_rows();
    // A group without a distribution (an octave group, or no row for it), or a table that cannot
    // be read, leaves the pair as it is: never band levels drawn or named as a distribution.
    if (!charts::has_level_distribution(*model_, rows, std::size_t(row))) return;
    const auto percent = distribution_percent(*db, *model_, rows.text(std::size_t(row), 0));
    if (!percent || !*percent) return;
    const auto stored = charts::stored_percentiles(*model_, rows, std::size_t(row));
    // Each chart names its group: the pair stays on its group while an octave group is current.
    const std::string group = texts::chart_group(rows.text(std::size_t(row), 0));
    auto distribution = charts::distribution_chart(*model_, **percent);
    distribution.note = group;
    auto cumulative = charts::cumulative_chart(*model_, **percent, stored);
    cumulative.note = group + "    " + cumulative.note;
    views_[0]->set_chart(distribution);
    views_[1]->set_chart(cumulative);
    show_pair();
}

void GroupCharts::distribution_command(Database* db) {
    if (!model_) return;
    const int row = grid_.current_row();
    if (row < 0) return;
    grid_.cells().mark(row);
    const auto rows = grid_rows();
    const auto kind = charts::row_kind(*model_, rows, std::size_t(row));
    if (kind == charts::GroupKind::statistics || views_[0]->isHidden()) {
        show_pair();
        distribution_update(row, db);
        return;
    }
    if (kind == charts::GroupKind::day_profile) {
        const auto profile = charts::run_day_profile(*model_, rows, std::size_t(row));
        if (!profile) return;
        profile_ = profile->chart;
        show_profile();
        show_special();
        title_label_.setText(qs(charts::day_night_text(profile->ld, profile->ln, profile->ldn)));
    } else {
        profile_.reset();
        views_[2]->set_chart(charts::octave_chart(*model_, rows, std::size_t(row)));
        show_special();
    }
}

}  // namespace nlx::app
