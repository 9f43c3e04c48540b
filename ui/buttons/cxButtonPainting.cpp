// Painting: each paint lays the button out anew and draws it off-screen on
// a bitmap shared by every button, through the custom-draw handler or the
// view info; and the two images a hover fade blends between.

#include "ui/buttons/cxButtons.h"

#include <algorithm>
#include <utility>

namespace telvora {

namespace {

// The off-screen bitmap the buttons paint on, kept from one paint to the
// next (a new bitmap and memory context per paint cost more than the
// drawing itself). It only grows; the button unit frees it.
struct TPaintBitmap {
  std::unique_ptr<TcxBitmap> Bitmap;
  bool InUse = false;
};

TPaintBitmap& PaintBitmap() {
  static TPaintBitmap bitmap;
  return bitmap;
}

// Whether two fonts describe the same font.
bool SameFont(const TFont& A, const TFont& B) {
  return A.Name() == B.Name() && A.Height() == B.Height() && A.Charset() == B.Charset() &&
         A.Color() == B.Color() && A.Style() == B.Style();
}

} // namespace

// The shared bitmap, at least AWidth x AHeight, or none while another paint
// holds it or when no bitmap can be had.
TcxBitmap* TcxCustomButton::AcquirePaintBitmap(int AWidth, int AHeight) {
  TPaintBitmap& shared = PaintBitmap();
  if (shared.InUse)
    return nullptr;
  if (!shared.Bitmap || shared.Bitmap->Width() < AWidth || shared.Bitmap->Height() < AHeight) {
    const int width = shared.Bitmap ? std::max(shared.Bitmap->Width(), AWidth) : AWidth;
    const int height = shared.Bitmap ? std::max(shared.Bitmap->Height(), AHeight) : AHeight;
    shared.Bitmap.reset();
    auto bitmap = std::make_unique<TcxBitmap>(width, height);
    if (bitmap->Handle() == nullptr)
      return nullptr;
    shared.Bitmap = std::move(bitmap);
  }
  shared.InUse = true;
  return shared.Bitmap.get();
}

void TcxCustomButton::ReleasePaintBitmap() {
  PaintBitmap().InUse = false;
}

void TcxCustomButton::FreePaintBitmap() {
  PaintBitmap().Bitmap.reset();
}

std::unique_ptr<TcxButtonViewInfo> TcxCustomButton::CreateViewInfo() {
  return std::make_unique<TcxButtonViewInfo>();
}

void TcxCustomButton::CalculateViewInfo(const RECT& ABounds) {
  TcxButtonViewInfoParams params;
  params.Button = this;
  params.Kind = FKind;
  params.PaintStyle = FPaintStyle;
  params.Caption = Caption();
  params.Description = FDescription;
  params.MenuVisible = FInternalStates.Contains(bisMenuVisible);
  params.IsFocused = FIsFocused;
  params.CanShowFocusRect = FShowFocusRect && GetCanBeFocused() && Focused() && CanFocus();
  params.NeedDrawParts = FSpeedButtonOptions.NeedDrawParts();
  params.Flat = FSpeedButtonOptions.Flat();
  params.Transparent = FSpeedButtonOptions.Transparent();
  params.PointerOver = FInternalStates.Contains(bisHot);
  params.WordWrap = WordWrap();
  params.UseRightToLeftAlignment = UseRightToLeftAlignment();
  params.RightToLeftReading = UseRightToLeftReading();
  params.State = GetButtonState();
  params.Font = &Font();
  params.Colors = FColors.get();
  params.Painter = GetPainter();
  params.ScaleFactor = &FScaleFactor;
  params.OptionsImage = FOptionsImage.get();
  params.Glyph = FGlyph.get();
  FViewInfo->SetParams(std::move(params));
  FViewInfo->Calculate(ABounds);
}

void TcxCustomButton::WMEraseBkgnd(TMessage& message) {
  message.Result = 1;
}

void TcxCustomButton::CNDrawItem(TMessage& message) {
  if (!IsDestroying())
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
  message.Result = TRUE;
}

void TcxCustomButton::CNMeasureItem(TMessage& message) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
  mis->itemWidth = static_cast<UINT>(Width());
  mis->itemHeight = static_cast<UINT>(Height());
}

