// The push-button painters under Wine with its theme active: the classic
// painters' frames pixel by pixel on a 75 x 25 bitmap, the native painter
// against the theme's own drawing, sizes and colours per state, the arrow,
// the caption rectangle and the command-link glyph.

#include "ui/lookandfeel/cxLookAndFeelPainters.h"

#include "platform/Handles.h"
#include "ui/lookandfeel/cxPngResourceImage.h"
#include "ui/lookandfeel/dxOffice11.h"
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

// Distinct system colours for the whole program.
class TPainterEnvironment : public ::testing::Environment {
public:
  void SetUp() override { FColors = std::make_unique<TDistinctSysColors>(); }
  void TearDown() override { FColors.reset(); }

private:
  std::unique_ptr<TDistinctSysColors> FColors;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new TPainterEnvironment);

enum TPainterKind { pkStandard, pkFlat, pkUltraFlat, pkOffice11, pkNative };

std::unique_ptr<TcxCustomLookAndFeelPainter> CreatePainter(TPainterKind AKind) {
  switch (AKind) {
  case pkStandard:
    return std::make_unique<TcxStandardLookAndFeelPainter>();
  case pkFlat:
    return std::make_unique<TcxFlatLookAndFeelPainter>();
  case pkUltraFlat:
    return std::make_unique<TcxUltraFlatLookAndFeelPainter>();
  case pkOffice11:
    return std::make_unique<TcxOffice11LookAndFeelPainter>();
  case pkNative:
    return std::make_unique<TcxWinXPLookAndFeelPainter>();
  }
  return nullptr;
}

const char* PainterName(TPainterKind AKind) {
  static const char* const names[] = {"Standard", "Flat", "UltraFlat", "Office11", "Native"};
  return names[AKind];
}

// ------------------------------------------------------------ exact frames

TFrameRule ClassicRule(TPainterKind AKind, TcxButtonState AState) {
  switch (AKind) {
  case pkStandard:
    return StandardRule(AState);
  case pkFlat:
    switch (AState) {
    case cxbsPressed:
      return {{{0, clBtnShadow, clBtnHighlight}}, 1, clBtnFace};
    case cxbsDefault:
      return {{{0, clBlack, clBlack}, {1, clBtnHighlight, clBtnShadow}}, 2, clBtnFace};
    default:
      return {{{0, clBtnHighlight, clBtnShadow}}, 1, clBtnFace};
    }
  case pkUltraFlat:
    switch (AState) {
    case cxbsDefault:
      return {{{0, clWindowFrame, clWindowFrame}, {1, clWindowFrame, clWindowFrame}}, 2, clBtnFace};
    case cxbsNormal:
      return {{{0, clBtnText, clBtnText}}, 1, clBtnFace};
    case cxbsHot:
      return {{{0, clHighlight, clHighlight}}, 1, GetLightSelColor()};
    case cxbsPressed:
      return {{{0, clHighlight, clHighlight}}, 1, GetLightDownedSelColor()};
    case cxbsDisabled:
      return {{{0, clBtnShadow, clBtnShadow}}, 1, clBtnFace};
    }
    break;
  case pkOffice11:
    switch (AState) {
    case cxbsDefault:
      return {{{0, clWindowFrame, clWindowFrame}, {1, clWindowFrame, clWindowFrame}},
              2,
              dxOffice11DockColor1};
    case cxbsNormal:
      return {{{0, clBtnText, clBtnText}}, 1, dxOffice11DockColor1};
    case cxbsHot:
      return {{{0, dxOffice11SelectedBorderColor, dxOffice11SelectedBorderColor}},
              1,
              dxOffice11SelectedColor1};
    case cxbsPressed:
      return {{{0, dxOffice11SelectedBorderColor, dxOffice11SelectedBorderColor}},
              1,
              dxOffice11SelectedDownColor1};
    case cxbsDisabled:
      return {{{0, dxOffice11TextDisabledColor, dxOffice11TextDisabledColor}}, 1, clBtnFace};
    }
    break;
  case pkNative:
    break;
  }
  return {};
}

struct TFrameCase {
  TPainterKind Kind;
  TcxButtonState State;
};

class ClassicFrames : public ::testing::TestWithParam<TFrameCase> {};

TEST_P(ClassicFrames, EveryPixelFollowsTheFrameRule) {
  const auto [kind, state] = GetParam();
  auto painter = CreatePainter(kind);
  TBitmapFixture bitmap;
  painter->DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), state, nullptr, cxbpButton,
                            clDefault);
  EXPECT_TRUE(SameImage(bitmap.Pixels(), ExpectedImage(75, 25, ClassicRule(kind, state)), 75));
}

