// Shut-down of the fading unit. The test shuts the unit down for the rest of
// this program (the program's own shut-down then finds it already done), so
// this program holds nothing else.

#include "platform/Handles.h"
#include "ui/support/dxFading.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct THelper : TdxFadingObjectHelper {
  bool CanFade() override { return true; }
  void DrawFadeImage() override { ++Repaints; }
  void GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                       std::unique_ptr<TcxBitmap32>& AFadeInImage) override {
    AFadeOutImage = std::make_unique<TcxBitmap32>(4, 4, true);
    AFadeInImage = std::make_unique<TcxBitmap32>(4, 4, true);
    AFadeInImage->Canvas().FillRect(RECT{0, 0, 4, 4});
  }
  int Repaints = 0;
};

TEST(FadingShutDown, FreesRunningFadesUntoldAndCreatesNoFaderAfterwards) {
  const int gdiObjects = TGdiObject::LiveCount();
  {
    THelper first, second;
    EXPECT_EQ(dxFaderInstance(), nullptr) << "made on first use only";
    ASSERT_NE(dxFader(), nullptr);
    EXPECT_EQ(dxFaderInstance(), dxFader());
    dxFader()->SetState(fasEnabled);
    first.FadeIn();
    second.FadeOut();
    ASSERT_EQ(dxFader()->Count(), 2);
    ASSERT_GT(TGdiObject::LiveCount(), gdiObjects);

    DoneFadingUnit();
    EXPECT_EQ(TGdiObject::LiveCount(), gdiObjects);
    EXPECT_EQ(first.Repaints, 1);
    EXPECT_EQ(second.Repaints, 1);
    EXPECT_EQ(dxFaderInstance(), nullptr);
    EXPECT_EQ(dxFader(), nullptr);
    EXPECT_EQ(dxFaderInstance(), nullptr);

    // Fading objects go on working without fades.
    first.CheckStartFading(cxbsHot, cxbsNormal);
    first.FadeIn();
    EXPECT_FALSE(first.Active());
    EXPECT_FALSE(first.DrawImage(nullptr, RECT{0, 0, 4, 4}));
    first.StopFading();
    EXPECT_EQ(first.Repaints, 1);
  }
  EXPECT_NO_THROW(DoneFadingUnit());
  EXPECT_EQ(dxFader(), nullptr);
  EXPECT_EQ(TGdiObject::LiveCount(), gdiObjects);
}

} // namespace
} // namespace telvora
