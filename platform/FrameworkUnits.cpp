#include "platform/FrameworkUnits.h"

#include "platform/ActnList.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

namespace telvora {

namespace {
void NoStep() {}

// Start-up runs top to bottom, shut-down bottom to top.
const TUnit kFrameworkUnits[] = {
    {L"Forms", InitFrameworkUnit, DoneFrameworkUnit},
    {L"StdCtrls", InitStdCtrlsUnit, DoneStdCtrlsUnit},
    {L"Menus", InitMenusUnit, DoneMenusUnit},
    {L"ActnList", InitActnListUnit, DoneActnListUnit},
    {L"Clipbrd", NoStep, DoneClipboard},
};
} // namespace

std::span<const TUnit> FrameworkUnits() {
  return kFrameworkUnits;
}

} // namespace telvora
