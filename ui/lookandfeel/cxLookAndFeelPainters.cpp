#include "ui/lookandfeel/cxLookAndFeelPainters.h"

#include "ui/lookandfeel/cxPngResourceImage.h"
#include "ui/lookandfeel/dxOffice11.h"
#include "ui/support/dxScaleFactor.h"

#include <windows.h>

namespace telvora {

namespace {

// A length designed for 96 DPI at the factor's resolution; none scales nothing.
int ScaleValue(const TdxScaleFactor* AScaleFactor, int AValue) {
  return AScaleFactor != nullptr ? AScaleFactor->Apply(AValue) : AValue;
}

RECT Inflated(RECT R, int D) {
  InflateRect(&R, D, D);
  return R;
}

constexpr wchar_t kCommandLinkGlyphResourceName[] = L"CX_COMMANDLINKGLYPH";
constexpr wchar_t kCommandLinkGlyphResourceType[] = L"PNG";

} // namespace

// ======================================================================= base

void TcxCustomLookAndFeelPainter::DoDrawScaledButtonCaption(
    TcxCanvas& ACanvas, RECT R, const std::wstring& ACaption, TcxButtonState AState,
    TColor ATextColor, bool ADrawBorder, bool /*AIsToolButton*/, bool AWordWrap,
    const TdxScaleFactor* AScaleFactor, TcxButtonPart /*APart*/) {
  RECT T = R;
  if (ADrawBorder)
    T = Inflated(T, -ButtonBorderSize(AState));
  ACanvas.Font().SetColor(ATextColor == clDefault ? ButtonSymbolColor(AState, clDefault)
                                                  : ATextColor);
  // An even height, then one pixel more upwards for low rectangles.
  T.bottom -= (T.bottom - T.top) & 1;
  if (T.bottom - T.top < 18)
    --T.top;
  if (AState == cxbsPressed) {
    const int s = ScaledButtonTextShift(AScaleFactor);
    OffsetRect(&T, s, s);
  }
  if (ACaption.empty())
    return;
  ACanvas.Brush().SetStyle(bsClear);
  TScopeExit solid([&ACanvas] { ACanvas.Brush().SetStyle(bsSolid); });
  const int flags =
      cxAlignHCenter | cxAlignVCenter | cxShowPrefix | (AWordWrap ? cxWordBreak : cxSingleLine);
  ACanvas.DrawText(ACaption, T, flags, AState != cxbsDisabled);
}

void TcxCustomLookAndFeelPainter::ReleaseImageResources() {
  // The push-button operations load no image that outlives a call: the
  // command-link glyph is read from the resources and released each time.
}

std::wstring TcxCustomLookAndFeelPainter::LookAndFeelName() {
  return {};
}

TcxLookAndFeelStyle TcxCustomLookAndFeelPainter::LookAndFeelStyle() {
  return lfsStandard;
}

void TcxCustomLookAndFeelPainter::ResetLookAndFeelSettings() {}

void TcxCustomLookAndFeelPainter::DrawScaledScrollBarArrow(TcxCustomCanvas& ACanvas, RECT R,
                                                           TcxButtonState AState,
                                                           TcxArrowDirection AArrowDirection,
                                                           const TdxScaleFactor* AScaleFactor) {
  RECT Q = R;
  if (AState == cxbsPressed) {
    const int s = ScaledButtonTextShift(AScaleFactor);
    OffsetRect(&Q, s, s);
  }
  POINT P[3];
  CalculateArrowPoints(Q, P, AArrowDirection, true, 0);
  if (AState == cxbsDisabled) {
    const int d = ScaleValue(AScaleFactor, 1);
    for (POINT& p : P) {
      p.x += d;
      p.y += d;
    }
    ACanvas.FillPolygon(P, clBtnHighlight);
    for (POINT& p : P) {
      p.x -= d;
      p.y -= d;
    }
    ACanvas.FillPolygon(P, clBtnShadow);
  } else {
    ACanvas.FillPolygon(P, ButtonSymbolColor(AState, clDefault));
  }
}

int TcxCustomLookAndFeelPainter::ButtonBorderSize(TcxButtonState /*AState*/) {
  return 0;
}

TColor TcxCustomLookAndFeelPainter::ButtonColor(TcxButtonState /*AState*/) {
  return clBtnFace;
}

const TdxColorPalette* TcxCustomLookAndFeelPainter::ButtonColorPalette(TcxButtonState /*AState*/) {
  return nullptr;
}

TColor TcxCustomLookAndFeelPainter::ButtonDescriptionTextColor(TcxButtonState /*AState*/,
                                                               TColor ADefaultColor) {
  return ADefaultColor;
}

TColor TcxCustomLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) {
  if (AState == cxbsDisabled)
    return clBtnShadow;
  return cxGetActualColor(ADefaultColor, clBtnText);
}

