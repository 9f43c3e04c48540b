// The solid-brush cache: its ring of brushes, and the unit's cache emptied
// by a system colour change.

#include "ui/support/dxSolidBrushCache.h"

#include "ui/support/tests/GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

using namespace graphics_tests;

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

} // namespace
} // namespace telvora
