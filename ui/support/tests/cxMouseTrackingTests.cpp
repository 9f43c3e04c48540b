// Mouse tracking with real windows and real pointer moves.

#include "platform/Forms.h"
#include "ui/buttons/cxButtons.h"
#include "ui/support/cxMouseTracking.h"

#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace telvora {
namespace {

using testing::PumpPending;
using testing::PumpUntil;

struct TCaller : IcxMouseTrackingCaller {
  int Leaves = 0;
  std::function<void()> OnLeave;
  void MouseLeave() override {
    ++Leaves;
    if (OnLeave)
      OnLeave();
  }
};

struct TCaller2 : IcxMouseTrackingCaller2 {
  int Leaves = 0;
  RECT Area{};
  POINT LastPoint{-1000, -1000};
  void MouseLeave() override { ++Leaves; }
  bool PtInCaller(const POINT& P) override {
    LastPoint = P;
    return PtInRect(&Area, P) != FALSE;
  }
};

struct TCaller3 : IcxMouseTrackingCaller3 {
  int Leaves = 0;
  bool Capture = false;
  void MouseLeave() override { ++Leaves; }
  bool PtInCaller(const POINT&) override { return false; }
  bool IsCaptureMouse() override { return Capture; }
};

struct TRecordedMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

class TTrackedControl : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::wstring ClassName() const override { return L"TTrackedTestControl"; }
  std::vector<TRecordedMessage> Leaves; // CM_MOUSELEAVE and WM_MOUSELEAVE
  int Count(UINT msg) const {
    int n = 0;
    for (const auto& m : Leaves)
      n += m.Msg == msg ? 1 : 0;
    return n;
  }

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == CM_MOUSELEAVE || message.Msg == WM_MOUSELEAVE)
      Leaves.push_back({message.Msg, message.WParam, message.LParam});
    TWinControl::WndProc(message);
  }
};

class TTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TTrackingTestForm"; }
};

LRESULT CALLBACK PlainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(w, m, wp, lp);
}

// A plain top-level window of another kind: "another window" for tracking.
HWND CreatePlainWindow(int x, int y, int width, int height, bool visible) {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = L"TelvoraTrackingOtherWindow";
    return RegisterClassW(&wc) != 0;
  }();
  if (!registered)
    return nullptr;
  HWND w = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                           L"TelvoraTrackingOtherWindow", L"", WS_POPUP, x, y, width, height,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (w && visible)
    ShowWindow(w, SW_SHOWNOACTIVATE);
  return w;
}

