// The library canvas and its drawing functions, checked pixel by pixel on
// 32-bit memory bitmaps; the text routes against the same text drawn with
// plain GDI calls.

#include "ui/support/cxGraphics.h"

#include "platform/Application.h"
#include "platform/Forms.h"
#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/support/dxScaleFactor.h"
#include "ui/themes/dxThemedDrawing.h"

#include "tests/support/SysColors.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace telvora {
namespace {

// A pixel as a TColor ($00BBGGRR).
TColor Px(TBitmap& bitmap, int x, int y) {
  DWORD p = bitmap.Pixel32(x, y);
  return static_cast<TColor>(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
}

TColor Sys(int index) {
  return static_cast<TColor>(GetSysColor(index));
}

// Number of pixels of the bitmap that differ from `background`.
int CountInk(TBitmap& bitmap, TColor background, RECT area = {-1, -1, -1, -1}) {
  if (area.left < 0)
    area = {0, 0, bitmap.Width(), bitmap.Height()};
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (Px(bitmap, x, y) != background)
        ++count;
  return count;
}

bool SamePixels(TBitmap& a, TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (Px(a, x, y) != Px(b, x, y))
        return false;
  return true;
}

// A bitmap filled with a colour, with a canvas whose font is the default one.
struct TSurface {
  TSurface(int w, int h, TColor background) : Bitmap(w, h) {
    Bitmap.cxCanvas().FillRect({0, 0, w, h}, background);
  }
  TcxCanvas& Canvas() { return Bitmap.cxCanvas(); }
  TcxBitmap32 Bitmap;
};

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

// ---------------------------------------------------------------- fills and frames

struct TPixelCase {
  int X, Y;
  TColor Color;
};

TEST(cxCanvasFrames, DrawComplexFrameCorners) {
  struct TCase {
    TcxBorders Borders;
    std::vector<TPixelCase> Pixels;
  };
  const TCase cases[] = {
      {cxBordersAll,
       {{0, 0, clRed},
        {9, 0, clBlue},
        {0, 9, clBlue},
        {9, 9, clBlue},
        {0, 5, clRed},
        {5, 0, clRed},
        {9, 5, clBlue},
        {5, 9, clBlue},
        {5, 5, clLime},
        {10, 5, clLime},
        {5, 10, clLime}}},
      {TcxBorders{bLeft, bBottom},
       {{0, 0, clRed}, {0, 9, clBlue}, {9, 9, clBlue}, {5, 0, clLime}, {9, 5, clLime}}},
      {TcxBorders{bTop, bRight},
       {{0, 0, clRed}, {9, 0, clBlue}, {9, 9, clBlue}, {0, 5, clLime}, {5, 9, clLime}}},
  };
  for (const TCase& c : cases) {
    TSurface s(12, 12, clLime);
    s.Canvas().DrawComplexFrame({0, 0, 10, 10}, clRed, clBlue, c.Borders, 1);
    for (const TPixelCase& p : c.Pixels)
      EXPECT_EQ(Px(s.Bitmap, p.X, p.Y), p.Color)
          << "borders " << c.Borders.Bits() << " pixel " << p.X << "," << p.Y;
  }
}

TEST(cxCanvasFrames, WideFrameOnANarrowRectangleFillsIt) {
  TSurface s(8, 12, clLime);
  RECT r{1, 1, 5, 11}; // 4 pixels wide
  s.Canvas().FrameRect(r, clRed, 3, cxBordersAll);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 8; ++x) {
      POINT p{x, y};
      EXPECT_EQ(Px(s.Bitmap, x, y), PtInRect(&r, p) ? clRed : clLime) << x << "," << y;
    }
}

TEST(cxCanvasFrames, FrameRectPaintsNothingForEmptyRectOrNoColour) {
  TSurface s(10, 10, clLime);
  s.Canvas().FrameRect({3, 3, 3, 8}, clRed, 1, cxBordersAll);
  s.Canvas().FrameRect({6, 6, 2, 2}, clRed, 1, cxBordersAll);
  s.Canvas().FrameRect({0, 0, 10, 10}, clNone, 1, cxBordersAll);
  EXPECT_EQ(CountInk(s.Bitmap, clLime), 0);
}

TEST(cxCanvasFrames, FillRectDefaultKeepsTheEarlierBrushColour) {
  TSurface s(10, 10, clLime);
  s.Canvas().FillRect({0, 0, 2, 2}, clRed);
  s.Canvas().FillRect({4, 4, 8, 8}, clDefault);
  EXPECT_EQ(Px(s.Bitmap, 5, 5), clRed);
  EXPECT_EQ(Px(s.Bitmap, 7, 7), clRed);
  EXPECT_EQ(Px(s.Bitmap, 8, 8), clLime); // right and bottom edges excluded
  EXPECT_EQ(s.Canvas().Brush().Color(), clRed);

  // clNone paints nothing and leaves the brush alone.
  s.Canvas().FillRect({0, 0, 10, 10}, clNone);
  EXPECT_EQ(Px(s.Bitmap, 9, 9), clLime);
  EXPECT_EQ(s.Canvas().Brush().Color(), clRed);
  EXPECT_EQ(s.Canvas().Brush().Style(), bsSolid);
}

TEST(cxCanvasFrames, SetBrushColorNoneClearsTheBrush) {
  TSurface s(4, 4, clLime);
  s.Canvas().SetBrushColor(clRed);
  s.Canvas().SetBrushColor(clNone);
  EXPECT_EQ(s.Canvas().Brush().Style(), bsClear);
  EXPECT_EQ(s.Canvas().Brush().Color(), clRed);
  s.Canvas().FillRect({0, 0, 4, 4}, clDefault);
  EXPECT_EQ(CountInk(s.Bitmap, clLime), 0);
}

TEST(cxCanvasFrames, DrawEdgeColours) {
  struct TCase {
    bool Sunken, Outer;
    int LeftTop, RightBottom;
  };
  const TCase cases[] = {
      {true, true, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT},
      {true, false, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
      {false, true, COLOR_3DLIGHT, COLOR_3DDKSHADOW},
      {false, false, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
  };
  for (const TCase& c : cases) {
    TSurface s(10, 10, clLime);
    s.Canvas().DrawEdge({0, 0, 10, 10}, c.Sunken, c.Outer, cxBordersAll);
    EXPECT_EQ(Px(s.Bitmap, 0, 5), Sys(c.LeftTop)) << c.Sunken << c.Outer;
    EXPECT_EQ(Px(s.Bitmap, 5, 0), Sys(c.LeftTop)) << c.Sunken << c.Outer;
    EXPECT_EQ(Px(s.Bitmap, 9, 5), Sys(c.RightBottom)) << c.Sunken << c.Outer;
    EXPECT_EQ(Px(s.Bitmap, 5, 9), Sys(c.RightBottom)) << c.Sunken << c.Outer;
    EXPECT_EQ(Px(s.Bitmap, 5, 5), clLime);
  }
}

TEST(cxCanvasFrames, FillPolygonCoversItsOutline) {
  TSurface s(12, 12, clLime);
  const POINT triangle[] = {{1, 1}, {9, 1}, {1, 9}};
  s.Canvas().FillPolygon(triangle, clRed);
  for (const POINT& p : triangle)
    EXPECT_EQ(Px(s.Bitmap, p.x, p.y), clRed) << p.x << "," << p.y;
  EXPECT_EQ(Px(s.Bitmap, 3, 3), clRed);
  EXPECT_EQ(Px(s.Bitmap, 9, 9), clLime);
  // Without a pen the outline's far corners stay unpainted.
  TSurface t(12, 12, clLime);
  t.Canvas().Polygon(triangle, clRed, clNone);
  EXPECT_EQ(t.Canvas().Pen().Style(), psClear);
  EXPECT_EQ(Px(t.Bitmap, 9, 1), clLime);
  EXPECT_EQ(Px(t.Bitmap, 3, 3), clRed);
}

TEST(cxCanvasFrames, FocusRectIsExclusiveOrAndLeavesTheCanvasAsItWas) {
  TSurface s(10, 10, clLime);
  s.Canvas().Font().SetColor(clBlue);
  s.Canvas().SetBrushColor(clRed);
  s.Canvas().DrawFocusRect({1, 1, 9, 9});
  EXPECT_GT(CountInk(s.Bitmap, clLime), 0);
  EXPECT_EQ(s.Canvas().Font().Color(), clBlue);
  EXPECT_EQ(s.Canvas().Brush().Color(), clRed);
  EXPECT_EQ(s.Canvas().SavedStateCount(), 0);
  EXPECT_EQ(s.Canvas().SavedDCCount(), 0);
  s.Canvas().DrawFocusRect({1, 1, 9, 9});
  EXPECT_EQ(CountInk(s.Bitmap, clLime), 0);
}

TEST(cxCanvasFrames, DrawNativeObjectDrawsAtOnce) {
  TSurface s(6, 6, clLime);
  RECT seen{};
  s.Canvas().DrawNativeObject({1, 1, 4, 4}, nullptr, [&](TcxCustomCanvas& canvas, const RECT& R) {
    seen = R;
    canvas.FillRect(R, clRed);
  });
  EXPECT_EQ(seen.right, 4);
  EXPECT_EQ(Px(s.Bitmap, 3, 3), clRed);
}

// ---------------------------------------------------------------- clipping

TEST(cxCanvasClipping, SaveIntersectRestoreWithoutClipRegion) {
  struct TCase {
    POINT ViewportOrigin;
  };
  for (TCase c : {TCase{{0, 0}}, TCase{{7, 3}}}) {
    TSurface s(40, 40, clLime);
    HDC dc = s.Canvas().Handle();
    SetViewportOrgEx(dc, c.ViewportOrigin.x, c.ViewportOrigin.y, nullptr);
    TcxRegion probe;
    ASSERT_EQ(GetClipRgn(dc, probe.Handle()), 0); // no clipping yet

    s.Canvas().SaveClipRegion();
    s.Canvas().IntersectClipRect({5, 5, 10, 10});
    EXPECT_TRUE(s.Canvas().RectVisible({6, 6, 8, 8}));
    EXPECT_FALSE(s.Canvas().RectVisible({20, 20, 25, 25}));
    s.Canvas().FillRect({0, 0, 30, 30}, clRed);
    s.Canvas().RestoreClipRegion();

    // The restored clip is the 30000 x 30000 rectangle, not "no clipping".
    ASSERT_EQ(GetClipRgn(dc, probe.Handle()), 1);
    RECT box = probe.BoundsRect();
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, cxMaxRegionSize);
    EXPECT_EQ(box.bottom, cxMaxRegionSize);
    EXPECT_EQ(s.Canvas().SavedRegionCount(), 0);
    EXPECT_EQ(CountInk(s.Bitmap, clLime), 25);
    EXPECT_TRUE(s.Canvas().RectVisible({20, 20, 25, 25}));
  }
}

TEST(cxCanvasClipping, GetClipRegionInLogicalCoordinates) {
  TSurface s(40, 40, clLime);
  HDC dc = s.Canvas().Handle();
  SetWindowOrgEx(dc, 5, 5, nullptr); // logical (5, 5) is device (0, 0)
  s.Canvas().IntersectClipRect({10, 10, 20, 20});
  RECT device = s.Canvas().GetClipRegion(false)->BoundsRect();
  RECT logical = s.Canvas().GetClipRegion(true)->BoundsRect();
  EXPECT_EQ(device.left, 5);
  EXPECT_EQ(logical.left, 10);
  EXPECT_EQ(logical.bottom, 20);

  // roIntersect combines with the current clip region.
  s.Canvas().SetClipRegion(new TcxRegion(RECT{15, 0, 40, 40}), roIntersect);
  RECT combined = s.Canvas().GetClipRegion(true)->BoundsRect();
  EXPECT_EQ(combined.left, 15);
  EXPECT_EQ(combined.right, 20);
  // A region kept by the caller is handed back unmoved.
  TcxRegion kept(RECT{10, 10, 15, 15});
  s.Canvas().SetClipRegion(&kept, roSet, false, true);
  EXPECT_EQ(kept.BoundsRect().left, 10);
  EXPECT_EQ(s.Canvas().GetClipRegion(false)->BoundsRect().left, 5);
}

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

TEST(cxText, TextRectDTMeasuresWithTheFontGiven) {
  TFont big;
  big.SetHeight(-40);
  TFont small;
  small.SetHeight(-10);
  RECT a{0, 0, 500, 0}, b{0, 0, 500, 0};
  TdxTextMeasurer::TextRectDT(a, L"Measure", big, DT_SINGLELINE);
  TdxTextMeasurer::TextRectDT(b, L"Measure", small, DT_SINGLELINE);
  EXPECT_GT(a.right, b.right);
  EXPECT_GT(a.bottom, b.bottom);
  // Word breaking within the width given.
  RECT narrow{0, 0, 40, 0};
  TdxTextMeasurer::TextRectDT(narrow, L"one two three four", small, DT_WORDBREAK);
  EXPECT_GT(narrow.bottom, b.bottom);
}

// Measured again and again, in turns, the answers stay those of DrawText for
// the same font, width, flags and place: a repeat must not answer for
// another font, width, flag or text that was measured in between.
TEST(cxText, TextRectDTRepeatedAnswersAsDrawTextDoes) {
  TFont tahoma;
  tahoma.SetName(L"Tahoma");
  tahoma.SetHeight(-11);
  TFont bold;
  bold.Assign(tahoma);
  bold.SetStyle(fsBold);
  TFont tall;
  tall.Assign(tahoma);
  tall.SetHeight(-30);
  struct TCase {
    const wchar_t* Text;
    const TFont* Font;
    RECT Asked;
    UINT Flags;
  };
  const TCase cases[] = {
      {L"Kopyala", &tahoma, {0, 0, 69, 0}, DT_SINGLELINE},
      {L"Kopyala", &bold, {0, 0, 69, 0}, DT_SINGLELINE},
      {L"Kopyala", &tall, {0, 0, 69, 0}, DT_SINGLELINE},
      {L"Kopyala", &tahoma, {7, 5, 76, 5}, DT_SINGLELINE},
      {L"GUID Oku", &tahoma, {0, 0, 98, 0}, DT_SINGLELINE},
      {L"one two three four five", &tahoma, {0, 0, 40, 0}, DT_WORDBREAK},
      {L"one two three four five", &tahoma, {0, 0, 90, 0}, DT_WORDBREAK},
      {L"one two three four five", &tahoma, {3, 2, 43, 2}, DT_WORDBREAK | DT_CENTER},
      {L"&Open", &tahoma, {0, 0, 69, 0}, DT_SINGLELINE},
      {L"&Open", &tahoma, {0, 0, 69, 0}, DT_SINGLELINE | DT_NOPREFIX},
  };
  TBitmap reference;
  TCanvas& canvas = reference.Canvas();
  for (int round = 0; round < 3; ++round)
    for (const TCase& c : cases) {
      canvas.Font().Assign(*c.Font);
      RECT expected = c.Asked;
      ::DrawTextW(canvas.Handle(), c.Text, -1, &expected, c.Flags | DT_CALCRECT);
      RECT measured = c.Asked;
      TdxTextMeasurer::TextRectDT(measured, c.Text, *c.Font, c.Flags);
      EXPECT_EQ(measured.left, expected.left) << c.Text << " round " << round;
      EXPECT_EQ(measured.top, expected.top) << c.Text << " round " << round;
      EXPECT_EQ(measured.right, expected.right) << c.Text << " round " << round;
      EXPECT_EQ(measured.bottom, expected.bottom) << c.Text << " round " << round;
    }
}

// ---------------------------------------------------------------- colours

using testing::TSysColors;

TEST(cxColors, GetLightColor) {
  {
    TSysColors colors{{COLOR_BTNFACE, RGB(255, 255, 255)}, {COLOR_HIGHLIGHT, RGB(10, 20, 30)}};
    EXPECT_EQ(GetLightColor(-2, 30, 72), static_cast<TColor>(RGB(10, 20, 30)));
  }
  {
    // A black highlight does not count.
    TSysColors colors{{COLOR_BTNFACE, RGB(255, 255, 255)},
                      {COLOR_HIGHLIGHT, RGB(0, 0, 0)},
                      {COLOR_WINDOW, RGB(100, 100, 100)}};
    EXPECT_EQ(GetLightColor(0, 0, 50), static_cast<TColor>(RGB(50, 50, 50)));
  }
  {
    TSysColors colors{{COLOR_BTNFACE, RGB(200, 100, 51)},
                      {COLOR_HIGHLIGHT, RGB(10, 20, 30)},
                      {COLOR_WINDOW, RGB(255, 255, 255)}};
    // Red: MulDiv(200,-2,100) + MulDiv(10,30,100) + MulDiv(255,72,100) = -4 + 3 + 184.
    // Blue: MulDiv(51,-2,100) = -1 (rounded away from zero) + 9 + 184.
    EXPECT_EQ(GetLightColor(-2, 30, 72), static_cast<TColor>(RGB(183, 188, 192)));
    // The signed 8-bit parts: 254 is -2 and 241 is -15.
    EXPECT_EQ(GetLightColor(static_cast<std::int8_t>(254), 30, 72), GetLightColor(-2, 30, 72));
    // Limited to 0..255.
    EXPECT_EQ(GetLightColor(100, 100, 100), static_cast<TColor>(RGB(255, 255, 255)));
    EXPECT_EQ(GetLightColor(static_cast<std::int8_t>(241), 0, 0),
              static_cast<TColor>(RGB(0, 0, 0)));
    EXPECT_EQ(GetLightSelColor(), dxGetNearestColor(GetLightColor(-2, 30, 72)));
    EXPECT_EQ(GetLightDownedSelColor(), dxGetNearestColor(GetLightColor(14, 44, 40)));
  }
}

TEST(cxColors, ActualColorAndMiddle) {
  EXPECT_EQ(cxGetActualColor(clDefault, clBtnText), clBtnText);
  EXPECT_EQ(cxGetActualColor(clRed, clBtnText), clRed);
  EXPECT_EQ(cxGetActualColor(clNone, clBtnText), clNone);
  // 30 % of the first colour, 70 % of the second, per channel.
  EXPECT_EQ(dxGetMiddleRGB(RGB(100, 0, 255), RGB(0, 200, 55), 30),
            static_cast<TColor>(RGB(30, 140, 116)));
  EXPECT_EQ(dxGetMiddleRGB(clWhite, clWhite, 50), clWhite);
}

// ---------------------------------------------------------------- brush cache

TEST(cxBrushCache, TheHundredTwentyNinthBrushReplacesTheOldest) {
  int before = TGdiObject::LiveCount();
  {
    TdxSolidBrushCache cache;
    HBRUSH first = cache.Get(1);
    EXPECT_EQ(cache.Get(1), first); // cached
    for (TColor c = 2; c <= TdxSolidBrushCache::Capacity; ++c)
      cache.Get(c);
    EXPECT_EQ(cache.Count(), 128);
    EXPECT_EQ(TGdiObject::LiveCount(), before + 128);
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BRUSH));

    HBRUSH newest = cache.Get(129);
    EXPECT_EQ(cache.Count(), 128);
    EXPECT_EQ(TGdiObject::LiveCount(), before + 128);
    EXPECT_EQ(GetObjectType(first), 0u); // deleted
    EXPECT_FALSE(cache.Contains(1));
    EXPECT_TRUE(cache.Contains(2));
    EXPECT_TRUE(cache.Contains(129));
    LOGBRUSH lb{};
    GetObjectW(newest, sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, 129u);
    // The next one replaces the next oldest.
    cache.Get(130);
    EXPECT_FALSE(cache.Contains(2));
    EXPECT_TRUE(cache.Contains(3));

    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(TGdiObject::LiveCount(), before);
  }
  EXPECT_EQ(TGdiObject::LiveCount(), before);
}

