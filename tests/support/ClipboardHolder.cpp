// Holds the clipboard open for other processes' tests:
//   clipboard-holder.exe READY_EVENT RELEASE_EVENT
// opens the clipboard, signals READY_EVENT, waits (at most 60 s) for
// RELEASE_EVENT and closes the clipboard again. Exit code 0 on success.

#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3)
    return 2;
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
  if (!ready || !release)
    return 3;
  if (!OpenClipboard(nullptr))
    return 4;
  SetEvent(ready);
  WaitForSingleObject(release, 60000);
  CloseClipboard();
  CloseHandle(ready);
  CloseHandle(release);
  return 0;
}
