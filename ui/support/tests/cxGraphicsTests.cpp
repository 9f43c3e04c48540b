// The canvas unit as a whole: every drawing operation over and over leaves
// no GDI object behind, and after the unit's shut-down nothing is created
// while drawing still works.

#include "ui/support/cxGraphics.h"

#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/support/tests/GraphicsTestSupport.h"
#include "ui/themes/dxThemedDrawing.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace telvora {
namespace {

using namespace graphics_tests;

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
