// Text drawing: the canvas text flags as DrawText flags, the routes the
// canvas takes (ExtTextOut or DrawText) checked against the same text drawn
// with plain GDI calls, disabled and multi-line text, text on a device
// context, rotated text and text on glass.

#include "ui/support/cxTextDrawing.h"

#include "ui/support/tests/GraphicsTestSupport.h"
#include "ui/themes/dxThemedDrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace telvora {
namespace {

using namespace graphics_tests;

// The same text drawn with plain GDI calls: a bitmap filled with the
// background, the canvas font selected, transparent text output.
struct TReference {
  TReference(int w, int h, TColor background, const TFont& font) : Bitmap(w, h) {
    HDC dc = Bitmap.Canvas().Handle();
    RECT all{0, 0, w, h};
    TGdiObject brush(CreateSolidBrush(ColorToRGB(background)));
    ::FillRect(dc, &all, static_cast<HBRUSH>(brush.Get()));
    LOGFONTW lf = FontToLogFont(font);
    Font.Reset(CreateFontIndirectW(&lf));
    Select = std::make_unique<TSelectObject>(dc, Font.Get());
    SetBkMode(dc, TRANSPARENT);
  }
  HDC DC() { return Bitmap.Canvas().Handle(); }
  SIZE Extent(const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(DC(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
  }
  void TextOut(int x, int y, const std::wstring& text, TColor color) {
    SetTextColor(DC(), ColorToRGB(color));
    ExtTextOutW(DC(), x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  }
  TcxBitmap32 Bitmap;
  TGdiObject Font;
  std::unique_ptr<TSelectObject> Select;
};

// ---------------------------------------------------------------- flags

TEST(cxText, FlagsToDTFlags) {
  struct TCase {
    int Flags;
    UINT Expected;
  };
  const TCase cases[] = {
      {0, DT_NOPREFIX},
      {cxAlignLeft | cxAlignTop, DT_NOPREFIX},
      {cxAlignRight | cxAlignBottom, DT_NOPREFIX | DT_RIGHT | DT_BOTTOM},
      {cxAlignCenter | cxSingleLine, DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_SINGLELINE},
      {cxDontClip | cxExpandTabs, DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS},
      {cxShowPrefix, 0},
      {cxWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {cxWordBreak | cxDontBreakChars, DT_NOPREFIX | DT_WORDBREAK},
      {cxWordBreak | cxDontBreakChars | cxNoFullWidthCharBreak,
       DT_NOPREFIX | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK},
      {cxWordBreak | cxNoFullWidthCharBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {cxShowEndEllipsis | cxCalcRect, DT_NOPREFIX | DT_END_ELLIPSIS | DT_CALCRECT},
      {cxShowPathEllipsis | cxRtlReading, DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_RTLREADING},
      {cxShowWordEllipsis | cxShowPrefix, DT_WORD_ELLIPSIS},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(cxFlagsToDTFlags(c.Flags), c.Expected) << std::hex << c.Flags;
}

// ---------------------------------------------------------------- text routes

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

TEST(cxText, SingleLineCaptionTakesTheExtTextOutRoute) {
  // "&OK" shows its ampersand: ExtTextOut, centred by moving the top-left point.
  TSurface s(kButtonWidth, kButtonHeight, clWhite);
  s.Canvas().Font().SetColor(clBlack);
  s.Canvas().SetBrushColor(clNone);
  s.Canvas().DrawText(L"&OK", {0, 0, kButtonWidth, kButtonHeight},
                      cxSingleLine | cxAlignHCenter | cxAlignVCenter, true);

  TReference ref(kButtonWidth, kButtonHeight, clWhite, s.Canvas().Font());
  SIZE size = ref.Extent(L"&OK");
  ref.TextOut((kButtonWidth - size.cx) / 2, (kButtonHeight - size.cy) / 2, L"&OK", clBlack);
  EXPECT_GT(CountInk(ref.Bitmap, clWhite), 0);
  EXPECT_TRUE(SamePixels(s.Bitmap, ref.Bitmap));
}

TEST(cxText, PrefixTakesTheDrawTextRoute) {
  TSurface s(kButtonWidth, kButtonHeight, clWhite);
  s.Canvas().Font().SetColor(clBlack);
  s.Canvas().SetBrushColor(clNone);
  s.Canvas().DrawText(L"&OK", {0, 0, kButtonWidth, kButtonHeight},
                      cxSingleLine | cxAlignHCenter | cxAlignVCenter | cxShowPrefix, true);

  TReference ref(kButtonWidth, kButtonHeight, clWhite, s.Canvas().Font());
  RECT r{0, 0, kButtonWidth, kButtonHeight};
  SetTextColor(ref.DC(), 0);
  DrawTextW(ref.DC(), L"&OK", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  EXPECT_TRUE(SamePixels(s.Bitmap, ref.Bitmap));

  // The ampersand is not drawn: the literal text looks different.
  TReference literal(kButtonWidth, kButtonHeight, clWhite, s.Canvas().Font());
  SIZE size = literal.Extent(L"&OK");
  literal.TextOut((kButtonWidth - size.cx) / 2, (kButtonHeight - size.cy) / 2, L"&OK", clBlack);
  EXPECT_FALSE(SamePixels(s.Bitmap, literal.Bitmap));
}

TEST(cxText, EndEllipsisTakesTheDrawTextRoute) {
  const std::wstring text = L"A caption much wider than the button";
  TSurface s(kButtonWidth, kButtonHeight, clWhite);
  s.Canvas().Font().SetColor(clBlack);
  s.Canvas().SetBrushColor(clNone);
  s.Canvas().DrawText(text, {0, 0, kButtonWidth, kButtonHeight},
                      cxSingleLine | cxAlignLeft | cxAlignVCenter | cxShowEndEllipsis, true);

  TReference ref(kButtonWidth, kButtonHeight, clWhite, s.Canvas().Font());
  RECT r{0, 0, kButtonWidth, kButtonHeight};
  SetTextColor(ref.DC(), 0);
  DrawTextW(ref.DC(), text.c_str(), -1, &r,
            DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  EXPECT_TRUE(SamePixels(s.Bitmap, ref.Bitmap));
}

TEST(cxText, TextWiderThanItsRectangleIsClipped) {
  const std::wstring text = L"WWWWWWWWWW";
  const RECT r{10, 0, 30, 20};
  for (bool dontClip : {false, true}) {
    TSurface s(120, 20, clWhite);
    s.Canvas().Font().SetColor(clBlack);
    s.Canvas().SetBrushColor(clNone);
    s.Canvas().DrawText(
        text, r, cxSingleLine | cxAlignLeft | cxAlignTop | (dontClip ? cxDontClip : 0), true);
    EXPECT_GT(CountInk(s.Bitmap, clWhite, r), 0);
    int outside = CountInk(s.Bitmap, clWhite, {30, 0, 120, 20});
    if (dontClip)
      EXPECT_GT(outside, 0);
    else
      EXPECT_EQ(outside, 0);
  }
}

TEST(cxText, DisabledTextIsDrawnTwice) {
  struct TCase {
    int Flags;
    bool MovedBack; // right/bottom alignment leaves room for the raised copy
  };
  const TCase cases[] = {
      {cxSingleLine | cxAlignHCenter | cxAlignVCenter, false},
      {cxSingleLine | cxAlignRight | cxAlignBottom, true},
  };
  for (const TCase& c : cases) {
    TSurface s(kButtonWidth, kButtonHeight, clBlack);
    s.Canvas().Font().SetColor(clRed);
    s.Canvas().SetBrushColor(clBlue);
    s.Canvas().Brush().SetStyle(bsClear);
    s.Canvas().DrawText(L"OK", {0, 0, kButtonWidth, kButtonHeight}, c.Flags, false);
    // Font colour and brush style are as before.
    EXPECT_EQ(s.Canvas().Font().Color(), clRed);
    EXPECT_EQ(s.Canvas().Brush().Style(), bsClear);

    TReference ref(kButtonWidth, kButtonHeight, clBlack, s.Canvas().Font());
    SIZE size = ref.Extent(L"OK");
    int x, y;
    if (c.MovedBack) {
      x = kButtonWidth - size.cx - 1;
      y = kButtonHeight - size.cy - 1;
    } else {
      x = (kButtonWidth - size.cx) / 2;
      y = (kButtonHeight - size.cy) / 2;
    }
    ref.TextOut(x + 1, y + 1, L"OK", clBtnHighlight);
    ref.TextOut(x, y, L"OK", clBtnShadow);
    EXPECT_TRUE(SamePixels(s.Bitmap, ref.Bitmap)) << std::hex << c.Flags;
  }
}

TEST(cxText, DisabledTextRestoresASolidBrush) {
  TSurface s(kButtonWidth, kButtonHeight, clBlack);
  s.Canvas().SetBrushColor(clBlue);
  s.Canvas().DrawText(L"OK", {0, 0, kButtonWidth, kButtonHeight}, cxSingleLine, false);
  EXPECT_EQ(s.Canvas().Brush().Style(), bsSolid);
}

TEST(cxText, ThreeRowsCentredInRoomForTwo) {
  const std::wstring text = L"First\nSecond\nThird";
  TSurface s(kButtonWidth, 60, clWhite);
  TcxCanvas& canvas = s.Canvas();
  int row = canvas.TextHeight(L"Zq");
  ASSERT_GT(row, 0);
  RECT measured{0, 0, kButtonWidth, 0};
  canvas.TextExtent(text, measured, cxAlignLeft | cxAlignTop);
  ASSERT_EQ(measured.bottom - measured.top, 3 * row);

  const int top = 10;
  const int bottom = top + 2 * row + 3; // room for two rows and a bit
  RECT r{0, top, kButtonWidth, bottom};
  canvas.AlignMultiLineTextRectVertically(r, text, vaCenter, false, false, true, false, false);
  EXPECT_EQ(r.top, (top + bottom - 3 * row) / 2);
  EXPECT_EQ(r.bottom, bottom);

  // With end ellipsis and word break: two whole rows.
  r = {0, top, kButtonWidth, bottom};
  canvas.AlignMultiLineTextRectVertically(r, text, vaCenter, true, false, true, false, true);
  EXPECT_EQ(r.top, (top + bottom - 2 * row) / 2);

  // Bottom alignment, disabled: one pixel more room.
  r = {0, top, kButtonWidth, bottom};
  canvas.AlignMultiLineTextRectVertically(r, text, vaBottom, false, false, false, false, false);
  EXPECT_EQ(r.top, bottom - (3 * row + 1));

  // DrawText moves the rectangle the same way before drawing.
  canvas.Font().SetColor(clBlack);
  canvas.SetBrushColor(clNone);
  canvas.DrawText(text, {0, top, kButtonWidth, bottom}, cxAlignLeft | cxAlignVCenter, true);
  TReference ref(kButtonWidth, 60, clWhite, canvas.Font());
  RECT expected{0, (top + bottom - 3 * row) / 2, kButtonWidth, bottom};
  SetTextColor(ref.DC(), 0);
  // Clipping is off only when the text's one-line extent fits.
  SIZE line = ref.Extent(text);
  UINT clip = (line.cx <= kButtonWidth && line.cy <= bottom - top) ? DT_NOCLIP : 0;
  DrawTextW(ref.DC(), text.c_str(), -1, &expected, DT_LEFT | DT_NOPREFIX | DT_VCENTER | clip);
  EXPECT_TRUE(SamePixels(s.Bitmap, ref.Bitmap));
}

TEST(cxText, TextExtentInARectangle) {
  TSurface s(10, 10, clWhite);
  TcxCanvas& canvas = s.Canvas();
  SIZE size = canvas.TextExtent(L"OK");
  EXPECT_EQ(canvas.TextWidth(L"OK"), size.cx);
  EXPECT_GT(size.cx, 0);
  struct TCase {
    int Flags;
    int Left, Top;
  };
  const TCase cases[] = {
      {cxSingleLine | cxAlignLeft | cxAlignTop, 0, 0},
      {cxSingleLine | cxAlignHCenter | cxAlignVCenter, (100 - size.cx) / 2, (40 - size.cy) / 2},
      {cxSingleLine | cxAlignRight | cxAlignBottom, 100 - size.cx, 40 - size.cy},
  };
  for (const TCase& c : cases) {
    RECT r{0, 0, 100, 40};
    canvas.TextExtent(L"OK", r, c.Flags);
    EXPECT_EQ(r.left, c.Left) << std::hex << c.Flags;
    EXPECT_EQ(r.top, c.Top) << std::hex << c.Flags;
    EXPECT_EQ(r.right - r.left, size.cx);
    EXPECT_EQ(r.bottom - r.top, size.cy);
  }
}

TEST(cxText, DeviceContextDrawTextTouchesColoursOnlyWhenDrawing) {
  TSurface s(20, 20, clWhite);
  HDC dc = s.Canvas().Handle();
  SetTextColor(dc, 0x0000FF);
  SetBkMode(dc, OPAQUE);
  RECT r{0, 0, 20, 20};
  cxDrawText(dc, L"x", r, DT_SINGLELINE, -1, clLime, TRANSPARENT);
  EXPECT_EQ(GetTextColor(dc), 0x0000FFu);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(Px(s.Bitmap, 19, 19), clWhite);
  EXPECT_GT(CountInk(s.Bitmap, clWhite), 0);

  // Count 0 (and an empty text) draws nothing.
  TSurface t(20, 20, clWhite);
  r = {0, 0, 20, 20};
  cxDrawText(t.Canvas().Handle(), L"x", r, DT_SINGLELINE, 0, clRed, OPAQUE);
  cxDrawText(t.Canvas().Handle(), L"", r, DT_SINGLELINE, -1, clRed, OPAQUE);
  t.Canvas().DrawText(L"", {0, 0, 20, 20}, cxSingleLine, true);
  EXPECT_EQ(CountInk(t.Bitmap, clWhite), 0);

  // A count beyond the text is cut to the text.
  SIZE size{};
  EXPECT_TRUE(cxGetTextExtentPoint32(dc, L"ab", size, 50));
  SIZE exact{};
  cxGetTextExtentPoint32(dc, L"ab", exact, -1);
  EXPECT_EQ(size.cx, exact.cx);
}

TEST(cxText, RotatedTextRunsUpwards) {
  TSurface s(24, 90, clWhite);
  s.Canvas().Font().SetColor(clBlack);
  RECT r{0, 0, 24, 90};
  cxDrawText(s.Canvas(), L"WWWWWW", r, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX, clDefault,
             raPlus90);
  // Ink spans more rows than columns, and starts at the bottom (reading upwards).
  int minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 24; ++x)
      if (Px(s.Bitmap, x, y) != clWhite) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  ASSERT_GE(maxX, 0);
  EXPECT_GT(maxY - minY, 2 * (maxX - minX));
  // The first letter sits at the bottom: the text is shorter than the rectangle.
  EXPECT_GT(maxY, 80);
  EXPECT_GT(minY, 10);
}

TEST(cxText, TextOnGlass) {
  for (bool transparent : {false, true}) {
    TSurface s(80, 30, clWhite);
    RECT bounds{5, 5, 75, 25};
    dxDrawTextOnGlass(s.Canvas().Handle(), L"Glass", s.Canvas().Font(), bounds, clBlack,
                      DT_SINGLELINE | DT_CENTER | DT_VCENTER, 0, transparent);
    int dark = 0;
    for (int y = bounds.top; y < bounds.bottom; ++y)
      for (int x = bounds.left; x < bounds.right; ++x) {
        TColor c = Px(s.Bitmap, x, y);
        if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100)
          ++dark;
      }
    EXPECT_GT(dark, 5) << transparent;
    EXPECT_EQ(Px(s.Bitmap, 6, 6), clWhite) << transparent; // around the text
    EXPECT_EQ(CountInk(s.Bitmap, clWhite) - CountInk(s.Bitmap, clWhite, bounds), 0);
  }
}

} // namespace
} // namespace telvora
