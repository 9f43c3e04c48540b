#include "ui/support/dxSmartGlyph.h"

#include "platform/Handles.h"
#include "ui/support/dxGdiPlus.h"
#include "ui/support/dxScaleFactor.h"

#include <objbase.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

namespace telvora {

namespace {

// A glyph file larger than this is not read (it would not be a glyph).
constexpr LONGLONG kMaxFileBytes = 64LL << 20;

int gDecodeCount = 0;
int gDrawBitmapCount = 0;

std::uint32_t Premultiply(std::uint32_t APixel) {
  const std::uint32_t a = APixel >> 24;
  if (a == 255)
    return APixel;
  auto channel = [&](int shift) { return ((((APixel >> shift) & 0xFF) * a + 127) / 255) << shift; };
  return (a << 24) | channel(16) | channel(8) | channel(0);
}

// 0xAARRGGBB for a palette's 0x00BBGGRR answer, with the given alpha.
std::uint32_t MapColor(std::uint32_t APixel, const TdxColorPalette& APalette) {
  COLORREF mapped = APalette(RGB((APixel >> 16) & 0xFF, (APixel >> 8) & 0xFF, APixel & 0xFF));
  return (APixel & 0xFF000000) | (static_cast<std::uint32_t>(GetRValue(mapped)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(mapped)) << 8) | GetBValue(mapped);
}

// ---------------------------------------------------------------- GDI+

// A GDI+ image, disposed when the holder goes.
class TGpImage : public TGpObject<TGdipDisposeImage> {
public:
  explicit TGpImage(TdxGdiPlus& AGdiPlus) : TGpObject(AGdiPlus.DisposeImage) {}
};

// The pixels of a GDI+ bitmap locked for reading in one format.
class TGpBitsLock {
public:
  TGpBitsLock(TdxGdiPlus& AGdiPlus, void* ABitmap, int AWidth, int AHeight, int AFormat)
      : FGdiPlus(AGdiPlus), FBitmap(ABitmap) {
    TGpRect rect{0, 0, AWidth, AHeight};
    FLocked = FGdiPlus.BitmapLockBits(FBitmap, &rect, ImageLockModeRead, AFormat, &FData) == GpOk &&
              FData.Scan0 != nullptr;
  }
  TGpBitsLock(const TGpBitsLock&) = delete;
  TGpBitsLock& operator=(const TGpBitsLock&) = delete;
  ~TGpBitsLock() {
    if (FLocked)
      FGdiPlus.BitmapUnlockBits(FBitmap, &FData);
  }
  bool Locked() const noexcept { return FLocked; }
  const std::uint32_t* Row(int y) const noexcept {
    return reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(FData.Scan0) +
                                                  static_cast<std::ptrdiff_t>(y) * FData.Stride);
  }

private:
  TdxGdiPlus& FGdiPlus;
  void* FBitmap;
  TGpBitmapData FData{};
  bool FLocked = false;
};

// A 32-bit image whose fourth bytes are all zero has no alpha: it is opaque.
void OpaqueUnlessAlpha(std::vector<std::uint32_t>& APixels) {
  if (std::any_of(APixels.begin(), APixels.end(), [](std::uint32_t p) { return (p >> 24) != 0; }))
    return;
  for (std::uint32_t& p : APixels)
    p |= 0xFF000000;
}

bool DecodeBytes(const void* AData, size_t ASize, int& AWidth, int& AHeight,
                 std::vector<std::uint32_t>& APixels) {
  if (AData == nullptr || ASize == 0 || ASize > std::numeric_limits<DWORD>::max())
    return false;
  TdxGdiPlus gdiPlus;
  TdxStream stream;
  if (!gdiPlus.Started() || !dxOpenByteStream(AData, ASize, stream))
    return false;
  TGpImage image(gdiPlus);
  ++gDecodeCount;
  if (gdiPlus.CreateBitmapFromStream(stream.Stream, image.Out()) != GpOk || image.Get() == nullptr)
    return false;
  UINT width = 0, height = 0;
  INT format = 0;
  if (gdiPlus.GetImageWidth(image.Get(), &width) != GpOk ||
      gdiPlus.GetImageHeight(image.Get(), &height) != GpOk ||
      gdiPlus.GetImagePixelFormat(image.Get(), &format) != GpOk || width == 0 || height == 0 ||
      width > 0x7FFF || height > 0x7FFF)
    return false;
  // A 32-bit image the decoder calls alpha-less (a 32-bit BMP) is read as
  // it is: its fourth bytes are its alpha when any of them is set. Every
  // other format is converted to straight alpha, opaque where it has none.
  const bool raw32 = format == PixelFormat32bppRGB;
  TGpBitsLock lock(gdiPlus, image.Get(), static_cast<int>(width), static_cast<int>(height),
                   raw32 ? PixelFormat32bppRGB : PixelFormat32bppARGB);
  if (!lock.Locked())
    return false;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  for (UINT y = 0; y < height; ++y)
    std::memcpy(pixels.data() + static_cast<size_t>(y) * width, lock.Row(static_cast<int>(y)),
                width * sizeof(std::uint32_t));
  if (raw32)
    OpaqueUnlessAlpha(pixels);
  AWidth = static_cast<int>(width);
  AHeight = static_cast<int>(height);
  APixels = std::move(pixels);
  return true;
}

// An RT_BITMAP resource, read by GDI.
bool DecodeBitmapResource(HMODULE AModule, const wchar_t* AName, int& AWidth, int& AHeight,
                          std::vector<std::uint32_t>& APixels) {
  ++gDecodeCount;
  TGdiObject bitmap(LoadImageW(AModule, AName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  if (!bitmap || GetObjectW(bitmap.Get(), sizeof(info), &info) == 0 || info.bmWidth <= 0 ||
      info.bmHeight <= 0)
    return false;
  const int width = info.bmWidth;
  const int height = std::abs(info.bmHeight);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO header = TopDown32BitInfo(width, height);
  TMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!dc || GetDIBits(dc.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, static_cast<UINT>(height),
                       pixels.data(), &header, DIB_RGB_COLORS) != height)
    return false;
  if (info.bmBitsPixel == 32)
    OpaqueUnlessAlpha(pixels);
  else
    for (std::uint32_t& p : pixels)
      p |= 0xFF000000;
  AWidth = width;
  AHeight = height;
  APixels = std::move(pixels);
  return true;
}

const std::vector<std::uint32_t>& NoPixels() {
  static const std::vector<std::uint32_t> none;
  return none;
}

} // namespace

// ---------------------------------------------------------------- image

struct TdxSmartGlyph::TImage {
  // A 32-bit top-down DIB section selected into a memory context of its own.
  struct TDib {
    TGdiObject Bitmap; // declared first: the context goes before it
    TMemoryDC DC;
    std::uint32_t* Bits = nullptr;