TEST(cxBrushCache, ASystemColourChangeEmptiesTheUnitsCache) {
  TdxSolidBrushCache* cache = dxSolidBrushCache();
  ASSERT_NE(cache, nullptr);
  TSurface s(10, 10, clLime);
  FillRectByColor(s.Canvas().Handle(), {0, 0, 5, 5}, clRed);
  FrameRectByColor(s.Canvas().Handle(), {0, 0, 10, 10}, clBlue);
  EXPECT_EQ(Px(s.Bitmap, 2, 2), clRed);
  EXPECT_EQ(Px(s.Bitmap, 9, 5), clBlue);
  EXPECT_TRUE(cache->Contains(clRed));
  EXPECT_GT(cache->Count(), 0);
  // The broadcast reaches the hidden top-level window of the notification.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  EXPECT_EQ(cache->Count(), 0);
}

// ---------------------------------------------------------------- colour notification

TEST(cxSystemPalette, PrimaryNotifiersFirstEachListLastToFirst) {
  std::vector<std::wstring> calls;
  auto make = [&](bool primary, const wchar_t* name) {
    auto n = std::make_unique<TcxSystemPaletteChangedNotifier>(primary);
    n->OnSystemPaletteChanged = [&calls, name] { calls.push_back(name); };
    return n;
  };
  int refs = SystemPaletteChangedListenerRefCount();
  auto o1 = make(false, L"o1");
  auto p1 = make(true, L"p1");
  auto o2 = make(false, L"o2");
  auto p2 = make(true, L"p2");
  EXPECT_EQ(SystemPaletteChangedListenerRefCount(), refs + 4);
  TcxSystemPaletteChangedListener* listener = SystemPaletteChangedListener();
  ASSERT_NE(listener, nullptr);
  HWND window = listener->WindowHandle();
  // A hidden top-level utility window.
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  EXPECT_STREQ(className, L"TPUtilWindow");
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_FALSE(IsWindowVisible(window));

  SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"p2", L"p1", L"o2", L"o1"}));

  // A notifier that frees itself while being told.
  calls.clear();
  o2->OnSystemPaletteChanged = [&] {
    calls.push_back(L"o2");
    SystemPaletteChangedListener()->RemoveNotifier(o2.get(), false);
  };
  SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"p2", L"p1", L"o2", L"o1"}));
  EXPECT_EQ(listener->NotifierCount(false), 1);
  o1.reset();
  o2.reset();
  p1.reset();
  p2.reset();
  EXPECT_EQ(SystemPaletteChangedListenerRefCount(), refs);
}

