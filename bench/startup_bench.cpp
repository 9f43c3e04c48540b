// Start-up bench: starts each program given on the command line N times and
// measures the time from CreateProcess to its first visible top-level window,
// then closes it. Prints size, median, mean, min and max per program.
//   startup-bench.exe RUNS PROGRAM...

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

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

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds to the first visible window, or a negative value on failure.
double TimeOneStart(const std::wstring& program) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + program + L"\"";
  LARGE_INTEGER start, shown;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return -1;
  TSearch search{pi.dwProcessId, nullptr};
  double result = -1;
  for (;;) {
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&shown);
    if (search.Found) {
      result = Seconds(start, shown) * 1000.0;
      break;
    }
    if (Seconds(start, shown) > 20 || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
      break;
    Sleep(1);
  }
  if (search.Found)
    PostMessageW(search.Found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return result;
}

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup-bench RUNS PROGRAM...\n");
    return 2;
  }
  int runs = std::max(1, _wtoi(argv[1]));
  std::printf("%-24s %10s %9s %9s %9s %9s\n", "program", "bytes", "median", "mean", "min", "max");
  int status = 0;
  for (int p = 2; p < argc; ++p) {
    std::wstring program = argv[p];
    TimeOneStart(program); // warm the file cache
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      double ms = TimeOneStart(program);
      if (ms < 0) {
        status = 1;
        continue;
      }
      times.push_back(ms);
    }
    std::wstring name = program.substr(program.find_last_of(L"\\/") + 1);
    if (times.empty()) {
      std::printf("%-24ls failed to show a window\n", name.c_str());
      continue;
    }
    std::sort(times.begin(), times.end());
    double mean =
        std::accumulate(times.begin(), times.end(), 0.0) / static_cast<double>(times.size());
    std::printf("%-24ls %10lld %7.1fms %7.1fms %7.1fms %7.1fms\n", name.c_str(), FileSize(program),
                times[times.size() / 2], mean, times.front(), times.back());
  }
  return status;
}
