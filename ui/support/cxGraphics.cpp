#include "ui/support/cxGraphics.h"

#include "ui/support/dxScaleFactor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace telvora {

namespace {

int CharCount(const std::wstring& text, int count) {
  int length = static_cast<int>(text.size());
  return count < 0 ? length : std::min(count, length);
}

// ---------------------------------------------------------------- unit state

// A text measured by TdxTextMeasurer: what it was asked with and the
// rectangle it got, relative to the rectangle asked with.
struct TMeasuredText {
  std::wstring Text;
  LOGFONTW Font;
  UINT Flags;
  SIZE Asked;
  RECT Answer;
};

struct TGraphicsUnit {
  std::unique_ptr<TdxSolidBrushCache> BrushCache;
  // The context text is measured on; it keeps no font between
  // measurements (a font held here would outlive every control using it).
  TMemoryDC MeasureDC;
  // The latest measurements, the newest first: a control measures the same
  // captions at every paint.
  std::vector<TMeasuredText> Measured;
  bool Finalized = false;
};

constexpr size_t kMeasuredTextCount = 16;

TGraphicsUnit& GraphicsUnit() {
  static TGraphicsUnit unit;
  return unit;
}

// The list of parents being painted by cxDrawTransparentControlBackground:
// created on first use, freed when it empties.
std::unique_ptr<std::vector<TWinControl*>>& PaintingParents() {
  static std::unique_ptr<std::vector<TWinControl*>> list;
  return list;
}

} // namespace

// ---------------------------------------------------------------- TcxRegion

TcxRegion::TcxRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}

TcxRegion::TcxRegion(const RECT& R) : FHandle(CreateRectRgnIndirect(&R)) {}

TcxRegion::TcxRegion(HRGN AHandle) : FHandle(AHandle) {}

bool TcxRegion::IsEmpty() const {
  RECT box{};
  return GetRgnBox(Handle(), &box) == NULLREGION;
}

RECT TcxRegion::BoundsRect() const {
  RECT box{};
  GetRgnBox(Handle(), &box);
  return box;
}

bool TcxRegion::IsEqual(const TcxRegion& ARegion) const {
  return EqualRgn(Handle(), ARegion.Handle()) != FALSE;
}

bool TcxRegion::PtInRegion(int X, int Y) const {
  return ::PtInRegion(Handle(), X, Y) != FALSE;
}

void TcxRegion::Combine(const TcxRegion& ARegion, TcxRegionOperation AOperation) {
  int mode = RGN_COPY;
  switch (AOperation) {
  case roAdd:
    mode = RGN_OR;
    break;
  case roSubtract:
    mode = RGN_DIFF;
    break;
  case roIntersect:
    mode = RGN_AND;
    break;
  case roSet:
    break;
  }
  CombineRgn(Handle(), Handle(), ARegion.Handle(), mode);
}

void TcxRegion::Offset(int DX, int DY) {
  if (DX != 0 || DY != 0)
    OffsetRgn(Handle(), DX, DY);
}

// ---------------------------------------------------------------- TcxCustomCanvas

bool TcxCustomCanvas::UseRightToLeftAlignment() {
  if (FUseRightToLeftAlignment == bDefault)
    return GetDefaultUseRightToLeftAlignment();
  return FUseRightToLeftAlignment == bTrue;
}

// ---------------------------------------------------------------- TcxGdiBasedCanvas

void TcxGdiBasedCanvas::SetBrushColor(TColor AColor) {
  if (AColor == clNone) {
    Brush().SetStyle(bsClear);
  } else {
    Brush().SetStyle(bsSolid);
    Brush().SetColor(AColor);
  }
}

void TcxGdiBasedCanvas::FillRect(const RECT& R, TColor AColor) {
  if (AColor == clNone)
    return;
  if (AColor != clDefault)
    SetBrushColor(AColor);
  HDC dc = Handle();
  HBRUSH brush = static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH));
  ::FillRect(dc, &R, brush);
}

void TcxGdiBasedCanvas::FrameRect(const RECT& R, TColor AColor, int ALineWidth,
                                  TcxBorders ABorders) {
  if (IsRectEmpty(&R) || AColor == clNone)
    return;
  if (ABorders.Contains(bLeft))
    FillRect({R.left, R.top, std::min(R.left + ALineWidth, R.right), R.bottom}, AColor);
  if (ABorders.Contains(bRight))
    FillRect({std::max(R.right - ALineWidth, R.left), R.top, R.right, R.bottom}, AColor);
  if (ABorders.Contains(bTop))
    FillRect({R.left, R.top, R.right, std::min(R.top + ALineWidth, R.bottom)}, AColor);
  if (ABorders.Contains(bBottom))
    FillRect({R.left, std::max(R.bottom - ALineWidth, R.top), R.right, R.bottom}, AColor);
}

void TcxGdiBasedCanvas::DrawComplexFrame(const RECT& R, TColor ALeftTopColor,
                                         TColor ARightBottomColor, TcxBorders ABorders,
                                         int ABorderWidth) {
  FrameRect(R, ALeftTopColor, ABorderWidth, ABorders & TcxBorders{bLeft, bTop});
  FrameRect(R, ARightBottomColor, ABorderWidth, ABorders & TcxBorders{bRight, bBottom});
}

void TcxGdiBasedCanvas::DrawEdge(const RECT& R, bool ASunken, bool AOuter, TcxBorders ABorders) {
  TColor leftTop, rightBottom;
  if (ASunken) {
    leftTop = AOuter ? clBtnShadow : cl3DDkShadow;
    rightBottom = AOuter ? clBtnHighlight : cl3DLight;
  } else {
    leftTop = AOuter ? cl3DLight : clBtnHighlight;
    rightBottom = AOuter ? cl3DDkShadow : clBtnShadow;
  }
  DrawComplexFrame(R, leftTop, rightBottom, ABorders, 1);
}

void TcxGdiBasedCanvas::Polygon(std::span<const POINT> Points, TColor ABrushColor,
                                TColor APenColor) {
  if (APenColor == clNone) {
    Pen().SetStyle(psClear);
  } else {
    Pen().SetColor(APenColor);
    Pen().SetStyle(psSolid);
  }
  Pen().SetWidth(1);
  SetBrushColor(ABrushColor);
  if (Points.empty())
    return;
  ::Polygon(Handle(), Points.data(), static_cast<int>(Points.size()));
}

void TcxGdiBasedCanvas::DrawNativeObject(const RECT& R, const void* /*ACacheKey*/,
                                         const TcxDrawNativeProc& AProc) {
  if (AProc)
    AProc(*this, R);
}

void TcxGdiBasedCanvas::IntersectClipRect(const RECT& R) {
  ::IntersectClipRect(Handle(), R.left, R.top, R.right, R.bottom);
}

