#include "ui/lookandfeel/dxOffice11.h"

#include "platform/Handles.h"
#include "platform/SysUtils.h"
#include "ui/support/cxGraphics.h"
#include "ui/themes/dxThemeManager.h"
#include "ui/themes/dxUxTheme.h"

#include <string>

namespace telvora {

TColor dxOffice11DockColor1 = clBtnFace;
TColor dxOffice11SelectedColor1 = clBtnFace;
TColor dxOffice11SelectedDownColor1 = clBtnFace;
TColor dxOffice11SelectedBorderColor = clHighlight;
TColor dxOffice11TextEnabledColor = clBtnText;
TColor dxOffice11TextDisabledColor = clGrayText;

namespace {

constexpr TColor RGBColor(int r, int g, int b) noexcept {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

// Indexed by scheme minus one: NormalColor, HomeStead, Metallic.
constexpr TdxOffice11ButtonColors kOffice11Colors[3] = {
    {RGBColor(158, 190, 245), RGBColor(0, 0, 128), RGBColor(255, 244, 204), RGBColor(255, 211, 142),
     RGBColor(0, 0, 0), RGBColor(141, 141, 141)},
    {RGBColor(217, 217, 167), RGBColor(63, 93, 56), RGBColor(255, 244, 204),
     RGBColor(255, 211, 142), RGBColor(0, 0, 0), RGBColor(141, 141, 141)},
    {RGBColor(215, 215, 229), RGBColor(75, 75, 111), RGBColor(255, 244, 204),
     RGBColor(255, 211, 142), RGBColor(0, 0, 0), RGBColor(141, 141, 141)},
};

TOffice11Scheme FOffice11Scheme = schUnknown;
bool FXPStandardScheme = false;
int FOffice11ColorsRefCount = 0;

struct TOffice11Brushes {
  TGdiObject Dock;
  TGdiObject Selected;
  TGdiObject SelectedDown;
  TGdiObject SelectedBorder;
};
TOffice11Brushes FBrushes;

TGdiObject SolidBrush(TColor AColor) {
  return TGdiObject(CreateSolidBrush(ColorToRGB(AColor)));
}

void CreateOffice11Brushes() {
  FBrushes.Dock = SolidBrush(dxOffice11DockColor1);
  FBrushes.Selected = SolidBrush(dxOffice11SelectedColor1);
  FBrushes.SelectedDown = SolidBrush(dxOffice11SelectedDownColor1);
  FBrushes.SelectedBorder = SolidBrush(dxOffice11SelectedBorderColor);
}

void DestroyOffice11Brushes() {
  FBrushes.Dock.Reset();
  FBrushes.Selected.Reset();
  FBrushes.SelectedDown.Reset();
  FBrushes.SelectedBorder.Reset();
}

HBRUSH BrushHandle(const TGdiObject& brush) noexcept {
  return static_cast<HBRUSH>(brush.Get());
}

std::wstring_view ExtractFileName(std::wstring_view APath) noexcept {
  size_t slash = APath.find_last_of(L"\\/:");
  return slash == std::wstring_view::npos ? APath : APath.substr(slash + 1);
}

// The true major version of the system (GetVersionEx answers what the
// manifest lets it).
unsigned SystemMajorVersion() noexcept {
  using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto rtlGetVersion = ntdll != nullptr ? reinterpret_cast<TRtlGetVersion>(reinterpret_cast<void*>(
                                              GetProcAddress(ntdll, "RtlGetVersion")))
                                        : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (rtlGetVersion != nullptr && rtlGetVersion(&info) == 0)
    return info.dwMajorVersion;
  return 0;
}

} // namespace

const TdxOffice11ButtonColors& Office11Colors(TOffice11Scheme AScheme) noexcept {
  int index = AScheme == schUnknown ? 0 : static_cast<int>(AScheme) - 1;
  return kOffice11Colors[index];
}

TOffice11Scheme dxOffice11SchemeFromThemeName(std::wstring_view AThemeFileName,
                                              std::wstring_view AColorSchemeName,
                                              unsigned AMajorVersion) noexcept {
  if (!SameText(ExtractFileName(AThemeFileName), L"luna.msstyles") && AMajorVersion < 6)
    return schUnknown;
  if (SameText(AColorSchemeName, L"NormalColor"))
    return schNormalColor;
  if (SameText(AColorSchemeName, L"HomeStead"))
    return schHomestead;
  if (SameText(AColorSchemeName, L"Metallic"))
    return schMetallic;
  return schUnknown;
}

TOffice11Scheme dxGetOffice11Scheme() {
  if (!AreVisualStylesAvailable())
    return schUnknown;
  wchar_t fileName[MAX_PATH] = {};
  wchar_t colorName[MAX_PATH] = {};
  if (FAILED(GetCurrentThemeName(fileName, MAX_PATH, colorName, MAX_PATH, nullptr, 0)))
    return schUnknown;
  return dxOffice11SchemeFromThemeName(fileName, colorName, SystemMajorVersion());
}

TOffice11Scheme GetOffice11Scheme() noexcept {
  return FOffice11Scheme;
}

bool IsXPStandardScheme() noexcept {
  return FXPStandardScheme;
}

void InitOffice11Colors() {
  TOffice11Scheme scheme = dxGetOffice11Scheme();
  InitOffice11Colors(scheme, AreVisualStylesAvailable());
}

void InitOffice11Colors(TOffice11Scheme AScheme, bool AVisualStylesAvailable) {
  FOffice11Scheme = AScheme;
  FXPStandardScheme = AVisualStylesAvailable && AScheme != schUnknown;
  if (FXPStandardScheme) {
    const TdxOffice11ButtonColors& colors = Office11Colors(AScheme);
    dxOffice11DockColor1 = colors.DockColor1;
    dxOffice11SelectedBorderColor = colors.SelectedBorderColor;
    dxOffice11SelectedColor1 = colors.SelectedColor1;
    dxOffice11SelectedDownColor1 = colors.SelectedDownColor1;
    dxOffice11TextEnabledColor = colors.TextEnabledColor;
    dxOffice11TextDisabledColor = colors.TextDisabledColor;
  } else {
    dxOffice11DockColor1 = static_cast<TColor>(ColorToRGB(clBtnFace));
    dxOffice11SelectedBorderColor = static_cast<TColor>(ColorToRGB(clHighlight));
    dxOffice11SelectedColor1 = dxGetNearestColor(GetLightColor(-2, 30, 72));
    dxOffice11SelectedDownColor1 = dxGetNearestColor(GetLightColor(14, 44, 40));
    dxOffice11TextEnabledColor = static_cast<TColor>(ColorToRGB(clBtnText));
    dxOffice11TextDisabledColor = static_cast<TColor>(ColorToRGB(clGrayText));
  }
}

void CreateOffice11Colors() {
  if (FOffice11ColorsRefCount == 0) {
    InitOffice11Colors();
    CreateOffice11Brushes();
  }
  ++FOffice11ColorsRefCount;
}

void ReleaseOffice11Colors() {
  if (FOffice11ColorsRefCount == 0)
    return;
  if (--FOffice11ColorsRefCount == 0)
    DestroyOffice11Brushes();
}

void RefreshOffice11Colors() {
  InitOffice11Colors();
  if (FOffice11ColorsRefCount != 0) {
    DestroyOffice11Brushes();
    CreateOffice11Brushes();
  }
}

int Office11ColorsRefCount() noexcept {
  return FOffice11ColorsRefCount;
}

HBRUSH dxOffice11DockBrush() noexcept {
  return BrushHandle(FBrushes.Dock);
}

HBRUSH dxOffice11SelectedBrush() noexcept {
  return BrushHandle(FBrushes.Selected);
}

HBRUSH dxOffice11SelectedDownBrush() noexcept {
  return BrushHandle(FBrushes.SelectedDown);
}

HBRUSH dxOffice11SelectedBorderBrush() noexcept {
  return BrushHandle(FBrushes.SelectedBorder);
}

} // namespace telvora
