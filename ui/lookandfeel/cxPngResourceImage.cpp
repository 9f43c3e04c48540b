#include "ui/lookandfeel/cxPngResourceImage.h"

#include "platform/Handles.h"

#include <objbase.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <type_traits>

namespace telvora {

namespace {

// The parts of the GDI+ flat interface used here, bound by name.
using GpStatus = int;
constexpr GpStatus GpOk = 0;
constexpr int PixelFormat32bppRGB = 0x00022009;
constexpr int PixelFormat32bppPARGB = 0x000E200B;
constexpr int UnitPixel = 2;
constexpr int InterpolationModeHighQualityBicubic = 7;
constexpr int PixelOffsetModeHalf = 4;
constexpr int WrapModeTileFlipXY = 3;

struct TGdiplusStartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

using TGdiplusStartup = GpStatus(WINAPI*)(ULONG_PTR*, const TGdiplusStartupInput*, void*);
using TGdiplusShutdown = void(WINAPI*)(ULONG_PTR);
using TGdipCreateBitmapFromStream = GpStatus(WINAPI*)(IStream*, void**);
using TGdipCreateBitmapFromScan0 = GpStatus(WINAPI*)(INT, INT, INT, INT, BYTE*, void**);
using TGdipCloneBitmapAreaI = GpStatus(WINAPI*)(INT, INT, INT, INT, INT, void*, void**);
using TGdipGetImageWidth = GpStatus(WINAPI*)(void*, UINT*);
using TGdipGetImageHeight = GpStatus(WINAPI*)(void*, UINT*);
using TGdipDisposeImage = GpStatus(WINAPI*)(void*);
using TGdipGetImageGraphicsContext = GpStatus(WINAPI*)(void*, void**);
using TGdipDeleteGraphics = GpStatus(WINAPI*)(void*);
using TGdipSetInterpolationMode = GpStatus(WINAPI*)(void*, INT);
using TGdipSetPixelOffsetMode = GpStatus(WINAPI*)(void*, INT);
using TGdipCreateImageAttributes = GpStatus(WINAPI*)(void**);
using TGdipDisposeImageAttributes = GpStatus(WINAPI*)(void*);
using TGdipSetImageAttributesWrapMode = GpStatus(WINAPI*)(void*, INT, DWORD, BOOL);
using TGdipDrawImageRectRectI = GpStatus(WINAPI*)(void*, void*, INT, INT, INT, INT, INT, INT, INT,
                                                  INT, INT, void*, void*, void*);

// GDI+ loaded and started for the lifetime of the object.
class TGdiPlusSession {
public:
  TGdiPlusSession() : FLibrary(LoadLibraryW(L"gdiplus.dll")) {
    if (!FLibrary)
      return;
    bool all = true;
    auto bind = [this, &all](auto& AProc, const char* AName) {
      AProc = reinterpret_cast<std::remove_reference_t<decltype(AProc)>>(
          GetProcAddress(FLibrary.Get(), AName));
      all = all && AProc != nullptr;
    };
    TGdiplusStartup startup = nullptr;
    bind(startup, "GdiplusStartup");
    bind(FShutdown, "GdiplusShutdown");
    bind(CreateBitmapFromStream, "GdipCreateBitmapFromStream");
    bind(CreateBitmapFromScan0, "GdipCreateBitmapFromScan0");
    bind(CloneBitmapAreaI, "GdipCloneBitmapAreaI");
    bind(GetImageWidth, "GdipGetImageWidth");
    bind(GetImageHeight, "GdipGetImageHeight");
    bind(DisposeImage, "GdipDisposeImage");
    bind(GetImageGraphicsContext, "GdipGetImageGraphicsContext");
    bind(DeleteGraphics, "GdipDeleteGraphics");
    bind(SetInterpolationMode, "GdipSetInterpolationMode");
    bind(SetPixelOffsetMode, "GdipSetPixelOffsetMode");
    bind(CreateImageAttributes, "GdipCreateImageAttributes");
    bind(DisposeImageAttributes, "GdipDisposeImageAttributes");
    bind(SetImageAttributesWrapMode, "GdipSetImageAttributesWrapMode");
    bind(DrawImageRectRectI, "GdipDrawImageRectRectI");
    TGdiplusStartupInput input;
    FStarted = all && startup(&FToken, &input, nullptr) == GpOk;
  }
  TGdiPlusSession(const TGdiPlusSession&) = delete;
  TGdiPlusSession& operator=(const TGdiPlusSession&) = delete;
  ~TGdiPlusSession() {
    if (FStarted)
      FShutdown(FToken);
  }