bool TcxGdiBasedCanvas::RectVisible(const RECT& R) {
  return ::RectVisible(Handle(), &R) != FALSE;
}

POINT TcxGdiBasedCanvas::DCOrigin() {
  HDC dc = Handle();
  POINT window{}, viewport{};
  GetWindowOrgEx(dc, &window);
  GetViewportOrgEx(dc, &viewport);
  return {viewport.x - window.x, viewport.y - window.y};
}

std::unique_ptr<TcxRegion> TcxGdiBasedCanvas::GetClipRegion(bool AConsiderOrigin) {
  auto region = std::make_unique<TcxRegion>();
  HDC dc = Handle();
  if (GetClipRgn(dc, region->Handle()) != 1)
    SetRectRgn(region->Handle(), 0, 0, cxMaxRegionSize, cxMaxRegionSize);
  if (AConsiderOrigin) {
    POINT origin = DCOrigin();
    region->Offset(-origin.x, -origin.y);
  }
  return region;
}

void TcxGdiBasedCanvas::SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation,
                                      bool ADestroyRegion, bool AConsiderOrigin) {
  std::unique_ptr<TcxRegion> owned(ADestroyRegion ? ARegion : nullptr);
  if (ARegion == nullptr)
    return;
  if (AOperation == roSet) {
    POINT origin{};
    if (AConsiderOrigin) {
      origin = DCOrigin();
      ARegion->Offset(origin.x, origin.y);
    }
    SelectClipRgn(Handle(), ARegion->Handle());
    if (!ADestroyRegion && AConsiderOrigin)
      ARegion->Offset(-origin.x, -origin.y);
  } else {
    std::unique_ptr<TcxRegion> clip = GetClipRegion(AConsiderOrigin);
    clip->Combine(*ARegion, AOperation);
    SetClipRegion(clip.release(), roSet, true, AConsiderOrigin);
  }
}

SIZE TcxGdiBasedCanvas::TextExtent(const std::wstring& Text) {
  SIZE size{0, 0};
  cxGetTextExtentPoint32(Handle(), Text, size, -1);
  return size;
}