    bool Create(int AWidth, int AHeight) {
      BITMAPINFO info = TopDown32BitInfo(AWidth, AHeight);
      void* bits = nullptr;
      TGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
      TMemoryDC dc(CreateCompatibleDC(nullptr));
      if (!bitmap || !dc || bits == nullptr || SelectObject(dc.Get(), bitmap.Get()) == nullptr)
        return false;
      Bitmap = std::move(bitmap);
      DC = std::move(dc);
      Bits = static_cast<std::uint32_t*>(bits);
      return true;
    }
  };

  TImage(int AWidth, int AHeight, std::vector<std::uint32_t> APixels)
      : Width(AWidth), Height(AHeight), Pixels(std::move(APixels)) {}

  // The premultiplied image to blend from, made at the first call.
  HDC DrawDC() const {
    if (!Premultiplied.DC) {
      TDib dib;
      if (!dib.Create(Width, Height))
        return nullptr;
      std::transform(Pixels.begin(), Pixels.end(), dib.Bits, Premultiply);
      GdiFlush();
      Premultiplied = std::move(dib);
      ++gDrawBitmapCount;
    }
    return Premultiplied.DC.Get();
  }

  const int Width;
  const int Height;
  const std::vector<std::uint32_t> Pixels;
  mutable TDib Premultiplied;
};

// ---------------------------------------------------------------- TdxSmartGlyph

TdxSmartGlyph::TdxSmartGlyph() = default;

TdxSmartGlyph::TdxSmartGlyph(const TdxSmartGlyph& AGlyph)
    : FImage(AGlyph.FImage), FSourceDPI(AGlyph.FSourceDPI) {}

TdxSmartGlyph& TdxSmartGlyph::operator=(const TdxSmartGlyph& AGlyph) {
  FImage = AGlyph.FImage;
  FSourceDPI = AGlyph.FSourceDPI;
  Changed();
  return *this;
}

TdxSmartGlyph::~TdxSmartGlyph() = default;

bool TdxSmartGlyph::Empty() const noexcept {
  return FImage == nullptr;
}

int TdxSmartGlyph::SourceWidth() const noexcept {
  return FImage ? FImage->Width : 0;
}

int TdxSmartGlyph::SourceHeight() const noexcept {
  return FImage ? FImage->Height : 0;
}

void TdxSmartGlyph::SetSourceDPI(int AValue) {
  if (AValue < 1 || AValue == FSourceDPI)
    return;
  FSourceDPI = AValue;
  Changed();
}

void TdxSmartGlyph::Assign(std::shared_ptr<const TImage> AImage) {
  FImage = std::move(AImage);
  Changed();
}

void TdxSmartGlyph::Changed() {
  if (OnChange)
    OnChange();
}

bool TdxSmartGlyph::LoadFromBytes(const void* AData, size_t ASize) {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  if (!DecodeBytes(AData, ASize, width, height, pixels))
    return false;
  Assign(std::make_shared<const TImage>(width, height, std::move(pixels)));
  return true;
}

bool TdxSmartGlyph::LoadFromFile(const std::wstring& AFileName) {
  TKernelHandle file(FileHandleOrNull(CreateFileW(AFileName.c_str(), GENERIC_READ,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxFileBytes)
    return false;
  std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size()))
    return false;
  return LoadFromBytes(bytes.data(), bytes.size());
}

bool TdxSmartGlyph::LoadFromResource(HMODULE AModule, const wchar_t* AName, const wchar_t* AType) {
  if (IS_INTRESOURCE(AType) && AType == RT_BITMAP) {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    if (!DecodeBitmapResource(AModule, AName, width, height, pixels))
      return false;
    Assign(std::make_shared<const TImage>(width, height, std::move(pixels)));
    return true;
  }
  HRSRC info = FindResourceW(AModule, AName, AType);
  if (info == nullptr)
    return false;
  const DWORD size = SizeofResource(AModule, info);
  HGLOBAL loaded = LoadResource(AModule, info);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  return data != nullptr && LoadFromBytes(data, size);
}

void TdxSmartGlyph::SetPixels(int AWidth, int AHeight, std::vector<std::uint32_t> AArgb) {
  if (AWidth < 0 || AHeight < 0 || AWidth > 0x7FFF || AHeight > 0x7FFF ||
      AArgb.size() != static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight))
    throw EConvertError(L"Image pixels do not match the image size");
  if (AArgb.empty()) {
    Clear();
    return;
  }
  Assign(std::make_shared<const TImage>(AWidth, AHeight, std::move(AArgb)));
}

