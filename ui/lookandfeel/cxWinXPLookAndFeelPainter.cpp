// The native painter: push buttons drawn, measured and coloured by the
// visual-style theme's "Button" class (and the toolbar's button part for
// tool buttons). Every operation falls back to the standard painter's
// frames and the base colours when no theme is open or a theme call fails.

#include "ui/lookandfeel/cxLookAndFeelPainters.h"

#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"
#include "ui/support/dxScaleFactor.h"

#include <windows.h>

#include <vssym32.h>

#include <iterator>

namespace telvora {

namespace {

int ScaleValue(const TdxScaleFactor* AScaleFactor, int AValue) {
  return AScaleFactor != nullptr ? AScaleFactor->Apply(AValue) : AValue;
}

// Theme state ids of the button states: PBS_DEFAULTED, PBS_NORMAL, PBS_HOT,
// PBS_PRESSED, PBS_DISABLED; for toolbar buttons state 5 is TS_CHECKED.
constexpr int kButtonStateIds[] = {PBS_DEFAULTED, PBS_NORMAL, PBS_HOT, PBS_PRESSED, PBS_DISABLED};

// What identifies a themed drawing for canvases that cache them.
struct TThemeDrawCacheKey {
  TdxTheme Theme;
  SIZE Size;
  int StateId;
  int PartId;
  int Dpi;
};

HDC CanvasDC(TcxCustomCanvas& ACanvas) {
  auto* gdiCanvas = dynamic_cast<TcxCustomGdiBasedCanvas*>(&ACanvas);
  return gdiCanvas != nullptr ? gdiCanvas->Handle() : nullptr;
}

} // namespace

int BtnStateToXPBtnState(TcxButtonState AState) noexcept {
  const auto index = static_cast<unsigned>(AState);
  return index < std::size(kButtonStateIds) ? kButtonStateIds[index] : PBS_NORMAL;
}

bool IsWinVistaOrLater() noexcept {
  // The version the system itself reports, unaffected by compatibility
  // manifests.
  using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto getVersion = ntdll != nullptr
                        ? reinterpret_cast<TRtlGetVersion>(GetProcAddress(ntdll, "RtlGetVersion"))
                        : nullptr;
  if (getVersion == nullptr)
    return false;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (getVersion(&info) != 0)
    return false;
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

bool TcxWinXPLookAndFeelPainter::DoDrawThemeBackground(TcxCustomCanvas& ACanvas,
                                                       TdxThemedObjectType AThemedObjectType,
                                                       const TdxScaleFactor* AScaleFactor,
                                                       const RECT& R, int APartId, int AStateId) {
  const TdxTheme theme = OpenTheme(AThemedObjectType, AScaleFactor);
  if (theme == 0)
    return false;
  const TThemeDrawCacheKey key{theme, {R.right - R.left, R.bottom - R.top}, AStateId, APartId, 96};
  HRESULT result = E_FAIL;
  ACanvas.DrawNativeObject(R, &key, [&](TcxCustomCanvas& ADrawCanvas, const RECT& ARect) {
    HDC dc = CanvasDC(ADrawCanvas);
    if (dc != nullptr)
      result = DrawThemeBackground(theme, dc, APartId, AStateId, ARect, nullptr);
  });
  return SUCCEEDED(result);
}

void TcxWinXPLookAndFeelPainter::DrawScaledButton(TcxCustomCanvas& ACanvas, RECT R,
                                                  TcxButtonState AState,
                                                  const TdxScaleFactor* AScaleFactor,
                                                  bool ADrawBorder, bool AIsToolButton,
                                                  TcxButtonPart APart, TColor AColor) {
  if (DoDrawThemeBackground(ACanvas, ButtonObjectType[AIsToolButton], AScaleFactor, R,
                            BP_PUSHBUTTON, BtnStateToXPBtnState(AState)))
    return;
  TcxStandardLookAndFeelPainter::DrawScaledButton(ACanvas, R, AState, AScaleFactor, ADrawBorder,
                                                  AIsToolButton, APart, AColor);
}

void TcxWinXPLookAndFeelPainter::DoDrawScaledButtonCaption(
    TcxCanvas& ACanvas, RECT R, const std::wstring& ACaption, TcxButtonState AState,
    TColor ATextColor, bool ADrawBorder, bool AIsToolButton, bool AWordWrap,
    const TdxScaleFactor* AScaleFactor, TcxButtonPart APart) {
  const TdxTheme theme = OpenTheme(ButtonObjectType[AIsToolButton], AScaleFactor);
  if (theme == 0) {
    TcxStandardLookAndFeelPainter::DoDrawScaledButtonCaption(ACanvas, R, ACaption, AState,
                                                             ATextColor, ADrawBorder, AIsToolButton,
                                                             AWordWrap, AScaleFactor, APart);
    return;
  }
  DrawThemeText(theme, ACanvas.Handle(), BP_PUSHBUTTON, BtnStateToXPBtnState(AState), ACaption, -1,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, R);
}

std::wstring TcxWinXPLookAndFeelPainter::LookAndFeelName() {
  return L"Native";
}

TcxLookAndFeelStyle TcxWinXPLookAndFeelPainter::LookAndFeelStyle() {
  return lfsNative;
}

int TcxWinXPLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) {
  const TdxTheme theme = OpenTheme(totButton);
  if (theme == 0)
    return 2;
  const RECT bounds{0, 0, 100, 100};
  RECT content{};
  if (FAILED(GetThemeBackgroundContentRect(theme, nullptr, BP_PUSHBUTTON,
                                           BtnStateToXPBtnState(AState), &bounds, &content)))
    return 2;
  return content.left;
}

TColor TcxWinXPLookAndFeelPainter::ButtonColor(TcxButtonState AState) {
  TColor color = clBtnFace;
  if (cxGetThemeColor(totButton, BP_PUSHBUTTON, BtnStateToXPBtnState(AState), TMT_COLOR, color))
    return color;
  return clBtnFace;
}

TColor TcxWinXPLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) {
  TColor color = clDefault;
  if (cxGetThemeColor(totButton, BP_PUSHBUTTON, BtnStateToXPBtnState(AState), TMT_TEXTCOLOR, color))
    return color;
  return TcxStandardLookAndFeelPainter::ButtonSymbolColor(AState, ADefaultColor);
}

