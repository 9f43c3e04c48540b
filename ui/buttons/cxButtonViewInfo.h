#pragma once
// Layout of a push button's content: where the glyph goes, the caption and
// description rectangles, the drop-down part and the drop-down arrow, for
// every kind and glyph placement, at the button's scale factor. The view
// info is recomputed at every paint from what the button hands it.

#include "platform/Graphics.h"
#include "ui/buttons/cxButtonColors.h"
#include "ui/buttons/cxButtonPainter.h"
#include "ui/lookandfeel/cxLookAndFeelPainters.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/cxImageList.h"
#include "ui/support/dxScaleFactor.h"
#include "ui/support/dxSmartGlyph.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace telvora {

enum TcxButtonKind {
  cxbkStandard,
  cxbkDropDown,
  cxbkDropDownButton,
  cxbkCommandLink,
  cxbkOfficeDropDown
};

enum TcxButtonPaintStyle { bpsDefault, bpsCaption, bpsGlyph };

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Extra room around the caption of a button that shows no glyph.
inline constexpr RECT TextRectCorrection{1, 0, 2, 0};
// Added to the free height before the caption is centred vertically.
inline constexpr int cxBtnStdVertTextOffsetCorrection = -1;

// The glyph and the image-list reference of a button: a smart glyph (a
// strip of NumGlyphs cells) or, while that is empty, image ImageIndex of
// Images.
class TcxButtonGlyph {
public:
  // AOwner (the button) is linked to the image list for its removal; none
  // for a holder of its own.
  explicit TcxButtonGlyph(TComponent* AOwner = nullptr);
  TcxButtonGlyph(const TcxButtonGlyph&) = delete;
  TcxButtonGlyph& operator=(const TcxButtonGlyph&) = delete;
  virtual ~TcxButtonGlyph();

  const TdxSmartGlyph& Glyph() const noexcept { return FGlyph; }
  // Takes a copy and recounts the cells: a strip k times as wide as high
  // (k below 5) has k cells, anything else one.
  void SetGlyph(const TdxSmartGlyph& AGlyph);
  int ImageIndex() const noexcept { return FImageIndex; }
  void SetImageIndex(int AValue);
  TcxImageList* Images() const noexcept { return FImages; }
  void SetImages(TcxImageList* AValue);
  int NumGlyphs() const noexcept { return FNumGlyphs; }
  // Limited to 1..4.
  void SetNumGlyphs(int AValue);
  // The smart glyph is not empty, or the image index is valid in the list.
  bool IsImageAssigned() const noexcept;
  TColor TransparentColor() const noexcept { return clNone; }
  // AComponent goes away: the image list reference is dropped.
  virtual void FreeNotification(TComponent* AComponent);
  // Raised after every change.
  std::function<void()> OnChange;

private:
  void Changed();
  void ImageListChange();
  // The cell count of the image list's images while there is no glyph.
  void RecountFromImages();

  TComponent* FOwner;
  TdxSmartGlyph FGlyph;
  int FImageIndex = -1;
  TcxImageList* FImages = nullptr;
  int FNumGlyphs = 1;
};

// Glyph placement settings, and the glyph, its cell count and the image
// list reached through the button's glyph holder.
class TcxButtonImageOptions {
public:
  // AButtonGlyph: the button's glyph holder; none for options of their own
  // (Glyph and NumGlyphs then change nothing).
  explicit TcxButtonImageOptions(TcxButtonGlyph* AButtonGlyph = nullptr)
      : FButtonGlyph(AButtonGlyph) {}
  TcxButtonImageOptions(const TcxButtonImageOptions&) = delete;
  TcxButtonImageOptions& operator=(const TcxButtonImageOptions&) = delete;
  // Derived options are made by CreateOptionsImage and freed through this class.
  virtual ~TcxButtonImageOptions() = default;

  // The button's glyph; none without a glyph holder.
  const TdxSmartGlyph* Glyph() const noexcept;
  void SetGlyph(const TdxSmartGlyph& AValue);
  int ImageIndex() const noexcept { return FImageIndex; }
  void SetImageIndex(int AValue);
  TcxImageList* Images() const noexcept { return FImages; }
  void SetImages(TcxImageList* AValue);
  TButtonLayout Layout() const noexcept { return FLayout; }
  void SetLayout(TButtonLayout AValue);
  // -1 is automatic; values below -1 are ignored.
  int Margin() const noexcept { return FMargin; }
  void SetMargin(int AValue);
  int NumGlyphs() const noexcept;
  void SetNumGlyphs(int AValue);
  // -1 is automatic.
  int Spacing() const noexcept { return FSpacing; }
  void SetSpacing(int AValue);
  // Glyph, ImageIndex, Images, Layout, Margin, NumGlyphs and Spacing, in
  // this order, each through its setter.
  void Assign(const TcxButtonImageOptions& ASource);
  // AComponent goes away: when it is the image list, Images := none.
  virtual void FreeNotification(TComponent* AComponent);
  // Raised after every stored change.
  std::function<void()> OnChanged;

protected:
  virtual void Changed();

private:
  TcxButtonGlyph* FButtonGlyph;
  int FImageIndex = -1;
  TcxImageList* FImages = nullptr;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
};

