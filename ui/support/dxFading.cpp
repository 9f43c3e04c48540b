#include "ui/support/dxFading.h"

#include "ui/support/cxTimer.h"
#include "ui/support/dxFadingPixels.h"
#include "ui/support/dxGdiPlus.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace telvora {

namespace {

// Nothing here is freed at process exit: the fader goes with the unit's
// shut-down, before the timer unit it ticks through.
struct TFadingUnit {
  TdxFader* Fader = nullptr;
  bool Finalized = false;
};

TFadingUnit& FadingUnit() {
  static TFadingUnit unit;
  return unit;
}

// Whether the Windows menu-animation setting is on; off when it cannot be read.
bool MenuAnimationOn() {
  BOOL value = FALSE;
  return SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &value, 0) && value;
}

int AskScreenBitsPerPixel() {
  TWindowDC screen(nullptr);
  return screen.Get() ? GetDeviceCaps(screen.Get(), BITSPIXEL) : 0;
}

// Whether GDI+ can be loaded and started.
bool GdiPlusStarts() {
  TdxGdiPlus gdiPlus;
  return gdiPlus.Started();
}

} // namespace

// ---------------------------------------------------------------- options

void TdxFadingOptions::SetFadeInFrameCount(int AValue) {
  FFadeInFrameCount = std::clamp(AValue, 0, dxFadeMaxAnimationFrameCount);
}

void TdxFadingOptions::SetFadeInFrameDelay(int AValue) {
  FFadeInFrameDelay = std::clamp(AValue, dxFadeTimerInterval, dxFadeMaxAnimationFrameDelay);
}

void TdxFadingOptions::SetFadeOutFrameCount(int AValue) {
  FFadeOutFrameCount = std::clamp(AValue, 0, dxFadeMaxAnimationFrameCount);
}

void TdxFadingOptions::SetFadeOutFrameDelay(int AValue) {
  FFadeOutFrameDelay = std::clamp(AValue, dxFadeTimerInterval, dxFadeMaxAnimationFrameDelay);
}

void TdxFadingOptions::Assign(const TdxFadingOptions& ASource) {
  FFadeInFrameCount = ASource.FFadeInFrameCount;
  FFadeInFrameDelay = ASource.FFadeInFrameDelay;
  FFadeOutFrameCount = ASource.FFadeOutFrameCount;
  FFadeOutFrameDelay = ASource.FFadeOutFrameDelay;
}

bool TdxFadingOptions::IsFadeInFrameCountStored() const noexcept {
  return FFadeInFrameCount != dxFadeInDefaultAnimationFrameCount;
}

bool TdxFadingOptions::IsFadeInFrameDelayStored() const noexcept {
  return FFadeInFrameDelay != dxFadeInDefaultAnimationFrameDelay;
}

bool TdxFadingOptions::IsFadeOutFrameCountStored() const noexcept {
  return FFadeOutFrameCount != dxFadeOutDefaultAnimationFrameCount;
}

bool TdxFadingOptions::IsFadeOutFrameDelayStored() const noexcept {
  return FFadeOutFrameDelay != dxFadeOutDefaultAnimationFrameDelay;
}

// ---------------------------------------------------------------- images

void TdxFadingHelper::CorrectAlphaChannel(std::span<RGBQUAD> APixels) noexcept {
  for (RGBQUAD& pixel : APixels)
    if (pixel.rgbReserved == 0 && pixel.rgbRed + pixel.rgbGreen + pixel.rgbBlue != 0)
      pixel.rgbReserved = 255;
}

void TdxFadingHelper::CorrectAlphaChannel(TcxBitmap32& ABitmap) {
  TdxFadingPixels pixels = GetBitmapPixels(ABitmap);
  if (pixels.empty())
    return;
  CorrectAlphaChannel(pixels);
  std::memcpy(ABitmap.Bits(), pixels.data(), pixels.size() * sizeof(RGBQUAD));
}

