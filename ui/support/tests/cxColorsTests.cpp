// The colour helpers, with the system colours they mix set for the test.

#include "ui/support/cxColors.h"

#include "tests/support/SysColors.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace telvora {
namespace {

using testing::TSysColors;

TEST(cxColors, GetLightColor) {
  {
    TSysColors colors{{COLOR_BTNFACE, RGB(255, 255, 255)}, {COLOR_HIGHLIGHT, RGB(10, 20, 30)}};
    EXPECT_EQ(GetLightColor(-2, 30, 72), static_cast<TColor>(RGB(10, 20, 30)));
  }
  {
    // A black highlight does not count.
    TSysColors colors{{COLOR_BTNFACE, RGB(255, 255, 255)},
                      {COLOR_HIGHLIGHT, RGB(0, 0, 0)},
                      {COLOR_WINDOW, RGB(100, 100, 100)}};
    EXPECT_EQ(GetLightColor(0, 0, 50), static_cast<TColor>(RGB(50, 50, 50)));
  }
  {
    TSysColors colors{{COLOR_BTNFACE, RGB(200, 100, 51)},
                      {COLOR_HIGHLIGHT, RGB(10, 20, 30)},
                      {COLOR_WINDOW, RGB(255, 255, 255)}};
    // Red: MulDiv(200,-2,100) + MulDiv(10,30,100) + MulDiv(255,72,100) = -4 + 3 + 184.
    // Blue: MulDiv(51,-2,100) = -1 (rounded away from zero) + 9 + 184.
    EXPECT_EQ(GetLightColor(-2, 30, 72), static_cast<TColor>(RGB(183, 188, 192)));
    // The signed 8-bit parts: 254 is -2 and 241 is -15.
    EXPECT_EQ(GetLightColor(static_cast<std::int8_t>(254), 30, 72), GetLightColor(-2, 30, 72));
    // Limited to 0..255.
    EXPECT_EQ(GetLightColor(100, 100, 100), static_cast<TColor>(RGB(255, 255, 255)));
    EXPECT_EQ(GetLightColor(static_cast<std::int8_t>(241), 0, 0),
              static_cast<TColor>(RGB(0, 0, 0)));
    EXPECT_EQ(GetLightSelColor(), dxGetNearestColor(GetLightColor(-2, 30, 72)));
    EXPECT_EQ(GetLightDownedSelColor(), dxGetNearestColor(GetLightColor(14, 44, 40)));
  }
}

TEST(cxColors, ActualColorAndMiddle) {
  EXPECT_EQ(cxGetActualColor(clDefault, clBtnText), clBtnText);
  EXPECT_EQ(cxGetActualColor(clRed, clBtnText), clRed);
  EXPECT_EQ(cxGetActualColor(clNone, clBtnText), clNone);
  // 30 % of the first colour, 70 % of the second, per channel.
  EXPECT_EQ(dxGetMiddleRGB(RGB(100, 0, 255), RGB(0, 200, 55), 30),
            static_cast<TColor>(RGB(30, 140, 116)));
  EXPECT_EQ(dxGetMiddleRGB(clWhite, clWhite, 50), clWhite);
}

} // namespace
} // namespace telvora
