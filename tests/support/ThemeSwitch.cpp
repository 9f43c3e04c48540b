#include "tests/support/ThemeSwitch.h"

#include "platform/Handles.h"

#include <string>

namespace telvora::testing {

namespace {
constexpr wchar_t kThemeManagerKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";

// A string value of the user's ThemeManager key; empty when it has none.
std::wstring ThemeManagerValue(HKEY AKey, const wchar_t* AName) {
  wchar_t value[MAX_PATH + 1] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  DWORD type = 0;
  if (AKey == nullptr ||
      RegQueryValueExW(AKey, AName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return value;
}

// The user's "ThemeActive" value, written back when the holder goes.
class TThemeActiveValue {
public:
  TThemeActiveValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kThemeManagerKey, 0, KEY_READ | KEY_WRITE, &key) ==
        ERROR_SUCCESS)
      FKey.Reset(key);
    FValue = ThemeManagerValue(FKey.Get(), L"ThemeActive");
  }
  TThemeActiveValue(const TThemeActiveValue&) = delete;
  TThemeActiveValue& operator=(const TThemeActiveValue&) = delete;
  ~TThemeActiveValue() {
    if (FKey && !FValue.empty())
      RegSetValueExW(FKey.Get(), L"ThemeActive", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(FValue.c_str()),
                     static_cast<DWORD>((FValue.size() + 1) * sizeof(wchar_t)));
  }
  HKEY Key() const noexcept { return FKey.Get(); }

private:
  TRegKey FKey;
  std::wstring FValue;
};

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

using TEnableTheming = HRESULT(WINAPI*)(BOOL);
using TOpenThemeFile = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, HANDLE*, DWORD);
using TCloseThemeFile = HRESULT(WINAPI*)(HANDLE);
using TApplyTheme = HRESULT(WINAPI*)(HANDLE, char*, HWND);

// Wine's uxtheme: the user's theme applied again.
bool ApplyUsersThemeUnderWine(HMODULE AUxTheme, HKEY AThemeManagerKey) {
  auto openThemeFile =
      reinterpret_cast<TOpenThemeFile>(GetProcAddress(AUxTheme, MAKEINTRESOURCEA(2)));
  auto closeThemeFile =
      reinterpret_cast<TCloseThemeFile>(GetProcAddress(AUxTheme, MAKEINTRESOURCEA(3)));
  auto applyTheme = reinterpret_cast<TApplyTheme>(GetProcAddress(AUxTheme, MAKEINTRESOURCEA(4)));
  const std::wstring file = ThemeManagerValue(AThemeManagerKey, L"DllName");
  const std::wstring color = ThemeManagerValue(AThemeManagerKey, L"ColorName");
  const std::wstring size = ThemeManagerValue(AThemeManagerKey, L"SizeName");
  if (openThemeFile == nullptr || closeThemeFile == nullptr || applyTheme == nullptr ||
      file.empty())
    return false;
  HANDLE themeFile = nullptr;
  if (FAILED(openThemeFile(file.c_str(), color.empty() ? nullptr : color.c_str(),
                           size.empty() ? nullptr : size.c_str(), &themeFile, 0)) ||
      themeFile == nullptr)
    return false;
  TScopeExit closeFile([&] { closeThemeFile(themeFile); });
  char unused[] = "";
  return SUCCEEDED(applyTheme(themeFile, unused, nullptr));
}
} // namespace

bool SwitchThemesOffForThisProcess() {
  return SwitchThemesForThisProcess(false);
}

bool SwitchThemesForThisProcess(bool AOn) {
  TModule uxtheme(LoadLibraryW(L"uxtheme.dll"));
  if (!uxtheme)
    return false;
  auto enableTheming =
      reinterpret_cast<TEnableTheming>(GetProcAddress(uxtheme.Get(), "EnableTheming"));
  auto isThemeActive =
      reinterpret_cast<BOOL(WINAPI*)()>(GetProcAddress(uxtheme.Get(), "IsThemeActive"));
  if (enableTheming == nullptr || isThemeActive == nullptr)
    return false;
  TThemeActiveValue saved;
  bool done = false;
  if (AOn && RunningUnderWine())
    done = ApplyUsersThemeUnderWine(uxtheme.Get(), saved.Key());
  else
    done = SUCCEEDED(enableTheming(AOn ? TRUE : FALSE));
  return done && (isThemeActive() != FALSE) == AOn;
}

} // namespace telvora::testing
