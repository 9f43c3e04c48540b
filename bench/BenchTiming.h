#pragma once
// Timing for the bench programs.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace telvora::bench {

// Microseconds per call of `step`: the median over `batches` batches of
// `calls` calls each.
inline double PerCall(int calls, const std::function<void()>& step, int batches = 9) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  for (int b = 0; b < batches; ++b) {
    LARGE_INTEGER start{}, stop{};
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i)
      step();
    QueryPerformanceCounter(&stop);
    times.push_back(static_cast<double>(stop.QuadPart - start.QuadPart) * 1e6 /
                    static_cast<double>(frequency.QuadPart) / calls);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

} // namespace telvora::bench
