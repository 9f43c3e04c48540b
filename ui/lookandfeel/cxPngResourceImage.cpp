#include "ui/lookandfeel/cxPngResourceImage.h"

#include "platform/Handles.h"
#include "ui/support/dxGdiPlus.h"

#include <objbase.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <type_traits>

namespace telvora {

namespace {

// The resource's bytes in a stream of their own.
bool OpenResourceStream(HMODULE AModule, const wchar_t* AName, const wchar_t* AType,
                        TdxStream& AStream) {
  HRSRC info = FindResourceW(AModule, AName, AType);
  if (info == nullptr)
    return false;
  HGLOBAL loaded = LoadResource(AModule, info);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  return data != nullptr && dxOpenByteStream(data, SizeofResource(AModule, info), AStream);
}

// The decoded image; false when GDI+ cannot decode the resource.
bool LoadImage(TdxGdiPlus& AGdiPlus, HMODULE AModule, const wchar_t* AName, const wchar_t* AType,
               TGpObject<TGdipDisposeImage>& AImage, SIZE& ASize) {
  TdxStream stream;
  if (!OpenResourceStream(AModule, AName, AType, stream))
    return false;
  if (AGdiPlus.CreateBitmapFromStream(stream.Stream, AImage.Out()) != GpOk ||
      AImage.Get() == nullptr)
    return false;
  UINT width = 0, height = 0;
  if (AGdiPlus.GetImageWidth(AImage.Get(), &width) != GpOk ||
      AGdiPlus.GetImageHeight(AImage.Get(), &height) != GpOk)
    return false;
  ASize = {static_cast<LONG>(width), static_cast<LONG>(height)};
  return true;
}

// Decoded images kept for the process: GDI+ is started once, each resource
// decoded once and each frame cut out once, however often they are drawn
// (starting GDI+ and decoding took about a millisecond per drawing).
class TPngResourceCache {
public:
  struct TFrame {
    RECT Source;
    std::unique_ptr<TGpObject<TGdipDisposeImage>> Image;
  };
  struct TEntry {
    HMODULE Module;
    std::wstring Name;
    std::wstring Type;
    std::unique_ptr<TGpObject<TGdipDisposeImage>> Image;
    SIZE Size{0, 0};
    std::vector<TFrame> Frames;
  };

  TdxGdiPlus GdiPlus;

  // The resource's entry, decoded on first use; none when it cannot be.
  TEntry* Find(HMODULE AModule, const wchar_t* AName, const wchar_t* AType) {
    const std::wstring name = KeyOf(AName), type = KeyOf(AType);
    for (auto& entry : FEntries)
      if (entry->Module == AModule && entry->Name == name && entry->Type == type)
        return entry->Image ? entry.get() : nullptr;
    auto entry = std::make_unique<TEntry>();
    entry->Module = AModule;
    entry->Name = name;
    entry->Type = type;
    auto image = std::make_unique<TGpObject<TGdipDisposeImage>>(GdiPlus.DisposeImage);
    if (GdiPlus.Started() && LoadImage(GdiPlus, AModule, AName, AType, *image, entry->Size))
      entry->Image = std::move(image);
    FEntries.push_back(std::move(entry));
    return FEntries.back()->Image ? FEntries.back().get() : nullptr;
  }

  // The part ASource of the entry's image on its own, so that stretching
  // never samples its neighbour; none when it cannot be made.
  void* Frame(TEntry& AEntry, const RECT& ASource) {
    for (const TFrame& frame : AEntry.Frames)
      if (EqualRect(&frame.Source, &ASource))
        return frame.Image->Get();
    auto frame = std::make_unique<TGpObject<TGdipDisposeImage>>(GdiPlus.DisposeImage);
    if (GdiPlus.CloneBitmapAreaI(ASource.left, ASource.top, ASource.right - ASource.left,
                                 ASource.bottom - ASource.top, PixelFormat32bppPARGB,
                                 AEntry.Image->Get(), frame->Out()) != GpOk)
      return nullptr;
    AEntry.Frames.push_back(TFrame{ASource, std::move(frame)});
    return AEntry.Frames.back().Image->Get();
  }

private:
  // A resource name or type as text: "#n" for a numeric one.
  static std::wstring KeyOf(const wchar_t* AName) {
    if (IS_INTRESOURCE(AName))
      return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(AName));
    return AName;
  }

