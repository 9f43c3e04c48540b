#include "tests/support/PhysicalPixels.h"

#include <windows.h>

namespace telvora::testing {

// Without this, Windows would map the sizes of a program running at another
// resolution to ours.
const bool gPhysicalPixels =
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE;

} // namespace telvora::testing