TEST(cxSystemPalette, ANotifierExceptionReachesTheErrorDisplay) {
  ASSERT_NE(Application(), nullptr);
  std::vector<std::wstring> shown;
  Application()->OnException = [&](TObject*, const Exception& E) { shown.push_back(E.Message()); };
  int told = 0;
  TcxSystemPaletteChangedNotifier quiet(false);
  quiet.OnSystemPaletteChanged = [&] { ++told; };
  bool raise = true;
  TcxSystemPaletteChangedNotifier failing(false);
  failing.OnSystemPaletteChanged = [&] {
    if (raise)
      throw Exception(L"colour change failed");
  };
  HWND window = SystemPaletteChangedListener()->WindowHandle();
  SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(shown, std::vector<std::wstring>{L"colour change failed"});
  EXPECT_EQ(told, 0); // the exception left the notification
  raise = false;
  SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(IsWindow(window));
  Application()->OnException = nullptr;
}

// ---------------------------------------------------------------- saves on failure

TEST(cxCanvasSaves, EverySaveIsRestoredWhenDrawingThrows) {
  TSurface s(20, 20, clLime);
  TcxCanvas& canvas = s.Canvas();
  canvas.Font().SetColor(clBlue);
  canvas.SetBrushColor(clRed);
  HDC dc = canvas.Handle();
  TcxRegion probe;
  ASSERT_EQ(GetClipRgn(dc, probe.Handle()), 0);

  auto paint = [&] {
    TcxSaveStateGuard state(canvas);
    TcxSaveClipRegionGuard clip(canvas);
    TcxSaveDCGuard saved(canvas);
    canvas.Font().SetColor(clLime);
    canvas.SetBrushColor(clBlue);
    canvas.SetUseRightToLeftAlignment(bTrue);
    canvas.Canvas()->SetTextFlags(ETO_RTLREADING);
    canvas.IntersectClipRect({0, 0, 2, 2});
    canvas.DrawNativeObject({0, 0, 20, 20}, nullptr, [](TcxCustomCanvas&, const RECT&) {
      throw std::runtime_error("painter failed");
    });
  };
  EXPECT_THROW(paint(), std::runtime_error);
  EXPECT_EQ(canvas.SavedStateCount(), 0);
  EXPECT_EQ(canvas.SavedRegionCount(), 0);
  EXPECT_EQ(canvas.SavedDCCount(), 0);
  EXPECT_EQ(canvas.Canvas()->LockCount(), 0);
  EXPECT_EQ(canvas.Canvas()->SavedDCCount(), 0);
  EXPECT_EQ(canvas.Font().Color(), clBlue);
  EXPECT_EQ(canvas.Brush().Color(), clRed);
  EXPECT_EQ(canvas.UseRightToLeftAlignmentValue(), bDefault);
  EXPECT_EQ(canvas.Canvas()->TextFlags(), 0);
  EXPECT_TRUE(canvas.RectVisible({10, 10, 12, 12}));
  canvas.FillRect({10, 10, 12, 12}, clDefault);
  EXPECT_EQ(Px(s.Bitmap, 11, 11), clRed);
  EXPECT_EQ(GetTextColor(canvas.Handle()), static_cast<COLORREF>(clBlue));

  // A restore with nothing saved does nothing.
  canvas.RestoreState();
  canvas.RestoreClipRegion();
  canvas.RestoreDC();
  EXPECT_EQ(canvas.Canvas()->LockCount(), 0);
}

