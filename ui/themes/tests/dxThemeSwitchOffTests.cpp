// Turning the visual styles off while the program runs: the theme-active
// flag follows IsThemeActive at the next theme change, and not before.
// EnableTheming(FALSE) turns them off for this process until it ends, so this
// runs in a program of its own; the registry value it writes for the user is
// put back at once.

#include "ui/themes/dxThemeManager.h"

#include "tests/support/ThemeSwitch.h"

#include <gtest/gtest.h>

#include <string>

namespace telvora {
namespace {

TEST(ThemeSwitchOff, ActiveFlagFollowsIsThemeActiveAtTheNextThemeChange) {
  ASSERT_TRUE(IsGlobalThemeActive());
  ASSERT_TRUE(AreVisualStylesAvailable(totButton));

  int notified = 0;
  TdxThemeChangedNotificator notificator;
  notificator.SetOnThemeChanged([&notified] { ++notified; });
  ASSERT_TRUE(testing::SwitchThemesOffForThisProcess());
  ASSERT_FALSE(IsThemeActive());
  // Nothing has reached the theme-change window yet: the flag is as it was.
  EXPECT_TRUE(IsGlobalThemeActive());
  EXPECT_EQ(notified, 0);

  SendMessageW(dxThemeChangedEventReceiver()->WindowHandle(), WM_THEMECHANGED, 0, 0);
  EXPECT_FALSE(IsGlobalThemeActive());
  EXPECT_GE(notified, 1);
  EXPECT_FALSE(AreVisualStylesAvailable());
  EXPECT_FALSE(AreVisualStylesAvailable(totButton));
  EXPECT_EQ(OpenTheme(totButton), 0u);
  EXPECT_EQ(dxThemeDataManager()->Count(), 0);
}

} // namespace
} // namespace telvora
