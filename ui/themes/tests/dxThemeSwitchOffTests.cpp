// Turning the visual styles off while the program runs: the theme-active
// flag follows IsThemeActive at the next theme change, and not before.
// EnableTheming(FALSE) turns them off for this process until it ends, so this
// runs in a program of its own; the registry value it writes for the user is
// put back at once.

#include "ui/themes/dxThemeManager.h"

#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <string>

namespace telvora {
namespace {

constexpr wchar_t kThemeManagerKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";

// The user's "ThemeActive" value, written back when the holder goes.
class TThemeActiveValue {
public:
  TThemeActiveValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kThemeManagerKey, 0, KEY_READ | KEY_WRITE, &key) ==
        ERROR_SUCCESS)
      FKey.Reset(key);
    wchar_t value[16] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    if (FKey &&
        RegQueryValueExW(FKey.Get(), L"ThemeActive", nullptr, &type, reinterpret_cast<BYTE*>(value),
                         &size) == ERROR_SUCCESS &&
        type == REG_SZ)
      FValue = value;
  }
  ~TThemeActiveValue() { Restore(); }
  TThemeActiveValue(const TThemeActiveValue&) = delete;
  TThemeActiveValue& operator=(const TThemeActiveValue&) = delete;
  void Restore() {
    if (FKey && !FValue.empty())
      RegSetValueExW(FKey.Get(), L"ThemeActive", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(FValue.c_str()),
                     static_cast<DWORD>((FValue.size() + 1) * sizeof(wchar_t)));
  }

private:
  TRegKey FKey;
  std::wstring FValue;
};

TEST(ThemeSwitchOff, ActiveFlagFollowsIsThemeActiveAtTheNextThemeChange) {
  ASSERT_TRUE(IsGlobalThemeActive());
  ASSERT_TRUE(AreVisualStylesAvailable(totButton));
  auto enableTheming =
      reinterpret_cast<HRESULT(WINAPI*)(BOOL)>(GetProcAddress(dxThemeLibrary(), "EnableTheming"));
  ASSERT_NE(enableTheming, nullptr);

  int notified = 0;
  TdxThemeChangedNotificator notificator;
  notificator.SetOnThemeChanged([&notified] { ++notified; });
  {
    TThemeActiveValue saved;
    enableTheming(FALSE);
    saved.Restore();
  }
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
