#include "platform/Handles.h"
#include "ui/support/cxTimer.h"

#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <functional>

namespace telvora {
namespace {

using testing::PumpPending;
using testing::PumpUntil;

// A tick delivered to the timer window as if Windows had sent it.
void DeliverTick(UINT_PTR id) {
  PostMessageW(cxTimerWindowHandle(), WM_TIMER, id, 0);
  PumpPending();
}

TEST(Timer, StartsEnabledWithOneSecondAndNoTimerUntilItHasAHandler) {
  TcxTimer timer;
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_FALSE(timer.TimerOn());
  EXPECT_EQ(timer.EventID(), reinterpret_cast<UINT_PTR>(&timer));
  timer.SetOnTimer([](TObject*) {});
  EXPECT_TRUE(timer.TimerOn());
}

TEST(Timer, TicksOnlyThroughTheMessageLoop) {
  int ticks = 0;
  TObject* sender = nullptr;
  auto timer = cxCreateTimer(
      [&](TObject* s) {
        ++ticks;
        sender = s;
      },
      10, true);
  ASSERT_TRUE(timer->TimerOn());
  Sleep(60);
  EXPECT_EQ(ticks, 0);
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(sender, timer.get());
}

TEST(Timer, SettingsReArmTheTimer) {
  int ticks = 0;
  auto handler = [&](TObject*) { ++ticks; };
  auto timer = cxCreateTimer(handler, 50, false);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_FALSE(timer->TimerOn());
  timer->SetEnabled(true);
  EXPECT_TRUE(timer->TimerOn());
  timer->SetInterval(0); // ignored
  EXPECT_EQ(timer->Interval(), 50u);
  EXPECT_TRUE(timer->TimerOn());
  timer->SetInterval(20);
  EXPECT_EQ(timer->Interval(), 20u);
  EXPECT_TRUE(timer->TimerOn());
  timer->SetOnTimer(nullptr);
  EXPECT_FALSE(timer->TimerOn());
  timer->Reset();
  EXPECT_FALSE(timer->TimerOn());
  timer->SetOnTimer(handler);
  timer->Reset();
  EXPECT_TRUE(timer->TimerOn());
  timer->SetEnabled(false);
  EXPECT_FALSE(timer->TimerOn());
  timer->Reset();
  EXPECT_FALSE(timer->TimerOn());
}

TEST(Timer, TicksOfTimersThatAreOffAreIgnored) {
  int ticks = 0;
  auto timer = cxCreateTimer([&](TObject*) { ++ticks; }, 60000, true);
  const UINT_PTR id = timer->EventID();
  DeliverTick(id);
  EXPECT_EQ(ticks, 1); // an id in the active list is dispatched

  timer->SetEnabled(false);
  DeliverTick(id);
  EXPECT_EQ(ticks, 1);

  timer.reset(); // freed: its id must not reach the freed object
  DeliverTick(id);
  DeliverTick(0x12345678);
  EXPECT_EQ(ticks, 1);
}

TEST(Timer, HandlerMayFreeItsOwnTimer) {
  int ticks = 0;
  std::unique_ptr<TcxTimer> timer;
  timer = cxCreateTimer(
      [&](TObject*) {
        ++ticks;
        timer.reset();
      },
      10, true);
  ASSERT_TRUE(PumpUntil([&] { return timer == nullptr; }));
  Sleep(30);
  PumpPending();
  EXPECT_EQ(ticks, 1);
}

TEST(Timer, OwnerFreesItsTimers) {
  int ticks = 0;
  UINT_PTR id = 0;
  {
    TcxTimer owner;
    auto* timer = new TcxTimer(&owner);
    timer->SetOnTimer([&](TObject*) { ++ticks; });
    id = timer->EventID();
    ASSERT_TRUE(timer->TimerOn());
  }
  DeliverTick(id);
  EXPECT_EQ(ticks, 0);
}

TEST(Timer, WindowIsMessageOnly) {
  HWND window = cxTimerWindowHandle();
  ASSERT_NE(window, nullptr);
  bool found = false;
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, L"TPUtilWindow", nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, L"TPUtilWindow", nullptr))
    found = found || w == window;
  EXPECT_TRUE(found);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(cxTimerWindowHandle(), window);
}

LRESULT CALLBACK PlainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(w, m, wp, lp);
}

TEST(Timer, CreatingTheWindowLeavesTheActiveWindowAlone) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TelvoraTimerTestWindow";
  RegisterClassW(&wc);
  TWindowHandle active(CreateWindowExW(0, wc.lpszClassName, L"Active", WS_OVERLAPPEDWINDOW, 50, 50,
                                       200, 100, nullptr, nullptr, wc.hInstance, nullptr));
  ASSERT_TRUE(active);
  ShowWindow(active.Get(), SW_SHOW);
  SetForegroundWindow(active.Get());
  PumpPending();
  ASSERT_EQ(GetActiveWindow(), active.Get());
  // A new timer window, made the way the first timer of the program makes it.
  DoneTimerUnit();
  InitTimerUnit();
  HWND window = cxTimerWindowHandle();
  ASSERT_NE(window, nullptr);
  PumpPending();
  EXPECT_EQ(GetActiveWindow(), active.Get());
  EXPECT_EQ(GetForegroundWindow(), active.Get());
  EXPECT_EQ(GetFocus(), active.Get());
}

} // namespace
} // namespace telvora
