#include "app/ProgramUnits.h"

#include "platform/ActnList.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/Units.h"
#include "ui/buttons/cxButtons.h"
#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"
#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/cxImageList.h"
#include "ui/support/cxMouseTracking.h"
#include "ui/support/cxTimer.h"
#include "ui/support/dxDPI.h"
#include "ui/support/dxFading.h"
#include "ui/themes/dxThemeManager.h"

namespace telvora {

namespace {
void NoStep() {}

// Start-up runs top to bottom, shut-down bottom to top.
const TUnit kProgramUnits[] = {
    {L"Forms", InitFrameworkUnit, DoneFrameworkUnit},
    {L"StdCtrls", InitStdCtrlsUnit, DoneStdCtrlsUnit},
    {L"Menus", InitMenusUnit, DoneMenusUnit},
    {L"ActnList", InitActnListUnit, DoneActnListUnit},
    {L"Clipbrd", NoStep, DoneClipboard},
    {L"dxUxTheme", InitUxThemeUnit, DoneUxThemeUnit},
    {L"dxDPI", InitDPIUnit, DoneDPIUnit},
    {L"dxThemeManager", InitThemeManagerUnit, DoneThemeManagerUnit},
    {L"cxTimer", InitTimerUnit, DoneTimerUnit},
    {L"cxMouseTracking", InitMouseTrackingUnit, DoneMouseTrackingUnit},
    {L"dxFading", InitFadingUnit, DoneFadingUnit},
    {L"SystemPalette", InitSystemPaletteUnit, DoneSystemPaletteUnit},
    {L"cxLookAndFeelPainters", InitLookAndFeelPaintersUnit, DoneLookAndFeelPaintersUnit},
    {L"cxLookAndFeels", InitLookAndFeelsUnit, DoneLookAndFeelsUnit},
    {L"cxGraphics", InitGraphics, DoneGraphics},
    {L"cxGraphicsPalette", InitGraphicsPaletteUnit, DoneGraphicsPaletteUnit},
    {L"cxImageList", InitImageListUnit, DoneImageListUnit},
    {L"cxButtons", InitButtonsUnit, DoneButtonsUnit},
    {L"Main", NoStep, NoStep},
};
} // namespace

void StartProgramUnits() {
  StartUnits(kProgramUnits);
}

void StopProgramUnits() {
  StopUnits();
}

} // namespace telvora
