#include "ui/support/cxCanvas.h"

#include "platform/Controls.h"

#include <algorithm>
#include <utility>

namespace telvora {

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

} // namespace telvora
