// The Office 11 colour set and its place in the system colour notification,
// under Wine. New Wine prefixes have an active theme ("light.msstyles" with
// the colour scheme "Blue") whose scheme name is none of the Luna ones, so
// the running program derives the set from the system colours; the fixed
// table is reached by naming a scheme.

#include "ui/lookandfeel/dxOffice11.h"

#include "platform/Handles.h"
#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/support/cxGraphics.h"
#include "ui/themes/dxThemeManager.h"

#include "tests/support/SysColors.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace telvora {
namespace {

TColor Rgb(int r, int g, int b) {
  return static_cast<TColor>(RGB(r, g, b));
}

TColor Sys(int index) {
  return static_cast<TColor>(GetSysColor(index));
}

TdxOffice11ButtonColors CurrentSet() {
  return {dxOffice11DockColor1,         dxOffice11SelectedBorderColor, dxOffice11SelectedColor1,
          dxOffice11SelectedDownColor1, dxOffice11TextEnabledColor,    dxOffice11TextDisabledColor};
}

// What the set is when derived from the current system colours, by the
// canvas unit's colour helpers.
TdxOffice11ButtonColors DerivedSet() {
  return {Sys(COLOR_BTNFACE),       Sys(COLOR_HIGHLIGHT), GetLightSelColor(),
          GetLightDownedSelColor(), Sys(COLOR_BTNTEXT),   Sys(COLOR_GRAYTEXT)};
}

void ExpectSet(const TdxOffice11ButtonColors& actual, const TdxOffice11ButtonColors& expected) {
  EXPECT_EQ(actual.DockColor1, expected.DockColor1);
  EXPECT_EQ(actual.SelectedBorderColor, expected.SelectedBorderColor);
  EXPECT_EQ(actual.SelectedColor1, expected.SelectedColor1);
  EXPECT_EQ(actual.SelectedDownColor1, expected.SelectedDownColor1);
  EXPECT_EQ(actual.TextEnabledColor, expected.TextEnabledColor);
  EXPECT_EQ(actual.TextDisabledColor, expected.TextDisabledColor);
}

// Computes the set again from the theme and system colours when the scope
// ends.
class TOffice11ColorsRestorer {
public:
  TOffice11ColorsRestorer() = default;
  TOffice11ColorsRestorer(const TOffice11ColorsRestorer&) = delete;
  TOffice11ColorsRestorer& operator=(const TOffice11ColorsRestorer&) = delete;
  ~TOffice11ColorsRestorer() { InitOffice11Colors(); }
};

using testing::TSysColors;

int BrushColor(HBRUSH brush) {
  LOGBRUSH lb{};
  if (GetObjectW(brush, sizeof(lb), &lb) != sizeof(lb))
    return -1;
  return static_cast<int>(lb.lbColor);
}

// ---------------------------------------------------------------- scheme

TEST(dxOffice11Scheme, FromTheThemeFileColourSchemeAndSystemVersion) {
  struct TCase {
    const wchar_t* File;
    const wchar_t* Color;
    unsigned Major;
    TOffice11Scheme Expected;
  };
  const TCase cases[] = {
      {L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", 5, schNormalColor},
      {L"luna.msstyles", L"homestead", 5, schHomestead},
      {L"C:/Themes/LUNA.MSSTYLES", L"METALLIC", 5, schMetallic},
      // Before Vista only Luna names a scheme.
      {L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", L"NormalColor", 5, schUnknown},
      {L"C:\\Themes\\NotLuna.msstyles", L"NormalColor", 5, schUnknown},
      // From Vista on any theme does, by its colour-scheme name.
      {L"C:\\Windows\\Resources\\Themes\\Aero\\Aero.msstyles", L"NormalColor", 6, schNormalColor},
      {L"aero.msstyles", L"Metallic", 10, schMetallic},
      {L"luna.msstyles", L"Blue", 5, schUnknown},
      {L"C:\\windows\\resources\\themes\\light\\light.msstyles", L"Blue", 10, schUnknown},
      {L"luna.msstyles", L"", 6, schUnknown},
      {L"luna.msstyles", L"NormalColorX", 6, schUnknown},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "file " << ToUtf8(c.File) << ", colour " << ToUtf8(c.Color)
                                      << ", version " << c.Major);
    EXPECT_EQ(dxOffice11SchemeFromThemeName(c.File, c.Color, c.Major), c.Expected);
  }
}

TEST(dxOffice11Scheme, WinesThemeNamesNoLunaSchemeAndTheSetIsDerived) {
  ASSERT_TRUE(AreVisualStylesAvailable());
  wchar_t file[MAX_PATH] = {};
  wchar_t color[MAX_PATH] = {};
  ASSERT_EQ(GetCurrentThemeName(file, MAX_PATH, color, MAX_PATH, nullptr, 0), S_OK);
  SCOPED_TRACE(::testing::Message() << "theme " << ToUtf8(file) << ", colour " << ToUtf8(color));
  EXPECT_EQ(dxGetOffice11Scheme(), schUnknown);

  RefreshOffice11Colors();
  EXPECT_EQ(GetOffice11Scheme(), schUnknown);
  EXPECT_FALSE(IsXPStandardScheme());
  ExpectSet(CurrentSet(), DerivedSet());
}

// ---------------------------------------------------------------- colours

TEST(dxOffice11Colors, AKnownSchemeTakesTheFixedButtonColours) {
  TOffice11ColorsRestorer restore;
  struct TCase {
    TOffice11Scheme Scheme;
    TdxOffice11ButtonColors Colors;
  };
  const TCase cases[] = {
      {schNormalColor,
       {Rgb(158, 190, 245), Rgb(0, 0, 128), Rgb(255, 244, 204), Rgb(255, 211, 142), Rgb(0, 0, 0),
        Rgb(141, 141, 141)}},
      {schHomestead,
       {Rgb(217, 217, 167), Rgb(63, 93, 56), Rgb(255, 244, 204), Rgb(255, 211, 142), Rgb(0, 0, 0),
        Rgb(141, 141, 141)}},
      {schMetallic,
       {Rgb(215, 215, 229), Rgb(75, 75, 111), Rgb(255, 244, 204), Rgb(255, 211, 142), Rgb(0, 0, 0),
        Rgb(141, 141, 141)}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Scheme));
    InitOffice11Colors(c.Scheme, true);
    EXPECT_EQ(GetOffice11Scheme(), c.Scheme);
    EXPECT_TRUE(IsXPStandardScheme());
    ExpectSet(CurrentSet(), c.Colors);
    ExpectSet(Office11Colors(c.Scheme), c.Colors);
  }
  // Without visual styles a scheme name counts for nothing.
  InitOffice11Colors(schMetallic, false);
  EXPECT_FALSE(IsXPStandardScheme());
  ExpectSet(CurrentSet(), DerivedSet());
  InitOffice11Colors(schUnknown, true);
  EXPECT_FALSE(IsXPStandardScheme());
  ExpectSet(CurrentSet(), DerivedSet());
}

TEST(dxOffice11Colors, TheDerivationFollowsChangedSystemColours) {
  TOffice11ColorsRestorer restore;
  TSysColors colors{{COLOR_BTNFACE, RGB(200, 100, 51)},
                    {COLOR_HIGHLIGHT, RGB(10, 20, 30)},
                    {COLOR_WINDOW, RGB(255, 255, 255)},
                    {COLOR_BTNTEXT, RGB(1, 2, 3)},
                    {COLOR_GRAYTEXT, RGB(90, 91, 92)}};
  InitOffice11Colors(schUnknown, true);
  // GetLightColor(-2, 30, 72) and (14, 44, 40) of these colours, worked by
  // hand; the screen has 32 bits, so the nearest colour is the colour.
  ExpectSet(CurrentSet(), {Rgb(200, 100, 51), Rgb(10, 20, 30), Rgb(183, 188, 192),
                           Rgb(134, 125, 122), Rgb(1, 2, 3), Rgb(90, 91, 92)});
}

TEST(dxOffice11Colors, CreateReleaseAndRefreshShareOneCounter) {
  TOffice11ColorsRestorer restore;
  const int held = Office11ColorsRefCount();
  ASSERT_GE(held, 1); // the colour notification's reference
  ASSERT_NE(dxOffice11DockBrush(), nullptr);
  const int objects = TGdiObject::LiveCount();
  const TColor sentinel = Rgb(1, 2, 3);

  // Down to no reference: the brushes go, the colours stay.
  for (int i = 0; i < held; ++i)
    ReleaseOffice11Colors();
  struct TReferencesBack {
    int Count;
    ~TReferencesBack() {
      while (Office11ColorsRefCount() < Count)
        CreateOffice11Colors();
    }
  } back{held};
  EXPECT_EQ(Office11ColorsRefCount(), 0);
  EXPECT_EQ(TGdiObject::LiveCount(), objects - 4);
  EXPECT_EQ(dxOffice11DockBrush(), nullptr);
  EXPECT_EQ(dxOffice11SelectedBrush(), nullptr);
  EXPECT_EQ(dxOffice11SelectedDownBrush(), nullptr);
  EXPECT_EQ(dxOffice11SelectedBorderBrush(), nullptr);
  ExpectSet(CurrentSet(), DerivedSet());
  // A release more changes nothing.
  ReleaseOffice11Colors();
  EXPECT_EQ(Office11ColorsRefCount(), 0);

  // Refresh without references: the colours are computed, no brush is made.
  dxOffice11DockColor1 = sentinel;
  RefreshOffice11Colors();
  EXPECT_EQ(dxOffice11DockColor1, Sys(COLOR_BTNFACE));
  EXPECT_EQ(TGdiObject::LiveCount(), objects - 4);

  // The first reference computes the colours and makes the brushes.
  dxOffice11DockColor1 = sentinel;
  CreateOffice11Colors();
  EXPECT_EQ(Office11ColorsRefCount(), 1);
  EXPECT_EQ(dxOffice11DockColor1, Sys(COLOR_BTNFACE));
  EXPECT_EQ(TGdiObject::LiveCount(), objects);
  EXPECT_EQ(BrushColor(dxOffice11DockBrush()), static_cast<int>(ColorToRGB(dxOffice11DockColor1)));
  EXPECT_EQ(BrushColor(dxOffice11SelectedBrush()), static_cast<int>(dxOffice11SelectedColor1));
  EXPECT_EQ(BrushColor(dxOffice11SelectedDownBrush()),
            static_cast<int>(dxOffice11SelectedDownColor1));
  EXPECT_EQ(BrushColor(dxOffice11SelectedBorderBrush()),
            static_cast<int>(dxOffice11SelectedBorderColor));

  // A further reference computes nothing.
  dxOffice11DockColor1 = sentinel;
  CreateOffice11Colors();
  EXPECT_EQ(Office11ColorsRefCount(), 2);
  EXPECT_EQ(dxOffice11DockColor1, sentinel);
  EXPECT_EQ(TGdiObject::LiveCount(), objects);

  // Refresh while referenced: new colours and brushes of the new colours.
  RefreshOffice11Colors();
  EXPECT_EQ(dxOffice11DockColor1, Sys(COLOR_BTNFACE));
  EXPECT_EQ(BrushColor(dxOffice11DockBrush()), static_cast<int>(ColorToRGB(dxOffice11DockColor1)));
  EXPECT_EQ(TGdiObject::LiveCount(), objects);
  EXPECT_EQ(Office11ColorsRefCount(), 2);

  ReleaseOffice11Colors();
  EXPECT_NE(dxOffice11DockBrush(), nullptr);
  ReleaseOffice11Colors();
  EXPECT_EQ(dxOffice11DockBrush(), nullptr);
  EXPECT_EQ(TGdiObject::LiveCount(), objects - 4);
}

// ---------------------------------------------------------------- notification

TEST(cxSystemPaletteListener, HoldsTheOffice11ColoursWhileItLives) {
  const int held = Office11ColorsRefCount();
  HWND window = nullptr;
  {
    TcxSystemPaletteChangedListener listener;
    EXPECT_EQ(Office11ColorsRefCount(), held + 1);
    window = listener.WindowHandle();
    ASSERT_TRUE(IsWindow(window));
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, L"TPUtilWindow");
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & WS_POPUP, 0);
    EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_FALSE(IsWindowVisible(window));
  }
  EXPECT_EQ(Office11ColorsRefCount(), held);
  EXPECT_FALSE(IsWindow(window));
}