TEST(cxCanvasSaves, AWrapperFreedWithSavesOpenLeavesTheCanvasBalanced) {
  TcxBitmap32 bitmap(4, 4);
  {
    TcxCanvas wrapper(&bitmap.Canvas());
    wrapper.SaveState();
    wrapper.SaveDC();
    wrapper.Font().SetColor(clRed);
    EXPECT_EQ(bitmap.Canvas().LockCount(), 2);
  }
  EXPECT_EQ(bitmap.Canvas().LockCount(), 0);
  EXPECT_EQ(bitmap.Canvas().SavedDCCount(), 0);
  EXPECT_NE(bitmap.Canvas().Font().Color(), clRed);
}

TEST(cxCanvasSaves, RightToLeftDrawingMirrorsAndRestoresOnFailure) {
  TSurface s(20, 4, clLime);
  TcxCanvas& canvas = s.Canvas();
  canvas.SetUseRightToLeftAlignment(bTrue);
  HDC dc = canvas.Handle();
  cxRightToLeftDependentDraw(canvas, {0, 0, 20, 4}, [&] { canvas.FillRect({0, 0, 4, 4}, clRed); });
  // The fill lands on the right-hand side.
  EXPECT_EQ(Px(s.Bitmap, 1, 1), clLime);
  EXPECT_EQ(Px(s.Bitmap, 17, 1), clRed);
  EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);

  EXPECT_THROW(cxRightToLeftDependentDraw(canvas, {0, 0, 20, 4},
                                          [] { throw std::runtime_error("painter failed"); }),
               std::runtime_error);
  EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);
  XFORM xf{};
  GetWorldTransform(dc, &xf);
  EXPECT_EQ(xf.eM11, 1.0f);
  EXPECT_EQ(xf.eDx, 0.0f);

  // Left to right: drawn where asked.
  canvas.SetUseRightToLeftAlignment(bFalse);
  cxRightToLeftDependentDraw(canvas, {0, 0, 20, 4}, [&] { canvas.FillRect({0, 0, 2, 4}, clBlue); });
  EXPECT_EQ(Px(s.Bitmap, 0, 0), clBlue);
}