POINT CenterOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class MouseTracking : public ::testing::Test {
protected:
  void SetUp() override {
    FForm = std::make_unique<TTestForm>(nullptr);
    FForm->SetClientSize(600, 400);
    FControl = new TTrackedControl(FForm.get());
    FControl->SetBounds(10, 10, 100, 40);
    FControl->SetParent(FForm.get());
    FOther = new TTrackedControl(FForm.get());
    FOther->SetBounds(10, 200, 100, 40);
    FOther->SetParent(FForm.get());
    FForm->HandleNeeded();
    SetWindowPos(FForm->Handle(), nullptr, 100, 100, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(FForm->Handle(), SW_SHOWNOACTIVATE);
    FElsewhere.Reset(CreatePlainWindow(900, 100, 200, 200, true));
    ASSERT_TRUE(FElsewhere);
    PumpPending();
    FBaseCount = MouseTrackingTimerList()->size();
  }

  void TearDown() override {
    for (IcxMouseTrackingCaller* caller : FCallers)
      EndMouseTracking(caller);
    if (GetCapture())
      ReleaseCapture();
    FPopup.Reset();
    FElsewhere.Reset();
    FForm.reset();
    PumpPending();
    EXPECT_EQ(MouseTrackingTimerList()->size(), FBaseCount);
  }

  // The screen position of a point of the tracked control.
  POINT OnControl(int x = 50, int y = 20) {
    POINT p{x, y};
    ClientToScreen(FControl->Handle(), &p);
    return p;
  }
  RECT ControlClient() { return FControl->ClientRect(); }

  void Track(TWinControl* control, const RECT& bounds, IcxMouseTrackingCaller* caller) {
    FCallers.push_back(caller);
    BeginMouseTracking(control, bounds, caller);
  }

  // Counts the ticks of a caller's tracking timer from now on.
  std::shared_ptr<int> CountTicks(IcxMouseTrackingCaller* caller) {
    auto ticks = std::make_shared<int>(0);
    TMouseTrackingTimer* timer = GetMouseTrackingTimer(caller);
    if (timer == nullptr)
      return ticks;
    TNotifyEvent original = timer->OnTimer();
    timer->SetOnTimer([ticks, original](TObject* sender) {
      ++*ticks;
      original(sender);
    });
    return ticks;
  }

  // Lets the caller's timer tick `count` times; false if its tracking ended.
  bool TicksPass(IcxMouseTrackingCaller* caller, int count) {
    auto ticks = CountTicks(caller);
    PumpUntil([&] { return *ticks >= count || !IsMouseTracking(caller); });
    return IsMouseTracking(caller) && *ticks >= count;
  }

  void ShowPopupOverControl() {
    RECT r{};
    GetWindowRect(FControl->Handle(), &r);
    FPopup.Reset(CreatePlainWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, true));
    ASSERT_TRUE(FPopup);
  }

  std::unique_ptr<TTestForm> FForm;
  TTrackedControl* FControl = nullptr;
  TTrackedControl* FOther = nullptr;
  TWindowHandle FElsewhere;
  TWindowHandle FPopup;
  std::vector<IcxMouseTrackingCaller*> FCallers;
  size_t FBaseCount = 0;
};

TEST_F(MouseTracking, GoesOnWhileThePointerStaysOnTheCaller) {
  TCaller caller;
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, ControlClient(), &caller);
  EXPECT_TRUE(TicksPass(&caller, 5));
  EXPECT_EQ(caller.Leaves, 0);
  EXPECT_TRUE(FControl->Leaves.empty());
}

TEST_F(MouseTracking, PointerLeavingOntoAnotherWindowEndsIt) {
  TCaller caller;
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, ControlClient(), &caller);
  ASSERT_TRUE(TicksPass(&caller, 2));
  POINT elsewhere = CenterOf(FElsewhere.Get());
  SetCursorPos(elsewhere.x, elsewhere.y);
  ASSERT_TRUE(PumpUntil([&] { return !IsMouseTracking(&caller); }));
  EXPECT_EQ(caller.Leaves, 1);
  ASSERT_EQ(FControl->Count(CM_MOUSELEAVE), 1);
  EXPECT_EQ(FControl->Leaves[0].WParam, 0u);
  EXPECT_EQ(FControl->Leaves[0].LParam, reinterpret_cast<LPARAM>(FControl));
}

TEST_F(MouseTracking, PopupOverTheControlEndsIt) {
  TCaller caller;
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, ControlClient(), &caller);
  ASSERT_TRUE(TicksPass(&caller, 2));
  ShowPopupOverControl();
  ASSERT_TRUE(PumpUntil([&] { return !IsMouseTracking(&caller); }));
  EXPECT_EQ(caller.Leaves, 1);
  // The pointer is still inside the control's client area and the form is
  // enabled: the control itself is not sent CM_MOUSELEAVE.
  EXPECT_EQ(FControl->Count(CM_MOUSELEAVE), 0);
}

TEST_F(MouseTracking, WindowOverTheControlDoesNotCountWhileItHoldsTheCapture) {
  TCaller caller;
  SetCursorPos(OnControl().x, OnControl().y);
  SetCapture(FControl->Handle());
  Track(FControl, ControlClient(), &caller);
  ShowPopupOverControl();
  EXPECT_TRUE(TicksPass(&caller, 5));
  EXPECT_EQ(caller.Leaves, 0);
  ReleaseCapture();
  ASSERT_TRUE(PumpUntil([&] { return !IsMouseTracking(&caller); }));
  EXPECT_EQ(caller.Leaves, 1);
}

