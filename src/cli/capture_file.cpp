// Capture files from disk: the two count bytes and the data as received.
#include "cli/capture_file.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "cli/commands.h"

namespace nlx::cli {

Capture load_capture(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Failure("cannot read capture file " + file);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Failure("cannot read capture file " + file);
    auto capture = parse_capture(bytes);
    if (!capture) throw Failure("capture file " + file + ": " + capture.message());
    return std::move(capture).value();
}

}  // namespace nlx::cli
