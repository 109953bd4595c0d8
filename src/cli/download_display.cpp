// Terminal rendering of the download's status line and progress.
#include "cli/download_display.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace nlx::cli {
namespace {

const std::string kProgressPrefix = "数据读取完";

struct DisplayState {
    bool on_progress_line = false;
    std::size_t received = 0, announced = 0;
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
    link::DownloadObserver o;
    o.progress = [state](std::size_t received, std::size_t announced) {
        state->received = received;
        state->announced = announced;
    };
    o.status = [state, &out, terminal](const std::string& text) {
        bool progress = text.rfind(kProgressPrefix, 0) == 0;
        if (terminal) {
            if (progress) {
                out << "\r" << bar(state->received, state->announced) << " " << text << "\x1b[K" << std::flush;
                state->on_progress_line = true;
                return;
            }
            if (state->on_progress_line) out << "\r\x1b[K";
            state->on_progress_line = false;
            out << text << std::endl;
            return;
        }
        if (progress) {
            // "数据读取完37%": print only every tenth per cent to keep logs short.
            std::string digits = text.substr(kProgressPrefix.size());
            if (digits.size() < 2 || digits[digits.size() - 2] != '0') return;
        }
        out << text << std::endl;
    };
    return o;
}

}  // namespace nlx::cli
