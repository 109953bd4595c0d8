// Flushing standard output at the end of a command, so that a lost listing fails the command.
#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace nlx::cli {

std::string flush_standard_output() {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    // The cause is known when this flush failed; an earlier write's failure only marked the stream.
    const int cause = flushed ? 0 : errno;
    if (flushed && !std::ferror(stdout)) return {};
    return std::string("the output could not be written") + (cause ? std::string(" (") + std::strerror(cause) + ")" : "") +
           "; what was printed is incomplete";
}

}  // namespace nlx::cli