// Measures text the way DrawText with DT_CALCRECT does within AWidth: the
// caption (ADescription false) or the description in its font.
using TcxButtonTextMeasureFunc =
    std::function<SIZE(const std::wstring& AText, int AWidth, bool ADescription, UINT AFlags)>;

// A measurer that uses the given fonts through TdxTextMeasurer.
TcxButtonTextMeasureFunc cxButtonFontMeasurer(const TFont& ACaptionFont,
                                              const TFont& ADescriptionFont);

class TcxCustomButton;

// What the button tells its view info for one calculation.
struct TcxButtonViewInfoParams {
  // The button drawn; none for a view info used on its own (the other
  // fields then say everything).
  TcxCustomButton* Button = nullptr;
  TcxButtonKind Kind = cxbkStandard;
  TcxButtonPaintStyle PaintStyle = bpsDefault;
  std::wstring Caption;
  std::wstring Description;
  bool WordWrap = false;
  bool UseRightToLeftAlignment = false;
  // Right-to-left reading order (DT_RTLREADING).
  bool RightToLeftReading = false;
  TcxButtonState State = cxbsNormal;
  // The drop-down menu is open.
  bool MenuVisible = false;
  // The button's active (focused) flag.
  bool IsFocused = false;
  // The button can be focused, shows a focus rectangle and has the focus.
  bool CanShowFocusRect = false;
  // Speed-button options: the face is drawn in parts (the button cannot be
  // focused and is flat or transparent), flat, transparent.
  bool NeedDrawParts = false;
  bool Flat = false;
  bool Transparent = false;
  // The pointer is over the button.
  bool PointerOver = false;
  // The caption's font; the view info's fonts are copies of it.
  const TFont* Font = nullptr;
  // Colours per state; none leaves every colour to the painter.
  const TcxButtonColors* Colors = nullptr;
  // The style of the button's look-and-feel when there is no button to ask.
  TcxLookAndFeelStyle LookAndFeelStyle = lfsStandard;
  TcxCustomLookAndFeelPainter* Painter = nullptr;
  const TdxScaleFactor* ScaleFactor = nullptr;
  const TcxButtonImageOptions* OptionsImage = nullptr;
  const TcxButtonGlyph* Glyph = nullptr;
  // Measures caption and description; none measures in the view info's fonts.
  TcxButtonTextMeasureFunc MeasureText;
};

class TcxButtonViewInfo {
public:
  TcxButtonViewInfo();
  TcxButtonViewInfo(const TcxButtonViewInfo&) = delete;
  TcxButtonViewInfo& operator=(const TcxButtonViewInfo&) = delete;
  virtual ~TcxButtonViewInfo();

  void SetParams(TcxButtonViewInfoParams AParams) { FParams = std::move(AParams); }
  const TcxButtonViewInfoParams& Params() const noexcept { return FParams; }

  virtual void Calculate(const RECT& ABounds);
  // Parent background, face (the fader's blend while a fade runs), content
  // and focus rectangle, as calculated.
  virtual void Draw(TcxCanvas& ACanvas);
  // The face alone: both parts of a split button, else the whole button.
  virtual void DrawBackground(TcxCanvas& ACanvas);
  virtual void DrawGlyph(TcxCanvas& ACanvas);
  bool NeedDrawFocusRect() const;
  // The button rectangle inside the frame drawn for AState.
  virtual RECT GetContentRect(TcxButtonState AState);
  virtual bool CanDrawCaption();
  virtual bool CanDrawGlyph();
  bool HasDropDownButton() const { return FParams.Kind == cxbkDropDownButton; }
  bool NeedDrawDropDownArrow();
  // The state the menu part is drawn in.
  TcxButtonState GetDropDownButtonState() const;
  // The glyph cell (or the command-link arrow) at the button's scale factor.
  SIZE ImageSize();
  // DT_RIGHT for right-to-left alignment.
  UINT BiDiFlags() const;
  UINT GetCaptionDrawTextFlags();
  UINT GetDescriptionDrawTextFlags();
  // The drop-down part's width (also the Office arrow's size).
  int GetDropDownButtonSize();
  int GetPressedTextShift();

  // Made on first use by CreatePainter.
  TcxButtonPainter& Painter();
  // The caption font and colour of this paint, and the description's.
  TFont& Font() noexcept { return *FFont; }
  TFont& DescriptionFont() noexcept { return *FDescriptionFont; }
  // The face colour of this paint; clDefault leaves it to the painter.
  TColor Color() const noexcept { return FColor; }
  // The state drawn; the fading images draw the face of other states.
  void SetState(TcxButtonState AState) noexcept { FState = AState; }
  // The face colour of a state from the colour set, and the caption font,
  // as a draw-parameters handler leaves them.
  void GetDrawParams(TcxButtonState AState, TColor& AColor, TFont& AFont);
  void SetColor(TColor AColor) noexcept { FColor = AColor; }

