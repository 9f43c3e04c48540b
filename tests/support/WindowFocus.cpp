#include "tests/support/WindowFocus.h"

#include "tests/support/PhysicalPixels.h"

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kWindowFocusPixels = &gPhysicalPixels;

TGuiThreadState GuiThreadState(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (thread == 0 || !GetGUIThreadInfo(thread, &info))
    return {};
  return {info.hwndActive, info.hwndFocus, info.hwndCapture};
}

HWND FocusOf(HWND window) {
  return GuiThreadState(window).Focus;
}

bool WaitForFocus(HWND window, HWND expected, TDuration timeout) {
  return WaitUntil([&] { return FocusOf(window) == expected; }, timeout);
}

bool BringToFront(HWND window) {
  if (GetForegroundWindow() == window)
    return true;
  SetForegroundWindow(window);
  return WaitUntil([window] { return GetForegroundWindow() == window; });
}

} // namespace telvora::testing
