#pragma once
// A control's background painted from its parent, for controls that show
// what lies behind them.

#include "platform/Controls.h"
#include "ui/support/cxCanvas.h"

#include <windows.h>

namespace telvora {

// Paints the parent's image under ARect (AControl's coordinates); a parent
// already being painted this way is not painted again.
void cxDrawTransparentControlBackground(TWinControl* AControl, TcxCanvas& ACanvas,
                                        const RECT& ARect, bool APaintParentWithChildren = true);

} // namespace telvora