  const RECT& Bounds() const noexcept { return FBounds; }
  const RECT& ButtonRect() const noexcept { return FButtonRect; }
  const RECT& CaptionRect() const noexcept { return FCaptionRect; }
  const RECT& DescriptionRect() const noexcept { return FDescriptionRect; }
  const RECT& DropDownArrowRect() const noexcept { return FDropDownArrowRect; }
  const RECT& DropDownButtonRect() const noexcept { return FDropDownButtonRect; }
  POINT GlyphPos() const noexcept { return FGlyphPos; }
  TButtonLayout Layout() const noexcept { return FLayout; }
  TcxButtonState State() const noexcept { return FState; }

protected:
  virtual void CalculateButtonParts();
  virtual void CalculateContentLayout();
  virtual void CheckLayout(TButtonLayout& ALayout);
  virtual std::unique_ptr<TcxButtonPainter> CreatePainter();
  // Glyph, caption and description clipped to the content rectangle, and
  // the drop-down arrow outside that clip.
  virtual void DrawContent(TcxCanvas& ACanvas);
  // The caption and description fonts and colours and the face colour of
  // the state, as a draw-parameters handler leaves them.
  virtual void InitializeFont();

private:
  friend class TcxButtonCustomLayoutCalculator;
  friend class TcxButtonStandardLayoutCalculator;
  friend class TcxButtonOfficeDropDownLayoutCalculator;
  friend class TcxButtonCommandLinkLayoutCalculator;

  TcxButtonViewInfoParams FParams;
  TColor FColor = clDefault;
  std::unique_ptr<TFont> FDescriptionFont;
  std::unique_ptr<TFont> FFont;
  TButtonLayout FLayout = blGlyphLeft;
  std::unique_ptr<TcxButtonPainter> FPainter;
  RECT FBounds{};
  RECT FButtonRect{};
  RECT FCaptionRect{};
  RECT FDescriptionRect{};
  RECT FDropDownArrowRect{};
  RECT FDropDownButtonRect{};
  POINT FGlyphPos{};
  TcxButtonState FState = cxbsNormal;
};

class TcxButtonCustomLayoutCalculator {
public:
  explicit TcxButtonCustomLayoutCalculator(TcxButtonViewInfo& AViewInfo) : FViewInfo(AViewInfo) {}
  virtual ~TcxButtonCustomLayoutCalculator() = default;
  virtual void Calculate() = 0;

protected:
  TcxButtonViewInfo& ViewInfo() noexcept { return FViewInfo; }
  const TcxButtonImageOptions& OptionsImage() const;
  bool UseRightToLeftAlignment() const { return FViewInfo.FParams.UseRightToLeftAlignment; }
  SIZE Measure(const std::wstring& AText, int AWidth, bool ADescription, UINT AFlags);

private:
  TcxButtonViewInfo& FViewInfo;
};

class TcxButtonStandardLayoutCalculator : public TcxButtonCustomLayoutCalculator {
public:
  using TcxButtonCustomLayoutCalculator::TcxButtonCustomLayoutCalculator;
  void Calculate() override;

  int Margin() const noexcept { return FMargin; }
  int Spacing() const noexcept { return FSpacing; }
  SIZE TextAreaSize() const noexcept { return FTextAreaSize; }

protected:
  virtual void CalculateDropDownArrowRect();
  virtual void CalculateGlyphPosition(const RECT& R);
  virtual void CalculateLayout(RECT R);
  virtual void CalculateMargins(const RECT& R, int& AMargin, int& ASpacing);
  virtual void CalculateTextAreaBounds(const RECT& R, RECT& ATextRect);
  virtual void CalculateTextAreaLayout(const RECT& ATextRect);
  virtual void CalculateTextAreaSize(const RECT& R);
  virtual RECT GetTextOffsets();

  SIZE GlyphSize();
  TButtonLayout Layout() { return ViewInfo().FLayout; }
  // The width left for the caption in R after the offsets and the glyph.
  int TextWidth(const RECT& R, const RECT& AOffsets);

  int FMargin = -1;
  int FSpacing = 0;
  SIZE FTextAreaSize{};
};

class TcxButtonOfficeDropDownLayoutCalculator : public TcxButtonStandardLayoutCalculator {
public:
  using TcxButtonStandardLayoutCalculator::TcxButtonStandardLayoutCalculator;
  SIZE CaptionSize() const noexcept { return FCaptionSize; }
  SIZE DescriptionSize() const noexcept { return FDescriptionSize; }

protected:
  void CalculateDropDownArrowRect() override;
  void CalculateLayout(RECT R) override;
  void CalculateTextAreaLayout(const RECT& ATextRect) override;
  void CalculateTextAreaSize(const RECT& R) override;
  RECT GetTextOffsets() override;

private:
  SIZE FCaptionSize{};
  SIZE FDescriptionSize{};
};

class TcxButtonCommandLinkLayoutCalculator : public TcxButtonCustomLayoutCalculator {
public:
  using TcxButtonCustomLayoutCalculator::TcxButtonCustomLayoutCalculator;
  void Calculate() override;

protected:
  virtual void CalculateLayout(const RECT& R, int AMargin, int ASpacing);
};

} // namespace telvora