TdxFadingPixels TdxFadingHelper::GetBitmapPixels(TcxBitmap32& ABitmap) {
  TdxFadingPixels pixels;
  if (ABitmap.Empty())
    return pixels;
  const BYTE* bits = ABitmap.Bits();
  if (bits == nullptr)
    return pixels;
  pixels.resize(static_cast<size_t>(ABitmap.Width()) * static_cast<size_t>(ABitmap.Height()));
  std::memcpy(pixels.data(), bits, pixels.size() * sizeof(RGBQUAD));
  return pixels;
}

void TdxFadingHelper::BlendPixels(const RGBQUAD* AImage1, const RGBQUAD* AImage2, size_t ACount,
                                  int AAlpha, RGBQUAD* AStraight,
                                  RGBQUAD* APremultiplied) noexcept {
  dxBlendFadingPixels(AImage1, AImage2, ACount, std::clamp(AAlpha, 0, dxFadeMaxAlpha), AStraight,
                      APremultiplied);
}

void TdxFadingHelper::PremultiplyPixels(const RGBQUAD* ASource, size_t ACount,
                                        RGBQUAD* ATarget) noexcept {
  dxPremultiplyFadingPixels(ASource, ACount, ATarget);
}

bool TdxFadingHelper::IsPixelRoutineAvailable(TdxFadingPixelRoutine ARoutine) noexcept {
  return dxIsFadingPixelRoutineAvailable(ARoutine);
}

TdxFadingPixelRoutine TdxFadingHelper::PixelRoutine() noexcept {
  return dxFadingPixelRoutine();
}

bool TdxFadingHelper::SetPixelRoutine(TdxFadingPixelRoutine ARoutine) noexcept {
  return dxSetFadingPixelRoutine(ARoutine);
}

TdxFadingImage::TdxFadingImage(SIZE ASize, bool AHasTransparency)
    : FSize(ASize), FHasTransparency(AHasTransparency) {
  if (FSize.cx <= 0 || FSize.cy <= 0) {
    FSize = {0, 0};
    return;
  }
  BITMAPINFO info = TopDown32BitInfo(FSize.cx, FSize.cy);
  void* bits = nullptr;
  FBitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (FBitmap && bits != nullptr)
    FBits = static_cast<RGBQUAD*>(bits);
  else
    FBitmap.Reset();
  // Without a bitmap the pixels are kept here, straight.
  if (FBits == nullptr)
    FStraight.resize(PixelCount());
}

TdxFadingImage::TdxFadingImage(SIZE ASize, std::span<const RGBQUAD> APixels)
    : TdxFadingImage(ASize, std::any_of(APixels.begin(), APixels.end(),
                                        [](const RGBQUAD& p) { return p.rgbReserved != 255; })) {
  if (APixels.size() != PixelCount()) {
    FSize = {0, 0};
    FBitmap.Reset();
    FBits = nullptr;
    FStraight.clear();
    return;
  }
  if (FBits == nullptr) {
    std::copy(APixels.begin(), APixels.end(), FStraight.begin());
  } else if (FHasTransparency) {
    FStraight.assign(APixels.begin(), APixels.end());
    TdxFadingHelper::PremultiplyPixels(APixels.data(), APixels.size(), FBits);
  } else {
    std::copy(APixels.begin(), APixels.end(), FBits);
  }
}

size_t TdxFadingImage::PixelCount() const noexcept {
  return static_cast<size_t>(FSize.cx) * static_cast<size_t>(FSize.cy);
}

std::span<const RGBQUAD> TdxFadingImage::Pixels() const noexcept {
  if (FStraightPending) {
    // Blended again from the same images at the same weight: the bytes are
    // those of the premultiplied frame before premultiplying.
    FStraightPending = false;
    FStraight.resize(PixelCount());
    TdxFadingHelper::BlendPixels(FSource1.data(), FSource2.data(), FSource1.size(), FSourceAlpha,
                                 FStraight.data(), nullptr);
  }
  if (FHasTransparency || FBits == nullptr)
    return FStraight;
  return {FBits, PixelCount()};
}

std::span<const RGBQUAD> TdxFadingImage::PremultipliedPixels() const noexcept {
  return {FBits, FBits != nullptr ? PixelCount() : 0};
}

