#pragma once
// Mouse tracking: a caller that has become hot asks to be told when the
// pointer has left it, also when no leave message arrives (the pointer moves
// fast onto another window, a window pops up over it, a modal box disables
// its form). A 10 ms timer per tracked caller polls the pointer.

#include "platform/Controls.h"
#include "ui/support/cxTimer.h"

#include <vector>

namespace telvora {

// Interfaces of tracked callers; each extends the previous one. Callers are
// found by the identity of their IcxMouseTrackingCaller reference. The
// interfaces are not reference-counted and are never deleted through.
class IcxMouseTrackingCaller {
public:
  // {84A4BCBE-E001-4D60-B7A6-75E2B0DCD3E9}
  static constexpr GUID IID = {
      0x84A4BCBE, 0xE001, 0x4D60, {0xB7, 0xA6, 0x75, 0xE2, 0xB0, 0xDC, 0xD3, 0xE9}};
  // The mouse has left the caller.
  virtual void MouseLeave() = 0;

protected:
  ~IcxMouseTrackingCaller() = default;
};

class IcxMouseTrackingCaller2 : public IcxMouseTrackingCaller {
public:
  // {3A5D973B-F016-4F22-80B6-1D35668D7743}
  static constexpr GUID IID = {
      0x3A5D973B, 0xF016, 0x4F22, {0x80, 0xB6, 0x1D, 0x35, 0x66, 0x8D, 0x77, 0x43}};
  // Whether P lies on the caller: in the control's client coordinates when
  // the tracking has a control, in screen coordinates otherwise.
  virtual bool PtInCaller(const POINT& P) = 0;

protected:
  ~IcxMouseTrackingCaller2() = default;
};

class IcxMouseTrackingCaller3 : public IcxMouseTrackingCaller2 {
public:
  // {94877AC7-D2D8-4F2B-8396-DF3CB45E01DF}
  static constexpr GUID IID = {
      0x94877AC7, 0xD2D8, 0x4F2B, {0x83, 0x96, 0xDF, 0x3C, 0xB4, 0x5E, 0x01, 0xDF}};
  // Whether the caller holds the mouse: tracking then goes on while the
  // pointer is outside it.
  virtual bool IsCaptureMouse() = 0;

protected:
  ~IcxMouseTrackingCaller3() = default;
};

// One per tracked caller: ticks every 10 ms from its creation on.
class TMouseTrackingTimer : public TcxTimer {
public:
  TMouseTrackingTimer();
  std::wstring ClassName() const override { return L"TMouseTrackingTimer"; }

  IcxMouseTrackingCaller* Caller = nullptr;
  // The control the caller belongs to, or none. The caller must end its
  // tracking before this control is freed.
  TWinControl* Control = nullptr;
  // The caller's area in screen coordinates, fixed when tracking began.
  RECT Bounds{};

protected:
  void TimerHandler(TObject* Sender);

private:
  bool CanFinishTracking();
  bool PtInCaller(const POINT& P);
  bool IsPointerOverOtherWindow(const POINT& P) const;
};

using TMouseTrackingTimerList = std::vector<TMouseTrackingTimer*>;

// ABounds is in AControl's client coordinates, or in screen coordinates when
// AControl is none. A caller that is already tracked keeps its entry.
void BeginMouseTracking(TWinControl* AControl, const RECT& ABounds,
                        IcxMouseTrackingCaller* ACaller);
// Removes and frees the caller's entry; nothing happens for an untracked one.
void EndMouseTracking(IcxMouseTrackingCaller* ACaller);
bool IsMouseTracking(IcxMouseTrackingCaller* ACaller);
TMouseTrackingTimer* GetMouseTrackingTimer(IcxMouseTrackingCaller* ACaller);
// Tells every caller tracked with AControl (last first) that the mouse has
// left and ends its tracking; then, if there was one, delivers WM_MOUSELEAVE
// to AControl directly.
void FinishMouseTracking(TWinControl* AControl);

// Every tracking entry in order of creation; created on first use, none
// after the unit has shut down.
const TMouseTrackingTimerList* MouseTrackingTimerList();

// The pointer's screen position, (-1, -1) when it cannot be had.
POINT GetMouseCursorPos();

// Unit start-up and shut-down. Shut-down frees every entry left and then, if
// there was one, raises EdxException "MouseTrackingTimerList.Count <> 0".
void InitMouseTrackingUnit();
void DoneMouseTrackingUnit();

} // namespace telvora
