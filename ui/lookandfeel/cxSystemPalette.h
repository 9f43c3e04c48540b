#pragma once
// The system colour notification. One process-wide listener owns a hidden
// top-level utility window that receives the broadcast WM_SYSCOLORCHANGE and
// passes it on: first it brings the theme layer's theme-active flag up to
// date (the theme-change window may get the same broadcast only later), then
// it refreshes the Office 11 colours (on which it holds a reference while it
// lives), then it tells the primary notifiers (caches of colour-dependent
// resources), then the ordinary ones (controls that repaint), each list from
// its last entry to its first, each notifier still subscribed once. The
// listener lives while notifiers do: it is created with the first reference
// and freed with the last one, and once its unit has shut down it is not
// created again.

#include "platform/Classes.h"
#include "platform/ListenerList.h"
#include "platform/Messages.h"

#include <windows.h>

#include <functional>

namespace telvora {

class TcxSystemPaletteChangedNotifier;

class TcxSystemPaletteChangedListener {
public:
  TcxSystemPaletteChangedListener();
  TcxSystemPaletteChangedListener(const TcxSystemPaletteChangedListener&) = delete;
  TcxSystemPaletteChangedListener& operator=(const TcxSystemPaletteChangedListener&) = delete;
  virtual ~TcxSystemPaletteChangedListener();

  void AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier, bool AIsPrimary);
  void RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier, bool AIsPrimary);

  // The hidden window that receives the broadcast.
  HWND WindowHandle() const noexcept { return FWindowHandle; }
  int NotifierCount(bool AIsPrimary) const noexcept;

protected:
  // Updates the theme-active flag, refreshes the Office 11 colours, then
  // tells the primary notifiers, then the ordinary ones, last to first.
  virtual void DoChange();

private:
  void WndProc(TMessage& message);

  TListenerList<TcxSystemPaletteChangedNotifier> FNotifierList;
  TListenerList<TcxSystemPaletteChangedNotifier> FPrimaryNotifierList;
  HWND FWindowHandle = nullptr;
};

// Take and drop a reference on the process's listener: the first reference
// creates it, the last one frees it. No listener is created after the unit
// has shut down.
void AddRefSystemPaletteChangedListener();
void ReleaseRefSystemPaletteChangedListener();
// The listener, or none.
TcxSystemPaletteChangedListener* SystemPaletteChangedListener() noexcept;
// The number of references held (one per notifier alive).
int SystemPaletteChangedListenerRefCount() noexcept;

// What a subscriber owns: subscribes on creation, unsubscribes when freed.
class TcxSystemPaletteChangedNotifier : public TObject {
public:
  explicit TcxSystemPaletteChangedNotifier(bool AIsPrimary = false);
  ~TcxSystemPaletteChangedNotifier() override;

  bool IsPrimary() const noexcept { return FIsPrimary; }
  // Calls OnSystemPaletteChanged when set.
  virtual void DoChanged();

  std::function<void()> OnSystemPaletteChanged;

private:
  bool FIsPrimary;
  bool FSubscribed = false;
  unsigned FListenerGeneration = 0;
};

// Start-up and shut-down of the system colour notification. Shut-down frees
// a listener still referenced (its notifiers stay inert afterwards).
void InitSystemPaletteUnit();
void DoneSystemPaletteUnit();

} // namespace telvora