const std::vector<std::uint32_t>& TdxSmartGlyph::Pixels() const noexcept {
  return FImage ? FImage->Pixels : NoPixels();
}

void TdxSmartGlyph::Clear() {
  Assign(nullptr);
}

void TdxSmartGlyph::Draw(HDC DC, const RECT& ADest, const RECT& ASource, BYTE AAlpha,
                         const TdxColorPalette* APalette) const {
  if (!FImage || DC == nullptr || AAlpha == 0)
    return;
  const TImage& image = *FImage;
  const int sourceWidth = RectWidth(ASource), sourceHeight = RectHeight(ASource);
  const int destWidth = RectWidth(ADest), destHeight = RectHeight(ADest);
  if (sourceWidth <= 0 || sourceHeight <= 0 || destWidth <= 0 || destHeight <= 0)
    return;
  // The part of the source inside the image, and where it goes.
  const RECT bounds{0, 0, image.Width, image.Height};
  RECT source{};
  if (!IntersectRect(&source, &ASource, &bounds))
    return;
  const RECT dest{ADest.left + MulDiv(source.left - ASource.left, destWidth, sourceWidth),
                  ADest.top + MulDiv(source.top - ASource.top, destHeight, sourceHeight),
                  ADest.left + MulDiv(source.right - ASource.left, destWidth, sourceWidth),
                  ADest.top + MulDiv(source.bottom - ASource.top, destHeight, sourceHeight)};
  const int width = RectWidth(source), height = RectHeight(source);
  if (RectWidth(dest) <= 0 || RectHeight(dest) <= 0)
    return;
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, AAlpha, AC_SRC_ALPHA};
  if (APalette == nullptr || !*APalette) {
    if (HDC sourceDC = image.DrawDC())
      GdiAlphaBlend(DC, dest.left, dest.top, RectWidth(dest), RectHeight(dest), sourceDC,
                    source.left, source.top, width, height, blend);
    return;
  }
  // The mapped colours of the part drawn, for this call only.
  TImage::TDib mapped;
  if (!mapped.Create(width, height))
    return;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* from =
        image.Pixels.data() + static_cast<size_t>(source.top + y) * image.Width + source.left;
    std::uint32_t* to = mapped.Bits + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x)
      to[x] = Premultiply(MapColor(from[x], *APalette));
  }
  GdiFlush();
  GdiAlphaBlend(DC, dest.left, dest.top, RectWidth(dest), RectHeight(dest), mapped.DC.Get(), 0, 0,
                width, height, blend);
}

