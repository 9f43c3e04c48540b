#pragma once
// Off-screen bitmaps with a library canvas on them: of any pixel format, and
// of 32 bits per pixel with alpha.

#include "platform/Canvas.h"
#include "ui/support/cxCanvas.h"

#include <windows.h>

#include <memory>

namespace telvora {

class TcxBitmap : public TBitmap {
public:
  TcxBitmap() = default;
  TcxBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat = pfDevice);
  ~TcxBitmap() override;
  static std::unique_ptr<TcxBitmap> CreateSize(const RECT& ARect,
                                               TPixelFormat APixelFormat = pfDevice);

  RECT ClientRect() const noexcept { return {0, 0, Width(), Height()}; }
  // The library canvas on the bitmap's canvas.
  TcxCanvas& cxCanvas();

private:
  std::unique_ptr<TcxCanvas> FcxCanvas;
};

class TcxBitmap32 : public TcxBitmap {
public:
  TcxBitmap32() { TcxBitmap::SetPixelFormat(pf32bit); }
  TcxBitmap32(int AWidth, int AHeight, bool AClear = false);
  static std::unique_ptr<TcxBitmap32> CreateSize(const RECT& ARect, bool AClear = false);

  // Always 32 bits per pixel.
  void SetPixelFormat(TPixelFormat) override {}
  // Every pixel (and its alpha) becomes 0.
  void Clear();
};

void cxBitBlt(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, POINT ASrcTopLeft, DWORD ROP);

} // namespace telvora
