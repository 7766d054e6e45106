// Waiting on the GUI thread without freezing it: the windows already shown
// (the opening logo) keep painting and answering while start-up pauses.
#pragma once

#include <chrono>

namespace shell {

// Turns the event loop of the calling (GUI) thread for duration, then
// returns. A zero or negative duration still handles the pending events
// once. Needs a QCoreApplication.
void WaitWithEventsTurning(std::chrono::milliseconds duration);

}  // namespace shell