std::vector<TFrameCase> AllClassicCases() {
  std::vector<TFrameCase> cases;
  for (TPainterKind kind : {pkStandard, pkFlat, pkUltraFlat, pkOffice11})
    for (TcxButtonState state : kAllStates)
      cases.push_back({kind, state});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Painters, ClassicFrames, ::testing::ValuesIn(AllClassicCases()),
                         [](const ::testing::TestParamInfo<TFrameCase>& AInfo) {
                           return std::string(PainterName(AInfo.param.Kind)) +
                                  StateName(AInfo.param.State);
                         });

TEST(ClassicFrames, Office11UnderTheLunaBlueSchemeUsesItsFixedColours) {
  InitOffice11Colors(schNormalColor, true);
  TcxOffice11LookAndFeelPainter painter;
  TBitmapFixture bitmap;
  painter.DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), cxbsNormal, nullptr);
  const COLORREF normalFace = PixelRGB(bitmap.Bitmap, 10, 10);
  painter.DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), cxbsHot, nullptr);
  const COLORREF hotFrame = PixelRGB(bitmap.Bitmap, 0, 0);
  const COLORREF hotFace = PixelRGB(bitmap.Bitmap, 10, 10);
  InitOffice11Colors();
  EXPECT_EQ(normalFace, RGB(158, 190, 245));
  EXPECT_EQ(hotFrame, RGB(0, 0, 128));
  EXPECT_EQ(hotFace, RGB(255, 244, 204));
}

TEST(ClassicFrames, CallerColourFillsTheFaceAndNoneLeavesItUnpainted) {
  for (TPainterKind kind : {pkStandard, pkFlat, pkUltraFlat, pkOffice11}) {
    SCOPED_TRACE(PainterName(kind));
    auto painter = CreatePainter(kind);
    TBitmapFixture bitmap;
    for (TColor color : {static_cast<TColor>(RGB(200, 10, 10)), clNone}) {
      bitmap.Clear();
      painter->DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), cxbsNormal, nullptr, cxbpButton,
                                color);
      TFrameRule rule = ClassicRule(kind, cxbsNormal);
      rule.Face = color;
      EXPECT_TRUE(SameImage(bitmap.Pixels(), ExpectedImage(75, 25, rule), 75));
    }
  }
}

TEST(ClassicFrames, WithoutBorderOnlyTheFaceIsFilled) {
  TcxStandardLookAndFeelPainter painter;
  TBitmapFixture bitmap;
  painter.DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), cxbsPressed, nullptr, false, true,
                           cxbpDropDownRightPart, clDefault);
  EXPECT_TRUE(SameImage(bitmap.Pixels(), ExpectedImage(75, 25, {{}, 0, clBtnFace}), 75));
}

// ------------------------------------------------------------ native, themed

class NativePainter : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(AreVisualStylesAvailable(totButton)); }

  // The same rectangle drawn by the theme directly.
  std::vector<COLORREF> ThemeImage(TdxThemedObjectType AType, int APart, int AState) {
    TBitmapFixture bitmap;
    const RECT r = bitmap.Bounds();
    EXPECT_EQ(DrawThemeBackground(OpenTheme(AType), bitmap.Canvas().Handle(), APart, AState, r),
              S_OK);
    return bitmap.Pixels();
  }

  TcxWinXPLookAndFeelPainter FPainter;
};

TEST_F(NativePainter, EachStateIsTheThemesPushButtonInItsState) {
  const int expectedStateIds[] = {5, 1, 2, 3, 4}; // Default, Normal, Hot, Pressed, Disabled
  std::vector<std::vector<COLORREF>> images;
  for (TcxButtonState state : kAllStates) {
    SCOPED_TRACE(StateName(state));
    EXPECT_EQ(BtnStateToXPBtnState(state), expectedStateIds[state]);
    TBitmapFixture bitmap;
    // A caller colour does not reach the themed face.
    FPainter.DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), state, nullptr, cxbpButton,
                              static_cast<TColor>(RGB(200, 10, 10)));
    images.push_back(bitmap.Pixels());
    EXPECT_TRUE(SameImage(images.back(), ThemeImage(totButton, 1, expectedStateIds[state]), 75));
    EXPECT_FALSE(SameImage(images.back(), ExpectedImage(75, 25, StandardRule(state)), 75));
  }
  // The comparison tells the states apart.
  EXPECT_NE(images[cxbsNormal], images[cxbsHot]);
  EXPECT_NE(images[cxbsNormal], images[cxbsPressed]);
}

