#include "tests/support/MessagePump.h"

#include <windows.h>

namespace telvora::testing {

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done) {
  const ULONGLONG limit = GetTickCount64() + 10000;
  while (!done()) {
    if (GetTickCount64() > limit)
      return false;
    PumpPending();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

} // namespace telvora::testing