TEST_F(MouseTracking, DisabledFormEndsIt) {
  TCaller caller;
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, ControlClient(), &caller);
  ASSERT_TRUE(TicksPass(&caller, 2));
  EnableWindow(FForm->Handle(), FALSE);
  ASSERT_TRUE(PumpUntil([&] { return !IsMouseTracking(&caller); }));
  EnableWindow(FForm->Handle(), TRUE);
  EXPECT_EQ(caller.Leaves, 1);
  // Although the pointer is inside the control, the control is told.
  EXPECT_EQ(FControl->Count(CM_MOUSELEAVE), 1);
}

BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CloseMessageBox() {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&box));
  if (box)
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(MouseTracking, ModalMessageBoxEndsIt) {
  TCaller caller;
  bool formDisabledAtLeave = false;
  bool boxShown = false;
  caller.OnLeave = [&] {
    formDisabledAtLeave = !IsWindowEnabled(FForm->Handle());
    CloseMessageBox();
  };
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, ControlClient(), &caller);
  ASSERT_TRUE(TicksPass(&caller, 2));
  // The box runs its own message loop, from a tick as a handler would.
  auto safety = cxCreateTimer([](TObject*) { CloseMessageBox(); }, 5000, false);
  auto show = cxCreateTimer(
      [&](TObject* sender) {
        static_cast<TcxTimer*>(sender)->SetEnabled(false);
        safety->SetEnabled(true);
        MessageBoxW(FForm->Handle(), L"Modal", L"Tracking", MB_OK);
        boxShown = true;
      },
      10, true);
  ASSERT_TRUE(PumpUntil([&] { return boxShown; }));
  EXPECT_EQ(caller.Leaves, 1);
  EXPECT_TRUE(formDisabledAtLeave);
  EXPECT_FALSE(IsMouseTracking(&caller));
}

TEST_F(MouseTracking, EnteringTwiceKeepsOneEntryWithTheFirstBounds) {
  TCaller caller, second;
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, RECT{0, 0, 100, 40}, &caller);
  Track(FControl, RECT{5, 5, 10, 10}, &caller);
  Track(nullptr, RECT{1, 2, 3, 4}, &second);
  const TMouseTrackingTimerList& list = *MouseTrackingTimerList();
  ASSERT_EQ(list.size(), FBaseCount + 2);
  TMouseTrackingTimer* entry = GetMouseTrackingTimer(&caller);
  ASSERT_EQ(list[FBaseCount], entry);
  EXPECT_EQ(entry->Caller, &caller);
  EXPECT_EQ(entry->Control, FControl);
  POINT origin = OnControl(0, 0);
  EXPECT_EQ(entry->Bounds.left, origin.x);
  EXPECT_EQ(entry->Bounds.top, origin.y);
  EXPECT_EQ(entry->Bounds.right, origin.x + 100);
  EXPECT_EQ(entry->Bounds.bottom, origin.y + 40);
  EXPECT_EQ(entry->Interval(), 10u);
  EXPECT_TRUE(entry->TimerOn());
  // Without a control the bounds are screen coordinates already.
  EXPECT_EQ(GetMouseTrackingTimer(&second)->Bounds.right, 3);
}

TEST_F(MouseTracking, EndingAnUntrackedCallerDoesNothing) {
  TCaller tracked, untracked;
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, ControlClient(), &tracked);
  EndMouseTracking(&untracked);
  EXPECT_FALSE(IsMouseTracking(&untracked));
  EXPECT_EQ(GetMouseTrackingTimer(&untracked), nullptr);
  EXPECT_TRUE(IsMouseTracking(&tracked));
  EndMouseTracking(&tracked);
  EndMouseTracking(&tracked);
  EXPECT_FALSE(IsMouseTracking(&tracked));
  EXPECT_EQ(MouseTrackingTimerList()->size(), FBaseCount);
  EXPECT_EQ(tracked.Leaves, 0);
}