// ---------------------------------------------------------------- backgrounds

class TTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TTestGraphicsForm"; }
  int EraseCount = 0;
  std::function<void()> OnErase;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_ERASEBKGND) {
      ++EraseCount;
      if (OnErase)
        OnErase();
    }
    TCustomForm::WndProc(message);
  }
};

class TTestChild : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::wstring ClassName() const override { return L"TTestGraphicsChild"; }
};

struct TParentFixture {
  TParentFixture() {
    Form = std::make_unique<TTestForm>(nullptr);
    Form->SetColor(clRed);
    Form->SetClientSize(200, 150);
    Child = new TTestChild(Form.get());
    Child->SetParent(Form.get());
    Child->SetBounds(30, 20, 40, 20);
    Form->HandleNeeded();
    Child->HandleNeeded();
  }
  std::unique_ptr<TTestForm> Form;
  TTestChild* Child;
};

TEST(cxBackgrounds, TransparentBackgroundPaintsTheParentOnce) {
  TParentFixture f;
  TSurface s(40, 20, clLime);
  int nested = -1;
  f.Form->OnErase = [&] {
    // Painting the same parent again from inside paints nothing.
    int before = f.Form->EraseCount;
    TSurface inner(4, 4, clLime);
    cxDrawTransparentControlBackground(f.Child, inner.Canvas(), {0, 0, 4, 4}, false);
    nested = f.Form->EraseCount - before;
    EXPECT_EQ(CountInk(inner.Bitmap, clLime), 0);
  };
  cxDrawTransparentControlBackground(f.Child, s.Canvas(), {0, 0, 40, 20}, true);
  EXPECT_EQ(f.Form->EraseCount, 1);
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(CountInk(s.Bitmap, clRed), 0); // all red

  // Only the area asked for is painted, and the canvas is as before.
  f.Form->OnErase = nullptr;
  TSurface part(40, 20, clLime);
  cxDrawTransparentControlBackground(f.Child, part.Canvas(), {10, 5, 20, 10}, false);
  EXPECT_EQ(Px(part.Bitmap, 15, 7), clRed);
  EXPECT_EQ(Px(part.Bitmap, 5, 7), clLime);
  EXPECT_EQ(Px(part.Bitmap, 20, 10), clLime);
  POINT origin{};
  GetWindowOrgEx(part.Canvas().Handle(), &origin);
  EXPECT_EQ(origin.x, 0);
  TcxRegion probe;
  EXPECT_EQ(GetClipRgn(part.Canvas().Handle(), probe.Handle()), 0);

  // A control without a parent: nothing.
  TTestChild orphan(nullptr);
  TSurface none(4, 4, clLime);
  cxDrawTransparentControlBackground(&orphan, none.Canvas(), {0, 0, 4, 4});
  EXPECT_EQ(CountInk(none.Bitmap, clLime), 0);
}

