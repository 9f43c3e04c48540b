#include "ui/support/cxMouseTracking.h"

#include "platform/Messages.h"
#include "ui/support/dxCore.h"

#include <algorithm>
#include <memory>

namespace telvora {

namespace {

struct TTrackingUnitState {
  std::unique_ptr<TMouseTrackingTimerList> List;
  bool Finalized = false;
};

TTrackingUnitState& TrackingUnit() {
  static TTrackingUnitState state;
  return state;
}

TMouseTrackingTimerList* TrackingList(bool create) {
  TTrackingUnitState& unit = TrackingUnit();
  if (!unit.List && create && !unit.Finalized)
    unit.List = std::make_unique<TMouseTrackingTimerList>();
  return unit.List.get();
}

TMouseTrackingTimerList::iterator FindEntry(TMouseTrackingTimerList& list,
                                            IcxMouseTrackingCaller* caller) {
  return std::find_if(list.begin(), list.end(),
                      [caller](TMouseTrackingTimer* timer) { return timer->Caller == caller; });
}

// The window under the pointer, followed down to the deepest visible child.
HWND DeepestVisibleWindowFromPoint(const POINT& P) {
  HWND window = WindowFromPoint(P);
  while (window) {
    POINT local = P;
    ScreenToClient(window, &local);
    HWND child = ChildWindowFromPointEx(window, local, CWP_SKIPINVISIBLE);
    if (child == nullptr || child == window)
      break;
    window = child;
  }
  return window;
}

// The control has no window, or its window or an ancestor up to the first
// window that is not a child window is disabled.
bool IsFormDisabled(TWinControl* control) {
  if (!control->HandleAllocated())
    return true;
  for (HWND window = control->Handle(); window; window = GetParent(window)) {
    if (!IsWindowEnabled(window))
      return true;
    if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0)
      break;
  }
  return false;
}

} // namespace

POINT GetMouseCursorPos() {
  POINT p{};
  if (!GetCursorPos(&p))
    p = {-1, -1};
  return p;
}

TMouseTrackingTimer::TMouseTrackingTimer() : TcxTimer(nullptr) {
  SetInterval(10);
  SetOnTimer([this](TObject* Sender) { TimerHandler(Sender); });
}

bool TMouseTrackingTimer::IsPointerOverOtherWindow(const POINT& P) const {
  if (Control == nullptr || !Control->HandleAllocated())
    return false;
  HWND own = Control->Handle();
  HWND under = DeepestVisibleWindowFromPoint(P);
  return under != own && !IsChild(own, under) && GetCapture() != own;
}

bool TMouseTrackingTimer::PtInCaller(const POINT& P) {
  if (IsPointerOverOtherWindow(P))
    return false;
  if (auto* caller2 = dynamic_cast<IcxMouseTrackingCaller2*>(Caller)) {
    if (Control == nullptr)
      return caller2->PtInCaller(P);
    if (!Control->HandleAllocated())
      return false;
    POINT local = P;
    ScreenToClient(Control->Handle(), &local);
    return caller2->PtInCaller(local);
  }
  return PtInRect(&Bounds, P) != FALSE;
}

bool TMouseTrackingTimer::CanFinishTracking() {
  POINT p = GetMouseCursorPos();
  if (!PtInCaller(p)) {
    auto* caller3 = dynamic_cast<IcxMouseTrackingCaller3*>(Caller);
    if (caller3 == nullptr || !caller3->IsCaptureMouse())
      return true;
  }
  return Control != nullptr && IsFormDisabled(Control);
}

void TMouseTrackingTimer::TimerHandler(TObject*) {
  if (!CanFinishTracking())
    return;
  // What follows may end the tracking and free this object: only locals
  // are used from here on.
  IcxMouseTrackingCaller* caller = Caller;
  TWinControl* control = Control;
  SetEnabled(false);
  if (control != nullptr && control->HandleAllocated()) {
    HWND window = control->Handle();
    POINT p = GetMouseCursorPos();
    ScreenToClient(window, &p);
    RECT client{};
    GetClientRect(window, &client);
    if (!PtInRect(&client, p) || IsFormDisabled(control))
      SendMessageW(window, CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  }
  if (caller != nullptr)
    caller->MouseLeave();
  EndMouseTracking(caller);
}

void BeginMouseTracking(TWinControl* AControl, const RECT& ABounds,
                        IcxMouseTrackingCaller* ACaller) {
  TMouseTrackingTimerList* list = TrackingList(true);
  if (list == nullptr || FindEntry(*list, ACaller) != list->end())
    return;
  RECT bounds = ABounds;
  if (AControl != nullptr && AControl->HandleAllocated()) {
    POINT origin{0, 0};
    MapWindowPoints(AControl->Handle(), nullptr, &origin, 1);
    OffsetRect(&bounds, origin.x, origin.y);
  }
  auto timer = std::make_unique<TMouseTrackingTimer>();
  timer->Control = AControl;
  timer->Bounds = bounds;
  timer->Caller = ACaller;
  list->push_back(timer.get());
  timer.release();
}

void EndMouseTracking(IcxMouseTrackingCaller* ACaller) {
  TMouseTrackingTimerList* list = TrackingList(false);
  if (list == nullptr)
    return;
  auto it = FindEntry(*list, ACaller);
  if (it == list->end())
    return;
  TMouseTrackingTimer* timer = *it;
  list->erase(it);
  delete timer;
}

bool IsMouseTracking(IcxMouseTrackingCaller* ACaller) {
  return GetMouseTrackingTimer(ACaller) != nullptr;
}

TMouseTrackingTimer* GetMouseTrackingTimer(IcxMouseTrackingCaller* ACaller) {
  TMouseTrackingTimerList* list = TrackingList(false);
  if (list == nullptr)
    return nullptr;
  auto it = FindEntry(*list, ACaller);
  return it == list->end() ? nullptr : *it;
}

void FinishMouseTracking(TWinControl* AControl) {
  TMouseTrackingTimerList* list = TrackingList(false);
  if (list == nullptr)
    return;
  // The callers first: a caller's MouseLeave may end other entries, which
  // are then no longer told.
  std::vector<IcxMouseTrackingCaller*> callers;
  for (auto it = list->rbegin(); it != list->rend(); ++it)
    if ((*it)->Control == AControl)
      callers.push_back((*it)->Caller);
  bool finished = false;
  for (IcxMouseTrackingCaller* caller : callers) {
    TMouseTrackingTimer* timer = GetMouseTrackingTimer(caller);
    if (timer == nullptr || timer->Control != AControl)
      continue;
    finished = true;
    caller->MouseLeave();
    EndMouseTracking(caller);
  }
  if (finished && AControl != nullptr)
    AControl->Perform(WM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(AControl));
}

const TMouseTrackingTimerList* MouseTrackingTimerList() {
  return TrackingList(true);
}

void InitMouseTrackingUnit() {
  TrackingUnit().Finalized = false;
}

void DoneMouseTrackingUnit() {
  TTrackingUnitState& unit = TrackingUnit();
  unit.Finalized = true;
  std::unique_ptr<TMouseTrackingTimerList> list = std::move(unit.List);
  if (!list || list->empty())
    return;
  // Entries left over are freed (their timers killed) before the failure
  // is reported, so nothing ticks into a unit that has shut down.
  for (TMouseTrackingTimer* timer : *list)
    delete timer;
  list->clear();
  throw EdxException(L"MouseTrackingTimerList.Count <> 0");
}

} // namespace telvora
