#include "ui/support/cxTextDrawing.h"

#include "ui/support/cxBitmap.h"
#include "ui/support/cxCanvas.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace telvora {

namespace {

int CharCount(const std::wstring& text, int count) {
  int length = static_cast<int>(text.size());
  return count < 0 ? length : std::min(count, length);
}

} // namespace

UINT cxFlagsToDTFlags(int Flags) {
  UINT result = DT_NOPREFIX;
  if (Flags & cxAlignLeft)
    result |= DT_LEFT;
  if (Flags & cxAlignRight)
    result |= DT_RIGHT;
  if (Flags & cxAlignHCenter)
    result |= DT_CENTER;
  if (Flags & cxAlignTop)
    result |= DT_TOP;
  if (Flags & cxAlignBottom)
    result |= DT_BOTTOM;
  if (Flags & cxAlignVCenter)
    result |= DT_VCENTER;
  if (Flags & cxSingleLine)
    result |= DT_SINGLELINE;
  if (Flags & cxDontClip)
    result |= DT_NOCLIP;
  if (Flags & cxExpandTabs)
    result |= DT_EXPANDTABS;
  if (Flags & cxShowPrefix)
    result &= ~static_cast<UINT>(DT_NOPREFIX);
  if (Flags & cxWordBreak) {
    result |= DT_WORDBREAK;
    if (!(Flags & cxDontBreakChars))
      result |= DT_EDITCONTROL;
    else if (Flags & cxNoFullWidthCharBreak)
      result |= DT_NOFULLWIDTHCHARBREAK;
  }
  if (Flags & cxShowEndEllipsis)
    result |= DT_END_ELLIPSIS;
  if (Flags & cxCalcRect)
    result |= DT_CALCRECT;
  if (Flags & cxShowPathEllipsis)
    result |= DT_PATH_ELLIPSIS;
  if (Flags & cxRtlReading)
    result |= DT_RTLREADING;
  if (Flags & cxShowWordEllipsis)
    result |= DT_WORD_ELLIPSIS;
  return result;
}

int cxDrawText(HDC ADC, const std::wstring& AText, RECT& ARect, UINT AFormat, int ACharCount,
               TColor ATextColor, int ABkMode) {
  // The text is the caller's and read-only: DrawText must not write into it.
  AFormat &= ~static_cast<UINT>(DT_MODIFYSTRING);
  int count = CharCount(AText, ACharCount);
  if (count == 0)
    return ::DrawTextW(ADC, AText.c_str(), 0, &ARect, AFormat);
  COLORREF oldTextColor = CLR_INVALID;
  if (ATextColor != clDefault)
    oldTextColor = SetTextColor(ADC, ColorToRGB(ATextColor));
  int oldBkMode = SetBkMode(ADC, ABkMode);
  int result = ::DrawTextW(ADC, AText.c_str(), count, &ARect, AFormat);
  if (oldBkMode != 0)
    SetBkMode(ADC, oldBkMode);
  if (ATextColor != clDefault && oldTextColor != CLR_INVALID)
    SetTextColor(ADC, oldTextColor);
  return result;
}

int cxDrawText(TCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
               TColor ATextColor) {
  if (ACanvas.TextFlags() & ETO_RTLREADING)
    AFormat |= DT_RTLREADING;
  return cxDrawText(ACanvas.TryHandle(), AText, ARect, AFormat, -1, ATextColor, TRANSPARENT);
}

