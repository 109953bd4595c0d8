// The operator's status line during a download, from the session's events: the same texts on
// the command line and in the main window.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "core/download_events.h"

namespace nlx {

// The last status line of a download that ended with `outcome`; `detail` is the port's or the
// store's own message where the outcome has one.
std::string download_status_text(DownloadOutcome outcome, const std::string& detail);

// Turns the session's events into status lines, each given to `status` as it comes; the
// progress texts ("数据读取完37%") go to `progress_status` when it is set, else to `status`.
class DownloadStatusLines {
public:
    explicit DownloadStatusLines(std::function<void(const std::string&)> status,
                                 std::function<void(const std::string&)> progress_status = {});

    void state(DownloadState state);
    // `received` bytes of `announced` have arrived; every percentage passed is shown once.
    void progress(std::size_t received, std::size_t announced);
    void reception_ended(bool complete);
    void ended(DownloadOutcome outcome, const std::string& detail);

private:
    void progress_line(const std::string& text);

    std::function<void(const std::string&)> status_, progress_status_;
    std::size_t seen_ = 0;   // bytes whose progress text has been given
    std::string shown_;      // the last progress text given
};

}  // namespace nlx
