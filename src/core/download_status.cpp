// Status texts of a download: each state, the percentage received and the way it ended.
#include "core/download_status.h"

#include "core/texts.h"

namespace nlx {

std::string_view outcome_name(DownloadOutcome outcome) {
    switch (outcome) {
    case DownloadOutcome::completed: return "completed";
    case DownloadOutcome::incomplete_stored: return "incomplete_stored";
    case DownloadOutcome::no_ack: return "no_ack";
    case DownloadOutcome::bad_ack: return "bad_ack";
    case DownloadOutcome::no_count: return "no_count";
    case DownloadOutcome::no_data: return "no_data";
    case DownloadOutcome::cancelled: return "cancelled";
    case DownloadOutcome::port_busy: return "port_busy";
    case DownloadOutcome::port_error: return "port_error";
    case DownloadOutcome::store_failed: return "store_failed";
    }
    return "unknown";
}

std::string download_status_text(DownloadOutcome outcome, const std::string& detail) {
    switch (outcome) {
    case DownloadOutcome::completed: return std::string(nlx::tr(texts::kReceived));
    case DownloadOutcome::incomplete_stored: return std::string(nlx::tr(texts::kDataLost));
    case DownloadOutcome::no_ack:
    case DownloadOutcome::no_count: return std::string(nlx::tr(texts::kNoAcknowledge));
    case DownloadOutcome::bad_ack: return std::string(nlx::tr(texts::kBadAcknowledge));
    case DownloadOutcome::no_data: return std::string(nlx::tr(texts::kNoData));
    case DownloadOutcome::cancelled: return std::string(nlx::tr(texts::kCancelled));
    case DownloadOutcome::port_error: return texts::port_error(detail);
    case DownloadOutcome::port_busy:
    case DownloadOutcome::store_failed: return detail;
    }
    return detail;
}

DownloadStatusLines::DownloadStatusLines(std::function<void(const std::string&)> status,
                                         std::function<void(const std::string&)> progress_status)
    : status_(std::move(status)), progress_status_(std::move(progress_status)) {}

void DownloadStatusLines::state(DownloadState state) {
    // The acknowledge has come when the request goes out.
    if (state == DownloadState::requesting && status_) status_(std::string(nlx::tr(texts::kReceiving)));
    if (state == DownloadState::receiving) seen_ = 0, shown_.clear();
}

void DownloadStatusLines::progress_line(const std::string& text) {
    if (progress_status_) progress_status_(text);
    else if (status_) status_(text);
}

void DownloadStatusLines::progress(std::size_t received, std::size_t announced) {
    for (; seen_ < received; ++seen_) {
        std::string text = texts::progress_text(seen_, announced);
        if (text != shown_) {
            shown_ = std::move(text);
            progress_line(shown_);
        }
    }
}

void DownloadStatusLines::reception_ended(bool complete) {
    if (status_) status_(std::string(complete ? nlx::tr(texts::kReceived) : nlx::tr(texts::kDataLost)));
}

void DownloadStatusLines::ended(DownloadOutcome outcome, const std::string& detail) {
    // A stored transfer's line was given when reception ended.
    if (outcome == DownloadOutcome::completed || outcome == DownloadOutcome::incomplete_stored) return;
    if (status_) status_(download_status_text(outcome, detail));
}

}  // namespace nlx
