#pragma once
// Which window of another program has the keyboard focus, and bringing a
// window to the foreground so that keys reach it.

#include "tests/support/WaitUntil.h"

#include <windows.h>

namespace telvora::testing {

// The thread state of another program's GUI thread (the thread owning `window`).
struct TGuiThreadState {
  HWND Active = nullptr;
  HWND Focus = nullptr;
  HWND Capture = nullptr;
};
TGuiThreadState GuiThreadState(HWND window);
// The window with the keyboard focus in the thread owning `window`.
HWND FocusOf(HWND window);
// Waits until the focus of the thread owning `window` is `expected`.
bool WaitForFocus(HWND window, HWND expected, TDuration timeout = kDesktopTimeout);

// Makes `window` the foreground window so that keys reach it.
bool BringToFront(HWND window);

} // namespace telvora::testing
