// The button at a resolution: a change of scale refreshes its look-and-feel,
// a new parent brings the scale of its form, and the glyph's margin and
// spacing follow the scale factor.

#include "ui/buttons/tests/cxButtonTestFixture.h"

#include "ui/lookandfeel/cxLookAndFeels.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace telvora {
namespace {

TEST_F(Button, RescalingRefreshesTheLookAndFeel) {
  FButton->SetUseSystemPaint(false);
  ValidateRect(FButton->Handle(), nullptr);
  int changes = 0;
  auto previous = FButton->LookAndFeel().OnChanged;
  FButton->LookAndFeel().OnChanged = [&](TcxLookAndFeel* Sender, TcxLookAndFeelValues Values) {
    ++changes;
    EXPECT_EQ(Values, LookAndFeelValueAll);
    previous(Sender, Values);
  };
  FButton->ChangeScale(144, 96, true);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(FButton->GetScaleFactor()->Apply(100), 150);
  EXPECT_TRUE(Invalidated(FButton->Handle()));
  FButton->LookAndFeel().OnChanged = previous;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
         ", " + std::to_string(r.bottom);
}

// A button put on a form at run time takes the form's scale: bounds, own
// font and scale factor, edge by edge as the form scaled its own controls.
TEST(ButtonScale, ParentSetAtRunTimeBringsTheFormsScale) {
  TButtonTestForm at144(nullptr);
  at144.ScaleForPPI(144);
  ASSERT_EQ(at144.PixelsPerInch(), 144);
  TButtonTestForm at96(nullptr);
  auto* button = new TcxButton(&at144);
  button->SetBounds(10, 20, 75, 25);
  button->Font().SetHeight(-11);
  button->SetParent(&at144);
  EXPECT_EQ(button->GetScaleFactor()->Numerator(), 3);
  EXPECT_EQ(button->GetScaleFactor()->Denominator(), 2);
  EXPECT_EQ(Describe(button->BoundsRect()), "15, 30, 128, 68");
  EXPECT_EQ(button->Font().Height(), -17);
  // Back onto a form at 96 dpi: back to the designed figures.
  button->SetParent(&at96);
  EXPECT_FALSE(button->GetScaleFactor()->Assigned());
  EXPECT_EQ(Describe(button->BoundsRect()), "10, 20, 85, 45");
  EXPECT_EQ(button->Font().Height(), -11);
  button->SetParent(nullptr);
  delete button;
}

TEST(ButtonScale, MarginAndSpacingFollowTheScaleFactor) {
  TcxButton button(nullptr);
  EXPECT_EQ(button.OptionsImage().Margin(), -1);
  EXPECT_EQ(button.OptionsImage().Spacing(), 4);
  button.GetScaleFactor()->Assign(3, 2, false);
  EXPECT_EQ(button.OptionsImage().Margin(), -1);
  EXPECT_EQ(button.OptionsImage().Spacing(), 6);
  button.OptionsImage().SetMargin(5);
  button.OptionsImage().SetSpacing(-1);
  button.GetScaleFactor()->Assign(2, 1, false);
  // 3/2 to 2/1 is a change by 4/3.
  EXPECT_EQ(button.OptionsImage().Margin(), MulDiv(5, 4, 3));
  EXPECT_EQ(button.OptionsImage().Spacing(), -1);
  // Loading streams in the values of the new factor: nothing is scaled.
  button.GetScaleFactor()->Assign(1, 1, true);
  EXPECT_EQ(
      button.OptionsImage().Margin(),
      MulDiv(5, 4, 3)); // Each change rescales the value as given, not the rounded one: the same
  // figures as a fresh start at that factor, whatever the way there.
  button.GetScaleFactor()->Assign(1, 1, false);
  button.OptionsImage().SetSpacing(5);
  for (auto [n, d] : {std::pair{5, 4}, {3, 2}, {55, 48}, {3, 2}, {2, 1}}) {
    button.GetScaleFactor()->Assign(n, d, false);
    EXPECT_EQ(button.OptionsImage().Spacing(), MulDiv(5, n, d)) << n << "/" << d;
  }
  // A value set at 2/1 is taken as given there.
  button.OptionsImage().SetSpacing(9);
  button.GetScaleFactor()->Assign(5, 4, false);
  button.GetScaleFactor()->Assign(2, 1, false);
  EXPECT_EQ(button.OptionsImage().Spacing(), 9);
}

} // namespace
} // namespace telvora
