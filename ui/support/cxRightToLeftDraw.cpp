#include "ui/support/cxRightToLeftDraw.h"

namespace telvora {

void cxRightToLeftDependentDraw(TcxCanvas& ACanvas, const RECT& R,
                                const std::function<void()>& AProc) {
  if (!ACanvas.UseRightToLeftAlignment()) {
    if (AProc)
      AProc();
    return;
  }
  HDC dc = ACanvas.Handle();
  int oldMode = SetGraphicsMode(dc, GM_ADVANCED);
  XFORM saved{};
  GetWorldTransform(dc, &saved);
  TScopeExit restore([dc, saved, oldMode] {
    SetWorldTransform(dc, &saved);
    if (oldMode != 0 && oldMode != GM_ADVANCED)
      SetGraphicsMode(dc, oldMode);
  });
  // x' = (R.Left + R.Right - 1) - x: a flip about the rectangle's centre line.
  XFORM flip{-1.0f, 0.0f, 0.0f, 1.0f, static_cast<float>(R.left + R.right - 1), 0.0f};
  ModifyWorldTransform(dc, &flip, MWT_LEFTMULTIPLY);
  if (AProc)
    AProc();
}

} // namespace telvora
