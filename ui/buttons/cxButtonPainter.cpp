#include "ui/buttons/cxButtonPainter.h"

#include "ui/buttons/cxButtonViewInfo.h"
#include "ui/buttons/cxButtons.h"
#include "ui/support/dxScaleFactor.h"
#include "ui/themes/dxThemeManager.h"
#include "ui/themes/dxThemedDrawing.h"
#include "ui/themes/dxUxTheme.h"

#include <vssym32.h>

namespace telvora {

TcxCustomButton* TcxButtonPainter::Button() {
  return FViewInfo.Params().Button;
}

TcxCustomLookAndFeelPainter* TcxButtonPainter::GetLookAndFeelPainter() {
  if (TcxCustomButton* button = Button())
    return button->GetPainter();
  return FViewInfo.Params().Painter;
}

const TdxScaleFactor* TcxButtonPainter::GetScaleFactor() {
  if (TcxCustomButton* button = Button())
    return button->GetScaleFactor();
  return FViewInfo.Params().ScaleFactor;
}

TcxLookAndFeelStyle TcxButtonPainter::GetLookAndFeelStyle() {
  TcxCustomButton* button = Button();
  if (button == nullptr)
    return FViewInfo.Params().LookAndFeelStyle;
  TcxLookAndFeel& lookAndFeel = button->LookAndFeel();
  if (lookAndFeel.SkinPainter() != nullptr)
    return lfsSkin;
  if (lookAndFeel.NativeStyle())
    return lfsNative;
  return cxLookAndFeelStyleMap[lookAndFeel.Kind()];
}

UINT TcxButtonPainter::GetBiDiFlags() {
  return FViewInfo.BiDiFlags();
}

void TcxButtonPainter::DrawButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                  TColor AColor, TcxButtonPart APart) {
  if (FViewInfo.Params().Kind == cxbkCommandLink) {
    DrawCommandLinkButton(ACanvas, R, AState, AColor);
    return;
  }
  if (FViewInfo.Params().NeedDrawParts) {
    DrawSpeedButton(ACanvas, R, AState, AColor, APart);
    return;
  }
  if (TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter())
    painter->DrawScaledButton(ACanvas, R, AState, GetScaleFactor(), APart, AColor);
}

void TcxButtonPainter::DrawSpeedButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                       TColor AColor, TcxButtonPart APart) {
  TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter();
  if (painter == nullptr)
    return;
  const TcxButtonViewInfoParams& params = FViewInfo.Params();
  const TcxLookAndFeelStyle style = GetLookAndFeelStyle();
  RECT face = R;
  const bool borderShows =
      !params.Flat || (AState != cxbsDisabled && (params.PointerOver || AState != cxbsNormal));
  if (style != lfsSkin && borderShows && style != lfsNative && style != lfsOffice11) {
    painter->DrawButtonBorder(ACanvas, face, AState);
    const int border = painter->ButtonBorderSize(AState);
    InflateRect(&face, -border, -border);
  }
  const bool faceShows = !params.Transparent ||
                         (AState != cxbsDisabled && AState != cxbsNormal && !params.PointerOver) ||
                         (params.PointerOver && painter->IsButtonHotTrack());
  if (!faceShows)
    return;
  TcxSaveClipRegionGuard clip(ACanvas);
  ACanvas.IntersectClipRect(face);
  painter->DrawScaledButton(ACanvas, face, AState, GetScaleFactor(), false, true, APart, AColor);
}

void TcxButtonPainter::DrawCommandLinkButton(TcxCanvas& ACanvas, const RECT& R,
                                             TcxButtonState AState, TColor AColor) {
  TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter();
  if (painter == nullptr)
    return;
  painter->DrawScaledCommandLinkBackground(ACanvas, R, AState, GetScaleFactor(), AColor);
  const TcxButtonGlyph* glyph = FViewInfo.Params().Glyph;
  if (glyph == nullptr || !glyph->IsImageAssigned())
    painter->DrawScaledCommandLinkGlyph(ACanvas, FViewInfo.GlyphPos(), AState, GetScaleFactor());
}

void TcxButtonPainter::DrawDropDownArrow(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  if (TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter())
    painter->DrawScaledScrollBarArrow(ACanvas, R, AState, adDown, GetScaleFactor());
}

void TcxButtonPainter::DrawFocusRect(TcxCanvas& ACanvas, const RECT& R) {
  if (TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter())
    ACanvas.DrawFocusRect(painter->ScaledButtonFocusRect(ACanvas, R, GetScaleFactor()));
}

