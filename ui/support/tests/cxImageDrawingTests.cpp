// Images drawn on a canvas: fit modes, draw modes, a scale factor, the
// left-bottom pixel as transparency, and an image of an image list.

#include "ui/support/cxImageDrawing.h"

#include "ui/support/dxScaleFactor.h"
#include "ui/support/tests/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace telvora {
namespace {

using namespace graphics_tests;

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

} // namespace
} // namespace telvora
