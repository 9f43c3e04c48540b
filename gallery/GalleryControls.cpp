#include "gallery/GalleryControls.h"

#include "platform/Handles.h"
#include "ui/support/cxGraphics.h"

namespace telvora {

namespace {

void FillSolid(HDC dc, const RECT& r, TColor color) {
  TGdiObject brush(CreateSolidBrush(ColorToRGB(color)));
  if (brush)
    FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}

} // namespace

// TGalleryPanel

void TGalleryPanel::SetPattern(TGalleryPattern AValue) {
  if (AValue != FPattern) {
    FPattern = AValue;
    Invalidate();
  }
}

void TGalleryPanel::SetPatternColor(TColor AValue) {
  if (AValue != FPatternColor) {
    FPatternColor = AValue;
    Invalidate();
  }
}

void TGalleryPanel::SetFrameColor(TColor AValue) {
  if (AValue != FFrameColor) {
    FFrameColor = AValue;
    Invalidate();
  }
}

bool TGalleryPanel::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"Pattern")
    SetPattern(value.AsEnumeration<TGalleryPattern>({L"gpNone", L"gpStripes", L"gpChecker"}));
  else if (path == L"PatternColor")
    SetPatternColor(value.AsColor());
  else if (path == L"FrameColor")
    SetFrameColor(value.AsColor());
  else
    return TWinControl::SetProperty(path, value);
  return true;
}

int TGalleryPanel::Scaled(int AValue) const {
  return MulDiv(AValue, Scale().Numerator, Scale().Denominator);
}

void TGalleryPanel::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

void TGalleryPanel::PaintBackground(HDC dc) {
  RECT r{};
  GetClientRect(Handle(), &r);
  FillSolid(dc, r, Color());
  const int size = Scaled(8);
  if (FPattern == gpChecker) {
    TGdiObject brush(CreateSolidBrush(ColorToRGB(FPatternColor)));
    for (int y = 0; y < r.bottom; y += size)
      for (int x = ((y / size) % 2) * size; x < r.right; x += 2 * size) {
        const RECT square{x, y, x + size, y + size};
        FillRect(dc, &square, static_cast<HBRUSH>(brush.Get()));
      }
  } else if (FPattern == gpStripes) {
    // Bands running from the top left to the bottom right.
    TGdiObject brush(CreateSolidBrush(ColorToRGB(FPatternColor)));
    TSelectObject selectBrush(dc, brush.Get());
    TSelectObject selectPen(dc, GetStockObject(NULL_PEN));
    const int height = r.bottom;
    for (int x = -height; x < r.right; x += 2 * size) {
      const POINT band[4] = {
          {x, 0}, {x + size, 0}, {x + size + height, height}, {x + height, height}};
      Polygon(dc, band, 4);
    }
  }
  if (FFrameColor != clNone) {
    TGdiObject brush(CreateSolidBrush(ColorToRGB(FFrameColor)));
    FrameRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
  }
  if (!Caption().empty()) {
    TFont heading;
    heading.Assign(Font());
    heading.SetStyle(fsBold);
    TSelectObject selectFont(dc, heading.Handle());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ColorToRGB(Font().Color()));
    RECT text{Scaled(12), Scaled(9), r.right - Scaled(12), Scaled(9) + Scaled(16)};
    DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &text,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
  }
}

void TGalleryPanel::WndProc(TMessage& message) {
  switch (message.Msg) {
  case WM_ERASEBKGND:
    PaintBackground(reinterpret_cast<HDC>(message.WParam));
    message.Result = 1;
    return;
  case WM_PRINTCLIENT:
    // Everything the panel shows is painted with the background.
    message.Result = 0;
    return;
  case WM_PAINT: {
    PAINTSTRUCT ps{};
    if (HDC dc = BeginPaint(Handle(), &ps)) {
      PaintBackground(dc);
      EndPaint(Handle(), &ps);
    }
    message.Result = 0;
    return;
  }
  case CM_TEXTCHANGED:
  case CM_FONTCHANGED:
    Invalidate();
    break;
  default:
    break;
  }
  TWinControl::WndProc(message);
}

// TGalleryLabel

void TGalleryLabel::SetAlignment(TGalleryAlignment AValue) {
  if (AValue != FAlignment) {
    FAlignment = AValue;
    Invalidate();
  }
}

void TGalleryLabel::SetWordWrap(bool AValue) {
  if (AValue != FWordWrap) {
    FWordWrap = AValue;
    Invalidate();
  }
}

bool TGalleryLabel::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"Alignment")
    SetAlignment(value.AsEnumeration<TGalleryAlignment>({L"gaLeft", L"gaCenter", L"gaRight"}));
  else if (path == L"WordWrap")
    SetWordWrap(value.AsBoolean());
  else
    return TWinControl::SetProperty(path, value);
  return true;
}

void TGalleryLabel::Paint(HDC dc) {
  RECT r{};
  GetClientRect(Handle(), &r);
  if (r.right <= 0 || r.bottom <= 0)
    return;
  // Drawn off-screen and copied in one step: no flicker when the text changes.
  TcxBitmap bitmap(r.right, r.bottom);
  TcxCanvas& canvas = bitmap.cxCanvas();
  const HDC memoryDC = bitmap.Handle() != nullptr ? canvas.Handle() : nullptr;
  const HDC target = memoryDC != nullptr ? memoryDC : dc;
  if (memoryDC != nullptr)
    cxDrawTransparentControlBackground(this, canvas, r, false);
  else if (Parent() != nullptr)
    FillSolid(dc, r, Parent()->Color());
  {
    TSelectObject selectFont(target, Font().Handle());
    const int oldMode = SetBkMode(target, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(target, ColorToRGB(Font().Color()));
    static constexpr UINT kAlign[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    const UINT flags = kAlign[FAlignment] | DT_NOPREFIX |
                       (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT text = r;
    DrawTextW(target, Caption().c_str(), static_cast<int>(Caption().size()), &text, flags);
    SetTextColor(target, oldColor);
    SetBkMode(target, oldMode);
  }
  if (memoryDC != nullptr)
    cxBitBlt(dc, memoryDC, r, POINT{0, 0}, SRCCOPY);
}

void TGalleryLabel::WndProc(TMessage& message) {
  switch (message.Msg) {
  case WM_ERASEBKGND:
    message.Result = 1;
    return;
  case WM_PAINT: {
    PAINTSTRUCT ps{};
    if (HDC dc = BeginPaint(Handle(), &ps)) {
      Paint(dc);
      EndPaint(Handle(), &ps);
    }
    message.Result = 0;
    return;
  }
  case WM_NCHITTEST:
    // The pointer goes through to what lies under the label.
    message.Result = HTTRANSPARENT;
    return;
  case CM_TEXTCHANGED:
  case CM_FONTCHANGED:
    Invalidate();
    break;
  default:
    break;
  }
  TWinControl::WndProc(message);
}

void RegisterGalleryControls() {
  RegisterComponentClass(L"TGalleryPanel",
                         [](TComponent* owner) { return new TGalleryPanel(owner); });
  RegisterComponentClass(L"TGalleryLabel",
                         [](TComponent* owner) { return new TGalleryLabel(owner); });
}

void UnregisterGalleryControls() {
  UnregisterComponentClass(L"TGalleryLabel");
  UnregisterComponentClass(L"TGalleryPanel");
}

} // namespace telvora
