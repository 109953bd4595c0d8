// How a monitoring exchange ends, and the operator's words for it: the same texts in the
// monitor window and on the command line.
#pragma once

#include <string>

namespace nlx {

enum class MonitorOutcome {
    stopped,     // the operator closed the monitor
    no_reply,    // the instrument did not answer (the no-reply message was shown)
    paced_out,   // a reply came too late for its tick: ended without a message
    port_busy,   // another serial command holds the port
    port_error,  // the port could not be opened or failed
};

// What ended the exchange, for the operator; empty for stopped and paced_out. `detail` is the
// port's or the lock's own message.
std::string monitor_ending_text(MonitorOutcome outcome, const std::string& detail);

// The text shown when the instrument stops answering.
std::string monitor_silence_text();

}  // namespace nlx
