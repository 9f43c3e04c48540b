#include "ui/support/cxTimer.h"

#include "platform/UtilWindow.h"

#include <algorithm>
#include <vector>

namespace telvora {

// The message-only window behind every TcxTimer and the list of the timers
// that are currently on (ActiveTimerList).
class TcxTimerWindow {
public:
  TcxTimerWindow() : FWindow([this](TMessage& message) { WndProc(message); }) {
    if (HWND window = FWindow.Handle()) {
      // A window that gets a parent becomes a child first, as SetParent
      // asks; a pop-up would be activated by the move (and take the
      // foreground from the program's window on some systems).
      SetWindowLongPtrW(window, GWL_STYLE, WS_CHILD);
      ::SetParent(window, HWND_MESSAGE);
    }
  }
  TcxTimerWindow(const TcxTimerWindow&) = delete;
  TcxTimerWindow& operator=(const TcxTimerWindow&) = delete;

  ~TcxTimerWindow() {
    // Timers that outlive the window are turned off, so they neither wait
    // for ticks nor kill a timer of a window that is gone.
    for (TcxTimer* timer : FActiveTimerList) {
      ::KillTimer(FWindow.Handle(), timer->FEventID);
      timer->FTimerOn = false;
    }
    FActiveTimerList.clear();
  }

  HWND Handle() const noexcept { return FWindow.Handle(); }

  bool SetTimer(TcxTimer* timer) {
    if (!FWindow.Handle() ||
        ::SetTimer(FWindow.Handle(), timer->FEventID, timer->FInterval, nullptr) == 0)
      return false;
    FActiveTimerList.push_back(timer);
    return true;
  }

  void KillTimer(TcxTimer* timer) {
    auto it = std::find(FActiveTimerList.begin(), FActiveTimerList.end(), timer);
    if (it != FActiveTimerList.end())
      FActiveTimerList.erase(it);
    ::KillTimer(FWindow.Handle(), timer->FEventID);
  }

private:
  void WndProc(TMessage& message) {
    if (message.Msg == WM_TIMER) {
      // Only ids of timers that are on: a tick already queued when its timer
      // was killed or freed is dropped here.
      auto it = std::find_if(FActiveTimerList.begin(), FActiveTimerList.end(),
                             [&](TcxTimer* timer) { return timer->FEventID == message.WParam; });
      if (it != FActiveTimerList.end())
        (*it)->TimeOut();
      return;
    }
    DefaultUtilWindowProc(FWindow.Handle(), message);
  }

  TUtilWindow FWindow;
  std::vector<TcxTimer*> FActiveTimerList;
};

namespace {

struct TTimerUnitState {
  std::unique_ptr<TcxTimerWindow> Window;
  bool Finalized = false;
};

TTimerUnitState& TimerUnit() {
  static TTimerUnitState state;
  return state;
}

// The timer window, created on first use; none after shut-down.
TcxTimerWindow* TimerWindow(bool create) {
  TTimerUnitState& unit = TimerUnit();
  if (!unit.Window && create && !unit.Finalized)
    unit.Window = std::make_unique<TcxTimerWindow>();
  return unit.Window.get();
}

} // namespace

TcxTimer::TcxTimer(TComponent* AOwner)
    : TComponent(AOwner), FEventID(reinterpret_cast<UINT_PTR>(this)) {}

TcxTimer::~TcxTimer() {
  KillTimer();
}

void TcxTimer::SetEnabled(bool Value) {
  if (Value == FEnabled)
    return;
  FEnabled = Value;
  UpdateTimer();
}

void TcxTimer::SetInterval(unsigned Value) {
  if (Value == 0 || Value == FInterval)
    return;
  FInterval = Value;
  UpdateTimer();
}

void TcxTimer::SetOnTimer(TNotifyEvent Value) {
  if (!Value && !FOnTimer)
    return;
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TcxTimer::Reset() {
  if (FEnabled)
    UpdateTimer();
}

void TcxTimer::TimeOut() {
  // A copy: the handler may free this timer (tracking timers end themselves).
  if (TNotifyEvent handler = FOnTimer)
    handler(this);
}

void TcxTimer::UpdateTimer() {
  KillTimer();
  if (FEnabled && FOnTimer && !FTimerOn)
    SetTimer();
}

void TcxTimer::KillTimer() {
  if (!FTimerOn)
    return;
  FTimerOn = false;
  if (TcxTimerWindow* window = TimerWindow(false))
    window->KillTimer(this);
}

void TcxTimer::SetTimer() {
  TcxTimerWindow* window = TimerWindow(true);
  FTimerOn = window != nullptr && window->SetTimer(this);
}

std::unique_ptr<TcxTimer> cxCreateTimer(TNotifyEvent AOnTimer, unsigned AInterval, bool AEnabled) {
  auto timer = std::make_unique<TcxTimer>(nullptr);
  timer->SetEnabled(AEnabled);
  timer->SetInterval(AInterval);
  timer->SetOnTimer(std::move(AOnTimer));
  return timer;
}

HWND cxTimerWindowHandle() {
  TcxTimerWindow* window = TimerWindow(true);
  return window ? window->Handle() : nullptr;
}

void InitTimerUnit() {
  TimerUnit().Finalized = false;
}

void DoneTimerUnit() {
  TTimerUnitState& unit = TimerUnit();
  unit.Finalized = true;
  unit.Window.reset();
}

} // namespace telvora
