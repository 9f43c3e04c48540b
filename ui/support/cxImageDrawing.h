#pragma once
// Images drawn on a canvas: a bitmap or an image of an image list read into
// premultiplied pixels, mapped through a palette, changed by a draw mode,
// scaled for the DPI, fitted into a rectangle, resampled and blended over
// what is there.

#include "platform/Canvas.h"
#include "ui/support/cxCanvas.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

namespace telvora {

class TdxScaleFactor;

enum TcxImageDrawMode { idmNormal, idmDisabled, idmFaded, idmGrayScale, idmDingy, idmShadowed };
enum TcxImageFitMode { ifmNormal, ifmStretch, ifmProportionalStretch, ifmFit, ifmFill };

// Maps each pixel colour ($00BBGGRR) of an image to the colour drawn.
using TdxColorPalette = std::function<COLORREF(COLORREF AColor)>;

// Draws AGlyph, or else image AImageIndex of AImages, fitted into ARect.
void cxDrawImage(TcxCanvas& ACanvas, const RECT& ARect, TBitmap* AGlyph, HIMAGELIST AImages,
                 int AImageIndex, TcxImageFitMode AFitMode = ifmNormal,
                 TcxImageDrawMode ADrawMode = idmNormal,
                 bool AUseLeftBottomPixelAsTransparent = false,
                 const TdxColorPalette* APalette = nullptr,
                 const TdxScaleFactor* AScaleFactor = nullptr, bool ASmoothImage = false);

// Premultiplied 32-bit pixels of an image, 0xAARRGGBB, rows from the top.
struct TcxImagePixels {
  int Width = 0;
  int Height = 0;
  std::vector<DWORD> Pixels;
};

// Image AIndex of AImages as cxDrawImage reads it; false when there is none.
bool cxReadImageListPixels(HIMAGELIST AImages, int AIndex, TcxImagePixels& AImage);
// The image at another size: the nearest pixel, or bilinear when smoothing.
TcxImagePixels cxResampleImage(const TcxImagePixels& AImage, int AWidth, int AHeight, bool ASmooth);
// Where cxDrawImage puts an image of ASize in ABounds by the fit mode.
RECT cxFitImageRect(const RECT& ABounds, SIZE ASize, TcxImageFitMode AFitMode);
// Draws the pixels as cxDrawImage draws an image it has read: colours mapped
// by the palette, the draw mode applied, the size scaled from ASourceDPI by
// the scale factor (the default one when none is given) and fitted into
// ARect, resampled, blended over the canvas, clipped to ARect.
void cxDrawImagePixels(TcxCanvas& ACanvas, const RECT& ARect, TcxImagePixels AImage,
                       TcxImageFitMode AFitMode, TcxImageDrawMode ADrawMode,
                       const TdxColorPalette* APalette, const TdxScaleFactor* AScaleFactor,
                       bool ASmoothImage, int ASourceDPI = 96);
// The image size cxDrawImage scales from ASourceDPI by the factor (the
// default one when none is given).
SIZE cxScaleImageSize(SIZE ASize, const TdxScaleFactor* AScaleFactor, int ASourceDPI = 96);

} // namespace telvora