void TcxGdiBasedCanvas::TextExtent(const std::wstring& Text, RECT& R, int Flags) {
  int width = RectWidth(R);
  int height = RectHeight(R);
  UINT flags = cxFlagsToDTFlags(Flags);
  if (width <= 0 && !Text.empty())
    R.right = R.left + 1;
  // Measured from the top: the vertical alignment is applied below (DrawText
  // would otherwise report a bottom-aligned line with the rectangle's height).
  UINT measure = (flags & ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT;
  if (cxDrawText(Handle(), Text, R, measure, -1, clDefault, TRANSPARENT) == 0) {
    R.right = R.left;
    R.bottom = R.top;
  }
  int dx = width - RectWidth(R);
  int dy = height - RectHeight(R);
  if (flags & DT_CENTER)
    dx /= 2;
  else if (!(flags & DT_RIGHT))
    dx = 0;
  if (flags & DT_VCENTER)
    dy /= 2;
  else if (!(flags & DT_BOTTOM))
    dy = 0;
  OffsetRect(&R, dx, dy);
}

// ---------------------------------------------------------------- TcxCanvas

TcxCanvas::TcxCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

TcxCanvas::~TcxCanvas() {
  // Saves left open are closed, so that the wrapped canvas is not left
  // locked or with a changed context.
  while (!FSavedStates.empty())
    RestoreState();
  while (!FSavedDCs.empty())
    RestoreDC();
}

bool TcxCanvas::GetDefaultUseRightToLeftAlignment() {
  // A control marks right-to-left reading on its window.
  TWinControl* control = FCanvas != nullptr ? FCanvas->Control() : nullptr;
  if (control == nullptr || !control->HandleAllocated())
    return false;
  return (GetWindowLongW(control->Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
}

void TcxCanvas::SaveDC() {
  FCanvas->Lock();
  try {
    HDC dc = FCanvas->TryHandle();
    int id = FCanvas->SaveDC();
    FSavedDCs.push_back({dc, id});
  } catch (...) {
    FCanvas->Unlock();
    throw;
  }
}

void TcxCanvas::RestoreDC() {
  if (FSavedDCs.empty())
    return;
  TcxDCState state = FSavedDCs.back();
  FSavedDCs.pop_back();
  TScopeExit unlock([this] { FCanvas->Unlock(); });
  FCanvas->SetHandle(state.Handle);
  FCanvas->RestoreDC(state.SavedDC);
}

void TcxCanvas::SaveState() {
  SaveDC();
  try {
    TcxCanvasState state;
    state.Font = std::make_unique<TFont>();
    state.Font->Assign(Font());
    state.Brush = std::make_unique<TBrush>();
    state.Brush->Assign(Brush());
    state.Pen = std::make_unique<TPen>();
    state.Pen->Assign(Pen());
    state.UseRightToLeftAlignment = FUseRightToLeftAlignment;
    state.TextFlags = FCanvas->TextFlags();
    FSavedStates.push_back(std::move(state));
  } catch (...) {
    RestoreDC();
    throw;
  }
}

void TcxCanvas::RestoreState() {
  if (FSavedStates.empty())
    return;
  TcxCanvasState state = std::move(FSavedStates.back());
  FSavedStates.pop_back();
  TScopeExit restore([this] { RestoreDC(); });
  FCanvas->SetTextFlags(state.TextFlags);
  FUseRightToLeftAlignment = state.UseRightToLeftAlignment;
  Font().Assign(*state.Font);
  Brush().Assign(*state.Brush);
  Pen().Assign(*state.Pen);
}

void TcxCanvas::SaveClipRegion() {
  FSavedRegions.push_back(GetClipRegion(true));
}

void TcxCanvas::RestoreClipRegion() {
  if (FSavedRegions.empty())
    return;
  std::unique_ptr<TcxRegion> region = std::move(FSavedRegions.back());
  FSavedRegions.pop_back();
  SetClipRegion(region.release(), roSet, true, true);
}

void TcxCanvas::DrawFocusRect(const RECT& R) {
  TcxSaveStateGuard state(*this);
  SetBrushColor(clWhite);
  Font().SetColor(clBlack);
  ::DrawFocusRect(Handle(), &R);
}

void TcxCanvas::AlignMultiLineTextRectVertically(RECT& R, const std::wstring& AText,
                                                 TcxAlignmentVert AAlignmentVert, bool AWordBreak,
                                                 bool AShowPrefix, bool AEnabled,
                                                 bool ADontBreakChars, bool AEndEllipsis) {
  if (AAlignmentVert == vaTop)
    return;
  int d = AEnabled ? 0 : 1;
  RECT s{0, 0, RectWidth(R) - d, 0};
  int flags = cxAlignLeft | cxAlignTop;
  if (AWordBreak)
    flags |= cxWordBreak;
  if (AShowPrefix)
    flags |= cxShowPrefix;
  if (ADontBreakChars)
    flags |= cxDontBreakChars;
  int height;
  if (AEndEllipsis && AWordBreak) {
    int row = TextHeight(L"Zq");
    height = row > 0 ? std::max(((RectHeight(R) - d) / row) * row, row) : 0;
  } else {
    TextExtent(AText, s, flags);
    height = RectHeight(s);
  }
  if (AAlignmentVert == vaBottom)
    R.top = R.bottom - (height + d);
  else
    R.top = (R.top + R.bottom - height) / 2;
}

void TcxCanvas::DrawText(const std::wstring& Text, const RECT& ARect, int Flags, bool Enabled,
                         TcxRotationAngle ARotationAngle) {
  if (Text.empty())
    return;
  RECT R = ARect;
  constexpr int kDrawTextOnlyFlags =
      cxShowPrefix | cxShowEndEllipsis | cxShowPathEllipsis | cxShowWordEllipsis;
  bool useDrawText =
      !(Flags & cxSingleLine) || ARotationAngle != ra0 || (Flags & kDrawTextOnlyFlags) != 0;
  RECT clip = R;
  SIZE extent = TextExtent(Text);
  if (RectWidth(R) >= extent.cx && RectHeight(R) >= extent.cy)
    Flags |= cxDontClip;
  bool rightToLeft = (FCanvas->TextFlags() & ETO_RTLREADING) != 0;
  UINT dtFlags = 0;
  UINT options = 0;
  if (useDrawText) {
    if (!(Flags & cxSingleLine) && (Flags & (cxAlignBottom | cxAlignVCenter)) &&
        ARotationAngle == ra0)
      AlignMultiLineTextRectVertically(R, Text, (Flags & cxAlignBottom) ? vaBottom : vaCenter,
                                       (Flags & cxWordBreak) != 0, (Flags & cxShowPrefix) != 0,
                                       Enabled, (Flags & cxDontBreakChars) != 0,
                                       (Flags & (cxShowEndEllipsis | cxShowWordEllipsis)) != 0);
    dtFlags = cxFlagsToDTFlags(Flags);
  } else {
    int d = Enabled ? 0 : 1;
    if (rightToLeft || extent.cx < RectWidth(R)) {
      if (Flags & cxAlignRight)
        R.left = R.right - extent.cx - d;
      else if (Flags & cxAlignHCenter)
        R.left = (R.left + R.right - extent.cx) / 2;
    }
    if (RectHeight(R) > extent.cy) {
      if (Flags & cxAlignBottom)
        R.top = R.bottom - extent.cy - d;
      else if (Flags & cxAlignVCenter)
        R.top = (R.top + R.bottom - extent.cy) / 2;
    }
    if (!rightToLeft)
      clip = R;
    options = (Flags & cxDontClip) ? 0 : ETO_CLIPPED;
    if (rightToLeft)
      options |= ETO_RTLREADING;
  }

  auto drawOnce = [&] {
    if (useDrawText) {
      RECT r = R;
      cxDrawText(*this, Text, r, dtFlags, clDefault, ARotationAngle);
    } else {
      cxExtTextOut(Handle(), Text, {R.left, R.top}, clip, options, -1);
    }
  };

  TBrushStyle brushStyle = Brush().Style();
  TColor fontColor = Font().Color();
  TScopeExit restore([&] {
    if (Brush().Style() != brushStyle)
      Brush().SetStyle(brushStyle);
    Font().SetColor(fontColor);
  });
  if (!Enabled) {
    OffsetRect(&R, 1, 1);
    Brush().SetStyle(bsClear);
    Font().SetColor(clBtnHighlight);
    drawOnce();
    OffsetRect(&R, -1, -1);
    Font().SetColor(clBtnShadow);
  }
  drawOnce();
}

// ---------------------------------------------------------------- text

UINT cxFlagsToDTFlags(int Flags) {
  UINT result = DT_NOPREFIX;
  if (Flags & cxAlignLeft)
    result |= DT_LEFT;
  if (Flags & cxAlignRight)
    result |= DT_RIGHT;
  if (Flags & cxAlignHCenter)
    result |= DT_CENTER;
  if (Flags & cxAlignTop)
    result |= DT_TOP;
  if (Flags & cxAlignBottom)
    result |= DT_BOTTOM;
  if (Flags & cxAlignVCenter)
    result |= DT_VCENTER;
  if (Flags & cxSingleLine)
    result |= DT_SINGLELINE;
  if (Flags & cxDontClip)
    result |= DT_NOCLIP;
  if (Flags & cxExpandTabs)
    result |= DT_EXPANDTABS;
  if (Flags & cxShowPrefix)
    result &= ~static_cast<UINT>(DT_NOPREFIX);
  if (Flags & cxWordBreak) {
    result |= DT_WORDBREAK;
    if (!(Flags & cxDontBreakChars))
      result |= DT_EDITCONTROL;
    else if (Flags & cxNoFullWidthCharBreak)
      result |= DT_NOFULLWIDTHCHARBREAK;
  }
  if (Flags & cxShowEndEllipsis)
    result |= DT_END_ELLIPSIS;
  if (Flags & cxCalcRect)
    result |= DT_CALCRECT;
  if (Flags & cxShowPathEllipsis)
    result |= DT_PATH_ELLIPSIS;
  if (Flags & cxRtlReading)
    result |= DT_RTLREADING;
  if (Flags & cxShowWordEllipsis)
    result |= DT_WORD_ELLIPSIS;
  return result;
}

int cxDrawText(HDC ADC, const std::wstring& AText, RECT& ARect, UINT AFormat, int ACharCount,
               TColor ATextColor, int ABkMode) {
  // The text is the caller's and read-only: DrawText must not write into it.
  AFormat &= ~static_cast<UINT>(DT_MODIFYSTRING);
  int count = CharCount(AText, ACharCount);
  if (count == 0)
    return ::DrawTextW(ADC, AText.c_str(), 0, &ARect, AFormat);
  COLORREF oldTextColor = CLR_INVALID;
  if (ATextColor != clDefault)
    oldTextColor = SetTextColor(ADC, ColorToRGB(ATextColor));
  int oldBkMode = SetBkMode(ADC, ABkMode);
  int result = ::DrawTextW(ADC, AText.c_str(), count, &ARect, AFormat);
  if (oldBkMode != 0)
    SetBkMode(ADC, oldBkMode);
  if (ATextColor != clDefault && oldTextColor != CLR_INVALID)
    SetTextColor(ADC, oldTextColor);
  return result;
}

int cxDrawText(TCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
               TColor ATextColor) {
  if (ACanvas.TextFlags() & ETO_RTLREADING)
    AFormat |= DT_RTLREADING;
  return cxDrawText(ACanvas.TryHandle(), AText, ARect, AFormat, -1, ATextColor, TRANSPARENT);
}

namespace {

// A 32-bit bitmap's pixels turned by a quarter or half turn.
enum TRotation { rotClockwise, rotCounterClockwise, rotHalf };

std::unique_ptr<TcxBitmap32> RotateBitmap(TcxBitmap32& source, TRotation rotation) {
  int w = source.Width();
  int h = source.Height();
  bool quarter = rotation != rotHalf;
  auto result = std::make_unique<TcxBitmap32>(quarter ? h : w, quarter ? w : h);
  const BYTE* src = source.Bits();
  BYTE* dst = result->Bits();
  if (src == nullptr || dst == nullptr)
    return result;
  int dstStride = result->BytesPerLine();
  for (int y = 0; y < h; ++y) {
    const BYTE* row = src + y * source.BytesPerLine();
    for (int x = 0; x < w; ++x) {
      int dx = 0, dy = 0;
      switch (rotation) {
      case rotClockwise:
        dx = h - 1 - y;
        dy = x;
        break;
      case rotCounterClockwise:
        dx = y;
        dy = w - 1 - x;
        break;
      case rotHalf:
        dx = w - 1 - x;
        dy = h - 1 - y;
        break;
      }
      std::memcpy(dst + dy * dstStride + dx * 4, row + x * 4, 4);
    }
  }
  return result;
}

int RotatedDrawText(TcxCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
                    TColor ATextColor, TcxRotationAngle AAngle) {
  int w = RectWidth(ARect);
  int h = RectHeight(ARect);
  bool quarter = AAngle != ra180;
  TRotation there = AAngle == raPlus90    ? rotClockwise
                    : AAngle == raMinus90 ? rotCounterClockwise
                                          : rotHalf;
  TRotation back = AAngle == raPlus90    ? rotCounterClockwise
                   : AAngle == raMinus90 ? rotClockwise
                                         : rotHalf;
  LOGFONTW lf = FontToLogFont(ACanvas.Font());
  if (!dxUseAntialiasingForRotatedText)
    lf.lfQuality = NONANTIALIASED_QUALITY;
  TGdiObject font(CreateFontIndirectW(&lf));
  TColor color = ATextColor == clDefault ? ACanvas.Font().Color() : ATextColor;

  if (AFormat & DT_CALCRECT) {
    // Measured in the turned space, the answer turned back.
    TMemoryDC dc(CreateCompatibleDC(nullptr));
    TSelectObject select(dc.Get(), font.Get());
    RECT r{0, 0, quarter ? h : w, quarter ? w : h};
    int result = cxDrawText(dc.Get(), AText, r, AFormat, -1, color, TRANSPARENT);
    ARect.right = ARect.left + (quarter ? RectHeight(r) : RectWidth(r));
    ARect.bottom = ARect.top + (quarter ? RectWidth(r) : RectHeight(r));
    return result;
  }
  if (w <= 0 || h <= 0)
    return 0;
  TcxBitmap32 background(w, h);
  HDC dest = ACanvas.Handle();
  BitBlt(background.Canvas().TryHandle(), 0, 0, w, h, dest, ARect.left, ARect.top, SRCCOPY);
  std::unique_ptr<TcxBitmap32> turned = RotateBitmap(background, there);
  int result = 0;
  {
    HDC dc = turned->Canvas().TryHandle();
    TSelectObject select(dc, font.Get());
    RECT r{0, 0, turned->Width(), turned->Height()};
    result = cxDrawText(dc, AText, r, AFormat, -1, color, TRANSPARENT);
  }
  std::unique_ptr<TcxBitmap32> image = RotateBitmap(*turned, back);
  BitBlt(dest, ARect.left, ARect.top, w, h, image->Canvas().TryHandle(), 0, 0, SRCCOPY);
  return result;
}

} // namespace

int cxDrawText(TcxCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
               TColor ATextColor, TcxRotationAngle ARotationAngle) {
  if (ARotationAngle == ra0)
    return cxDrawText(*ACanvas.Canvas(), AText, ARect, AFormat, ATextColor);
  return RotatedDrawText(ACanvas, AText, ARect, AFormat, ATextColor, ARotationAngle);
}

bool cxExtTextOut(HDC ADC, const std::wstring& AText, POINT APoint, const RECT& ARect,
                  UINT AOptions, int ACharCount) {
  int count = CharCount(AText, ACharCount);
  return ExtTextOutW(ADC, APoint.x, APoint.y, AOptions, &ARect, AText.c_str(),
                     static_cast<UINT>(count), nullptr) != FALSE;
}

bool cxGetTextExtentPoint32(HDC ADC, const std::wstring& AText, SIZE& ASize, int ACharCount) {
  ASize = {0, 0};
  int count = CharCount(AText, ACharCount);
  return GetTextExtentPoint32W(ADC, AText.c_str(), count, &ASize) != FALSE;
}

void TdxTextMeasurer::TextRectDT(RECT& ARect, const std::wstring& AText, const TFont& AFont,
                                 UINT ADTFlags) {
  ADTFlags &= ~static_cast<UINT>(DT_MODIFYSTRING);
  TGraphicsUnit& unit = GraphicsUnit();
  if (!unit.Finalized) {
    if (!unit.MeasureDC) {
      unit.MeasureDC.Reset(CreateCompatibleDC(nullptr));
      if (!unit.MeasureDC)
        return;
    }
    const LOGFONTW font = FontToLogFont(AFont);
    const SIZE asked{RectWidth(ARect), RectHeight(ARect)};
    auto& measured = unit.Measured;
    for (auto it = measured.begin(); it != measured.end(); ++it)
      if (it->Flags == ADTFlags && it->Asked.cx == asked.cx && it->Asked.cy == asked.cy &&
          it->Text == AText && std::memcmp(&it->Font, &font, sizeof(font)) == 0) {
        const RECT answer = it->Answer;
        std::rotate(measured.begin(), it, it + 1);
        ARect = RECT{ARect.left + answer.left, ARect.top + answer.top, ARect.left + answer.right,
                     ARect.top + answer.bottom};
        return;
      }
    const RECT askedAt = ARect;
    {
      // The font that the controls drawing with it hold already.
      const TSharedGdiObject object = TSharedGdiObject::Font(font);
      const HDC dc = unit.MeasureDC.Get();
      TSelectObject select(dc, object ? object.Get() : GetStockObject(DEFAULT_GUI_FONT));
      ::DrawTextW(dc, AText.c_str(), static_cast<int>(AText.size()), &ARect,
                  ADTFlags | DT_CALCRECT);
    }
    if (measured.size() >= kMeasuredTextCount)
      measured.pop_back();
    measured.insert(measured.begin(),
                    TMeasuredText{AText, font, ADTFlags, asked,
                                  RECT{ARect.left - askedAt.left, ARect.top - askedAt.top,
                                       ARect.right - askedAt.left, ARect.bottom - askedAt.top}});
    return;
  }
  // After the unit has shut down: a context for this call only.
  TBitmap scratch;
  TCanvas& canvas = scratch.Canvas();
  canvas.Font().Assign(AFont);
  ::DrawTextW(canvas.TryHandle(), AText.c_str(), static_cast<int>(AText.size()), &ARect,
              ADTFlags | DT_CALCRECT);
}

// ---------------------------------------------------------------- colours

TColor cxGetActualColor(TColor AValue, TColor ADefaultValue) {
  return AValue == clDefault ? ADefaultValue : AValue;
}

TColor GetLightColor(std::int8_t ABtnFaceColorPart, std::int8_t AHighlightColorPart,
                     std::int8_t AWindowColorPart) {
  COLORREF face = ColorToRGB(clBtnFace);
  COLORREF highlight = ColorToRGB(clHighlight);
  COLORREF window = ColorToRGB(clWindow);
  if ((face == 0 || face == 0xFFFFFF) && highlight != 0)
    return static_cast<TColor>(highlight);
  auto channel = [&](int shift) {
    int f = (face >> shift) & 0xFF;
    int hl = (highlight >> shift) & 0xFF;
    int w = (window >> shift) & 0xFF;
    int value = MulDiv(f, ABtnFaceColorPart, 100) + MulDiv(hl, AHighlightColorPart, 100) +
                MulDiv(w, AWindowColorPart, 100);
    return static_cast<TColor>(std::clamp(value, 0, 255));
  };
  return channel(0) | (channel(8) << 8) | (channel(16) << 16);
}

TColor GetLightSelColor() {
  return dxGetNearestColor(GetLightColor(-2, 30, 72));
}

TColor GetLightDownedSelColor() {
  return dxGetNearestColor(GetLightColor(14, 44, 40));
}

TColor dxGetMiddleRGB(TColor AColor1, TColor AColor2, int APercent) {
  COLORREF c1 = ColorToRGB(AColor1);
  COLORREF c2 = ColorToRGB(AColor2);
  auto channel = [&](int shift) {
    int value = MulDiv((c2 >> shift) & 0xFF, 100 - APercent, 100) +
                MulDiv((c1 >> shift) & 0xFF, APercent, 100);
    return static_cast<TColor>(std::clamp(value, 0, 255));
  };
  return dxGetNearestColor(channel(0) | (channel(8) << 8) | (channel(16) << 16));
}

TColor dxGetNearestColor(TColor AColor) {
  COLORREF color = ColorToRGB(AColor);
  TWindowDC screen(nullptr);
  COLORREF nearest = screen.Get() != nullptr ? GetNearestColor(screen.Get(), color) : CLR_INVALID;
  return static_cast<TColor>(nearest == CLR_INVALID ? color : nearest);
}

// ---------------------------------------------------------------- brush cache

HBRUSH TdxSolidBrushCache::Get(TColor AColor) {
  int count = FCount;
  for (int i = 0; i < count; ++i)
    if (FEntries[i].Color == AColor)
      return static_cast<HBRUSH>(FEntries[i].Brush.Get());
  TGdiObject brush(CreateSolidBrush(ColorToRGB(AColor)));
  if (!brush)
    return nullptr;
  int slot;
  if (FCount < Capacity) {
    slot = FCount++;
  } else {
    slot = FOldest;
    FOldest = (FOldest + 1) % Capacity;
  }
  FEntries[slot].Color = AColor;
  FEntries[slot].Brush = std::move(brush); // the replaced brush is deleted here
  return static_cast<HBRUSH>(FEntries[slot].Brush.Get());
}

void TdxSolidBrushCache::Clear() {
  for (TEntry& entry : FEntries) {
    entry.Brush.Reset();
    entry.Color = clNone;
  }
  FCount = 0;
  FOldest = 0;
}

bool TdxSolidBrushCache::Contains(TColor AColor) const noexcept {
  for (int i = 0; i < FCount; ++i)
    if (FEntries[i].Color == AColor)
      return true;
  return false;
}

TdxSolidBrushCache* dxSolidBrushCache() noexcept {
  return GraphicsUnit().BrushCache.get();
}

namespace {
// A brush of the colour from the cache, or one for this call only.
class TColorBrush {
public:
  explicit TColorBrush(TColor color) {
    TdxSolidBrushCache* cache = dxSolidBrushCache();
    if (cache != nullptr) {
      FBrush = cache->Get(color);
    } else {
      FOwned.Reset(CreateSolidBrush(ColorToRGB(color)));
      FBrush = static_cast<HBRUSH>(FOwned.Get());
    }
  }
  HBRUSH Get() const noexcept { return FBrush; }

private:
  HBRUSH FBrush = nullptr;
  TGdiObject FOwned;
};
} // namespace

void FillRectByColor(HDC DC, const RECT& R, TColor AColor) {
  if (AColor == clNone || AColor == clDefault)
    return;
  TColorBrush brush(AColor);
  if (brush.Get() != nullptr)
    ::FillRect(DC, &R, brush.Get());
}

void FrameRectByColor(HDC DC, const RECT& R, TColor AColor) {
  if (AColor == clNone || AColor == clDefault)
    return;
  TColorBrush brush(AColor);
  if (brush.Get() != nullptr)
    ::FrameRect(DC, &R, brush.Get());
}

// ---------------------------------------------------------------- bitmaps

TcxBitmap::TcxBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat)
    : TBitmap(AWidth, AHeight, APixelFormat) {}

TcxBitmap::~TcxBitmap() {
  FcxCanvas.reset();
}

std::unique_ptr<TcxBitmap> TcxBitmap::CreateSize(const RECT& ARect, TPixelFormat APixelFormat) {
  return std::make_unique<TcxBitmap>(RectWidth(ARect), RectHeight(ARect), APixelFormat);
}

TcxCanvas& TcxBitmap::cxCanvas() {
  if (!FcxCanvas)
    FcxCanvas = std::make_unique<TcxCanvas>(&Canvas());
  return *FcxCanvas;
}

TcxBitmap32::TcxBitmap32(int AWidth, int AHeight, bool AClear)
    : TcxBitmap(AWidth, AHeight, pf32bit) {
  if (AClear)
    Clear();
}

std::unique_ptr<TcxBitmap32> TcxBitmap32::CreateSize(const RECT& ARect, bool AClear) {
  return std::make_unique<TcxBitmap32>(RectWidth(ARect), RectHeight(ARect), AClear);
}

void TcxBitmap32::Clear() {
  BYTE* bits = Bits();
  if (bits != nullptr)
    std::memset(bits, 0, static_cast<size_t>(BytesPerLine()) * static_cast<size_t>(Height()));
}

void cxBitBlt(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, POINT ASrcTopLeft, DWORD ROP) {
  BitBlt(ADestDC, ADestRect.left, ADestRect.top, RectWidth(ADestRect), RectHeight(ADestRect),
         ASrcDC, ASrcTopLeft.x, ASrcTopLeft.y, ROP);
}

// ---------------------------------------------------------------- backgrounds

void cxDrawTransparentControlBackground(TWinControl* AControl, TcxCanvas& ACanvas,
                                        const RECT& ARect, bool APaintParentWithChildren) {
  TWinControl* parent = AControl != nullptr ? AControl->Parent() : nullptr;
  if (parent == nullptr)
    return;
  auto& parents = PaintingParents();
  if (parents && std::find(parents->begin(), parents->end(), parent) != parents->end())
    return;
  if (!parent->HandleAllocated())
    return;
  HWND parentWindow = parent->Handle();

  // ARect in the parent's client coordinates.
  RECT parentRect = ARect;
  if (AControl->HandleAllocated())
    MapWindowPoints(AControl->Handle(), parentWindow, reinterpret_cast<POINT*>(&parentRect), 2);
  else
    OffsetRect(&parentRect, AControl->Left(), AControl->Top());

  if (!parents)
    parents = std::make_unique<std::vector<TWinControl*>>();
  parents->push_back(parent);
  TScopeExit removeParent([parent] {
    auto& list = PaintingParents();
    if (!list)
      return;
    auto it = std::find(list->begin(), list->end(), parent);
    if (it != list->end())
      list->erase(it);
    if (list->empty())
      list.reset();
  });

  HDC dc = ACanvas.Handle();
  int saved = ::SaveDC(dc);
  TScopeExit restoreDC([dc, saved] { ::RestoreDC(dc, saved); });
  ::IntersectClipRect(dc, ARect.left, ARect.top, ARect.right, ARect.bottom);
  POINT origin = ACanvas.DCOrigin();
  {
    TcxRegion windowRegion;
    if (GetWindowRgn(parentWindow, windowRegion.Handle()) != ERROR) {
      // The window region is relative to the window's corner; the clip region
      // is in device coordinates of the canvas.
      RECT windowRect{};
      GetWindowRect(parentWindow, &windowRect);
      POINT client{0, 0};
      ClientToScreen(parentWindow, &client);
      windowRegion.Offset(windowRect.left - client.x + ARect.left - parentRect.left + origin.x,
                          windowRect.top - client.y + ARect.top - parentRect.top + origin.y);
      ExtSelectClipRgn(dc, windowRegion.Handle(), RGN_AND);
    }
  }
  OffsetWindowOrgEx(dc, parentRect.left - ARect.left, parentRect.top - ARect.top, nullptr);
  SendMessageW(parentWindow, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_ERASEBKGND | PRF_CLIENT);

  if (APaintParentWithChildren) {
    // The parent's other children, bottom of the z-order first.
    HWND own = AControl->HandleAllocated() ? AControl->Handle() : nullptr;
    for (HWND child = GetWindow(GetWindow(parentWindow, GW_CHILD), GW_HWNDLAST); child != nullptr;
         child = GetWindow(child, GW_HWNDPREV)) {
      if (child == own || !IsWindowVisible(child))
        continue;
      RECT childRect{};
      GetWindowRect(child, &childRect);
      MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&childRect), 2);
      RECT common{};
      if (!IntersectRect(&common, &childRect, &parentRect))
        continue;
      int childSaved = ::SaveDC(dc);
      TScopeExit restoreChild([dc, childSaved] { ::RestoreDC(dc, childSaved); });
      ::IntersectClipRect(dc, childRect.left, childRect.top, childRect.right, childRect.bottom);
      OffsetWindowOrgEx(dc, -childRect.left, -childRect.top, nullptr);
      SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                   PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
    }
  }
}

