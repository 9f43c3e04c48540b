// The fader: starting, stepping, finishing, reversing and removing fades, the
// conditions under which fading is allowed, blending and drawing the frames
// (every stage of a fade against the exact formula for every pair of bytes,
// with every pixel routine this processor runs), the element limit, and that
// every bitmap handed to the fader or made by it is freed on every path.
// Ticks are driven through DoTimer, except in the window test, which runs on
// the real animation clock.

#include "platform/Handles.h"
#include "ui/support/cxTimer.h"
#include "ui/support/dxFading.h"
#include "ui/support/tests/FadingPixelsTestSupport.h"

#include "tests/support/MenuAnimation.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace telvora {
namespace {

using testing::MenuAnimation;
using testing::PumpPending;
using testing::PumpUntil;
using testing::SetMenuAnimation;
using namespace fading_tests;

// The tick a frame was shown at (driven by RunTicks).
int gTick = 0;

// A probe pixel whose blue byte shows the blend weight, a transparent black
// pixel and a pixel without alpha that must be blended as opaque.
constexpr RGBQUAD kProbeNormal{0, 0, 0, 255};
constexpr RGBQUAD kProbeHot{255, 0, 0, 255};
constexpr RGBQUAD kTransparentBlack{0, 0, 0, 0};
constexpr RGBQUAD kNoAlphaGrey{30, 20, 10, 0};
constexpr RGBQUAD kHotRed{0, 0, 255, 255};

// A bitmap of ASize whose pixels repeat APixels row by row.
std::unique_ptr<TcxBitmap32> MakeImage(SIZE ASize, const TdxFadingPixels& APixels) {
  auto bitmap = std::make_unique<TcxBitmap32>(ASize.cx, ASize.cy);
  if (bitmap->Empty() || APixels.empty())
    return bitmap;
  auto* bits = reinterpret_cast<RGBQUAD*>(bitmap->Bits());
  for (int i = 0; i < ASize.cx * ASize.cy; ++i)
    bits[i] = APixels[static_cast<size_t>(i) % APixels.size()];
  return bitmap;
}

struct TFrame {
  int Tick;
  bool HasImage;
  TdxFadingPixels Pixels;
  // The pixels as they are drawn.
  TdxFadingPixels Premultiplied;
};

// A fading object that records every frame it is told about.
class TFadingObject : public TObject, public IdxFadingObject {
public:
  ~TFadingObject() override {
    if (TdxFader* fader = dxFaderInstance())
      fader->Remove(this, true);
  }

  bool CanFade() override { return WantsFade; }
  void DrawFadeImage() override {
    TFrame frame{gTick, false, {}, {}};
    if (TdxFadingElement* element = dxFader()->Find(this))
      if (const TdxFadingImage* image = element->WorkImage()) {
        frame.HasImage = true;
        const std::span<const RGBQUAD> pixels = image->Pixels();
        const std::span<const RGBQUAD> premultiplied = image->PremultipliedPixels();
        frame.Pixels.assign(pixels.begin(), pixels.end());
        frame.Premultiplied.assign(premultiplied.begin(), premultiplied.end());
      }
    Frames.push_back(std::move(frame));
    if (OnDrawFadeImage)
      OnDrawFadeImage();
  }
  void GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                       std::unique_ptr<TcxBitmap32>& AFadeInImage) override {
    ++ImageRequests;
    if (GiveNormalImage)
      AFadeOutImage = MakeImage(NormalSize, NormalPixels);
    AFadeInImage = MakeImage(HotSize, HotPixels);
  }

  // The probe's blue byte of every frame shown; -1 for the repaint without
  // a fade image.
  std::vector<int> Blues() const {
    std::vector<int> result;
    for (const TFrame& frame : Frames)
      result.push_back(frame.HasImage ? frame.Pixels[0].rgbBlue : -1);
    return result;
  }
  std::vector<int> Ticks() const {
    std::vector<int> result;
    for (const TFrame& frame : Frames)
      result.push_back(frame.Tick);
    return result;
  }

  bool WantsFade = true;
  bool GiveNormalImage = true;
  SIZE NormalSize{3, 1};
  SIZE HotSize{3, 1};
  TdxFadingPixels NormalPixels{kProbeNormal, kTransparentBlack, kNoAlphaGrey};
  TdxFadingPixels HotPixels{kProbeHot, kTransparentBlack, kHotRed};
  int ImageRequests = 0;
  std::vector<TFrame> Frames;
  std::function<void()> OnDrawFadeImage;
};

class TOptionsFadingObject : public TFadingObject, public IdxFadingObjectFadingOptions {
public:
  TdxFadingOptions* GetFadingOptions() override { return Options.get(); }
  std::unique_ptr<TdxFadingOptions> Options;
};

