#include "ui/lookandfeel/cxLookAndFeels.h"

#include "platform/UtilWindow.h"
#include "ui/lookandfeel/dxOffice11.h"

#include <algorithm>

namespace telvora {

namespace {
TcxSystemPaletteChangedListener* FSystemPaletteChangedListener = nullptr;
int FSystemPaletteChangedListenerRefCount = 0;
bool FSystemPaletteUnitFinalized = false;
// Counts the listeners created: a notifier acts on its listener only while
// that same listener is alive.
unsigned FSystemPaletteChangedListenerGeneration = 0;

void EraseNotifier(std::vector<TcxSystemPaletteChangedNotifier*>& list,
                   TcxSystemPaletteChangedNotifier* notifier) {
  auto it = std::find(list.begin(), list.end(), notifier);
  if (it != list.end())
    list.erase(it);
}

// Calls each notifier of `list` from the last to the first; a notifier may
// remove itself (or others) meanwhile.
void NotifyLastToFirst(const std::vector<TcxSystemPaletteChangedNotifier*>& list) {
  for (size_t i = list.size(); i > 0; --i) {
    if (i - 1 < list.size())
      list[i - 1]->DoChanged();
  }
}
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
  FNotifierList.clear();
  FPrimaryNotifierList.clear();
  DeallocateHWnd(FWindowHandle);
  FWindowHandle = nullptr;
  ReleaseOffice11Colors();
}

void TcxSystemPaletteChangedListener::AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier,
                                                  bool AIsPrimary) {
  auto& list = AIsPrimary ? FPrimaryNotifierList : FNotifierList;
  if (std::find(list.begin(), list.end(), ANotifier) == list.end())
    list.push_back(ANotifier);
}

void TcxSystemPaletteChangedListener::RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier,
                                                     bool AIsPrimary) {
  EraseNotifier(AIsPrimary ? FPrimaryNotifierList : FNotifierList, ANotifier);
}

int TcxSystemPaletteChangedListener::NotifierCount(bool AIsPrimary) const noexcept {
  return static_cast<int>(AIsPrimary ? FPrimaryNotifierList.size() : FNotifierList.size());
}

void TcxSystemPaletteChangedListener::DoChange() {
  RefreshOffice11Colors();
  NotifyLastToFirst(FPrimaryNotifierList);
  NotifyLastToFirst(FNotifierList);
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
