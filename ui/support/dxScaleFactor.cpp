#include "ui/support/dxScaleFactor.h"

#include "ui/support/dxDPI.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <type_traits>

namespace telvora {

namespace {

// Reduces a/b (both positive); if the ratio still does not fit in 32-bit
// integers, both are halved until it does (only reachable with absurd
// values: the stored numerator and denominator are 32-bit).
void ReduceToInt(long long& a, long long& b) {
  long long divisor = std::gcd(a, b);
  if (divisor > 1) {
    a /= divisor;
    b /= divisor;
  }
  while (a > INT_MAX || b > INT_MAX) {
    a = std::max(a / 2, 1LL);
    b = std::max(b / 2, 1LL);
  }
}

POINT MulDivPoint(const POINT& v, int m, int d) {
  return {MulDiv(v.x, m, d), MulDiv(v.y, m, d)};
}

SIZE MulDivSize(const SIZE& v, int m, int d) {
  return {MulDiv(v.cx, m, d), MulDiv(v.cy, m, d)};
}

RECT MulDivRect(const RECT& v, int m, int d) {
  return {MulDiv(v.left, m, d), MulDiv(v.top, m, d), MulDiv(v.right, m, d), MulDiv(v.bottom, m, d)};
}

template <class T> T ScaleFloat(T v, int m, int d) {
  return static_cast<T>(static_cast<long double>(v) * m / d);
}

float Ratio(int m, int d) {
  return static_cast<float>(static_cast<long double>(m) / d);
}

TdxPointF ScalePointF(const TdxPointF& v, float r) {
  return {v.X * r, v.Y * r};
}

TdxSizeF ScaleSizeF(const TdxSizeF& v, float r) {
  return {v.cx * r, v.cy * r};
}

TdxRectF ScaleRectF(const TdxRectF& v, float r) {
  return {v.Left * r, v.Top * r, v.Right * r, v.Bottom * r};
}

} // namespace

void cxReduceFraction(int& A, int& B) {
  // Dividing out the greatest common divisor at once gives what dividing out
  // common factors one at a time gives; below 2 there is nothing to divide.
  if (A < 2 || B < 2)
    return;
  int divisor = std::gcd(A, B);
  A /= divisor;
  B /= divisor;
}

// TdxScaleFactor

TdxScaleFactor::~TdxScaleFactor() = default;

void TdxScaleFactor::Assign(int ANumerator, int ADenominator, bool AIsLoading) {
  if (ANumerator <= 0 || ADenominator <= 0)
    return;
  cxReduceFraction(ANumerator, ADenominator);
  if (ANumerator == FNumerator && ADenominator == FDenominator)
    return;
  long long m = static_cast<long long>(FDenominator) * ANumerator;
  long long d = static_cast<long long>(FNumerator) * ADenominator;
  if (m > INT_MAX || d > INT_MAX)
    ReduceToInt(m, d);
  FNumerator = ANumerator;
  FDenominator = ADenominator;
  Changed(static_cast<int>(m), static_cast<int>(d), AIsLoading);
}

void TdxScaleFactor::Assign(const TdxScaleFactor& ASource) {
  Assign(ASource.FNumerator, ASource.FDenominator, false);
}

void TdxScaleFactor::Change(int ANumerator, int ADenominator) {
  if (ANumerator <= 0 || ADenominator <= 0)
    return;
  long long n = static_cast<long long>(ANumerator) * FNumerator;
  long long d = static_cast<long long>(ADenominator) * FDenominator;
  ReduceToInt(n, d);
  Assign(static_cast<int>(n), static_cast<int>(d), false);
}

bool TdxScaleFactor::Equals(const TdxScaleFactor& Obj) const noexcept {
  return static_cast<long long>(Obj.FDenominator) * FNumerator ==
         static_cast<long long>(Obj.FNumerator) * FDenominator;
}

int TdxScaleFactor::Apply(int V) const noexcept {
  return Assigned() ? MulDiv(V, FNumerator, FDenominator) : V;
}

POINT TdxScaleFactor::Apply(const POINT& V) const noexcept {
  return Assigned() ? MulDivPoint(V, FNumerator, FDenominator) : V;
}

SIZE TdxScaleFactor::Apply(const SIZE& V) const noexcept {
  return Assigned() ? MulDivSize(V, FNumerator, FDenominator) : V;
}

RECT TdxScaleFactor::Apply(const RECT& V) const noexcept {
  return Assigned() ? MulDivRect(V, FNumerator, FDenominator) : V;
}

float TdxScaleFactor::ApplyF(float V) const noexcept {
  return Assigned() ? ScaleFloat(V, FNumerator, FDenominator) : V;
}

double TdxScaleFactor::ApplyF(double V) const noexcept {
  return Assigned() ? ScaleFloat(V, FNumerator, FDenominator) : V;
}

TdxPointF TdxScaleFactor::ApplyF(const TdxPointF& V) const noexcept {
  return Assigned() ? ScalePointF(V, Ratio(FNumerator, FDenominator)) : V;
}

TdxSizeF TdxScaleFactor::ApplyF(const TdxSizeF& V) const noexcept {
  return Assigned() ? ScaleSizeF(V, Ratio(FNumerator, FDenominator)) : V;
}

TdxRectF TdxScaleFactor::ApplyF(const TdxRectF& V) const noexcept {
  return Assigned() ? ScaleRectF(V, Ratio(FNumerator, FDenominator)) : V;
}

int TdxScaleFactor::Revert(int V) const noexcept {
  return Assigned() ? MulDiv(V, FDenominator, FNumerator) : V;
}

POINT TdxScaleFactor::Revert(const POINT& V) const noexcept {
  return Assigned() ? MulDivPoint(V, FDenominator, FNumerator) : V;
}

SIZE TdxScaleFactor::Revert(const SIZE& V) const noexcept {
  return Assigned() ? MulDivSize(V, FDenominator, FNumerator) : V;
}

RECT TdxScaleFactor::Revert(const RECT& V) const noexcept {
  return Assigned() ? MulDivRect(V, FDenominator, FNumerator) : V;
}

float TdxScaleFactor::RevertF(float V) const noexcept {
  return Assigned() ? ScaleFloat(V, FDenominator, FNumerator) : V;
}

double TdxScaleFactor::RevertF(double V) const noexcept {
  return Assigned() ? ScaleFloat(V, FDenominator, FNumerator) : V;
}

TdxPointF TdxScaleFactor::RevertF(const TdxPointF& V) const noexcept {
  return Assigned() ? ScalePointF(V, Ratio(FDenominator, FNumerator)) : V;
}

TdxSizeF TdxScaleFactor::RevertF(const TdxSizeF& V) const noexcept {
  return Assigned() ? ScaleSizeF(V, Ratio(FDenominator, FNumerator)) : V;
}

TdxRectF TdxScaleFactor::RevertF(const TdxRectF& V) const noexcept {
  return Assigned() ? ScaleRectF(V, Ratio(FDenominator, FNumerator)) : V;
}

bool TdxScaleFactor::TransformScaleFactor(int ASourceNumerator, int ASourceDenominator, int& X,
                                          int& Y) const noexcept {
  // A source that is no valid factor converts nothing.
  if (ASourceNumerator <= 0 || ASourceDenominator <= 0)
    return false;
  long long x = static_cast<long long>(FNumerator) * ASourceDenominator;
  long long y = static_cast<long long>(FDenominator) * ASourceNumerator;
  if (x == y)
    return false;
  ReduceToInt(x, y);
  X = static_cast<int>(x);
  Y = static_cast<int>(y);
  return true;
}

int TdxScaleFactor::Apply(int V, int ASourceNumerator, int ASourceDenominator) const noexcept {
  int x = 1, y = 1;
  return TransformScaleFactor(ASourceNumerator, ASourceDenominator, x, y) ? MulDiv(V, x, y) : V;
}

POINT TdxScaleFactor::Apply(const POINT& V, int ASourceNumerator,
                            int ASourceDenominator) const noexcept {
  int x = 1, y = 1;
  return TransformScaleFactor(ASourceNumerator, ASourceDenominator, x, y) ? MulDivPoint(V, x, y)
                                                                          : V;
}

SIZE TdxScaleFactor::Apply(const SIZE& V, int ASourceNumerator,
                           int ASourceDenominator) const noexcept {
  int x = 1, y = 1;
  return TransformScaleFactor(ASourceNumerator, ASourceDenominator, x, y) ? MulDivSize(V, x, y) : V;
}

RECT TdxScaleFactor::Apply(const RECT& V, int ASourceNumerator,
                           int ASourceDenominator) const noexcept {
  int x = 1, y = 1;
  return TransformScaleFactor(ASourceNumerator, ASourceDenominator, x, y) ? MulDivRect(V, x, y) : V;
}

int TdxScaleFactor::Apply(int V, const TdxScaleFactor& ASourceScaleFactor) const noexcept {
  return Apply(V, ASourceScaleFactor.FNumerator, ASourceScaleFactor.FDenominator);
}

POINT TdxScaleFactor::Apply(const POINT& V,
                            const TdxScaleFactor& ASourceScaleFactor) const noexcept {
  return Apply(V, ASourceScaleFactor.FNumerator, ASourceScaleFactor.FDenominator);
}

SIZE TdxScaleFactor::Apply(const SIZE& V, const TdxScaleFactor& ASourceScaleFactor) const noexcept {
  return Apply(V, ASourceScaleFactor.FNumerator, ASourceScaleFactor.FDenominator);
}

RECT TdxScaleFactor::Apply(const RECT& V, const TdxScaleFactor& ASourceScaleFactor) const noexcept {
  return Apply(V, ASourceScaleFactor.FNumerator, ASourceScaleFactor.FDenominator);
}

void TdxScaleFactor::ListenerAdd(TdxScaleFactorListener AListener) {
  if (!FListeners)
    FListeners = std::make_unique<std::vector<TListenerEntry>>();
  FListeners->push_back({std::move(AListener), FNextSerial++});
}

void TdxScaleFactor::ListenerRemove(const void* AObject, int ATag) {
  if (!FListeners)
    return;
  auto it = std::find_if(FListeners->begin(), FListeners->end(), [&](const TListenerEntry& e) {
    return e.Listener.Object == AObject && e.Listener.Tag == ATag;
  });
  if (it == FListeners->end())
    return;
  FListeners->erase(it);
  if (FListeners->empty())
    FListeners.reset();
}

int TdxScaleFactor::ListenerCount() const noexcept {
  return FListeners ? static_cast<int>(FListeners->size()) : 0;
}

void TdxScaleFactor::Changed(int M, int D, bool AIsLoading) {
  if (M == D || !FListeners)
    return;
  // Listeners may remove themselves or others while being told: each one is
  // looked up again by its serial number before it is called.
  std::vector<unsigned> serials;
  for (const TListenerEntry& entry : *FListeners)
    serials.push_back(entry.Serial);
  for (unsigned serial : serials) {
    if (!FListeners)
      return;
    auto it = std::find_if(FListeners->begin(), FListeners->end(),
                           [serial](const TListenerEntry& e) { return e.Serial == serial; });
    if (it == FListeners->end() || !it->Listener.Handler)
      continue;
    TdxScaleFactorNotifyEvent handler = it->Listener.Handler;
    handler(this, M, D, AIsLoading);
  }
}

// TdxOwnedScaleFactor

TdxOwnedScaleFactor::~TdxOwnedScaleFactor() {
  SetOwner(nullptr);
}

void TdxOwnedScaleFactor::SetOwner(TdxScaleFactor* Value) {
  if (Value == FOwner)
    return;
  if (FOwner)
    FOwner->ListenerRemove(this);
  FOwner = Value;
  if (FOwner)
    FOwner->ListenerAdd(
        {this, 0, [this](TdxScaleFactor*, int, int, bool IsLoading) { Synchronize(IsLoading); }});
  Synchronize(false);
}

void TdxOwnedScaleFactor::SetUseOwnerValue(bool Value) {
  FUseOwnerValue = Value;
  Synchronize(false);
}

void TdxOwnedScaleFactor::Synchronize(bool AIsLoading) {
  if (FUseOwnerValue && FOwner) {
    Assign(FOwner->Numerator(), FOwner->Denominator(), AIsLoading);
    FUseOwnerValue = true;
  }
}

void TdxOwnedScaleFactor::Changed(int M, int D, bool AIsLoading) {
  if (!AIsLoading)
    FUseOwnerValue = false;
  TdxScaleFactor::Changed(M, D, AIsLoading);
}

// Process-wide factors

void TdxSystemScaleFactor::Update() {
  Assign(dxGetSystemDPI(), 96, false);
}

void TdxDesktopScaleFactor::Update() {
  Assign(dxIsProcessDPIAware() ? dxGetDesktopDPI() : dxGetSystemDPI(), 96, false);
}

namespace {

struct TProcessScaleFactors {
  std::unique_ptr<TdxScaleFactor> Default;
  std::unique_ptr<TdxSystemScaleFactor> System;
  std::unique_ptr<TdxDesktopScaleFactor> Desktop;
  bool Finalized = false;
};

TProcessScaleFactors& ProcessScaleFactors() {
  static TProcessScaleFactors factors;
  return factors;
}

// Created on first request; a system-based factor computes its value once,
// before it is handed out (a failure leaves nothing behind).
template <class T> T* ProcessFactor(std::unique_ptr<T>& slot) {
  if (!slot && !ProcessScaleFactors().Finalized) {
    auto factor = std::make_unique<T>();
    if constexpr (std::is_base_of_v<TdxSystemBasedScaleFactor, T>)
      factor->Update();
    slot = std::move(factor);
  }
  return slot.get();
}

} // namespace

TdxScaleFactor* dxDefaultScaleFactor() {
  return ProcessFactor(ProcessScaleFactors().Default);
}

TdxSystemScaleFactor* dxSystemScaleFactor() {
  return ProcessFactor(ProcessScaleFactors().System);
}

TdxDesktopScaleFactor* dxDesktopScaleFactor() {
  return ProcessFactor(ProcessScaleFactors().Desktop);
}

void dxResetProcessScaleFactors(bool AFinalized) {
  TProcessScaleFactors& factors = ProcessScaleFactors();
  factors.Finalized = AFinalized;
  factors.Default.reset();
  factors.System.reset();
  factors.Desktop.reset();
}

} // namespace telvora
