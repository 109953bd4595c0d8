// Terminal rendering of the download's status line and progress.
#include "cli/download_display.h"

#include <algorithm>
#include <ostream>
#include <string>

#include "core/download_status.h"
#include "core/texts.h"

namespace nlx::cli {
namespace {

struct DisplayState {
    bool on_progress_line = false;
    std::size_t last_tenth = std::size_t(-1);
};

std::string bar(std::size_t received, std::size_t announced) {
    constexpr int width = 30;
    int filled = announced == 0 ? 0 : int(received * width / announced);
    std::string text(std::size_t(width + 2), '-');
    text.front() = '[';
    text.back() = ']';
    std::fill_n(text.begin() + 1, filled, '#');
    return text;
}

}  // namespace

link::DownloadObserver download_display(std::ostream& out, bool terminal) {
    auto state = std::make_shared<DisplayState>();
    auto print = [state, &out](const std::string& text) {
        if (state->on_progress_line) out << "\r\x1b[K";
        state->on_progress_line = false;
        out << text << std::endl;
    };
    // The status line's own progress texts are left out: the console shows the bytes instead.
    auto lines = std::make_shared<DownloadStatusLines>(print, [](const std::string&) {});
    link::DownloadObserver o;
    o.state = [lines](DownloadState s) { lines->state(s); };
    o.reception_ended = [lines](bool complete) { lines->reception_ended(complete); };
    o.ended = [lines](DownloadOutcome outcome, const std::string& detail) { lines->ended(outcome, detail); };
    o.progress = [state, &out, terminal](std::size_t received, std::size_t announced) {
        if (announced == 0 || received == 0) return;
        // The text the status line shows after the last byte received.
        const std::string text = texts::progress_text(received - 1, announced);
        if (terminal) {
            out << "\r" << bar(received, announced) << " " << text << "\x1b[K" << std::flush;
            state->on_progress_line = true;
            return;
        }
        // Logs get a line at each tenth of the transfer only.
        const std::size_t tenth = std::size_t((static_cast<unsigned long long>(received - 1) * 10) / announced);
        if (tenth == state->last_tenth) return;
        state->last_tenth = tenth;
        out << text << std::endl;
    };
    return o;
}

}  // namespace nlx::cli
