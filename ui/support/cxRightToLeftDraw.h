#pragma once
// Drawing that follows the canvas's reading direction: mirrored about the
// rectangle's centre line when the canvas draws right to left.

#include "ui/support/cxCanvas.h"

#include <windows.h>

#include <functional>

namespace telvora {

// Runs AProc mirrored about R's vertical centre line when the canvas draws
// right to left.
void cxRightToLeftDependentDraw(TcxCanvas& ACanvas, const RECT& R,
                                const std::function<void()>& AProc);

} // namespace telvora