TEST_F(MouseTracking, FinishTellsEveryCallerOfTheControlLastFirst) {
  std::string order;
  TCaller a, b, c;
  a.OnLeave = [&] { order += 'a'; };
  b.OnLeave = [&] { order += 'b'; };
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, ControlClient(), &a);
  Track(FOther, ControlClient(), &c);
  Track(FControl, ControlClient(), &b);
  FinishMouseTracking(FControl);
  EXPECT_EQ(order, "ba");
  EXPECT_FALSE(IsMouseTracking(&a));
  EXPECT_FALSE(IsMouseTracking(&b));
  EXPECT_TRUE(IsMouseTracking(&c));
  ASSERT_EQ(FControl->Count(WM_MOUSELEAVE), 1);
  const TRecordedMessage& leave = FControl->Leaves[0];
  EXPECT_EQ(leave.Msg, static_cast<UINT>(WM_MOUSELEAVE));
  EXPECT_EQ(leave.WParam, 0u);
  EXPECT_EQ(leave.LParam, reinterpret_cast<LPARAM>(FControl));
  EXPECT_EQ(FOther->Count(WM_MOUSELEAVE), 0);

  // Nothing tracked for the control any more: nothing is delivered.
  FinishMouseTracking(FControl);
  EXPECT_EQ(FControl->Count(WM_MOUSELEAVE), 1);
}

TEST_F(MouseTracking, FinishSkipsCallersWhoseTrackingAnotherCallerEnded) {
  TCaller a, b;
  b.OnLeave = [&] { EndMouseTracking(&a); };
  Track(FControl, ControlClient(), &a);
  Track(FControl, ControlClient(), &b);
  FinishMouseTracking(FControl);
  EXPECT_EQ(b.Leaves, 1);
  EXPECT_EQ(a.Leaves, 0);
  EXPECT_FALSE(IsMouseTracking(&a));
}

TEST_F(MouseTracking, WithoutControlTheScreenBoundsDecide) {
  TCaller caller;
  TCaller2 caller2;
  POINT p = OnControl();
  SetCursorPos(p.x, p.y);
  // A popup over the bounds does not matter without a control.
  ShowPopupOverControl();
  caller2.Area = RECT{p.x - 5, p.y - 5, p.x + 5, p.y + 5};
  Track(nullptr, RECT{p.x - 5, p.y - 5, p.x + 5, p.y + 5}, &caller);
  Track(nullptr, RECT{-5, -5, -1, -1}, &caller2);
  EXPECT_TRUE(TicksPass(&caller, 5));
  EXPECT_TRUE(IsMouseTracking(&caller2));
  EXPECT_EQ(caller2.LastPoint.x, p.x); // screen coordinates
  EXPECT_EQ(caller2.LastPoint.y, p.y);
  // The right and bottom edges are outside.
  SetCursorPos(p.x + 5, p.y);
  ASSERT_TRUE(PumpUntil([&] { return !IsMouseTracking(&caller); }));
  EXPECT_EQ(caller.Leaves, 1);
  ASSERT_TRUE(PumpUntil([&] { return !IsMouseTracking(&caller2); }));
  EXPECT_EQ(caller2.Leaves, 1);
  EXPECT_TRUE(FControl->Leaves.empty());
}

TEST_F(MouseTracking, CallerDecidesInClientCoordinatesWhereItLies) {
  TCaller2 caller;
  caller.Area = ControlClient();
  SetCursorPos(OnControl(30, 15).x, OnControl(30, 15).y);
  Track(FControl, RECT{}, &caller); // the bounds do not matter here
  EXPECT_TRUE(TicksPass(&caller, 3));
  EXPECT_EQ(caller.LastPoint.x, 30);
  EXPECT_EQ(caller.LastPoint.y, 15);
  // The caller shrinks away from the pointer: tracking ends, although the
  // pointer is still over the control (so the control is not told).
  caller.Area = RECT{0, 0, 10, 10};
  ASSERT_TRUE(PumpUntil([&] { return !IsMouseTracking(&caller); }));
  EXPECT_EQ(caller.Leaves, 1);
  EXPECT_EQ(FControl->Count(CM_MOUSELEAVE), 0);
}

