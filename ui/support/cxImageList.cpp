#include "ui/support/cxImageList.h"

#include "ui/support/cxGraphics.h"

#include <algorithm>
#include <cstring>

namespace telvora {

namespace {

std::uint32_t Unpremultiply(DWORD APixel) {
  const DWORD a = APixel >> 24;
  if (a == 0)
    return 0;
  auto channel = [&](int shift) {
    return std::min<DWORD>((((APixel >> shift) & 0xFF) * 255 + a / 2) / a, 255) << shift;
  };
  return (a << 24) | channel(16) | channel(8) | channel(0);
}

// Monochrome rows are padded to whole words.
TGdiObject MakeTransparencyMask(int AWidth, int AHeight, const std::vector<std::uint32_t>& AArgb) {
  const int stride = (AWidth + 15) / 16 * 2;
  std::vector<BYTE> bits(static_cast<size_t>(stride) * AHeight, 0);
  for (int y = 0; y < AHeight; ++y)
    for (int x = 0; x < AWidth; ++x)
      if ((AArgb[static_cast<size_t>(y) * AWidth + x] >> 24) == 0)
        bits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
  return TGdiObject(CreateBitmap(AWidth, AHeight, 1, 1, bits.data()));
}

} // namespace

TcxImageList::TcxImageList(TComponent* AOwner)
    : TComponent(AOwner), FHandle(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4)) {
  if (!FHandle)
    throw EOutOfResources(L"Cannot create the image list");
}

TcxImageList::~TcxImageList() {
  MarkDestroying();
}

void TcxImageList::SetSize(int AWidth, int AHeight) {
  if (AWidth < 1 || AHeight < 1)
    throw EConvertError(L"Invalid image size");
  if (AWidth == FWidth && AHeight == FHeight)
    return;
  ImageList_SetIconSize(FHandle.Get(), AWidth, AHeight); // also removes every image
  FWidth = AWidth;
  FHeight = AHeight;
  Changed();
}

int TcxImageList::Count() const noexcept {
  return ImageList_GetImageCount(FHandle.Get());
}

int TcxImageList::AddPixels(const std::vector<std::uint32_t>& AArgb) {
  BITMAPINFO info = TopDown32BitInfo(FWidth, FHeight);
  void* bits = nullptr;
  TGdiObject image(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  TGdiObject mask = MakeTransparencyMask(FWidth, FHeight, AArgb);
  if (!image || !mask || bits == nullptr)
    return -1;
  std::memcpy(bits, AArgb.data(), AArgb.size() * sizeof(std::uint32_t));
  GdiFlush();
  return ImageList_Add(FHandle.Get(), static_cast<HBITMAP>(image.Get()),
                       static_cast<HBITMAP>(mask.Get()));
}

int TcxImageList::Add(const TdxSmartGlyph& AGlyph) {
  if (AGlyph.Empty())
    return -1;
  const int width = AGlyph.SourceWidth(), height = AGlyph.SourceHeight();
  int index;
  if (width == FWidth && height == FHeight) {
    index = AddPixels(AGlyph.Pixels());
  } else {
    // Resampled premultiplied, so that transparent pixels lend no colour.
    const RECT dest = cxFitImageRect({0, 0, FWidth, FHeight}, {width, height}, ifmFit);
    const int w = std::max(RectWidth(dest), 1), h = std::max(RectHeight(dest), 1);
    TcxImagePixels scaled = cxResampleImage(dxSmartGlyphToImagePixels(AGlyph), w, h, true);
    std::vector<std::uint32_t> cell(static_cast<size_t>(FWidth) * FHeight, 0);
    for (int y = 0; y < h && dest.top + y < FHeight; ++y)
      for (int x = 0; x < w && dest.left + x < FWidth; ++x)
        cell[static_cast<size_t>(dest.top + y) * FWidth + dest.left + x] =
            Unpremultiply(scaled.Pixels[static_cast<size_t>(y) * w + x]);
    index = AddPixels(cell);
  }
  if (index >= 0)
    Changed();
  return index;
}

int TcxImageList::AddStrip(const TdxSmartGlyph& AStrip) {
  const int columns = AStrip.SourceWidth() / FWidth;
  const int rows = AStrip.SourceHeight() / FHeight;
  const std::vector<std::uint32_t>& pixels = AStrip.Pixels();
  std::vector<std::uint32_t> cell(static_cast<size_t>(FWidth) * FHeight);
  int added = 0;
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      for (int y = 0; y < FHeight; ++y) {
        const auto from = pixels.begin() +
                          static_cast<std::ptrdiff_t>(row * FHeight + y) * AStrip.SourceWidth() +
                          static_cast<std::ptrdiff_t>(column) * FWidth;
        std::copy(from, from + FWidth, cell.begin() + static_cast<std::ptrdiff_t>(y) * FWidth);
      }
      if (AddPixels(cell) >= 0)
        ++added;
    }
  if (added > 0)
    Changed();
  return added;
}

