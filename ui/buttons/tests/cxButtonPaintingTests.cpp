// Painting the push button in a real form: the state and the face colour
// each paint hands to the painter, the custom-draw and draw-parameters
// handlers, the layout of the caption, fades on hover, and drawing with no
// GDI handle left. The pointer and the left button are moved and pressed for
// real.

#include "ui/buttons/tests/cxButtonTestFixture.h"
#include "ui/buttons/tests/LongestFadeIn.h"

#include "platform/Application.h"
#include "platform/SysUtils.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/cxMouseTracking.h"
#include "ui/support/dxFading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace telvora {
namespace {

using testing::MenuAnimation;
using testing::PumpPending;
using testing::PumpUntil;
using testing::SetMenuAnimation;

// The face colour handed to the painter for each state: an assigned normal
// colour colours every state, an assigned default colour only the normal one.
TEST_F(ButtonStates, AssignedColoursReachThePainterPerState) {
  constexpr TColor kRed = 0x0000FF;
  struct TCase {
    const char* Name;
    TcxButtonAssignedColor Entry;
    TColor NormalFace, HotFace, PressedFace;
  };
  const TCase cases[] = {
      {"normal", cxbcNormal, kRed, kRed, kRed},
      {"default", cxbcDefault, kRed, clDefault, clDefault},
      {"hot", cxbcHot, clDefault, kRed, clDefault},
  };
  auto paintedColor = [this] {
    FRecorder->Colors.clear();
    FButton->Repaint();
    return FRecorder->Colors.empty() ? clNone : FRecorder->Colors.back();
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ValidateRect(FButton->Handle(), nullptr);
    FButton->Colors().SetColor(c.Entry, kRed);
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(FButton->Handle(), &update, FALSE)) << "no repaint asked for";
    EXPECT_EQ(paintedColor(), c.NormalFace);
    Enter();
    EXPECT_EQ(paintedColor(), c.HotFace);
    ASSERT_TRUE(testing::MouseButtonDown());
    ASSERT_TRUE(PumpUntil([&] { return Pressed(); }));
    EXPECT_EQ(paintedColor(), c.PressedFace);
    ASSERT_TRUE(testing::MouseButtonUp());
    MoveAway();
    ASSERT_TRUE(PumpUntil([&] { return !Hot() && !Pressed(); }));
    FButton->Colors().SetColor(c.Entry, clNone);
    EXPECT_EQ(paintedColor(), clDefault);
  }
}

// A custom-draw handler that says it drew the button suppresses all of the
// button's own drawing, and no fade runs while a handler is assigned; one
// that does not leaves the drawing as it was.
TEST_F(Button, CustomDrawHandlerSuppressesDrawingAndFading) {
  SetMenuAnimation(true);
  dxFader()->SetState(fasEnabled);
  struct TCase {
    bool Handled;
    size_t Faces;
  };
  for (TCase c : {TCase{true, 0}, TCase{false, 1}}) {
    SCOPED_TRACE(c.Handled ? "handled" : "not handled");
    int calls = 0;
    FButton->OnCustomDraw = [&](TObject* Sender, TcxCanvas& ACanvas, TcxButtonViewInfo& AViewInfo,
                                bool& AHandled) {
      ++calls;
      EXPECT_EQ(Sender, FButton);
      EXPECT_FALSE(AHandled);
      EXPECT_NE(ACanvas.Handle(), nullptr);
      EXPECT_EQ(&AViewInfo, &FButton->ViewInfo());
      AHandled = c.Handled;
    };
    EXPECT_FALSE(FButton->CanFade());
    FRecorder->States.clear();
    FButton->Repaint();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(FRecorder->States.size(), c.Faces);
    const int requests = FButton->FadingImageRequests;
    Enter();
    FButton->Repaint();
    EXPECT_EQ(FButton->FadingImageRequests, requests) << "a fade started";
    EXPECT_FALSE(dxFader()->Contains(FButton));
    MoveAway();
    ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
  }
  FButton->OnCustomDraw = nullptr;
  EXPECT_TRUE(FButton->CanFade());
}

