// Chart view of the main window.
#include "app/chart_view.h"

#include <QBarSet>
#include <QCursor>
#include <QLineSeries>
#include <QMouseEvent>
#include <QToolTip>
#include <cmath>

#include "app/qt_text.h"
#include "render/chart_builder.h"

namespace nlx::app {

ChartView::ChartView(const QString& name, QWidget* parent) : QChartView(parent) {
    setObjectName(name);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(160);
    setChart(new QChart);  // empty until the first update
}

void ChartView::set_chart(const charts::Chart& chart) {
    data_ = chart;
    render::BuiltChart built = render::build_chart(chart);
    QChart* old = this->chart();
    setChart(built.chart);
    delete old;
    setToolTip(qs(chart.tooltip));
    if (built.bars)
        connect(built.bars, &QBarSet::hovered, this, [this](bool status, int index) { hovered(index, status); });
    if (built.line)
        connect(built.line, &QLineSeries::hovered, this,
                [this](const QPointF& point, bool state) { hovered(int(std::lround(point.x() - data_.x_shift)), state); });
}

void ChartView::hovered(int row, bool entered) {
    if (entered) QToolTip::showText(QCursor::pos(), render::hover_text(data_, row), this);
    else QToolTip::hideText();
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit popup_requested(event->globalPosition().toPoint(), this);
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

}  // namespace nlx::app
