#include "ui/buttons/cxButtonViewInfo.h"

#include "platform/Handles.h"
#include "ui/buttons/cxButtons.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/dxFading.h"

#include <algorithm>
#include <cstdlib>

namespace telvora {

namespace {

void Offset(RECT& r, int dx, int dy) {
  r.left += dx;
  r.right += dx;
  r.top += dy;
  r.bottom += dy;
}

bool IsEmpty(const RECT& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

bool IsHorizontal(TButtonLayout ALayout) {
  return ALayout == blGlyphLeft || ALayout == blGlyphRight;
}

// Half of V rounded down (V rounded down to even, then halved).
int FloorHalf(int V) {
  return (V - (V & 1)) / 2;
}

// The rectangle mirrored within ABounds; an all-zero rectangle stays.
RECT Mirror(const RECT& r, const RECT& ABounds) {
  if (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0)
    return r;
  const int left = ABounds.left + ABounds.right - r.right;
  return RECT{left, r.top, left + RectWidth(r), r.bottom};
}

RECT Union(const RECT& a, const RECT& b) {
  if (IsEmpty(a))
    return b;
  if (IsEmpty(b))
    return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

constexpr UINT kCommandLinkCaptionFlags = DT_WORDBREAK | DT_END_ELLIPSIS;
constexpr int kArrowGap = 2;
constexpr int kDescriptionGap = 2;
constexpr int kOfficeGlyphMargin = 7;

} // namespace

// TcxButtonGlyph

namespace {

// Cells of a strip k times as wide as high (k below 5), else one.
int CellCount(int AWidth, int AHeight) {
  if (AHeight > 0 && AWidth > 0 && AWidth % AHeight == 0) {
    const int k = AWidth / AHeight;
    return k < 5 ? k : 1;
  }
  return 1;
}

} // namespace

TcxButtonGlyph::TcxButtonGlyph(TComponent* AOwner) : FOwner(AOwner) {
  FGlyph.OnChange = [this] { Changed(); };
}

TcxButtonGlyph::~TcxButtonGlyph() {
  OnChange = nullptr;
  SetImages(nullptr);
  FGlyph.OnChange = nullptr;
}

void TcxButtonGlyph::SetGlyph(const TdxSmartGlyph& AGlyph) {
  // The copy raises the glyph's change; the count follows before the
  // holder's own change is told.
  const auto onChange = std::move(FGlyph.OnChange);
  FGlyph.OnChange = nullptr;
  FGlyph = AGlyph;
  FGlyph.OnChange = onChange;
  FNumGlyphs = CellCount(FGlyph.SourceWidth(), FGlyph.SourceHeight());
  Changed();
}

void TcxButtonGlyph::SetNumGlyphs(int AValue) {
  AValue = std::clamp(AValue, 1, 4);
  if (AValue != FNumGlyphs) {
    FNumGlyphs = AValue;
    Changed();
  }
}

void TcxButtonGlyph::SetImageIndex(int AValue) {
  if (AValue == FImageIndex)
    return;
  FImageIndex = AValue;
  if (FGlyph.Empty() && FImages != nullptr)
    RecountFromImages();
  Changed();
}

void TcxButtonGlyph::SetImages(TcxImageList* AValue) {
  if (AValue == FImages)
    return;
  if (FImages != nullptr) {
    FImages->UnRegisterChanges(this);
    if (FOwner != nullptr)
      FImages->RemoveFreeNotification(FOwner);
  }
  FImages = AValue;
  if (FImages != nullptr) {
    FImages->RegisterChanges(this, [this] { ImageListChange(); });
    if (FOwner != nullptr)
      FImages->FreeNotification(FOwner);
    if (FGlyph.Empty())
      RecountFromImages();
  }
  Changed();
}

void TcxButtonGlyph::ImageListChange() {
  if (FGlyph.Empty())
    RecountFromImages();
  Changed();
}

void TcxButtonGlyph::RecountFromImages() {
  if (FImages != nullptr)
    FNumGlyphs = CellCount(FImages->Width(), FImages->Height());
}

bool TcxButtonGlyph::IsImageAssigned() const noexcept {
  return !FGlyph.Empty() ||
         (FImages != nullptr && FImageIndex >= 0 && FImageIndex < FImages->Count());
}

void TcxButtonGlyph::FreeNotification(TComponent* AComponent) {
  if (AComponent != nullptr && AComponent == FImages)
    SetImages(nullptr);
}

void TcxButtonGlyph::Changed() {
  if (OnChange)
    OnChange();
}

// TcxButtonImageOptions

const TdxSmartGlyph* TcxButtonImageOptions::Glyph() const noexcept {
  return FButtonGlyph != nullptr ? &FButtonGlyph->Glyph() : nullptr;
}

void TcxButtonImageOptions::SetGlyph(const TdxSmartGlyph& AValue) {
  if (FButtonGlyph != nullptr)
    FButtonGlyph->SetGlyph(AValue);
}

int TcxButtonImageOptions::NumGlyphs() const noexcept {
  return FButtonGlyph != nullptr ? FButtonGlyph->NumGlyphs() : 1;
}

void TcxButtonImageOptions::SetNumGlyphs(int AValue) {
  if (FButtonGlyph != nullptr)
    FButtonGlyph->SetNumGlyphs(AValue);
}

void TcxButtonImageOptions::SetImageIndex(int AValue) {
  if (AValue != FImageIndex) {
    FImageIndex = AValue;
    Changed();
  }
}

void TcxButtonImageOptions::SetImages(TcxImageList* AValue) {
  if (AValue != FImages) {
    FImages = AValue;
    Changed();
  }
}

void TcxButtonImageOptions::SetLayout(TButtonLayout AValue) {
  if (AValue != FLayout) {
    FLayout = AValue;
    Changed();
  }
}

void TcxButtonImageOptions::SetMargin(int AValue) {
  if (AValue >= -1 && AValue != FMargin) {
    FMargin = AValue;
    Changed();
  }
}

void TcxButtonImageOptions::SetSpacing(int AValue) {
  if (AValue != FSpacing) {
    FSpacing = AValue;
    Changed();
  }
}

void TcxButtonImageOptions::Assign(const TcxButtonImageOptions& ASource) {
  if (const TdxSmartGlyph* glyph = ASource.Glyph())
    SetGlyph(*glyph);
  SetImageIndex(ASource.ImageIndex());
  SetImages(ASource.Images());
  SetLayout(ASource.Layout());
  SetMargin(ASource.Margin());
  SetNumGlyphs(ASource.NumGlyphs());
  SetSpacing(ASource.Spacing());
}

void TcxButtonImageOptions::FreeNotification(TComponent* AComponent) {
  if (AComponent != nullptr && AComponent == FImages)
    SetImages(nullptr);
}

void TcxButtonImageOptions::Changed() {
  if (OnChanged)
    OnChanged();
}

TcxButtonTextMeasureFunc cxButtonFontMeasurer(const TFont& ACaptionFont,
                                              const TFont& ADescriptionFont) {
  return [&ACaptionFont, &ADescriptionFont](const std::wstring& AText, int AWidth,
                                            bool ADescription, UINT AFlags) -> SIZE {
    if (AText.empty())
      return SIZE{0, 0};
    RECT r{0, 0, AWidth, 0};
    TdxTextMeasurer::TextRectDT(r, AText, ADescription ? ADescriptionFont : ACaptionFont, AFlags);
    return SIZE{RectWidth(r), RectHeight(r)};
  };
}

// TcxButtonViewInfo

TcxButtonViewInfo::TcxButtonViewInfo()
    : FDescriptionFont(std::make_unique<TFont>()), FFont(std::make_unique<TFont>()) {}

TcxButtonViewInfo::~TcxButtonViewInfo() = default;

std::unique_ptr<TcxButtonPainter> TcxButtonViewInfo::CreatePainter() {
  return std::make_unique<TcxButtonPainter>(*this);
}

TcxButtonPainter& TcxButtonViewInfo::Painter() {
  if (!FPainter)
    FPainter = CreatePainter();
  return *FPainter;
}

void TcxButtonViewInfo::Calculate(const RECT& ABounds) {
  FBounds = ABounds;
  FState = FParams.State;
  FLayout = FParams.OptionsImage ? FParams.OptionsImage->Layout() : blGlyphLeft;
  CheckLayout(FLayout);
  InitializeFont();
  CalculateButtonParts();
  CalculateContentLayout();
}

namespace {

// Copies AFrom's attributes into ATo through the setters, so that a font
// that already has them keeps its font object.
void CopyFont(TFont& ATo, const TFont& AFrom) {
  ATo.SetName(AFrom.Name());
  ATo.SetHeight(AFrom.Height());
  ATo.SetCharset(AFrom.Charset());
  ATo.SetColor(AFrom.Color());
  ATo.SetStyle(AFrom.Style());
}

} // namespace

void TcxButtonViewInfo::InitializeFont() {
  static const TFont kDefaultFont;
  CopyFont(*FFont, FParams.Font ? *FParams.Font : kDefaultFont);
  FFont->SetColor(Painter().GetTextColor(FState, FFont->Color()));
  CopyFont(*FDescriptionFont, *FFont);
  FDescriptionFont->SetColor(Painter().GetDescriptionTextColor(FState, FDescriptionFont->Color()));
  if (FParams.Kind == cxbkCommandLink) {
    int height = MulDiv(FFont->Height(), 3, 4);
    // A size (points at 96 pixels per inch) of at least 1.
    if (std::abs(MulDiv(height, 72, 96)) < 1)
      height = FFont->Height() < 0 ? -MulDiv(1, 96, 72) : MulDiv(1, 96, 72);
    FDescriptionFont->SetHeight(height);
  }
  GetDrawParams(FState, FColor, *FFont);
}

void TcxButtonViewInfo::GetDrawParams(TcxButtonState AState, TColor& AColor, TFont& AFont) {
  AColor = FParams.Colors ? FParams.Colors->GetColorByState(AState) : clDefault;
  if (FParams.Button != nullptr)
    FParams.Button->DoGetDrawParams(AState, AColor, AFont);
}

void TcxButtonViewInfo::CheckLayout(TButtonLayout& ALayout) {
  if ((BiDiFlags() & DT_RIGHT) == 0)
    return;
  if (ALayout == blGlyphLeft)
    ALayout = blGlyphRight;
  else if (ALayout == blGlyphRight)
    ALayout = blGlyphLeft;
}

UINT TcxButtonViewInfo::BiDiFlags() const {
  return (FParams.UseRightToLeftAlignment ? DT_RIGHT : 0u) |
         (FParams.RightToLeftReading ? DT_RTLREADING : 0u);
}

int TcxButtonViewInfo::GetDropDownButtonSize() {
  return Painter().GetDropDownButtonSize();
}

int TcxButtonViewInfo::GetPressedTextShift() {
  return Painter().GetPressedTextShift().x;
}

void TcxButtonViewInfo::CalculateButtonParts() {
  FButtonRect = FBounds;
  FDropDownButtonRect = RECT{};
  if (FParams.Kind != cxbkDropDownButton)
    return;
  const int D = GetDropDownButtonSize();
  // The two frames overlap by 2 pixels unless the parts are drawn apart.
  const bool overlap = Painter().GetLookAndFeelStyle() != lfsSkin && !FParams.NeedDrawParts;
  if (FParams.UseRightToLeftAlignment) {
    FDropDownButtonRect = RECT{FBounds.left, FBounds.top, FBounds.left + D, FBounds.bottom};
    FButtonRect.left = FDropDownButtonRect.right;
    if (overlap)
      FButtonRect.left -= 2;
  } else {
    FDropDownButtonRect = RECT{FBounds.right - D, FBounds.top, FBounds.right, FBounds.bottom};
    FButtonRect.right = FDropDownButtonRect.left;
    if (overlap)
      FButtonRect.right += 2;
  }
}

void TcxButtonViewInfo::CalculateContentLayout() {
  FCaptionRect = RECT{};
  FDescriptionRect = RECT{};
  FDropDownArrowRect = RECT{};
  FGlyphPos = POINT{};
  std::unique_ptr<TcxButtonCustomLayoutCalculator> calculator;
  switch (FParams.Kind) {
  case cxbkCommandLink:
    calculator = std::make_unique<TcxButtonCommandLinkLayoutCalculator>(*this);
    break;
  case cxbkOfficeDropDown:
    calculator = std::make_unique<TcxButtonOfficeDropDownLayoutCalculator>(*this);
    break;
  default:
    calculator = std::make_unique<TcxButtonStandardLayoutCalculator>(*this);
    break;
  }
  calculator->Calculate();
}

RECT TcxButtonViewInfo::GetContentRect(TcxButtonState AState) {
  RECT r = FButtonRect;
  TcxCustomLookAndFeelPainter* painter = Painter().GetLookAndFeelPainter();
  if (FParams.Kind == cxbkCommandLink || painter == nullptr)
    return r;
  const int b = painter->ButtonBorderSize(AState);
  InflateRect(&r, -b, -b);
  return r;
}

bool TcxButtonViewInfo::CanDrawCaption() {
  return (FParams.PaintStyle == bpsDefault || FParams.PaintStyle == bpsCaption ||
          FParams.Kind == cxbkCommandLink) &&
         !FParams.Caption.empty();
}

bool TcxButtonViewInfo::CanDrawGlyph() {
  return (FParams.PaintStyle == bpsDefault || FParams.PaintStyle == bpsGlyph) && FParams.Glyph &&
         FParams.Glyph->IsImageAssigned();
}

bool TcxButtonViewInfo::NeedDrawDropDownArrow() {
  if (IsEmpty(FDropDownArrowRect))
    return false;
  return !(HasDropDownButton() && Painter().GetLookAndFeelStyle() == lfsSkin);
}

bool TcxButtonViewInfo::NeedDrawFocusRect() const {
  return FParams.CanShowFocusRect && !FParams.MenuVisible;
}

void TcxButtonViewInfo::Draw(TcxCanvas& ACanvas) {
  if (FParams.Button != nullptr && FParams.Button->StandardButton())
    return;
  Painter().DrawParentBackground(ACanvas, FBounds);
  TdxFader* fader = dxFaderInstance();
  const HDC dc = ACanvas.Handle();
  if (fader == nullptr || FParams.Button == nullptr || dc == nullptr ||
      !fader->DrawFadeImage(FParams.Button, dc, FBounds))
    DrawBackground(ACanvas);
  DrawContent(ACanvas);
  if (NeedDrawFocusRect())
    Painter().DrawFocusRect(ACanvas, FButtonRect);
}

void TcxButtonViewInfo::DrawBackground(TcxCanvas& ACanvas) {
  if (HasDropDownButton()) {
    Painter().DrawButton(ACanvas, FButtonRect, FState, FColor, cxbpDropDownLeftPart);
    Painter().DrawButton(ACanvas, FDropDownButtonRect, GetDropDownButtonState(), FColor,
                         cxbpDropDownRightPart);
  } else {
    Painter().DrawButton(ACanvas, FButtonRect, FState, FColor, cxbpButton);
  }
}

void TcxButtonViewInfo::DrawGlyph(TcxCanvas& ACanvas) {
  const TcxButtonGlyph* holder = FParams.Glyph;
  if (holder == nullptr)
    return;
  const HDC dc = ACanvas.Handle();
  if (dc == nullptr)
    return;
  const SIZE size = ImageSize();
  const RECT D{FGlyphPos.x, FGlyphPos.y, FGlyphPos.x + size.cx, FGlyphPos.y + size.cy};
  if (IsEmpty(D))
    return;
  // The cell of the state: up (0), disabled (1) or down (2; up with fewer
  // than three cells).
  int cell = 0;
  if (FState == cxbsDisabled)
    cell = 1;
  else if (FState == cxbsPressed && holder->NumGlyphs() >= 3)
    cell = 2;
  TcxCustomLookAndFeelPainter* painter = Painter().GetLookAndFeelPainter();
  const TdxColorPalette* palette =
      painter != nullptr ? painter->ButtonColorPalette(FState) : nullptr;
  const TdxSmartGlyph& glyph = holder->Glyph();
  if (!glyph.Empty() && holder->NumGlyphs() > 1) {
    const int index = cell < holder->NumGlyphs() ? cell : 0;
    const int cellWidth = glyph.SourceWidth() / holder->NumGlyphs();
    const RECT source{index * cellWidth, 0, (index + 1) * cellWidth, glyph.SourceHeight()};
    if (size.cx == cellWidth && size.cy == glyph.SourceHeight()) {
      glyph.Draw(dc, D, source, 255, palette);
      return;
    }
    // Scaled: the cell is stretched over a copy of what lies under it, and
    // the copy goes back.
    TcxBitmap32 scaled(size.cx, size.cy);
    const HDC scaledDC = scaled.Bits() != nullptr ? scaled.Canvas().TryHandle() : nullptr;
    if (scaledDC == nullptr)
      return;
    BitBlt(scaledDC, 0, 0, size.cx, size.cy, dc, D.left, D.top, SRCCOPY);
    glyph.Draw(scaledDC, RECT{0, 0, size.cx, size.cy}, source, 255, palette);
    BitBlt(dc, D.left, D.top, size.cx, size.cy, scaledDC, 0, 0, SRCCOPY);
    return;
  }
  cxDrawImage(ACanvas, D, glyph.Empty() ? nullptr : &glyph,
              holder->Images() != nullptr ? holder->Images()->Handle() : nullptr,
              holder->ImageIndex(), ifmStretch, cell == 1 ? idmDisabled : idmNormal, true, palette,
              FParams.ScaleFactor);
}

void TcxButtonViewInfo::DrawContent(TcxCanvas& ACanvas) {
  if (NeedDrawDropDownArrow())
    Painter().DrawDropDownArrow(ACanvas, FDropDownArrowRect, GetDropDownButtonState());
  TcxSaveClipRegionGuard clip(ACanvas);
  ACanvas.IntersectClipRect(GetContentRect(FState));
  if (CanDrawGlyph())
    DrawGlyph(ACanvas);
  if (CanDrawCaption() && !IsEmpty(FCaptionRect)) {
    CopyFont(ACanvas.Font(), *FFont);
    Painter().DrawText(ACanvas, FParams.Caption, FCaptionRect, FState, GetCaptionDrawTextFlags());
  }
  if (!IsEmpty(FDescriptionRect)) {
    CopyFont(ACanvas.Font(), *FDescriptionFont);
    Painter().DrawText(ACanvas, FParams.Description, FDescriptionRect, FState,
                       GetDescriptionDrawTextFlags());
  }
}

TcxButtonState TcxButtonViewInfo::GetDropDownButtonState() const {
  if (FParams.MenuVisible)
    return cxbsPressed;
  // A pressed main part leaves the menu part looking hot or normal.
  if (FState == cxbsPressed)
    return FParams.IsFocused ? cxbsHot : cxbsNormal;
  return FState;
}

SIZE TcxButtonViewInfo::ImageSize() {
  static const TdxScaleFactor kUnscaled;
  const TdxScaleFactor& factor = FParams.ScaleFactor ? *FParams.ScaleFactor : kUnscaled;
  if (FParams.Glyph && FParams.Glyph->IsImageAssigned()) {
    const TdxSmartGlyph& g = FParams.Glyph->Glyph();
    if (!g.Empty()) {
      const SIZE cell{g.SourceWidth() / FParams.Glyph->NumGlyphs(), g.SourceHeight()};
      return factor.Apply(cell, g.SourceDPI(), 96);
    }
    return dxGetImageSize(FParams.Glyph->Images(), &factor);
  }
  if (FParams.Kind == cxbkCommandLink)
    return Painter().GetCommandLinkGlyphSize();
  return SIZE{0, 0};
}

UINT TcxButtonViewInfo::GetCaptionDrawTextFlags() {
  switch (FParams.Kind) {
  case cxbkCommandLink:
    return kCommandLinkCaptionFlags;
  case cxbkOfficeDropDown:
    return (FLayout == blGlyphTop || FLayout == blGlyphBottom ? DT_VCENTER | DT_CENTER : 0u) |
           (FParams.WordWrap ? DT_WORDBREAK : 0u);
  default:
    return DT_CENTER | DT_VCENTER | DT_NOCLIP | (FParams.WordWrap ? DT_WORDBREAK : 0u);
  }
}

UINT TcxButtonViewInfo::GetDescriptionDrawTextFlags() {
  if (FParams.Kind != cxbkOfficeDropDown)
    return DT_WORDBREAK;
  static constexpr UINT kAlignment[] = {DT_LEFT, DT_RIGHT, DT_CENTER, DT_CENTER};
  return kAlignment[FLayout] | DT_WORDBREAK;
}

// TcxButtonCustomLayoutCalculator

const TcxButtonImageOptions& TcxButtonCustomLayoutCalculator::OptionsImage() const {
  static const TcxButtonImageOptions kDefaults;
  return FViewInfo.FParams.OptionsImage ? *FViewInfo.FParams.OptionsImage : kDefaults;
}

SIZE TcxButtonCustomLayoutCalculator::Measure(const std::wstring& AText, int AWidth,
                                              bool ADescription, UINT AFlags) {
  if (AText.empty())
    return SIZE{0, 0};
  if (FViewInfo.FParams.MeasureText)
    return FViewInfo.FParams.MeasureText(AText, AWidth, ADescription, AFlags);
  RECT r{0, 0, AWidth, 0};
  TdxTextMeasurer::TextRectDT(
      r, AText, ADescription ? *FViewInfo.FDescriptionFont : *FViewInfo.FFont, AFlags);
  return SIZE{RectWidth(r), RectHeight(r)};
}

// TcxButtonStandardLayoutCalculator

void TcxButtonStandardLayoutCalculator::Calculate() {
  FSpacing = OptionsImage().Spacing();
  FMargin = OptionsImage().Margin();
  CalculateLayout(ViewInfo().GetContentRect(cxbsDefault));
}

SIZE TcxButtonStandardLayoutCalculator::GlyphSize() {
  return ViewInfo().CanDrawGlyph() ? ViewInfo().ImageSize() : SIZE{0, 0};
}

void TcxButtonStandardLayoutCalculator::CalculateLayout(RECT R) {
  if (ViewInfo().FState == cxbsPressed) {
    const int s = ViewInfo().GetPressedTextShift();
    Offset(R, s, s);
  }
  CalculateTextAreaSize(R);
  CalculateMargins(R, FMargin, FSpacing);
  CalculateGlyphPosition(R);
  RECT T{};
  CalculateTextAreaBounds(R, T);
  CalculateTextAreaLayout(T);
  CalculateDropDownArrowRect();
}

RECT TcxButtonStandardLayoutCalculator::GetTextOffsets() {
  return ViewInfo().CanDrawGlyph() ? RECT{} : TextRectCorrection;
}

int TcxButtonStandardLayoutCalculator::TextWidth(const RECT& R, const RECT& AOffsets) {
  int width = RectWidth(R) - AOffsets.left - AOffsets.right;
  if (IsHorizontal(Layout()))
    width -= GlyphSize().cx + FSpacing + std::max(FMargin, 0);
  return width;
}

void TcxButtonStandardLayoutCalculator::CalculateTextAreaSize(const RECT& R) {
  if (!ViewInfo().CanDrawCaption()) {
    FTextAreaSize = SIZE{0, 0};
    return;
  }
  const RECT O = GetTextOffsets();
  const UINT flags = (ViewInfo().FParams.WordWrap ? DT_WORDBREAK : 0u) | ViewInfo().BiDiFlags();
  const SIZE measured = Measure(ViewInfo().FParams.Caption, TextWidth(R, O), false, flags);
  FTextAreaSize = SIZE{measured.cx + O.left + O.right, measured.cy + O.top + O.bottom};
}

void TcxButtonStandardLayoutCalculator::CalculateMargins(const RECT& R, int& AMargin,
                                                         int& ASpacing) {
  const bool horizontal = IsHorizontal(Layout());
  auto GetMargin = [horizontal](SIZE A, SIZE B, int k) {
    return horizontal ? (A.cx - B.cx) / k : (A.cy - B.cy) / k;
  };
  const SIZE G = GlyphSize();
  const SIZE size{RectWidth(R), RectHeight(R)};
  if (FTextAreaSize.cx == 0 || G.cx == 0)
    ASpacing = 0;
  if (AMargin == -1) {
    SIZE K{G.cx + FTextAreaSize.cx, G.cy + FTextAreaSize.cy};
    if (ASpacing == -1) {
      AMargin = GetMargin(size, K, 3);
      ASpacing = AMargin;
    } else {
      K.cx += ASpacing;
      K.cy += ASpacing;
      AMargin = GetMargin(size, K, 2);
    }
  } else if (ASpacing == -1) {
    const SIZE A{RectWidth(R) - G.cx - AMargin, RectHeight(R) - G.cy - AMargin};
    ASpacing = GetMargin(A, FTextAreaSize, 2);
  }
}

void TcxButtonStandardLayoutCalculator::CalculateGlyphPosition(const RECT& R) {
  const SIZE G = GlyphSize();
  POINT p{};
  switch (Layout()) {
  case blGlyphLeft:
    p.x = R.left + FMargin;
    break;
  case blGlyphRight:
    p.x = R.left + RectWidth(R) - FMargin - G.cx;
    break;
  case blGlyphTop:
    p.y = R.top + FMargin;
    break;
  case blGlyphBottom:
    p.y = R.top + RectHeight(R) - FMargin - G.cy;
    break;
  }
  if (IsHorizontal(Layout()))
    p.y = R.top + (RectHeight(R) - G.cy) / 2;
  else
    p.x = R.left + (RectWidth(R) - G.cx) / 2;
  ViewInfo().FGlyphPos = p;
}

void TcxButtonStandardLayoutCalculator::CalculateTextAreaBounds(const RECT& R, RECT& ATextRect) {
  const RECT O = GetTextOffsets();
  const SIZE G = GlyphSize();
  const POINT glyph = ViewInfo().FGlyphPos;
  // The measured text size; without a caption the offsets alone would make
  // it negative, so it stays empty.
  const LONG width = std::max<LONG>(FTextAreaSize.cx - O.left - O.right, 0);
  const LONG height = std::max<LONG>(FTextAreaSize.cy - O.top - O.bottom, 0);
  ATextRect = RECT{O.left, O.top, O.left + width, O.top + height};
  switch (Layout()) {
  case blGlyphLeft:
    Offset(ATextRect, glyph.x + G.cx + FSpacing, 0);
    break;
  case blGlyphRight:
    Offset(ATextRect, glyph.x - FSpacing - FTextAreaSize.cx, 0);
    break;
  case blGlyphTop:
    Offset(ATextRect, 0, glyph.y + G.cy + FSpacing);
    break;
  case blGlyphBottom:
    Offset(ATextRect, 0, glyph.y - FSpacing - FTextAreaSize.cy);
    break;
  }
  if (IsHorizontal(Layout()))
    Offset(ATextRect, 0,
           R.top + (RectHeight(R) - FTextAreaSize.cy + cxBtnStdVertTextOffsetCorrection) / 2);
  else
    Offset(ATextRect, R.left + (RectWidth(R) - FTextAreaSize.cx) / 2, 0);
}

void TcxButtonStandardLayoutCalculator::CalculateTextAreaLayout(const RECT& ATextRect) {
  ViewInfo().FCaptionRect = ATextRect;
}

void TcxButtonStandardLayoutCalculator::CalculateDropDownArrowRect() {
  if (ViewInfo().FParams.Kind == cxbkDropDownButton)
    ViewInfo().FDropDownArrowRect = ViewInfo().FDropDownButtonRect;
}

// TcxButtonOfficeDropDownLayoutCalculator

void TcxButtonOfficeDropDownLayoutCalculator::CalculateLayout(RECT R) {
  if (IsHorizontal(Layout())) {
    const int A = ViewInfo().GetDropDownButtonSize();
    if (UseRightToLeftAlignment())
      R.left += A + kArrowGap;
    else
      R.right -= A + kArrowGap;
    if (FMargin < 0) {
      const TButtonLayout arrowSide = UseRightToLeftAlignment() ? blGlyphLeft : blGlyphRight;
      const TdxScaleFactor* factor = ViewInfo().FParams.ScaleFactor;
      FMargin = Layout() == arrowSide
                    ? 0
                    : (factor ? factor->Apply(kOfficeGlyphMargin) : kOfficeGlyphMargin);
    }
  }
  TcxButtonStandardLayoutCalculator::CalculateLayout(R);
}

RECT TcxButtonOfficeDropDownLayoutCalculator::GetTextOffsets() {
  RECT O = TcxButtonStandardLayoutCalculator::GetTextOffsets();
  if (!IsHorizontal(Layout())) {
    const int A = ViewInfo().GetDropDownButtonSize();
    O.left += A + kArrowGap;
    O.right += A + kArrowGap;
  }
  return O;
}

void TcxButtonOfficeDropDownLayoutCalculator::CalculateTextAreaSize(const RECT& R) {
  FCaptionSize = SIZE{};
  FDescriptionSize = SIZE{};
  FTextAreaSize = SIZE{};
  if (!ViewInfo().CanDrawCaption())
    return;
  const RECT O = GetTextOffsets();
  const int width = TextWidth(R, O);
  const UINT bidi = ViewInfo().BiDiFlags();
  FCaptionSize = Measure(ViewInfo().FParams.Caption, width, false,
                         (ViewInfo().FParams.WordWrap ? DT_WORDBREAK : 0u) | bidi);
  if (IsHorizontal(Layout()))
    FCaptionSize.cx = std::min<LONG>(FCaptionSize.cx, std::max(width, 0));
  FDescriptionSize = Measure(ViewInfo().FParams.Description, width, true, DT_WORDBREAK | bidi);
  FTextAreaSize = FCaptionSize;
  if (FDescriptionSize.cx > 0 && FDescriptionSize.cy > 0) {
    FTextAreaSize.cx = std::max(FCaptionSize.cx, FDescriptionSize.cx);
    FTextAreaSize.cy = FCaptionSize.cy + kDescriptionGap + FDescriptionSize.cy;
  }
  FTextAreaSize.cx += O.left + O.right;
  FTextAreaSize.cy += O.top + O.bottom;
}

void TcxButtonOfficeDropDownLayoutCalculator::CalculateTextAreaLayout(const RECT& T) {
  RECT caption{T.left, T.top, T.right, T.top + FCaptionSize.cy};
  RECT description{T.left, T.bottom - FDescriptionSize.cy, T.right, T.bottom};
  auto place = [this](RECT& r, int width) {
    switch (Layout()) {
    case blGlyphLeft:
      r.right = r.left + width;
      break;
    case blGlyphRight:
      r.left = r.right - width;
      break;
    default:
      r.left = FloorHalf(r.left + r.right - width);
      r.right = r.left + width;
      break;
    }
  };
  place(caption, FCaptionSize.cx);
  place(description, FDescriptionSize.cx);
  ViewInfo().FCaptionRect = caption;
  ViewInfo().FDescriptionRect = description;
}

void TcxButtonOfficeDropDownLayoutCalculator::CalculateDropDownArrowRect() {
  const int A = ViewInfo().GetDropDownButtonSize();
  const RECT& bounds = ViewInfo().FBounds;
  RECT r{};
  if (IsHorizontal(Layout())) {
    r = RECT{bounds.right - kArrowGap - A, bounds.top, bounds.right - kArrowGap, bounds.bottom};
  } else {
    const RECT U = Union(ViewInfo().FCaptionRect, ViewInfo().FDescriptionRect);
    const int top = FloorHalf(U.top + U.bottom - A);
    r = RECT{U.right, top, U.right + A, top + A};
  }
  if (UseRightToLeftAlignment())
    r = Mirror(r, bounds);
  ViewInfo().FDropDownArrowRect = r;
}

// TcxButtonCommandLinkLayoutCalculator

void TcxButtonCommandLinkLayoutCalculator::Calculate() {
  CalculateLayout(ViewInfo().GetContentRect(cxbsDefault), OptionsImage().Margin(),
                  OptionsImage().Spacing());
}

void TcxButtonCommandLinkLayoutCalculator::CalculateLayout(const RECT& R, int AMargin,
                                                           int ASpacing) {
  TcxButtonViewInfo& vi = ViewInfo();
  const RECT M = vi.Painter().GetCommandLinkMargins();
  RECT I{R.left + M.left, R.top + M.top, R.right - M.right, R.bottom - M.bottom};
  if (AMargin > -1) {
    I.left = R.left + AMargin;
    I.right = R.right - AMargin;
  }
  vi.FGlyphPos = POINT{I.left, I.top};
  const SIZE S = vi.ImageSize();
  RECT caption = I;
  if (S.cx > 0)
    caption.left += S.cx + std::max(ASpacing, 0);
  const SIZE measured = Measure(vi.FParams.Caption, RectWidth(caption), false,
                                kCommandLinkCaptionFlags | vi.BiDiFlags());
  caption.right = caption.left + measured.cx;
  caption.bottom = caption.top + measured.cy;
  RECT description = I;
  description.left = caption.left;
  if (RectHeight(caption) > 0)
    description.top = caption.bottom + kDescriptionGap;
  if (UseRightToLeftAlignment()) {
    caption = Mirror(caption, R);
    description = Mirror(description, R);
    vi.FGlyphPos.x = R.left + R.right - vi.FGlyphPos.x - S.cx;
  }
  vi.FCaptionRect = caption;
  vi.FDescriptionRect = description;
}

} // namespace telvora
