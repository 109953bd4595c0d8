// How a download shows itself on the command line: a progress bar on a terminal, plain lines
// otherwise.
#pragma once

#include <iosfwd>
#include <memory>

#include "link/download_session.h"

namespace nlx::cli {

// An observer that writes the download's status texts to `out`. On a terminal the progress
// texts rewrite one line with a bar; elsewhere every status text is one line, the progress
// texts only at each tenth.
link::DownloadObserver download_display(std::ostream& out, bool terminal);

}  // namespace nlx::cli
