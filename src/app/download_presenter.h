// The main window's view of a download: the status line's texts and the please-wait window,
// from the session's events.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/download_status.h"
#include "core/models.h"
#include "link/download_session.h"

namespace nlx::app {

struct DownloadView {
    std::function<void(const std::string& text)> status;
    std::function<void(const std::string& caption)> show_wait;
    std::function<void()> hide_wait;
};

// The please-wait window shows 读取数据中... from the opening of the port and 存储数据中... while
// the transfer is stored. A transfer counted in bytes (its progress is on the status line) lets
// it go as soon as reception starts; a block transfer keeps it until everything has arrived.
// A wrong acknowledge is shown before the window goes, every other ending once it has gone.
class DownloadPresenter {
public:
    DownloadPresenter(const ModelInfo& model, DownloadView view);

    // The session's observer; it refers to this presenter, which must outlive the session.
    link::DownloadObserver observer();

    void state(DownloadState state);
    void progress(std::size_t received, std::size_t announced) { lines_.progress(received, announced); }
    void reception_ended(bool complete);
    void ended(DownloadOutcome outcome, const std::string& detail);

private:
    void show(std::string_view caption);
    void hide();

    bool hides_when_reception_starts_;
    DownloadView view_;
    DownloadStatusLines lines_;
    bool shown_ = false;
};

}  // namespace nlx::app
