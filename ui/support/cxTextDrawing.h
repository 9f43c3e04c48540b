#pragma once
// Text flags of the library's canvases and the text drawing functions on a
// device context, a framework canvas and a library canvas (rotated text
// included).

#include "platform/Canvas.h"
#include "platform/Graphics.h"

#include <windows.h>

#include <string>

namespace telvora {

class TcxCanvas;

enum TcxRotationAngle { ra0, raPlus90, raMinus90, ra180 };
enum TcxAlignmentVert { vaTop, vaBottom, vaCenter };

// Text flags of the canvases' DrawText and TextExtent (cxFlagsToDTFlags
// turns them into DrawText flags).
constexpr int cxAlignLeft = 0x1;
constexpr int cxAlignRight = 0x2;
constexpr int cxAlignHCenter = 0x4;
constexpr int cxAlignTop = 0x8;
constexpr int cxAlignBottom = 0x10;
constexpr int cxAlignVCenter = 0x20;
constexpr int cxAlignCenter = 0x24;
constexpr int cxSingleLine = 0x40;
constexpr int cxDontClip = 0x80;
constexpr int cxExpandTabs = 0x100;
constexpr int cxShowPrefix = 0x200;
constexpr int cxWordBreak = 0x400;
constexpr int cxShowEndEllipsis = 0x800;
constexpr int cxCalcRect = 0x1000;
constexpr int cxDontPrint = cxCalcRect;
constexpr int cxShowPathEllipsis = 0x2000;
constexpr int cxDontBreakChars = 0x4000;
constexpr int cxNoFullWidthCharBreak = 0x8000;
constexpr int cxRtlReading = 0x10000;
constexpr int cxShowWordEllipsis = 0x20000;

// Whether rotated text keeps the font's antialiasing.
inline bool dxUseAntialiasingForRotatedText = true;

// The Windows DrawText flags for canvas text flags.
UINT cxFlagsToDTFlags(int Flags);

// DrawText on a context; ACharCount -1 is the whole text. With no characters
// DrawText gets a count of 0 and no colour is touched. Returns DrawText's height.
int cxDrawText(HDC ADC, const std::wstring& AText, RECT& ARect, UINT AFormat, int ACharCount = -1,
               TColor ATextColor = clDefault, int ABkMode = TRANSPARENT);
// On a framework canvas: DT_RTLREADING follows the canvas's text flags.
int cxDrawText(TCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
               TColor ATextColor = clDefault);
// On a canvas, rotated through a temporary bitmap when an angle is given.
int cxDrawText(TcxCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
               TColor ATextColor = clDefault, TcxRotationAngle ARotationAngle = ra0);
bool cxExtTextOut(HDC ADC, const std::wstring& AText, POINT APoint, const RECT& ARect,
                  UINT AOptions, int ACharCount = -1);
bool cxGetTextExtentPoint32(HDC ADC, const std::wstring& AText, SIZE& ASize, int ACharCount = -1);

} // namespace telvora
