// Lets Qt's serial port run on threads that Qt did not start (no event loop, no notifiers).
#pragma once

namespace nlx::link {

// Gives the calling thread a passive event dispatcher when it has none. The serial port then
// registers its notifiers without complaint; they never fire, because the link only uses the
// port's blocking waits. Must not be called on a thread that will later create the
// QCoreApplication: that application would inherit the passive dispatcher.
void ensure_thread_dispatcher();

}  // namespace nlx::link