TEST(cxBackgrounds, ThemeParentBackground) {
  TParentFixture f;
  TSurface s(40, 20, clLime);
  cxDrawThemeParentBackground(f.Child, s.Canvas(), {0, 0, 40, 20});
  EXPECT_EQ(CountInk(s.Bitmap, clRed), 0);
}

// ---------------------------------------------------------------- bitmaps and images

TEST(cxBitmaps, CreateSizeAndClear) {
  auto bitmap = TcxBitmap32::CreateSize({5, 5, 25, 15}, true);
  EXPECT_EQ(bitmap->Width(), 20);
  EXPECT_EQ(bitmap->Height(), 10);
  EXPECT_EQ(bitmap->PixelFormat(), pf32bit);
  bitmap->SetPixelFormat(pf24bit);
  EXPECT_EQ(bitmap->PixelFormat(), pf32bit);
  EXPECT_EQ(bitmap->Pixel32(19, 9), 0u);
  bitmap->cxCanvas().FillRect(bitmap->ClientRect(), clRed);
  EXPECT_EQ(Px(*bitmap, 19, 9), clRed);
  bitmap->Clear();
  EXPECT_EQ(bitmap->Pixel32(19, 9), 0u);

  auto device = TcxBitmap::CreateSize({0, 0, 75, 25});
  device->cxCanvas().FillRect(device->ClientRect(), clBlue);
  TcxBitmap32 copy(75, 25);
  cxBitBlt(copy.Canvas().Handle(), device->Canvas().Handle(), {0, 0, 75, 25}, {0, 0}, SRCCOPY);
  EXPECT_EQ(Px(copy, 74, 24), clBlue);
  TcxBitmap32 shifted(10, 10);
  shifted.cxCanvas().FillRect({0, 0, 10, 10}, clLime);
  cxBitBlt(shifted.Canvas().Handle(), copy.Canvas().Handle(), {2, 2, 10, 10}, {70, 20}, SRCCOPY);
  EXPECT_EQ(Px(shifted, 1, 1), clLime);
  EXPECT_EQ(Px(shifted, 6, 6), clBlue);
}

TEST(cxBitmaps, DrawImageFitsAndDrawModes) {
  TcxBitmap glyph(4, 4, pf24bit);
  glyph.Canvas().Brush().SetColor(clRed);
  glyph.Canvas().FillRect({0, 0, 4, 4});

  TSurface normal(10, 10, clLime);
  cxDrawImage(normal.Canvas(), {0, 0, 10, 10}, &glyph, nullptr, -1, ifmNormal);
  EXPECT_EQ(Px(normal.Bitmap, 3, 3), clRed);
  EXPECT_EQ(Px(normal.Bitmap, 6, 6), clRed);
  EXPECT_EQ(Px(normal.Bitmap, 2, 2), clLime);
  EXPECT_EQ(Px(normal.Bitmap, 7, 7), clLime);

  TSurface stretched(10, 10, clLime);
  cxDrawImage(stretched.Canvas(), {0, 0, 10, 10}, &glyph, nullptr, -1, ifmStretch);
  EXPECT_EQ(CountInk(stretched.Bitmap, clRed), 0);

  TSurface gray(10, 10, clLime);
  cxDrawImage(gray.Canvas(), {0, 0, 10, 10}, &glyph, nullptr, -1, ifmNormal, idmGrayScale);
  TColor g = Px(gray.Bitmap, 5, 5);
  EXPECT_EQ(GetRValue(g), GetGValue(g));
  EXPECT_EQ(GetGValue(g), GetBValue(g));

  // Twice the size through a scale factor of 2.
  TdxScaleFactor twice;
  twice.Assign(2, 1, false);
  TSurface scaled(10, 10, clLime);
  cxDrawImage(scaled.Canvas(), {0, 0, 10, 10}, &glyph, nullptr, -1, ifmNormal, idmNormal, false,
              nullptr, &twice);
  EXPECT_EQ(Px(scaled.Bitmap, 1, 1), clRed);
  EXPECT_EQ(Px(scaled.Bitmap, 8, 8), clRed);
  EXPECT_EQ(Px(scaled.Bitmap, 0, 0), clLime);

  // The left-bottom pixel's colour as transparency.
  glyph.Canvas().Brush().SetColor(clBlue);
  glyph.Canvas().FillRect({0, 2, 4, 4});
  TSurface keyed(4, 4, clLime);
  cxDrawImage(keyed.Canvas(), {0, 0, 4, 4}, &glyph, nullptr, -1, ifmNormal, idmNormal, true);
  EXPECT_EQ(Px(keyed.Bitmap, 1, 1), clRed);
  EXPECT_EQ(Px(keyed.Bitmap, 1, 3), clLime);
}

