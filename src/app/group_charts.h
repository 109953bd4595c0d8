// The charts of the current group: the distribution pair (`MSChart1`, `MSChart2`) that follows
// the grid's current row, and the 分布图 command that alternates it with the 24-hour profile or
// the octave spectrum (`MSChart3`), with the chosen standard's limits on the 24-hour profile.
#pragma once

#include <QObject>
#include <array>
#include <optional>

#include "assess/standards.h"
#include "charts/chart.h"

#include "charts/group_rows.h"
#include "core/models.h"

class QLabel;

namespace nlx {
class Database;
}

namespace nlx::app {

class ChartView;
class RecordGrid;

class GroupCharts final : public QObject {
    Q_OBJECT
public:
    GroupCharts(std::array<ChartView*, 3> views, QWidget& area, RecordGrid& grid, QLabel& title_label);

    void set_model(const ModelInfo& model) { model_ = &model; }
    // All three hidden, as after a model confirmation.
    void hide_all();

    // Redraws the pair from the distribution row whose 序号 equals the grid row's; a group without
    // one (model e, a 序号 that is not a number) leaves the charts as they are.
    void distribution_update(int row, Database* db);
    // 分布图 on the grid's current row.
    void distribution_command(Database* db);
    // The standard whose day and night limits the 24-hour profile draws (nullopt: none); a profile
    // on show is drawn again.
    void set_limits(const std::optional<assess::Criterion>& criterion);

    ChartView* view(int k) const { return views_[std::size_t(k)]; }

private:
    charts::GroupRows grid_rows() const;
    void show_profile();
    void show_pair();
    void show_special();
    void update_area();

    std::array<ChartView*, 3> views_;
    QWidget& area_;
    RecordGrid& grid_;
    QLabel& title_label_;
    const ModelInfo* model_ = nullptr;
    std::optional<assess::Criterion> limits_;
    std::optional<charts::Chart> profile_;  // the 24-hour profile on show, without its limits
};

}  // namespace nlx::app
