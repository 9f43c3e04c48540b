// The framework canvas: what taking the handle selects, saved states and the
// objects they refer to, the lock, bitmaps.

#include "platform/Canvas.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace telvora {
namespace {

TEST(Canvas, TakingTheHandleSelectsFontPenAndBrush) {
  TBitmap bitmap(8, 8, pf32bit);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font().SetName(L"Tahoma");
  canvas.Font().SetHeight(-20);
  canvas.Font().SetColor(clRed);
  canvas.Pen().SetColor(0x00FF00);
  canvas.Brush().SetColor(0x123456);
  HDC dc = canvas.Handle();

  LOGFONTW font{};
  ASSERT_NE(GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font), 0);
  EXPECT_EQ(font.lfHeight, -20);
  EXPECT_STREQ(font.lfFaceName, L"Tahoma");
  EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(clRed));
  LOGPEN pen{};
  ASSERT_NE(GetObjectW(GetCurrentObject(dc, OBJ_PEN), sizeof(pen), &pen), 0);
  EXPECT_EQ(pen.lopnColor, 0x00FF00u);
  LOGBRUSH brush{};
  ASSERT_NE(GetObjectW(GetCurrentObject(dc, OBJ_BRUSH), sizeof(brush), &brush), 0);
  EXPECT_EQ(brush.lbColor, 0x123456u);
  EXPECT_EQ(GetBkColor(dc), 0x123456u);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);

  // A colour change reaches the context on the next use of the handle.
  canvas.Font().SetColor(clBlack);
  canvas.Brush().SetStyle(bsClear);
  dc = canvas.Handle();
  EXPECT_EQ(GetTextColor(dc), 0u);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
}

// Text drawn without a background turns the brush hollow and back, at every
// paint: the solid brush is kept for that and made anew only for a colour.
TEST(Canvas, AHollowBrushInBetweenKeepsTheSolidBrush) {
  TBitmap bitmap(8, 8, pf32bit);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetColor(clRed);
  HDC dc = canvas.Handle();
  const HGDIOBJ solid = GetCurrentObject(dc, OBJ_BRUSH);
  const int live = TGdiObject::LiveCount();

  canvas.Brush().SetStyle(bsClear);
  dc = canvas.Handle();
  LOGBRUSH brush{};
  ASSERT_NE(GetObjectW(GetCurrentObject(dc, OBJ_BRUSH), sizeof(brush), &brush), 0);
  EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_NULL));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(GetObjectType(solid), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(TGdiObject::LiveCount(), live);

  canvas.Brush().SetStyle(bsSolid);
  dc = canvas.Handle();
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), solid);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(clRed));
  EXPECT_EQ(TGdiObject::LiveCount(), live);
  PatBlt(dc, 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(GetPixel(dc, 3, 3), static_cast<COLORREF>(clRed));

  // Another colour after a hollow spell: a new brush of that colour.
  canvas.Brush().SetStyle(bsClear);
  canvas.Handle();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(clBlue);
  dc = canvas.Handle();
  EXPECT_NE(GetCurrentObject(dc, OBJ_BRUSH), solid);
  EXPECT_EQ(GetObjectType(solid), 0u);
  PatBlt(dc, 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(GetPixel(dc, 3, 3), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(TGdiObject::LiveCount(), live);
}

TEST(Canvas, ObjectsASavedStateRefersToLiveUntilItIsRestored) {
  TBitmap bitmap(8, 8, pf32bit);
  TCanvas& canvas = bitmap.Canvas();
  HDC dc = canvas.Handle();
  HGDIOBJ firstFont = GetCurrentObject(dc, OBJ_FONT);
  HGDIOBJ firstBrush = GetCurrentObject(dc, OBJ_BRUSH);
  int objectsBefore = TGdiObject::LiveCount();

  int saved = canvas.SaveDC();
  ASSERT_NE(saved, 0);
  canvas.Font().SetHeight(-30);
  canvas.Brush().SetColor(clRed);
  dc = canvas.Handle();
  EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), firstFont);
  // The saved state still names the first font and brush: they stay alive.
  EXPECT_EQ(GetObjectType(firstFont), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(firstBrush), static_cast<DWORD>(OBJ_BRUSH));

  canvas.RestoreDC(saved);
  EXPECT_EQ(canvas.SavedDCCount(), 0);
  EXPECT_EQ(GetObjectType(firstFont), 0u);
  EXPECT_EQ(GetObjectType(firstBrush), 0u);
  EXPECT_EQ(TGdiObject::LiveCount(), objectsBefore);
  EXPECT_EQ(canvas.OwnedObjectCount(), 3);
  // The canvas's current objects are back in the context.
  dc = canvas.Handle();
  LOGFONTW font{};
  GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
  EXPECT_EQ(font.lfHeight, -30);
  LOGBRUSH brush{};
  GetObjectW(GetCurrentObject(dc, OBJ_BRUSH), sizeof(brush), &brush);
  EXPECT_EQ(brush.lbColor, static_cast<COLORREF>(clRed));
}

TEST(Canvas, ACanvasWithoutContextRaises) {
  TCanvas canvas;
  EXPECT_THROW(canvas.Handle(), EOutOfResources);
}

DWORD WINAPI TryLockCanvas(void* parameter) {
  auto* canvas = static_cast<TCanvas*>(parameter);
  if (!canvas->TryLock())
    return 0;
  canvas->Unlock();
  return 1;
}

TEST(Canvas, LockKeepsOtherThreadsOut) {
  TCanvas canvas;
  auto otherThreadGetsIn = [&] {
    HANDLE thread = CreateThread(nullptr, 0, TryLockCanvas, &canvas, 0, nullptr);
    WaitForSingleObject(thread, 10000);
    DWORD code = 2;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code == 1;
  };
  canvas.Lock();
  canvas.Lock();
  EXPECT_EQ(canvas.LockCount(), 2);
  EXPECT_FALSE(otherThreadGetsIn());
  canvas.Unlock();
  EXPECT_FALSE(otherThreadGetsIn());
  canvas.Unlock();
  EXPECT_EQ(canvas.LockCount(), 0);
  EXPECT_TRUE(otherThreadGetsIn());
}

TEST(Canvas, BitmapPixelsAndResize) {
  int memoryDCs = TMemoryDC::LiveCount();
  {
    TBitmap bitmap(4, 3, pf32bit);
    bitmap.Canvas().Brush().SetColor(clRed);
    bitmap.Canvas().FillRect({0, 0, 4, 3});
    EXPECT_EQ(bitmap.Pixel32(3, 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(bitmap.BytesPerLine(), 16);

    // A new size drops the image and the context; the canvas keeps its settings.
    bitmap.SetSize(6, 2);
    EXPECT_EQ(TMemoryDC::LiveCount(), memoryDCs);
    bitmap.Canvas().FillRect({0, 0, 6, 2});
    EXPECT_EQ(bitmap.Pixel32(5, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(bitmap.Pixel32(6, 1), 0u); // outside

    TBitmap device(5, 5);
    EXPECT_NE(device.Handle(), nullptr);
    EXPECT_EQ(device.Bits(), nullptr);
  }
  EXPECT_EQ(TMemoryDC::LiveCount(), memoryDCs);
}

} // namespace
} // namespace telvora
