#include "ui/support/dxFading.h"

#include "ui/support/cxTimer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

int ScreenBitsPerPixel() {
  TWindowDC screen(nullptr);
  return screen.Get() ? GetDeviceCaps(screen.Get(), BITSPIXEL) : 0;
}

// Whether GDI+ can be loaded and started.
bool GdiPlusStarts() {
  struct TStartupInput {
    UINT32 GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
  };
  using TStartup = int(WINAPI*)(ULONG_PTR*, const TStartupInput*, void*);
  using TShutdown = void(WINAPI*)(ULONG_PTR);
  TModule library(LoadLibraryW(L"gdiplus.dll"));
  if (!library)
    return false;
  auto startup = reinterpret_cast<TStartup>(
      reinterpret_cast<void*>(GetProcAddress(library.Get(), "GdiplusStartup")));
  auto shutdown = reinterpret_cast<TShutdown>(
      reinterpret_cast<void*>(GetProcAddress(library.Get(), "GdiplusShutdown")));
  if (startup == nullptr || shutdown == nullptr)
    return false;
  TStartupInput input;
  ULONG_PTR token = 0;
  if (startup(&token, &input, nullptr) != 0)
    return false;
  shutdown(token);
  return true;
}

BYTE Premultiply(BYTE AValue, BYTE AAlpha) {
  return static_cast<BYTE>((AValue * AAlpha + 127) / 255);
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

TdxFadingImage::TdxFadingImage(SIZE ASize, TdxFadingPixels APixels)
    : FSize(ASize), FPixels(std::move(APixels)) {
  if (FSize.cx <= 0 || FSize.cy <= 0 ||
      FPixels.size() != static_cast<size_t>(FSize.cx) * static_cast<size_t>(FSize.cy))
    return;
  BITMAPINFO info = TopDown32BitInfo(FSize.cx, FSize.cy);
  void* bits = nullptr;
  FPremultiplied.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!FPremultiplied || bits == nullptr)
    return;
  auto* target = static_cast<RGBQUAD*>(bits);
  for (size_t i = 0; i < FPixels.size(); ++i) {
    const RGBQUAD& p = FPixels[i];
    target[i] = {Premultiply(p.rgbBlue, p.rgbReserved), Premultiply(p.rgbGreen, p.rgbReserved),
                 Premultiply(p.rgbRed, p.rgbReserved), p.rgbReserved};
  }
}

std::unique_ptr<TcxBitmap32> TdxFadingImage::GetAsBitmap() const {
  auto bitmap = std::make_unique<TcxBitmap32>(FSize.cx, FSize.cy);
  if (BYTE* bits = bitmap->Bits(); bits != nullptr && !FPixels.empty())
    std::memcpy(bits, FPixels.data(), FPixels.size() * sizeof(RGBQUAD));
  return bitmap;
}

bool TdxFadingImage::StretchDraw(HDC DC, const RECT& R) const {
  if (!FPremultiplied || DC == nullptr || R.right <= R.left || R.bottom <= R.top)
    return false;
  TMemoryDC source(CreateCompatibleDC(DC));
  if (!source)
    return false;
  TSelectObject select(source.Get(), FPremultiplied.Get());
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

void TdxFadingElement::SetImages(TcxBitmap32& AImage1, TcxBitmap32& AImage2) {
  FImage1Colors = TdxFadingHelper::GetBitmapPixels(AImage1);
  FImage2Colors = TdxFadingHelper::GetBitmapPixels(AImage2);
  TdxFadingHelper::CorrectAlphaChannel(FImage1Colors);
  TdxFadingHelper::CorrectAlphaChannel(FImage2Colors);
  FImageSize = {AImage1.Width(), AImage1.Height()};
}

void TdxFadingElement::BuildWorkImage() {
  const int alpha = MulDiv(FStage, dxFadeMaxAlpha, FAnimationFrameCount);
  // The weights are single-precision values; storing them through volatile
  // keeps an x87 build from carrying them with more precision.
  volatile float storedF = static_cast<float>(alpha) / static_cast<float>(dxFadeMaxAlpha);
  const float f = storedF;
  volatile float storedG = 1.0f - f;
  const float g = storedG;
  // Each weight is a single-precision value in 0 to 1, so it is a whole
  // multiple of 2^-32 and weight * 2^32 is an exact integer. Byte times
  // weight, summed over both images, is then an exact integer multiple of
  // 2^-32 too: rounding that exact value to the nearest byte with ties to
  // even gives what the floating-point unit gives in extended precision,
  // without a rounding call per byte.
  constexpr int kShift = 32;
  const auto scaled1 = static_cast<std::int64_t>(std::ldexp(static_cast<double>(g), kShift));
  const auto scaled2 = static_cast<std::int64_t>(std::ldexp(static_cast<double>(f), kShift));
  std::int64_t products1[256], products2[256];
  for (int b = 0; b < 256; ++b) {
    products1[b] = b * scaled1;
    products2[b] = b * scaled2;
  }
  constexpr std::int64_t kHalf = std::int64_t{1} << (kShift - 1);
  constexpr std::int64_t kFraction = (std::int64_t{1} << kShift) - 1;
  auto mix = [&products1, &products2](BYTE AByte1, BYTE AByte2) {
    const std::int64_t value = products1[AByte1] + products2[AByte2];
    std::int64_t rounded = value >> kShift;
    const std::int64_t fraction = value & kFraction;
    if (fraction > kHalf || (fraction == kHalf && (rounded & 1) != 0))
      ++rounded;
    return static_cast<BYTE>(std::min<std::int64_t>(rounded, 255));
  };
  TdxFadingPixels pixels(std::min(FImage1Colors.size(), FImage2Colors.size()));
  for (size_t i = 0; i < pixels.size(); ++i) {
    const RGBQUAD& a = FImage1Colors[i];
    const RGBQUAD& b = FImage2Colors[i];
    pixels[i] = {mix(a.rgbBlue, b.rgbBlue), mix(a.rgbGreen, b.rgbGreen), mix(a.rgbRed, b.rgbRed),
                 mix(a.rgbReserved, b.rgbReserved)};
  }
  SetWorkImage(std::make_unique<TdxFadingImage>(FImageSize, std::move(pixels)));
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
  TdxFadingElement* element = Find(AObject);
  if (element != nullptr) {
    const SIZE size = element->ImageSize();
    if (AImage1->Width() == size.cx && AImage1->Height() == size.cy) {
      // Reversed midway: the new fade starts from the current blend.
      if (const TdxFadingImage* current = element->WorkImage())
        AImage1 = current->GetAsBitmap();
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
  element->SetImages(*AImage1, *AImage2);
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
