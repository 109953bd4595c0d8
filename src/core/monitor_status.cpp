// Texts of the monitor's endings.
#include "core/monitor_status.h"

#include "core/texts.h"

namespace nlx {

std::string monitor_ending_text(MonitorOutcome outcome, const std::string& detail) {
    switch (outcome) {
    case MonitorOutcome::stopped:
    case MonitorOutcome::paced_out: return {};
    case MonitorOutcome::no_reply: return monitor_silence_text();
    case MonitorOutcome::port_busy: return detail;
    case MonitorOutcome::port_error: return texts::port_error(detail);
    }
    return detail;
}

std::string monitor_silence_text() { return std::string(nlx::tr(texts::kLiveNoReply)); }

}  // namespace nlx
