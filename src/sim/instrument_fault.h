// Faults the virtual instrument can play, as named on the command line ("stall-after=300").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/result.h"

namespace nlx::sim {

enum class FaultKind {
    none,
    bad_ack,         // answers the attention bytes with 55h instead of AAh
    no_ack,          // never answers the attention bytes
    zero_count,      // count bytes that announce no data
    negative_count,  // count bytes 00h 00h, a negative count for every model
    stale_bytes,     // garbage waits in the line before the host opens the port
    stall_after,     // stops sending after `after` data bytes; the line stays open
    close_after,     // hangs the line up after `after` data bytes
    no_live,         // never answers the live-level request
};

struct Fault {
    FaultKind kind = FaultKind::none;
    std::size_t after = 0;  // data bytes sent before a stall or hang-up
    bool operator==(const Fault&) const = default;
};

Result<Fault> parse_fault(std::string_view text);
// The fault names as the command line takes them ("none, bad-ack, …, stall-after=BYTES, …").
std::string known_names();
std::string fault_text(const Fault& fault);

}  // namespace nlx::sim
