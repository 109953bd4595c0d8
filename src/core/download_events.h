// What a download goes through and how it ends: the words its session reports in, which the
// command line and the desktop each turn into their own texts and windows.
#pragma once

#include <string_view>

namespace nlx {

enum class DownloadState { idle, opening, waiting_for_acknowledge, requesting, receiving, storing };

enum class DownloadOutcome {
    completed,          // every announced byte arrived and the hook stored it
    incomplete_stored,  // reception stopped early; the hook stored what arrived
    no_ack,             // no byte answered the attention bytes
    bad_ack,            // the answer was not the acknowledge
    no_count,           // the two count bytes did not come
    no_data,            // the count says the instrument holds nothing (zero or negative)
    cancelled,          // stopped on request; nothing stored
    port_busy,          // another serial command holds the port
    port_error,         // the port could not be opened, or failed before reception
    store_failed,       // the hook reported a failure
};

std::string_view outcome_name(DownloadOutcome outcome);

}  // namespace nlx
