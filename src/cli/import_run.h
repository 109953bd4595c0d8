// nlx import's work: stores a capture file as a download would have stored it.
#pragma once

#include "cli/command_forms.h"

namespace nlx::cli {

// Prints the summary on stdout and the decoder's notes on stderr; throws Failure with the message
// for a capture that cannot be read or stored (the records then unchanged).
void run_import(const ImportRequest& request);

}  // namespace nlx::cli
