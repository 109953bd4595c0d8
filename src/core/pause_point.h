// Named points where a process can be held still, so that tests can act at an exact moment.
#pragma once

#include <string_view>

namespace nlx {

// When the environment variable NLX_PAUSE_AT names this point, the process stops itself here
// (SIGSTOP) and goes on when it is continued (SIGCONT); otherwise nothing happens. A test that
// starts the process sees it stopped with waitpid(WUNTRACED), does what it must at that
// moment, and continues it.
void pause_point(std::string_view name);

}  // namespace nlx