TEST_F(NativePainter, ADefaultToolButtonIsTheCheckedToolbarButton) {
  ASSERT_NE(OpenTheme(totToolBar), 0u);
  TBitmapFixture bitmap;
  FPainter.DrawScaledButton(bitmap.Canvas(), bitmap.Bounds(), cxbsDefault, nullptr, false, true,
                            cxbpButton, clDefault);
  EXPECT_TRUE(SameImage(bitmap.Pixels(), ThemeImage(totToolBar, 1, 5), 75));
}

TEST_F(NativePainter, MeasuresAndColoursComeFromTheButtonTheme) {
  const TdxTheme theme = OpenTheme(totButton);
  for (TcxButtonState state : kAllStates) {
    SCOPED_TRACE(StateName(state));
    const int stateId = BtnStateToXPBtnState(state);
    RECT content{};
    const RECT bounds{0, 0, 100, 100};
    ASSERT_EQ(GetThemeBackgroundContentRect(theme, nullptr, 1, stateId, &bounds, &content), S_OK);
    EXPECT_EQ(FPainter.ButtonBorderSize(state), content.left);
    COLORREF text = 0;
    if (GetThemeColor(theme, 1, stateId, 3803, text) == S_OK) {
      EXPECT_EQ(ColorToRGB(FPainter.ButtonSymbolColor(state, clRed)), text);
    } else {
      EXPECT_EQ(FPainter.ButtonSymbolColor(state, clRed),
                state == cxbsDisabled ? clBtnShadow : clRed);
    }
  }
  TBitmapFixture bitmap;
  const RECT r{0, 0, 75, 25};
  RECT content{};
  ASSERT_EQ(GetThemeBackgroundContentRect(theme, bitmap.Canvas().Handle(), 1, 1, &r, &content),
            S_OK);
  const RECT focus = FPainter.ScaledButtonFocusRect(bitmap.Canvas(), r, nullptr);
  EXPECT_TRUE(EqualRect(&focus, &content));
}

// ------------------------------------------------------------ summary table

struct TSummaryRow {
  TPainterKind Kind;
  int DefaultBorder; // -1: the theme's
  int OtherBorder;
  int Shift;
  int FocusInset; // -1: the theme's content rectangle
  bool HotTrack;
  int TextOffset;
};

constexpr TSummaryRow kSummary[] = {
    {pkStandard, 3, 2, 1, 4, false, 1}, {pkFlat, 2, 1, 1, 4, false, 1},
    {pkUltraFlat, 2, 1, 0, 3, true, 2}, {pkOffice11, 2, 1, 0, 3, true, 2},
    {pkNative, -1, -1, 0, -1, true, 2},
};

TEST(PainterSummary, BordersShiftFocusInsetAndHotTracking) {
  TBitmapFixture bitmap;
  for (const TSummaryRow& row : kSummary) {
    SCOPED_TRACE(PainterName(row.Kind));
    auto painter = CreatePainter(row.Kind);
    if (row.DefaultBorder >= 0) {
      for (TcxButtonState state : kAllStates)
        EXPECT_EQ(painter->ButtonBorderSize(state),
                  state == cxbsDefault ? row.DefaultBorder : row.OtherBorder);
    }
    EXPECT_EQ(painter->ScaledButtonTextShift(nullptr), row.Shift);
    EXPECT_EQ(painter->ScaledButtonTextOffset(nullptr), row.TextOffset);
    EXPECT_EQ(painter->IsButtonHotTrack(), row.HotTrack);
    if (row.FocusInset >= 0) {
      const RECT focus = painter->ScaledButtonFocusRect(bitmap.Canvas(), {0, 0, 75, 25}, nullptr);
      const int i = row.FocusInset;
      const RECT expected{i, i, 75 - i, 25 - i};
      EXPECT_TRUE(EqualRect(&focus, &expected));
    }
  }
}