void cxRightToLeftDependentDraw(TcxCanvas& ACanvas, const RECT& R,
                                const std::function<void()>& AProc) {
  if (!ACanvas.UseRightToLeftAlignment()) {
    if (AProc)
      AProc();
    return;
  }
  HDC dc = ACanvas.Handle();
  int oldMode = SetGraphicsMode(dc, GM_ADVANCED);
  XFORM saved{};
  GetWorldTransform(dc, &saved);
  TScopeExit restore([dc, saved, oldMode] {
    SetWorldTransform(dc, &saved);
    if (oldMode != 0 && oldMode != GM_ADVANCED)
      SetGraphicsMode(dc, oldMode);
  });
  // x' = (R.Left + R.Right - 1) - x: a flip about the rectangle's centre line.
  XFORM flip{-1.0f, 0.0f, 0.0f, 1.0f, static_cast<float>(R.left + R.right - 1), 0.0f};
  ModifyWorldTransform(dc, &flip, MWT_LEFTMULTIPLY);
  if (AProc)
    AProc();
}

// ---------------------------------------------------------------- images

namespace {

// Premultiplied 32-bit pixels of an image, top-down, $AARRGGBB.
struct TImagePixels {
  int Width = 0;
  int Height = 0;
  std::vector<DWORD> Pixels;
};

BYTE Channel(DWORD pixel, int shift) {
  return static_cast<BYTE>((pixel >> shift) & 0xFF);
}

DWORD MakePixel(int a, int r, int g, int b) {
  return (static_cast<DWORD>(a) << 24) | (static_cast<DWORD>(r) << 16) |
         (static_cast<DWORD>(g) << 8) | static_cast<DWORD>(b);
}

// Reads a bitmap into premultiplied pixels. A bitmap without any alpha is
// opaque, except for the left-bottom pixel's colour when that is asked for.
bool ReadBitmapPixels(HBITMAP bitmap, int width, int height, bool leftBottomTransparent,
                      TImagePixels& out) {
  if (bitmap == nullptr || width <= 0 || height <= 0)
    return false;
  out.Width = width;
  out.Height = height;
  out.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  BITMAPINFO info = TopDown32BitInfo(width, height);
  TWindowDC screen(nullptr);
  if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), out.Pixels.data(), &info,
                DIB_RGB_COLORS) == 0)
    return false;
  bool hasAlpha = std::any_of(out.Pixels.begin(), out.Pixels.end(),
                              [](DWORD p) { return (p & 0xFF000000) != 0; });
  if (hasAlpha) {
    // Straight alpha becomes premultiplied.
    for (DWORD& p : out.Pixels) {
      int a = Channel(p, 24);
      p = MakePixel(a, Channel(p, 16) * a / 255, Channel(p, 8) * a / 255, Channel(p, 0) * a / 255);
    }
    return true;
  }
  DWORD transparent = out.Pixels[static_cast<size_t>(height - 1) * width] & 0x00FFFFFF;
  for (DWORD& p : out.Pixels) {
    if (leftBottomTransparent && (p & 0x00FFFFFF) == transparent)
      p = 0;
    else
      p |= 0xFF000000;
  }
  return true;
}

