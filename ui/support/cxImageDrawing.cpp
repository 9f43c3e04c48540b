#include "ui/support/cxImageDrawing.h"

#include "ui/support/cxBitmap.h"
#include "ui/support/dxScaleFactor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace telvora {

namespace {

BYTE Channel(DWORD pixel, int shift) {
  return static_cast<BYTE>((pixel >> shift) & 0xFF);
}

DWORD MakePixel(int a, int r, int g, int b) {
  return (static_cast<DWORD>(a) << 24) | (static_cast<DWORD>(r) << 16) |
         (static_cast<DWORD>(g) << 8) | static_cast<DWORD>(b);
}

// Reads a bitmap into premultiplied pixels. A bitmap without any alpha is
// opaque, except for the left-bottom pixel's colour when that is asked for.
bool ReadBitmapPixels(HBITMAP bitmap, int width, int height, bool leftBottomTransparent,
                      TcxImagePixels& out) {
  if (bitmap == nullptr || width <= 0 || height <= 0)
    return false;
  out.Width = width;
  out.Height = height;
  out.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  BITMAPINFO info = TopDown32BitInfo(width, height);
  TWindowDC screen(nullptr);
  if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), out.Pixels.data(), &info,
                DIB_RGB_COLORS) == 0)
    return false;
  bool hasAlpha = std::any_of(out.Pixels.begin(), out.Pixels.end(),
                              [](DWORD p) { return (p & 0xFF000000) != 0; });
  if (hasAlpha) {
    // Straight alpha becomes premultiplied.
    for (DWORD& p : out.Pixels) {
      int a = Channel(p, 24);
      p = MakePixel(a, Channel(p, 16) * a / 255, Channel(p, 8) * a / 255, Channel(p, 0) * a / 255);
    }
    return true;
  }
  DWORD transparent = out.Pixels[static_cast<size_t>(height - 1) * width] & 0x00FFFFFF;
  for (DWORD& p : out.Pixels) {
    if (leftBottomTransparent && (p & 0x00FFFFFF) == transparent)
      p = 0;
    else
      p |= 0xFF000000;
  }
  return true;
}

bool ReadImageListPixels(HIMAGELIST images, int index, TcxImagePixels& out) {
  IMAGEINFO info{};
  if (images == nullptr || !ImageList_GetImageInfo(images, index, &info))
    return false;
  int w = RectWidth(info.rcImage);
  int h = RectHeight(info.rcImage);
  // The list draws the image (with its mask or alpha) onto black and onto
  // white; the two results give each pixel's colour and coverage.
  TcxBitmap32 onBlack(w, h, true);
  TcxBitmap32 onWhite(w, h, true);
  HDC blackDC = onBlack.Canvas().TryHandle();
  HDC whiteDC = onWhite.Canvas().TryHandle();
  PatBlt(blackDC, 0, 0, w, h, BLACKNESS);
  PatBlt(whiteDC, 0, 0, w, h, WHITENESS);
  ImageList_Draw(images, index, blackDC, 0, 0, ILD_NORMAL);
  ImageList_Draw(images, index, whiteDC, 0, 0, ILD_NORMAL);
  const BYTE* b = onBlack.Bits();
  const BYTE* wt = onWhite.Bits();
  if (b == nullptr || wt == nullptr)
    return false;
  out.Width = w;
  out.Height = h;
  out.Pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  for (int i = 0; i < w * h; ++i) {
    // On black the colour is premultiplied; white minus black is 255 - alpha.
    int alpha = 255 - std::clamp(static_cast<int>(wt[i * 4 + 1]) - b[i * 4 + 1], 0, 255);
    out.Pixels[static_cast<size_t>(i)] =
        MakePixel(alpha, std::min<int>(b[i * 4 + 2], alpha), std::min<int>(b[i * 4 + 1], alpha),
                  std::min<int>(b[i * 4], alpha));
  }
  return true;
}

void ApplyPalette(TcxImagePixels& image, const TdxColorPalette& palette) {
  for (DWORD& p : image.Pixels) {
    int a = Channel(p, 24);
    if (a == 0)
      continue;
    // Back to straight colour for the mapping, then premultiplied again.
    COLORREF straight =
        RGB(Channel(p, 16) * 255 / a, Channel(p, 8) * 255 / a, Channel(p, 0) * 255 / a);
    COLORREF mapped = palette(straight);
    p = MakePixel(a, GetRValue(mapped) * a / 255, GetGValue(mapped) * a / 255,
                  GetBValue(mapped) * a / 255);
  }
}

