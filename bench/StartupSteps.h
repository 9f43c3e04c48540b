#pragma once
// Where a program's start-up time goes, seen from inside: a program started
// with `--report FILE START_TICKS` notes when it reaches each step of its
// start-up, in milliseconds after START_TICKS (the QueryPerformanceCounter
// reading of the process that started it, taken just before CreateProcess;
// the counter is the same for every process), and once its window has
// painted and it is idle, appends the steps as one line to FILE:
//   PROGRAM<TAB>STEP=MS<TAB>STEP=MS...
// Without those arguments nothing is noted and nothing changes.

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace telvora::bench {

inline BOOL CALLBACK FindChildToPaint(HWND AChild, LPARAM APending) {
  if (IsWindowVisible(AChild) && GetUpdateRect(AChild, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(APending) = true;
    return FALSE;
  }
  return TRUE;
}

class TStartupSteps {
public:
  explicit TStartupSteps(const wchar_t* AProgram) : FProgram(AProgram) {
    // Read from the command line by hand: the shell's parser would load
    // shell32, which the programs measured do not load otherwise.
    const std::wstring line = GetCommandLineW();
    const size_t at = line.find(L" --report ");
    if (at == std::wstring::npos)
      return;
    size_t pos = at + 10;
    auto token = [&] {
      while (pos < line.size() && line[pos] == L' ')
        ++pos;
      const wchar_t end = pos < line.size() && line[pos] == L'"' ? L'"' : L' ';
      if (end == L'"')
        ++pos;
      const size_t stop = std::min(line.find(end, pos), line.size());
      std::wstring result = line.substr(pos, stop - pos);
      pos = stop + 1;
      return result;
    };
    FFile = token();
    FStart = _wtoi64(token().c_str());
    Mark(L"entry");
  }

  bool Reporting() const noexcept { return !FFile.empty(); }

  void Mark(const wchar_t* AStep) {
    if (!Reporting())
      return;
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    FSteps.emplace_back(AStep, static_cast<double>(now.QuadPart - FStart) * 1000.0 /
                                   static_cast<double>(frequency.QuadPart));
  }

  // When reporting: handles messages until nothing is waiting (no input,
  // no message, no paint of AWindow or its children), notes "painted and
  // idle", writes the line and asks AWindow to close.
  void RunUntilIdle(HWND AWindow) {
    if (!Reporting())
      return;
    for (;;) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0 && !NeedsPaint(AWindow))
        break;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    Mark(L"painted and idle");
    std::wstring line = FProgram;
    for (const auto& [step, ms] : FSteps)
      line += L"\t" + step + L"=" + std::to_wstring(ms);
    line += L"\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(std::max(bytes, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), text.data(), bytes,
                        nullptr, nullptr);
    HANDLE file = CreateFileW(FFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
      CloseHandle(file);
    }
    PostMessageW(AWindow, WM_CLOSE, 0, 0);
  }

  // Whether AWindow or one of its visible children still has to paint.
  static bool NeedsPaint(HWND AWindow) {
    if (GetUpdateRect(AWindow, nullptr, FALSE))
      return true;
    bool pending = false;
    EnumChildWindows(AWindow, FindChildToPaint, reinterpret_cast<LPARAM>(&pending));
    return pending;
  }

private:
  std::wstring FProgram;
  std::wstring FFile;
  long long FStart = 0;
  std::vector<std::pair<std::wstring, double>> FSteps;
};

} // namespace telvora::bench