void TdxFadingImage::Blend(std::span<const RGBQUAD> AImage1, std::span<const RGBQUAD> AImage2,
                           int AAlpha) noexcept {
  const size_t count = std::min({AImage1.size(), AImage2.size(), PixelCount()});
  FStraightPending = false;
  if (count == 0)
    return;
  // The bitmap is read by GDI only while StretchDraw has it selected into a
  // memory context, which is gone when StretchDraw returns: no drawing from
  // it is pending here.
  if (FBits == nullptr) {
    TdxFadingHelper::BlendPixels(AImage1.data(), AImage2.data(), count, AAlpha, FStraight.data(),
                                 nullptr);
  } else if (!FHasTransparency) {
    TdxFadingHelper::BlendPixels(AImage1.data(), AImage2.data(), count, AAlpha, FBits, nullptr);
  } else {
    // Only the premultiplied frame is drawn; its straight pixels are made
    // when they are asked for.
    TdxFadingHelper::BlendPixels(AImage1.data(), AImage2.data(), count, AAlpha, nullptr, FBits);
    FSource1 = AImage1.first(count);
    FSource2 = AImage2.first(count);
    FSourceAlpha = AAlpha;
    FStraightPending = true;
  }
}

std::unique_ptr<TcxBitmap32> TdxFadingImage::GetAsBitmap() const {
  auto bitmap = std::make_unique<TcxBitmap32>(FSize.cx, FSize.cy);
  const std::span<const RGBQUAD> pixels = Pixels();
  if (BYTE* bits = bitmap->Bits(); bits != nullptr && !pixels.empty())
    std::memcpy(bits, pixels.data(), pixels.size_bytes());
  return bitmap;
}

bool TdxFadingImage::StretchDraw(HDC DC, const RECT& R) const {
  if (!FBitmap || DC == nullptr || R.right <= R.left || R.bottom <= R.top)
    return false;
  TMemoryDC source(CreateCompatibleDC(DC));
  if (!source)
    return false;
  TSelectObject select(source.Get(), FBitmap.Get());
  BLENDFUNCTION blend{AC_SRC_OVER, 0, dxFadeMaxAlpha, AC_SRC_ALPHA};
  return GdiAlphaBlend(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, source.Get(), 0, 0,
                       FSize.cx, FSize.cy, blend) != FALSE;
}

// ---------------------------------------------------------------- elements

TdxFadingElement::TdxFadingElement(TdxFader* AOwner, TObject* AElement)
    : FElement(AElement), FFadingObject(dynamic_cast<IdxFadingObject*>(AElement)), FOwner(AOwner) {}

TdxFadingElement::~TdxFadingElement() = default;

void TdxFadingElement::SetAnimationParameters(int AAnimationFrameCount, int AAnimationFrameDelay) {
  FAnimationFrameCount = std::clamp(AAnimationFrameCount, 1, dxFadeMaxAnimationFrameCount);
  FAnimationFrameDelay = std::clamp(AAnimationFrameDelay, 1, dxFadeMaxAnimationFrameDelay);
  FDelayCount = std::max(FAnimationFrameDelay / dxFadeTimerInterval, 1);
  FDelayIndex = 0;
}

namespace {

// CorrectAlphaChannel, answering whether a pixel is left that is not opaque.
bool CorrectAlphaChannelAndFindTransparency(std::span<RGBQUAD> APixels) noexcept {
  unsigned opaque = 255;
  for (RGBQUAD& pixel : APixels) {
    if (pixel.rgbReserved == 0 && pixel.rgbRed + pixel.rgbGreen + pixel.rgbBlue != 0)
      pixel.rgbReserved = 255;
    opaque &= pixel.rgbReserved;
  }
  return opaque != 255;
}

} // namespace