// A draw-parameters handler changes the face colour of the state it is
// asked for, also in the fading images.
TEST_F(Button, DrawParamsHandlerChangesTheFaceColourPerState) {
  constexpr TColor kGreen = 0x00FF00;
  std::vector<TcxButtonState> asked;
  FButton->OnGetDrawParams = [&](TcxCustomButton* Sender, TcxButtonState AState, TColor& AColor,
                                 TFont& AFont) {
    EXPECT_EQ(Sender, FButton);
    EXPECT_EQ(AFont.Height(), FButton->Font().Height());
    asked.push_back(AState);
    if (AState == cxbsHot)
      AColor = kGreen;
  };
  SetMenuAnimation(true);
  dxFader()->SetState(fasEnabled);
  FRecorder->Colors.clear();
  FButton->Repaint();
  ASSERT_FALSE(FRecorder->Colors.empty());
  EXPECT_EQ(FRecorder->Colors.back(), clDefault);
  FRecorder->States.clear();
  FRecorder->Colors.clear();
  Enter();
  // The fading images: the normal face, then the hot one in the handler's colour.
  ASSERT_GE(FRecorder->Colors.size(), 2u);
  EXPECT_EQ(FRecorder->States[0], cxbsNormal);
  EXPECT_EQ(FRecorder->Colors[0], clDefault);
  EXPECT_EQ(FRecorder->States[1], cxbsHot);
  EXPECT_EQ(FRecorder->Colors[1], kGreen);
  EXPECT_NE(std::find(asked.begin(), asked.end(), cxbsHot), asked.end());
  FButton->OnGetDrawParams = nullptr;
}

struct TStateCase {
  const char* Name;
  bool HotTrack;
  // Brings the button into the situation.
  std::function<void(ButtonStates&)> Arrange;
  TcxButtonState Expected;
};

TEST_F(ButtonStates, StateHandedToThePainterPerSituation) {
  const TStateCase cases[] = {
      {"pointer elsewhere", true, [](ButtonStates&) {}, cxbsNormal},
      {"pointer over, hot-tracking painter", true, [](ButtonStates& t) { t.Enter(); }, cxbsHot},
      {"pointer over, painter without hot-tracking", false, [](ButtonStates& t) { t.Enter(); },
       cxbsNormal},
      {"left button held over the button", true,
       [](ButtonStates& t) {
         t.Enter();
         ASSERT_TRUE(testing::MouseButtonDown());
         ASSERT_TRUE(PumpUntil([&] { return t.Pressed(); }));
       },
       cxbsPressed},
      {"left button held, pointer dragged off", true,
       [](ButtonStates& t) {
         t.Enter();
         ASSERT_TRUE(testing::MouseButtonDown());
         ASSERT_TRUE(PumpUntil([&] { return t.Pressed(); }));
         t.MoveAway();
         ASSERT_TRUE(PumpUntil([&] { return !t.Hot(); }));
       },
       cxbsNormal},
      {"released over the button", true,
       [](ButtonStates& t) {
         t.Enter();
         ASSERT_TRUE(testing::MouseButtonDown());
         ASSERT_TRUE(PumpUntil([&] { return t.Pressed(); }));
         ASSERT_TRUE(testing::MouseButtonUp());
         ASSERT_TRUE(PumpUntil([&] { return !t.Pressed(); }));
       },
       cxbsHot},
      {"disabled while the pointer is over it", true,
       [](ButtonStates& t) {
         t.Enter();
         t.FButton->SetEnabled(false);
       },
       cxbsDisabled},
      {"disabled while held", true,
       [](ButtonStates& t) {
         t.Enter();
         ASSERT_TRUE(testing::MouseButtonDown());
         ASSERT_TRUE(PumpUntil([&] { return t.Pressed(); }));
         t.FButton->SetEnabled(false);
       },
       cxbsDisabled},
  };
  for (const TStateCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FRecorder->HotTrack = c.HotTrack;
    c.Arrange(*this);
    if (HasFatalFailure())
      return;
    EXPECT_EQ(Painted(), c.Expected);
    // Back to the start for the next case.
    ASSERT_TRUE(testing::MouseButtonUp());
    MoveAway();
    FButton->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return !Hot() && !Pressed(); }));
    EXPECT_EQ(Painted(), cxbsNormal);
  }
}

TEST_F(ButtonStates, NonFocusableButtonNeverPaintsTheDefaultState) {
  FButton->SetDefault(true);
  Enter();
  ASSERT_TRUE(testing::MouseButtonDown());
  ASSERT_TRUE(PumpUntil([&] { return Pressed(); }));
  Painted();
  ASSERT_TRUE(testing::MouseButtonUp());
  ASSERT_TRUE(PumpUntil([&] { return FClicks == 1; }));
  Painted();
  MoveAway();
  ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
  FRecorder->States.clear();
  FButton->Repaint();
  FButton->Perform(CM_DIALOGCHAR, L'o');
  FButton->Repaint();
  EXPECT_EQ(testing::FocusOf(FForm->Handle()), FEdit->Handle());
  for (TcxButtonState state : FRecorder->States)
    EXPECT_NE(state, cxbsDefault);

  // The same button allowed to take the focus shows the default look.
  FButton->SpeedButtonOptions().SetCanBeFocused(true);
  FButton->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == FButton->Handle(); }));
  EXPECT_EQ(Painted(), cxbsDefault);
}