TEST(PainterSummary, NamesStylesAndBaseAnswers) {
  struct TRow {
    TPainterKind Kind;
    const wchar_t* Name;
    TcxLookAndFeelStyle Style;
  };
  const TRow rows[] = {{pkStandard, L"Standard", lfsStandard},
                       {pkFlat, L"Flat", lfsFlat},
                       {pkUltraFlat, L"UltraFlat", lfsUltraFlat},
                       {pkOffice11, L"Office11", lfsOffice11},
                       {pkNative, L"Native", lfsNative}};
  for (const TRow& row : rows) {
    auto painter = CreatePainter(row.Kind);
    EXPECT_EQ(painter->LookAndFeelName(), row.Name);
    EXPECT_EQ(painter->LookAndFeelStyle(), row.Style);
    EXPECT_EQ(painter->ButtonColorPalette(cxbsNormal), nullptr);
    EXPECT_EQ(painter->ButtonDescriptionTextColor(cxbsHot, clRed), clRed);
  }
  TcxCustomLookAndFeelPainter base;
  EXPECT_EQ(base.LookAndFeelName(), L"");
  EXPECT_EQ(base.LookAndFeelStyle(), lfsStandard);
  EXPECT_EQ(base.ButtonBorderSize(cxbsDefault), 0);
}

TEST(PainterSummary, FocusRectangleOfATinyButtonIsTheButton) {
  TBitmapFixture bitmap;
  for (TPainterKind kind : {pkStandard, pkUltraFlat}) {
    auto painter = CreatePainter(kind);
    const RECT r{0, 0, 6, 6};
    const RECT focus = painter->ScaledButtonFocusRect(bitmap.Canvas(), r, nullptr);
    EXPECT_TRUE(EqualRect(&focus, &r)) << PainterName(kind);
  }
}

// ------------------------------------------------------------ symbol colours

struct TSymbolCase {
  TPainterKind Kind;
  TcxButtonState State;
  TColor DefaultColor;
  TColor Expected;
};

TEST(SymbolColours, PerPainterStateAndFontColour) {
  InitOffice11Colors(schUnknown, false); // the classic scheme
  const TSymbolCase cases[] = {
      {pkStandard, cxbsNormal, clDefault, clBtnText},
      {pkStandard, cxbsHot, clRed, clRed},
      {pkStandard, cxbsPressed, clRed, clRed},
      {pkStandard, cxbsDisabled, clRed, clBtnShadow},
      {pkFlat, cxbsDefault, clDefault, clBtnText},
      {pkFlat, cxbsDisabled, clDefault, clBtnShadow},
      {pkUltraFlat, cxbsPressed, clRed, clHighlightText},
      {pkUltraFlat, cxbsNormal, clDefault, clBtnText},
      {pkUltraFlat, cxbsHot, clRed, clRed},
      {pkUltraFlat, cxbsDisabled, clRed, clBtnShadow},
      {pkOffice11, cxbsPressed, clRed, clHighlightText},
      {pkOffice11, cxbsNormal, clRed, dxOffice11TextEnabledColor},
      {pkOffice11, cxbsHot, clDefault, dxOffice11TextEnabledColor},
      {pkOffice11, cxbsDisabled, clRed, dxOffice11TextDisabledColor},
  };
  for (const TSymbolCase& c : cases) {
    auto painter = CreatePainter(c.Kind);
    EXPECT_EQ(painter->ButtonSymbolColor(c.State, c.DefaultColor), c.Expected)
        << PainterName(c.Kind) << " " << StateName(c.State);
    EXPECT_EQ(painter->DefaultCommandLinkTextColor(c.State, c.DefaultColor), c.Expected);
  }
  // Under the Luna blue scheme a pressed Office 11 caption stays black.
  InitOffice11Colors(schNormalColor, true);
  TcxOffice11LookAndFeelPainter office11;
  EXPECT_EQ(office11.ButtonSymbolColor(cxbsPressed, clRed), static_cast<TColor>(RGB(0, 0, 0)));
  InitOffice11Colors();
}

TEST(SymbolColours, SymbolStateAndFaceColours) {
  TcxStandardLookAndFeelPainter standard;
  TcxUltraFlatLookAndFeelPainter ultraFlat;
  for (TcxButtonState state : kAllStates) {
    EXPECT_EQ(standard.ButtonSymbolState(state), state);
    EXPECT_EQ(ultraFlat.ButtonSymbolState(state), cxbsNormal);
    EXPECT_EQ(standard.ButtonColor(state), clBtnFace);
  }
  EXPECT_EQ(ultraFlat.ButtonColor(cxbsHot), GetLightSelColor());
  EXPECT_EQ(ultraFlat.ButtonColor(cxbsPressed), GetLightDownedSelColor());
  EXPECT_EQ(ultraFlat.ButtonColor(cxbsDefault), clBtnFace);
}

// ------------------------------------------------------------ arrows