TEST_F(MouseTracking, CallerHoldingTheMouseStaysTrackedOutsideItself) {
  TCaller3 caller;
  caller.Capture = true;
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, ControlClient(), &caller);
  EXPECT_TRUE(TicksPass(&caller, 5));
  EXPECT_EQ(caller.Leaves, 0);
  caller.Capture = false;
  ASSERT_TRUE(PumpUntil([&] { return !IsMouseTracking(&caller); }));
  EXPECT_EQ(caller.Leaves, 1);
}

TEST_F(MouseTracking, CallerHoldingTheMouseStillEndsWhenTheFormIsDisabled) {
  TCaller3 caller;
  caller.Capture = true;
  SetCursorPos(OnControl().x, OnControl().y);
  Track(FControl, ControlClient(), &caller);
  ASSERT_TRUE(TicksPass(&caller, 2));
  EnableWindow(FForm->Handle(), FALSE);
  ASSERT_TRUE(PumpUntil([&] { return !IsMouseTracking(&caller); }));
  EnableWindow(FForm->Handle(), TRUE);
  EXPECT_EQ(caller.Leaves, 1);
}

// The push button as a tracked caller, driven by real pointer moves.
class ButtonTracking : public MouseTracking {
protected:
  void SetUp() override {
    MouseTracking::SetUp();
    FButton = new TcxButton(FForm.get());
    FButton->SetBounds(300, 10, 75, 25);
    FButton->SetCaption(L"Hot");
    FButton->SetParent(FForm.get());
    FButton->HandleNeeded();
    POINT away = CenterOf(FElsewhere.Get());
    SetCursorPos(away.x, away.y);
    PumpPending();
  }

  bool Hot() const { return FButton->InternalStates().Contains(bisHot); }

  void EnterButton() {
    POINT p = CenterOf(FButton->Handle());
    SetCursorPos(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return Hot(); }));
    ASSERT_TRUE(IsMouseTracking(FButton));
  }

  TcxButton* FButton = nullptr;
};

TEST_F(ButtonTracking, PointerEnteringMakesItHotAndTrackingEndsTheHotLook) {
  EnterButton();
  TMouseTrackingTimer* entry = GetMouseTrackingTimer(FButton);
  EXPECT_EQ(entry->Control, FButton);
  RECT window{};
  GetWindowRect(FButton->Handle(), &window);
  EXPECT_EQ(entry->Bounds.left, window.left);
  EXPECT_EQ(entry->Bounds.right, window.left + 75);

  // A window popping up under the pointer sends no leave message: only
  // the tracking notices.
  RECT r{};
  GetWindowRect(FButton->Handle(), &r);
  FPopup.Reset(CreatePlainWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, true));
  ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
  EXPECT_FALSE(IsMouseTracking(FButton));
}

TEST_F(ButtonTracking, LeavingOntoAnotherWindowEndsTheHotLook) {
  EnterButton();
  POINT away = CenterOf(FElsewhere.Get());
  SetCursorPos(away.x, away.y);
  ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
  EXPECT_FALSE(IsMouseTracking(FButton));
}

TEST_F(ButtonTracking, WindowDestroyedWhileHotEndsTheTracking) {
  EnterButton();
  FButton->RecreateWnd();
  EXPECT_FALSE(Hot());
  EXPECT_FALSE(IsMouseTracking(FButton));
  // The framework forgot that the pointer was inside: the next move over
  // the new window makes the button hot again.
  POINT p = CenterOf(FButton->Handle());
  SetCursorPos(p.x + 1, p.y);
  ASSERT_TRUE(PumpUntil([&] { return Hot(); }));
  EXPECT_TRUE(IsMouseTracking(FButton));
}

TEST_F(ButtonTracking, FreeingAHotButtonEndsItsTracking) {
  EnterButton();
  delete FButton;
  FButton = nullptr;
  EXPECT_EQ(MouseTrackingTimerList()->size(), FBaseCount);
}

} // namespace
} // namespace telvora