bool ReadImageListPixels(HIMAGELIST images, int index, TImagePixels& out) {
  IMAGEINFO info{};
  if (images == nullptr || !ImageList_GetImageInfo(images, index, &info))
    return false;
  int w = RectWidth(info.rcImage);
  int h = RectHeight(info.rcImage);
  // The list draws the image (with its mask or alpha) onto black and onto
  // white; the two results give each pixel's colour and coverage.
  TcxBitmap32 onBlack(w, h, true);
  TcxBitmap32 onWhite(w, h, true);
  HDC blackDC = onBlack.Canvas().TryHandle();
  HDC whiteDC = onWhite.Canvas().TryHandle();
  PatBlt(blackDC, 0, 0, w, h, BLACKNESS);
  PatBlt(whiteDC, 0, 0, w, h, WHITENESS);
  ImageList_Draw(images, index, blackDC, 0, 0, ILD_NORMAL);
  ImageList_Draw(images, index, whiteDC, 0, 0, ILD_NORMAL);
  const BYTE* b = onBlack.Bits();
  const BYTE* wt = onWhite.Bits();
  if (b == nullptr || wt == nullptr)
    return false;
  out.Width = w;
  out.Height = h;
  out.Pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  for (int i = 0; i < w * h; ++i) {
    // On black the colour is premultiplied; white minus black is 255 - alpha.
    int alpha = 255 - std::clamp(static_cast<int>(wt[i * 4 + 1]) - b[i * 4 + 1], 0, 255);
    out.Pixels[static_cast<size_t>(i)] =
        MakePixel(alpha, std::min<int>(b[i * 4 + 2], alpha), std::min<int>(b[i * 4 + 1], alpha),
                  std::min<int>(b[i * 4], alpha));
  }
  return true;
}