TEST(ArrowPoints, WorkedExamplesPerDirection) {
  struct TCase {
    RECT R;
    TcxArrowDirection Direction;
    POINT P[3];
  };
  const TCase cases[] = {
      {{0, 0, 15, 25}, adDown, {{10, 11}, {7, 14}, {4, 11}}},
      {{0, 0, 15, 25}, adUp, {{4, 14}, {7, 11}, {10, 14}}},
      {{0, 0, 25, 15}, adRight, {{10, 4}, {13, 7}, {10, 10}}},
      {{0, 0, 25, 15}, adLeft, {{13, 10}, {10, 7}, {13, 4}}},
  };
  for (const TCase& c : cases) {
    POINT P[3];
    TcxCustomLookAndFeelPainter::CalculateArrowPoints(c.R, P, c.Direction, true, 0);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(P[i].x, c.P[i].x) << "direction " << c.Direction << " point " << i;
      EXPECT_EQ(P[i].y, c.P[i].y) << "direction " << c.Direction << " point " << i;
    }
  }
  // Not proportional and with a given size: laid out in R itself.
  POINT P[3];
  TcxCustomLookAndFeelPainter::CalculateArrowPoints({0, 0, 15, 25}, P, adDown, false, 3);
  EXPECT_EQ(P[2].x, 5);  // (0 + 15 - 5) div 2
  EXPECT_EQ(P[2].y, 11); // MulDiv(25 - 3, 1, 2)
  EXPECT_EQ(P[1].y, 13);
}

// The triangle of the worked example, (4..10, 11) down to (7, 14), moved.
std::vector<COLORREF> ArrowImage(int AOffset, TColor AColor, std::vector<COLORREF> AImage = {}) {
  if (AImage.empty())
    AImage.assign(15 * 25, kBackground);
  for (int row = 0; row < 4; ++row)
    for (int x = 4 + row; x <= 10 - row; ++x)
      AImage[static_cast<size_t>((11 + row + AOffset) * 15 + x + AOffset)] = ColorToRGB(AColor);
  return AImage;
}

TEST(DropDownArrow, ColourAndPressedShiftPerPainter) {
  struct TCase {
    TPainterKind Kind;
    TcxButtonState State;
    int Offset;
    TColor Color;
  };
  const TCase cases[] = {
      {pkStandard, cxbsNormal, 0, clBtnText}, {pkStandard, cxbsPressed, 1, clBtnText},
      {pkFlat, cxbsPressed, 1, clBtnText},    {pkUltraFlat, cxbsPressed, 0, clHighlightText},
      {pkUltraFlat, cxbsHot, 0, clBtnText},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(PainterName(c.Kind)) + StateName(c.State));
    auto painter = CreatePainter(c.Kind);
    TBitmapFixture bitmap(15, 25);
    painter->DrawScaledScrollBarArrow(bitmap.Canvas(), {0, 0, 15, 25}, c.State, adDown, nullptr);
    EXPECT_TRUE(SameImage(bitmap.Pixels(), ArrowImage(c.Offset, c.Color), 15));
  }
}

TEST(DropDownArrow, DisabledIsEmbossed) {
  TcxStandardLookAndFeelPainter painter;
  TBitmapFixture bitmap(15, 25);
  painter.DrawScaledScrollBarArrow(bitmap.Canvas(), {0, 0, 15, 25}, cxbsDisabled, adDown, nullptr);
  EXPECT_TRUE(
      SameImage(bitmap.Pixels(), ArrowImage(0, clBtnShadow, ArrowImage(1, clBtnHighlight)), 15));
}

// ------------------------------------------------------------ caption

// Records what the painter asks the canvas to write.
class TRecordingCanvas : public TcxCanvas {
public:
  using TcxCanvas::DrawText;
  using TcxCanvas::TcxCanvas;
  void DrawText(const std::wstring& Text, const RECT& R, int Flags, bool Enabled,
                TcxRotationAngle ARotationAngle) override {
    Calls.push_back({Text, R, Flags, Enabled, Font().Color(), Brush().Style()});
    TcxCanvas::DrawText(Text, R, Flags, Enabled, ARotationAngle);
  }
  struct TCall {
    std::wstring Text;
    RECT R;
    int Flags;
    bool Enabled;
    TColor FontColor;
    TBrushStyle BrushStyle;
  };
  std::vector<TCall> Calls;
};