void ApplyDrawMode(TcxImagePixels& image, TcxImageDrawMode mode) {
  auto gray = [](DWORD p) {
    return (Channel(p, 16) * 30 + Channel(p, 8) * 59 + Channel(p, 0) * 11) / 100;
  };
  switch (mode) {
  case idmNormal:
    return;
  case idmGrayScale:
    for (DWORD& p : image.Pixels) {
      int g = gray(p);
      p = MakePixel(Channel(p, 24), g, g, g);
    }
    return;
  case idmDisabled:
    // Grey at half the coverage.
    for (DWORD& p : image.Pixels) {
      int g = gray(p) / 2;
      p = MakePixel(Channel(p, 24) / 2, g, g, g);
    }
    return;
  case idmFaded:
    // Half-way towards the window colour.
    for (DWORD& p : image.Pixels) {
      int a = Channel(p, 24);
      COLORREF window = ColorToRGB(clWindow);
      p = MakePixel(a, (Channel(p, 16) + GetRValue(window) * a / 255) / 2,
                    (Channel(p, 8) + GetGValue(window) * a / 255) / 2,
                    (Channel(p, 0) + GetBValue(window) * a / 255) / 2);
    }
    return;
  case idmDingy:
    // Grey mixed with the colour, slightly lighter, at most 3/4 coverage.
    for (DWORD& p : image.Pixels) {
      int a = Channel(p, 24) * 3 / 4;
      int g = gray(p);
      auto mix = [&](int c) { return std::min((c + g) / 2 * 3 / 4 + a / 8, a); };
      p = MakePixel(a, mix(Channel(p, 16)), mix(Channel(p, 8)), mix(Channel(p, 0)));
    }
    return;
  case idmShadowed: {
    // A grey silhouette two pixels down and right under the image.
    TcxImagePixels shadowed;
    shadowed.Width = image.Width + 2;
    shadowed.Height = image.Height + 2;
    shadowed.Pixels.assign(static_cast<size_t>(shadowed.Width) * shadowed.Height, 0);
    for (int y = 0; y < image.Height; ++y)
      for (int x = 0; x < image.Width; ++x) {
        int a = Channel(image.Pixels[static_cast<size_t>(y) * image.Width + x], 24) / 2;
        shadowed.Pixels[static_cast<size_t>(y + 2) * shadowed.Width + x + 2] =
            MakePixel(a, 0, 0, 0);
      }
    for (int y = 0; y < image.Height; ++y)
      for (int x = 0; x < image.Width; ++x) {
        DWORD src = image.Pixels[static_cast<size_t>(y) * image.Width + x];
        DWORD& dst = shadowed.Pixels[static_cast<size_t>(y) * shadowed.Width + x];
        int sa = Channel(src, 24);
        auto over = [&](int shift) {
          return Channel(src, shift) + Channel(dst, shift) * (255 - sa) / 255;
        };
        dst = MakePixel(over(24), over(16), over(8), over(0));
      }
    image = std::move(shadowed);
    return;
  }
  }
}

// The image's pixels at the destination size: nearest pixel, or bilinear
// when smoothing.
TcxImagePixels Resample(const TcxImagePixels& image, int width, int height, bool smooth) {
  if (width == image.Width && height == image.Height)
    return image;
  TcxImagePixels result;
  result.Width = width;
  result.Height = height;
  result.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      DWORD value;
      if (!smooth) {
        int sx = x * image.Width / width;
        int sy = y * image.Height / height;
        value = image.Pixels[static_cast<size_t>(sy) * image.Width + sx];
      } else {
        double fx = std::max(0.0, (x + 0.5) * image.Width / width - 0.5);
        double fy = std::max(0.0, (y + 0.5) * image.Height / height - 0.5);
        int x0 = std::min(static_cast<int>(fx), image.Width - 1);
        int y0 = std::min(static_cast<int>(fy), image.Height - 1);
        int x1 = std::min(x0 + 1, image.Width - 1);
        int y1 = std::min(y0 + 1, image.Height - 1);
        double tx = fx - x0, ty = fy - y0;
        auto at = [&](int px, int py) {
          return image.Pixels[static_cast<size_t>(py) * image.Width + px];
        };
        auto mix = [&](int shift) {
          double top = Channel(at(x0, y0), shift) * (1 - tx) + Channel(at(x1, y0), shift) * tx;
          double bottom = Channel(at(x0, y1), shift) * (1 - tx) + Channel(at(x1, y1), shift) * tx;
          return static_cast<int>(std::lround(top * (1 - ty) + bottom * ty));
        };
        value = MakePixel(mix(24), mix(16), mix(8), mix(0));
      }
      result.Pixels[static_cast<size_t>(y) * width + x] = value;
    }
  }
  return result;
}

