// The last minute of shown live levels as a small line under the monitor's bar.
#pragma once

#include <QStringList>
#include <QWidget>
#include <QRectF>
#include <deque>
#include <vector>

namespace nlx::app {

class LevelTrend final : public QWidget {
    Q_OBJECT
public:
    explicit LevelTrend(QWidget* parent = nullptr);
    // A shown level (one a second); the oldest goes once a minute is held.
    void add(double level);
    void clear();
    const std::deque<double>& levels() const { return levels_; }
    void set_range(double low, double high);
    // The level scale at the strip's left: the captions of its bottom, middle and top.
    void set_labels(const QStringList& labels);
    const QStringList& labels() const { return labels_; }
    // Where the strip is drawn, and where each caption of the scale stands at the strip's size.
    QRectF strip() const;
    std::vector<QRectF> label_boxes() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::deque<double> levels_;
    double low_ = 30, high_ = 130;
    QStringList labels_;
};

}  // namespace nlx::app
