// A chart of the charts module drawn with Qt Charts: bars or a line over a labelled row axis.
#pragma once

#include <QString>

#include "charts/chart.h"

class QChart;
class QBarSet;
class QLineSeries;

namespace nlx::render {

struct BuiltChart {
    QChart* chart = nullptr;       // owned by the caller (or the view it is given to)
    QBarSet* bars = nullptr;       // the series of a bar chart, for hover
    QLineSeries* line = nullptr;   // the series of a line chart, for hover
};

BuiltChart build_chart(const charts::Chart& data);

// "31.5: 62.4" — what hovering row `row` shows.
QString hover_text(const charts::Chart& data, int row);

}  // namespace nlx::render