TEST(Caption, TextRectangleColourFlagsAndShift) {
  struct TCase {
    TPainterKind Kind;
    RECT R;
    TcxButtonState State;
    bool DrawBorder;
    bool WordWrap;
    TColor TextColor;
    RECT Expected;
    int Flags;
    TColor FontColor;
  };
  const TCase cases[] = {
      // 40 x 17: the height becomes 16, then the band grows one pixel upwards.
      {pkStandard,
       {10, 10, 50, 27},
       cxbsNormal,
       false,
       false,
       clDefault,
       {10, 9, 50, 26},
       0x264,
       clBtnText},
      // 75 x 25 less the border 2: 71 x 21 -> 20, not below 18.
      {pkStandard, {0, 0, 75, 25}, cxbsNormal, true, true, clRed, {2, 2, 73, 22}, 0x624, clRed},
      // Pressed: moved by the shift of 1.
      {pkStandard,
       {0, 0, 75, 25},
       cxbsPressed,
       true,
       false,
       clDefault,
       {3, 3, 74, 23},
       0x264,
       clBtnText},
      {pkUltraFlat,
       {0, 0, 75, 25},
       cxbsPressed,
       true,
       false,
       clDefault,
       {1, 1, 74, 23},
       0x264,
       clHighlightText},
      {pkStandard,
       {0, 0, 75, 25},
       cxbsDisabled,
       true,
       false,
       clDefault,
       {2, 2, 73, 22},
       0x264,
       clBtnShadow},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(PainterName(c.Kind)) + StateName(c.State));
    auto painter = CreatePainter(c.Kind);
    TBitmapFixture bitmap;
    TRecordingCanvas canvas(&bitmap.Bitmap.Canvas());
    painter->DrawScaledButton(canvas, c.R, L"&Kopyala", c.State, nullptr, c.DrawBorder, clDefault,
                              c.TextColor, c.WordWrap);
    ASSERT_EQ(canvas.Calls.size(), 1u);
    const auto& call = canvas.Calls[0];
    EXPECT_EQ(call.Text, L"&Kopyala");
    EXPECT_TRUE(EqualRect(&call.R, &c.Expected))
        << call.R.left << "," << call.R.top << "," << call.R.right << "," << call.R.bottom;
    EXPECT_EQ(call.Flags, c.Flags);
    EXPECT_EQ(call.Enabled, c.State != cxbsDisabled);
    EXPECT_EQ(call.FontColor, c.FontColor);
    EXPECT_EQ(call.BrushStyle, bsClear);
    EXPECT_EQ(canvas.Brush().Style(), bsSolid);
  }
}

TEST(Caption, EmptyCaptionDrawsNoText) {
  TcxStandardLookAndFeelPainter painter;
  TBitmapFixture bitmap;
  TRecordingCanvas canvas(&bitmap.Bitmap.Canvas());
  painter.DrawScaledButton(canvas, {0, 0, 75, 25}, L"", cxbsNormal, nullptr);
  EXPECT_TRUE(canvas.Calls.empty());
  EXPECT_TRUE(SameImage(bitmap.Pixels(), ExpectedImage(75, 25, StandardRule(cxbsNormal)), 75));
}

TEST(Caption, NativeWritesThroughTheThemeWithoutTheCanvas) {
  ASSERT_TRUE(AreVisualStylesAvailable(totButton));
  TcxWinXPLookAndFeelPainter painter;
  TBitmapFixture bitmap;
  TRecordingCanvas canvas(&bitmap.Bitmap.Canvas());
  painter.DrawScaledButton(canvas, {0, 0, 75, 25}, L"GUID Oku", cxbsNormal, nullptr);
  EXPECT_TRUE(canvas.Calls.empty());
  // Text pixels differ from the bare themed face.
  TBitmapFixture face;
  painter.DrawScaledButton(face.Canvas(), face.Bounds(), cxbsNormal, nullptr);
  EXPECT_NE(bitmap.Pixels(), face.Pixels());
}

// ------------------------------------------------------------ 144 dpi

