// Texts the desktop's windows compose from the model table and the serial settings.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/models.h"
#include "core/settings.h"

namespace nlx {

// A port as the operator names it: "com1" .. "com3", or its device name.
std::string port_caption(const PortSpec& port);

// The "提示" box after a model is confirmed: the model's line, then "      串行口为：com" and the
// port number (or the device name of a port that has one), then "      波特率为：" and the speed.
std::string confirmation_message(const ModelInfo& model, const SerialSettings& settings);

// The speed option of the settings dialog for `baud`: 9600 -> 0, 4800 -> 1, 2400 -> 2,
// 1200 -> 3; nullopt for a speed outside the list.
std::optional<int> speed_option_index(int baud);

// A header cell of the record grid: grid column (1 on) and its text.
using HeaderCell = std::pair<int, std::string_view>;

// The header cells a click on a row rewrites for models b, c and d: the octave band names when
// the row's MODE is exactly "OCT", the statistical names otherwise. Empty for models a and e.
std::vector<HeaderCell> clicked_row_headers(const ModelInfo& model, std::string_view mode);

// Grid column of MODE, where the click reads the row's kind (models b, c, d).
inline constexpr int kModeGridColumn = 16;
// Grid column of the history file name of model a.
inline constexpr int kFilenameGridColumn = 23;

// True when a model a grid cell names a history file the click may open: it ends in ".li" or
// ".ln" and is a plain file name (no folder part), so it can only name a file of the storage folder.
bool opens_history_file(std::string_view cell);

}  // namespace nlx
