// Confirmation message, speed options and the header rewrite of a grid click.
#include "core/shell_texts.h"

#include "core/models.h"
#include "core/texts.h"

namespace nlx {

std::string port_caption(const PortSpec& port) {
    return port.device.empty() ? "com" + std::to_string(port.number) : port.device;
}

std::string confirmation_message(const ModelInfo& model, const SerialSettings& settings) {
    std::string text = model_text(model.confirm_line);
    text += "\n";
    text += fill(nlx::tr(texts::kConfirmPort), {port_caption(settings.port)});
    text += "\n";
    text += fill(nlx::tr(texts::kConfirmSpeed), {std::to_string(settings.baud)});
    return text;
}

std::optional<int> speed_option_index(int baud) {
    for (int i = 0; i < int(std::size(kSpeeds)); ++i)
        if (kSpeeds[i] == baud) return i;
    return std::nullopt;
}

std::vector<HeaderCell> clicked_row_headers(const ModelInfo& model, std::string_view mode) {
    if (!model.headers_follow_the_row) return {};
    const bool octave = mode == kOctaveMode;
    const LevelColumns& l = model.levels;
    const std::array<std::string_view, 11> statistics = {l.leq, l.l5, l.l10, l.l50, l.l90, l.l95,
                                                         l.sd, l.exposure, l.lmax, l.lmin, "E"};
    std::vector<HeaderCell> cells;
    cells.emplace_back(1, kSeqColumn);
    for (int i = 0; i < 11; ++i) cells.emplace_back(i + 2, octave ? kOctaveBands[std::size_t(i)] : statistics[std::size_t(i)]);
    if (!octave) cells.emplace_back(13, kMeasuredTimeColumn);
    else if (!model.octave.measured_time_header.empty()) cells.emplace_back(13, model.octave.measured_time_header);
    return cells;
}

bool opens_history_file(std::string_view cell) {
    auto ends = [&](std::string_view tail) {
        return cell.size() > tail.size() && cell.substr(cell.size() - tail.size()) == tail;
    };
    if (!ends(".li") && !ends(".ln")) return false;
    if (cell.find('/') != std::string_view::npos || cell.find('\\') != std::string_view::npos) return false;
    return cell != ".." && cell.find('\0') == std::string_view::npos;
}

}  // namespace nlx