TEST(Scaling, SizesAt144Dpi) {
  TdxScaleFactor factor;
  factor.Assign(3, 2, false);
  TBitmapFixture bitmap;
  TcxStandardLookAndFeelPainter standard;
  TcxUltraFlatLookAndFeelPainter ultraFlat;
  EXPECT_EQ(standard.GetScaledDropDownButtonRightPartSize(&factor), 23);
  EXPECT_EQ(standard.ScaledButtonTextShift(&factor), 2);
  EXPECT_EQ(standard.ScaledButtonTextOffset(&factor), 2);
  EXPECT_EQ(ultraFlat.ScaledButtonTextOffset(&factor), 3);
  EXPECT_EQ(ultraFlat.ScaledButtonTextShift(&factor), 0);
  const SIZE glyph = standard.GetScaledCommandLinkGlyphSize(&factor);
  EXPECT_EQ(glyph.cx, 30);
  EXPECT_EQ(glyph.cy, 30);
  const RECT margins = standard.GetScaledCommandLinkMargins(&factor);
  const RECT expectedMargins{11, 15, 11, 15};
  EXPECT_TRUE(EqualRect(&margins, &expectedMargins));
  const RECT focus = standard.ScaledButtonFocusRect(bitmap.Canvas(), {0, 0, 113, 38}, &factor);
  const RECT expectedFocus{6, 6, 107, 32};
  EXPECT_TRUE(EqualRect(&focus, &expectedFocus));
  const RECT ultraFocus =
      ultraFlat.ScaledButtonFocusRect(bitmap.Canvas(), {0, 0, 113, 38}, &factor);
  const RECT expectedUltraFocus{5, 5, 108, 33}; // MulDiv(-3, 3, 2) = -5
  EXPECT_TRUE(EqualRect(&ultraFocus, &expectedUltraFocus));
  // At 96 DPI (no factor) the base sizes.
  EXPECT_EQ(standard.GetScaledDropDownButtonRightPartSize(nullptr), 15);
}

TEST(Scaling, PressedArrowMovesByTheScaledShift) {
  TdxScaleFactor factor;
  factor.Assign(2, 1, false);
  TcxStandardLookAndFeelPainter painter;
  TBitmapFixture normal(30, 50), pressed(30, 50);
  painter.DrawScaledScrollBarArrow(normal.Canvas(), {0, 0, 28, 48}, cxbsNormal, adDown, &factor);
  painter.DrawScaledScrollBarArrow(pressed.Canvas(), {0, 0, 28, 48}, cxbsPressed, adDown, &factor);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 28; ++x)
      ASSERT_EQ(PixelRGB(normal.Bitmap, x, y), PixelRGB(pressed.Bitmap, x + 2, y + 2))
          << x << "," << y;
}

// ------------------------------------------------------------ command links

TEST(CommandLink, GlyphResourceHoldsTwoFramesOf20Pixels) {
  const SIZE size = cxGetPngResourceSize(GetModuleHandleW(nullptr), L"CX_COMMANDLINKGLYPH", L"PNG");
  EXPECT_EQ(size.cx, 20);
  EXPECT_EQ(size.cy, 40);
}

// Pixels of the glyph drawn at (5, 3) on a white bitmap.
std::vector<COLORREF> GlyphImage(TcxCustomLookAndFeelPainter& APainter, TcxButtonState AState,
                                 const TdxScaleFactor* AFactor, bool ARightToLeft = false) {
  TBitmapFixture bitmap(40, 40);
  bitmap.Clear(RGB(255, 255, 255));
  if (ARightToLeft)
    bitmap.Canvas().SetUseRightToLeftAlignment(bTrue);
  APainter.DrawScaledCommandLinkGlyph(bitmap.Canvas(), {5, 3}, AState, AFactor);
  bitmap.Canvas().SetUseRightToLeftAlignment(bDefault);
  return bitmap.Pixels();
}

int ChangedPixels(const std::vector<COLORREF>& AImage, int AMinX, int AMaxX) {
  int count = 0;
  for (size_t i = 0; i < AImage.size(); ++i) {
    const int x = static_cast<int>(i % 40);
    if (AImage[i] != RGB(255, 255, 255) && x >= AMinX && x <= AMaxX)
      ++count;
  }
  return count;
}

TEST(CommandLink, BaseGlyphIsTheResourceFrameForTheState) {
  TcxStandardLookAndFeelPainter painter;
  const auto normal = GlyphImage(painter, cxbsNormal, nullptr);
  const auto hot = GlyphImage(painter, cxbsHot, nullptr);
  const auto pressed = GlyphImage(painter, cxbsPressed, nullptr);
  // The arrow covers part of the 20 x 20 frame at (5, 3) and nothing else.
  const int inside = ChangedPixels(normal, 5, 24);
  EXPECT_GT(inside, 40);
  EXPECT_LT(inside, 300);
  EXPECT_EQ(ChangedPixels(normal, 0, 4) + ChangedPixels(normal, 25, 39), 0);
  for (int y = 0; y < 40; ++y) {
    if (y < 3 || y >= 23) {
      for (int x = 0; x < 40; ++x)
        ASSERT_EQ(normal[static_cast<size_t>(y * 40 + x)], RGB(255, 255, 255)) << x << "," << y;
    }
  }
  // The arrow's head is opaque green in both frames, the hot one brighter.
  const COLORREF n = normal[static_cast<size_t>(13 * 40 + 18)];
  const COLORREF h = hot[static_cast<size_t>(13 * 40 + 18)];
  EXPECT_GT(GetGValue(n), GetRValue(n) + 40);
  EXPECT_GT(GetGValue(h), GetGValue(n));
  EXPECT_EQ(pressed, normal);
}

