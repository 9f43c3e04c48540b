#pragma once
// Writes a contact sheet's picture as a 24-bit BMP file.

#include "ui/support/cxGraphics.h"

#include <string>

namespace telvora {

bool SaveBmp(TcxBitmap32& ABitmap, const std::wstring& AFileName);

} // namespace telvora
