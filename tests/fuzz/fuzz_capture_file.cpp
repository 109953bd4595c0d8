// Fuzzes the reading of capture files with a header: whatever the bytes, parsing ends with a
// capture whose counts, model and digest agree with its header, or with a refusal.
#include "decode_invariants.h"

#include "core/sha256.h"

using nlx::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::span<const std::uint8_t> file(bytes, size);
    auto parsed = nlx::parse_capture_file(file);
    if (!parsed) {
        require(!parsed.message().empty(), "a refusal says why");
        return 0;
    }
    const nlx::CaptureFile& f = *parsed;
    require(f.model != nullptr, "a model a to e");
    require(f.received == f.capture.data.size(), "received bytes as the header says");
    require(f.announced == nlx::announced_bytes(*f.model, nlx::transfer_count(*f.model, f.capture.b1, f.capture.b2)),
            "announced bytes from the count bytes");
    // Written again, the capture reads back the same.
    auto again = nlx::parse_capture_file(nlx::capture_file_bytes(*f.model, f.origin, f.capture));
    require(again.ok(), "a capture written again parses");
    require(again->capture.data == f.capture.data && again->model == f.model, "round trip");
    return 0;
}