TEST(cxBitmaps, DrawImageFromAnImageList) {
  HIMAGELIST images = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 1, 1);
  ASSERT_NE(images, nullptr);
  TcxBitmap image(4, 4, pf24bit);
  image.Canvas().Brush().SetColor(clBlue);
  image.Canvas().FillRect({0, 0, 4, 4});
  // The mask leaves the left column transparent.
  TGdiObject mask(CreateBitmap(4, 4, 1, 1, nullptr));
  {
    TMemoryDC dc(CreateCompatibleDC(nullptr));
    TSelectObject select(dc.Get(), mask.Get());
    PatBlt(dc.Get(), 0, 0, 4, 4, BLACKNESS);
    PatBlt(dc.Get(), 0, 0, 1, 4, WHITENESS);
  }
  image.FreeContext(); // the list selects the bitmap itself
  ASSERT_EQ(ImageList_Add(images, image.Handle(), static_cast<HBITMAP>(mask.Get())), 0);
  TSurface s(4, 4, clLime);
  cxDrawImage(s.Canvas(), {0, 0, 4, 4}, nullptr, images, 0, ifmNormal);
  EXPECT_EQ(Px(s.Bitmap, 0, 2), clLime);
  EXPECT_EQ(Px(s.Bitmap, 2, 2), clBlue);
  ImageList_Destroy(images);
}

TEST(cxCanvasDirection, ControlsReadingRightToLeftDrawRightToLeft) {
  TParentFixture f;
  TControlCanvas canvas(f.Child);
  TcxCanvas cx(&canvas);
  EXPECT_FALSE(cx.UseRightToLeftAlignment());
  HWND window = f.Child->Handle();
  SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_RTLREADING);
  EXPECT_TRUE(cx.UseRightToLeftAlignment());
  cx.SetUseRightToLeftAlignment(bFalse);
  EXPECT_FALSE(cx.UseRightToLeftAlignment());
  // A canvas of no control follows only its own setting.
  TcxBitmap32 bitmap(2, 2);
  EXPECT_FALSE(bitmap.cxCanvas().UseRightToLeftAlignment());
  bitmap.cxCanvas().SetUseRightToLeftAlignment(bTrue);
  EXPECT_TRUE(bitmap.cxCanvas().UseRightToLeftAlignment());
}

// ---------------------------------------------------------------- leaks

// How many more GDI objects the process can create now (Wine's table is
// finite): every object left behind lowers it.
int FreeGdiCapacity() {
  std::vector<HGDIOBJ> made;
  made.reserve(70000);
  for (;;) {
    HGDIOBJ brush = CreateSolidBrush(static_cast<COLORREF>(made.size() & 0xFFFFFF));
    if (brush == nullptr || made.size() >= 200000) {
      if (brush != nullptr)
        DeleteObject(brush);
      break;
    }
    made.push_back(brush);
  }
  for (HGDIOBJ o : made)
    DeleteObject(o);
  return static_cast<int>(made.size());
}

