// Speed buttons: latching down, groups under one parent that share their
// settings and keep at most one button down, clicked with the real mouse.

#include "platform/ActnList.h"
#include "platform/FormReader.h"
#include "platform/Forms.h"
#include "tests/support/Desktop.h"
#include "tests/support/MenuAnimation.h"
#include "tests/support/MessagePump.h"
#include "ui/buttons/cxButtons.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace telvora {
namespace {

using testing::PumpPending;
using testing::PumpUntil;

class TSpeedTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TSpeedTestForm"; }
};

class TPanelControl : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::wstring ClassName() const override { return L"TPanelControl"; }

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    params.WinClassName = L"TelvoraTestPanel";
    params.Style |= WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  }
};

POINT CentreOf(TWinControl* AControl) {
  RECT r{};
  GetWindowRect(AControl->Handle(), &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class SpeedButtons : public ::testing::Test {
public:
  void SetUp() override {
    FMenuAnimation = testing::MenuAnimation();
    testing::SetMenuAnimation(false);
    FForm = std::make_unique<TSpeedTestForm>(nullptr);
    FForm->SetClientSize(420, 160);
    FLeft = AddButton(FForm.get(), L"Left", 10, 10);
    FRight = AddButton(FForm.get(), L"Right", 100, 10);
    FPanel = new TPanelControl(FForm.get());
    FPanel->SetBounds(10, 60, 300, 60);
    FPanel->SetParent(FForm.get());
    FOther = AddButton(FPanel, L"Other", 10, 10);
    FForm->HandleNeeded();
    SetWindowPos(FForm->Handle(), HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE);
    FForm->Show(SW_SHOW);
    testing::BringToFront(FForm->Handle());
    PumpPending();
  }
  void TearDown() override {
    testing::MouseButtonUp();
    PumpPending();
    FForm.reset();
    PumpPending();
    testing::SetMenuAnimation(FMenuAnimation);
  }

  TcxButton* AddButton(TWinControl* AParent, const wchar_t* ACaption, int ALeft, int ATop) {
    auto* button = new TcxButton(FForm.get());
    button->SetBounds(ALeft, ATop, 80, 25);
    button->SetCaption(ACaption);
    button->SpeedButtonOptions().SetCanBeFocused(false);
    button->SetParent(AParent);
    button->OnClick = [this](TObject*) { ++FClicks; };
    return button;
  }
  void Click(TcxButton* AButton) {
    const int clicks = FClicks;
    ASSERT_TRUE(testing::ClickAt(CentreOf(AButton)));
    ASSERT_TRUE(PumpUntil([&] { return FClicks == clicks + 1; }));
  }
  // The state the last paint handed to the painter.
  TcxButtonState Painted(TcxButton* AButton) {
    AButton->Repaint();
    return AButton->GetButtonState();
  }

  std::unique_ptr<TSpeedTestForm> FForm;
  TcxButton* FLeft = nullptr;
  TcxButton* FRight = nullptr;
  TPanelControl* FPanel = nullptr;
  TcxButton* FOther = nullptr;
  int FClicks = 0;
  bool FMenuAnimation = false;
};

// Clicking an up button of a group latches it and releases the other;
// clicking the down one does nothing until AllowAllUp lets it go. A latched
// button paints pressed.
TEST_F(SpeedButtons, GroupKeepsOneButtonDown) {
  FLeft->SpeedButtonOptions().SetGroupIndex(1);
  FRight->SpeedButtonOptions().SetGroupIndex(1);
  Click(FLeft);
  EXPECT_TRUE(FLeft->GetDown());
  EXPECT_FALSE(FRight->GetDown());
  ASSERT_TRUE(testing::MoveMouseTo({10, 10}));
  PumpUntil([&] { return !FLeft->InternalStates().Contains(bisHot); });
  EXPECT_EQ(Painted(FLeft), cxbsPressed);
  EXPECT_EQ(Painted(FRight), cxbsNormal);
  Click(FRight);
  EXPECT_FALSE(FLeft->GetDown());
  EXPECT_TRUE(FRight->GetDown());
  // The down button stays down: a group always has one down.
  Click(FRight);
  EXPECT_TRUE(FRight->GetDown());
  EXPECT_EQ(FClicks, 3);
  // Shared by the group: set on one, AllowAllUp reaches the other.
  FLeft->SpeedButtonOptions().SetAllowAllUp(true);
  EXPECT_TRUE(FRight->SpeedButtonOptions().AllowAllUp());
  Click(FRight);
  EXPECT_FALSE(FRight->GetDown());
  EXPECT_FALSE(FLeft->GetDown());
}

// Flat, Transparent, CanBeFocused and AllowAllUp are shared by the buttons
// of a group under the same parent; a button of the same group index under
// another parent is not of the group.
TEST_F(SpeedButtons, GroupSettingsSharedUnderOneParentOnly) {
  for (TcxButton* button : {FLeft, FRight, FOther})
    button->SpeedButtonOptions().SetGroupIndex(2);
  FLeft->SpeedButtonOptions().SetFlat(true);
  EXPECT_TRUE(FRight->SpeedButtonOptions().Flat());
  EXPECT_FALSE(FOther->SpeedButtonOptions().Flat());
  FRight->SpeedButtonOptions().SetTransparent(true);
  EXPECT_TRUE(FLeft->SpeedButtonOptions().Transparent());
  EXPECT_FALSE(FOther->SpeedButtonOptions().Transparent());
  FLeft->SetDown(true);
  FOther->SetDown(true);
  EXPECT_TRUE(FLeft->GetDown());
  EXPECT_TRUE(FOther->GetDown());
  FRight->SetDown(true);
  EXPECT_FALSE(FLeft->GetDown());
  EXPECT_TRUE(FOther->GetDown());
  // Leaving the group lets the button up.
  FRight->SpeedButtonOptions().SetGroupIndex(0);
  EXPECT_FALSE(FRight->GetDown());
}

// Down on a button outside any group leaves it up, by program and by click;
// the main window's buttons are such buttons.
TEST_F(SpeedButtons, UngroupedButtonNeverStaysDown) {
  FLeft->SetDown(true);
  EXPECT_FALSE(FLeft->GetDown());
  Click(FLeft);
  EXPECT_FALSE(FLeft->GetDown());
  ASSERT_TRUE(testing::MoveMouseTo({10, 10}));
  PumpUntil([&] { return !FLeft->InternalStates().Contains(bisHot); });
  EXPECT_EQ(Painted(FLeft), cxbsNormal);
}

// A focusable grouped button latches on its click (Space here), not on its
// accelerator key.
TEST_F(SpeedButtons, FocusableGroupedButtonLatchesOnClickNotOnAccelerator) {
  FLeft->SpeedButtonOptions().SetCanBeFocused(true);
  FLeft->SpeedButtonOptions().SetGroupIndex(3);
  FLeft->SpeedButtonOptions().SetAllowAllUp(true);
  FLeft->SetCaption(L"&Left");
  FLeft->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return FLeft->Focused(); }));
  ASSERT_TRUE(testing::PressKeys({VK_SPACE}));
  ASSERT_TRUE(PumpUntil([&] { return FClicks == 1; }));
  EXPECT_TRUE(FLeft->GetDown());
  FLeft->Perform(CM_DIALOGCHAR, L'l', 0);
  EXPECT_EQ(FClicks, 2);
  EXPECT_TRUE(FLeft->GetDown());
}