void ApplyPalette(TImagePixels& image, const TdxColorPalette& palette) {
  for (DWORD& p : image.Pixels) {
    int a = Channel(p, 24);
    if (a == 0)
      continue;
    // Back to straight colour for the mapping, then premultiplied again.
    COLORREF straight =
        RGB(Channel(p, 16) * 255 / a, Channel(p, 8) * 255 / a, Channel(p, 0) * 255 / a);
    COLORREF mapped = palette(straight);
    p = MakePixel(a, GetRValue(mapped) * a / 255, GetGValue(mapped) * a / 255,
                  GetBValue(mapped) * a / 255);
  }
}

void ApplyDrawMode(TImagePixels& image, TcxImageDrawMode mode) {
  auto gray = [](DWORD p) {
    return (Channel(p, 16) * 30 + Channel(p, 8) * 59 + Channel(p, 0) * 11) / 100;
  };
  switch (mode) {
  case idmNormal:
    return;
  case idmGrayScale:
    for (DWORD& p : image.Pixels) {
      int g = gray(p);
      p = MakePixel(Channel(p, 24), g, g, g);
    }
    return;
  case idmDisabled:
    // Grey at half the coverage.
    for (DWORD& p : image.Pixels) {
      int g = gray(p) / 2;
      p = MakePixel(Channel(p, 24) / 2, g, g, g);
    }
    return;
  case idmFaded:
    // Half-way towards the window colour.
    for (DWORD& p : image.Pixels) {
      int a = Channel(p, 24);
      COLORREF window = ColorToRGB(clWindow);
      p = MakePixel(a, (Channel(p, 16) + GetRValue(window) * a / 255) / 2,
                    (Channel(p, 8) + GetGValue(window) * a / 255) / 2,
                    (Channel(p, 0) + GetBValue(window) * a / 255) / 2);
    }
    return;
  case idmDingy:
    // Grey mixed with the colour, slightly lighter, at most 3/4 coverage.
    for (DWORD& p : image.Pixels) {
      int a = Channel(p, 24) * 3 / 4;
      int g = gray(p);
      auto mix = [&](int c) { return std::min((c + g) / 2 * 3 / 4 + a / 8, a); };
      p = MakePixel(a, mix(Channel(p, 16)), mix(Channel(p, 8)), mix(Channel(p, 0)));
    }
    return;
  case idmShadowed: {
    // A grey silhouette two pixels down and right under the image.
    TImagePixels shadowed;
    shadowed.Width = image.Width + 2;
    shadowed.Height = image.Height + 2;
    shadowed.Pixels.assign(static_cast<size_t>(shadowed.Width) * shadowed.Height, 0);
    for (int y = 0; y < image.Height; ++y)
      for (int x = 0; x < image.Width; ++x) {
        int a = Channel(image.Pixels[static_cast<size_t>(y) * image.Width + x], 24) / 2;
        shadowed.Pixels[static_cast<size_t>(y + 2) * shadowed.Width + x + 2] =
            MakePixel(a, 0, 0, 0);
      }
    for (int y = 0; y < image.Height; ++y)
      for (int x = 0; x < image.Width; ++x) {
        DWORD src = image.Pixels[static_cast<size_t>(y) * image.Width + x];
        DWORD& dst = shadowed.Pixels[static_cast<size_t>(y) * shadowed.Width + x];
        int sa = Channel(src, 24);
        auto over = [&](int shift) {
          return Channel(src, shift) + Channel(dst, shift) * (255 - sa) / 255;
        };
        dst = MakePixel(over(24), over(16), over(8), over(0));
      }
    image = std::move(shadowed);
    return;
  }
  }
}

