#pragma once
// Starting a program (TELVORA.exe, the gallery) as a person would, and
// waiting for it to end or ending it.

#include "platform/Handles.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaitUntil.h"

#include <windows.h>

#include <optional>
#include <string>

namespace telvora::testing {

struct TStartOptions {
  // STARTUPINFO.wShowWindow (with STARTF_USESHOWWINDOW).
  int ShowCommand = SW_SHOWNORMAL;
  // When set, the executable is first copied to a temporary folder under
  // this file name and the copy is started (and removed afterwards).
  std::wstring CopyAs;
};

// A started program. Ends it (WM_CLOSE to its windows, then TerminateProcess)
// if it still runs when the holder goes.
class TDesktopProcess {
public:
  TDesktopProcess(const std::wstring& exe, const TStartOptions& options = {});
  TDesktopProcess(const TDesktopProcess&) = delete;
  TDesktopProcess& operator=(const TDesktopProcess&) = delete;
  ~TDesktopProcess();

  bool Started() const noexcept { return static_cast<bool>(FProcess); }
  // The error of CreateProcessW or of the copy when not started.
  DWORD StartError() const noexcept { return FStartError; }
  DWORD Id() const noexcept { return FId; }
  HANDLE Handle() const noexcept { return FProcess.Get(); }
  // The path of the executable that runs (the copy, if one was made).
  const std::wstring& ExePath() const noexcept { return FExePath; }

  bool Running() const;
  // Waits for the process to end; its exit code, or nothing on a timeout.
  std::optional<DWORD> WaitForExit(TDuration timeout = kDesktopTimeout) const;
  // Asks every top-level window of the process to close, waits for the end,
  // and terminates the process only when it does not end in time.
  void Close(TDuration timeout = kDesktopTimeout);

private:
  std::optional<TTempFolder> FCopyFolder;
  std::wstring FExePath;
  TKernelHandle FProcess;
  TKernelHandle FThread;
  DWORD FId = 0;
  DWORD FStartError = 0;
};

} // namespace telvora::testing