TEST_F(Button, FadesStartAgainAfterAPointerMovedWhileHeld) {
  SetMenuAnimation(true);
  dxFader()->SetState(fasEnabled);
  Enter();
  ASSERT_TRUE(testing::MouseButtonDown());
  ASSERT_TRUE(PumpUntil([&] { return Pressed(); }));
  ASSERT_TRUE(testing::MoveMouseTo(OnButton(3)));
  PumpPending();
  ASSERT_TRUE(testing::MouseButtonUp());
  ASSERT_TRUE(PumpUntil([&] { return !Pressed(); }));
  FButton->Repaint();
  const int before = FButton->FadingImageRequests;
  MoveAway();
  ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
  FButton->Repaint();
  EXPECT_EQ(FButton->FadingImageRequests, before + 1) << "no fade-out after the click";
  Enter();
  FButton->Repaint();
  EXPECT_EQ(FButton->FadingImageRequests, before + 2) << "no fade-in after the click";
}

// Takes every GDI handle the process can still make (on Windows the table is
// shared by the session, so a neighbour can do this) and gives them back when
// it goes.
class TGdiHandlesTaken {
public:
  TGdiHandlesTaken() {
    constexpr int kLimit = 1 << 20;
    FTaken.reserve(1 << 16);
    for (int i = 0; i < kLimit; ++i) {
      HRGN region = CreateRectRgn(0, 0, 1, 1);
      if (region == nullptr) {
        FExhausted = true;
        break;
      }
      FTaken.push_back(region);
    }
  }
  TGdiHandlesTaken(const TGdiHandlesTaken&) = delete;
  TGdiHandlesTaken& operator=(const TGdiHandlesTaken&) = delete;
  ~TGdiHandlesTaken() { GiveBack(); }
  bool Exhausted() const noexcept { return FExhausted; }
  size_t Count() const noexcept { return FTaken.size(); }
  void GiveBack() {
    for (HRGN region : FTaken)
      DeleteObject(region);
    FTaken.clear();
  }

private:
  std::vector<HRGN> FTaken;
  bool FExhausted = false;
};

// The button's client area as the screen shows it.
std::vector<BYTE> ScreenPixels(HWND AWindow) {
  RECT r{};
  GetClientRect(AWindow, &r);
  TWindowDC window(AWindow);
  TcxBitmap32 copy(r.right, r.bottom);
  const HDC dc = copy.Canvas().Handle();
  BitBlt(dc, 0, 0, r.right, r.bottom, window.Get(), 0, 0, SRCCOPY);
  GdiFlush();
  const BYTE* bits = copy.Bits();
  return bits == nullptr ? std::vector<BYTE>{}
                         : std::vector<BYTE>(bits, bits + 4 * r.right * r.bottom);
}

// With every GDI handle taken, hovering, painting and clicking raise nothing
// (no error box), no fade starts without its images, and clicks work; once
// the handles are back, the button draws and fades as before.
TEST_F(Button, DrawingWithoutGdiHandlesRaisesNothingAndClicksWork) {
  std::vector<std::string> raised;
  auto previous = Application()->OnException;
  Application()->OnException = [&](TObject*, const Exception& E) {
    raised.push_back(ToUtf8(E.Message()));
  };
  FButton->Repaint();
  const std::vector<BYTE> before = ScreenPixels(FButton->Handle());
  ASSERT_FALSE(before.empty());
  for (bool fading : {true, false}) {
    SCOPED_TRACE(fading ? "fading on" : "fading off");
    SetMenuAnimation(fading);
    dxFader()->SetState(fading ? fasEnabled : fasDisabled);
    FButton->FadingImageRequests = 0;
    FClicks = 0;
    {
      TGdiHandlesTaken taken;
      ASSERT_TRUE(taken.Exhausted()) << "took " << taken.Count() << " handles, still more";
      Enter();
      FButton->Repaint();
      EXPECT_FALSE(dxFader()->Contains(FButton)) << "a fade without its images";
      ASSERT_TRUE(testing::MouseButtonDown());
      ASSERT_TRUE(PumpUntil([&] { return Pressed(); }));
      FButton->Repaint();
      ASSERT_TRUE(testing::MouseButtonUp());
      ASSERT_TRUE(PumpUntil([&] { return !Pressed(); }));
      EXPECT_EQ(FClicks, 1);
      MoveAway();
      ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
      FButton->Repaint();
      PumpPending();
    }
    EXPECT_TRUE(raised.empty()) << (raised.empty() ? "" : raised.front());
    // Handles back: the same picture as before, and fades again.
    FButton->Invalidate();
    PumpPending();
    EXPECT_EQ(ScreenPixels(FButton->Handle()), before);
    if (fading) {
      const testing::TLongestFadeIn longFade;
      const int requests = FButton->FadingImageRequests;
      Enter();
      EXPECT_EQ(FButton->FadingImageRequests, requests + 1);
      EXPECT_TRUE(dxFader()->Contains(FButton));
      MoveAway();
      ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
      dxFader()->Clear();
      FButton->Invalidate();
      PumpPending();
    }
  }
  Application()->OnException = previous;
}

