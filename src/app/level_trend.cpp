// Trend of the shown levels: a polyline on the monitor's scale, newest at the right.
#include "app/level_trend.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "app/qt_text.h"
#include "core/texts.h"

namespace nlx::app {

namespace {
constexpr std::size_t kMinute = 60;  // shown levels come about once a second
}

LevelTrend::LevelTrend(QWidget* parent) : QWidget(parent) {
    setObjectName("trend");
    setMinimumHeight(60);
    setToolTip(qtr(texts::kTrendTooltip));
}

void LevelTrend::add(double level) {
    levels_.push_back(level);
    while (levels_.size() > kMinute) levels_.pop_front();
    update();
}

void LevelTrend::clear() {
    levels_.clear();
    update();
}

void LevelTrend::set_range(double low, double high) {
    low_ = low;
    high_ = high > low ? high : low + 1;
    update();
}

void LevelTrend::set_labels(const QStringList& labels) {
    labels_ = labels;
    update();
}

QRectF LevelTrend::strip() const {
    // The scale takes a margin at the left, as wide as its widest caption, and half a caption's
    // height above and below, so that the captions of the top and bottom stand whole.
    const QFontMetrics metrics(font());
    int margin = 0;
    for (const auto& label : labels_) margin = std::max(margin, metrics.horizontalAdvance(label) + 4);
    const double half = labels_.isEmpty() ? 0.0 : metrics.height() / 2.0;
    return QRectF(rect()).adjusted(2 + margin, 2 + half, -2, -2 - half);
}

std::vector<QRectF> LevelTrend::label_boxes() const {
    const QRectF area = strip();
    const double height = QFontMetrics(font()).height();
    std::vector<QRectF> boxes;
    for (int k = 0; k < int(labels_.size()); ++k) {
        const double share = labels_.size() > 1 ? double(k) / double(labels_.size() - 1) : 0.0;
        const double y = area.bottom() - share * area.height();
        boxes.emplace_back(0, y - height / 2.0, area.left() - 4, height);
    }
    return boxes;
}

void LevelTrend::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = strip();
    painter.setPen(QPen(palette().mid().color(), 1));
    painter.drawRect(area);
    painter.setPen(palette().text().color());
    const auto boxes = label_boxes();
    for (std::size_t k = 0; k < boxes.size(); ++k)
        painter.drawText(boxes[k], Qt::AlignRight | Qt::AlignVCenter, labels_[qsizetype(k)]);
    if (levels_.size() < 2) return;
    const double step = area.width() / double(kMinute - 1);
    auto y = [&](double level) {
        const double share = std::clamp((level - low_) / (high_ - low_), 0.0, 1.0);
        return area.bottom() - share * area.height();
    };
    QPainterPath path;
    const double first_x = area.right() - step * double(levels_.size() - 1);
    for (std::size_t k = 0; k < levels_.size(); ++k) {
        const QPointF point(first_x + step * double(k), y(levels_[k]));
        if (k == 0) path.moveTo(point);
        else path.lineTo(point);
    }
    painter.setPen(QPen(QColor(32, 96, 160), 2));
    painter.drawPath(path);
}

}  // namespace nlx::app