// Blend weights of every stage with the default frame counts.
const std::vector<int> kFadeInWeights{0, 64, 128, 191, 255};
const std::vector<int> kFadeOutWeights{0, 21, 43, 64, 85, 106, 128, 149, 170, 191, 213, 234, 255};

class Fading : public ::testing::Test {
protected:
  void SetUp() override {
    FMenuAnimation = MenuAnimation();
    SetMenuAnimation(true);
    ASSERT_TRUE(MenuAnimation()) << "the menu-animation setting cannot be switched";
    ASSERT_NE(Fader(), nullptr);
    ASSERT_EQ(Fader()->Count(), 0);
    FLiveGdiObjects = TGdiObject::LiveCount();
    gTick = 0;
  }
  void TearDown() override {
    Fader()->Clear();
    Fader()->SetMaxAnimationCount(10);
    Fader()->SetState(fasDefault);
    SetMenuAnimation(FMenuAnimation);
    Objects.clear();
    // Every image handed to the fader and every blend it made is gone.
    EXPECT_EQ(TGdiObject::LiveCount(), FLiveGdiObjects);
  }

  static TdxFader* Fader() { return dxFader(); }

  TFadingObject& NewObject() {
    Objects.push_back(std::make_unique<TFadingObject>());
    return *Objects.back();
  }

  // Drives the animation clock: AMax ticks at most, fewer when AObject's
  // fade ends first. Answers the ticks given.
  static int RunTicks(TObject* AObject, int AMax = 100) {
    int ticks = 0;
    while (ticks < AMax && Fader()->Contains(AObject)) {
      ++gTick;
      ++ticks;
      Fader()->DoTimer(nullptr);
    }
    return ticks;
  }

  std::vector<std::unique_ptr<TFadingObject>> Objects;

private:
  bool FMenuAnimation = false;
  int FLiveGdiObjects = 0;
};

TEST_F(Fading, EachDirectionShowsEveryStageOnItsTickAndEndsWithARepaintWithoutImage) {
  struct TCase {
    TdxFadingState State;
    int FrameCount, FrameDelay, DelayCount;
    std::vector<int> Blues;
    std::vector<int> Ticks;
  };
  std::vector<TCase> cases;
  {
    TCase in{fsFadeIn, 4, 15, 1, kFadeInWeights, {0, 1, 2, 3, 4}};
    TCase out{fsFadeOut, 12, 20, 2, {}, {}};
    for (size_t k = 0; k < kFadeOutWeights.size(); ++k) {
      out.Blues.push_back(255 - kFadeOutWeights[k]);
      out.Ticks.push_back(static_cast<int>(2 * k));
    }
    in.Blues.push_back(-1);
    in.Ticks.push_back(5);
    out.Blues.push_back(-1);
    out.Ticks.push_back(26);
    cases = {in, out};
  }
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.State == fsFadeIn ? "fade in" : "fade out");
    gTick = 0;
    TFadingObject& object = NewObject();
    Fader()->Fade(&object, c.State);
    ASSERT_TRUE(Fader()->Contains(&object));
    TdxFadingElement* element = Fader()->Find(&object);
    EXPECT_EQ(element->AnimationFrameCount(), c.FrameCount);
    EXPECT_EQ(element->AnimationFrameDelay(), c.FrameDelay);
    EXPECT_EQ(element->DelayCount(), c.DelayCount);
    EXPECT_EQ(element->Stage(), 0);
    EXPECT_TRUE(Fader()->Timer().Enabled());
    EXPECT_EQ(object.ImageRequests, 1);

    // One image serves every frame of the fade.
    const TdxFadingImage* image = element->WorkImage();
    ASSERT_NE(image, nullptr);
    const int ticksToLastStage = c.FrameCount * c.DelayCount;
    EXPECT_EQ(RunTicks(&object, ticksToLastStage), ticksToLastStage);
    ASSERT_EQ(element->Stage(), c.FrameCount);
    EXPECT_EQ(element->WorkImage(), image);
    EXPECT_EQ(RunTicks(&object) + ticksToLastStage, c.Ticks.back());
    EXPECT_EQ(object.Blues(), c.Blues);
    EXPECT_EQ(object.Ticks(), c.Ticks);
    EXPECT_FALSE(Fader()->Contains(&object));
    EXPECT_FALSE(Fader()->Timer().Enabled());
    // Transparent black stays transparent, a pixel without alpha is opaque.
    for (const TFrame& frame : object.Frames)
      if (frame.HasImage) {
        EXPECT_TRUE(Same(frame.Pixels[1], kTransparentBlack));
        EXPECT_EQ(frame.Pixels[2].rgbReserved, 255);
      }
  }
}

