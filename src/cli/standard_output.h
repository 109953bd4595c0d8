// Whether all a command printed reached its standard output (a full disk, a closed pipe).
#pragma once

#include <string>

namespace nlx::cli {

// Flushes standard output; empty when every byte went out, else what went wrong.
std::string flush_standard_output();

}  // namespace nlx::cli
