#include "ui/support/cxColors.h"

#include <algorithm>

namespace telvora {

TColor cxGetActualColor(TColor AValue, TColor ADefaultValue) {
  return AValue == clDefault ? ADefaultValue : AValue;
}

TColor GetLightColor(std::int8_t ABtnFaceColorPart, std::int8_t AHighlightColorPart,
                     std::int8_t AWindowColorPart) {
  COLORREF face = ColorToRGB(clBtnFace);
  COLORREF highlight = ColorToRGB(clHighlight);
  COLORREF window = ColorToRGB(clWindow);
  if ((face == 0 || face == 0xFFFFFF) && highlight != 0)
    return static_cast<TColor>(highlight);
  auto channel = [&](int shift) {
    int f = (face >> shift) & 0xFF;
    int hl = (highlight >> shift) & 0xFF;
    int w = (window >> shift) & 0xFF;
    int value = MulDiv(f, ABtnFaceColorPart, 100) + MulDiv(hl, AHighlightColorPart, 100) +
                MulDiv(w, AWindowColorPart, 100);
    return static_cast<TColor>(std::clamp(value, 0, 255));
  };
  return channel(0) | (channel(8) << 8) | (channel(16) << 16);
}

TColor GetLightSelColor() {
  return dxGetNearestColor(GetLightColor(-2, 30, 72));
}

TColor GetLightDownedSelColor() {
  return dxGetNearestColor(GetLightColor(14, 44, 40));
}

TColor dxGetMiddleRGB(TColor AColor1, TColor AColor2, int APercent) {
  COLORREF c1 = ColorToRGB(AColor1);
  COLORREF c2 = ColorToRGB(AColor2);
  auto channel = [&](int shift) {
    int value = MulDiv((c2 >> shift) & 0xFF, 100 - APercent, 100) +
                MulDiv((c1 >> shift) & 0xFF, APercent, 100);
    return static_cast<TColor>(std::clamp(value, 0, 255));
  };
  return dxGetNearestColor(channel(0) | (channel(8) << 8) | (channel(16) << 16));
}

TColor dxGetNearestColor(TColor AColor) {
  COLORREF color = ColorToRGB(AColor);
  TWindowDC screen(nullptr);
  COLORREF nearest = screen.Get() != nullptr ? GetNearestColor(screen.Get(), color) : CLR_INVALID;
  return static_cast<TColor>(nearest == CLR_INVALID ? color : nearest);
}

} // namespace telvora