TEST_F(Fading, FirstAndLastStagesShowTheTwoImagesUnchanged) {
  TFadingObject& object = NewObject();
  Fader()->FadeIn(&object);
  RunTicks(&object);
  ASSERT_EQ(object.Frames.size(), 6u);
  const TdxFadingPixels normal{kProbeNormal, kTransparentBlack, {30, 20, 10, 255}};
  EXPECT_TRUE(std::equal(normal.begin(), normal.end(), object.Frames[0].Pixels.begin(), Same));
  EXPECT_TRUE(std::equal(object.HotPixels.begin(), object.HotPixels.end(),
                         object.Frames[4].Pixels.begin(), Same));
}

// Images of 256 x 256 pixels whose blue and green bytes run through every
// pair of start and end bytes; with transparency the alpha bytes do as well
// (pixels without alpha then become opaque, as the fader makes them).
TEST_F(Fading, EveryStageBlendsEveryPairOfBytesExactlyWithEveryRoutine) {
  struct TAllPairs : TFadingObject {
    void GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                         std::unique_ptr<TcxBitmap32>& AFadeInImage) override {
      AFadeOutImage = MakeImage({256, 256}, Normal);
      AFadeInImage = MakeImage({256, 256}, Hot);
    }
    TdxFadingPixels Normal, Hot;
  };
  TRoutineGuard guard;
  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent ? "with transparent pixels" : "opaque");
    TAllPairs object;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const auto bx = static_cast<BYTE>(x), by = static_cast<BYTE>(y);
        object.Hot.push_back({bx, by, static_cast<BYTE>(x ^ y), transparent ? bx : BYTE{255}});
        object.Normal.push_back({by, bx, static_cast<BYTE>(255 - y), transparent ? by : BYTE{255}});
      }
    // What the fader blends: the corrected images, from hot to normal.
    TdxFadingPixels from = object.Hot, to = object.Normal;
    TdxFadingHelper::CorrectAlphaChannel(from);
    TdxFadingHelper::CorrectAlphaChannel(to);
    std::vector<TdxFadingPixels> expected(kFadeOutWeights.size());
    for (size_t stage = 0; stage < kFadeOutWeights.size(); ++stage)
      for (size_t i = 0; i < from.size(); ++i) {
        const int a = kFadeOutWeights[stage];
        expected[stage].push_back({ExactBlend(from[i].rgbBlue, to[i].rgbBlue, a),
                                   ExactBlend(from[i].rgbGreen, to[i].rgbGreen, a),
                                   ExactBlend(from[i].rgbRed, to[i].rgbRed, a),
                                   ExactBlend(from[i].rgbReserved, to[i].rgbReserved, a)});
      }

    for (TdxFadingPixelRoutine routine : AvailableRoutines()) {
      SCOPED_TRACE(RoutineName(routine));
      ASSERT_TRUE(TdxFadingHelper::SetPixelRoutine(routine));
      object.Frames.clear();
      Fader()->FadeOut(&object);
      RunTicks(&object);
      ASSERT_EQ(object.Frames.size(), kFadeOutWeights.size() + 1);
      for (size_t stage = 0; stage < kFadeOutWeights.size(); ++stage) {
        const TFrame& frame = object.Frames[stage];
        ASSERT_EQ(frame.Pixels.size(), from.size());
        ASSERT_EQ(frame.Premultiplied.size(), from.size());
        int wrong = 0, wrongDrawn = 0;
        for (size_t i = 0; i < from.size(); ++i) {
          wrong += !Same(frame.Pixels[i], expected[stage][i]);
          wrongDrawn += !Same(frame.Premultiplied[i], ExactPremultiplied(expected[stage][i]));
        }
        EXPECT_EQ(wrong, 0) << "stage " << stage;
        EXPECT_EQ(wrongDrawn, 0) << "stage " << stage << ", pixels as drawn";
      }
    }
  }
}

