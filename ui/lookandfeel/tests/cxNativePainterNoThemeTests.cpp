// The native painter with the visual styles switched off: every operation
// takes its fallback. EnableTheming(FALSE) turns the styles off for this
// process until it ends, so these tests run in a program of their own; the
// registry value it writes for the user is put back at once, and the theme
// manager learns of the change from a real WM_THEMECHANGED.

#include "ui/lookandfeel/cxLookAndFeelPainters.h"

#include "tests/support/ThemeSwitch.h"
#include "ui/lookandfeel/tests/PainterTestSupport.h"
#include "ui/support/dxScaleFactor.h"
#include "ui/themes/dxThemeManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

using namespace painter_tests;

// Distinct system colours and the styles off for the whole program.
class TNoThemeEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    FColors = std::make_unique<TDistinctSysColors>();
    ASSERT_TRUE(testing::SwitchThemesOffForThisProcess());
    SendMessageW(dxThemeChangedEventReceiver()->WindowHandle(), WM_THEMECHANGED, 0, 0);
  }
  void TearDown() override { FColors.reset(); }

private:
  std::unique_ptr<TDistinctSysColors> FColors;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new TNoThemeEnvironment);

class NativePainterWithoutTheme : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(AreVisualStylesAvailable(totButton));
    ASSERT_EQ(OpenTheme(totButton), 0u);
  }
  TcxWinXPLookAndFeelPainter FPainter;
};

TEST_F(NativePainterWithoutTheme, EveryStateIsTheStandardFrameWithAFaceFromInset2) {
  for (TcxButtonState state : kAllStates) {
    SCOPED_TRACE(StateName(state));
    TBitmapFixture bitmap;
    FPainter.DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), state, nullptr);
    // In the default state the face covers the innermost of the three lines.
    EXPECT_TRUE(SameImage(bitmap.Pixels(), ExpectedImage(75, 25, StandardRule(state, 2)), 75));
    EXPECT_EQ(FPainter.ButtonBorderSize(state), 2);
    EXPECT_EQ(FPainter.ButtonColor(state), clBtnFace);
  }
  // A tool button falls back the same way.
  TBitmapFixture bitmap;
  FPainter.DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), cxbsHot, nullptr, true, true,
                            cxbpButton, clDefault);
  EXPECT_TRUE(SameImage(bitmap.Pixels(), ExpectedImage(75, 25, StandardRule(cxbsHot, 2)), 75));
}

TEST_F(NativePainterWithoutTheme, ACallerColourFillsTheFaceInsideTheFrame) {
  TBitmapFixture bitmap;
  FPainter.DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), cxbsNormal, nullptr, cxbpButton,
                            static_cast<TColor>(RGB(200, 10, 10)));
  EXPECT_TRUE(SameImage(
      bitmap.Pixels(),
      ExpectedImage(75, 25, StandardRule(cxbsNormal, 2, static_cast<TColor>(RGB(200, 10, 10)))),
      75));
}

TEST_F(NativePainterWithoutTheme, ColoursAndSizesAreTheBaseOnes) {
  for (TcxButtonState state : kAllStates) {
    const TColor expected = state == cxbsDisabled ? clBtnShadow : clRed;
    EXPECT_EQ(FPainter.ButtonSymbolColor(state, clRed), expected) << StateName(state);
    EXPECT_EQ(FPainter.DefaultCommandLinkTextColor(state, clRed), expected) << StateName(state);
  }
  EXPECT_EQ(FPainter.ButtonSymbolColor(cxbsNormal, clDefault), clBtnText);
  TBitmapFixture bitmap;
  const RECT focus = FPainter.ScaledButtonFocusRect(bitmap.Canvas(), {0, 0, 75, 25}, nullptr);
  const RECT expectedFocus{4, 4, 71, 21};
  EXPECT_TRUE(EqualRect(&focus, &expectedFocus));
  TdxScaleFactor factor;
  factor.Assign(3, 2, false);
  const SIZE glyph = FPainter.GetScaledCommandLinkGlyphSize(&factor);
  EXPECT_EQ(glyph.cx, 30);
  EXPECT_EQ(glyph.cy, 30);
  const RECT margins = FPainter.GetScaledCommandLinkMargins(nullptr);
  const RECT expectedMargins{7, 10, 7, 10};
  EXPECT_TRUE(EqualRect(&margins, &expectedMargins));
  // Content is not moved when pressed, with or without a theme.
  EXPECT_EQ(FPainter.ScaledButtonTextShift(&factor), 0);
}

TEST_F(NativePainterWithoutTheme, CommandLinkBackgroundIsFlatAndFramedOnlyWhenHotOrPressed) {
  for (TcxButtonState state : kAllStates) {
    SCOPED_TRACE(StateName(state));
    TBitmapFixture bitmap;
    FPainter.DrawScaledCommandLinkBackground(bitmap.Canvas(), bitmap.Bounds(), state, nullptr,
                                             clDefault);
    TFrameRule rule{{}, 0, clBtnFace};
    if (state == cxbsHot)
      rule = {{{0, clBtnHighlight, clBtnShadow}}, 1, clBtnFace};
    else if (state == cxbsPressed)
      rule = {{{0, clBtnShadow, clBtnHighlight}}, 1, clBtnFace};
    EXPECT_TRUE(SameImage(bitmap.Pixels(), ExpectedImage(75, 25, rule), 75));
  }
}

TEST_F(NativePainterWithoutTheme, CommandLinkGlyphIsTheResourceArrow) {
  TcxStandardLookAndFeelPainter standard;
  for (TcxButtonState state : {cxbsNormal, cxbsHot}) {
    TBitmapFixture own(30, 30), base(30, 30);
    FPainter.DrawScaledCommandLinkGlyph(own.Canvas(), {4, 5}, state, nullptr);
    standard.DrawScaledCommandLinkGlyph(base.Canvas(), {4, 5}, state, nullptr);
    const auto pixels = own.Pixels();
    EXPECT_EQ(pixels, base.Pixels()) << StateName(state);
    EXPECT_NE(pixels, std::vector<COLORREF>(pixels.size(), kBackground)) << StateName(state);
  }
}

// Records the text the base caption rule writes through the canvas.
class TRecordingCanvas : public TcxCanvas {
public:
  using TcxCanvas::DrawText;
  using TcxCanvas::TcxCanvas;
  void DrawText(const std::wstring& Text, const RECT& R, int Flags, bool Enabled,
                TcxRotationAngle ARotationAngle) override {
    Rects.push_back(R);
    TcxCanvas::DrawText(Text, R, Flags, Enabled, ARotationAngle);
  }
  std::vector<RECT> Rects;
};

TEST_F(NativePainterWithoutTheme, CaptionFollowsTheBaseRule) {
  TBitmapFixture bitmap;
  TRecordingCanvas canvas(&bitmap.Bitmap.Canvas());
  FPainter.DrawScaledButton(canvas, {0, 0, 75, 25}, L"Kopyala", cxbsPressed, nullptr);
  ASSERT_EQ(canvas.Rects.size(), 1u);
  // Inset by the border 2, height made even (21 -> 20); no shift.
  const RECT expected{2, 2, 73, 22};
  EXPECT_TRUE(EqualRect(&canvas.Rects[0], &expected));
}

} // namespace
} // namespace telvora
