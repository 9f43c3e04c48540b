#pragma once
// Timing for the bench programs. A figure is only ever reported as a ratio to
// an anchor measured in the same run: the two are timed in paired rounds (A
// then B, then B then A, and so on), each round gives one ratio, and the
// ratios' median and spread are printed. Noise from other work on the machine
// then falls on both sides of a round alike.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace telvora::bench {

// The QueryPerformanceCounter reading in microseconds.
inline double NowMicroseconds() {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1e6 / frequency;
}

// Microseconds per call of `step`: the median over `batches` batches of
// `calls` calls each.
inline double PerCall(int calls, const std::function<void()>& step, int batches = 9) {
  std::vector<double> times;
  for (int b = 0; b < batches; ++b) {
    const double start = NowMicroseconds();
    for (int i = 0; i < calls; ++i)
      step();
    times.push_back((NowMicroseconds() - start) / calls);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The median and the spread of a set of values.
struct TSpread {
  double Median = 0, Min = 0, Q1 = 0, Q3 = 0, Max = 0;
  int Count = 0;
};

inline TSpread SpreadOf(std::vector<double> AValues) {
  TSpread s;
  if (AValues.empty())
    return s;
  std::sort(AValues.begin(), AValues.end());
  // Linear interpolation between the closest ranks.
  auto at = [&](double q) {
    const double pos = q * static_cast<double>(AValues.size() - 1);
    const auto lo = static_cast<size_t>(pos);
    const size_t hi = std::min(lo + 1, AValues.size() - 1);
    return AValues[lo] + (AValues[hi] - AValues[lo]) * (pos - static_cast<double>(lo));
  };
  s.Median = at(0.5);
  s.Q1 = at(0.25);
  s.Q3 = at(0.75);
  s.Min = AValues.front();
  s.Max = AValues.back();
  s.Count = static_cast<int>(AValues.size());
  return s;
}

// One side of a paired measurement. Prepare runs untimed before every timed
// Run; Run does Operations operations. A side is timed Repeats times per
// round and its figure is the total time over the total operations.
struct TSide {
  std::function<void()> Prepare;
  std::function<void()> Run;
  int Operations = 1;
  int Repeats = 1;
};

// Microseconds per operation of one round of a side.
inline double TimeSide(const TSide& ASide) {
  double total = 0;
  for (int r = 0; r < ASide.Repeats; ++r) {
    if (ASide.Prepare)
      ASide.Prepare();
    const double start = NowMicroseconds();
    ASide.Run();
    total += NowMicroseconds() - start;
  }
  return total / (static_cast<double>(ASide.Repeats) * ASide.Operations);
}

struct TPaired {
  TSpread Ratio;  // A / B per round
  double MedianA; // microseconds per operation
  double MedianB;
};

// ARounds paired rounds of A against B, the order alternating.
inline TPaired PairedRounds(int ARounds, const TSide& A, const TSide& B) {
  std::vector<double> ratios, as, bs;
  TimeSide(A); // first-use costs out of the figures
  TimeSide(B);
  for (int round = 0; round < ARounds; ++round) {
    double a, b;
    if (round % 2 == 0) {
      a = TimeSide(A);
      b = TimeSide(B);
    } else {
      b = TimeSide(B);
      a = TimeSide(A);
    }
    as.push_back(a);
    bs.push_back(b);
    ratios.push_back(b > 0 ? a / b : 0);
  }
  return {SpreadOf(ratios), SpreadOf(as).Median, SpreadOf(bs).Median};
}

// Repeats so that one timed round of ARun lasts about ATargetMicroseconds.
inline int RepeatsFor(const std::function<void()>& APrepare, const std::function<void()>& ARun,
                      double ATargetMicroseconds) {
  double spent = 0;
  int runs = 0;
  while (runs < 3 || (spent < 2000 && runs < 100000)) {
    if (APrepare)
      APrepare();
    const double start = NowMicroseconds();
    ARun();
    spent += NowMicroseconds() - start;
    ++runs;
  }
  const double each = spent / runs;
  return std::max(1, static_cast<int>(ATargetMicroseconds / std::max(each, 0.001)));
}

// One table row: the measure, the ratio's median and spread over the rounds,
// and the two medians it came from.
inline void PrintHeader(const char* AAnchor) {
  std::printf("%-50s %7s %7s %7s %7s %7s %11s %11s  %s\n", "measure", "median", "min", "q1", "q3",
              "max", "us", "anchor us", AAnchor);
}

inline void PrintRow(const std::string& AName, const TPaired& AResult, const std::string& AAnchor) {
  const TSpread& r = AResult.Ratio;
  std::printf("%-50s %6.2fx %6.2fx %6.2fx %6.2fx %6.2fx %11.2f %11.2f  %s\n", AName.c_str(),
              r.Median, r.Min, r.Q1, r.Q3, r.Max, AResult.MedianA, AResult.MedianB,
              AAnchor.c_str());
  std::fflush(stdout);
}

} // namespace telvora::bench
