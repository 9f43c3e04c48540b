#include "tests/support/RealInput.h"

#include "tests/support/DesktopWindows.h"
#include "tests/support/PhysicalPixels.h"
#include "tests/support/WaitUntil.h"

#include <algorithm>

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kRealInputPixels = &gPhysicalPixels;

namespace {

bool SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  return SendInput(1, &input, sizeof(INPUT)) == 1;
}

// How long the pointer must stay at a point to count as arrived.
constexpr TDuration kPointerSettle = 40ms;

// Absolute input runs from 0 to 65535 over the virtual desktop. Rounding up
// makes the system's conversion back (rounding down) land on `pixel`.
LONG ToAbsolute(LONG pixel, int origin, int extent) {
  if (extent <= 0)
    return 0;
  long long scaled = (static_cast<long long>(pixel - origin) * 65536 + extent - 1) / extent;
  return static_cast<LONG>(std::clamp<long long>(scaled, 0, 65535));
}

// A mouse event at a screen point (absolute coordinates).
bool SendAbsoluteMouse(DWORD flags, POINT screen) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  return SendMouse(flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK,
                   ToAbsolute(screen.x, left, width), ToAbsolute(screen.y, top, height));
}

} // namespace

bool MoveMouseTo(POINT screen) {
  auto at = [screen] {
    POINT cursor{};
    return GetCursorPos(&cursor) && cursor.x == screen.x && cursor.y == screen.y;
  };
  // Under X11 the system hears of each move once more, a little later, from
  // the display; such a late echo of an earlier move can put the pointer
  // back where it was. The pointer has arrived once it stays at the point.
  const auto deadline = std::chrono::steady_clock::now() + kDesktopTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!SendAbsoluteMouse(MOUSEEVENTF_MOVE, screen))
      return false;
    if (!WaitUntil(at, 500ms))
      continue;
    if (!WaitUntil([&] { return !at(); }, kPointerSettle))
      return true;
    // Moved back by an echo: the next echo may bring it here again.
    if (WaitUntil(at, 100ms) && !WaitUntil([&] { return !at(); }, kPointerSettle))
      return true;
  }
  return false;
}

bool MouseButtonDown(std::optional<POINT> screen) {
  return screen ? SendAbsoluteMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, *screen)
                : SendMouse(MOUSEEVENTF_LEFTDOWN);
}

bool MouseButtonUp(std::optional<POINT> screen) {
  return screen ? SendAbsoluteMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, *screen)
                : SendMouse(MOUSEEVENTF_LEFTUP);
}

bool ClickAt(POINT screen) {
  // The button events carry the point too, so that a late echo of an
  // earlier move cannot put the press or the release elsewhere.
  return MoveMouseTo(screen) && MouseButtonDown(screen) && MouseButtonUp(screen);
}

bool RightClickAt(POINT screen) {
  return MoveMouseTo(screen) &&
         SendAbsoluteMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTDOWN, screen) &&
         SendAbsoluteMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTUP, screen);
}

bool ClickWindow(HWND window) {
  return ClickAt(WindowCentre(window));
}

bool PressKeys(const std::vector<WORD>& virtualKeys) {
  std::vector<INPUT> inputs;
  auto key = [](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
  };
  for (WORD vk : virtualKeys)
    inputs.push_back(key(vk, false));
  for (auto it = virtualKeys.rbegin(); it != virtualKeys.rend(); ++it)
    inputs.push_back(key(*it, true));
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

} // namespace telvora::testing
