// A chart as data: one labelled series, its title, tooltip and axes, ready for any painter.
#pragma once

#include <string>
#include <vector>

namespace nlx::charts {

enum class ChartStyle { bars, line };

// A vertical marker at a position of the row axis (row 1 at 0, fractional between rows).
struct ChartMark {
    double x = 0;
    std::string label;
};

// A horizontal line at a level over a stretch of the row axis (row 1 at 0): a limit drawn over
// the rows it holds for.
struct ChartLevel {
    double from = 0, to = 0;
    double level = 0;
    std::string label;
    bool operator==(const ChartLevel&) const = default;
};

struct Chart {
    ChartStyle style = ChartStyle::bars;
    std::string title;
    std::string tooltip;
    std::string x_title, y_title;
    std::vector<std::string> labels;       // one per row; empty for a row without a label
    std::vector<double> values;            // one per row
    std::vector<std::string> value_texts;  // the values as set, shown when a row is hovered
    std::vector<std::string> names;        // what a hovered row is called ("45 dB"); "" for its label
    std::vector<ChartMark> marks;
    std::vector<ChartLevel> levels;
    std::string note;                      // one line under the title; may be empty
    double y_max = 0;                      // top of the value axis; 0: from the values
    double x_shift = 0;                    // a line's points sit this far right of their row

    std::size_t rows() const { return values.size(); }
    void add(std::string label, double value, std::string text, std::string name = {}) {
        labels.push_back(std::move(label));
        values.push_back(value);
        value_texts.push_back(std::move(text));
        names.push_back(std::move(name));
    }
};

// The leading number of a text as the instrument's tables hold it: spaces skipped, then a sign,
// digits and a decimal point as far as they go ("12:00:00" gives 12, "" and "abc" give 0).
double leading_number(std::string_view text);

}  // namespace nlx::charts
