#pragma once
// Measures text with a font on a context kept for the purpose, answering a
// repeated question from the latest measurements.

#include "platform/Graphics.h"

#include <windows.h>

#include <string>

namespace telvora {

class TdxTextMeasurer {
public:
  // ARect receives the rectangle the text needs within ARect's width.
  static void TextRectDT(RECT& ARect, const std::wstring& AText, const TFont& AFont, UINT ADTFlags);
};

// Start-up and shut-down of the measuring context and its measurements
// (InitGraphics and DoneGraphics call them). After shut-down each
// measurement makes a context for itself.
void InitTextMeasurer();
void DoneTextMeasurer();

} // namespace telvora
