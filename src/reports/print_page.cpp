// Lines and pages of the printed reports.
#include "reports/print_page.h"

namespace nlx::reports {

std::string_view face_name(Face face) { return face == Face::hei ? "黑体" : "宋体"; }

std::string Line::text() const {
    std::string joined;
    for (const auto& run : runs) joined += run.text;
    return joined;
}

void PageWriter::open(std::string text, Font font) { open_.push_back({std::move(text), font, 0}); }

void PageWriter::line(std::string text, Font font, int drop) {
    Line line;
    line.top = y_;
    line.runs = std::move(open_);
    open_.clear();
    line.runs.push_back({std::move(text), font, drop});
    y_ += drop + line_twips(font);
    page_.lines.push_back(std::move(line));
}

Page PageWriter::finish() {
    if (!open_.empty()) line("", open_.back().font);
    page_.height = y_;
    return std::move(page_);
}

}  // namespace nlx::reports
