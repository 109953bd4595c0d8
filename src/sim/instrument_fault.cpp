// Fault names to values and back.
#include "sim/instrument_fault.h"

#include <charconv>

namespace nlx::sim {
namespace {

struct Named {
    std::string_view name;
    FaultKind kind;
    bool takes_bytes;
};

constexpr Named kFaults[] = {
    {"none", FaultKind::none, false},
    {"bad-ack", FaultKind::bad_ack, false},
    {"no-ack", FaultKind::no_ack, false},
    {"zero-count", FaultKind::zero_count, false},
    {"negative-count", FaultKind::negative_count, false},
    {"stale-bytes", FaultKind::stale_bytes, false},
    {"stall-after", FaultKind::stall_after, true},
    {"close-after", FaultKind::close_after, true},
    {"no-live", FaultKind::no_live, false},
};

}  // namespace

std::string known_names() {
    std::string out;
    for (const auto& f : kFaults) {
        if (!out.empty()) out += ", ";
        out += std::string(f.name) + (f.takes_bytes ? "=BYTES" : "");
    }
    return out;
}

Result<Fault> parse_fault(std::string_view text) {
    auto eq = text.find('=');
    std::string_view name = text.substr(0, eq);
    for (const auto& f : kFaults) {
        if (f.name != name) continue;
        if (!f.takes_bytes) {
            if (eq != std::string_view::npos) return fail("fault " + std::string(name) + " takes no value");
            return Fault{f.kind, 0};
        }
        if (eq == std::string_view::npos) return fail("fault " + std::string(name) + " needs a byte count: " + std::string(name) + "=BYTES");
        std::string_view value = text.substr(eq + 1);
        std::size_t bytes = 0;
        auto res = std::from_chars(value.data(), value.data() + value.size(), bytes);
        if (value.empty() || res.ec != std::errc() || res.ptr != value.data() + value.size())
            return fail("fault " + std::string(name) + ": \"" + std::string(value) + "\" is not a byte count");
        return Fault{f.kind, bytes};
    }
    return fail("unknown fault \"" + std::string(text) + "\"; known faults: " + known_names());
}

std::string fault_text(const Fault& fault) {
    for (const auto& f : kFaults) {
        if (f.kind != fault.kind) continue;
        std::string text(f.name);
        if (f.takes_bytes) {
            text += '=';
            text += std::to_string(fault.after);
        }
        return text;
    }
    return "none";
}

}  // namespace nlx::sim
