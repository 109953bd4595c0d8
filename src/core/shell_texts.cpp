// Confirmation message, speed options and the header rewrite of a grid click.
#include "core/shell_texts.h"

#include "core/texts.h"

namespace nlx {

std::string port_caption(const PortSpec& port) {
    return port.device.empty() ? "com" + std::to_string(port.number) : port.device;
}

std::string confirmation_message(const ModelInfo& model, const SerialSettings& settings) {
    std::string text(model.confirm_line);
    text += "\n";
    text += texts::kConfirmPort;
    text += port_caption(settings.port);
    text += "\n";
    text += texts::kConfirmSpeed;
    text += std::to_string(settings.baud);
    return text;
}

std::optional<int> speed_option_index(int baud) {
    for (int i = 0; i < int(std::size(kSpeeds)); ++i)
        if (kSpeeds[i] == baud) return i;
    return std::nullopt;
}

std::vector<HeaderCell> clicked_row_headers(char model, std::string_view mode) {
    static constexpr std::string_view kOctave[] = {"序号", "31.5", "63", "125", "250", "500",
                                                   "1k",   "2k",   "4k", "8k",  "AP",  "LA"};
    static constexpr std::string_view kSound[] = {"序号", "Leq", "L5",  "L10", "L50",  "L90",
                                                  "L95",  "SD",  "LAE", "Lmax", "Lmin", "E"};
    static constexpr std::string_view kVibration[] = {"序号", "VLeq", "VL5",  "VL10",  "VL50",  "VL90",
                                                      "VL95", "VSD",  "VLAV", "VLmax", "VLmin", "E"};
    if (model != 'b' && model != 'c' && model != 'd') return {};
    const bool octave = mode == "OCT";
    const std::string_view* names = octave ? kOctave : model == 'd' ? kVibration : kSound;
    std::vector<HeaderCell> cells;
    for (int i = 0; i < 12; ++i) cells.emplace_back(i + 1, names[i]);
    if (!octave) cells.emplace_back(13, "测量时间");
    else if (model == 'b') cells.emplace_back(13, "    ");
    else if (model == 'c') cells.emplace_back(13, "LC");
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