void TdxFadingElement::SetImages(std::span<const RGBQUAD> AImage1, std::span<const RGBQUAD> AImage2,
                                 SIZE ASize) {
  FImage1Colors.assign(AImage1.begin(), AImage1.end());
  FImage2Colors.assign(AImage2.begin(), AImage2.end());
  const bool transparent1 = CorrectAlphaChannelAndFindTransparency(FImage1Colors);
  const bool transparent2 = CorrectAlphaChannelAndFindTransparency(FImage2Colors);
  FHasTransparency = transparent1 || transparent2;
  FImageSize = ASize;
}

void TdxFadingElement::BuildWorkImage() {
  const int alpha = MulDiv(FStage, dxFadeMaxAlpha, FAnimationFrameCount);
  // The work image of the previous frame takes this one when it fits: same
  // size, a bitmap, and premultiplied pixels apart whenever they are needed.
  if (FWorkImage != nullptr && FWorkImage->Width() == FImageSize.cx &&
      FWorkImage->Height() == FImageSize.cy && FWorkImage->HasBitmap() &&
      FWorkImage->HasTransparency() == FHasTransparency) {
    FWorkImage->Blend(FImage1Colors, FImage2Colors, alpha);
    // Nothing of this element is touched after the call: the object may end
    // the fade while it repaints.
    if (FFadingObject != nullptr)
      FFadingObject->DrawFadeImage();
    return;
  }
  auto image = std::make_unique<TdxFadingImage>(FImageSize, FHasTransparency);
  image->Blend(FImage1Colors, FImage2Colors, alpha);
  SetWorkImage(std::move(image));
}

bool TdxFadingElement::ProcessFadeStep() {
  FDelayIndex = (FDelayIndex + 1) % FDelayCount;
  if (FDelayIndex != 0)
    return true;
  if (FStage < FAnimationFrameCount) {
    ++FStage;
    BuildWorkImage();
    return true;
  }
  return false;
}

void TdxFadingElement::SetWorkImage(std::unique_ptr<TdxFadingImage> AValue) {
  if (AValue == nullptr && FWorkImage == nullptr)
    return;
  // The previous image is freed once the object has been told, also when
  // the object raises; nothing of this element is touched after the call.
  std::unique_ptr<TdxFadingImage> previous = std::exchange(FWorkImage, std::move(AValue));
  if (FFadingObject != nullptr)
    FFadingObject->DrawFadeImage();
}

// ---------------------------------------------------------------- fader

TdxFader::TdxFader() {
  FTimer = cxCreateTimer([this](TObject* Sender) { DoTimer(Sender); }, dxFadeTimerInterval, false);
}

TdxFader::~TdxFader() {
  Clear();
  FTimer.reset();
}

bool TdxFader::IsGdiPlusAvailable() {
  if (FGdiPlusAvailable < 0)
    FGdiPlusAvailable = GdiPlusStarts() ? 1 : 0;
  return FGdiPlusAvailable == 1;
}

int TdxFader::ScreenBitsPerPixel() {
  // Asking the screen costs a screen device context and a question to the
  // display driver: within one fade start (which checks twice) it is asked
  // once. Kept longer, the answer would miss a change of the display mode,
  // which only top-level windows are told about.
  if (FScreenBitsPerPixel > 0)
    return FScreenBitsPerPixel;
  const int bits = AskScreenBitsPerPixel();
  if (FFadeStarting)
    FScreenBitsPerPixel = bits;
  return bits;
}

bool TdxFader::IsReady() {
  const bool active = FState == fasEnabled || (FState == fasDefault && MenuAnimationOn());
  return active && FMaxAnimationCount > 0 && IsGdiPlusAvailable() && ScreenBitsPerPixel() > 16;
}

bool TdxFader::CanFade(TObject* AObject) {
  IdxFadingObject* fadingObject = nullptr;
  return CanFade(AObject, fadingObject);
}

bool TdxFader::CanFade(TObject* AObject, IdxFadingObject*& AFadingObject) {
  AFadingObject = dynamic_cast<IdxFadingObject*>(AObject);
  return AFadingObject != nullptr && IsReady() && AFadingObject->CanFade();
}

