#include "ui/support/cxBitmap.h"

#include <cstring>

namespace telvora {

TcxBitmap::TcxBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat)
    : TBitmap(AWidth, AHeight, APixelFormat) {}

TcxBitmap::~TcxBitmap() {
  FcxCanvas.reset();
}

std::unique_ptr<TcxBitmap> TcxBitmap::CreateSize(const RECT& ARect, TPixelFormat APixelFormat) {
  return std::make_unique<TcxBitmap>(RectWidth(ARect), RectHeight(ARect), APixelFormat);
}

TcxCanvas& TcxBitmap::cxCanvas() {
  if (!FcxCanvas)
    FcxCanvas = std::make_unique<TcxCanvas>(&Canvas());
  return *FcxCanvas;
}

TcxBitmap32::TcxBitmap32(int AWidth, int AHeight, bool AClear)
    : TcxBitmap(AWidth, AHeight, pf32bit) {
  if (AClear)
    Clear();
}

std::unique_ptr<TcxBitmap32> TcxBitmap32::CreateSize(const RECT& ARect, bool AClear) {
  return std::make_unique<TcxBitmap32>(RectWidth(ARect), RectHeight(ARect), AClear);
}

void TcxBitmap32::Clear() {
  BYTE* bits = Bits();
  if (bits != nullptr)
    std::memset(bits, 0, static_cast<size_t>(BytesPerLine()) * static_cast<size_t>(Height()));
}

void cxBitBlt(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, POINT ASrcTopLeft, DWORD ROP) {
  BitBlt(ADestDC, ADestRect.left, ADestRect.top, RectWidth(ADestRect), RectHeight(ADestRect),
         ASrcDC, ASrcTopLeft.x, ASrcTopLeft.y, ROP);
}

} // namespace telvora
