#include "platform/Graphics.h"

#include "platform/SysUtils.h"

#include <cwchar>
#include <map>

namespace telvora {

COLORREF ColorToRGB(TColor color) noexcept {
  if ((color & clSystemColor) == clSystemColor)
    return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

bool IdentToColor(const std::wstring& ident, TColor& color) {
  static const std::map<std::wstring, TColor> names = {{L"clWindow", clWindow},
                                                       {L"clWindowText", clWindowText},
                                                       {L"clWindowFrame", clWindowFrame},
                                                       {L"clHighlight", clHighlight},
                                                       {L"clHighlightText", clHighlightText},
                                                       {L"clBtnFace", clBtnFace},
                                                       {L"clBtnShadow", clBtnShadow},
                                                       {L"clGrayText", clGrayText},
                                                       {L"clBtnText", clBtnText},
                                                       {L"clBtnHighlight", clBtnHighlight},
                                                       {L"cl3DDkShadow", cl3DDkShadow},
                                                       {L"cl3DLight", cl3DLight},
                                                       {L"clInfoText", clInfoText},
                                                       {L"clInfoBk", clInfoBk},
                                                       {L"clMenu", clMenu},
                                                       {L"clMenuText", clMenuText},
                                                       {L"clHotLight", clHotLight},
                                                       {L"clBlack", clBlack},
                                                       {L"clMaroon", clMaroon},
                                                       {L"clGreen", clGreen},
                                                       {L"clOlive", clOlive},
                                                       {L"clNavy", clNavy},
                                                       {L"clPurple", clPurple},
                                                       {L"clTeal", clTeal},
                                                       {L"clGray", clGray},
                                                       {L"clSilver", clSilver},
                                                       {L"clRed", clRed},
                                                       {L"clLime", clLime},
                                                       {L"clYellow", clYellow},
                                                       {L"clBlue", clBlue},
                                                       {L"clFuchsia", clFuchsia},
                                                       {L"clAqua", clAqua},
                                                       {L"clWhite", clWhite},
                                                       {L"clDefault", clDefault},
                                                       {L"clNone", clNone}};
  // Colour names are identifiers: case ignored.
  for (const auto& [name, value] : names)
    if (SameText(name, ident)) {
      color = value;
      return true;
    }
  return false;
}

void TFont::Assign(const TFont& source) {
  if (&source == this)
    return;
  FName = source.FName;
  FHeight = source.FHeight;
  FCharset = source.FCharset;
  FColor = source.FColor;
  FStyle = source.FStyle;
  Changed();
}

void TFont::SetName(const std::wstring& value) {
  if (value != FName) {
    FName = value;
    Changed();
  }
}

void TFont::SetHeight(int value) {
  if (value != FHeight) {
    FHeight = value;
    Changed();
  }
}

void TFont::SetCharset(BYTE value) {
  if (value != FCharset) {
    FCharset = value;
    Changed();
  }
}

void TFont::SetColor(TColor value) {
  if (value != FColor) {
    FColor = value;
    Changed();
  }
}

void TFont::SetStyle(unsigned value) {
  if (value != FStyle) {
    FStyle = value;
    Changed();
  }
}

void TFont::Changed() {
  // The old font stays alive until the listeners have taken the new one: a
  // window or context may still have it selected.
  TSharedGdiObject previous = std::move(FHandle);
  if (OnChange)
    OnChange();
}

HFONT TFont::Handle() const {
  if (!FHandle)
    FHandle = TSharedGdiObject::Font(FontToLogFont(*this));
  return static_cast<HFONT>(FHandle.Get());
}

LOGFONTW FontToLogFont(const TFont& font) {
  LOGFONTW lf{};
  lf.lfHeight = font.Height();
  lf.lfWeight = (font.Style() & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font.Style() & fsItalic) ? TRUE : FALSE;
  lf.lfUnderline = (font.Style() & fsUnderline) ? TRUE : FALSE;
  lf.lfStrikeOut = (font.Style() & fsStrikeOut) ? TRUE : FALSE;
  lf.lfCharSet = font.Charset();
  lf.lfQuality = DEFAULT_QUALITY;
  wcsncpy(lf.lfFaceName, font.Name().c_str(), LF_FACESIZE - 1);
  return lf;
}

int FontTextHeight(HFONT font) {
  TWindowDC dc(nullptr);
  TSelectObject select(dc.Get(), font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc.Get(), &tm);
  return tm.tmHeight;
}

} // namespace telvora
