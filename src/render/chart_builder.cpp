// Qt Charts drawing of one chart.
#include "render/chart_builder.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QSet>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace nlx::render {
namespace {

QString qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

const QColor kSeriesColour(32, 96, 160);
const QColor kMarkColour(200, 70, 40);
// Limit lines, one colour per limit (day, night).
const QColor kLevelColours[] = {QColor(214, 120, 0), QColor(120, 60, 170), QColor(0, 130, 110)};

}  // namespace

QString hover_text(const charts::Chart& data, int row) {
    if (row < 0 || std::size_t(row) >= data.rows()) return {};
    const std::size_t r = std::size_t(row);
    QString name = r < data.names.size() ? qs(data.names[r]) : QString();
    if (name.isEmpty()) name = qs(data.labels[r]);
    return name + QStringLiteral(": ") + qs(data.value_texts[r]);
}

BuiltChart build_chart(const charts::Chart& data) {
    BuiltChart built;
    auto* chart = new QChart;
    built.chart = chart;
    QString title = QStringLiteral("<b>%1</b>").arg(qs(data.title).toHtmlEscaped());
    if (!data.note.empty()) title += QStringLiteral("<br><small>%1</small>").arg(qs(data.note).toHtmlEscaped());
    chart->setTitle(title);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);

    const int rows = int(data.rows());
    auto* x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x->setStartValue(-0.5);
    QSet<QString> used;
    for (int r = 0; r < rows; ++r) {
        const QString label = qs(data.labels[std::size_t(r)]);
        // A category axis keeps one place per label: a repeated hour keeps its first place.
        if (label.trimmed().isEmpty() || used.contains(label)) continue;
        used.insert(label);
        x->append(label, r);
    }
    x->setRange(-0.5, std::max(rows, 1) - 0.5);
    x->setTitleText(qs(data.x_title));
    x->setGridLineVisible(false);

    double low = 0, high = 1;
    for (double v : data.values) low = std::min(low, v), high = std::max(high, v);
    // A limit above every value still shows.
    for (const auto& level : data.levels) low = std::min(low, level.level), high = std::max(high, level.level);
    auto* y = new QValueAxis;
    y->setTitleText(qs(data.y_title));
    if (data.y_max > 0 && high <= data.y_max) {
        y->setRange(low, data.y_max);
        y->setTickCount(6);
    } else {
        y->setRange(low, high + (high - low) * 0.08);
        y->applyNiceNumbers();
    }
    // As many decimals as the tick step needs, so that no two ticks read alike ("0, 1, 1, 2").
    const double step = (y->max() - y->min()) / std::max(1, y->tickCount() - 1);
    auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-6; };
    y->setLabelFormat(whole(step) && whole(y->min()) ? QStringLiteral("%.0f")
                      : whole(step * 10) && whole(y->min() * 10) ? QStringLiteral("%.1f")
                                                                 : QStringLiteral("%.2f"));

    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    if (data.style == charts::ChartStyle::bars) {
        auto* set = new QBarSet(qs(data.title));
        set->setColor(kSeriesColour);
        set->setBorderColor(kSeriesColour.darker(120));
        for (double v : data.values) set->append(v);
        auto* series = new QBarSeries;
        series->append(set);
        series->setBarWidth(rows > 30 ? 0.9 : 0.6);
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        built.bars = set;
    } else {
        auto* series = new QLineSeries;
        series->setName(qs(data.title));
        series->setPen(QPen(kSeriesColour, 2));
        series->setPointsVisible(rows <= 30);
        for (int r = 0; r < rows; ++r) series->append(r + data.x_shift, data.values[std::size_t(r)]);
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        built.line = series;
    }

    for (const auto& mark : data.marks) {
        auto* line = new QLineSeries;
        line->setName(qs(mark.label));
        line->setPen(QPen(kMarkColour, 1.5, Qt::DashLine));
        line->append(mark.x, y->min());
        line->append(mark.x, y->max());
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    // A limit is one colour and one legend entry, however many stretches of rows it is drawn over.
    QStringList limit_names;
    std::vector<QLineSeries*> repeated;
    for (const auto& level : data.levels) {
        const QString name = qs(level.label);
        qsizetype k = limit_names.indexOf(name);
        const bool seen = k >= 0;
        if (!seen) {
            k = limit_names.size();
            limit_names << name;
        }
        auto* line = new QLineSeries;
        line->setName(name);
        line->setPen(QPen(kLevelColours[std::size_t(k) % std::size(kLevelColours)], 2, Qt::DashLine));
        line->append(level.from, level.level);
        line->append(level.to, level.level);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
        if (seen) repeated.push_back(line);
    }
    // The legend names the marks and limits only; the series is named by the title.
    const bool legend = !data.marks.empty() || !data.levels.empty();
    chart->legend()->setVisible(legend);
    chart->legend()->setAlignment(Qt::AlignTop);
    if (legend)
        for (auto* marker : chart->legend()->markers(chart->series().front())) marker->setVisible(false);
    for (auto* line : repeated)
        for (auto* marker : chart->legend()->markers(line)) marker->setVisible(false);
    return built;
}

}  // namespace nlx::render
