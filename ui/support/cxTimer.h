#pragma once
// The window timer: a component that calls its OnTimer handler every
// Interval milliseconds from the message loop. Every TcxTimer ticks through
// one process-wide message-only window; a WM_TIMER whose id belongs to no
// timer that is currently on is ignored.

#include "platform/Classes.h"

#include <windows.h>

#include <memory>

namespace telvora {

class TcxTimerWindow;

class TcxTimer : public TComponent {
public:
  explicit TcxTimer(TComponent* AOwner = nullptr);
  ~TcxTimer() override;
  std::wstring ClassName() const override { return L"TcxTimer"; }

  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool Value);
  // Milliseconds between ticks; setting 0 is ignored.
  unsigned Interval() const noexcept { return FInterval; }
  void SetInterval(unsigned Value);
  const TNotifyEvent& OnTimer() const noexcept { return FOnTimer; }
  // Handlers cannot be compared, so every assignment re-arms the timer,
  // except replacing no handler by no handler.
  void SetOnTimer(TNotifyEvent Value);

  // Restarts the interval of an enabled timer.
  void Reset();
  // Whether a Windows timer is currently set for this object.
  bool TimerOn() const noexcept { return FTimerOn; }
  // The Windows timer id: the object's own identity.
  UINT_PTR EventID() const noexcept { return FEventID; }

protected:
  // Called on every tick; raises OnTimer when a handler is set.
  virtual void TimeOut();

private:
  friend class TcxTimerWindow;
  void UpdateTimer();
  void KillTimer();
  void SetTimer();

  bool FEnabled = true;
  unsigned FInterval = 1000;
  UINT_PTR FEventID;
  bool FTimerOn = false;
  TNotifyEvent FOnTimer;
};

// A timer without owner, with these settings; the caller owns it.
std::unique_ptr<TcxTimer> cxCreateTimer(TNotifyEvent AOnTimer, unsigned AInterval = 1000,
                                        bool AEnabled = true);

// The window that receives the ticks of every timer: created on first use,
// none after the unit has shut down (and nothing creates it again then).
HWND cxTimerWindowHandle();

// Unit start-up and shut-down. Shut-down turns every timer that is still on
// off and destroys the timer window; timers set afterwards stay off.
void InitTimerUnit();
void DoneTimerUnit();

} // namespace telvora
