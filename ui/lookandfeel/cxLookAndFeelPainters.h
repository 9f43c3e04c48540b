#pragma once
// Look-and-feel painters: stateless objects that know how one visual style
// draws a control element. This unit holds the push-button operations of
// the painters: face and frame per button state, text and arrow colours,
// content insets, the pressed shift, the focus rectangle, the drop-down
// arrow and the command-link variant.
//
// Every length is designed for 96 pixels per inch and converted with the
// scale factor passed in (none scales nothing); the unscaled forms use the
// system scale factor.
//
// The painters:
//   TcxCustomLookAndFeelPainter      base; frameless clBtnFace faces
//     TcxStandardLookAndFeelPainter  classic 3-D          "Standard"
//       TcxWinXPLookAndFeelPainter   the visual-style theme "Native"
//     TcxFlatLookAndFeelPainter      single-line frames    "Flat"
//     TcxUltraFlatLookAndFeelPainter one-colour frames     "UltraFlat"
//       TcxOffice11LookAndFeelPainter Office 11 colours    "Office11"

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "ui/support/cxButtonState.h"
#include "ui/support/cxGraphics.h"
#include "ui/themes/dxThemeManager.h"

#include <cstdint>
#include <string>

namespace telvora {

class TdxScaleFactor;

// Which part of a button a painter draws.
enum TcxButtonPart { cxbpButton, cxbpDropDownLeftPart, cxbpDropDownRightPart };

// The classic style a look-and-feel asks for.
enum TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };

// The style a painter implements.
enum TcxLookAndFeelStyle { lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11, lfsSkin };
constexpr int cxLookAndFeelStyleCount = 6;

// The base painter. Its operations draw a frameless face in clBtnFace and
// answer the base colours and sizes; each style overrides what it changes.
class TcxCustomLookAndFeelPainter : public TObject {
public:
  TcxCustomLookAndFeelPainter() = default;
  ~TcxCustomLookAndFeelPainter() override = default;

  // ---- virtual operations