RECT TcxWinXPLookAndFeelPainter::ScaledButtonFocusRect(TcxCanvas& ACanvas, RECT R,
                                                       const TdxScaleFactor* AScaleFactor) {
  const TdxTheme theme = OpenTheme(totButton, AScaleFactor);
  RECT content{};
  if (theme != 0 && SUCCEEDED(GetThemeBackgroundContentRect(theme, ACanvas.Handle(), BP_PUSHBUTTON,
                                                            PBS_NORMAL, &R, &content)))
    return content;
  return TcxStandardLookAndFeelPainter::ScaledButtonFocusRect(ACanvas, R, AScaleFactor);
}

int TcxWinXPLookAndFeelPainter::ScaledButtonTextOffset(const TdxScaleFactor* AScaleFactor) {
  return ScaleValue(AScaleFactor, 2);
}

int TcxWinXPLookAndFeelPainter::ScaledButtonTextShift(const TdxScaleFactor* /*AScaleFactor*/) {
  return 0;
}

bool TcxWinXPLookAndFeelPainter::IsButtonHotTrack() {
  return true;
}

TColor TcxWinXPLookAndFeelPainter::DefaultCommandLinkTextColor(TcxButtonState AState,
                                                               TColor ADefaultColor) {
  TColor color = clDefault;
  if (IsWinVistaOrLater() && cxGetThemeColor(totButton, BP_COMMANDLINK,
                                             BtnStateToXPBtnState(AState), TMT_TEXTCOLOR, color))
    return color;
  return TcxStandardLookAndFeelPainter::DefaultCommandLinkTextColor(AState, ADefaultColor);
}

