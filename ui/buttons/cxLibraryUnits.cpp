#include "ui/buttons/cxLibraryUnits.h"

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
#include "ui/themes/dxUxTheme.h"

namespace telvora {

namespace {
// Start-up runs top to bottom, shut-down bottom to top.
const TUnit kLibraryUnits[] = {
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
};
} // namespace

std::span<const TUnit> cxLibraryUnits() {
  return kLibraryUnits;
}

} // namespace telvora
