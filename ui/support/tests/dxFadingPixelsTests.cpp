// The pixel routines that compute fade frames: every routine this processor
// and build can run gives the exact bytes at every length and start, with
// either output or both, writes nothing beyond the end, and works when
// entered with the stack aligned as Windows may leave it.

#include "ui/support/dxFadingPixels.h"

#include "ui/support/dxFading.h"
#include "ui/support/tests/FadingPixelsTestSupport.h"

#include "tests/support/StackEntry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace telvora {
namespace {

using namespace fading_tests;

// The routines work in blocks of four and eight pixels: every length and
// start, each output alone and both, against the exact formulas, and no
// byte written beyond the end.
TEST(FadingPixels, EveryRoutineGivesTheExactBytesAtEveryLengthAndStart) {
  constexpr size_t kMax = 40, kGuard = 8;
  // Runs of opaque pixels (which the routines may copy a block at a time)
  // between pixels of other alphas.
  TdxFadingPixels image1, image2;
  for (size_t i = 0; i < kMax + 4; ++i) {
    const bool opaque = i % 13 < 9;
    image1.push_back({static_cast<BYTE>(i * 37), static_cast<BYTE>(255 - i * 11),
                      static_cast<BYTE>(i * 5 + 3),
                      opaque ? BYTE{255} : static_cast<BYTE>(i * 29)});
    image2.push_back({static_cast<BYTE>(i * 13 + 200), static_cast<BYTE>(i * 7),
                      static_cast<BYTE>(255 - i),
                      opaque ? BYTE{255} : static_cast<BYTE>(255 - i * 17)});
  }
  constexpr RGBQUAD kUntouched{0xA5, 0x5A, 0xC3, 0x3C};
  TRoutineGuard guard;
  for (TdxFadingPixelRoutine routine : AvailableRoutines()) {
    SCOPED_TRACE(RoutineName(routine));
    ASSERT_TRUE(TdxFadingHelper::SetPixelRoutine(routine));
    EXPECT_EQ(TdxFadingHelper::PixelRoutine(), routine);
    int wrong = 0;
    for (size_t start = 0; start < 4; ++start)
      for (size_t count = 0; count <= kMax; ++count)
        for (int alpha : {0, 1, 64, 128, 200, 254, 255})
          for (int outputs : {1, 2, 3}) {
            TdxFadingPixels straight(count + kGuard, kUntouched);
            TdxFadingPixels premultiplied(count + kGuard, kUntouched);
            TdxFadingHelper::BlendPixels(image1.data() + start, image2.data() + start, count, alpha,
                                         outputs & 1 ? straight.data() : nullptr,
                                         outputs & 2 ? premultiplied.data() : nullptr);
            for (size_t i = 0; i < count + kGuard; ++i) {
              const RGBQUAD& a = image1[start + i];
              const RGBQUAD& b = image2[start + i];
              const RGBQUAD blend{ExactBlend(a.rgbBlue, b.rgbBlue, alpha),
                                  ExactBlend(a.rgbGreen, b.rgbGreen, alpha),
                                  ExactBlend(a.rgbRed, b.rgbRed, alpha),
                                  ExactBlend(a.rgbReserved, b.rgbReserved, alpha)};
              const bool inside = i < count;
              wrong += !Same(straight[i], inside && (outputs & 1) ? blend : kUntouched);
              wrong += !Same(premultiplied[i],
                             inside && (outputs & 2) ? ExactPremultiplied(blend) : kUntouched);
            }
          }
    EXPECT_EQ(wrong, 0);

    wrong = 0;
    for (size_t start = 0; start < 4; ++start)
      for (size_t count = 0; count <= kMax; ++count) {
        TdxFadingPixels target(count + kGuard, kUntouched);
        TdxFadingHelper::PremultiplyPixels(image1.data() + start, count, target.data());
        for (size_t i = 0; i < count + kGuard; ++i)
          wrong += !Same(target[i], i < count ? ExactPremultiplied(image1[start + i]) : kUntouched);
      }
    EXPECT_EQ(wrong, 0) << "premultiplied";
  }
  // A value that names no routine.
  EXPECT_FALSE(TdxFadingHelper::SetPixelRoutine(static_cast<TdxFadingPixelRoutine>(3)));
}

// Windows calls into a 32-bit program with the stack aligned to 4 bytes. The
// routines, and any local that asks for 16-byte alignment, must work when
// entered so: each routine gives the plain routine's bytes from every
// entry alignment.
TEST(FadingPixels, EveryRoutineWorksWhenEnteredWithTheStackAlignedToFourBytesOnly) {
  if (sizeof(void*) != 4)
    GTEST_SKIP() << "64-bit Windows keeps the stack aligned to 16 bytes";
  TdxFadingPixels image1, image2;
  for (size_t i = 0; i < 203; ++i) {
    image1.push_back({static_cast<BYTE>(i * 37), static_cast<BYTE>(255 - i), static_cast<BYTE>(i),
                      static_cast<BYTE>(i % 7 == 0 ? i : 255)});
    image2.push_back({static_cast<BYTE>(i * 13), static_cast<BYTE>(i * 7),
                      static_cast<BYTE>(200 - i), static_cast<BYTE>(255 - i)});
  }
  const auto blend = [&](TdxFadingPixelRoutine ARoutine) {
    TdxFadingPixels straight(image1.size()), premultiplied(image1.size());
    if (TdxFadingHelper::SetPixelRoutine(ARoutine))
      TdxFadingHelper::BlendPixels(image1.data(), image2.data(), image1.size(), 77, straight.data(),
                                   premultiplied.data());
    straight.insert(straight.end(), premultiplied.begin(), premultiplied.end());
    return straight;
  };
  TRoutineGuard guard;
  const TdxFadingPixels expected = blend(fprPlain);
  for (unsigned offset : {0u, 4u, 8u, 12u}) {
    SCOPED_TRACE("stack pointer at 16n + " + std::to_string(offset));
    bool aligned = false;
    std::vector<TdxFadingPixels> results;
    ASSERT_TRUE(testing::RunEnteredWithStackAt(offset, [&] {
      alignas(16) volatile unsigned char local[16] = {};
      aligned = testing::AlignedTo16(local);
      for (TdxFadingPixelRoutine routine : AvailableRoutines())
        results.push_back(blend(routine));
    }));
    EXPECT_TRUE(aligned) << "a local aligned to 16 bytes";
    ASSERT_EQ(results.size(), AvailableRoutines().size());
    for (size_t i = 0; i < results.size(); ++i)
      EXPECT_TRUE(
          std::equal(results[i].begin(), results[i].end(), expected.begin(), expected.end(), Same))
          << RoutineName(AvailableRoutines()[i]);
  }
}

} // namespace
} // namespace telvora
