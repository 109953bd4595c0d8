// One chart view of the main window (`MSChart1`..`MSChart3`): the chart it shows as data, the
// value under the mouse as its tooltip, and the popup on the right button.
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

    // The tooltip at a point of the view's viewport: the value of the bar or point under it
    // ("45 dB: 3.5 %", "06: 65.3 dB") inside the plot, the chart's own tooltip elsewhere.
    QString tooltip_at(const QPoint& viewport_position) const;

signals:
    void popup_requested(const QPoint& global_position, nlx::app::ChartView* view);

protected:
    bool viewportEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    charts::Chart data_;
};

}  // namespace nlx::app