bool TdxSmartGlyph::SetProperty(const std::wstring& AName, const TPropertyValue& AValue) {
  if (AName == L"Data") {
    const std::vector<std::uint8_t>& bytes = AValue.AsBytes();
    if (!LoadFromBytes(bytes.data(), bytes.size()))
      throw EReadError(L"Invalid image data");
    return true;
  }
  if (AName == L"SourceDPI") {
    const int dpi = AValue.AsInteger();
    if (dpi < 1)
      throw EReadError(L"Invalid property value");
    SetSourceDPI(dpi);
    return true;
  }
  return false;
}

int TdxSmartGlyph::DecodeCount() noexcept {
  return gDecodeCount;
}

int TdxSmartGlyph::DrawBitmapCount() noexcept {
  return gDrawBitmapCount;
}

// ---------------------------------------------------------------- drawing

TcxImagePixels dxSmartGlyphToImagePixels(const TdxSmartGlyph& AGlyph) {
  TcxImagePixels image{AGlyph.SourceWidth(), AGlyph.SourceHeight(), {}};
  image.Pixels.resize(AGlyph.Pixels().size());
  std::transform(AGlyph.Pixels().begin(), AGlyph.Pixels().end(), image.Pixels.begin(), Premultiply);
  return image;
}

void cxDrawImage(TcxCanvas& ACanvas, const RECT& ARect, const TdxSmartGlyph* AGlyph,
                 HIMAGELIST AImages, int AImageIndex, TcxImageFitMode AFitMode,
                 TcxImageDrawMode ADrawMode, bool AUseLeftBottomPixelAsTransparent,
                 const TdxColorPalette* APalette, const TdxScaleFactor* AScaleFactor,
                 bool ASmoothImage) {
  if (AGlyph == nullptr || AGlyph->Empty()) {
    TcxImagePixels image;
    if (AImages != nullptr && cxReadImageListPixels(AImages, AImageIndex, image))
      cxDrawImagePixels(ACanvas, ARect, std::move(image), AFitMode, ADrawMode, APalette,
                        AScaleFactor, ASmoothImage);
    return;
  }
  const int width = AGlyph->SourceWidth(), height = AGlyph->SourceHeight();
  const std::vector<std::uint32_t>& pixels = AGlyph->Pixels();
  const bool keyed =
      AUseLeftBottomPixelAsTransparent &&
      std::all_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p >> 24) == 255; });
  const RECT dest = cxFitImageRect(
      ARect, cxScaleImageSize({width, height}, AScaleFactor, AGlyph->SourceDPI()), AFitMode);
  const bool resized = RectWidth(dest) != width || RectHeight(dest) != height;
  if (ADrawMode != idmNormal || keyed || (ASmoothImage && resized)) {
    TcxImagePixels image = dxSmartGlyphToImagePixels(*AGlyph);
    if (keyed) {
      const DWORD key = image.Pixels[static_cast<size_t>(height - 1) * width];
      std::replace(image.Pixels.begin(), image.Pixels.end(), key, DWORD{0});
    }
    cxDrawImagePixels(ACanvas, ARect, std::move(image), AFitMode, ADrawMode, APalette, AScaleFactor,
                      ASmoothImage, AGlyph->SourceDPI());
    return;
  }
  HDC dc = ACanvas.Handle();
  if (dc == nullptr)
    return;
  const int saved = ::SaveDC(dc);
  TScopeExit restore([dc, saved] { ::RestoreDC(dc, saved); });
  ::IntersectClipRect(dc, ARect.left, ARect.top, ARect.right, ARect.bottom);
  AGlyph->Draw(dc, dest, {0, 0, width, height}, 255, APalette);
}

} // namespace telvora