// An image made from pixels keeps them and draws them premultiplied: every
// colour byte with every alpha; opaque pixels are drawn as they are.
TEST(FadingPixels, AnImageDrawsEveryColourWithEveryAlphaPremultiplied) {
  TdxFadingPixels pixels;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      pixels.push_back({static_cast<BYTE>(x), static_cast<BYTE>(255 - x), static_cast<BYTE>(y),
                        static_cast<BYTE>(y)});
  TdxFadingPixels opaque(pixels.begin(), pixels.begin() + 512);
  for (RGBQUAD& p : opaque)
    p.rgbReserved = 255;
  TRoutineGuard guard;
  for (TdxFadingPixelRoutine routine : AvailableRoutines()) {
    SCOPED_TRACE(RoutineName(routine));
    ASSERT_TRUE(TdxFadingHelper::SetPixelRoutine(routine));
    const TdxFadingImage image({256, 256}, pixels);
    ASSERT_TRUE(image.HasBitmap());
    EXPECT_TRUE(image.HasTransparency());
    ASSERT_EQ(image.PremultipliedPixels().size(), pixels.size());
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), image.Pixels().begin(), Same));
    int wrong = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
      wrong += !Same(image.PremultipliedPixels()[i], ExactPremultiplied(pixels[i]));
    EXPECT_EQ(wrong, 0);

    const TdxFadingImage opaqueImage({32, 16}, opaque);
    EXPECT_FALSE(opaqueImage.HasTransparency());
    EXPECT_TRUE(std::equal(opaque.begin(), opaque.end(), opaqueImage.Pixels().begin(), Same));
    EXPECT_TRUE(
        std::equal(opaque.begin(), opaque.end(), opaqueImage.PremultipliedPixels().begin(), Same));
  }
  // Pixels that do not fill the size: an image without pixels.
  const TdxFadingImage wrongSize({3, 3}, std::span<const RGBQUAD>(pixels.data(), 8));
  EXPECT_TRUE(wrongSize.Pixels().empty());
  EXPECT_FALSE(wrongSize.HasBitmap());
}

TEST_F(Fading, ReversalMidwayGoesBackFromTheCurrentBlend) {
  TFadingObject& object = NewObject();
  Fader()->FadeIn(&object);
  RunTicks(&object, 2);
  TdxFadingElement* element = Fader()->Find(&object);
  ASSERT_EQ(element->Stage(), 2);

  const size_t before = object.Frames.size();
  Fader()->FadeOut(&object);
  EXPECT_EQ(Fader()->Find(&object), element) << "the element is reused";
  EXPECT_EQ(Fader()->Count(), 1);
  EXPECT_EQ(element->Stage(), 0);
  EXPECT_EQ(element->AnimationFrameCount(), 12);
  EXPECT_EQ(element->DelayCount(), 2);
  EXPECT_EQ(element->Image1Colors()[0].rgbBlue, 128);

  EXPECT_EQ(RunTicks(&object), 26);
  std::vector<int> blues = object.Blues();
  blues.erase(blues.begin(), blues.begin() + static_cast<std::ptrdiff_t>(before));
  ASSERT_EQ(blues.size(), 14u);
  EXPECT_EQ(blues.front(), 128);
  EXPECT_EQ(blues[12], 0);
  EXPECT_EQ(blues[13], -1);
  EXPECT_TRUE(std::is_sorted(blues.begin(), blues.begin() + 13, std::greater<>()));
}

TEST_F(Fading, AResizedObjectGoesOnFromItsStageWithTheNewImages) {
  TFadingObject& object = NewObject();
  Fader()->FadeIn(&object);
  RunTicks(&object, 2);
  object.NormalSize = object.HotSize = {6, 2};
  Fader()->FadeOut(&object);
  TdxFadingElement* element = Fader()->Find(&object);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->Stage(), 2);
  EXPECT_EQ(element->AnimationFrameCount(), 4);
  EXPECT_EQ(element->ImageSize().cx, 6);
  EXPECT_EQ(element->ImageSize().cy, 2);
  // Stage 2 of 4 from the hot image (blue 255) towards the normal one.
  EXPECT_EQ(object.Blues().back(), 127);
  EXPECT_EQ(RunTicks(&object), 3);
}