TcxButtonState TcxCustomLookAndFeelPainter::ButtonSymbolState(TcxButtonState AState) {
  return AState;
}

RECT TcxCustomLookAndFeelPainter::ScaledButtonFocusRect(TcxCanvas& /*ACanvas*/, RECT R,
                                                        const TdxScaleFactor* AScaleFactor) {
  const RECT result = Inflated(R, ScaleValue(AScaleFactor, -4));
  return IsRectEmpty(&result) ? R : result;
}

int TcxCustomLookAndFeelPainter::ScaledButtonTextOffset(const TdxScaleFactor* /*AScaleFactor*/) {
  return 0;
}

int TcxCustomLookAndFeelPainter::ScaledButtonTextShift(const TdxScaleFactor* /*AScaleFactor*/) {
  return 0;
}

void TcxCustomLookAndFeelPainter::DrawButtonBorder(TcxCustomCanvas& /*ACanvas*/, RECT /*R*/,
                                                   TcxButtonState /*AState*/) {}

void TcxCustomLookAndFeelPainter::DrawScaledButton(TcxCustomCanvas& ACanvas, RECT R,
                                                   TcxButtonState AState,
                                                   const TdxScaleFactor* /*AScaleFactor*/,
                                                   bool ADrawBorder, bool /*AIsToolButton*/,
                                                   TcxButtonPart /*APart*/, TColor AColor) {
  if (ADrawBorder) {
    DrawButtonBorder(ACanvas, R, AState);
    R = Inflated(R, -ButtonBorderSize(AState));
  }
  if (AColor == clDefault)
    AColor = ButtonColor(AState);
  ACanvas.FillRect(R, AColor);
}

void TcxCustomLookAndFeelPainter::DrawScaledDropDownButtonArrow(TcxCustomCanvas& ACanvas, RECT R,
                                                                TcxButtonState AState,
                                                                const TdxScaleFactor* AScaleFactor,
                                                                TColor AColor) {
  DrawScaledButton(ACanvas, R, AState, AScaleFactor, false, false, cxbpDropDownRightPart, AColor);
}

int TcxCustomLookAndFeelPainter::GetScaledDropDownButtonRightPartSize(
    const TdxScaleFactor* AScaleFactor) {
  return ScaleValue(AScaleFactor, 15);
}

bool TcxCustomLookAndFeelPainter::IsButtonHotTrack() {
  return false;
}

TColor TcxCustomLookAndFeelPainter::DefaultCommandLinkTextColor(TcxButtonState AState,
                                                                TColor ADefaultColor) {
  return ButtonSymbolColor(AState, ADefaultColor);
}

void TcxCustomLookAndFeelPainter::DrawScaledCommandLinkBackground(
    TcxCanvas& ACanvas, RECT R, TcxButtonState AState, const TdxScaleFactor* AScaleFactor,
    TColor AColor) {
  DrawScaledButton(ACanvas, R, AState, AScaleFactor, cxbpButton, AColor);
}

void TcxCustomLookAndFeelPainter::DrawScaledCommandLinkGlyph(TcxCanvas& ACanvas, POINT AGlyphPos,
                                                             TcxButtonState AState,
                                                             const TdxScaleFactor* AScaleFactor) {
  // The resource holds the normal frame above the hot one, each designed at
  // 96 DPI.
  const SIZE size = GetScaledCommandLinkGlyphSize(dxDefaultScaleFactor());
  RECT source{0, 0, size.cx, size.cy};
  RECT dest = source;
  if (AScaleFactor != nullptr)
    dest = AScaleFactor->Apply(dest);
  OffsetRect(&dest, AGlyphPos.x, AGlyphPos.y);
  if (AState == cxbsHot)
    OffsetRect(&source, 0, size.cy);
  cxDrawPngResource(ACanvas, GetModuleHandleW(nullptr), kCommandLinkGlyphResourceName,
                    kCommandLinkGlyphResourceType, source, dest);
}

