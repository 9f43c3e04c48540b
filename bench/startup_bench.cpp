// Start-up bench: the time from CreateProcess until a program's main window
// has painted and the program is idle, for the first program given against
// each of the others, in paired rounds: every round starts each program
// once, the order turning round by round, so that each pair's ratio comes
// from starts made side by side. The main window is the first visible
// top-level window of the process that is not a tool window; "painted and
// idle" is: that window and its children have nothing left to paint, and
// the program has taken a message sent to it (so it is in its message loop).
// Then the window is closed and the program must end.
//   startup-bench ROUNDS PROGRAM ANCHOR...
//   startup-bench --steps RUNS FILE PROGRAM...
// The second form starts each program RUNS times with --report (see
// StartupSteps.h) and prints the median moment of each step it reported.

#include "bench/BenchTiming.h"
#include "bench/StartupSteps.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace telvora::bench;

namespace {

struct TSearch {
  DWORD ProcessId;
  HWND Found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TSearch*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->ProcessId && IsWindowVisible(window) &&
      !(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

bool NeedsPaint(HWND AWindow) {
  return TStartupSteps::NeedsPaint(AWindow);
}

// The pointer out of the way, so that no button starts hot.
void ParkPointer() {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

std::wstring NameOf(const std::wstring& APath) {
  return APath.substr(APath.find_last_of(L"\\/") + 1);
}

// Starts AProgram with AArguments; answers the milliseconds until it was
// painted and idle (negative on failure), then closes it.
double TimeOneStart(const std::wstring& AProgram, const std::wstring& AArguments = L"") {
  ParkPointer();
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + AProgram + L"\"" + AArguments;
  const double start = NowMicroseconds();
  if (!CreateProcessW(AProgram.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi))
    return -1;
  TSearch search{pi.dwProcessId, nullptr};
  double result = -1;
  for (;;) {
    if (search.Found == nullptr)
      EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.Found != nullptr && !NeedsPaint(search.Found)) {
      DWORD_PTR answer = 0;
      if (SendMessageTimeoutW(search.Found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) &&
          !NeedsPaint(search.Found)) {
        result = (NowMicroseconds() - start) / 1000.0;
        break;
      }
    }
    if (NowMicroseconds() - start > 20e6 || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
      break;
    Sleep(1);
  }
  if (search.Found != nullptr)
    PostMessageW(search.Found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 1);
    result = -1;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return result;
}

// Starts AProgram, which reports its steps and closes itself; answers
// whether it ended by itself within 20 s.
bool RunReporting(const std::wstring& AProgram, const std::wstring& AArguments) {
  ParkPointer();
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + AProgram + L"\"" + AArguments;
  if (!CreateProcessW(AProgram.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi))
    return false;
  const bool ended = WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0;
  if (!ended)
    TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return ended;
}

int Compare(int ARounds, const std::vector<std::wstring>& APrograms) {
  const size_t n = APrograms.size();
  std::vector<std::vector<double>> times(n);
  for (const std::wstring& program : APrograms)
    TimeOneStart(program); // the file cache warm for all
  int failures = 0;
  for (int round = 0; round < ARounds; ++round)
    for (size_t k = 0; k < n; ++k) {
      const size_t p = (static_cast<size_t>(round) + k) % n;
      const double ms = TimeOneStart(APrograms[p]);
      if (ms < 0)
        ++failures;
      times[p].push_back(ms);
    }
  std::printf("Start-up to painted and idle: %d rounds, each program once a round, the order "
              "turning\n",
              ARounds);
  std::printf("%-50s %7s %7s %7s %7s %7s %11s %11s  %s\n", "measure", "median", "min", "q1", "q3",
              "max", "ms", "anchor ms", "anchor");
  for (size_t a = 0; a < n; ++a)
    for (size_t b = a + 1; b < n; ++b) {
      std::vector<double> ratios, as, bs;
      for (int r = 0; r < ARounds; ++r) {
        const double ta = times[a][static_cast<size_t>(r)], tb = times[b][static_cast<size_t>(r)];
        if (ta <= 0 || tb <= 0)
          continue;
        ratios.push_back(ta / tb);
        as.push_back(ta);
        bs.push_back(tb);
      }
      const TSpread s = SpreadOf(ratios);
      std::string name = "start-up ";
      for (wchar_t c : NameOf(APrograms[a]))
        name += static_cast<char>(c);
      std::string anchor;
      for (wchar_t c : NameOf(APrograms[b]))
        anchor += static_cast<char>(c);
      std::printf("%-50s %6.2fx %6.2fx %6.2fx %6.2fx %6.2fx %11.1f %11.1f  %s\n", name.c_str(),
                  s.Median, s.Min, s.Q1, s.Q3, s.Max, SpreadOf(as).Median, SpreadOf(bs).Median,
                  anchor.c_str());
    }
  if (failures > 0)
    std::printf("%d starts failed to paint, go idle or end\n", failures);
  return failures > 0 ? 1 : 0;
}

int Steps(int ARuns, const std::wstring& AFile, const std::vector<std::wstring>& APrograms) {
  DeleteFileW(AFile.c_str());
  int failures = 0;
  for (int run = 0; run <= ARuns; ++run)
    for (const std::wstring& program : APrograms) {
      LARGE_INTEGER now{};
      QueryPerformanceCounter(&now);
      if (run == 0) { // the file cache warm, nothing reported
        TimeOneStart(program);
        continue;
      }
      if (!RunReporting(program, L" --report \"" + AFile + L"\" " + std::to_wstring(now.QuadPart)))
        ++failures;
    }
  // Medians per program and step, the steps in the order first seen.
  std::map<std::wstring, std::vector<std::wstring>> order;
  std::map<std::wstring, std::map<std::wstring, std::vector<double>>> moments;
  std::string bytes;
  HANDLE file = CreateFileW(AFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
      bytes.append(chunk, read);
    CloseHandle(file);
  }
  std::wstring all(bytes.size(), L'\0');
  all.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(),
                                                     static_cast<int>(bytes.size()), all.data(),
                                                     static_cast<int>(all.size()))));
  for (size_t begin = 0; begin < all.size();) {
    size_t end = all.find(L'\n', begin);
    if (end == std::wstring::npos)
      end = all.size();
    const std::wstring text = all.substr(begin, end - begin);
    begin = end + 1;
    size_t tab = text.find(L'\t');
    const std::wstring program = text.substr(0, tab);
    while (tab != std::wstring::npos) {
      const size_t next = text.find(L'\t', tab + 1);
      const std::wstring field = text.substr(tab + 1, next - tab - 1);
      const size_t eq = field.rfind(L'=');
      const std::wstring step = field.substr(0, eq);
      auto& steps = order[program];
      if (std::find(steps.begin(), steps.end(), step) == steps.end())
        steps.push_back(step);
      moments[program][step].push_back(_wtof(field.substr(eq + 1).c_str()));
      tab = next;
    }
  }
  for (const auto& [program, steps] : order) {
    std::printf("%ls: median moment of each step after CreateProcess (%d runs), and the step's "
                "share\n",
                program.c_str(), ARuns);
    double previous = 0;
    for (const std::wstring& step : steps) {
      const double at = SpreadOf(moments[program][step]).Median;
      std::printf("  %-36ls %8.2f ms %+8.2f ms\n", step.c_str(), at, at - previous);
      previous = at;
    }
  }
  return failures > 0 ? 1 : 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 5 && std::wstring(argv[1]) == L"--steps")
    return Steps(std::max(1, _wtoi(argv[2])), argv[3],
                 std::vector<std::wstring>(argv + 4, argv + argc));
  if (argc < 4) {
    std::fprintf(stderr, "usage: startup-bench ROUNDS PROGRAM ANCHOR...\n"
                         "       startup-bench --steps RUNS FILE PROGRAM...\n");
    return 2;
  }
  return Compare(std::max(1, _wtoi(argv[1])), std::vector<std::wstring>(argv + 2, argv + argc));
}