void TcxCustomButton::DrawItem(const DRAWITEMSTRUCT& item) {
  const TcxButtonState previous = GetButtonState();
  FIsPaintPressed =
      ((item.itemState & ODS_SELECTED) && !FInternalStates.Contains(bisMenuButtonPressed)) ||
      (FInternalStates.Contains(bisMenuVisible) &&
       (FKind == cxbkDropDown || FKind == cxbkOfficeDropDown)) ||
      GetDown() || (FInternalStates.Contains(bisHot) && FInternalStates.Contains(bisPressed));
  FIsPaintDefault = ((item.itemState & ODS_FOCUS) || (Default() && IsDesigning()) || FIsFocused) &&
                    GetCanBeFocused();
  CheckStartFading(previous, GetButtonState());

  const RECT r = ClientRect();
  CalculateViewInfo(r);
  if (r.right - r.left <= 0 || r.bottom - r.top <= 0)
    return;
  // A paint into a memory context (WM_PRINTCLIENT, a parent printing its
  // children) is off-screen already: drawn there directly, clipped to the
  // button.
  if (GetObjectType(item.hDC) == OBJ_MEMDC) {
    // Clipped only where the context reaches beyond the button (a parent
    // printing its children): text is drawn unclipped by its own flags.
    RECT box{};
    const bool within = GetClipBox(item.hDC, &box) != ERROR && box.left >= r.left &&
                        box.top >= r.top && box.right <= r.right && box.bottom <= r.bottom;
    if (within) {
      Draw(item.hDC);
      return;
    }
    const int saved = SaveDC(item.hDC);
    TScopeExit restore([&item, saved] { RestoreDC(item.hDC, saved); });
    IntersectClipRect(item.hDC, r.left, r.top, r.right, r.bottom);
    Draw(item.hDC);
    return;
  }
  // Drawn off-screen and copied in one step: no flicker. The off-screen
  // bitmap is kept between paints and shared by every button; a paint inside
  // another (a parent painted with its children) uses one of its own.
  std::unique_ptr<TcxBitmap> own;
  TcxBitmap* bitmap = AcquirePaintBitmap(r.right - r.left, r.bottom - r.top);
  TScopeExit release([bitmap] {
    if (bitmap != nullptr)
      ReleasePaintBitmap();
  });
  if (bitmap == nullptr) {
    own = std::make_unique<TcxBitmap>(r.right - r.left, r.bottom - r.top);
    if (own->Handle() == nullptr)
      own.reset();
  }
  TcxBitmap* target = bitmap != nullptr ? bitmap : own.get();
  // The bitmap's canvas takes the button's font: it keeps what it selects,
  // and a font of its own would be one font more than the buttons use. An
  // assignment always tells the canvas of a change, so it is made only when
  // the font differs from the last one taken.
  if (target != nullptr && !SameFont(target->Canvas().Font(), Font()))
    target->Canvas().Font().Assign(Font());
  TcxCanvas* canvas = target != nullptr ? &target->cxCanvas() : nullptr;
  const HDC memoryDC = canvas != nullptr ? canvas->Handle() : nullptr;
  if (memoryDC == nullptr) {
    // No off-screen bitmap to be had (the GDI handles are used up): what can
    // be drawn without one goes straight onto the window; the next paint
    // tries again.
    Draw(item.hDC);
    return;
  }
  canvas->Lock();
  TScopeExit unlock([canvas] { canvas->Unlock(); });
  Draw(memoryDC);
  cxBitBlt(item.hDC, memoryDC, r, POINT{0, 0}, SRCCOPY);
}

