#include "ui/lookandfeel/cxSystemPalette.h"

#include "platform/UtilWindow.h"
#include "ui/lookandfeel/dxOffice11.h"
#include "ui/themes/dxThemeManager.h"

namespace telvora {

namespace {
TcxSystemPaletteChangedListener* FSystemPaletteChangedListener = nullptr;
int FSystemPaletteChangedListenerRefCount = 0;
bool FSystemPaletteUnitFinalized = false;
// Counts the listeners created: a notifier acts on its listener only while
// that same listener is alive.
unsigned FSystemPaletteChangedListenerGeneration = 0;

} // namespace

// ---------------------------------------------------------------- listener

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener() {
  // The Office 11 colours are kept while the listener lives, so that it can
  // refresh them.
  CreateOffice11Colors();
  try {
    FWindowHandle = AllocateHWnd([this](TMessage& message) { WndProc(message); });
  } catch (...) {
    ReleaseOffice11Colors();
    throw;
  }
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener() {
  FNotifierList.Clear();
  FPrimaryNotifierList.Clear();
  DeallocateHWnd(FWindowHandle);
  FWindowHandle = nullptr;
  ReleaseOffice11Colors();
}

void TcxSystemPaletteChangedListener::AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier,
                                                  bool AIsPrimary) {
  (AIsPrimary ? FPrimaryNotifierList : FNotifierList).Add(ANotifier);
}

void TcxSystemPaletteChangedListener::RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier,
                                                     bool AIsPrimary) {
  (AIsPrimary ? FPrimaryNotifierList : FNotifierList).Remove(ANotifier);
}

int TcxSystemPaletteChangedListener::NotifierCount(bool AIsPrimary) const noexcept {
  return static_cast<int>(AIsPrimary ? FPrimaryNotifierList.Count() : FNotifierList.Count());
}

void TcxSystemPaletteChangedListener::DoChange() {
  // The theme-change window may get this same broadcast only later (a
  // broadcast reaches the top-level windows in an order nobody here chooses,
  // and a WM_THEMECHANGED may still wait in the queue), so the theme state is
  // brought up to date first: the colours and the painters are then chosen
  // for the theme now in force.
  UpdateGlobalThemeActive();
  RefreshOffice11Colors();
  // Each list from its last notifier to its first, over the notifiers there
  // were when the walk began, each while it is still listed: a notifier may
  // remove itself or others meanwhile; one added meanwhile is told at the
  // next change.
  FPrimaryNotifierList.ForEachBackward(
      [](TcxSystemPaletteChangedNotifier* notifier) { notifier->DoChanged(); });
  FNotifierList.ForEachBackward(
      [](TcxSystemPaletteChangedNotifier* notifier) { notifier->DoChanged(); });
}

void TcxSystemPaletteChangedListener::WndProc(TMessage& message) {
  // Whatever the notifiers do, the window answers as DefWindowProc does; an
  // exception still goes on to the application's error display.
  HWND window = FWindowHandle;
  if (message.Msg == WM_SYSCOLORCHANGE) {
    try {
      DoChange();
    } catch (...) {
      DefaultUtilWindowProc(window, message);
      throw;
    }
  }
  DefaultUtilWindowProc(window, message);
}

void AddRefSystemPaletteChangedListener() {
  if (FSystemPaletteUnitFinalized)
    return;
  if (FSystemPaletteChangedListenerRefCount == 0) {
    FSystemPaletteChangedListener = new TcxSystemPaletteChangedListener;
    ++FSystemPaletteChangedListenerGeneration;
  }
  ++FSystemPaletteChangedListenerRefCount;
}

void ReleaseRefSystemPaletteChangedListener() {
  if (FSystemPaletteChangedListenerRefCount <= 0)
    return;
  if (--FSystemPaletteChangedListenerRefCount == 0) {
    TcxSystemPaletteChangedListener* listener = FSystemPaletteChangedListener;
    FSystemPaletteChangedListener = nullptr;
    delete listener;
  }
}

TcxSystemPaletteChangedListener* SystemPaletteChangedListener() noexcept {
  return FSystemPaletteChangedListener;
}

int SystemPaletteChangedListenerRefCount() noexcept {
  return FSystemPaletteChangedListenerRefCount;
}

// ---------------------------------------------------------------- notifier

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool AIsPrimary)
    : FIsPrimary(AIsPrimary) {
  AddRefSystemPaletteChangedListener();
  if (FSystemPaletteChangedListener != nullptr) {
    FSystemPaletteChangedListener->AddNotifier(this, FIsPrimary);
    FSubscribed = true;
    FListenerGeneration = FSystemPaletteChangedListenerGeneration;
  }
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  // A listener freed by the unit's shut-down took this subscription with it.
  if (!FSubscribed || FSystemPaletteChangedListener == nullptr ||
      FListenerGeneration != FSystemPaletteChangedListenerGeneration)
    return;
  FSystemPaletteChangedListener->RemoveNotifier(this, FIsPrimary);
  ReleaseRefSystemPaletteChangedListener();
}

void TcxSystemPaletteChangedNotifier::DoChanged() {
  if (OnSystemPaletteChanged)
    OnSystemPaletteChanged();
}

// ---------------------------------------------------------------- unit

void InitSystemPaletteUnit() {
  FSystemPaletteUnitFinalized = false;
}

void DoneSystemPaletteUnit() {
  FSystemPaletteUnitFinalized = true;
  // Every subscriber shuts down earlier; a notifier still alive here is
  // detached so that its later destruction touches nothing.
  if (FSystemPaletteChangedListener != nullptr) {
    TcxSystemPaletteChangedListener* listener = FSystemPaletteChangedListener;
    FSystemPaletteChangedListener = nullptr;
    FSystemPaletteChangedListenerRefCount = 0;
    delete listener;
  }
}

} // namespace telvora