SIZE TcxCustomLookAndFeelPainter::GetScaledCommandLinkGlyphSize(
    const TdxScaleFactor* AScaleFactor) {
  return {ScaleValue(AScaleFactor, 20), ScaleValue(AScaleFactor, 20)};
}

RECT TcxCustomLookAndFeelPainter::GetScaledCommandLinkMargins(const TdxScaleFactor* AScaleFactor) {
  return {ScaleValue(AScaleFactor, 7), ScaleValue(AScaleFactor, 10), ScaleValue(AScaleFactor, 7),
          ScaleValue(AScaleFactor, 10)};
}

void TcxCustomLookAndFeelPainter::DrawScaledButton(TcxCustomCanvas& ACanvas, const RECT& R,
                                                   TcxButtonState AState,
                                                   const TdxScaleFactor* AScaleFactor,
                                                   TcxButtonPart APart, TColor AColor) {
  DrawScaledButton(ACanvas, R, AState, AScaleFactor, true, false, APart, AColor);
}

void TcxCustomLookAndFeelPainter::DrawScaledButton(
    TcxCanvas& ACanvas, const RECT& R, const std::wstring& ACaption, TcxButtonState AState,
    const TdxScaleFactor* AScaleFactor, bool ADrawBorder, TColor AColor, TColor ATextColor,
    bool AWordWrap, bool AIsToolButton, TcxButtonPart APart) {
  DrawScaledButton(ACanvas, R, AState, AScaleFactor, ADrawBorder, AIsToolButton, APart, AColor);
  if (!ACaption.empty())
    DoDrawScaledButtonCaption(ACanvas, R, ACaption, AState, ATextColor, ADrawBorder, AIsToolButton,
                              AWordWrap, AScaleFactor, APart);
}

void TcxCustomLookAndFeelPainter::DrawButton(TcxCanvas& ACanvas, const RECT& R,
                                             const std::wstring& ACaption, TcxButtonState AState,
                                             bool ADrawBorder, TColor AColor, TColor ATextColor,
                                             bool AWordWrap, bool AIsToolButton,
                                             TcxButtonPart APart) {
  DrawScaledButton(ACanvas, R, ACaption, AState, dxSystemScaleFactor(), ADrawBorder, AColor,
                   ATextColor, AWordWrap, AIsToolButton, APart);
}

void TcxCustomLookAndFeelPainter::CalculateArrowPoints(RECT R, POINT (&P)[3],
                                                       TcxArrowDirection AArrowDirection,
                                                       bool AProportional, int AArrowSize) {
  RECT Q = R;
  if (AProportional) {
    // Square about the centre; C++ division truncates towards zero.
    const int d = (Q.right - Q.left) - (Q.bottom - Q.top);
    if (d > 0)
      InflateRect(&Q, -(d / 2), 0);
    else
      InflateRect(&Q, 0, d / 2);
  }
  int cx, cy;
  if (AArrowDirection == adUp || AArrowDirection == adDown) {
    if (AArrowSize == 0)
      AArrowSize = (Q.right - Q.left - 1) / 4 + 1;
    cx = 2 * AArrowSize - 1;
    cy = AArrowSize;
  } else {
    if (AArrowSize == 0)
      AArrowSize = (Q.bottom - Q.top - 1) / 4 + 1;
    cx = AArrowSize;
    cy = 2 * AArrowSize - 1;
  }
  const int L = Q.left, T = Q.top, Rt = Q.right, B = Q.bottom;
  const int h = MulDiv(T + B - cy, 1, 2);
  switch (AArrowDirection) {
  case adDown:
    P[2] = {(L + Rt - cx) / 2, h};
    P[0] = {P[2].x + cx - 1, h};
    P[1] = {(L + Rt - 1) / 2, h + cy - 1};
    break;
  case adUp:
    P[1] = {(L + Rt - 1) / 2, h};
    P[0] = {(L + Rt - cx) / 2, P[1].y + cy - 1};
    P[2] = {P[0].x + cx - 1, P[0].y};
    break;
  case adLeft:
    P[1] = {(L + Rt - cx) / 2, (T + B) / 2};
    P[2] = {P[1].x + cx - 1, h};
    P[0] = {P[2].x, P[2].y + cy - 1};
    break;
  case adRight:
    P[0] = {(L + Rt - cx) / 2, h};
    P[1] = {P[0].x + cx - 1, (T + B) / 2};
    P[2] = {P[0].x, P[0].y + cy - 1};
    break;
  }
}

