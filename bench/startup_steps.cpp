// TELVORA's start-up step by step: the steps of TELVORA.exe's wWinMain, and
// each unit's start-up step, with the moment each one ends (see
// StartupSteps.h). The unit table is app/ProgramUnits.cpp's, unit by unit,
// each start-up step followed by a note; started without --report it runs
// like TELVORA.exe.
//   startup-steps --report FILE START_TICKS

#include "bench/StartupSteps.h"
#include "app/Main.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/StdCtrls.h"
#include "platform/Units.h"
#include "ui/buttons/cxButtons.h"
#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"
#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/cxMouseTracking.h"
#include "ui/support/cxTimer.h"
#include "ui/support/dxDPI.h"
#include "ui/support/dxFading.h"
#include "ui/themes/dxThemeManager.h"

#include <windows.h>

#include <utility>

namespace {

using namespace telvora;

bench::TStartupSteps* gSteps = nullptr;

void NoStep() {}

// A unit's start-up step followed by a note of its end.
template <const wchar_t* Name, void (*Step)()> void Noted() {
  Step();
  gSteps->Mark(Name);
}

constexpr wchar_t kForms[] = L"unit Forms", kStdCtrls[] = L"unit StdCtrls",
                  kClipbrd[] = L"unit Clipbrd", kUxTheme[] = L"unit dxUxTheme",
                  kDPI[] = L"unit dxDPI", kThemeManager[] = L"unit dxThemeManager",
                  kTimer[] = L"unit cxTimer", kTracking[] = L"unit cxMouseTracking",
                  kFading[] = L"unit dxFading", kPalette[] = L"unit SystemPalette",
                  kPainters[] = L"unit cxLookAndFeelPainters",
                  kLookAndFeels[] = L"unit cxLookAndFeels", kGraphics[] = L"unit cxGraphics",
                  kGraphicsPalette[] = L"unit cxGraphicsPalette", kButtons[] = L"unit cxButtons",
                  kMain[] = L"unit Main";

const TUnit kNotedUnits[] = {
    {L"Forms", Noted<kForms, InitFrameworkUnit>, DoneFrameworkUnit},
    {L"StdCtrls", Noted<kStdCtrls, InitStdCtrlsUnit>, DoneStdCtrlsUnit},
    {L"Clipbrd", Noted<kClipbrd, NoStep>, DoneClipboard},
    {L"dxUxTheme", Noted<kUxTheme, InitUxThemeUnit>, DoneUxThemeUnit},
    {L"dxDPI", Noted<kDPI, InitDPIUnit>, DoneDPIUnit},
    {L"dxThemeManager", Noted<kThemeManager, InitThemeManagerUnit>, DoneThemeManagerUnit},
    {L"cxTimer", Noted<kTimer, InitTimerUnit>, DoneTimerUnit},
    {L"cxMouseTracking", Noted<kTracking, InitMouseTrackingUnit>, DoneMouseTrackingUnit},
    {L"dxFading", Noted<kFading, InitFadingUnit>, DoneFadingUnit},
    {L"SystemPalette", Noted<kPalette, InitSystemPaletteUnit>, DoneSystemPaletteUnit},
    {L"cxLookAndFeelPainters", Noted<kPainters, InitLookAndFeelPaintersUnit>,
     DoneLookAndFeelPaintersUnit},
    {L"cxLookAndFeels", Noted<kLookAndFeels, InitLookAndFeelsUnit>, DoneLookAndFeelsUnit},
    {L"cxGraphics", Noted<kGraphics, InitGraphics>, DoneGraphics},
    {L"cxGraphicsPalette", Noted<kGraphicsPalette, InitGraphicsPaletteUnit>,
     DoneGraphicsPaletteUnit},
    {L"cxButtons", Noted<kButtons, InitButtonsUnit>, DoneButtonsUnit},
    {L"Main", Noted<kMain, NoStep>, NoStep},
};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  bench::TStartupSteps steps(L"TELVORA steps");
  gSteps = &steps;
  StartUnits(kNotedUnits);
  Application()->Initialize();
  steps.Mark(L"Application.Initialize");
  Application()->SetMainFormOnTaskBar(true);
  try {
    Application()->CreateForm(frmMain);
  } catch (...) {
    Application()->HandleException(Application());
    StopUnits();
    return 1;
  }
  steps.Mark(L"main form created");
  // What Application.Run does before its loop: show and bring forward.
  frmMain->Show(SW_SHOWNORMAL);
  SetForegroundWindow(frmMain->Handle());
  steps.Mark(L"shown");
  steps.RunUntilIdle(frmMain->Handle());
  Application()->Run();
  StopUnits();
  return 0;
}
