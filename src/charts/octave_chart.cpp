// Octave spectrum.
#include "charts/octave_chart.h"

#include "core/texts.h"

namespace nlx::charts {

Chart octave_chart(const ModelInfo& model, const GroupRows& rows, std::size_t row) {
    Chart chart;
    chart.style = ChartStyle::bars;
    chart.title = std::string(nlx::tr(texts::kOctaveTitle));
    chart.tooltip = std::string(nlx::tr(texts::kOctaveTooltip));
    chart.x_title = std::string(nlx::tr(texts::kFrequencyAxis));
    chart.y_title = std::string(nlx::tr(texts::kLevelAxis));
    const std::size_t bands = std::size_t(model.octave.bands);
    for (std::size_t k = 0; k < bands && k < kOctaveBands.size(); ++k) {
        const std::string text = rows.text(row, k + 1);
        chart.add(std::string(kOctaveBands[k]), leading_number(text), text);
    }
    return chart;
}

}  // namespace nlx::charts