void TcxButtonPainter::DrawParentBackground(TcxCanvas& ACanvas, const RECT& R) {
  TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter();
  TcxCustomButton* button = Button();
  if (painter == nullptr || button == nullptr)
    return;
  switch (painter->LookAndFeelStyle()) {
  case lfsNative:
    if (const TdxTheme theme = OpenTheme(totButton);
        theme != 0 &&
        IsThemeBackgroundPartiallyTransparentCached(theme, BP_PUSHBUTTON, PBS_NORMAL)) {
      cxDrawThemeParentBackground(button, ACanvas, R);
      return;
    }
    break;
  case lfsSkin:
    cxDrawTransparentControlBackground(button, ACanvas, R, true);
    return;
  default:
    break;
  }
  if (button->SpeedButtonOptions().Transparent())
    cxDrawTransparentControlBackground(button, ACanvas, R, true);
}

int TcxButtonPainter::GetDropDownButtonSize() {
  TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter();
  return painter != nullptr ? painter->GetScaledDropDownButtonRightPartSize(GetScaleFactor()) : 0;
}

int TcxButtonPainter::GetDropDownArrowSize() {
  return GetDropDownButtonSize();
}

void TcxButtonPainter::DrawText(TcxCanvas& ACanvas, const std::wstring& AText, const RECT& R,
                                UINT ADrawTextFlags) {
  HDC dc = ACanvas.Handle();
  if (dc == nullptr)
    return;
  RECT r = R;
  cxDrawText(dc, AText, r, ADrawTextFlags, -1, clDefault, TRANSPARENT);
}

void TcxButtonPainter::DrawText(TcxCanvas& ACanvas, const std::wstring& AText, const RECT& R,
                                TcxButtonState AState, UINT ADrawTextFlags) {
  if (AText.empty() || !ACanvas.RectVisible(R))
    return;
  ADrawTextFlags |= GetBiDiFlags();
  TBrush& brush = ACanvas.Brush();
  const TBrushStyle savedStyle = brush.Style();
  brush.SetStyle(bsClear);
  TScopeExit restoreBrush([&brush, savedStyle] { brush.SetStyle(savedStyle); });
  const TcxLookAndFeelStyle style = GetLookAndFeelStyle();
  if (AState == cxbsDisabled && style != lfsNative && style != lfsSkin) {
    TFont& font = ACanvas.Font();
    const TColor textColor = font.Color();
    font.SetColor(clBtnHighlight);
    RECT embossed = R;
    OffsetRect(&embossed, 1, 1);
    DrawText(ACanvas, AText, embossed, ADrawTextFlags);
    font.SetColor(textColor);
  }
  DrawText(ACanvas, AText, R, ADrawTextFlags);
}

TColor TcxButtonPainter::GetTextColor(TcxButtonState AState, TColor ADefaultColor) {
  if (const TcxButtonColors* colors = FViewInfo.Params().Colors) {
    const TColor assigned = colors->GetTextColorByState(AState);
    if (assigned != clDefault)
      return assigned;
  }
  TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter();
  if (painter == nullptr)
    return ADefaultColor;
  if (FViewInfo.Params().Kind == cxbkCommandLink)
    return painter->DefaultCommandLinkTextColor(AState, ADefaultColor);
  return painter->ButtonSymbolColor(AState, ADefaultColor);
}

TColor TcxButtonPainter::GetDescriptionTextColor(TcxButtonState AState, TColor ADefaultColor) {
  TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter();
  return painter != nullptr ? painter->ButtonDescriptionTextColor(AState, ADefaultColor)
                            : ADefaultColor;
}

POINT TcxButtonPainter::GetPressedTextShift() {
  TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter();
  const int s = painter != nullptr ? painter->ScaledButtonTextShift(GetScaleFactor()) : 0;
  return POINT{s, s};
}

SIZE TcxButtonPainter::GetCommandLinkGlyphSize() {
  TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter();
  return painter != nullptr ? painter->GetScaledCommandLinkGlyphSize(GetScaleFactor()) : SIZE{};
}

RECT TcxButtonPainter::GetCommandLinkMargins() {
  TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter();
  return painter != nullptr ? painter->GetScaledCommandLinkMargins(GetScaleFactor()) : RECT{};
}

} // namespace telvora
