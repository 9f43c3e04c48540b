#include "tests/support/DesktopProcess.h"

#include "tests/support/DesktopWindows.h"
#include "tests/support/PhysicalPixels.h"

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kDesktopProcessPixels = &gPhysicalPixels;

TDesktopProcess::TDesktopProcess(const std::wstring& exe, const TStartOptions& options)
    : FExePath(exe) {
  if (!options.CopyAs.empty()) {
    FCopyFolder.emplace();
    if (FCopyFolder->Path().empty()) {
      FStartError = ERROR_PATH_NOT_FOUND;
      return;
    }
    FExePath = FCopyFolder->Path() + options.CopyAs;
    if (!CopyFileW(exe.c_str(), FExePath.c_str(), TRUE)) {
      FStartError = GetLastError();
      return;
    }
  }
  std::wstring command = L"\"" + FExePath + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(options.ShowCommand);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(FExePath.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi)) {
    FStartError = GetLastError();
    return;
  }
  FProcess.Reset(pi.hProcess);
  FThread.Reset(pi.hThread);
  FId = pi.dwProcessId;
}

TDesktopProcess::~TDesktopProcess() {
  if (Running())
    Close();
}

bool TDesktopProcess::Running() const {
  return FProcess && WaitForSingleObject(FProcess.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> TDesktopProcess::WaitForExit(TDuration timeout) const {
  if (!FProcess)
    return std::nullopt;
  if (WaitForSingleObject(FProcess.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(FProcess.Get(), &code))
    return std::nullopt;
  return code;
}

void TDesktopProcess::Close(TDuration timeout) {
  if (!Running())
    return;
  for (HWND window : TopLevelWindows(FId))
    PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForExit(timeout))
    return;
  TerminateProcess(FProcess.Get(), 1);
  WaitForSingleObject(FProcess.Get(), static_cast<DWORD>(timeout.count()));
}

} // namespace telvora::testing
