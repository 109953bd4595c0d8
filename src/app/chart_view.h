// One chart view of the main window (`MSChart1`..`MSChart3`): the chart it shows as data, the
// value of the hovered bar or point, and the popup on the right button.
#pragma once

#include <QChartView>

#include "charts/chart.h"

namespace nlx::app {

class ChartView final : public QChartView {
    Q_OBJECT
public:
    ChartView(const QString& name, QWidget* parent);

    void set_chart(const charts::Chart& chart);
    const charts::Chart& chart_data() const { return data_; }

signals:
    void popup_requested(const QPoint& global_position, nlx::app::ChartView* view);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void hovered(int row, bool entered);

    charts::Chart data_;
};

}  // namespace nlx::app
