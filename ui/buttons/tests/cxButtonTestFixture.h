#pragma once
// What the tests of the push button in a real form share: a painter that
// records what it is asked to draw, a button that counts its fading-image
// requests, and a form with an edit box and a button that cannot be focused,
// shown on the desktop.

#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/Desktop.h"
#include "tests/support/MenuAnimation.h"
#include "tests/support/MessagePump.h"
#include "ui/buttons/cxButtons.h"
#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/support/dxFading.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace telvora {

inline constexpr wchar_t kRecorderName[] = L"ButtonStateRecorder";

// A painter that draws like the standard one and records the state of
// every button face it is asked for.
class TRecordingPainter : public TcxStandardLookAndFeelPainter {
public:
  using TcxStandardLookAndFeelPainter::DrawScaledButton;
  std::wstring LookAndFeelName() override { return kRecorderName; }
  TcxLookAndFeelStyle LookAndFeelStyle() override { return lfsSkin; }
  bool IsButtonHotTrack() override { return HotTrack; }
  void DrawScaledButton(TcxCustomCanvas& ACanvas, RECT R, TcxButtonState AState,
                        const TdxScaleFactor* AScaleFactor, bool ADrawBorder, bool AIsToolButton,
                        TcxButtonPart APart, TColor AColor) override {
    States.push_back(AState);
    Colors.push_back(AColor);
    TcxStandardLookAndFeelPainter::DrawScaledButton(ACanvas, R, AState, AScaleFactor, ADrawBorder,
                                                    AIsToolButton, APart, AColor);
  }

  bool HotTrack = true;
  std::vector<TcxButtonState> States;
  std::vector<TColor> Colors;
};

inline TRecordingPainter* gRecorder = nullptr;

inline TcxCustomLookAndFeelPainter* FindRecorder(const TdxSkinName& AName) {
  return AName == kRecorderName ? gRecorder : nullptr;
}

// Counts the fades it is asked to start.
class TTestButton : public TcxButton {
public:
  using TcxButton::TcxButton;
  void GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                       std::unique_ptr<TcxBitmap32>& AFadeInImage) override {
    ++FadingImageRequests;
    TcxButton::GetFadingImages(AFadeOutImage, AFadeInImage);
  }
  int FadingImageRequests = 0;
};

class TButtonTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TButtonTestForm"; }
};

inline POINT CentreOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class Button : public ::testing::Test {
public:
  void SetUp() override {
    FMenuAnimation = testing::MenuAnimation();
    FRecorder = std::make_unique<TRecordingPainter>();
    gRecorder = FRecorder.get();
    FPreviousProc = GetSkinPainterProc;
    GetSkinPainterProc = FindRecorder;

    FForm = std::make_unique<TButtonTestForm>(nullptr);
    FForm->SetClientSize(400, 200);
    FEdit = new TEdit(FForm.get());
    FEdit->SetBounds(10, 10, 200, 21);
    FEdit->SetParent(FForm.get());
    FButton = new TTestButton(FForm.get());
    FButton->SetBounds(10, 60, 100, 30);
    FButton->SetCaption(L"&Oku");
    FButton->SpeedButtonOptions().SetCanBeFocused(false);
    // A skin is drawn only without the native style.
    FButton->LookAndFeel().SetNativeStyle(false);
    FButton->LookAndFeel().SetSkinName(kRecorderName);
    FButton->SetParent(FForm.get());
    FButton->OnClick = [this](TObject*) {
      ++FClicks;
      FAccelDuringClick = FButton->InternalStates().Contains(bisAccelExecute);
    };
    FButton->OnDblClick = [this](TObject*) { ++FDblClicks; };
    FForm->HandleNeeded();
    SetWindowPos(FForm->Handle(), HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE);
    FForm->Show(SW_SHOW);
    testing::BringToFront(FForm->Handle());
    FEdit->SetFocus();
    MoveAway();
    testing::PumpPending();
    ASSERT_EQ(FButton->GetPainter(), FRecorder.get());
  }

  void TearDown() override {
    testing::MouseButtonUp();
    testing::PumpPending();
    FForm.reset();
    testing::PumpPending();
    if (TdxFader* fader = dxFaderInstance()) {
      fader->Clear();
      fader->SetState(fasDefault);
    }
    testing::SetMenuAnimation(FMenuAnimation);
    GetSkinPainterProc = FPreviousProc;
    gRecorder = nullptr;
  }

  void MoveAway() {
    RECT r{};
    GetWindowRect(FForm->Handle(), &r);
    ASSERT_TRUE(testing::MoveMouseTo({r.right + 200, r.bottom + 100}));
  }
  POINT OnButton(int dx = 0) {
    POINT p = CentreOf(FButton->Handle());
    p.x += dx;
    return p;
  }
  bool Hot() const { return FButton->InternalStates().Contains(bisHot); }
  bool Pressed() const { return FButton->InternalStates().Contains(bisPressed); }

  // Moves the pointer onto the button and waits until it is hot.
  void Enter(int dx = 0) {
    ASSERT_TRUE(testing::MoveMouseTo(OnButton(dx)));
    ASSERT_TRUE(testing::PumpUntil([&] { return Hot(); }));
  }

  // Paints the button now; the state the painter was handed.
  TcxButtonState Painted() {
    FRecorder->States.clear();
    FButton->Repaint();
    EXPECT_EQ(FRecorder->States.size(), 1u);
    return FRecorder->States.empty() ? cxbsDefault : FRecorder->States.back();
  }

  std::unique_ptr<TRecordingPainter> FRecorder;
  TcxGetSkinPainterProc FPreviousProc = nullptr;
  std::unique_ptr<TButtonTestForm> FForm;
  TEdit* FEdit = nullptr;
  TTestButton* FButton = nullptr;
  int FClicks = 0;
  int FDblClicks = 0;
  bool FAccelDuringClick = false;
  bool FMenuAnimation = false;
};

// Plain paints: no fade gives the face instead of the painter.
class ButtonStates : public Button {
public:
  void SetUp() override {
    Button::SetUp();
    dxFader()->SetState(fasDisabled);
  }
};

// Whether the window has a part waiting to be repainted.
inline bool Invalidated(HWND AWindow) {
  RECT r{};
  return GetUpdateRect(AWindow, &r, FALSE) != FALSE;
}

} // namespace telvora
