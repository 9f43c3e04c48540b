#pragma once
// Running the test program's own message loop.

#include <functional>

namespace telvora::testing {

// Dispatches the messages already queued for this thread.
void PumpPending();
// Dispatches messages until `done` answers true; false if that does not
// happen within a generous limit (which only keeps a broken build from
// hanging).
bool PumpUntil(const std::function<bool()>& done);

} // namespace telvora::testing