void TdxFader::Fade(TObject* AObject, TdxFadingState AState) {
  // The screen's depth is asked once for the whole start, also on a path
  // that raises; a start within a start (from an object's callback) keeps
  // the outer start's answer.
  const bool outer = !FFadeStarting;
  FFadeStarting = true;
  TScopeExit done([this, outer] {
    if (outer) {
      FFadeStarting = false;
      FScreenBitsPerPixel = 0;
    }
  });
  IdxFadingObject* fadingObject = nullptr;
  if (!CanFade(AObject, fadingObject))
    return;
  std::unique_ptr<TcxBitmap32> fadeOutImage, fadeInImage;
  fadingObject->GetFadingImages(fadeOutImage, fadeInImage);
  TdxFadingOptions options;
  if (auto* owner = dynamic_cast<IdxFadingObjectFadingOptions*>(AObject))
    if (TdxFadingOptions* own = owner->GetFadingOptions())
      options.Assign(*own);
  if (AState == fsFadeIn)
    StartFade(AObject, std::move(fadeOutImage), std::move(fadeInImage), options.FadeInFrameCount(),
              options.FadeInFrameDelay());
  else
    StartFade(AObject, std::move(fadeInImage), std::move(fadeOutImage), options.FadeOutFrameCount(),
              options.FadeOutFrameDelay());
}

void TdxFader::StartFade(TObject* AObject, std::unique_ptr<TcxBitmap32> AImage1,
                         std::unique_ptr<TcxBitmap32> AImage2, int AAnimationFrameCount,
                         int AAnimationFrameDelay) {
  // Both images are owned here and freed on every path.
  if (!CanFade(AObject) || AImage1 == nullptr || AImage2 == nullptr ||
      AImage1->Width() != AImage2->Width() || AImage1->Height() != AImage2->Height() ||
      AImage1->Empty() || AImage2->Empty() || AImage1->Bits() == nullptr ||
      AImage2->Bits() == nullptr || AAnimationFrameCount <= 0)
    return;
  const SIZE size{AImage1->Width(), AImage1->Height()};
  const size_t count = static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
  std::span<const RGBQUAD> image1(reinterpret_cast<const RGBQUAD*>(AImage1->Bits()), count);
  const std::span<const RGBQUAD> image2(reinterpret_cast<const RGBQUAD*>(AImage2->Bits()), count);
  TdxFadingElement* element = Find(AObject);
  if (element != nullptr) {
    if (size.cx == element->ImageSize().cx && size.cy == element->ImageSize().cy) {
      // Reversed midway: the new fade starts from the current blend.
      if (const TdxFadingImage* current = element->WorkImage();
          current != nullptr && current->Pixels().size() == count)
        image1 = current->Pixels();
      element->SetAnimationParameters(AAnimationFrameCount, AAnimationFrameDelay);
      element->FStage = 0;
    }
    // A resized object goes on from its stage with the new images.
  } else {
    auto created = std::make_unique<TdxFadingElement>(this, AObject);
    element = created.get();
    element->SetAnimationParameters(AAnimationFrameCount, AAnimationFrameDelay);
    FList.push_back(std::move(created));
    ValidateQueue();
  }
  element->SetImages(image1, image2, size);
  element->BuildWorkImage();
}

TdxFadingElement* TdxFader::Find(TObject* AObject) const noexcept {
  for (const auto& element : FList)
    if (element->Element() == AObject)
      return element.get();
  return nullptr;
}

bool TdxFader::DrawFadeImage(TObject* AObject, HDC DC, const RECT& R) {
  TdxFadingElement* element = Find(AObject);
  if (element == nullptr || element->WorkImage() == nullptr)
    return false;
  element->WorkImage()->StretchDraw(DC, R);
  return true;
}

bool TdxFader::DrawFadeImage(TObject* AObject, TcxCanvas& ACanvas, const RECT& R) {
  TdxFadingElement* element = Find(AObject);
  if (element == nullptr || element->WorkImage() == nullptr)
    return false;
  element->WorkImage()->StretchDraw(ACanvas.Handle(), R);
  return true;
}