  // The caption of the captioned DrawScaledButton, drawn over the face.
  virtual void DoDrawScaledButtonCaption(TcxCanvas& ACanvas, RECT R, const std::wstring& ACaption,
                                         TcxButtonState AState, TColor ATextColor, bool ADrawBorder,
                                         bool AIsToolButton, bool AWordWrap,
                                         const TdxScaleFactor* AScaleFactor, TcxButtonPart APart);
  // Frees the images loaded on first use for other controls; the push
  // button draws from none of them.
  virtual void ReleaseImageResources();
  virtual std::wstring LookAndFeelName();
  virtual TcxLookAndFeelStyle LookAndFeelStyle();
  virtual void ResetLookAndFeelSettings();
  // The drop-down arrow of a button: a filled triangle in the symbol colour,
  // embossed when disabled, moved by the pressed shift.
  virtual void DrawScaledScrollBarArrow(TcxCustomCanvas& ACanvas, RECT R, TcxButtonState AState,
                                        TcxArrowDirection AArrowDirection,
                                        const TdxScaleFactor* AScaleFactor);
  // Width of the frame in pixels (not scaled): the content rectangle is the
  // button rectangle inflated by minus this value.
  virtual int ButtonBorderSize(TcxButtonState AState = cxbsNormal);
  // The face colour used when the caller passes clDefault.
  virtual TColor ButtonColor(TcxButtonState AState);
  // The glyph recolouring palette; none (nullptr) for every painter here.
  virtual const TdxColorPalette* ButtonColorPalette(TcxButtonState AState);
  virtual TColor ButtonDescriptionTextColor(TcxButtonState AState, TColor ADefaultColor);
  // Caption and arrow colour; ADefaultColor is the font colour.
  virtual TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault);
  virtual TcxButtonState ButtonSymbolState(TcxButtonState AState);
  // The focus rectangle inside the button rectangle R.
  virtual RECT ScaledButtonFocusRect(TcxCanvas& ACanvas, RECT R,
                                     const TdxScaleFactor* AScaleFactor);
  virtual int ScaledButtonTextOffset(const TdxScaleFactor* AScaleFactor);
  // Horizontal and vertical shift of pressed content.
  virtual int ScaledButtonTextShift(const TdxScaleFactor* AScaleFactor);
  virtual void DrawButtonBorder(TcxCustomCanvas& ACanvas, RECT R, TcxButtonState AState);
  // Frame (when ADrawBorder) and face of a button or of one part of a split
  // button. A clDefault colour means ButtonColor(AState); clNone fills nothing.
  virtual void DrawScaledButton(TcxCustomCanvas& ACanvas, RECT R, TcxButtonState AState,
                                const TdxScaleFactor* AScaleFactor, bool ADrawBorder,
                                bool AIsToolButton, TcxButtonPart APart, TColor AColor);
  virtual void DrawScaledDropDownButtonArrow(TcxCustomCanvas& ACanvas, RECT R,
                                             TcxButtonState AState,
                                             const TdxScaleFactor* AScaleFactor, TColor AColor);
  // Width of the arrow part of a split button.
  virtual int GetScaledDropDownButtonRightPartSize(const TdxScaleFactor* AScaleFactor);
  // Whether a control tracks the pointer and shows the hot state.
  virtual bool IsButtonHotTrack();
  virtual TColor DefaultCommandLinkTextColor(TcxButtonState AState, TColor ADefaultColor);
  virtual void DrawScaledCommandLinkBackground(TcxCanvas& ACanvas, RECT R, TcxButtonState AState,
                                               const TdxScaleFactor* AScaleFactor, TColor AColor);
  // The command-link arrow with its top-left corner at AGlyphPos.
  virtual void DrawScaledCommandLinkGlyph(TcxCanvas& ACanvas, POINT AGlyphPos,
                                          TcxButtonState AState,
                                          const TdxScaleFactor* AScaleFactor);
  virtual SIZE GetScaledCommandLinkGlyphSize(const TdxScaleFactor* AScaleFactor);
  // Left, top, right and bottom margins of a command link's content.
  virtual RECT GetScaledCommandLinkMargins(const TdxScaleFactor* AScaleFactor);

  // ---- non-virtual forms

  // The full button with frame, not a tool button.
  void DrawScaledButton(TcxCustomCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                        const TdxScaleFactor* AScaleFactor, TcxButtonPart APart = cxbpButton,
                        TColor AColor = clDefault);
  // Face, then the caption when it is not empty.
  void DrawScaledButton(TcxCanvas& ACanvas, const RECT& R, const std::wstring& ACaption,
                        TcxButtonState AState, const TdxScaleFactor* AScaleFactor,
                        bool ADrawBorder = true, TColor AColor = clDefault,
                        TColor ATextColor = clDefault, bool AWordWrap = false,
                        bool AIsToolButton = false, TcxButtonPart APart = cxbpButton);
  void DrawButton(TcxCanvas& ACanvas, const RECT& R, const std::wstring& ACaption,
                  TcxButtonState AState, bool ADrawBorder = true, TColor AColor = clDefault,
                  TColor ATextColor = clDefault, bool AWordWrap = false, bool AIsToolButton = false,
                  TcxButtonPart APart = cxbpButton);

  // The three corners of an arrow triangle in R. Proportional arrows are
  // laid out in R made square about its centre; an AArrowSize of 0 derives
  // the size from the rectangle.
  static void CalculateArrowPoints(RECT R, POINT (&P)[3], TcxArrowDirection AArrowDirection,
                                   bool AProportional, int AArrowSize = 0);

  // Unscaled forms: the scaled operations with the system scale factor.
  RECT ButtonFocusRect(TcxCanvas& ACanvas, const RECT& R);
  int ButtonTextOffset();
  int ButtonTextShift();
  int GetDropDownButtonRightPartSize();
  void DrawCommandLinkBackground(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                 TColor AColor = clDefault);
  void DrawCommandLinkGlyph(TcxCanvas& ACanvas, POINT AGlyphPos, TcxButtonState AState);
  SIZE GetCommandLinkGlyphSize();
  RECT GetCommandLinkMargins();
};

// Classic 3-D: a two-line raised frame, a black outer line for the default
// button, black and shadow lines when pressed.
class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  std::wstring LookAndFeelName() override;
  TcxLookAndFeelStyle LookAndFeelStyle() override;
  int ButtonBorderSize(TcxButtonState AState = cxbsNormal) override;
  int ScaledButtonTextOffset(const TdxScaleFactor* AScaleFactor) override;
  int ScaledButtonTextShift(const TdxScaleFactor* AScaleFactor) override;
  void DrawButtonBorder(TcxCustomCanvas& ACanvas, RECT R, TcxButtonState AState) override;
  bool IsButtonHotTrack() override;
};

// Single raised or sunken lines.
class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  std::wstring LookAndFeelName() override;
  TcxLookAndFeelStyle LookAndFeelStyle() override;
  int ButtonBorderSize(TcxButtonState AState = cxbsNormal) override;
  int ScaledButtonTextOffset(const TdxScaleFactor* AScaleFactor) override;
  int ScaledButtonTextShift(const TdxScaleFactor* AScaleFactor) override;
  void DrawButtonBorder(TcxCustomCanvas& ACanvas, RECT R, TcxButtonState AState) override;
  bool IsButtonHotTrack() override;
};

