#pragma once
// PNG images stored in a module's resources, decoded by GDI+ (bound at run
// time) once and kept until cxReleasePngResources.

#include "ui/support/cxGraphics.h"

#include <windows.h>

namespace telvora {

// Draws the part ASource of the PNG resource (AName, AType) of AModule into
// ADest on the canvas, stretched and blended over what is there at full
// opacity, mirrored about ADest when the canvas draws right to left. False,
// with nothing drawn, when the resource, GDI+ or the decoding is missing or
// ASource lies outside the image.
bool cxDrawPngResource(TcxCanvas& ACanvas, HMODULE AModule, const wchar_t* AName,
                       const wchar_t* AType, const RECT& ASource, const RECT& ADest);

// The pixel size of the PNG resource; (0, 0) when it cannot be decoded.
SIZE cxGetPngResourceSize(HMODULE AModule, const wchar_t* AName, const wchar_t* AType);

// Frees the decoded images and stops GDI+ (the painters' unit shut-down);
// the next drawing starts again.
void cxReleasePngResources();

} // namespace telvora
