#pragma once
// Canvas drawing that goes through the theme library: a control's parent
// background as the theme draws it, and text on a composited (glass)
// surface with the theme text function.

#include "ui/support/cxGraphics.h"

#include <windows.h>

#include <string>

namespace telvora {

// The parent's background under ARect (AControl's coordinates) as the theme
// draws it; the framework's own transparent background where the theme
// library is not loaded.
void cxDrawThemeParentBackground(TWinControl* AControl, TcxCanvas& ACanvas, const RECT& ARect);

// Text on a composited surface through the theme text function, with glow.
// AAngle is in degrees, counter-clockwise. A transparent draw blends only the
// text back onto the destination.
void dxDrawTextOnGlass(HDC DC, const std::wstring& AText, const TFont& AFont, const RECT& ABounds,
                       TColor AColor, UINT AFlags, int AGlowingSize, bool ATransparent = false,
                       int AAngle = 0);

} // namespace telvora
