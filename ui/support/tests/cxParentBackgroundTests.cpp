// A control's background painted from its parent: once per parent, only
// where asked, with the canvas left as it was; and the theme's parent
// background.

#include "ui/support/cxParentBackground.h"

#include "ui/support/tests/GraphicsTestSupport.h"
#include "ui/themes/dxThemedDrawing.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

using namespace graphics_tests;

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

} // namespace
} // namespace telvora