void EveryOperation(TParentFixture& f, TcxBitmap32& surface, TcxBitmap& glyph, int i) {
  TcxCanvas& c = surface.cxCanvas();
  const RECT r{0, 0, 75, 25};
  TColor color = static_cast<TColor>((i * 2654435761u) & 0xFFFFFF);
  c.FillRect(r, color);
  c.FillRect(r, clDefault);
  c.FrameRect(r, color ^ 0xFF, 2, cxBordersAll);
  c.DrawComplexFrame(r, clBtnHighlight, clBtnShadow);
  c.DrawEdge(r, i & 1, i & 2);
  const POINT pts[] = {{2, 2}, {10, 2}, {6, 8}};
  c.FillPolygon(pts, color);
  c.Polygon(pts, clNone, clBtnText);
  c.DrawFocusRect({2, 2, 70, 20});
  c.SaveState();
  c.Font().SetHeight(-10 - (i % 7));
  c.Font().SetStyle(i % 3 == 0 ? unsigned{fsBold} : 0u);
  c.Pen().SetWidth(1 + i % 2);
  c.SaveClipRegion();
  c.IntersectClipRect({1, 1, 60, 20});
  c.RectVisible({0, 0, 5, 5});
  c.SetClipRegion(c.GetClipRegion().release(), roIntersect);
  c.DrawText(L"OK", r, cxSingleLine | cxAlignCenter, i & 1);
  c.DrawText(L"&Caption", r, cxSingleLine | cxAlignCenter | cxShowPrefix, i & 1);
  c.DrawText(L"two\nlines", r, cxAlignVCenter | cxWordBreak | cxShowEndEllipsis, true);
  c.RestoreClipRegion();
  c.RestoreState();
  RECT m = r;
  c.TextExtent(L"Measure me", m, cxWordBreak);
  c.TextWidth(L"W");
  RECT rr{0, 0, 20, 25};
  cxDrawText(c, L"Up", rr, DT_SINGLELINE, clDefault, (i & 1) ? raPlus90 : ra180);
  RECT t{0, 0, 100, 0};
  TdxTextMeasurer::TextRectDT(t, L"measure", c.Font(), DT_WORDBREAK);
  FillRectByColor(c.Handle(), {0, 0, 3, 3}, static_cast<TColor>(i % 300));
  FrameRectByColor(c.Handle(), r, clBtnShadow);
  cxExtTextOut(c.Handle(), L"x", {1, 1}, r, ETO_CLIPPED);
  GetLightSelColor();
  dxGetMiddleRGB(clBtnFace, clHighlight, 40);
  auto temp = TcxBitmap32::CreateSize({0, 0, 8, 8}, true);
  temp->cxCanvas().FillRect({0, 0, 8, 8}, color);
  cxBitBlt(c.Handle(), temp->cxCanvas().Handle(), {0, 0, 8, 8}, {0, 0}, SRCCOPY);
  cxDrawTransparentControlBackground(f.Child, c, {0, 0, 20, 10}, true);
  cxDrawThemeParentBackground(f.Child, c, {0, 0, 20, 10});
  c.SetUseRightToLeftAlignment(bTrue);
  cxRightToLeftDependentDraw(c, r, [&] { c.FillRect({0, 0, 3, 3}, clRed); });
  c.SetUseRightToLeftAlignment(bDefault);
  dxDrawTextOnGlass(c.Handle(), L"Glass", c.Font(), r, clBtnText, DT_SINGLELINE, 4, i & 1);
  cxDrawImage(c, r, &glyph, nullptr, -1, static_cast<TcxImageFitMode>(i % 5),
              static_cast<TcxImageDrawMode>(i % 6), true, nullptr, nullptr, i & 1);
}

TEST(cxLeaks, NoGdiObjectIsLeftBehind) {
  TParentFixture f;
  TcxBitmap glyph(6, 6, pf24bit);
  glyph.Canvas().FillRect({0, 0, 6, 6});
  int objects, memoryDCs, windowDCs, capacity;
  {
    TcxBitmap32 surface(75, 25);
    // Warm-up: the brush cache, the measuring context and the system's own
    // first-use objects.
    for (int i = 0; i < 300; ++i)
      EveryOperation(f, surface, glyph, i);
    objects = TGdiObject::LiveCount();
    memoryDCs = TMemoryDC::LiveCount();
    windowDCs = TWindowDC::LiveCount();
    capacity = FreeGdiCapacity();
    ASSERT_GT(capacity, 1000);
    for (int i = 0; i < 3000; ++i)
      EveryOperation(f, surface, glyph, i);
    EXPECT_EQ(TGdiObject::LiveCount(), objects);
    EXPECT_EQ(TMemoryDC::LiveCount(), memoryDCs);
    EXPECT_EQ(TWindowDC::LiveCount(), windowDCs);
    EXPECT_EQ(FreeGdiCapacity(), capacity);
    EXPECT_LE(surface.Canvas().OwnedObjectCount(), 3);
  }
}

// ---------------------------------------------------------------- unit

TEST(cxGraphicsUnit, AfterShutDownNothingIsCreatedAndDrawingStillWorks) {
  ASSERT_NE(dxSolidBrushCache(), nullptr);
  int refs = SystemPaletteChangedListenerRefCount();
  DoneGraphicsPaletteUnit();
  DoneGraphics();
  EXPECT_EQ(dxSolidBrushCache(), nullptr);
  EXPECT_EQ(SystemPaletteChangedListenerRefCount(), refs - 1);
  TSurface s(10, 10, clLime);
  int objects = TGdiObject::LiveCount();
  FillRectByColor(s.Canvas().Handle(), {0, 0, 5, 5}, clRed);
  EXPECT_EQ(Px(s.Bitmap, 1, 1), clRed);
  RECT r{0, 0, 100, 0};
  TdxTextMeasurer::TextRectDT(r, L"Text", s.Canvas().Font(), DT_SINGLELINE);
  EXPECT_GT(r.bottom, 0);
  EXPECT_EQ(dxSolidBrushCache(), nullptr);
  EXPECT_EQ(TGdiObject::LiveCount(), objects); // brush and context for the call only

  // The colour notification after its shut-down: no listener is made, and a
  // notifier that outlived its listener lets go of nothing later.
  auto survivor = std::make_unique<TcxSystemPaletteChangedNotifier>(false);
  DoneSystemPaletteUnit();
  EXPECT_EQ(SystemPaletteChangedListener(), nullptr);
  {
    TcxSystemPaletteChangedNotifier late(true);
    EXPECT_EQ(SystemPaletteChangedListener(), nullptr);
    EXPECT_EQ(SystemPaletteChangedListenerRefCount(), 0);
  }
  InitSystemPaletteUnit();
  InitGraphics();
  InitGraphicsPaletteUnit();
  EXPECT_NE(dxSolidBrushCache(), nullptr);
  EXPECT_EQ(SystemPaletteChangedListenerRefCount(), 1);
  survivor.reset();
  EXPECT_EQ(SystemPaletteChangedListenerRefCount(), 1);
  ASSERT_NE(SystemPaletteChangedListener(), nullptr);
  EXPECT_EQ(SystemPaletteChangedListener()->NotifierCount(true), 1);
}

} // namespace
} // namespace telvora
