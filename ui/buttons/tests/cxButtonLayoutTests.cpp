// Layout of the button's content for every kind and glyph placement, at 96
// and 144 pixels per inch. Texts are measured as 8 pixels per character and
// 13 pixels per line, wrapped at word boundaries with DT_WORDBREAK, so that
// every rectangle can be worked out by hand.

#include "platform/Graphics.h"
#include "ui/buttons/cxButtonViewInfo.h"
#include "ui/lookandfeel/cxLookAndFeelPainters.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/dxScaleFactor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace telvora {
namespace {

constexpr int kCharWidth = 8;
constexpr int kLineHeight = 13;

SIZE MeasureByChars(const std::wstring& AText, int AWidth, bool /*ADescription*/, UINT AFlags) {
  const int full = static_cast<int>(AText.size()) * kCharWidth;
  if ((AFlags & DT_WORDBREAK) == 0 || full <= AWidth)
    return SIZE{full, kLineHeight};
  std::wistringstream words(AText);
  std::wstring word;
  int lines = 0, widest = 0, line = -1;
  while (words >> word) {
    const int w = static_cast<int>(word.size()) * kCharWidth;
    if (line >= 0 && line + kCharWidth + w <= AWidth) {
      line += kCharWidth + w;
    } else {
      ++lines;
      line = w;
    }
    widest = std::max(widest, line);
  }
  return SIZE{widest, lines * kLineHeight};
}

std::string Str(const RECT& r) {
  std::ostringstream out;
  out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
  return out.str();
}
std::string Str(POINT p) {
  std::ostringstream out;
  out << "(" << p.x << ", " << p.y << ")";
  return out.str();
}

// An opaque glyph strip of the size, designed at ADpi.
TdxSmartGlyph MakeGlyph(int AWidth, int AHeight, int ADpi) {
  TdxSmartGlyph glyph;
  glyph.SetPixels(AWidth, AHeight,
                  std::vector<std::uint32_t>(static_cast<size_t>(AWidth) * AHeight, 0xFF000000));
  glyph.SetSourceDPI(ADpi);
  return glyph;
}

// A button's inputs at 96 (Num/Den 1/1) or 144 (3/2) pixels per inch.
struct TLayoutFixture {
  TcxFlatLookAndFeelPainter Flat;
  TcxUltraFlatLookAndFeelPainter UltraFlat;
  TdxScaleFactor Factor;
  TcxButtonImageOptions Options;
  TcxButtonGlyph Glyph;
  TcxButtonViewInfo ViewInfo;