void TdxFader::Remove(TObject* AObject, bool ADestroying) {
  TdxFadingElement* element = Find(AObject);
  if (element == nullptr)
    return;
  if (ADestroying)
    FreeElement(element);
  else
    Finalize(element);
}

void TdxFader::Clear() {
  FList.clear();
  ValidateQueue();
}

void TdxFader::SetMaxAnimationCount(int AValue) {
  AValue = std::clamp(AValue, 0, dxFadeMaxAnimationCount);
  if (AValue == FMaxAnimationCount)
    return;
  FMaxAnimationCount = AValue;
  ValidateQueue();
}

void TdxFader::DoTimer(TObject* /*Sender*/) {
  // Newest first; an element may end during its step, and the objects told
  // to repaint may end other fades, so the index is checked every time.
  for (size_t i = FList.size(); i-- > 0;) {
    if (i >= FList.size())
      continue;
    TdxFadingElement* element = FList[i].get();
    if (!element->ProcessFadeStep())
      Finalize(element);
  }
}

void TdxFader::Finalize(TdxFadingElement* AElement) {
  // Told to repaint without a fade image, the object draws its real look.
  AElement->SetWorkImage(nullptr);
  FreeElement(AElement);
}

void TdxFader::FreeElement(TdxFadingElement* AElement) {
  // Looked up again: the object told to repaint may have ended it already.
  auto it = std::find_if(FList.begin(), FList.end(),
                         [AElement](const auto& item) { return item.get() == AElement; });
  if (it == FList.end())
    return;
  std::unique_ptr<TdxFadingElement> freed = std::move(*it);
  FList.erase(it);
  freed.reset();
  ValidateQueue();
}

void TdxFader::ValidateQueue() {
  while (static_cast<int>(FList.size()) > FMaxAnimationCount)
    Finalize(FList.front().get());
  FTimer->SetEnabled(!FList.empty());
}

TdxFader* dxFader() {
  TFadingUnit& unit = FadingUnit();
  if (unit.Fader == nullptr && !unit.Finalized)
    unit.Fader = new TdxFader();
  return unit.Fader;
}

TdxFader* dxFaderInstance() noexcept {
  return FadingUnit().Fader;
}

// ---------------------------------------------------------------- helper object

TdxFadingObjectHelper::~TdxFadingObjectHelper() {
  if (TdxFader* fader = dxFaderInstance())
    fader->Remove(this, true);
}

void TdxFadingObjectHelper::CheckStartFading(TcxButtonState APrevState, TcxButtonState AState) {
  if (APrevState == AState)
    return;
  const bool prevNormal = APrevState == cxbsDefault || APrevState == cxbsNormal;
  const bool normal = AState == cxbsDefault || AState == cxbsNormal;
  if (prevNormal && AState == cxbsHot)
    FadeIn();
  else if (APrevState == cxbsHot && normal)
    FadeOut();
  else
    StopFading();
}

void TdxFadingObjectHelper::FadeIn() {
  if (TdxFader* fader = dxFader())
    fader->FadeIn(this);
}

void TdxFadingObjectHelper::FadeOut() {
  if (TdxFader* fader = dxFader())
    fader->FadeOut(this);
}

void TdxFadingObjectHelper::StopFading() {
  if (TdxFader* fader = dxFaderInstance())
    fader->Remove(this, false);
}

bool TdxFadingObjectHelper::DrawImage(HDC DC, const RECT& R) {
  TdxFader* fader = dxFaderInstance();
  return fader != nullptr && fader->DrawFadeImage(this, DC, R);
}

bool TdxFadingObjectHelper::Active() {
  TdxFader* fader = dxFaderInstance();
  return fader != nullptr && fader->Contains(this);
}

// ---------------------------------------------------------------- unit

void InitFadingUnit() {
  FadingUnit().Finalized = false;
}

void DoneFadingUnit() {
  TFadingUnit& unit = FadingUnit();
  unit.Finalized = true;
  // Out of the accessor first, so that nothing reaches it while it is freed.
  std::unique_ptr<TdxFader> fader(std::exchange(unit.Fader, nullptr));
  fader.reset();
}

} // namespace telvora
