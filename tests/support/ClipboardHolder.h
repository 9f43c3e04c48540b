#pragma once
// Another process that holds the clipboard open while the holder lives, all
// the time or for a moment now and then.

#include <windows.h>

#include <string>

namespace telvora::testing {

class TClipboardHolderProcess {
public:
  // Starts clipboard-holder.exe (next to the running test program) and waits
  // until it has opened the clipboard.
  TClipboardHolderProcess();
  // Starts clipboard-holder.exe holding the clipboard for `holdMs` in every
  // `periodMs` until the holder goes, and waits until it has held it once.
  TClipboardHolderProcess(DWORD holdMs, DWORD periodMs);
  TClipboardHolderProcess(const TClipboardHolderProcess&) = delete;
  TClipboardHolderProcess& operator=(const TClipboardHolderProcess&) = delete;
  // Lets the process close the clipboard and waits for it to end.
  ~TClipboardHolderProcess();

  bool Holding() const noexcept { return FHolding; }

private:
  void Start(const std::wstring& arguments);

  HANDLE FReady = nullptr;
  HANDLE FRelease = nullptr;
  PROCESS_INFORMATION FProcess{};
  bool FHolding = false;
};

// The folder of the running program, with a trailing backslash.
std::wstring ProgramFolder();

} // namespace telvora::testing