TEST_F(Fading, StartsThatCannotRunChangeNothingAndFreeTheImages) {
  struct TCase {
    const char* Name;
    std::function<void(TOptionsFadingObject&)> Arrange;
    bool AsksForImages;
  };
  const TCase cases[] = {
      {"object does not want to fade", [](auto& o) { o.WantsFade = false; }, false},
      {"fading disabled", [](auto&) { dxFader()->SetState(fasDisabled); }, false},
      {"menu animation off", [](auto&) { SetMenuAnimation(false); }, false},
      {"images of different sizes",
       [](auto& o) {
         o.HotSize = {4, 1};
       },
       true},
      {"empty images",
       [](auto& o) {
         o.NormalSize = o.HotSize = {0, 0};
       },
       true},
      {"one image missing", [](auto& o) { o.GiveNormalImage = false; }, true},
      {"no frames in that direction",
       [](auto& o) {
         o.Options = std::make_unique<TdxFadingOptions>();
         o.Options->SetFadeOutFrameCount(0);
       },
       true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    {
      // Without a running fade nothing starts.
      TOptionsFadingObject object;
      c.Arrange(object);
      Fader()->FadeOut(&object);
      EXPECT_EQ(object.ImageRequests, c.AsksForImages ? 1 : 0);
      EXPECT_FALSE(Fader()->Contains(&object));
      EXPECT_TRUE(object.Frames.empty());
      EXPECT_FALSE(Fader()->Timer().Enabled());
    }
    Fader()->SetState(fasDefault);
    SetMenuAnimation(true);
    {
      // A fade in runs at stage 1; the fade out leaves it alone.
      TOptionsFadingObject object;
      Fader()->FadeIn(&object);
      RunTicks(&object, 1);
      const int gdiObjects = TGdiObject::LiveCount();
      const size_t frames = object.Frames.size();
      object.ImageRequests = 0;
      c.Arrange(object);
      Fader()->FadeOut(&object);
      EXPECT_EQ(object.ImageRequests, c.AsksForImages ? 1 : 0);
      EXPECT_EQ(TGdiObject::LiveCount(), gdiObjects);
      EXPECT_EQ(object.Frames.size(), frames);
      TdxFadingElement* element = Fader()->Find(&object);
      ASSERT_NE(element, nullptr);
      EXPECT_EQ(element->Stage(), 1);
      EXPECT_EQ(element->AnimationFrameCount(), 4);
    }
    EXPECT_EQ(Fader()->Count(), 0) << "the object's destruction dropped its fade";
    Fader()->SetState(fasDefault);
    SetMenuAnimation(true);
  }
}

TEST_F(Fading, IsReadyFollowsTheStateTheMenuAnimationSettingAndTheLimit) {
  struct TCase {
    TdxFaderAnimationState State;
    bool MenuAnimation;
    int MaxAnimationCount;
    bool Ready;
  };
  const TCase cases[] = {
      {fasDefault, true, 10, true}, {fasDefault, false, 10, false}, {fasEnabled, false, 10, true},
      {fasEnabled, true, 10, true}, {fasDisabled, true, 10, false}, {fasDisabled, false, 10, false},
      {fasEnabled, true, 0, false}, {fasDefault, true, 1, true},
  };
  TFadingObject object;
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "state " << c.State << ", menu animation "
                                      << c.MenuAnimation << ", limit " << c.MaxAnimationCount);
    Fader()->SetState(c.State);
    SetMenuAnimation(c.MenuAnimation);
    Fader()->SetMaxAnimationCount(c.MaxAnimationCount);
    EXPECT_EQ(Fader()->IsReady(), c.Ready);
    EXPECT_EQ(Fader()->CanFade(&object), c.Ready);
  }
  Fader()->SetState(fasEnabled);
  Fader()->SetMaxAnimationCount(10);
  object.WantsFade = false;
  EXPECT_FALSE(Fader()->CanFade(&object));
  TObject plain;
  IdxFadingObject* fadingObject = &object;
  EXPECT_FALSE(Fader()->CanFade(&plain, fadingObject));
  EXPECT_EQ(fadingObject, nullptr);
  Fader()->FadeIn(&plain);
  EXPECT_FALSE(Fader()->Contains(&plain));
}

TEST_F(Fading, WithMenuAnimationOffTheChangeIsShownAtOnce) {
  SetMenuAnimation(false);
  TFadingObject& object = NewObject();
  Fader()->FadeIn(&object);
  Fader()->FadeOut(&object);
  EXPECT_FALSE(Fader()->Contains(&object));
  EXPECT_TRUE(object.Frames.empty());
  EXPECT_EQ(object.ImageRequests, 0);
  EXPECT_FALSE(Fader()->Timer().Enabled());
}

TEST_F(Fading, RemoveFinalisesOrDropsAndClearTellsNobody) {
  TFadingObject& a = NewObject();
  TFadingObject& b = NewObject();
  TFadingObject& c = NewObject();
  for (TFadingObject* o : {&a, &b, &c})
    Fader()->FadeIn(o);
  ASSERT_EQ(Fader()->Count(), 3);

  Fader()->Remove(&a, false);
  EXPECT_FALSE(Fader()->Contains(&a));
  ASSERT_EQ(a.Frames.size(), 2u);
  EXPECT_FALSE(a.Frames.back().HasImage);

  Fader()->Remove(&b, true);
  EXPECT_FALSE(Fader()->Contains(&b));
  EXPECT_EQ(b.Frames.size(), 1u);
  EXPECT_TRUE(Fader()->Timer().Enabled());

  Fader()->Remove(&b, false); // no fade: nothing
  EXPECT_EQ(b.Frames.size(), 1u);

  Fader()->Clear();
  EXPECT_EQ(Fader()->Count(), 0);
  EXPECT_EQ(c.Frames.size(), 1u);
  EXPECT_FALSE(Fader()->Timer().Enabled());
}

