// The colour set of a button: assigned entries, one-step fallbacks per
// state, unassigning, copying and form descriptions.

#include "ui/buttons/cxButtons.h"

#include <gtest/gtest.h>

#include <vector>

namespace telvora {
namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kBlue = 0xFF0000;

const TcxButtonState kStates[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};

TEST(ButtonColors, NothingAssignedAtFirst) {
  TcxButtonColors colors;
  for (int i = 0; i < cxButtonAssignedColorCount; ++i) {
    EXPECT_EQ(colors.GetColor(static_cast<TcxButtonAssignedColor>(i)), clDefault);
    EXPECT_FALSE(colors.IsColorStored(static_cast<TcxButtonAssignedColor>(i)));
  }
  EXPECT_FALSE(colors.IsStored());
  for (TcxButtonState state : kStates) {
    EXPECT_EQ(colors.GetColorByState(state), clDefault);
    EXPECT_EQ(colors.GetTextColorByState(state), clDefault);
  }
}

// Background or text colour per state (default, normal, hot, pressed,
// disabled) for the entries assigned.
TEST(ButtonColors, EachStateFallsBackOneStep) {
  struct TCase {
    const char* Name;
    std::vector<std::pair<TcxButtonAssignedColor, TColor>> Assigned;
    bool Text;
    TColor Expected[5];
  };
  const TCase cases[] = {
      {"normal alone colours every state",
       {{cxbcNormal, kRed}},
       false,
       {kRed, kRed, kRed, kRed, kRed}},
      {"default alone colours the default and the normal state",
       {{cxbcDefault, kBlue}},
       false,
       {kBlue, kBlue, clDefault, clDefault, clDefault}},
      {"hot alone colours the hot state",
       {{cxbcHot, kGreen}},
       false,
       {clDefault, clDefault, kGreen, clDefault, clDefault}},
      {"normal over default for the others",
       {{cxbcDefault, kBlue}, {cxbcNormal, kRed}},
       false,
       {kBlue, kRed, kRed, kRed, kRed}},
      {"each state its own",
       {{cxbcPressed, kGreen}, {cxbcDisabled, kBlue}, {cxbcNormal, kRed}},
       false,
       {kRed, kRed, kRed, kGreen, kBlue}},
      {"text: normal alone", {{cxbcNormalText, kRed}}, true, {kRed, kRed, kRed, kRed, kRed}},
      {"text: default alone",
       {{cxbcDefaultText, kBlue}},
       true,
       {kBlue, kBlue, clDefault, clDefault, clDefault}},
      {"text apart from the background",
       {{cxbcNormal, kRed}, {cxbcHotText, kGreen}},
       true,
       {clDefault, clDefault, kGreen, clDefault, clDefault}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxButtonColors colors;
    for (const auto& [entry, color] : c.Assigned)
      colors.SetColor(entry, color);
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(c.Text ? colors.GetTextColorByState(kStates[i])
                       : colors.GetColorByState(kStates[i]),
                c.Expected[i])
          << "state " << kStates[i];
  }
}

TEST(ButtonColors, NoneOrDefaultUnassigns) {
  for (TColor unassign : {clNone, clDefault}) {
    TcxButtonColors colors;
    colors.SetColor(cxbcHot, kGreen);
    colors.SetColor(cxbcNormal, kRed);
    ASSERT_TRUE(colors.IsColorStored(cxbcHot));
    colors.SetColor(cxbcHot, unassign);
    EXPECT_FALSE(colors.IsColorStored(cxbcHot));
    EXPECT_EQ(colors.GetColor(cxbcHot), clDefault);
    EXPECT_EQ(colors.GetColorByState(cxbsHot), kRed) << "back to the normal entry";
    EXPECT_TRUE(colors.IsStored());
    colors.SetColor(cxbcNormal, unassign);
    EXPECT_FALSE(colors.IsStored());
  }
  // Black is a colour like any other.
  TcxButtonColors colors;
  colors.SetColor(cxbcNormal, clBlack);
  EXPECT_TRUE(colors.IsColorStored(cxbcNormal));
  EXPECT_EQ(colors.GetColorByState(cxbsPressed), clBlack);
}

TEST(ButtonColors, AssignCopiesColoursAndTheAssignedSet) {
  TcxButtonColors source;
  source.SetColor(cxbcPressed, kGreen);
  source.SetColor(cxbcDisabledText, kBlue);
  TcxButtonColors target;
  target.SetColor(cxbcNormal, kRed);
  target.Assign(source);
  EXPECT_EQ(target.AssignedColors(), source.AssignedColors());
  for (int i = 0; i < cxButtonAssignedColorCount; ++i)
    EXPECT_EQ(target.GetColor(static_cast<TcxButtonAssignedColor>(i)),
              source.GetColor(static_cast<TcxButtonAssignedColor>(i)));
  EXPECT_FALSE(target.IsColorStored(cxbcNormal));
}

TEST(ButtonColors, AssignedSetChangesOnlyWhileDesigning) {
  TcxButton button(nullptr);
  button.Colors().SetColor(cxbcHot, kGreen);
  button.Colors().SetAssignedColors(0);
  EXPECT_TRUE(button.Colors().IsColorStored(cxbcHot));
  EXPECT_EQ(button.Colors().GetColor(cxbcHot), kGreen);
}

TEST(ButtonColors, ReadFromAFormDescription) {
  TcxButton button(nullptr);
  EXPECT_FALSE(button.IsColorsStored());
  TPropertyValue red;
  red.Kind = TPropertyValue::TKind::Identifier;
  red.Text = L"clBtnShadow";
  ASSERT_TRUE(button.SetProperty(L"Colors.Normal", red));
  TPropertyValue green;
  green.Kind = TPropertyValue::TKind::Integer;
  green.Integer = kGreen;
  ASSERT_TRUE(button.SetProperty(L"Colors.HotText", green));
  EXPECT_TRUE(button.IsColorsStored());
  EXPECT_EQ(button.Colors().GetColorByState(cxbsPressed), clBtnShadow);
  EXPECT_EQ(button.Colors().GetTextColorByState(cxbsHot), kGreen);
  EXPECT_FALSE(button.SetProperty(L"Colors.Unknown", red));
  TPropertyValue bad;
  bad.Kind = TPropertyValue::TKind::Identifier;
  bad.Text = L"clNoSuchColour";
  EXPECT_THROW(button.SetProperty(L"Colors.Hot", bad), EReadError);
  TcxButton copy(nullptr);
  copy.SetColors(button.Colors());
  EXPECT_EQ(copy.Colors().AssignedColors(), button.Colors().AssignedColors());
}

} // namespace
} // namespace telvora