TEST(cxSystemPaletteListener, AColourChangeRefreshesTheOffice11ColoursBeforeAnyNotifier) {
  TOffice11ColorsRestorer restore;
  const TColor face = Rgb(200, 100, 51);
  ASSERT_NE(Sys(COLOR_BTNFACE), face);

  // Each notifier records its name and whether the set was already fresh.
  std::vector<std::wstring> calls;
  auto make = [&](bool primary, const wchar_t* name) {
    auto n = std::make_unique<TcxSystemPaletteChangedNotifier>(primary);
    n->OnSystemPaletteChanged = [&calls, name] {
      bool fresh = dxOffice11DockColor1 == Sys(COLOR_BTNFACE) &&
                   dxOffice11SelectedColor1 == GetLightSelColor();
      calls.push_back(std::wstring(name) + (fresh ? L"" : L" (stale)"));
    };
    return n;
  };
  auto o1 = make(false, L"o1");
  auto p1 = make(true, L"p1");
  auto o2 = make(false, L"o2");
  auto p2 = make(true, L"p2");
  {
    // A real change of the system colours, broadcast by the system to every
    // top-level window.
    TSysColors colors{{COLOR_BTNFACE, RGB(200, 100, 51)}, {COLOR_HIGHLIGHT, RGB(10, 20, 30)}};
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"p2", L"p1", L"o2", L"o1"}));
    EXPECT_EQ(dxOffice11DockColor1, face);
    EXPECT_EQ(dxOffice11SelectedBorderColor, Rgb(10, 20, 30));
    calls.clear();
  }
  // Putting the colours back is a change too.
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"p2", L"p1", L"o2", L"o1"}));
  ExpectSet(CurrentSet(), DerivedSet());

  // A broadcast WM_SYSCOLORCHANGE on its own takes the same road.
  calls.clear();
  dxOffice11DockColor1 = face;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"p2", L"p1", L"o2", L"o1"}));
  EXPECT_EQ(dxOffice11DockColor1, Sys(COLOR_BTNFACE));
}

} // namespace
} // namespace telvora
