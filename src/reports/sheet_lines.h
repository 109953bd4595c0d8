// Breaking the sheet's lines to the label's width: at the last space that fits.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nlx::reports {

// The width of a piece of text in the label's font (UTF-8, any unit).
using TextWidth = std::function<double(std::string_view)>;

// `paragraph` (one line of the sheet text, no LF) as the label shows it `width` wide: a line that
// does not fit breaks at its last space that fits, the space itself dropped and the next line
// starting at the next word; only a word wider than the whole line is cut, after its last
// character that fits (at least one character a line). Spaces at the start of the paragraph are
// kept: they indent the sheet's columns.
std::vector<std::string> break_at_spaces(std::string_view paragraph, double width, const TextWidth& text_width);

}  // namespace nlx::reports