  bool Started() const noexcept { return FStarted; }

  TGdipCreateBitmapFromStream CreateBitmapFromStream = nullptr;
  TGdipCreateBitmapFromScan0 CreateBitmapFromScan0 = nullptr;
  TGdipCloneBitmapAreaI CloneBitmapAreaI = nullptr;
  TGdipGetImageWidth GetImageWidth = nullptr;
  TGdipGetImageHeight GetImageHeight = nullptr;
  TGdipDisposeImage DisposeImage = nullptr;
  TGdipGetImageGraphicsContext GetImageGraphicsContext = nullptr;
  TGdipDeleteGraphics DeleteGraphics = nullptr;
  TGdipSetInterpolationMode SetInterpolationMode = nullptr;
  TGdipSetPixelOffsetMode SetPixelOffsetMode = nullptr;
  TGdipCreateImageAttributes CreateImageAttributes = nullptr;
  TGdipDisposeImageAttributes DisposeImageAttributes = nullptr;
  TGdipSetImageAttributesWrapMode SetImageAttributesWrapMode = nullptr;
  TGdipDrawImageRectRectI DrawImageRectRectI = nullptr;

private:
  TModule FLibrary;
  TGdiplusShutdown FShutdown = nullptr;
  ULONG_PTR FToken = 0;
  bool FStarted = false;
};

// A GDI+ object released by its disposer when the holder goes.
template <class TDispose> class TGpObject {
public:
  explicit TGpObject(TDispose ADispose) : FDispose(ADispose) {}
  TGpObject(const TGpObject&) = delete;
  TGpObject& operator=(const TGpObject&) = delete;
  ~TGpObject() {
    if (FObject != nullptr)
      FDispose(FObject);
  }
  void** Out() noexcept { return &FObject; }
  void* Get() const noexcept { return FObject; }

private:
  TDispose FDispose;
  void* FObject = nullptr;
};

class TStreamHolder {
public:
  TStreamHolder() = default;
  TStreamHolder(const TStreamHolder&) = delete;
  TStreamHolder& operator=(const TStreamHolder&) = delete;
  ~TStreamHolder() {
    if (Stream != nullptr)
      Stream->Release();
  }
  IStream* Stream = nullptr;
};

// The resource's bytes in a stream of their own.
bool OpenResourceStream(HMODULE AModule, const wchar_t* AName, const wchar_t* AType,
                        TStreamHolder& AStream) {
  HRSRC info = FindResourceW(AModule, AName, AType);
  if (info == nullptr)
    return false;
  const DWORD size = SizeofResource(AModule, info);
  HGLOBAL loaded = LoadResource(AModule, info);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr || size == 0)
    return false;
  TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory)
    return false;
  {
    TGlobalLock lock(memory.Get());
    if (lock.Data() == nullptr)
      return false;
    std::memcpy(lock.Data(), data, size);
  }
  if (FAILED(CreateStreamOnHGlobal(memory.Get(), TRUE, &AStream.Stream)))
    return false;
  memory.Release(); // the stream frees it
  return true;
}

// The decoded image; false when GDI+ cannot decode the resource.
bool LoadImage(TGdiPlusSession& AGdiPlus, HMODULE AModule, const wchar_t* AName,
               const wchar_t* AType, TGpObject<TGdipDisposeImage>& AImage, SIZE& ASize) {
  TStreamHolder stream;
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

  TGdiPlusSession GdiPlus;

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
  TGdiPlusSession& gdiPlus = cache.GdiPlus;
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
