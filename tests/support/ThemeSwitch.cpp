#include "tests/support/ThemeSwitch.h"

#include "platform/Handles.h"

#include <string>

namespace telvora::testing {

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
  TThemeActiveValue(const TThemeActiveValue&) = delete;
  TThemeActiveValue& operator=(const TThemeActiveValue&) = delete;
  ~TThemeActiveValue() {
    if (FKey && !FValue.empty())
      RegSetValueExW(FKey.Get(), L"ThemeActive", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(FValue.c_str()),
                     static_cast<DWORD>((FValue.size() + 1) * sizeof(wchar_t)));
  }

private:
  TRegKey FKey;
  std::wstring FValue;
};
} // namespace

bool SwitchThemesOffForThisProcess() {
  TModule uxtheme(LoadLibraryW(L"uxtheme.dll"));
  if (!uxtheme)
    return false;
  auto enableTheming =
      reinterpret_cast<HRESULT(WINAPI*)(BOOL)>(GetProcAddress(uxtheme.Get(), "EnableTheming"));
  if (enableTheming == nullptr)
    return false;
  TThemeActiveValue saved;
  enableTheming(FALSE);
  return true;
}

} // namespace telvora::testing
