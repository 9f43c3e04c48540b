#pragma once
// Colours and fonts of the window framework.

#include "platform/Handles.h"
#include "platform/SharedGdiObjects.h"

#include <cstdint>
#include <functional>
#include <string>

namespace telvora {

// $00BBGGRR for an RGB colour; $FF000000 + index for a system colour.
using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clNone = 0x1FFFFFFF;

// The RGB value of a colour (system colours resolved through GetSysColor).
COLORREF ColorToRGB(TColor color) noexcept;
// The colour of a name such as "clBtnFace" (case ignored); false when unknown.
bool IdentToColor(const std::wstring& ident, TColor& color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TFont {
public:
  TFont() = default;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  // Copies every attribute of `source` (the handle is rebuilt on demand).
  void Assign(const TFont& source);

  const std::wstring& Name() const noexcept { return FName; }
  void SetName(const std::wstring& value);
  int Height() const noexcept { return FHeight; }
  void SetHeight(int value);
  BYTE Charset() const noexcept { return FCharset; }
  void SetCharset(BYTE value);
  TColor Color() const noexcept { return FColor; }
  void SetColor(TColor value);
  unsigned Style() const noexcept { return FStyle; }
  void SetStyle(unsigned value);

  // The font object, taken on first use and kept until an attribute
  // changes. Fonts of the same attributes share one object.
  HFONT Handle() const;

  std::function<void()> OnChange;

private:
  void Changed();

  std::wstring FName = L"Tahoma";
  int FHeight = -11;
  BYTE FCharset = DEFAULT_CHARSET;
  TColor FColor = clWindowText;
  unsigned FStyle = 0;
  mutable TSharedGdiObject FHandle;
};

// The LOGFONTW a font's attributes describe.
LOGFONTW FontToLogFont(const TFont& font);

// Text-metric height of a font on the screen.
int FontTextHeight(HFONT font);

inline int RectWidth(const RECT& r) noexcept {
  return r.right - r.left;
}
inline int RectHeight(const RECT& r) noexcept {
  return r.bottom - r.top;
}

// The header of a 32-bit top-down DIB (rows from the top, BI_RGB).
inline BITMAPINFO TopDown32BitInfo(int width, int height) noexcept {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

} // namespace telvora
