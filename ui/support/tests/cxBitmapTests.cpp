// Off-screen bitmaps: made to a rectangle's size, cleared, copied between.

#include "ui/support/cxBitmap.h"

#include "ui/support/tests/GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

using namespace graphics_tests;

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

} // namespace
} // namespace telvora