void TcxImageList::Delete(int AIndex) {
  if (AIndex < 0 || AIndex >= Count())
    return;
  if (ImageList_Remove(FHandle.Get(), AIndex))
    Changed();
}

void TcxImageList::Clear() {
  if (Count() == 0)
    return;
  ImageList_RemoveAll(FHandle.Get());
  Changed();
}

void TcxImageList::RegisterChanges(const void* AKey, std::function<void()> AOnChange) {
  auto handler = std::make_shared<std::function<void()>>(std::move(AOnChange));
  for (TLink& link : FLinks)
    if (link.Key == AKey) {
      link.Handler = std::move(handler);
      return;
    }
  FLinks.push_back({AKey, std::move(handler)});
}

void TcxImageList::UnRegisterChanges(const void* AKey) {
  std::erase_if(FLinks, [AKey](const TLink& link) { return link.Key == AKey; });
}

void TcxImageList::Changed() {
  // The links as they are now; each is told only while it is still there.
  // The handler is held here while it runs: it may unregister itself.
  const std::vector<TLink> links = FLinks;
  for (const TLink& link : links) {
    const bool registered = std::any_of(FLinks.begin(), FLinks.end(), [&](const TLink& current) {
      return current.Key == link.Key && current.Handler == link.Handler;
    });
    if (registered && *link.Handler)
      (*link.Handler)();
  }
}

bool TcxImageList::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"Width" || path == L"Height") {
    const int size = value.AsInteger();
    if (size < 1)
      throw EReadError(L"Invalid property value");
    if (path == L"Width")
      SetWidth(size);
    else
      SetHeight(size);
    return true;
  }
  if (path == L"ImageStrip") {
    TdxSmartGlyph strip;
    const std::vector<std::uint8_t>& bytes = value.AsBytes();
    if (!strip.LoadFromBytes(bytes.data(), bytes.size()))
      throw EReadError(L"Invalid image data");
    if (IsLoading())
      FPendingStrips.push_back(std::move(strip));
    else
      AddStrip(strip);
    return true;
  }
  return TComponent::SetProperty(path, value);
}

void TcxImageList::Loaded() {
  TComponent::Loaded();
  std::vector<TdxSmartGlyph> strips = std::move(FPendingStrips);
  FPendingStrips.clear();
  for (const TdxSmartGlyph& strip : strips)
    AddStrip(strip);
}

SIZE dxGetImageSize(const TcxImageList* AImages, const TdxScaleFactor* AScaleFactor) {
  if (AImages == nullptr)
    return {0, 0};
  return cxScaleImageSize({AImages->Width(), AImages->Height()}, AScaleFactor);
}

void InitImageListUnit() {
  RegisterComponentClass(L"TcxImageList",
                         [](TComponent* AOwner) { return new TcxImageList(AOwner); });
}

void DoneImageListUnit() {
  UnregisterComponentClass(L"TcxImageList");
}

} // namespace telvora
