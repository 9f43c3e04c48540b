// Shut-down of the timer, mouse-tracking and DPI units. Each test shuts its
// unit down for the rest of this program (the program's own shut-down then
// finds it already done), so this program holds nothing else.

#include "ui/support/cxMouseTracking.h"
#include "ui/support/cxTimer.h"
#include "ui/support/dxCore.h"
#include "ui/support/dxDPI.h"
#include "ui/support/dxScaleFactor.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct TCaller : IcxMouseTrackingCaller {
  int Leaves = 0;
  void MouseLeave() override { ++Leaves; }
};

TEST(MouseTrackingShutDown, RaisesForEntriesLeftAndCreatesNothingAfterwards) {
  TCaller left, later;
  BeginMouseTracking(nullptr, RECT{0, 0, 10, 10}, &left);
  ASSERT_TRUE(IsMouseTracking(&left));
  UINT_PTR leftTimer = GetMouseTrackingTimer(&left)->EventID();
  try {
    DoneMouseTrackingUnit();
    ADD_FAILURE() << "no exception";
  } catch (const EdxException& e) {
    EXPECT_EQ(e.Message(), L"MouseTrackingTimerList.Count <> 0");
  }
  EXPECT_FALSE(IsMouseTracking(&left));
  EXPECT_EQ(MouseTrackingTimerList(), nullptr);
  // The entry left over was freed: its tick is no longer dispatched.
  PostMessageW(cxTimerWindowHandle(), WM_TIMER, leftTimer, 0);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageW(&msg);
  EXPECT_EQ(left.Leaves, 0);

  BeginMouseTracking(nullptr, RECT{0, 0, 10, 10}, &later);
  EXPECT_FALSE(IsMouseTracking(&later));
  EXPECT_EQ(GetMouseTrackingTimer(&later), nullptr);
  EXPECT_EQ(MouseTrackingTimerList(), nullptr);
  EndMouseTracking(&later);
  FinishMouseTracking(nullptr);
  EXPECT_NO_THROW(DoneMouseTrackingUnit());
}

TEST(TimerShutDown, TurnsTimersOffAndSetsNoneAfterwards) {
  int ticks = 0;
  auto running = cxCreateTimer([&](TObject*) { ++ticks; }, 10, true);
  HWND window = cxTimerWindowHandle();
  ASSERT_TRUE(running->TimerOn());
  DoneTimerUnit();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(running->TimerOn());
  EXPECT_EQ(cxTimerWindowHandle(), nullptr);

  auto later = cxCreateTimer([&](TObject*) { ++ticks; }, 10, true);
  EXPECT_FALSE(later->TimerOn());
  running->Reset();
  EXPECT_FALSE(running->TimerOn());
  EXPECT_EQ(cxTimerWindowHandle(), nullptr);
  Sleep(30);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageW(&msg);
  EXPECT_EQ(ticks, 0);
  running.reset(); // freeing a timer after shut-down is harmless
  EXPECT_NO_THROW(DoneTimerUnit());
}

TEST(DPIShutDown, FreesTheFactorsAndTheEntryPoints) {
  ASSERT_NE(dxSystemScaleFactor(), nullptr);
  ASSERT_NE(dxDPIEntryPoints().GetSystemMetricsForDpi, nullptr);
  DoneDPIUnit();
  EXPECT_EQ(dxDefaultScaleFactor(), nullptr);
  EXPECT_EQ(dxSystemScaleFactor(), nullptr);
  EXPECT_EQ(dxDesktopScaleFactor(), nullptr);
  const TdxDPIEntryPoints& e = dxDPIEntryPoints();
  EXPECT_EQ(e.GetDpiForMonitor, nullptr);
  EXPECT_EQ(e.GetProcessDpiAwareness, nullptr);
  EXPECT_EQ(e.SetProcessDpiAwareness, nullptr);
  EXPECT_EQ(e.GetSystemMetricsForDpi, nullptr);
  EXPECT_EQ(e.GetThreadDpiAwarenessContext, nullptr);
  EXPECT_EQ(e.SetThreadDpiAwarenessContext, nullptr);
  EXPECT_EQ(e.AdjustWindowRectExForDpi, nullptr);
  // The functions fall back on what needs no optional entry point.
  TdxScaleFactor f;
  f.Assign(3, 2, false);
  EXPECT_EQ(dxGetSystemMetrics(SM_CXVSCROLL, &f), GetSystemMetrics(SM_CXVSCROLL));
  POINT origin{0, 0};
  EXPECT_EQ(dxGetMonitorDPI(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY)), dxGetSystemDPI());
  EXPECT_EQ(dxGetScaleFactor(nullptr), nullptr);
  EXPECT_NO_THROW(DoneDPIUnit());
}

} // namespace
} // namespace telvora
