// The library canvas, checked pixel by pixel on 32-bit memory bitmaps: fills,
// frames, edges and polygons, clipping with saved regions, saves restored on
// every path, and the reading direction a control gives its canvas.

#include "ui/support/cxCanvas.h"

#include "platform/Controls.h"
#include "ui/support/tests/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace telvora {
namespace {

using namespace graphics_tests;

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

} // namespace
} // namespace telvora