  std::vector<std::unique_ptr<TEntry>> FEntries;
};

TPngResourceCache* gPngCache = nullptr;

TPngResourceCache& PngCache() {
  if (gPngCache == nullptr)
    gPngCache = new TPngResourceCache;
  return *gPngCache;
}

} // namespace

void cxReleasePngResources() {
  delete gPngCache;
  gPngCache = nullptr;
}

SIZE cxGetPngResourceSize(HMODULE AModule, const wchar_t* AName, const wchar_t* AType) {
  TPngResourceCache::TEntry* entry = PngCache().Find(AModule, AName, AType);
  return entry != nullptr ? entry->Size : SIZE{0, 0};
}

bool cxDrawPngResource(TcxCanvas& ACanvas, HMODULE AModule, const wchar_t* AName,
                       const wchar_t* AType, const RECT& ASource, const RECT& ADest) {
  const int sourceWidth = ASource.right - ASource.left;
  const int sourceHeight = ASource.bottom - ASource.top;
  const int width = ADest.right - ADest.left;
  const int height = ADest.bottom - ADest.top;
  if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0)
    return false;

  TPngResourceCache& cache = PngCache();
  TdxGdiPlus& gdiPlus = cache.GdiPlus;
  TPngResourceCache::TEntry* entry = cache.Find(AModule, AName, AType);
  if (entry == nullptr)
    return false;
  if (ASource.left < 0 || ASource.top < 0 || ASource.right > entry->Size.cx ||
      ASource.bottom > entry->Size.cy)
    return false;
  void* frame = cache.Frame(*entry, ASource);
  if (frame == nullptr)
    return false;
  TGpObject attributes(gdiPlus.DisposeImageAttributes);
  if (gdiPlus.CreateImageAttributes(attributes.Out()) != GpOk ||
      gdiPlus.SetImageAttributesWrapMode(attributes.Get(), WrapModeTileFlipXY, 0, FALSE) != GpOk)
    return false;

  // What lies under the destination is copied out, the frame is blended
  // over it and the result is copied back. Both copies go through the
  // canvas's mirroring, so a right-to-left canvas gets the frame mirrored
  // and its own pixels back unchanged.
  TcxBitmap32 buffer(width, height);
  HDC bufferDC = buffer.Canvas().TryHandle();
  BYTE* bits = buffer.Bits();
  if (bufferDC == nullptr || bits == nullptr)
    return false;
  bool drawn = false;
  cxRightToLeftDependentDraw(ACanvas, ADest, [&] {
    HDC dc = ACanvas.Handle();
    if (!BitBlt(bufferDC, 0, 0, width, height, dc, ADest.left, ADest.top, SRCCOPY))
      return;
    GdiFlush();
    TGpObject target(gdiPlus.DisposeImage);
    if (gdiPlus.CreateBitmapFromScan0(width, height, buffer.BytesPerLine(), PixelFormat32bppRGB,
                                      bits, target.Out()) != GpOk)
      return;
    {
      TGpObject graphics(gdiPlus.DeleteGraphics);
      if (gdiPlus.GetImageGraphicsContext(target.Get(), graphics.Out()) != GpOk)
        return;
      gdiPlus.SetInterpolationMode(graphics.Get(), InterpolationModeHighQualityBicubic);
      gdiPlus.SetPixelOffsetMode(graphics.Get(), PixelOffsetModeHalf);
      if (gdiPlus.DrawImageRectRectI(graphics.Get(), frame, 0, 0, width, height, 0, 0, sourceWidth,
                                     sourceHeight, UnitPixel, attributes.Get(), nullptr,
                                     nullptr) != GpOk)
        return;
    }
    drawn = BitBlt(dc, ADest.left, ADest.top, width, height, bufferDC, 0, 0, SRCCOPY) != FALSE;
  });
  return drawn;
}

} // namespace telvora
