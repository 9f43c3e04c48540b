#pragma once
// The DPI scale factor: an exact, reduced fraction Numerator/Denominator that
// converts lengths designed for 96 pixels per inch to the resolution a
// control is shown at (1/1 scales nothing, 3/2 means 144 pixels per inch).
// Integer values are scaled with the Windows MulDiv (rounded to the nearest
// integer, halves away from zero); rectangles edge by edge.

#include "platform/Classes.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

namespace telvora {

struct TdxPointF {
  float X = 0;
  float Y = 0;
  bool operator==(const TdxPointF&) const = default;
};

struct TdxSizeF {
  float cx = 0;
  float cy = 0;
  bool operator==(const TdxSizeF&) const = default;
};

struct TdxRectF {
  float Left = 0;
  float Top = 0;
  float Right = 0;
  float Bottom = 0;
  bool operator==(const TdxRectF&) const = default;
};

class TdxScaleFactor;

// Told when a factor changes: M/D is new value / old value, so a listener
// can rescale its stored sizes by MulDiv(size, M, D).
using TdxScaleFactorNotifyEvent =
    std::function<void(TdxScaleFactor* Sender, int M, int D, bool IsLoading)>;

// A listener and the identity it is removed by: the listening object and a
// tag that tells apart several handlers of one object.
struct TdxScaleFactorListener {
  const void* Object = nullptr;
  int Tag = 0;
  TdxScaleFactorNotifyEvent Handler;
};

// Reduces A/B by every common factor. Values below 2 are left as they are.
void cxReduceFraction(int& A, int& B);

class TdxScaleFactor : public TObject {
public:
  TdxScaleFactor() = default;
  ~TdxScaleFactor() override;

  int Numerator() const noexcept { return FNumerator; }
  int Denominator() const noexcept { return FDenominator; }
  // Whether the factor actually scales (numerator differs from denominator).
  bool Assigned() const noexcept { return FNumerator != FDenominator; }

  // Stores ANumerator/ADenominator reduced and tells the listeners when the
  // value changes. A zero or negative numerator or denominator is rejected:
  // the factor keeps its value and nobody is told.
  void Assign(int ANumerator, int ADenominator, bool AIsLoading);
  void Assign(const TdxScaleFactor& ASource);
  // Multiplies the value by ANumerator/ADenominator (a rescale from
  // ADenominator to ANumerator pixels per inch).
  void Change(int ANumerator, int ADenominator);
  // Same value, whatever the form of the fraction.
  bool Equals(const TdxScaleFactor& Obj) const noexcept;

  // Scale by Numerator/Denominator.
  int Apply(int V) const noexcept;
  POINT Apply(const POINT& V) const noexcept;
  SIZE Apply(const SIZE& V) const noexcept;
  RECT Apply(const RECT& V) const noexcept;
  float ApplyF(float V) const noexcept;
  double ApplyF(double V) const noexcept;
  TdxPointF ApplyF(const TdxPointF& V) const noexcept;
  TdxSizeF ApplyF(const TdxSizeF& V) const noexcept;
  TdxRectF ApplyF(const TdxRectF& V) const noexcept;

  // V is meant for the source factor; the result is V for this factor.
  int Apply(int V, const TdxScaleFactor& ASourceScaleFactor) const noexcept;
  POINT Apply(const POINT& V, const TdxScaleFactor& ASourceScaleFactor) const noexcept;
  SIZE Apply(const SIZE& V, const TdxScaleFactor& ASourceScaleFactor) const noexcept;
  RECT Apply(const RECT& V, const TdxScaleFactor& ASourceScaleFactor) const noexcept;
  int Apply(int V, int ASourceNumerator, int ASourceDenominator) const noexcept;
  POINT Apply(const POINT& V, int ASourceNumerator, int ASourceDenominator) const noexcept;
  SIZE Apply(const SIZE& V, int ASourceNumerator, int ASourceDenominator) const noexcept;
  RECT Apply(const RECT& V, int ASourceNumerator, int ASourceDenominator) const noexcept;