void TcxCustomButton::Draw(HDC dc) {
  FCanvas->Lock();
  FControlCanvas->SetHandle(dc);
  TScopeExit release([this] {
    FControlCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  });
  if (!DoCustomDraw(*FCanvas, *FViewInfo))
    FViewInfo->Draw(*FCanvas);
}

bool TcxCustomButton::DoCustomDraw(TcxCanvas& ACanvas, TcxButtonViewInfo& AViewInfo) {
  bool handled = false;
  if (OnCustomDraw)
    OnCustomDraw(this, ACanvas, AViewInfo, handled);
  return handled;
}

void TcxCustomButton::DoGetDrawParams(TcxButtonState AState, TColor& AColor, TFont& AFont) {
  if (OnGetDrawParams)
    OnGetDrawParams(this, AState, AColor, AFont);
}

bool TcxCustomButton::CanFade() {
  TcxCustomLookAndFeelPainter* painter = GetPainter();
  if (painter == nullptr)
    return false;
  const TcxLookAndFeelStyle style = painter->LookAndFeelStyle();
  return (style == lfsNative || style == lfsSkin) &&
         (IsWinVistaOrLater() || FKind != cxbkCommandLink) && CanHotTrack() && !OnCustomDraw;
}

void TcxCustomButton::CheckStartFading(TcxButtonState APrevState, TcxButtonState AState) {
  if (APrevState == AState)
    return;
  TdxFader* fader = dxFader();
  if (fader == nullptr)
    return;
  if ((APrevState == cxbsDefault || APrevState == cxbsNormal) && AState == cxbsHot)
    fader->FadeIn(this);
  else if ((AState == cxbsDefault || AState == cxbsNormal) && APrevState == cxbsHot)
    fader->FadeOut(this);
  else
    fader->Remove(this, false);
}

std::unique_ptr<TcxBitmap32> TcxCustomButton::CreateFadingImage(bool AHot) {
  // The view info describes the last paint; before the first one, or after
  // a change of size, it is brought up to date first.
  const RECT client = ClientRect();
  if (!EqualRect(&FViewInfo->Bounds(), &client))
    CalculateViewInfo(client);
  const RECT bounds = FViewInfo->Bounds();
  auto image = TcxBitmap32::CreateSize(bounds, true);
  TcxCanvas& canvas = image->cxCanvas();
  const HDC dc = image->Bits() != nullptr ? canvas.Handle() : nullptr;
  // Without a bitmap and a context for it (the GDI handles are used up) there
  // is no image, and the fader starts no fade.
  if (dc == nullptr)
    return nullptr;
  canvas.SetUseRightToLeftAlignment(UseRightToLeftAlignment() ? bTrue : bFalse);
  POINT previousOrigin{};
  SetWindowOrgEx(dc, bounds.left, bounds.top, &previousOrigin);
  const TcxButtonState state = AHot                                ? cxbsHot
                               : (GetCanBeFocused() && FIsFocused) ? cxbsDefault
                                                                   : cxbsNormal;
  // The face of the image's state in that state's colour (not the colour of
  // the paint that came last): background and frame only, the content is
  // drawn over the blend.
  const TcxButtonState savedState = FViewInfo->State();
  const TColor savedColor = FViewInfo->Color();
  TScopeExit restore([this, savedState, savedColor] {
    FViewInfo->SetState(savedState);
    FViewInfo->SetColor(savedColor);
  });
  FViewInfo->SetState(state);
  TColor color = clDefault;
  TFont font;
  font.Assign(Font());
  FViewInfo->GetDrawParams(state, color, font);
  FViewInfo->SetColor(color);
  FViewInfo->DrawBackground(canvas);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  return image;
}

void TcxCustomButton::GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                                      std::unique_ptr<TcxBitmap32>& AFadeInImage) {
  AFadeOutImage = CreateFadingImage(false);
  AFadeInImage = CreateFadingImage(true);
}

} // namespace telvora