TEST_F(Fading, TheOldestFadeMakesRoomForANewOneBeyondTheLimit) {
  for (int i = 0; i < 11; ++i)
    Fader()->FadeIn(&NewObject());
  EXPECT_EQ(Fader()->Count(), 10);
  EXPECT_FALSE(Fader()->Contains(Objects[0].get()));
  EXPECT_FALSE(Objects[0]->Frames.back().HasImage);
  EXPECT_EQ(Fader()->Items(0)->Element(), Objects[1].get());
  EXPECT_EQ(Fader()->Items(9)->Element(), Objects[10].get());

  Fader()->SetMaxAnimationCount(2);
  EXPECT_EQ(Fader()->Count(), 2);
  EXPECT_EQ(Fader()->Items(0)->Element(), Objects[9].get());
  for (int i = 1; i < 9; ++i)
    EXPECT_FALSE(Objects[static_cast<size_t>(i)]->Frames.back().HasImage) << i;

  Fader()->SetMaxAnimationCount(25);
  EXPECT_EQ(Fader()->MaxAnimationCount(), dxFadeMaxAnimationCount);
  Fader()->SetMaxAnimationCount(-1);
  EXPECT_EQ(Fader()->MaxAnimationCount(), 0);
  EXPECT_EQ(Fader()->Count(), 0);
  EXPECT_FALSE(Fader()->Timer().Enabled());
}

TEST_F(Fading, AnObjectThatEndsItsFadeWhileToldStopsTheStepsSafely) {
  TFadingObject& object = NewObject();
  TFadingObject& other = NewObject();
  Fader()->FadeIn(&other);
  Fader()->FadeIn(&object);
  object.OnDrawFadeImage = [&] {
    if (object.Frames.size() == 2) {
      Fader()->Remove(&object, true);
      Fader()->Remove(&other, true);
    }
  };
  Fader()->DoTimer(nullptr);
  EXPECT_EQ(Fader()->Count(), 0);
  EXPECT_FALSE(Fader()->Timer().Enabled());
}

TEST_F(Fading, OwnOptionsReplaceTheDefaults) {
  TOptionsFadingObject object;
  Fader()->FadeIn(&object); // no options object: the defaults
  EXPECT_EQ(Fader()->Find(&object)->AnimationFrameCount(), 4);
  Fader()->Clear();

  object.Options = std::make_unique<TdxFadingOptions>();
  object.Options->SetFadeInFrameCount(2);
  object.Options->SetFadeInFrameDelay(35);
  Fader()->FadeIn(&object);
  TdxFadingElement* element = Fader()->Find(&object);
  EXPECT_EQ(element->AnimationFrameCount(), 2);
  EXPECT_EQ(element->AnimationFrameDelay(), 35);
  EXPECT_EQ(element->DelayCount(), 3);
  gTick = 0;
  object.Frames.clear();
  EXPECT_EQ(RunTicks(&object), 9);
  EXPECT_EQ(object.Ticks(), (std::vector<int>{3, 6, 9}));
  EXPECT_EQ(object.Blues(), (std::vector<int>{128, 255, -1}));
}

TEST(FadingOptions, SettersClampAndOnlyChangedValuesAreStored) {
  struct TCase {
    void (TdxFadingOptions::*Set)(int);
    int (TdxFadingOptions::*Get)() const noexcept;
    bool (TdxFadingOptions::*Stored)() const noexcept;
    int Default, Low, High;
  };
  const TCase cases[] = {
      {&TdxFadingOptions::SetFadeInFrameCount, &TdxFadingOptions::FadeInFrameCount,
       &TdxFadingOptions::IsFadeInFrameCountStored, 4, 0, 32},
      {&TdxFadingOptions::SetFadeInFrameDelay, &TdxFadingOptions::FadeInFrameDelay,
       &TdxFadingOptions::IsFadeInFrameDelayStored, 15, 10, 300},
      {&TdxFadingOptions::SetFadeOutFrameCount, &TdxFadingOptions::FadeOutFrameCount,
       &TdxFadingOptions::IsFadeOutFrameCountStored, 12, 0, 32},
      {&TdxFadingOptions::SetFadeOutFrameDelay, &TdxFadingOptions::FadeOutFrameDelay,
       &TdxFadingOptions::IsFadeOutFrameDelayStored, 20, 10, 300},
  };
  for (const TCase& c : cases) {
    TdxFadingOptions options;
    EXPECT_EQ((options.*c.Get)(), c.Default);
    EXPECT_FALSE((options.*c.Stored)());
    (options.*c.Set)(c.Low - 1);
    EXPECT_EQ((options.*c.Get)(), c.Low);
    EXPECT_TRUE((options.*c.Stored)());
    (options.*c.Set)(c.High + 1);
    EXPECT_EQ((options.*c.Get)(), c.High);
    (options.*c.Set)(c.Default);
    EXPECT_FALSE((options.*c.Stored)());

    (options.*c.Set)(c.High);
    TdxFadingOptions copy;
    copy.Assign(options);
    EXPECT_EQ((copy.*c.Get)(), c.High);
  }
}