  // Scale by Denominator/Numerator.
  int Revert(int V) const noexcept;
  POINT Revert(const POINT& V) const noexcept;
  SIZE Revert(const SIZE& V) const noexcept;
  RECT Revert(const RECT& V) const noexcept;
  float RevertF(float V) const noexcept;
  double RevertF(double V) const noexcept;
  TdxPointF RevertF(const TdxPointF& V) const noexcept;
  TdxSizeF RevertF(const TdxSizeF& V) const noexcept;
  TdxRectF RevertF(const TdxRectF& V) const noexcept;

  // Listeners are told in the order they were added; one may remove itself
  // (or others) while being told. Removing takes out one entry with the same
  // object and tag; removing an unknown listener does nothing.
  void ListenerAdd(TdxScaleFactorListener AListener);
  void ListenerRemove(const void* AObject, int ATag = 0);
  int ListenerCount() const noexcept;

protected:
  virtual void Changed(int M, int D, bool AIsLoading);

private:
  struct TListenerEntry {
    TdxScaleFactorListener Listener;
    unsigned Serial;
  };
  // The multiplier X/Y that converts values of the source factor to this
  // one; false when the factors are equal.
  bool TransformScaleFactor(int ASourceNumerator, int ASourceDenominator, int& X,
                            int& Y) const noexcept;

  int FDenominator = 1;
  int FNumerator = 1;
  std::unique_ptr<std::vector<TListenerEntry>> FListeners;
  unsigned FNextSerial = 0;
};

// A factor that follows its owner's value until it is changed directly.
class TdxOwnedScaleFactor : public TdxScaleFactor {
public:
  TdxOwnedScaleFactor() = default;
  ~TdxOwnedScaleFactor() override;

  TdxScaleFactor* Owner() const noexcept { return FOwner; }
  // The owner must outlive this factor or be set to none first.
  void SetOwner(TdxScaleFactor* Value);
  bool UseOwnerValue() const noexcept { return FUseOwnerValue; }
  void SetUseOwnerValue(bool Value);

protected:
  void Changed(int M, int D, bool AIsLoading) override;

private:
  void Synchronize(bool AIsLoading);

  TdxScaleFactor* FOwner = nullptr;
  bool FUseOwnerValue = true;
};

// Implemented by objects that have a scale factor of their own.
class IdxScaleFactor {
public:
  // {367A805A-A84B-441A-83A3-6A7E489D3B6C}
  static constexpr GUID IID = {
      0x367A805A, 0xA84B, 0x441A, {0x83, 0xA3, 0x6A, 0x7E, 0x48, 0x9D, 0x3B, 0x6C}};
  virtual TdxScaleFactor* GetScaleFactor() = 0;

protected:
  ~IdxScaleFactor() = default;
};

// The process-wide factors whose value comes from the system, computed once
// right after construction.
class TdxSystemBasedScaleFactor : public TdxScaleFactor {
public:
  virtual void Update() = 0;
};

// System pixels per inch / 96.
class TdxSystemScaleFactor : public TdxSystemBasedScaleFactor {
public:
  void Update() override;
};

// Desktop pixels per inch / 96 (the applied DPI for a DPI-aware process).
class TdxDesktopScaleFactor : public TdxSystemBasedScaleFactor {
public:
  void Update() override;
};

// The process-wide factors: created on first request, none after the DPI
// unit has shut down.
TdxScaleFactor* dxDefaultScaleFactor();
TdxSystemScaleFactor* dxSystemScaleFactor();
TdxDesktopScaleFactor* dxDesktopScaleFactor();

// Used by the DPI unit: frees the process-wide factors and stops creating
// them (AFinalized true), or allows them again (false).
void dxResetProcessScaleFactors(bool AFinalized);

} // namespace telvora