void TcxWinXPLookAndFeelPainter::DrawScaledCommandLinkBackground(TcxCanvas& ACanvas, RECT R,
                                                                 TcxButtonState AState,
                                                                 const TdxScaleFactor* AScaleFactor,
                                                                 TColor AColor) {
  if (IsWinVistaOrLater() && dxDrawThemeBackground(ACanvas.Handle(), totButton, AScaleFactor, R,
                                                   BP_COMMANDLINK, BtnStateToXPBtnState(AState)))
    return;
  // A frameless flat face that gains the flat frame when hot or pressed.
  const bool drawBorder = AState == cxbsHot || AState == cxbsPressed;
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  TcxCustomLookAndFeelPainter* flat = manager != nullptr ? manager->GetPainter(lfsFlat) : nullptr;
  if (flat != nullptr) {
    flat->DrawScaledButton(ACanvas, R, AState, AScaleFactor, drawBorder, false, cxbpButton, AColor);
  } else {
    TcxFlatLookAndFeelPainter painter;
    painter.DrawScaledButton(ACanvas, R, AState, AScaleFactor, drawBorder, false, cxbpButton,
                             AColor);
  }
}

SIZE TcxWinXPLookAndFeelPainter::GetScaledCommandLinkGlyphSize(const TdxScaleFactor* AScaleFactor) {
  SIZE size{0, 0};
  if (IsWinVistaOrLater() &&
      GetThemeScaledPartSize(totButton, AScaleFactor, BP_COMMANDLINKGLYPH, size, 0, tssThemeDpi))
    return size;
  return TcxStandardLookAndFeelPainter::GetScaledCommandLinkGlyphSize(AScaleFactor);
}

RECT TcxWinXPLookAndFeelPainter::GetScaledCommandLinkMargins(const TdxScaleFactor* AScaleFactor) {
  const TdxTheme theme = IsWinVistaOrLater() ? OpenTheme(totButton, AScaleFactor) : 0;
  TdxMargins margins{};
  if (theme != 0 && SUCCEEDED(GetThemeMargins(theme, nullptr, BP_COMMANDLINK, 0, TMT_CONTENTMARGINS,
                                              nullptr, &margins)))
    return {ScaleValue(AScaleFactor, margins.cxLeftWidth),
            ScaleValue(AScaleFactor, margins.cyTopHeight),
            ScaleValue(AScaleFactor, margins.cxRightWidth),
            ScaleValue(AScaleFactor, margins.cyBottomHeight)};
  return TcxStandardLookAndFeelPainter::GetScaledCommandLinkMargins(AScaleFactor);
}

void TcxWinXPLookAndFeelPainter::DrawScaledCommandLinkGlyph(TcxCanvas& ACanvas, POINT AGlyphPos,
                                                            TcxButtonState AState,
                                                            const TdxScaleFactor* AScaleFactor) {
  const TdxTheme theme = IsWinVistaOrLater() ? OpenTheme(totButton, AScaleFactor) : 0;
  if (theme != 0) {
    const SIZE size = GetScaledCommandLinkGlyphSize(AScaleFactor);
    const RECT R{AGlyphPos.x, AGlyphPos.y, AGlyphPos.x + size.cx, AGlyphPos.y + size.cy};
    HRESULT result = E_FAIL;
    cxRightToLeftDependentDraw(ACanvas, R, [&] {
      result = DrawThemeBackground(theme, ACanvas.Handle(), BP_COMMANDLINKGLYPH,
                                   BtnStateToXPBtnState(AState), R, nullptr);
    });
    // A theme without the glyph part leaves the arrow to the resource image.
    if (SUCCEEDED(result))
      return;
  }
  TcxStandardLookAndFeelPainter::DrawScaledCommandLinkGlyph(ACanvas, AGlyphPos, AState,
                                                            AScaleFactor);
}

} // namespace telvora
