// Handing a command line to one of nlx's private programs, which keeps the process.
#pragma once

namespace nlx::cli {

// Runs `program` (beside nlx, or in <prefix>/lib/nlx) in this process with argv; returns 1 only
// after saying why it could not, naming what it is for (`holds`: "the commands that ...") and
// where it was looked for.
int hand_over(const char* program, const char* holds, char** argv);

}  // namespace nlx::cli
