#pragma once
// The message loop and the real pointer, as the bench programs drive them.

#include <windows.h>

#include <algorithm>

namespace telvora::bench {

// Handles every message already queued.
inline void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Handles messages until ACondition holds or ATimeout milliseconds pass.
template <class F> bool PumpUntil(F ACondition, DWORD ATimeout = 5000) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpPending();
    if (ACondition())
      return true;
    if (GetTickCount() - start > ATimeout)
      return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// The real pointer to a point of the screen, as a person moves it.
inline void MovePointer(POINT AScreen) {
  const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const int x0 = GetSystemMetrics(SM_XVIRTUALSCREEN), y0 = GetSystemMetrics(SM_YVIRTUALSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((AScreen.x - x0) * 65535.0 / std::max(1, w - 1) + 0.5);
  input.mi.dy = static_cast<LONG>((AScreen.y - y0) * 65535.0 / std::max(1, h - 1) + 0.5);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  SendInput(1, &input, sizeof(input));
}

} // namespace telvora::bench
