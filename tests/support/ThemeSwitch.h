#pragma once
// Switching visual styles off for the running test program only.

namespace telvora::testing {

// Turns visual styles off for this process with uxtheme's EnableTheming,
// keeping the user's "ThemeActive" setting as it was (EnableTheming writes
// it). Answers false when the platform has no EnableTheming. Windows then
// posts WM_THEMECHANGED to the top-level windows.
bool SwitchThemesOffForThisProcess();

} // namespace telvora::testing