TEST(CommandLink, GlyphIsStretchedAndMirrored) {
  TcxStandardLookAndFeelPainter painter;
  TdxScaleFactor factor;
  factor.Assign(3, 2, false);
  const auto normal = GlyphImage(painter, cxbsNormal, nullptr);
  const auto large = GlyphImage(painter, cxbsNormal, &factor);
  EXPECT_EQ(ChangedPixels(normal, 25, 39), 0);
  EXPECT_GT(ChangedPixels(large, 25, 34), 20);
  EXPECT_EQ(ChangedPixels(large, 35, 39), 0);

  // Right to left: the arrow flipped within its 20 x 20 rectangle.
  const auto mirrored = GlyphImage(painter, cxbsNormal, nullptr, true);
  int differences = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 5; x < 25; ++x)
      if (mirrored[static_cast<size_t>(y * 40 + x)] != normal[static_cast<size_t>(y * 40 + 29 - x)])
        ++differences;
  EXPECT_EQ(differences, 0);
  EXPECT_NE(mirrored, normal);
}

TEST(CommandLink, GlyphDrawingReleasesWhatItTakesAndAMissingResourceDrawsNothing) {
  TcxStandardLookAndFeelPainter painter;
  TBitmapFixture bitmap(40, 40);
  const int objects = TGdiObject::LiveCount(), dcs = TMemoryDC::LiveCount(),
            modules = TModule::LiveCount(), memory = TGlobalMemory::LiveCount();
  painter.DrawScaledCommandLinkGlyph(bitmap.Canvas(), {5, 3}, cxbsHot, nullptr);
  bitmap.Clear();
  EXPECT_FALSE(cxDrawPngResource(bitmap.Canvas(), GetModuleHandleW(nullptr), L"NO_SUCH_GLYPH",
                                 L"PNG", {0, 0, 20, 20}, {5, 3, 25, 23}));
  // A source outside the 20 x 40 image.
  EXPECT_FALSE(cxDrawPngResource(bitmap.Canvas(), GetModuleHandleW(nullptr), L"CX_COMMANDLINKGLYPH",
                                 L"PNG", {0, 30, 20, 50}, {5, 3, 25, 23}));
  EXPECT_EQ(bitmap.Pixels(), std::vector<COLORREF>(40 * 40, kBackground));
  EXPECT_EQ(TGdiObject::LiveCount(), objects);
  EXPECT_EQ(TMemoryDC::LiveCount(), dcs);
  EXPECT_EQ(TModule::LiveCount(), modules);
  EXPECT_EQ(TGlobalMemory::LiveCount(), memory);
}

TEST(CommandLink, BaseBackgroundIsTheButtonAndMarginsAreFixed) {
  TcxFlatLookAndFeelPainter painter;
  TBitmapFixture bitmap;
  painter.DrawScaledCommandLinkBackground(bitmap.Canvas(), bitmap.Bounds(), cxbsNormal, nullptr,
                                          clDefault);
  EXPECT_TRUE(
      SameImage(bitmap.Pixels(), ExpectedImage(75, 25, ClassicRule(pkFlat, cxbsNormal)), 75));
  const RECT margins = painter.GetScaledCommandLinkMargins(nullptr);
  const RECT expected{7, 10, 7, 10};
  EXPECT_TRUE(EqualRect(&margins, &expected));
}

TEST(CommandLink, NativeDrawsAGlyphAndABackground) {
  ASSERT_TRUE(AreVisualStylesAvailable(totButton));
  TcxWinXPLookAndFeelPainter painter;
  const auto glyph = GlyphImage(painter, cxbsNormal, nullptr);
  const SIZE size = painter.GetScaledCommandLinkGlyphSize(nullptr);
  EXPECT_GT(ChangedPixels(glyph, 5, 5 + size.cx - 1), 0);
  TBitmapFixture bitmap;
  painter.DrawScaledCommandLinkBackground(bitmap.Canvas(), bitmap.Bounds(), cxbsHot, nullptr,
                                          clDefault);
  // Wine's theme gives a hot command link a frame around a transparent face.
  int drawn = 0;
  for (COLORREF pixel : bitmap.Pixels())
    drawn += pixel != kBackground ? 1 : 0;
  EXPECT_GT(drawn, 0);
}

} // namespace
} // namespace telvora
