#include "tests/support/WindowPaint.h"

#include "tests/support/PhysicalPixels.h"

#include <thread>
#include <utility>

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kWindowPaintPixels = &gPhysicalPixels;

namespace {
BOOL CALLBACK FindChildToPaint(HWND child, LPARAM found) {
  if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE))
    *reinterpret_cast<bool*>(found) = true;
  return *reinterpret_cast<bool*>(found) ? FALSE : TRUE;
}
} // namespace

bool PaintPending(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE))
    return true;
  bool pending = false;
  EnumChildWindows(window, FindChildToPaint, reinterpret_cast<LPARAM>(&pending));
  return pending;
}

bool WaitUntilPainted(HWND window, TDuration timeout) {
  HWND root = GetAncestor(window, GA_ROOT);
  return WaitUntil(
      [root] {
        DWORD_PTR answer = 0;
        return !PaintPending(root) &&
               SendMessageTimeoutW(root, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) &&
               !PaintPending(root);
      },
      timeout);
}

TPixels SettledLook(HWND window, TDuration timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  WaitUntilPainted(window, timeout);
  TPixels last = CaptureWindow(window);
  int same = 1;
  while (same < 3 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(60ms);
    TPixels now = CaptureWindow(window);
    same = now == last ? same + 1 : 1;
    last = std::move(now);
  }
  return last;
}

} // namespace telvora::testing