// The options from a form description: Down comes after the group index
// whatever the order.
TEST(SpeedButtonDescription, DownAfterTheGroup) {
  TSpeedTestForm form(nullptr);
  ReadComponent(&form, ParseFormDescription(LR"(object f: TSpeedTestForm
  object a: TcxButton
    SpeedButtonOptions.Down = True
    SpeedButtonOptions.GroupIndex = 4
    SpeedButtonOptions.AllowAllUp = True
    SpeedButtonOptions.CanBeFocused = False
  end
  object b: TcxButton
    Down = True
  end
end
)"));
  auto* a = dynamic_cast<TcxButton*>(form.FindComponent(L"a"));
  auto* b = dynamic_cast<TcxButton*>(form.FindComponent(L"b"));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(a->GetDown());
  EXPECT_TRUE(a->SpeedButtonOptions().AllowAllUp());
  EXPECT_TRUE(a->SpeedButtonOptions().Active());
  EXPECT_FALSE(b->GetDown());
  EXPECT_FALSE(b->SpeedButtonOptions().Active());
  // Assign copies the six settings.
  TcxButton copy(nullptr);
  copy.SpeedButtonOptions().Assign(a->SpeedButtonOptions());
  EXPECT_EQ(copy.SpeedButtonOptions().GroupIndex(), 4);
  EXPECT_TRUE(copy.SpeedButtonOptions().AllowAllUp());
  EXPECT_FALSE(copy.SpeedButtonOptions().CanBeFocused());
  EXPECT_TRUE(copy.GetDown());
}

} // namespace
} // namespace telvora

namespace telvora {
namespace {

// An action drives the button: caption and enabled state, its checked
// state latches the button, its group index becomes the button's, and a
// real click executes it (its OnExecute, not the button's OnClick).
TEST_F(SpeedButtons, ActionDrivesCaptionEnabledCheckedAndGroup) {
  auto* list = new TActionList(FForm.get());
  auto* bold = new TAction(FForm.get());
  bold->SetActionList(list);
  bold->SetCaption(L"Bold");
  bold->SetGroupIndex(5);
  int executed = 0;
  bold->SetOnExecute([&](TObject*) { ++executed; });
  FLeft->SetAction(bold);
  EXPECT_EQ(FLeft->Caption(), L"Bold");
  EXPECT_EQ(FLeft->SpeedButtonOptions().GroupIndex(), 5);
  EXPECT_FALSE(FLeft->GetDown());
  bold->SetChecked(true);
  EXPECT_TRUE(FLeft->GetDown());
  FLeft->Repaint();
  EXPECT_EQ(FLeft->GetButtonState(), cxbsPressed);
  bold->SetChecked(false);
  EXPECT_FALSE(FLeft->GetDown());
  // Down set on the button goes to the action, which decides.
  FLeft->SetDown(true);
  EXPECT_TRUE(bold->Checked());
  EXPECT_TRUE(FLeft->GetDown());
  bold->SetCaption(L"Heavy");
  EXPECT_EQ(FLeft->Caption(), L"Heavy");
  bold->SetEnabled(false);
  EXPECT_FALSE(FLeft->Enabled());
  bold->SetEnabled(true);
  ASSERT_TRUE(testing::ClickAt(CentreOf(FLeft)));
  ASSERT_TRUE(PumpUntil([&] { return executed == 1; }));
  PumpPending();
  EXPECT_EQ(FClicks, 0);
  // A clicked action button is not toggled by the click itself: the action
  // keeps it down.
  EXPECT_TRUE(FLeft->GetDown());
  FLeft->SetAction(nullptr);
  EXPECT_EQ(FLeft->Action(), nullptr);
}

} // namespace
} // namespace telvora