// Fades with the menu-animation setting on and off.
struct TFadeCase {
  const char* Name;
  bool MenuAnimationOn;
  bool HotTrack;
  int FadesAfterEnter;
  int FadesAfterLeave;
};

TEST_F(Button, HoverFadesOnlyWithMenuAnimation) {
  const TFadeCase cases[] = {
      {"menu animation on", true, true, 1, 2},
      {"menu animation off", false, true, 0, 0},
      {"painter without hot-tracking", true, false, 0, 0},
  };
  for (const TFadeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetMenuAnimation(c.MenuAnimationOn);
    ASSERT_EQ(MenuAnimation(), c.MenuAnimationOn)
        << "the menu-animation setting cannot be switched";
    FRecorder->HotTrack = c.HotTrack;
    FButton->FadingImageRequests = 0;
    FRecorder->States.clear();
    Enter();
    EXPECT_EQ(FButton->FadingImageRequests, c.FadesAfterEnter);
    if (c.FadesAfterEnter > 0) {
      // The two images: background and frame of the normal and the hot look.
      ASSERT_GE(FRecorder->States.size(), 2u);
      EXPECT_EQ(FRecorder->States[0], cxbsNormal);
      EXPECT_EQ(FRecorder->States[1], cxbsHot);
    }
    MoveAway();
    ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
    EXPECT_EQ(FButton->FadingImageRequests, c.FadesAfterLeave);
    dxFader()->Clear();
  }
}

TEST_F(Button, PressDropsTheRunningFade) {
  SetMenuAnimation(true);
  dxFader()->SetState(fasEnabled);
  Enter();
  ASSERT_EQ(FButton->FadingImageRequests, 1);
  // A fade still running when the press arrives ends at the next paint.
  dxFader()->FadeIn(FButton);
  ASSERT_TRUE(dxFader()->Contains(FButton));
  ASSERT_TRUE(testing::MouseButtonDown());
  ASSERT_TRUE(PumpUntil([&] { return Pressed(); }));
  FButton->Repaint();
  EXPECT_FALSE(dxFader()->Contains(FButton));
}

TEST_F(Button, FreedWhileFadingLeavesNoFade) {
  SetMenuAnimation(true);
  Enter();
  dxFader()->FadeIn(FButton);
  ASSERT_TRUE(dxFader()->Contains(FButton));
  TcxButton* button = FButton;
  delete button;
  FButton = nullptr;
  EXPECT_FALSE(dxFader()->Contains(button));
  EXPECT_FALSE(IsMouseTracking(button));
}

// Each paint lays the caption out anew: centred in the room inside the
// frame of the default state, one pixel more room on the right.
TEST_F(ButtonStates, PaintLaysOutTheCaption) {
  EXPECT_EQ(Painted(), cxbsNormal);
  RECT text{0, 0, 94 - 3, 0};
  TdxTextMeasurer::TextRectDT(text, L"&Oku", FButton->Font(), 0);
  ASSERT_GT(text.right, 0);
  // 100 x 30 with the standard frame of 3: content (3, 3, 97, 27).
  const RECT& r = FButton->ViewInfo().CaptionRect();
  EXPECT_EQ(r.left, 3 + (94 - text.right - 3) / 2 + 1);
  EXPECT_EQ(r.right - r.left, text.right);
  EXPECT_EQ(r.top, 3 + (24 - text.bottom - 1) / 2);
  EXPECT_EQ(r.bottom - r.top, text.bottom);
  EXPECT_EQ(FButton->ViewInfo().State(), cxbsNormal);
  // Glyph only: no caption is laid out.
  FButton->SetPaintStyle(bpsGlyph);
  EXPECT_EQ(Painted(), cxbsNormal);
  EXPECT_FALSE(FButton->ViewInfo().CanDrawCaption());
  const RECT& none = FButton->ViewInfo().CaptionRect();
  EXPECT_EQ(none.right - none.left, 0);
}

} // namespace
} // namespace telvora
