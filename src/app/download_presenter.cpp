// Status line and please-wait window of the main window during a download.
#include "app/download_presenter.h"

#include "core/texts.h"

namespace nlx::app {

DownloadPresenter::DownloadPresenter(const ModelInfo& model, DownloadView view)
    : hides_when_reception_starts_(model.transfer.unit == 1),
      view_(std::move(view)),
      lines_([this](const std::string& text) {
          if (view_.status) view_.status(text);
      }) {}

link::DownloadObserver DownloadPresenter::observer() {
    link::DownloadObserver o;
    o.state = [this](DownloadState s) { state(s); };
    o.progress = [this](std::size_t received, std::size_t announced) { progress(received, announced); };
    o.reception_ended = [this](bool complete) { reception_ended(complete); };
    o.ended = [this](DownloadOutcome outcome, const std::string& detail) { ended(outcome, detail); };
    return o;
}

void DownloadPresenter::show(std::string_view caption) {
    shown_ = true;
    if (view_.show_wait) view_.show_wait(std::string(caption));
}

void DownloadPresenter::hide() {
    if (!shown_) return;
    shown_ = false;
    if (view_.hide_wait) view_.hide_wait();
}

void DownloadPresenter::state(DownloadState s) {
    if (s == DownloadState::opening) show(nlx::tr(texts::kReadingCaption));
    lines_.state(s);
    if (s == DownloadState::receiving && hides_when_reception_starts_) hide();
    if (s == DownloadState::storing) show(nlx::tr(texts::kStoringCaption));
}

void DownloadPresenter::reception_ended(bool complete) {
    lines_.reception_ended(complete);
    if (complete) hide();
}

void DownloadPresenter::ended(DownloadOutcome outcome, const std::string& detail) {
    const bool text_first = outcome == DownloadOutcome::bad_ack;
    if (!text_first) hide();
    lines_.ended(outcome, detail);
    if (text_first) hide();
}

}  // namespace nlx::app
