#include "platform/ScaleRatio.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <numeric>

namespace telvora {

namespace {

// Reduces N/D; should it still not fit an int (never for ratios of real
// resolutions), it gives up precision until it does.
void ReduceRatio(long long& N, long long& D) {
  const long long divisor = std::gcd(N, D);
  if (divisor > 1) {
    N /= divisor;
    D /= divisor;
  }
  while (N > INT_MAX || D > INT_MAX) {
    N = std::max(1LL, (N + 1) / 2);
    D = std::max(1LL, (D + 1) / 2);
  }
}

} // namespace

int ScaleLength(int value, const TScaleRatio& from, const TScaleRatio& to) {
  long long N = static_cast<long long>(to.Numerator) * from.Denominator;
  long long D = static_cast<long long>(to.Denominator) * from.Numerator;
  ReduceRatio(N, D);
  return N == D ? value : MulDiv(value, static_cast<int>(N), static_cast<int>(D));
}

void TScaleRatio::Multiply(int M, int D) {
  if (M <= 0 || D <= 0)
    return;
  long long N = static_cast<long long>(Numerator) * M;
  long long Den = static_cast<long long>(Denominator) * D;
  ReduceRatio(N, Den);
  Numerator = static_cast<int>(N);
  Denominator = static_cast<int>(Den);
}

int TGivenLength::ScaledTo(const TScaleRatio& scale) const {
  return ScaleLength(Value, At, scale);
}

} // namespace telvora
