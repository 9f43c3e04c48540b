#pragma once
// Colour helpers: defaults, the light selection colours mixed from the
// system colours, mixtures of two colours and the screen's nearest colour.

#include "platform/Graphics.h"

#include <cstdint>

namespace telvora {

TColor cxGetActualColor(TColor AValue, TColor ADefaultValue);
// A mix of the button face, highlight and window colours in signed percents.
TColor GetLightColor(std::int8_t ABtnFaceColorPart, std::int8_t AHighlightColorPart,
                     std::int8_t AWindowColorPart);
TColor GetLightSelColor();
TColor GetLightDownedSelColor();
TColor dxGetMiddleRGB(TColor AColor1, TColor AColor2, int APercent);
TColor dxGetNearestColor(TColor AColor);

} // namespace telvora