namespace {

// A 32-bit bitmap's pixels turned by a quarter or half turn.
enum TRotation { rotClockwise, rotCounterClockwise, rotHalf };

std::unique_ptr<TcxBitmap32> RotateBitmap(TcxBitmap32& source, TRotation rotation) {
  int w = source.Width();
  int h = source.Height();
  bool quarter = rotation != rotHalf;
  auto result = std::make_unique<TcxBitmap32>(quarter ? h : w, quarter ? w : h);
  const BYTE* src = source.Bits();
  BYTE* dst = result->Bits();
  if (src == nullptr || dst == nullptr)
    return result;
  int dstStride = result->BytesPerLine();
  for (int y = 0; y < h; ++y) {
    const BYTE* row = src + y * source.BytesPerLine();
    for (int x = 0; x < w; ++x) {
      int dx = 0, dy = 0;
      switch (rotation) {
      case rotClockwise:
        dx = h - 1 - y;
        dy = x;
        break;
      case rotCounterClockwise:
        dx = y;
        dy = w - 1 - x;
        break;
      case rotHalf:
        dx = w - 1 - x;
        dy = h - 1 - y;
        break;
      }
      std::memcpy(dst + dy * dstStride + dx * 4, row + x * 4, 4);
    }
  }
  return result;
}

int RotatedDrawText(TcxCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
                    TColor ATextColor, TcxRotationAngle AAngle) {
  int w = RectWidth(ARect);
  int h = RectHeight(ARect);
  bool quarter = AAngle != ra180;
  TRotation there = AAngle == raPlus90    ? rotClockwise
                    : AAngle == raMinus90 ? rotCounterClockwise
                                          : rotHalf;
  TRotation back = AAngle == raPlus90    ? rotCounterClockwise
                   : AAngle == raMinus90 ? rotClockwise
                                         : rotHalf;
  LOGFONTW lf = FontToLogFont(ACanvas.Font());
  if (!dxUseAntialiasingForRotatedText)
    lf.lfQuality = NONANTIALIASED_QUALITY;
  TGdiObject font(CreateFontIndirectW(&lf));
  TColor color = ATextColor == clDefault ? ACanvas.Font().Color() : ATextColor;

  if (AFormat & DT_CALCRECT) {
    // Measured in the turned space, the answer turned back.
    TMemoryDC dc(CreateCompatibleDC(nullptr));
    TSelectObject select(dc.Get(), font.Get());
    RECT r{0, 0, quarter ? h : w, quarter ? w : h};
    int result = cxDrawText(dc.Get(), AText, r, AFormat, -1, color, TRANSPARENT);
    ARect.right = ARect.left + (quarter ? RectHeight(r) : RectWidth(r));
    ARect.bottom = ARect.top + (quarter ? RectWidth(r) : RectHeight(r));
    return result;
  }
  if (w <= 0 || h <= 0)
    return 0;
  TcxBitmap32 background(w, h);
  HDC dest = ACanvas.Handle();
  BitBlt(background.Canvas().TryHandle(), 0, 0, w, h, dest, ARect.left, ARect.top, SRCCOPY);
  std::unique_ptr<TcxBitmap32> turned = RotateBitmap(background, there);
  int result = 0;
  {
    HDC dc = turned->Canvas().TryHandle();
    TSelectObject select(dc, font.Get());
    RECT r{0, 0, turned->Width(), turned->Height()};
    result = cxDrawText(dc, AText, r, AFormat, -1, color, TRANSPARENT);
  }
  std::unique_ptr<TcxBitmap32> image = RotateBitmap(*turned, back);
  BitBlt(dest, ARect.left, ARect.top, w, h, image->Canvas().TryHandle(), 0, 0, SRCCOPY);
  return result;
}

} // namespace

int cxDrawText(TcxCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
               TColor ATextColor, TcxRotationAngle ARotationAngle) {
  if (ARotationAngle == ra0)
    return cxDrawText(*ACanvas.Canvas(), AText, ARect, AFormat, ATextColor);
  return RotatedDrawText(ACanvas, AText, ARect, AFormat, ATextColor, ARotationAngle);
}

bool cxExtTextOut(HDC ADC, const std::wstring& AText, POINT APoint, const RECT& ARect,
                  UINT AOptions, int ACharCount) {
  int count = CharCount(AText, ACharCount);
  return ExtTextOutW(ADC, APoint.x, APoint.y, AOptions, &ARect, AText.c_str(),
                     static_cast<UINT>(count), nullptr) != FALSE;
}

bool cxGetTextExtentPoint32(HDC ADC, const std::wstring& AText, SIZE& ASize, int ACharCount) {
  ASize = {0, 0};
  int count = CharCount(AText, ACharCount);
  return GetTextExtentPoint32W(ADC, AText.c_str(), count, &ASize) != FALSE;
}

} // namespace telvora
