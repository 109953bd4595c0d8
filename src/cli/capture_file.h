// Reading a capture file for the commands that take one (import, simulate).
#pragma once

#include <string>

#include "decode/capture.h"

namespace nlx::cli {

// Reads and parses a capture file; throws Failure with the file's name when it cannot.
Capture load_capture(const std::string& file);

}  // namespace nlx::cli