// The image's pixels at the destination size: nearest pixel, or bilinear
// when smoothing.
TImagePixels Resample(const TImagePixels& image, int width, int height, bool smooth) {
  if (width == image.Width && height == image.Height)
    return image;
  TImagePixels result;
  result.Width = width;
  result.Height = height;
  result.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      DWORD value;
      if (!smooth) {
        int sx = x * image.Width / width;
        int sy = y * image.Height / height;
        value = image.Pixels[static_cast<size_t>(sy) * image.Width + sx];
      } else {
        double fx = std::max(0.0, (x + 0.5) * image.Width / width - 0.5);
        double fy = std::max(0.0, (y + 0.5) * image.Height / height - 0.5);
        int x0 = std::min(static_cast<int>(fx), image.Width - 1);
        int y0 = std::min(static_cast<int>(fy), image.Height - 1);
        int x1 = std::min(x0 + 1, image.Width - 1);
        int y1 = std::min(y0 + 1, image.Height - 1);
        double tx = fx - x0, ty = fy - y0;
        auto at = [&](int px, int py) {
          return image.Pixels[static_cast<size_t>(py) * image.Width + px];
        };
        auto mix = [&](int shift) {
          double top = Channel(at(x0, y0), shift) * (1 - tx) + Channel(at(x1, y0), shift) * tx;
          double bottom = Channel(at(x0, y1), shift) * (1 - tx) + Channel(at(x1, y1), shift) * tx;
          return static_cast<int>(std::lround(top * (1 - ty) + bottom * ty));
        };
        value = MakePixel(mix(24), mix(16), mix(8), mix(0));
      }
      result.Pixels[static_cast<size_t>(y) * width + x] = value;
    }
  }
  return result;
}

