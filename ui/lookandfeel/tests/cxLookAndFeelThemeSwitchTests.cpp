// A theme switched off or on while the program runs: the system colour
// change that follows makes a look-and-feel choose its painter for the theme
// now in force, whichever of the two hidden windows (the colour
// notification's and the theme-change window) gets the change first, and
// while the WM_THEMECHANGED of the switch still waits in the queue.
// The switch (tests/support/ThemeSwitch.h) acts on this whole process, so
// this runs in a program of its own; the registry value it writes for the
// user is put back at once.

#include "ui/lookandfeel/cxLookAndFeels.h"

#include "tests/support/MessagePump.h"
#include "tests/support/ThemeSwitch.h"
#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"
#include "ui/themes/dxThemeManager.h"
#include "ui/themes/dxUxTheme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace telvora {
namespace {

HWND ColourWindow() {
  return SystemPaletteChangedListener()->WindowHandle();
}

HWND ThemeWindow() {
  return dxThemeChangedEventReceiver()->WindowHandle();
}

void SendColourChange(HWND AWindow) {
  SendMessageW(AWindow, WM_SYSCOLORCHANGE, 0, 0);
}

// How the system colour change reaches the two windows.
struct TDelivery {
  const char* Name;
  void (*Deliver)();
};

const TDelivery kDeliveries[] = {
    {"broadcast",
     [] {
       DWORD_PTR result = 0;
       EXPECT_NE(SendMessageTimeoutW(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0, SMTO_ABORTIFHUNG,
                                     5000, &result),
                 0);
     }},
    {"colour window first",
     [] {
       SendColourChange(ColourWindow());
       SendColourChange(ThemeWindow());
     }},
    {"theme window first",
     [] {
       SendColourChange(ThemeWindow());
       SendColourChange(ColourWindow());
     }},
    {"colour window only", [] { SendColourChange(ColourWindow()); }},
};

// The style and painter of a look-and-feel with nothing assigned.
TcxLookAndFeelStyle StyleFor(bool AThemeActive) {
  return AThemeActive ? lfsNative : lfsUltraFlat;
}

const wchar_t* PainterFor(bool AThemeActive) {
  return AThemeActive ? L"Native" : L"UltraFlat";
}

// Switches the styles and lets the theme layer learn of it through its own
// window, so that everything agrees before a case begins.
void SettleThemes(bool AOn) {
  ASSERT_TRUE(testing::SwitchThemesForThisProcess(AOn));
  testing::PumpPending();
  SendMessageW(ThemeWindow(), WM_THEMECHANGED, 0, 0);
  ASSERT_EQ(IsThemeActive(), AOn);
  ASSERT_EQ(IsGlobalThemeActive(), AOn);
}

// What a look-and-feel saw when it was first told of the change.
struct TFirstReport {
  int Reports = 0;
  TcxLookAndFeelStyle Style = lfsStandard;
  int OpenThemes = -1;
};

TEST(LookAndFeelThemeSwitch, TheColourChangeAfterASwitchGivesThePainterOfTheThemeInForce) {
  for (const TDelivery& delivery : kDeliveries) {
    for (bool on : {false, true}) {
      SCOPED_TRACE(std::string(on ? "switched on, " : "switched off, ") + delivery.Name);
      SettleThemes(!on);
      // A theme opened under the state that is going away.
      ASSERT_EQ(OpenTheme(totButton) != 0, !on);

      TcxLookAndFeel L(nullptr);
      ASSERT_EQ(L.GetActiveStyle(), StyleFor(!on));
      TFirstReport first;
      L.OnChanged = [&first, &L](TcxLookAndFeel*, TcxLookAndFeelValues) {
        if (first.Reports++ == 0) {
          first.Style = L.GetActiveStyle();
          first.OpenThemes = dxThemeDataManager()->Count();
        }
      };

      ASSERT_TRUE(testing::SwitchThemesForThisProcess(on));
      ASSERT_EQ(IsThemeActive(), on);
      // The switch's WM_THEMECHANGED has not been handled yet.
      ASSERT_EQ(IsGlobalThemeActive(), !on);

      delivery.Deliver();
      EXPECT_GE(first.Reports, 1);
      EXPECT_EQ(first.Style, StyleFor(on));
      // Switched off: no handle of the theme that went is kept.
      if (!on) {
        EXPECT_EQ(first.OpenThemes, 0);
      }
      EXPECT_EQ(IsGlobalThemeActive(), on);
      EXPECT_EQ(L.GetActiveStyle(), StyleFor(on));
      EXPECT_EQ(L.Painter(), cxLookAndFeelPaintersManager()->GetPainter(PainterFor(on)));
      EXPECT_EQ(AreVisualStylesAvailable(totButton), on);

      // The queued WM_THEMECHANGED changes nothing more.
      testing::PumpPending();
      EXPECT_EQ(IsGlobalThemeActive(), on);
      EXPECT_EQ(L.GetActiveStyle(), StyleFor(on));
      EXPECT_EQ(L.Painter(), cxLookAndFeelPaintersManager()->GetPainter(PainterFor(on)));
    }
  }
  SettleThemes(true);
}

} // namespace
} // namespace telvora
