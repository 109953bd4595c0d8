// Chart view of the main window.
#include "app/chart_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <cmath>

#include "app/qt_text.h"
#include "render/chart_builder.h"

namespace nlx::app {

ChartView::ChartView(const QString& name, QWidget* parent) : QChartView(parent) {
    setObjectName(name);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(200);
    setMouseTracking(true);
    setChart(new QChart);  // empty until the first update
}

void ChartView::set_chart(const charts::Chart& chart) {
    data_ = chart;
    render::BuiltChart built = render::build_chart(chart);
    QChart* old = this->chart();
    setChart(built.chart);
    delete old;
    setToolTip(qs(chart.tooltip));
}

QString ChartView::tooltip_at(const QPoint& viewport_position) const {
    QChart* shown = chart();
    if (!shown || shown->series().isEmpty() || data_.rows() == 0) return toolTip();
    const QPointF in_chart = shown->mapFromScene(mapToScene(viewport_position));
    if (!shown->plotArea().contains(in_chart)) return toolTip();
    // Row r stands at x = r (a bar's category) or r + x_shift (a point of the line).
    const QPointF value = shown->mapToValue(in_chart, shown->series().front());
    const long row = std::lround(value.x() - data_.x_shift);
    const QString text = render::hover_text(data_, int(row));
    return text.isEmpty() ? toolTip() : text;
}

bool ChartView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), tooltip_at(help->pos()), viewport());
        return true;
    }
    return QChartView::viewportEvent(event);
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    // A tooltip on show follows the mouse from bar to bar.
    if (QToolTip::isVisible())
        QToolTip::showText(event->globalPosition().toPoint(), tooltip_at(event->position().toPoint()), viewport());
    QChartView::mouseMoveEvent(event);
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
