#include "ui/themes/dxThemedDrawing.h"

#include "platform/Handles.h"
#include "ui/themes/dxUxTheme.h"

#include <algorithm>

namespace telvora {

namespace {
// The framework's controls paint straight to their windows: no parent
// paints double-buffered.
bool ParentPaintsDoubleBuffered(TWinControl* /*AControl*/) {
  return false;
}
} // namespace

void cxDrawThemeParentBackground(TWinControl* AControl, TcxCanvas& ACanvas, const RECT& ARect) {
  if (AControl == nullptr)
    return;
  if (ParentPaintsDoubleBuffered(AControl) || !IsThemeLibraryLoaded()) {
    cxDrawTransparentControlBackground(AControl, ACanvas, ARect, false);
    return;
  }
  DrawThemeParentBackground(AControl->Handle(), ACanvas.Handle(), &ARect);
}

namespace {
// Options of the theme text function.
constexpr DWORD kDttTextColor = 0x1;
constexpr DWORD kDttGlowSize = 0x800;
constexpr DWORD kDttComposited = 0x2000;
} // namespace

void dxDrawTextOnGlass(HDC DC, const std::wstring& AText, const TFont& AFont, const RECT& ABounds,
                       TColor AColor, UINT AFlags, int AGlowingSize, bool ATransparent,
                       int AAngle) {
  int w = RectWidth(ABounds);
  int h = RectHeight(ABounds);
  if (AText.empty() || w <= 0 || h <= 0)
    return;
  TdxTheme theme = OpenThemeData(nullptr, L"Window");
  TScopeExit closeTheme([theme] {
    if (theme != 0)
      CloseThemeData(theme);
  });
  TcxBitmap32 image(w, h, true);
  HDC dc = image.Canvas().TryHandle();
  if (!ATransparent)
    BitBlt(dc, 0, 0, w, h, DC, ABounds.left, ABounds.top, SRCCOPY);
  LOGFONTW lf = FontToLogFont(AFont);
  lf.lfEscapement = AAngle * 10;
  lf.lfOrientation = AAngle * 10;
  TGdiObject font(CreateFontIndirectW(&lf));
  TSelectObject select(dc, font.Get());
  TdxDTTOpts options{};
  options.dwSize = sizeof(options);
  options.dwFlags = kDttComposited | kDttTextColor | (AGlowingSize > 0 ? kDttGlowSize : 0);
  options.crText = ColorToRGB(AColor);
  options.iGlowSize = AGlowingSize;
  RECT r{0, 0, w, h};
  bool drawn =
      theme != 0 && SUCCEEDED(DrawThemeTextEx(theme, dc, 0, 0, AText,
                                              static_cast<int>(AText.size()), AFlags, r, options));
  if (!drawn)
    cxDrawText(dc, AText, r, AFlags, -1, AColor, TRANSPARENT);
  if (ATransparent) {
    BYTE* bits = image.Bits();
    bool composed = false;
    for (int i = 0; bits != nullptr && i < w * h && !composed; ++i)
      composed = bits[i * 4 + 3] != 0;
    if (bits != nullptr && !composed) {
      // The text came without coverage (no composited theme text): the same
      // text on white tells each pixel's coverage; on black it is already
      // the premultiplied colour.
      TcxBitmap32 onWhite(w, h);
      HDC whiteDC = onWhite.Canvas().TryHandle();
      PatBlt(whiteDC, 0, 0, w, h, WHITENESS);
      TSelectObject selectWhite(whiteDC, font.Get());
      RECT wr{0, 0, w, h};
      cxDrawText(whiteDC, AText, wr, AFlags, -1, AColor, TRANSPARENT);
      const BYTE* white = onWhite.Bits();
      for (int i = 0; white != nullptr && i < w * h; ++i) {
        int lift = 0;
        for (int c = 0; c < 3; ++c)
          lift += std::clamp(static_cast<int>(white[i * 4 + c]) - bits[i * 4 + c], 0, 255);
        int alpha = 255 - lift / 3;
        for (int c = 0; c < 3; ++c)
          bits[i * 4 + c] = static_cast<BYTE>(std::min<int>(bits[i * 4 + c], alpha));
        bits[i * 4 + 3] = static_cast<BYTE>(alpha);
      }
    }
  }
  if (ATransparent) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(DC, ABounds.left, ABounds.top, w, h, dc, 0, 0, w, h, blend);
  } else {
    BitBlt(DC, ABounds.left, ABounds.top, w, h, dc, 0, 0, SRCCOPY);
  }
}

} // namespace telvora
