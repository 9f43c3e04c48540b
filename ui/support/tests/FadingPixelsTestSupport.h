#pragma once
// Helpers of the fading tests that check the pixel routines: the routines
// this processor and build can run, a guard that puts the routine in use
// back, and the exact formulas of a blend and of premultiplying.

#include "ui/support/dxFading.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace telvora::fading_tests {

// Whether two pixels have the same four bytes.
inline bool Same(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed &&
         a.rgbReserved == b.rgbReserved;
}

// The pixel routines this processor and build can run.
inline std::vector<TdxFadingPixelRoutine> AvailableRoutines() {
  std::vector<TdxFadingPixelRoutine> routines;
  for (TdxFadingPixelRoutine r : {fprPlain, fprSSE2, fprAVX2})
    if (TdxFadingHelper::IsPixelRoutineAvailable(r))
      routines.push_back(r);
  return routines;
}

inline const char* RoutineName(TdxFadingPixelRoutine ARoutine) {
  return ARoutine == fprAVX2 ? "AVX2" : ARoutine == fprSSE2 ? "SSE2" : "plain";
}

// Puts the routine in use back when the scope ends.
class TRoutineGuard {
public:
  TRoutineGuard() : FRoutine(TdxFadingHelper::PixelRoutine()) {}
  TRoutineGuard(const TRoutineGuard&) = delete;
  TRoutineGuard& operator=(const TRoutineGuard&) = delete;
  ~TRoutineGuard() { TdxFadingHelper::SetPixelRoutine(FRoutine); }

private:
  TdxFadingPixelRoutine FRoutine;
};

// The exact formula of a stage: each byte weighted by single-precision
// fractions, summed in extended precision, limited to 255 and rounded to
// nearest with ties to even.
inline BYTE ExactBlend(BYTE AByte1, BYTE AByte2, int AAlpha) {
  volatile float storedF = static_cast<float>(AAlpha) / 255.0f;
  const float f = storedF;
  volatile float storedG = 1.0f - f;
  const float g = storedG;
  const long double value =
      static_cast<long double>(AByte1) * g + static_cast<long double>(AByte2) * f;
  return static_cast<BYTE>(std::nearbyint(std::min(value, 255.0L)));
}

inline BYTE ExactPremultiply(BYTE AValue, BYTE AAlpha) {
  return static_cast<BYTE>((AValue * AAlpha + 127) / 255);
}

inline RGBQUAD ExactPremultiplied(RGBQUAD p) {
  return {ExactPremultiply(p.rgbBlue, p.rgbReserved), ExactPremultiply(p.rgbGreen, p.rgbReserved),
          ExactPremultiply(p.rgbRed, p.rgbReserved), p.rgbReserved};
}

} // namespace telvora::fading_tests
