#pragma once
// The button painter: turns each element of a push button (face, menu part,
// drop-down arrow, caption, description, focus rectangle, parent background)
// into calls of the look-and-feel painter that draws the button and of the
// canvas. It keeps no state of its own: every call asks the button for its
// current look-and-feel painter and scale factor.

#include "ui/lookandfeel/cxLookAndFeelPainters.h"
#include "ui/support/cxGraphics.h"

#include <windows.h>

#include <string>

namespace telvora {

class TcxButtonViewInfo;
class TcxCustomButton;
class TdxScaleFactor;

class TcxButtonPainter {
public:
  explicit TcxButtonPainter(TcxButtonViewInfo& AViewInfo) : FViewInfo(AViewInfo) {}
  TcxButtonPainter(const TcxButtonPainter&) = delete;
  TcxButtonPainter& operator=(const TcxButtonPainter&) = delete;
  virtual ~TcxButtonPainter() = default;

  // The face of the button or of one part of a split button in AState.
  virtual void DrawButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, TColor AColor,
                          TcxButtonPart APart);
  virtual void DrawDropDownArrow(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState);
  virtual void DrawFocusRect(TcxCanvas& ACanvas, const RECT& R);
  // What shows through where the face does not cover R: the parent's themed
  // background under a partly transparent theme, the parent's image under a
  // skin or a transparent speed button, else nothing.
  virtual void DrawParentBackground(TcxCanvas& ACanvas, const RECT& R);
  virtual int GetDropDownArrowSize();
  virtual int GetDropDownButtonSize();
  // One drawing of AText in R in the canvas font's colour.
  virtual void DrawText(TcxCanvas& ACanvas, const std::wstring& AText, const RECT& R,
                        UINT ADrawTextFlags);
  // The text of a state: embossed when disabled, unless the style is native
  // or a skin.
  virtual void DrawText(TcxCanvas& ACanvas, const std::wstring& AText, const RECT& R,
                        TcxButtonState AState, UINT ADrawTextFlags);
  virtual TColor GetDescriptionTextColor(TcxButtonState AState, TColor ADefaultColor);
  // The shift of pressed content, the same in x and y.
  virtual POINT GetPressedTextShift();
  // The assigned text colour of the state, else the look-and-feel painter's.
  virtual TColor GetTextColor(TcxButtonState AState, TColor ADefaultColor);
  virtual void DrawCommandLinkButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                     TColor AColor);
  virtual SIZE GetCommandLinkGlyphSize();
  virtual RECT GetCommandLinkMargins();
  // The face of a speed button that draws parts (flat or transparent): the
  // border only where it shows, the face only where it is not to stay
  // transparent.
  virtual void DrawSpeedButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                               TColor AColor, TcxButtonPart APart);

  // DT_RIGHT under right-to-left alignment, with DT_RTLREADING for
  // right-to-left reading.
  UINT GetBiDiFlags();
  // The painter the button is drawn by now; none once the painters are gone.
  TcxCustomLookAndFeelPainter* GetLookAndFeelPainter();
  // The style of the button's look-and-feel (not of the painter that draws):
  // a skin, else native when its native style is on, else its kind's style.
  TcxLookAndFeelStyle GetLookAndFeelStyle();
  const TdxScaleFactor* GetScaleFactor();
  TcxButtonViewInfo& GetViewInfo() noexcept { return FViewInfo; }

private:
  TcxCustomButton* Button();
  TcxButtonViewInfo& FViewInfo;
};

} // namespace telvora