// One-colour frames and selection-coloured faces when hot or pressed.
class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  std::wstring LookAndFeelName() override;
  TcxLookAndFeelStyle LookAndFeelStyle() override;
  int ButtonBorderSize(TcxButtonState AState = cxbsNormal) override;
  TColor ButtonColor(TcxButtonState AState) override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) override;
  TcxButtonState ButtonSymbolState(TcxButtonState AState) override;
  RECT ScaledButtonFocusRect(TcxCanvas& ACanvas, RECT R,
                             const TdxScaleFactor* AScaleFactor) override;
  int ScaledButtonTextOffset(const TdxScaleFactor* AScaleFactor) override;
  int ScaledButtonTextShift(const TdxScaleFactor* AScaleFactor) override;
  void DrawButtonBorder(TcxCustomCanvas& ACanvas, RECT R, TcxButtonState AState) override;
  bool IsButtonHotTrack() override;
};

// The ultra-flat painter in the Office 11 colours (unit dxOffice11).
class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
public:
  std::wstring LookAndFeelName() override;
  TcxLookAndFeelStyle LookAndFeelStyle() override;
  TColor ButtonColor(TcxButtonState AState) override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) override;
  void DrawButtonBorder(TcxCustomCanvas& ACanvas, RECT R, TcxButtonState AState) override;
};

// The theme object type of a button, by whether it is a tool button.
inline constexpr TdxThemedObjectType ButtonObjectType[2] = {totButton, totToolBar};

// The theme state id of a button state (push-button and toolbar parts).
int BtnStateToXPBtnState(TcxButtonState AState) noexcept;

// Whether the platform is NT 6.0 (Vista) or later.
bool IsWinVistaOrLater() noexcept;

// The visual-style theme's "Button" class; without a usable theme every
// operation falls back to the standard painter's frames and the base colours.
class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
public:
  using TcxCustomLookAndFeelPainter::DrawScaledButton;

  void DoDrawScaledButtonCaption(TcxCanvas& ACanvas, RECT R, const std::wstring& ACaption,
                                 TcxButtonState AState, TColor ATextColor, bool ADrawBorder,
                                 bool AIsToolButton, bool AWordWrap,
                                 const TdxScaleFactor* AScaleFactor, TcxButtonPart APart) override;
  std::wstring LookAndFeelName() override;
  TcxLookAndFeelStyle LookAndFeelStyle() override;
  int ButtonBorderSize(TcxButtonState AState = cxbsNormal) override;
  TColor ButtonColor(TcxButtonState AState) override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) override;
  RECT ScaledButtonFocusRect(TcxCanvas& ACanvas, RECT R,
                             const TdxScaleFactor* AScaleFactor) override;
  int ScaledButtonTextOffset(const TdxScaleFactor* AScaleFactor) override;
  int ScaledButtonTextShift(const TdxScaleFactor* AScaleFactor) override;
  void DrawScaledButton(TcxCustomCanvas& ACanvas, RECT R, TcxButtonState AState,
                        const TdxScaleFactor* AScaleFactor, bool ADrawBorder, bool AIsToolButton,
                        TcxButtonPart APart, TColor AColor) override;
  bool IsButtonHotTrack() override;
  TColor DefaultCommandLinkTextColor(TcxButtonState AState, TColor ADefaultColor) override;
  void DrawScaledCommandLinkBackground(TcxCanvas& ACanvas, RECT R, TcxButtonState AState,
                                       const TdxScaleFactor* AScaleFactor, TColor AColor) override;
  void DrawScaledCommandLinkGlyph(TcxCanvas& ACanvas, POINT AGlyphPos, TcxButtonState AState,
                                  const TdxScaleFactor* AScaleFactor) override;
  SIZE GetScaledCommandLinkGlyphSize(const TdxScaleFactor* AScaleFactor) override;
  RECT GetScaledCommandLinkMargins(const TdxScaleFactor* AScaleFactor) override;

protected:
  // Draws the part through the theme of AThemedObjectType for the scale
  // factor; false when there is no theme or the theme call fails.
  virtual bool DoDrawThemeBackground(TcxCustomCanvas& ACanvas,
                                     TdxThemedObjectType AThemedObjectType,
                                     const TdxScaleFactor* AScaleFactor, const RECT& R, int APartId,
                                     int AStateId);
};

} // namespace telvora