  TcxButtonViewInfoParams Params(TcxButtonKind AKind, const std::wstring& ACaption) {
    TcxButtonViewInfoParams p;
    p.Kind = AKind;
    p.Caption = ACaption;
    p.Painter = &Flat;
    p.ScaleFactor = &Factor;
    p.OptionsImage = &Options;
    p.Glyph = &Glyph;
    p.MeasureText = MeasureByChars;
    return p;
  }
  void Calculate(const TcxButtonViewInfoParams& AParams, int AWidth, int AHeight) {
    ViewInfo.SetParams(AParams);
    ViewInfo.Calculate(RECT{0, 0, AWidth, AHeight});
  }
};

// The main window's button: kind standard, no glyph, the default options.
struct TStandardCase {
  const char* Name;
  int Num, Den;
  int Width, Height;
  TcxButtonState State;
  bool UltraFlat;
  RECT Caption;
  POINT Glyph;
};

TEST(ButtonLayout, StandardCaptionWithoutGlyph) {
  const TStandardCase cases[] = {
      // R = (2, 2, 73, 23), margin (71 - 43) div 2 = 14.
      {"96 normal", 1, 1, 75, 25, cxbsNormal, false, {17, 5, 57, 18}, {16, 12}},
      {"96 hot", 1, 1, 75, 25, cxbsHot, false, {17, 5, 57, 18}, {16, 12}},
      {"96 pressed", 1, 1, 75, 25, cxbsPressed, false, {18, 6, 58, 19}, {17, 13}},
      {"96 pressed, no shift", 1, 1, 75, 25, cxbsPressed, true, {17, 5, 57, 18}, {16, 12}},
      // H(R) 22: the caption starts (22 - 13 - 1) div 2 = 4 below R.
      {"96 odd height", 1, 1, 75, 26, cxbsNormal, false, {17, 6, 57, 19}, {16, 13}},
      // R = (2, 2, 110, 36), margin (108 - 43) div 2 = 32; shift MulDiv(1, 3, 2) = 2.
      {"144 normal", 3, 2, 112, 38, cxbsNormal, false, {35, 12, 75, 25}, {34, 19}},
      {"144 pressed", 3, 2, 112, 38, cxbsPressed, false, {37, 14, 77, 27}, {36, 21}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLayoutFixture f;
    f.Factor.Assign(c.Num, c.Den, false);
    auto p = f.Params(cxbkStandard, L"Abcde");
    p.State = c.State;
    if (c.UltraFlat)
      p.Painter = &f.UltraFlat;
    f.Calculate(p, c.Width, c.Height);
    EXPECT_EQ(Str(f.ViewInfo.CaptionRect()), Str(c.Caption));
    EXPECT_EQ(Str(f.ViewInfo.GlyphPos()), Str(c.Glyph));
    EXPECT_EQ(Str(f.ViewInfo.DescriptionRect()), Str(RECT{}));
    EXPECT_EQ(Str(f.ViewInfo.DropDownArrowRect()), Str(RECT{}));
  }
}

// A 16 x 16 glyph (designed at 96 dpi) beside a 40 x 13 caption.
struct TGlyphCase {
  const char* Name;
  int Num, Den;
  int Width, Height;
  TButtonLayout Layout;
  int Margin, Spacing;
  bool RightToLeft;
  const wchar_t* Caption;
  POINT Glyph;
  RECT CaptionRect;
};

TEST(ButtonLayout, GlyphPlacements) {
  const TGlyphCase cases[] = {
      // R = (2, 2, 98, 58): 96 x 56.
      {"left, centred block",
       1,
       1,
       100,
       60,
       blGlyphLeft,
       -1,
       4,
       false,
       L"Abcde",
       {20, 22},
       {40, 23, 80, 36}},
      {"right, centred block",
       1,
       1,
       100,
       60,
       blGlyphRight,
       -1,
       4,
       false,
       L"Abcde",
       {64, 22},
       {20, 23, 60, 36}},
      {"top, centred block",
       1,
       1,
       100,
       60,
       blGlyphTop,
       -1,
       4,
       false,
       L"Abcde",
       {42, 13},
       {30, 33, 70, 46}},
      {"bottom, centred block",
       1,
       1,
       100,
       60,
       blGlyphBottom,
       -1,
       4,
       false,
       L"Abcde",
       {42, 31},
       {30, 14, 70, 27}},
      {"left, three equal gaps",
       1,
       1,
       100,
       60,
       blGlyphLeft,
       -1,
       -1,
       false,
       L"Abcde",
       {15, 22},
       {44, 23, 84, 36}},
      {"top, three equal gaps",
       1,
       1,
       100,
       60,
       blGlyphTop,
       -1,
       -1,
       false,
       L"Abcde",
       {42, 11},
       {30, 36, 70, 49}},
      {"left, margin 5, text centred after glyph",
       1,
       1,
       100,
       60,
       blGlyphLeft,
       5,
       -1,
       false,
       L"Abcde",
       {7, 22},
       {40, 23, 80, 36}},
      {"left, margin 5, spacing 4",
       1,
       1,
       100,
       60,
       blGlyphLeft,
       5,
       4,
       false,
       L"Abcde",
       {7, 22},
       {27, 23, 67, 36}},
      {"right, margin 5, spacing 4",
       1,
       1,
       100,
       60,
       blGlyphRight,
       5,
       4,
       false,
       L"Abcde",
       {77, 22},
       {33, 23, 73, 36}},
      {"left, right to left",
       1,
       1,
       100,
       60,
       blGlyphLeft,
       -1,
       4,
       true,
       L"Abcde",
       {64, 22},
       {20, 23, 60, 36}},
      {"right, right to left",
       1,
       1,
       100,
       60,
       blGlyphRight,
       -1,
       4,
       true,
       L"Abcde",
       {20, 22},
       {40, 23, 80, 36}},
      {"no caption", 1, 1, 100, 60, blGlyphLeft, -1, 4, false, L"", {42, 22}, {58, 29, 58, 29}},
      // 24 x 24 glyph; R = (2, 2, 148, 88): 146 x 86.
      {"144 left", 3, 2, 150, 90, blGlyphLeft, -1, 4, false, L"Abcde", {41, 33}, {69, 38, 109, 51}},
      {"144 bottom",
       3,
       2,
       150,
       90,
       blGlyphBottom,
       -1,
       4,
       false,
       L"Abcde",
       {63, 42},
       {55, 25, 95, 38}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLayoutFixture f;
    f.Factor.Assign(c.Num, c.Den, false);
    f.Glyph.SetGlyph(MakeGlyph(16, 16, 96));
    f.Options.SetLayout(c.Layout);
    f.Options.SetMargin(c.Margin);
    f.Options.SetSpacing(c.Spacing);
    auto p = f.Params(cxbkStandard, c.Caption);
    p.UseRightToLeftAlignment = c.RightToLeft;
    f.Calculate(p, c.Width, c.Height);
    EXPECT_EQ(Str(f.ViewInfo.GlyphPos()), Str(c.Glyph));
    EXPECT_EQ(Str(f.ViewInfo.CaptionRect()), Str(c.CaptionRect));
  }
}

TEST(ButtonLayout, PaintStyleHidesGlyphOrCaption) {
  TLayoutFixture f;
  f.Glyph.SetGlyph(MakeGlyph(16, 16, 96));
  auto p = f.Params(cxbkStandard, L"Abcde");
  p.PaintStyle = bpsCaption;
  f.Calculate(p, 75, 25);
  EXPECT_FALSE(f.ViewInfo.CanDrawGlyph());
  EXPECT_EQ(Str(f.ViewInfo.CaptionRect()), Str(RECT{17, 5, 57, 18}));
  p.PaintStyle = bpsGlyph;
  f.Calculate(p, 75, 25);
  EXPECT_FALSE(f.ViewInfo.CanDrawCaption());
  EXPECT_TRUE(f.ViewInfo.CanDrawGlyph());
  // Glyph alone, centred: (71 - 16) div 2 = 27.
  EXPECT_EQ(Str(f.ViewInfo.GlyphPos()), Str(POINT{29, 4}));
}

TEST(ButtonLayout, LongCaptionOverflowsBothSidesOrWraps) {
  TLayoutFixture f;
  // R = (2, 2, 58, 38); 11 characters are 88 pixels wide.
  auto p = f.Params(cxbkStandard, L"Abcde Fghij");
  f.Calculate(p, 60, 40);
  const RECT& r = f.ViewInfo.CaptionRect();
  EXPECT_EQ(Str(r), Str(RECT{-14, 13, 74, 26}));
  EXPECT_EQ(2 - r.left, r.right - 58);
  p.WordWrap = true;
  f.Calculate(p, 60, 40);
  EXPECT_EQ(Str(f.ViewInfo.CaptionRect()), Str(RECT{9, 6, 49, 32}));
}

TEST(ButtonLayout, DrawTextFlags) {
  TLayoutFixture f;
  auto p = f.Params(cxbkStandard, L"Abcde");
  f.Calculate(p, 75, 25);
  EXPECT_EQ(f.ViewInfo.GetCaptionDrawTextFlags(), 0x105u);
  EXPECT_EQ(f.ViewInfo.GetDescriptionDrawTextFlags(), static_cast<UINT>(DT_WORDBREAK));
  p.WordWrap = true;
  f.Calculate(p, 75, 25);
  EXPECT_EQ(f.ViewInfo.GetCaptionDrawTextFlags(), 0x115u);
  p.Kind = cxbkCommandLink;
  f.Calculate(p, 75, 25);
  EXPECT_EQ(f.ViewInfo.GetCaptionDrawTextFlags(), 0x8010u);
  p.Kind = cxbkOfficeDropDown;
  p.WordWrap = false;
  const struct {
    TButtonLayout Layout;
    UINT Caption, Description;
  } office[] = {{blGlyphLeft, 0u, 0x10u},
                {blGlyphRight, 0u, 0x12u},
                {blGlyphTop, 5u, 0x11u},
                {blGlyphBottom, 5u, 0x11u}};
  for (const auto& c : office) {
    f.Options.SetLayout(c.Layout);
    f.Calculate(p, 75, 25);
    EXPECT_EQ(f.ViewInfo.GetCaptionDrawTextFlags(), c.Caption) << c.Layout;
    EXPECT_EQ(f.ViewInfo.GetDescriptionDrawTextFlags(), c.Description) << c.Layout;
  }
}

struct TDropDownCase {
  const char* Name;
  int Num, Den;
  bool RightToLeft;
  RECT Button, Menu, Caption;
};

TEST(ButtonLayout, DropDownButtonParts) {
  const TDropDownCase cases[] = {
      // Menu part 15 wide; the button part reaches 2 pixels under it.
      {"96", 1, 1, false, {0, 0, 87, 30}, {85, 0, 100, 30}, {23, 8, 63, 21}},
      {"96 right to left", 1, 1, true, {13, 0, 100, 30}, {0, 0, 15, 30}, {36, 8, 76, 21}},
      // MulDiv(15, 3, 2) = 23.
      {"144", 3, 2, false, {0, 0, 79, 30}, {77, 0, 100, 30}, {19, 8, 59, 21}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLayoutFixture f;
    f.Factor.Assign(c.Num, c.Den, false);
    auto p = f.Params(cxbkDropDownButton, L"Abcde");
    p.UseRightToLeftAlignment = c.RightToLeft;
    f.Calculate(p, 100, 30);
    EXPECT_TRUE(f.ViewInfo.HasDropDownButton());
    EXPECT_EQ(Str(f.ViewInfo.ButtonRect()), Str(c.Button));
    EXPECT_EQ(Str(f.ViewInfo.DropDownButtonRect()), Str(c.Menu));
    EXPECT_EQ(Str(f.ViewInfo.DropDownArrowRect()), Str(c.Menu));
    EXPECT_TRUE(f.ViewInfo.NeedDrawDropDownArrow());
    EXPECT_EQ(Str(f.ViewInfo.CaptionRect()), Str(c.Caption));
  }
  TLayoutFixture f;
  f.Calculate(f.Params(cxbkDropDown, L"Abcde"), 100, 30);
  EXPECT_FALSE(f.ViewInfo.HasDropDownButton());
  EXPECT_EQ(Str(f.ViewInfo.ButtonRect()), Str(RECT{0, 0, 100, 30}));
  EXPECT_FALSE(f.ViewInfo.NeedDrawDropDownArrow());
}

struct TOfficeCase {
  const char* Name;
  int Num, Den;
  TButtonLayout Layout;
  bool RightToLeft;
  POINT Glyph;
  RECT Caption, Description, Arrow;
};

TEST(ButtonLayout, OfficeDropDown) {
  const TOfficeCase cases[] = {
      // Room (2, 2, 131, 58) after the arrow; glyph margin 7.
      {"left",
       1,
       1,
       blGlyphLeft,
       false,
       {9, 22},
       {29, 15, 69, 28},
       {29, 30, 53, 43},
       {133, 0, 148, 60}},
      // At the arrow's side the margin is 0.
      {"right",
       1,
       1,
       blGlyphRight,
       false,
       {115, 22},
       {71, 15, 111, 28},
       {87, 30, 111, 43},
       {133, 0, 148, 60}},
      {"top",
       1,
       1,
       blGlyphTop,
       false,
       {67, 6},
       {55, 26, 95, 39},
       {63, 41, 87, 54},
       {95, 32, 110, 47}},
      {"bottom",
       1,
       1,
       blGlyphBottom,
       false,
       {67, 38},
       {55, 6, 95, 19},
       {63, 21, 87, 34},
       {95, 12, 110, 27}},
      {"left, right to left",
       1,
       1,
       blGlyphLeft,
       true,
       {125, 22},
       {81, 15, 121, 28},
       {97, 30, 121, 43},
       {2, 0, 17, 60}},
      // Glyph 24, arrow 23, margin MulDiv(7, 3, 2) = 11; room (2, 2, 123, 58).
      {"144 left",
       3,
       2,
       blGlyphLeft,
       false,
       {13, 18},
       {41, 15, 81, 28},
       {41, 30, 65, 43},
       {125, 0, 148, 60}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLayoutFixture f;
    f.Factor.Assign(c.Num, c.Den, false);
    f.Glyph.SetGlyph(MakeGlyph(16, 16, 96));
    f.Options.SetLayout(c.Layout);
    auto p = f.Params(cxbkOfficeDropDown, L"Abcde");
    p.Description = L"Abc";
    p.UseRightToLeftAlignment = c.RightToLeft;
    f.Calculate(p, 150, 60);
    EXPECT_EQ(Str(f.ViewInfo.GlyphPos()), Str(c.Glyph));
    EXPECT_EQ(Str(f.ViewInfo.CaptionRect()), Str(c.Caption));
    EXPECT_EQ(Str(f.ViewInfo.DescriptionRect()), Str(c.Description));
    EXPECT_EQ(Str(f.ViewInfo.DropDownArrowRect()), Str(c.Arrow));
  }
}

struct TCommandLinkCase {
  const char* Name;
  int Num, Den;
  int Width, Height;
  int Margin;
  bool RightToLeft;
  const wchar_t* Caption;
  POINT Glyph;
  RECT CaptionRect, Description;
};

TEST(ButtonLayout, CommandLink) {
  const TCommandLinkCase cases[] = {
      // Margins (7, 10, 7, 10), arrow glyph 20 x 20, spacing 4.
      {"96", 1, 1, 200, 60, -1, false, L"Abcde", {7, 10}, {31, 10, 71, 23}, {31, 25, 193, 50}},
      {"96 margin 20",
       1,
       1,
       200,
       60,
       20,
       false,
       L"Abcde",
       {20, 10},
       {44, 10, 84, 23},
       {44, 25, 180, 50}},
      {"96 right to left",
       1,
       1,
       200,
       60,
       -1,
       true,
       L"Abcde",
       {173, 10},
       {129, 10, 169, 23},
       {7, 25, 169, 50}},
      {"96 no caption",
       1,
       1,
       200,
       60,
       -1,
       false,
       L"",
       {7, 10},
       {31, 10, 31, 10},
       {31, 10, 193, 50}},
      // Margins (11, 15, 11, 15), glyph 30 x 30.
      {"144", 3, 2, 300, 90, -1, false, L"Abcde", {11, 15}, {45, 15, 85, 28}, {45, 30, 289, 75}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLayoutFixture f;
    f.Factor.Assign(c.Num, c.Den, false);
    f.Options.SetMargin(c.Margin);
    auto p = f.Params(cxbkCommandLink, c.Caption);
    p.Description = L"Description";
    p.UseRightToLeftAlignment = c.RightToLeft;
    f.Calculate(p, c.Width, c.Height);
    EXPECT_EQ(Str(f.ViewInfo.GetContentRect(cxbsDefault)), Str(f.ViewInfo.ButtonRect()));
    EXPECT_EQ(Str(f.ViewInfo.GlyphPos()), Str(c.Glyph));
    EXPECT_EQ(Str(f.ViewInfo.CaptionRect()), Str(c.CaptionRect));
    EXPECT_EQ(Str(f.ViewInfo.DescriptionRect()), Str(c.Description));
  }
}

TEST(ButtonLayout, GlyphCellsAndImageSize) {
  const struct {
    int Width, Height, Dpi, Num, Den;
    int Cells;
    SIZE Size;
  } cases[] = {
      {16, 16, 96, 1, 1, 1, {16, 16}},  {48, 16, 96, 1, 1, 3, {16, 16}},
      {64, 16, 96, 1, 1, 4, {16, 16}},  {80, 16, 96, 1, 1, 1, {80, 16}},
      {40, 16, 96, 1, 1, 1, {40, 16}},  {48, 16, 96, 3, 2, 3, {24, 24}},
      {24, 24, 144, 3, 2, 1, {24, 24}}, {24, 24, 144, 1, 1, 1, {16, 16}},
  };
  for (const auto& c : cases) {
    TLayoutFixture f;
    f.Factor.Assign(c.Num, c.Den, false);
    f.Glyph.SetGlyph(MakeGlyph(c.Width, c.Height, c.Dpi));
    EXPECT_EQ(f.Glyph.NumGlyphs(), c.Cells) << c.Width << "x" << c.Height;
    f.ViewInfo.SetParams(f.Params(cxbkStandard, L""));
    const SIZE s = f.ViewInfo.ImageSize();
    EXPECT_EQ(s.cx, c.Size.cx) << c.Width << "x" << c.Height << " at " << c.Dpi;
    EXPECT_EQ(s.cy, c.Size.cy) << c.Width << "x" << c.Height << " at " << c.Dpi;
  }
  TcxButtonGlyph g;
  g.SetNumGlyphs(7);
  EXPECT_EQ(g.NumGlyphs(), 4);
  g.SetNumGlyphs(0);
  EXPECT_EQ(g.NumGlyphs(), 1);
}

TEST(ButtonLayout, ImageOptionsSetters) {
  TcxButtonImageOptions o;
  int changes = 0;
  o.OnChanged = [&changes] { ++changes; };
  EXPECT_EQ(o.Margin(), -1);
  EXPECT_EQ(o.Spacing(), 4);
  EXPECT_EQ(o.Layout(), blGlyphLeft);
  o.SetMargin(-2);
  EXPECT_EQ(o.Margin(), -1);
  o.SetMargin(-1);
  EXPECT_EQ(changes, 0);
  o.SetMargin(6);
  o.SetSpacing(-1);
  o.SetSpacing(-1);
  EXPECT_EQ(changes, 2);
  TcxButtonImageOptions copy;
  copy.Assign(o);
  EXPECT_EQ(copy.Margin(), 6);
  EXPECT_EQ(copy.Spacing(), -1);
}

// The caption measured in a real font is centred the same way.
TEST(ButtonLayout, RealFontMeasurement) {
  TFont font;
  TLayoutFixture f;
  auto p = f.Params(cxbkStandard, L"&Kopyala");
  p.MeasureText = cxButtonFontMeasurer(font, font);
  f.Calculate(p, 75, 25);
  RECT measured{0, 0, 71 - 3, 0};
  TdxTextMeasurer::TextRectDT(measured, L"&Kopyala", font, 0);
  ASSERT_GT(measured.right, 0);
  ASSERT_GT(measured.bottom, 0);
  const RECT& r = f.ViewInfo.CaptionRect();
  EXPECT_EQ(r.right - r.left, measured.right);
  EXPECT_EQ(r.bottom - r.top, measured.bottom);
  EXPECT_EQ(r.left, 2 + (71 - measured.right - 3) / 2 + 1);
  EXPECT_EQ(r.top, 2 + (21 - measured.bottom - 1) / 2);
}

TEST(ButtonLayout, DropDownButtonState) {
  const struct {
    TcxButtonState State;
    bool MenuVisible, IsFocused;
    TcxButtonState Expected;
  } cases[] = {
      {cxbsNormal, false, false, cxbsNormal},     {cxbsHot, false, false, cxbsHot},
      {cxbsDisabled, false, false, cxbsDisabled}, {cxbsPressed, false, false, cxbsNormal},
      {cxbsPressed, false, true, cxbsHot},        {cxbsNormal, true, false, cxbsPressed},
      {cxbsHot, true, true, cxbsPressed},
  };
  for (const auto& c : cases) {
    TLayoutFixture f;
    auto p = f.Params(cxbkDropDownButton, L"Abcde");
    p.State = c.State;
    p.MenuVisible = c.MenuVisible;
    p.IsFocused = c.IsFocused;
    f.Calculate(p, 100, 30);
    EXPECT_EQ(f.ViewInfo.GetDropDownButtonState(), c.Expected)
        << c.State << " menu " << c.MenuVisible << " focused " << c.IsFocused;
  }
}

// Neither caption nor glyph: the caption rectangle is empty, not negative.
TEST(ButtonLayout, NothingToShow) {
  TLayoutFixture f;
  f.Calculate(f.Params(cxbkStandard, L""), 75, 25);
  const RECT& r = f.ViewInfo.CaptionRect();
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  // Margin (71 - 0) div 2 = 35.
  EXPECT_EQ(Str(f.ViewInfo.GlyphPos()), Str(POINT{37, 12}));
}

} // namespace
} // namespace telvora
