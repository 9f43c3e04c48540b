// Holds the clipboard open for other processes' tests:
//   clipboard-holder.exe READY_EVENT RELEASE_EVENT
// opens the clipboard for a window of its own, signals READY_EVENT, waits (at
// most 60 s) for RELEASE_EVENT and closes the clipboard again.

#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3)
    return 2;
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
  if (!ready || !release)
    return 3;
  // The clipboard is held by a window: opens without one are not exclusive
  // of each other everywhere.
  HWND window = CreateWindowExW(0, L"STATIC", L"clipboard holder", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window || !OpenClipboard(window))
    return 4;
  SetEvent(ready);
  WaitForSingleObject(release, 60000);
  CloseClipboard();
  DestroyWindow(window);
  CloseHandle(ready);
  CloseHandle(release);
  return 0;
}