RECT TcxCustomLookAndFeelPainter::ButtonFocusRect(TcxCanvas& ACanvas, const RECT& R) {
  return ScaledButtonFocusRect(ACanvas, R, dxSystemScaleFactor());
}

int TcxCustomLookAndFeelPainter::ButtonTextOffset() {
  return ScaledButtonTextOffset(dxSystemScaleFactor());
}

int TcxCustomLookAndFeelPainter::ButtonTextShift() {
  return ScaledButtonTextShift(dxSystemScaleFactor());
}

int TcxCustomLookAndFeelPainter::GetDropDownButtonRightPartSize() {
  return GetScaledDropDownButtonRightPartSize(dxSystemScaleFactor());
}

void TcxCustomLookAndFeelPainter::DrawCommandLinkBackground(TcxCanvas& ACanvas, const RECT& R,
                                                            TcxButtonState AState, TColor AColor) {
  DrawScaledCommandLinkBackground(ACanvas, R, AState, dxSystemScaleFactor(), AColor);
}

void TcxCustomLookAndFeelPainter::DrawCommandLinkGlyph(TcxCanvas& ACanvas, POINT AGlyphPos,
                                                       TcxButtonState AState) {
  DrawScaledCommandLinkGlyph(ACanvas, AGlyphPos, AState, dxSystemScaleFactor());
}

SIZE TcxCustomLookAndFeelPainter::GetCommandLinkGlyphSize() {
  return GetScaledCommandLinkGlyphSize(dxSystemScaleFactor());
}

RECT TcxCustomLookAndFeelPainter::GetCommandLinkMargins() {
  return GetScaledCommandLinkMargins(dxSystemScaleFactor());
}

// =================================================================== standard

std::wstring TcxStandardLookAndFeelPainter::LookAndFeelName() {
  return L"Standard";
}

TcxLookAndFeelStyle TcxStandardLookAndFeelPainter::LookAndFeelStyle() {
  return lfsStandard;
}

int TcxStandardLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) {
  return AState == cxbsDefault ? 3 : 2;
}

int TcxStandardLookAndFeelPainter::ScaledButtonTextOffset(const TdxScaleFactor* AScaleFactor) {
  return ScaleValue(AScaleFactor, 1);
}

int TcxStandardLookAndFeelPainter::ScaledButtonTextShift(const TdxScaleFactor* AScaleFactor) {
  return ScaleValue(AScaleFactor, 1);
}

void TcxStandardLookAndFeelPainter::DrawButtonBorder(TcxCustomCanvas& ACanvas, RECT R,
                                                     TcxButtonState AState) {
  if (AState == cxbsPressed) {
    ACanvas.FrameRect(R, clBlack);
    R = Inflated(R, -1);
    ACanvas.DrawComplexFrame(R, clBtnShadow, clBtnShadow);
    return;
  }
  if (AState == cxbsDefault) {
    ACanvas.FrameRect(R, clBlack);
    R = Inflated(R, -1);
  }
  ACanvas.DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
  R = Inflated(R, -1);
  ACanvas.DrawComplexFrame(R, cl3DLight, clBtnShadow);
}

bool TcxStandardLookAndFeelPainter::IsButtonHotTrack() {
  return false;
}

// ======================================================================= flat

std::wstring TcxFlatLookAndFeelPainter::LookAndFeelName() {
  return L"Flat";
}

TcxLookAndFeelStyle TcxFlatLookAndFeelPainter::LookAndFeelStyle() {
  return lfsFlat;
}

int TcxFlatLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) {
  return AState == cxbsDefault ? 2 : 1;
}

int TcxFlatLookAndFeelPainter::ScaledButtonTextOffset(const TdxScaleFactor* AScaleFactor) {
  return ScaleValue(AScaleFactor, 1);
}

int TcxFlatLookAndFeelPainter::ScaledButtonTextShift(const TdxScaleFactor* AScaleFactor) {
  return ScaleValue(AScaleFactor, 1);
}

void TcxFlatLookAndFeelPainter::DrawButtonBorder(TcxCustomCanvas& ACanvas, RECT R,
                                                 TcxButtonState AState) {
  switch (AState) {
  case cxbsPressed:
    ACanvas.DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
    break;
  case cxbsDefault:
    ACanvas.FrameRect(R, clBlack);
    ACanvas.DrawComplexFrame(Inflated(R, -1), clBtnHighlight, clBtnShadow);
    break;
  default:
    ACanvas.DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
    break;
  }
}

