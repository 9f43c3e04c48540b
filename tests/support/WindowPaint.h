#pragma once
// Waiting for another program's windows to paint, and for their look to
// stop changing (fades over).

#include "tests/support/ScreenCapture.h"
#include "tests/support/WaitUntil.h"

#include <windows.h>

namespace telvora::testing {

// Whether a window, or a visible window below it, has something left to
// paint (an update region), whatever process it belongs to.
bool PaintPending(HWND window);
// Waits until the window's top-level window and everything in it have
// painted and its thread has answered a message sent after that.
bool WaitUntilPainted(HWND window, TDuration timeout = kDesktopTimeout);
// The look once it has stopped changing: first painted (a window made a
// moment ago may show nothing yet, and show it steadily), then the same in
// three pictures taken 60 ms apart (fades over), at most `timeout` long.
TPixels SettledLook(HWND window, TDuration timeout = kDesktopTimeout);

} // namespace telvora::testing