TEST(FadingHelper, CorrectAlphaChannelMakesPixelsWithoutAlphaOpaqueExceptBlack) {
  struct TCase {
    RGBQUAD In, Out;
  };
  const TCase cases[] = {
      {{0, 0, 0, 0}, {0, 0, 0, 0}},   {{1, 0, 0, 0}, {1, 0, 0, 255}},
      {{0, 0, 9, 0}, {0, 0, 9, 255}}, {{0, 0, 0, 5}, {0, 0, 0, 5}},
      {{9, 9, 9, 7}, {9, 9, 9, 7}},   {{255, 255, 255, 0}, {255, 255, 255, 255}},
  };
  TdxFadingPixels pixels;
  for (const TCase& c : cases)
    pixels.push_back(c.In);
  auto bitmap = MakeImage({static_cast<int>(pixels.size()), 1}, pixels);
  TdxFadingHelper::CorrectAlphaChannel(pixels);
  TdxFadingHelper::CorrectAlphaChannel(*bitmap);
  const TdxFadingPixels corrected = TdxFadingHelper::GetBitmapPixels(*bitmap);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_TRUE(Same(pixels[i], cases[i].Out)) << i;
    EXPECT_TRUE(Same(corrected[i], cases[i].Out)) << i;
  }
}

// The colour at (x, y) of a 32-bit bitmap as blue, green, red.
RGBQUAD ColourAt(TcxBitmap32& ABitmap, int x, int y) {
  GdiFlush();
  RGBQUAD p = reinterpret_cast<RGBQUAD*>(ABitmap.Bits())[y * ABitmap.Width() + x];
  p.rgbReserved = 0;
  return p;
}

void FillWhite(TcxBitmap32& ABitmap) {
  auto* bits = reinterpret_cast<RGBQUAD*>(ABitmap.Bits());
  std::fill(bits, bits + ABitmap.Width() * ABitmap.Height(), RGBQUAD{255, 255, 255, 0});
}

TEST_F(Fading, DrawFadeImageBlendsTheCurrentFrameStretchedOverTheContext) {
  TFadingObject& object = NewObject();
  // Transparent black, opaque red, red at half alpha.
  object.NormalPixels = object.HotPixels = {{0, 0, 0, 0}, {0, 0, 255, 255}, {0, 0, 255, 128}};
  TcxBitmap32 target(6, 2);
  const RECT bounds{0, 0, 6, 2};

  for (bool throughCanvas : {false, true}) {
    SCOPED_TRACE(throughCanvas ? "canvas" : "device context");
    auto draw = [&] {
      return throughCanvas ? Fader()->DrawFadeImage(&object, target.cxCanvas(), bounds)
                           : Fader()->DrawFadeImage(&object, target.Canvas().Handle(), bounds);
    };
    FillWhite(target);
    EXPECT_FALSE(draw()) << "no fade: nothing drawn";
    EXPECT_TRUE(Same(ColourAt(target, 3, 1), {255, 255, 255, 0}));

    Fader()->FadeIn(&object);
    FillWhite(target);
    ASSERT_TRUE(draw());
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x) {
        EXPECT_TRUE(Same(ColourAt(target, x, y), {255, 255, 255, 0})) << x << "," << y;
        EXPECT_TRUE(Same(ColourAt(target, x + 2, y), {0, 0, 255, 0})) << x << "," << y;
        const RGBQUAD half = ColourAt(target, x + 4, y);
        EXPECT_NEAR(half.rgbBlue, 127, 1);
        EXPECT_NEAR(half.rgbGreen, 127, 1);
        EXPECT_EQ(half.rgbRed, 255);
      }
    Fader()->Clear();
  }
}