bool TcxFlatLookAndFeelPainter::IsButtonHotTrack() {
  return false;
}

// ================================================================= ultra-flat

std::wstring TcxUltraFlatLookAndFeelPainter::LookAndFeelName() {
  return L"UltraFlat";
}

TcxLookAndFeelStyle TcxUltraFlatLookAndFeelPainter::LookAndFeelStyle() {
  return lfsUltraFlat;
}

int TcxUltraFlatLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) {
  return AState == cxbsDefault ? 2 : 1;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonColor(TcxButtonState AState) {
  switch (AState) {
  case cxbsHot:
    return GetLightSelColor();
  case cxbsPressed:
    return GetLightDownedSelColor();
  default:
    return clBtnFace;
  }
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState,
                                                         TColor ADefaultColor) {
  if (AState == cxbsPressed)
    return clHighlightText;
  return TcxCustomLookAndFeelPainter::ButtonSymbolColor(AState, ADefaultColor);
}

TcxButtonState TcxUltraFlatLookAndFeelPainter::ButtonSymbolState(TcxButtonState /*AState*/) {
  return cxbsNormal;
}

RECT TcxUltraFlatLookAndFeelPainter::ScaledButtonFocusRect(TcxCanvas& /*ACanvas*/, RECT R,
                                                           const TdxScaleFactor* AScaleFactor) {
  const RECT result = Inflated(R, ScaleValue(AScaleFactor, -3));
  return IsRectEmpty(&result) ? R : result;
}

int TcxUltraFlatLookAndFeelPainter::ScaledButtonTextOffset(const TdxScaleFactor* AScaleFactor) {
  return ScaleValue(AScaleFactor, 2);
}

int TcxUltraFlatLookAndFeelPainter::ScaledButtonTextShift(const TdxScaleFactor* /*AScaleFactor*/) {
  return 0;
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(TcxCustomCanvas& ACanvas, RECT R,
                                                      TcxButtonState AState) {
  switch (AState) {
  case cxbsDefault:
    ACanvas.FrameRect(R, clWindowFrame);
    ACanvas.FrameRect(Inflated(R, -1), clWindowFrame);
    break;
  case cxbsNormal:
    ACanvas.FrameRect(R, clBtnText);
    break;
  case cxbsDisabled:
    ACanvas.FrameRect(R, clBtnShadow);
    break;
  case cxbsHot:
  case cxbsPressed:
    ACanvas.FrameRect(R, clHighlight);
    break;
  }
}

bool TcxUltraFlatLookAndFeelPainter::IsButtonHotTrack() {
  return true;
}

// =================================================================== office 11

std::wstring TcxOffice11LookAndFeelPainter::LookAndFeelName() {
  return L"Office11";
}

TcxLookAndFeelStyle TcxOffice11LookAndFeelPainter::LookAndFeelStyle() {
  return lfsOffice11;
}

TColor TcxOffice11LookAndFeelPainter::ButtonColor(TcxButtonState AState) {
  switch (AState) {
  case cxbsHot:
    return dxOffice11SelectedColor1;
  case cxbsPressed:
    return dxOffice11SelectedDownColor1;
  case cxbsDisabled:
    return clBtnFace;
  default:
    return dxOffice11DockColor1;
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState,
                                                        TColor /*ADefaultColor*/) {
  if (AState == cxbsPressed && !IsXPStandardScheme())
    return clHighlightText;
  if (AState == cxbsDisabled)
    return dxOffice11TextDisabledColor;
  return dxOffice11TextEnabledColor;
}

void TcxOffice11LookAndFeelPainter::DrawButtonBorder(TcxCustomCanvas& ACanvas, RECT R,
                                                     TcxButtonState AState) {
  switch (AState) {
  case cxbsDefault:
    TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(ACanvas, R, AState);
    break;
  case cxbsNormal:
    ACanvas.FrameRect(R, clBtnText);
    break;
  case cxbsDisabled:
    ACanvas.FrameRect(R, dxOffice11TextDisabledColor);
    break;
  case cxbsHot:
  case cxbsPressed:
    ACanvas.FrameRect(R, dxOffice11SelectedBorderColor);
    break;
  }
}

} // namespace telvora
