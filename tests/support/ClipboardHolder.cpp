// Holds the clipboard open for other processes' tests:
//   clipboard-holder.exe READY_EVENT RELEASE_EVENT [HOLD_MS PERIOD_MS]
// opens the clipboard for a window of its own, signals READY_EVENT, waits (at
// most 60 s) for RELEASE_EVENT and closes the clipboard again. With HOLD_MS
// and PERIOD_MS it holds the clipboard only for HOLD_MS in every PERIOD_MS,
// as a clipboard history tool reading every change does, until
// RELEASE_EVENT: READY_EVENT is signalled once it has held it the first
// time. (Sleep rounds the times up to the system timer's resolution.)

#include <windows.h>

#include <cwchar>

namespace {

int HoldUntilReleased(HWND window, HANDLE ready, HANDLE release) {
  if (!OpenClipboard(window))
    return 4;
  SetEvent(ready);
  WaitForSingleObject(release, 60000);
  CloseClipboard();
  return 0;
}

int HoldNowAndThen(HWND window, HANDLE ready, HANDLE release, DWORD hold, DWORD period) {
  const ULONGLONG end = GetTickCount64() + 60000;
  bool held = false;
  while (GetTickCount64() < end) {
    if (OpenClipboard(window)) {
      if (!held)
        SetEvent(ready);
      held = true;
      Sleep(hold);
      CloseClipboard();
      if (WaitForSingleObject(release, period - hold) == WAIT_OBJECT_0)
        return 0;
    } else if (WaitForSingleObject(release, 1) == WAIT_OBJECT_0) {
      return held ? 0 : 4;
    }
  }
  return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 5)
    return 2;
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
  if (!ready || !release)
    return 3;
  // The clipboard is held by a window: opens without one are not exclusive
  // of each other everywhere.
  HWND window = CreateWindowExW(0, L"STATIC", L"clipboard holder", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  int result = 4;
  if (window && argc == 3) {
    result = HoldUntilReleased(window, ready, release);
  } else if (window) {
    const DWORD hold = static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10));
    const DWORD period = static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10));
    result = hold > 0 && period > hold ? HoldNowAndThen(window, ready, release, hold, period) : 2;
  }
  if (window)
    DestroyWindow(window);
  CloseHandle(ready);
  CloseHandle(release);
  return result;
}
