// A printed page as data: lines of text runs, each in a face and size, at vertical positions in
// twips from the top of the printable area, as a line printer with a moving print position puts
// them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nlx::reports {

// The two faces the reports name: 宋体 (fixed pitch, a Chinese character two Latin columns wide)
// for the table, 黑体 for the title.
enum class Face { song, hei };
std::string_view face_name(Face face);  // "宋体", "黑体"

struct Font {
    Face face = Face::song;
    double points = 10;
    bool operator==(const Font&) const = default;
};

inline constexpr int kTwipsPerPoint = 20;
// The height a printed line of `font` takes: one em, as the reports' faces have it.
inline int line_twips(const Font& font) { return int(font.points * kTwipsPerPoint + 0.5); }

// Text printed from the left margin or after the previous run of the line, its top `drop`
// twips below the line's top.
struct Run {
    std::string text;
    Font font;
    int drop = 0;
};

struct Line {
    int top = 0;            // twips from the top of the printable area
    std::vector<Run> runs;  // one run at least; an empty line is one run of ""

    std::string text() const;  // the runs' texts joined
};

// The paper a page is printed on: the table report's A3, the assessment sheet's A4.
enum class Paper { a3, a4 };

struct Page {
    int number = 1;
    Paper paper = Paper::a3;
    std::vector<Line> lines;
    int height = 0;  // twips from the top to below the last line
};

// Collects lines as the print position moves down.
class PageWriter {
public:
    explicit PageWriter(int number) { page_.number = number; }
    // Prints `text` and ends the line: the position moves down by the run's drop and its height.
    void line(std::string text, Font font, int drop = 0);
    // Prints a run that leaves the line open; the next run continues after it.
    void open(std::string text, Font font);
    Page finish();

private:
    Page page_;
    int y_ = 0;
    std::vector<Run> open_;
};

}  // namespace nlx::reports
