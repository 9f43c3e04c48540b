// The button is an owner-drawn Windows button: each paint goes through the
// Windows button procedure, which asks the parent for its colours and to
// draw the item; the parent hands the request back to the button. A program
// that subclasses the parent sees those requests and may answer them itself.

#include "platform/Forms.h"
#include "platform/Handles.h"
#include "tests/support/MessagePump.h"
#include "ui/buttons/cxButtons.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace telvora {
namespace {

using testing::PumpPending;

class TOwnerDrawTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TOwnerDrawTestForm"; }
};

// What the parent's window procedure was asked about the button, seen from
// a subclass put in front of the framework's procedure.
struct TParentLog {
  HWND Button = nullptr;
  std::vector<DRAWITEMSTRUCT> DrawItems;
  int ColorRequests = 0;
  // When set, the subclass draws the item itself in this colour and does not
  // pass the request on.
  COLORREF OwnFill = CLR_INVALID;
  WNDPROC Previous = nullptr;
};

TParentLog* gLog = nullptr;

LRESULT CALLBACK LoggingParentProc(HWND AWindow, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  if (AMsg == WM_CTLCOLORBTN && reinterpret_cast<HWND>(ALParam) == gLog->Button)
    ++gLog->ColorRequests;
  if (AMsg == WM_DRAWITEM) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(ALParam);
    gLog->DrawItems.push_back(item);
    if (gLog->OwnFill != CLR_INVALID && item.hwndItem == gLog->Button) {
      const HBRUSH brush = CreateSolidBrush(gLog->OwnFill);
      FillRect(item.hDC, &item.rcItem, brush);
      DeleteObject(brush);
      return TRUE;
    }
  }
  return CallWindowProcW(gLog->Previous, AWindow, AMsg, AWParam, ALParam);
}

class ButtonOwnerDraw : public ::testing::Test {
protected:
  void SetUp() override {
    FForm = std::make_unique<TOwnerDrawTestForm>(nullptr);
    FForm->SetClientSize(200, 80);
    FButton = new TcxButton(FForm.get());
    FButton->SetBounds(20, 20, 75, 25);
    FButton->SetCaption(L"GUID Oku");
    FButton->SetParent(FForm.get());
    FForm->HandleNeeded();
    SetWindowPos(FForm->Handle(), HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    FForm->Show(SW_SHOWNOACTIVATE);
    PumpPending();
    FLog.Button = FButton->Handle();
    gLog = &FLog;
    FLog.Previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        FForm->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LoggingParentProc)));
    ASSERT_NE(FLog.Previous, nullptr);
  }
  void TearDown() override {
    if (FLog.Previous != nullptr)
      SetWindowLongPtrW(FForm->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FLog.Previous));
    gLog = nullptr;
    FForm.reset();
    PumpPending();
  }
  // The button painted once more, now.
  void Repaint() {
    FLog.DrawItems.clear();
    FLog.ColorRequests = 0;
    InvalidateRect(FButton->Handle(), nullptr, FALSE);
    UpdateWindow(FButton->Handle());
  }
  // The screen's colour at the button's client point.
  COLORREF ScreenAt(int x, int y) {
    TWindowDC dc(FButton->Handle());
    return GetPixel(dc.Get(), x, y);
  }

  std::unique_ptr<TOwnerDrawTestForm> FForm;
  TcxButton* FButton = nullptr;
  TParentLog FLog;
};

TEST_F(ButtonOwnerDraw, EachPaintAsksTheParentForColoursAndToDrawTheItem) {
  Repaint();
  ASSERT_EQ(FLog.DrawItems.size(), 1u);
  const DRAWITEMSTRUCT& item = FLog.DrawItems.front();
  EXPECT_EQ(item.CtlType, static_cast<UINT>(ODT_BUTTON));
  EXPECT_EQ(item.CtlID, static_cast<UINT>(GetDlgCtrlID(FButton->Handle())));
  EXPECT_EQ(item.hwndItem, FButton->Handle());
  EXPECT_EQ(item.itemAction, static_cast<UINT>(ODA_DRAWENTIRE));
  EXPECT_EQ(item.itemState & (ODS_SELECTED | ODS_DISABLED), 0u);
  RECT client{};
  GetClientRect(FButton->Handle(), &client);
  EXPECT_TRUE(EqualRect(&item.rcItem, &client));
  EXPECT_EQ(FLog.ColorRequests, 1);
}

TEST_F(ButtonOwnerDraw, TheItemStateFollowsThePushedAndDisabledButton) {
  struct TCase {
    const char* Name;
    bool Pushed;
    bool Enabled;
    UINT Expected;
  };
  const TCase cases[] = {
      {"pushed by BM_SETSTATE", true, true, ODS_SELECTED},
      {"released", false, true, 0},
      {"disabled by EnableWindow", false, false, ODS_DISABLED},
      {"enabled again", false, true, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SendMessageW(FButton->Handle(), BM_SETSTATE, c.Pushed ? TRUE : FALSE, 0);
    EnableWindow(FButton->Handle(), c.Enabled ? TRUE : FALSE);
    PumpPending();
    Repaint();
    ASSERT_EQ(FLog.DrawItems.size(), 1u);
    EXPECT_EQ(FLog.DrawItems.front().itemState & (ODS_SELECTED | ODS_DISABLED), c.Expected);
  }
}

TEST_F(ButtonOwnerDraw, AParentThatDrawsTheItemItselfIsWhatTheScreenShows) {
  // First the button's own picture: not a plain fill of the colour used below.
  const COLORREF fill = RGB(0x12, 0x9A, 0x34);
  Repaint();
  ASSERT_NE(ScreenAt(37, 12), fill);
  // A parent program answering the request itself: the button draws nothing
  // over it.
  FLog.OwnFill = fill;
  Repaint();
  ASSERT_EQ(FLog.DrawItems.size(), 1u);
  for (const POINT p : {POINT{1, 1}, POINT{37, 12}, POINT{73, 23}})
    EXPECT_EQ(ScreenAt(p.x, p.y), fill) << p.x << "," << p.y;
  // And the button's own drawing again once the parent passes it on.
  FLog.OwnFill = CLR_INVALID;
  Repaint();
  EXPECT_NE(ScreenAt(37, 12), fill);
}

} // namespace
} // namespace telvora