TEST_F(Fading, HelperFollowsTheButtonStateRule) {
  enum TOutcome { Nothing, In, Out, Stop };
  struct TCase {
    TcxButtonState Prev, State;
    TOutcome Outcome;
  };
  const TCase cases[] = {
      {cxbsNormal, cxbsNormal, Nothing}, {cxbsHot, cxbsHot, Nothing},
      {cxbsNormal, cxbsHot, In},         {cxbsDefault, cxbsHot, In},
      {cxbsHot, cxbsNormal, Out},        {cxbsHot, cxbsDefault, Out},
      {cxbsHot, cxbsPressed, Stop},      {cxbsPressed, cxbsHot, Stop},
      {cxbsNormal, cxbsDisabled, Stop},  {cxbsDisabled, cxbsNormal, Stop},
      {cxbsNormal, cxbsDefault, Stop},   {cxbsPressed, cxbsNormal, Stop},
  };
  struct THelper : TdxFadingObjectHelper {
    bool CanFade() override { return true; }
    void DrawFadeImage() override { ++Repaints; }
    void GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                         std::unique_ptr<TcxBitmap32>& AFadeInImage) override {
      AFadeOutImage = MakeImage({2, 2}, {kProbeNormal});
      AFadeInImage = MakeImage({2, 2}, {kProbeHot});
    }
    int Repaints = 0;
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.Prev) << " -> " << int(c.State));
    THelper helper;
    helper.FadeIn();
    RunTicks(&helper, 1);
    ASSERT_TRUE(helper.Active());
    helper.CheckStartFading(c.Prev, c.State);
    TdxFadingElement* element = Fader()->Find(&helper);
    switch (c.Outcome) {
    case Nothing:
      ASSERT_NE(element, nullptr);
      EXPECT_EQ(element->Stage(), 1);
      break;
    case In:
    case Out:
      ASSERT_NE(element, nullptr);
      EXPECT_EQ(element->Stage(), 0);
      EXPECT_EQ(element->AnimationFrameCount(), c.Outcome == In ? 4 : 12);
      break;
    case Stop:
      EXPECT_EQ(element, nullptr);
      EXPECT_FALSE(helper.Active());
      break;
    }
  }
  // A helper destroyed during its fade is dropped without being told.
  int repaints = 0;
  {
    THelper helper;
    helper.FadeIn();
    EXPECT_EQ(Fader()->Count(), 1);
    TcxBitmap32 target(2, 2);
    EXPECT_TRUE(helper.DrawImage(target.Canvas().Handle(), RECT{0, 0, 2, 2}));
    repaints = helper.Repaints;
  }
  EXPECT_EQ(repaints, 1);
  EXPECT_EQ(Fader()->Count(), 0);
  EXPECT_FALSE(Fader()->Timer().Enabled());
}

// A window that paints the object's look through the fader, on the real clock.
struct TFadedWindow {
  static constexpr int kWidth = 30, kHeight = 10;

  struct TPaint {
    bool Faded;
    int Blue;
  };

  TFadedWindow() {
    static const wchar_t* const kClass = L"TFadedWindowTest";
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    Window.Reset(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, kClass, L"",
                                 WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, wc.hInstance,
                                 nullptr));
    SetWindowLongPtrW(Window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(Window.Get(), SW_SHOWNOACTIVATE);
    UpdateWindow(Window.Get());
  }

  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<TFadedWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (msg != WM_PAINT || self == nullptr)
      return DefWindowProcW(h, msg, w, l);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    const RECT client{0, 0, kWidth, kHeight};
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const bool faded = dxFader()->DrawFadeImage(&self->Object, dc, client);
    if (!faded) {
      TGdiObject brush(CreateSolidBrush(self->Hot ? RGB(0, 0, 255) : RGB(0, 0, 0)));
      FillRect(dc, &client, static_cast<HBRUSH>(brush.Get()));
    }
    self->Paints.push_back({faded, GetBValue(GetPixel(dc, 2, 2))});
    EndPaint(h, &ps);
    return 0;
  }

  TFadingObject Object;
  bool Hot = false;
  std::vector<TPaint> Paints;
  TWindowHandle Window;
};

TEST_F(Fading, AWindowRepaintsEachFrameOnTheAnimationClockAndEndsInItsNewLook) {
  TFadedWindow window;
  HWND handle = window.Window.Get();
  window.Object.OnDrawFadeImage = [handle] { InvalidateRect(handle, nullptr, FALSE); };
  ASSERT_TRUE(PumpUntil([&] { return !window.Paints.empty(); }));
  window.Paints.clear();

  window.Hot = true;
  Fader()->FadeIn(&window.Object);
  ASSERT_TRUE(PumpUntil([&] { return !Fader()->Contains(&window.Object); }));
  ASSERT_TRUE(PumpUntil([&] { return !window.Paints.empty() && !window.Paints.back().Faded; }));

  EXPECT_EQ(window.Object.Blues(), (std::vector<int>{0, 64, 128, 191, 255, -1}));
  EXPECT_FALSE(Fader()->Timer().Enabled());
  // Paints may merge frames, but each shows one of them, in order.
  int last = -1;
  for (const TFadedWindow::TPaint& paint : window.Paints) {
    if (!paint.Faded)
      continue;
    EXPECT_NE(std::find(kFadeInWeights.begin(), kFadeInWeights.end(), paint.Blue),
              kFadeInWeights.end())
        << paint.Blue;
    EXPECT_GE(paint.Blue, last);
    last = paint.Blue;
  }
  EXPECT_EQ(window.Paints.back().Blue, 255);
}

} // namespace
} // namespace telvora
