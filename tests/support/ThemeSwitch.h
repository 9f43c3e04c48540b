#pragma once
// Switching visual styles off and on for the running test program only.

namespace telvora::testing {

// Turns visual styles off for this process with uxtheme's EnableTheming,
// keeping the user's "ThemeActive" setting as it was (EnableTheming writes
// it). Answers false when the platform has no EnableTheming. Windows then
// posts WM_THEMECHANGED to the top-level windows.
bool SwitchThemesOffForThisProcess();

// Turns visual styles on or off for this process, keeping the user's
// "ThemeActive" setting as it was; answers whether IsThemeActive then says
// what was asked. Off: as SwitchThemesOffForThisProcess. On: under Wine,
// whose EnableTheming(TRUE) leaves the styles off once they were turned off,
// the user's theme (file, colour and size from the ThemeManager key) is
// applied again as Wine's own configuration does it, through uxtheme's
// OpenThemeFile and ApplyTheme (exported by ordinal only); elsewhere with
// EnableTheming(TRUE). Either way WM_THEMECHANGED is posted to the top-level
// windows, and nothing is sent at once.
bool SwitchThemesForThisProcess(bool AOn);

} // namespace telvora::testing