RECT FitImage(const RECT& bounds, SIZE size, TcxImageFitMode mode) {
  int bw = RectWidth(bounds), bh = RectHeight(bounds);
  int w = size.cx, h = size.cy;
  switch (mode) {
  case ifmStretch:
    return bounds;
  case ifmProportionalStretch:
  case ifmFit:
  case ifmFill: {
    if (w <= 0 || h <= 0)
      break;
    bool fitsAlready = w <= bw && h <= bh;
    if (mode == ifmProportionalStretch && fitsAlready)
      break; // shrinks only
    bool byWidth = (mode == ifmFill)
                       ? (static_cast<long long>(bw) * h > static_cast<long long>(bh) * w)
                       : (static_cast<long long>(bw) * h <= static_cast<long long>(bh) * w);
    if (byWidth) {
      h = MulDiv(h, bw, w);
      w = bw;
    } else {
      w = MulDiv(w, bh, h);
      h = bh;
    }
    break;
  }
  case ifmNormal:
    break;
  }
  int left = bounds.left + (bw - w) / 2;
  int top = bounds.top + (bh - h) / 2;
  return {left, top, left + w, top + h};
}

} // namespace

void cxDrawImage(TcxCanvas& ACanvas, const RECT& ARect, TBitmap* AGlyph, HIMAGELIST AImages,
                 int AImageIndex, TcxImageFitMode AFitMode, TcxImageDrawMode ADrawMode,
                 bool AUseLeftBottomPixelAsTransparent, const TdxColorPalette* APalette,
                 const TdxScaleFactor* AScaleFactor, bool ASmoothImage) {
  TImagePixels image;
  bool read = false;
  if (AGlyph != nullptr && !AGlyph->Empty()) {
    AGlyph->FreeContext();
    read = ReadBitmapPixels(AGlyph->Handle(), AGlyph->Width(), AGlyph->Height(),
                            AUseLeftBottomPixelAsTransparent, image);
  } else if (AImages != nullptr) {
    read = ReadImageListPixels(AImages, AImageIndex, image);
  }
  if (!read || image.Width <= 0 || image.Height <= 0)
    return;
  cxDrawImagePixels(ACanvas, ARect, {image.Width, image.Height, std::move(image.Pixels)}, AFitMode,
                    ADrawMode, APalette, AScaleFactor, ASmoothImage, 96);
}

bool cxReadImageListPixels(HIMAGELIST AImages, int AIndex, TcxImagePixels& AImage) {
  TImagePixels image;
  if (!ReadImageListPixels(AImages, AIndex, image))
    return false;
  AImage = {image.Width, image.Height, std::move(image.Pixels)};
  return true;
}

TcxImagePixels cxResampleImage(const TcxImagePixels& AImage, int AWidth, int AHeight,
                               bool ASmooth) {
  TImagePixels image{AImage.Width, AImage.Height, AImage.Pixels};
  TImagePixels result = Resample(image, AWidth, AHeight, ASmooth);
  return {result.Width, result.Height, std::move(result.Pixels)};
}

RECT cxFitImageRect(const RECT& ABounds, SIZE ASize, TcxImageFitMode AFitMode) {
  return FitImage(ABounds, ASize, AFitMode);
}

SIZE cxScaleImageSize(SIZE ASize, const TdxScaleFactor* AScaleFactor, int ASourceDPI) {
  const TdxScaleFactor* factor = AScaleFactor != nullptr ? AScaleFactor : dxDefaultScaleFactor();
  if (factor != nullptr)
    return factor->Apply(ASize, ASourceDPI, 96);
  TdxScaleFactor one;
  return one.Apply(ASize, ASourceDPI, 96);
}

void cxDrawImagePixels(TcxCanvas& ACanvas, const RECT& ARect, TcxImagePixels AImage,
                       TcxImageFitMode AFitMode, TcxImageDrawMode ADrawMode,
                       const TdxColorPalette* APalette, const TdxScaleFactor* AScaleFactor,
                       bool ASmoothImage, int ASourceDPI) {
  if (AImage.Width <= 0 || AImage.Height <= 0 ||
      AImage.Pixels.size() != static_cast<size_t>(AImage.Width) * AImage.Height)
    return;
  TImagePixels image{AImage.Width, AImage.Height, std::move(AImage.Pixels)};
  if (APalette != nullptr && *APalette)
    ApplyPalette(image, *APalette);
  ApplyDrawMode(image, ADrawMode);

  RECT dest = FitImage(
      ARect, cxScaleImageSize({image.Width, image.Height}, AScaleFactor, ASourceDPI), AFitMode);
  int w = RectWidth(dest), h = RectHeight(dest);
  if (w <= 0 || h <= 0)
    return;
  TImagePixels scaled = Resample(image, w, h, ASmoothImage);
  TcxBitmap32 bitmap(w, h);
  BYTE* bits = bitmap.Bits();
  HDC dc = ACanvas.Handle();
  if (bits == nullptr || dc == nullptr)
    return;
  std::memcpy(bits, scaled.Pixels.data(), scaled.Pixels.size() * sizeof(DWORD));
  int saved = ::SaveDC(dc);
  TScopeExit restore([dc, saved] { ::RestoreDC(dc, saved); });
  ::IntersectClipRect(dc, ARect.left, ARect.top, ARect.right, ARect.bottom);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, dest.left, dest.top, w, h, bitmap.Canvas().TryHandle(), 0, 0, w, h, blend);
}

// ---------------------------------------------------------------- unit

void InitGraphics() {
  TGraphicsUnit& unit = GraphicsUnit();
  unit.Finalized = false;
  unit.BrushCache = std::make_unique<TdxSolidBrushCache>();
}

void DoneGraphics() {
  TGraphicsUnit& unit = GraphicsUnit();
  unit.Finalized = true;
  unit.BrushCache.reset();
  unit.MeasureDC.Reset();
  unit.Measured.clear();
}

} // namespace telvora
