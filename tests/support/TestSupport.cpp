#include "tests/support/ClipboardHolder.h"

namespace telvora::testing {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

TClipboardHolderProcess::TClipboardHolderProcess() {
  Start(L"");
}

TClipboardHolderProcess::TClipboardHolderProcess(DWORD holdMs, DWORD periodMs) {
  Start(L" " + std::to_wstring(holdMs) + L" " + std::to_wstring(periodMs));
}

void TClipboardHolderProcess::Start(const std::wstring& arguments) {
  std::wstring suffix =
      std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(GetTickCount());
  std::wstring readyName = L"TelvoraClipboardReady." + suffix;
  std::wstring releaseName = L"TelvoraClipboardRelease." + suffix;
  FReady = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
  FRelease = CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
  std::wstring exe = ProgramFolder() + L"clipboard-holder.exe";
  std::wstring command = L"\"" + exe + L"\" " + readyName + L" " + releaseName + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &FProcess))
    return;
  HANDLE waits[2] = {FReady, FProcess.hProcess};
  FHolding = WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
}

TClipboardHolderProcess::~TClipboardHolderProcess() {
  if (FRelease)
    SetEvent(FRelease);
  if (FProcess.hProcess) {
    WaitForSingleObject(FProcess.hProcess, 20000);
    CloseHandle(FProcess.hProcess);
    CloseHandle(FProcess.hThread);
  }
  if (FReady)
    CloseHandle(FReady);
  if (FRelease)
    CloseHandle(FRelease);
}

} // namespace telvora::testing
