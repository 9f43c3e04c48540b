#pragma once
// Helpers of the smart glyph and image list tests: the test images built
// into the test program (dxSmartGlyphTests.rc), BMP files written with the
// Windows structures, and 32-bit surfaces read pixel by pixel.

#include "ui/support/cxGraphics.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace telvora::testing_images {

using TBytes = std::vector<std::uint8_t>;
using TArgb = std::vector<std::uint32_t>;

// The pixels glyphs/make-glyph-fixtures.py draws, straight 0xAARRGGBB.
inline const TArgb kRgbaPng = {
    0xFFFF0000, 0x8000FF00, 0x400000FF, 0x00000000, // row 0
    0xFF123456, 0xFFABCDEF, 0xC0FFFFFF, 0x01804020, // row 1
    0xFF000000, 0xFFFFFFFF, 0x80808080, 0xFF7F7F7F, // row 2
};
inline const TArgb kRgbPng = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                              0xFF010203, 0xFFC86432, 0xFFFFFFFF};
inline const TArgb kGlyph24Bmp = {0xFF102030, 0xFF405060, 0xFF708090,
                                  0xFFA0B0C0, 0xFFD0E0F0, 0xFF000000};
// strip.png: three 4 x 4 cells of these colours.
inline const TArgb kStripCells = {0xFFFF0000, 0xFF00FF00, 0x800000FF};

// The bytes of an RCDATA resource of the test program.
inline TBytes ResourceBytes(const wchar_t* AName) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, AName, MAKEINTRESOURCEW(10));
  if (info == nullptr)
    return {};
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, info)));
  return data ? TBytes(data, data + SizeofResource(module, info)) : TBytes{};
}

// A bottom-up BI_RGB file of 24 or 32 bits per pixel.
inline TBytes MakeBmp(int AWidth, int AHeight, int ABits, const TArgb& APixels) {
  const int stride = (AWidth * ABits + 31) / 32 * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = AWidth;
  info.biHeight = AHeight;
  info.biPlanes = 1;
  info.biBitCount = static_cast<WORD>(ABits);
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(stride * AHeight);
  file.bfType = 0x4D42; // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  TBytes bytes(file.bfSize, 0);
  std::memcpy(bytes.data(), &file, sizeof(file));
  std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
  for (int y = 0; y < AHeight; ++y) {
    std::uint8_t* row = bytes.data() + file.bfOffBits + (AHeight - 1 - y) * stride;
    for (int x = 0; x < AWidth; ++x) {
      const std::uint32_t p = APixels[static_cast<size_t>(y) * AWidth + x];
      std::uint8_t* at = row + x * ABits / 8;
      at[0] = static_cast<std::uint8_t>(p);
      at[1] = static_cast<std::uint8_t>(p >> 8);
      at[2] = static_cast<std::uint8_t>(p >> 16);
      if (ABits == 32)
        at[3] = static_cast<std::uint8_t>(p >> 24);
    }
  }
  return bytes;
}

// A 32-bit bitmap filled with one colour.
struct TSurface {
  TSurface(int AWidth, int AHeight, TColor ABackground) : Bitmap(AWidth, AHeight) {
    Bitmap.cxCanvas().FillRect({0, 0, AWidth, AHeight}, ABackground);
  }
  TcxCanvas& Canvas() { return Bitmap.cxCanvas(); }
  HDC DC() { return Bitmap.Canvas().Handle(); }
  // 0xRRGGBB of a pixel.
  std::uint32_t Rgb(int x, int y) { return Bitmap.Pixel32(x, y) & 0xFFFFFF; }
  TcxBitmap32 Bitmap;
};

// Channels of two 0x..RRGGBB colours differ by at most ATolerance.
inline bool Near(std::uint32_t A, std::uint32_t B, int ATolerance = 1) {
  for (int shift : {0, 8, 16, 24}) {
    const int a = static_cast<int>((A >> shift) & 0xFF), b = static_cast<int>((B >> shift) & 0xFF);
    if (a - b > ATolerance || b - a > ATolerance)
      return false;
  }
  return true;
}

} // namespace telvora::testing_images