RECT FitImage(const RECT& bounds, SIZE size, TcxImageFitMode mode) {
  int bw = RectWidth(bounds), bh = RectHeight(bounds);
  int w = size.cx, h = size.cy;
  switch (mode) {
  case ifmStretch:
    return bounds;
  case ifmProportionalStretch:
  case ifmFit:
  case ifmFill: {
    if (w <= 0 || h <= 0)
      break;
    bool fitsAlready = w <= bw && h <= bh;
    if (mode == ifmProportionalStretch && fitsAlready)
      break; // shrinks only
    bool byWidth = (mode == ifmFill)
                       ? (static_cast<long long>(bw) * h > static_cast<long long>(bh) * w)
                       : (static_cast<long long>(bw) * h <= static_cast<long long>(bh) * w);
    if (byWidth) {
      h = MulDiv(h, bw, w);
      w = bw;
    } else {
      w = MulDiv(w, bh, h);
      h = bh;
    }
    break;
  }
  case ifmNormal:
    break;
  }
  int left = bounds.left + (bw - w) / 2;
  int top = bounds.top + (bh - h) / 2;
  return {left, top, left + w, top + h};
}

} // namespace

void cxDrawImage(TcxCanvas& ACanvas, const RECT& ARect, TBitmap* AGlyph, HIMAGELIST AImages,
                 int AImageIndex, TcxImageFitMode AFitMode, TcxImageDrawMode ADrawMode,
                 bool AUseLeftBottomPixelAsTransparent, const TdxColorPalette* APalette,
                 const TdxScaleFactor* AScaleFactor, bool ASmoothImage) {
  TcxImagePixels image;
  bool read = false;
  if (AGlyph != nullptr && !AGlyph->Empty()) {
    AGlyph->FreeContext();
    read = ReadBitmapPixels(AGlyph->Handle(), AGlyph->Width(), AGlyph->Height(),
                            AUseLeftBottomPixelAsTransparent, image);
  } else if (AImages != nullptr) {
    read = ReadImageListPixels(AImages, AImageIndex, image);
  }
  if (!read || image.Width <= 0 || image.Height <= 0)
    return;
  cxDrawImagePixels(ACanvas, ARect, std::move(image), AFitMode, ADrawMode, APalette, AScaleFactor,
                    ASmoothImage, 96);
}

bool cxReadImageListPixels(HIMAGELIST AImages, int AIndex, TcxImagePixels& AImage) {
  // AImage is left as it is when there is no image.
  return ReadImageListPixels(AImages, AIndex, AImage);
}

TcxImagePixels cxResampleImage(const TcxImagePixels& AImage, int AWidth, int AHeight,
                               bool ASmooth) {
  return Resample(AImage, AWidth, AHeight, ASmooth);
}

RECT cxFitImageRect(const RECT& ABounds, SIZE ASize, TcxImageFitMode AFitMode) {
  return FitImage(ABounds, ASize, AFitMode);
}

SIZE cxScaleImageSize(SIZE ASize, const TdxScaleFactor* AScaleFactor, int ASourceDPI) {
  const TdxScaleFactor* factor = AScaleFactor != nullptr ? AScaleFactor : dxDefaultScaleFactor();
  if (factor != nullptr)
    return factor->Apply(ASize, ASourceDPI, 96);
  TdxScaleFactor one;
  return one.Apply(ASize, ASourceDPI, 96);
}

void cxDrawImagePixels(TcxCanvas& ACanvas, const RECT& ARect, TcxImagePixels AImage,
                       TcxImageFitMode AFitMode, TcxImageDrawMode ADrawMode,
                       const TdxColorPalette* APalette, const TdxScaleFactor* AScaleFactor,
                       bool ASmoothImage, int ASourceDPI) {
  if (AImage.Width <= 0 || AImage.Height <= 0 ||
      AImage.Pixels.size() != static_cast<size_t>(AImage.Width) * AImage.Height)
    return;
  if (APalette != nullptr && *APalette)
    ApplyPalette(AImage, *APalette);
  ApplyDrawMode(AImage, ADrawMode);

  RECT dest = FitImage(
      ARect, cxScaleImageSize({AImage.Width, AImage.Height}, AScaleFactor, ASourceDPI), AFitMode);
  int w = RectWidth(dest), h = RectHeight(dest);
  if (w <= 0 || h <= 0)
    return;
  TcxImagePixels scaled = Resample(AImage, w, h, ASmoothImage);
  TcxBitmap32 bitmap(w, h);
  BYTE* bits = bitmap.Bits();
  HDC dc = ACanvas.Handle();
  if (bits == nullptr || dc == nullptr)
    return;
  std::memcpy(bits, scaled.Pixels.data(), scaled.Pixels.size() * sizeof(DWORD));
  int saved = ::SaveDC(dc);
  TScopeExit restore([dc, saved] { ::RestoreDC(dc, saved); });
  ::IntersectClipRect(dc, ARect.left, ARect.top, ARect.right, ARect.bottom);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, dest.left, dest.top, w, h, bitmap.Canvas().TryHandle(), 0, 0, w, h, blend);
}

} // namespace telvora
