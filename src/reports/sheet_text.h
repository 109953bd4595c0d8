// The single-group sheet: the labelled values of one group as the text printed in the sheet
// label's place, and where that label stands on the page.
#pragma once

#include "core/models.h"

#include <string>

#include "reports/print_page.h"
#include "reports/report_rows.h"

namespace nlx::reports {

// The sheet label's box in twips from the page's top left, and its font: text wraps at a space
// to the box's width and what does not fit its height is not shown.
struct SheetBox {
    int left = 0, top = 1920, width = 11895, height = 1215;
    Font font{Face::song, 10};
};

// The sheet text of `row` for `model`, lines separated by LF alone. Models b and c have an
// octave form for a group whose MODE is "OCT"; model d its own names (VLeq .. VLmin, VSD, and
// VLAV, or VLAE for a MODE "OCT" group). A missing value is left out, its label stays.
std::string sheet_text(const ModelInfo& model, const ReportRows& rows, std::size_t row);

}  // namespace nlx::reports
