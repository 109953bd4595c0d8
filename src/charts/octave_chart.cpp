// Octave spectrum.
#include "charts/octave_chart.h"

#include "core/texts.h"

namespace nlx::charts {

Chart octave_chart(char model, const GroupRows& rows, std::size_t row) {
    static constexpr const char* kBands[] = {"31.5", "63", "125", "250", "500", "1k",
                                             "2k",   "4k", "8k",  "AP",  "LA",  "LC"};
    Chart chart;
    chart.style = ChartStyle::bars;
    chart.title = std::string(texts::kOctaveTitle);
    chart.tooltip = std::string(texts::kOctaveTooltip);
    chart.x_title = std::string(texts::kFrequencyAxis);
    chart.y_title = std::string(texts::kLevelAxis);
    const std::size_t bands = model == 'c' ? 12 : 11;
    for (std::size_t k = 0; k < bands; ++k) {
        const std::string text = rows.text(row, k + 1);
        chart.add(kBands[k], leading_number(text), text);
    }
    return chart;
}

}  // namespace nlx::charts
