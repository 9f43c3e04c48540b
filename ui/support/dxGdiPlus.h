#pragma once
// GDI+ bound at run time: the parts of its flat interface the library uses
// (decoding images and drawing them scaled), a session that loads and starts
// it for its own lifetime, a holder for its objects, and a stream over bytes
// for its decoders.

#include "platform/Handles.h"

#include <objbase.h>
#include <windows.h>

#include <cstddef>

namespace telvora {

using GpStatus = int;
constexpr GpStatus GpOk = 0;
constexpr int PixelFormat32bppRGB = 0x00022009;
constexpr int PixelFormat32bppARGB = 0x0026200A;
constexpr int PixelFormat32bppPARGB = 0x000E200B;
constexpr int UnitPixel = 2;
constexpr int InterpolationModeHighQualityBicubic = 7;
constexpr int PixelOffsetModeHalf = 4;
constexpr int WrapModeTileFlipXY = 3;
constexpr UINT ImageLockModeRead = 1;

struct TGpRect {
  INT X, Y, Width, Height;
};

struct TGpBitmapData {
  UINT Width;
  UINT Height;
  INT Stride;
  INT PixelFormat;
  void* Scan0;
  UINT_PTR Reserved;
};

using TGdipCreateBitmapFromStream = GpStatus(WINAPI*)(IStream*, void**);
using TGdipCreateBitmapFromScan0 = GpStatus(WINAPI*)(INT, INT, INT, INT, BYTE*, void**);
using TGdipCloneBitmapAreaI = GpStatus(WINAPI*)(INT, INT, INT, INT, INT, void*, void**);
using TGdipGetImageWidth = GpStatus(WINAPI*)(void*, UINT*);
using TGdipGetImageHeight = GpStatus(WINAPI*)(void*, UINT*);
using TGdipGetImagePixelFormat = GpStatus(WINAPI*)(void*, INT*);
using TGdipBitmapLockBits = GpStatus(WINAPI*)(void*, const TGpRect*, UINT, INT, TGpBitmapData*);
using TGdipBitmapUnlockBits = GpStatus(WINAPI*)(void*, TGpBitmapData*);
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

// GDI+ loaded and started for the lifetime of the object; Started answers
// false when the library or one of the functions is missing or it would
// not start.
class TdxGdiPlus {
public:
  TdxGdiPlus();
  TdxGdiPlus(const TdxGdiPlus&) = delete;
  TdxGdiPlus& operator=(const TdxGdiPlus&) = delete;
  ~TdxGdiPlus();

  bool Started() const noexcept { return FStarted; }

  TGdipCreateBitmapFromStream CreateBitmapFromStream = nullptr;
  TGdipCreateBitmapFromScan0 CreateBitmapFromScan0 = nullptr;
  TGdipCloneBitmapAreaI CloneBitmapAreaI = nullptr;
  TGdipGetImageWidth GetImageWidth = nullptr;
  TGdipGetImageHeight GetImageHeight = nullptr;
  TGdipGetImagePixelFormat GetImagePixelFormat = nullptr;
  TGdipBitmapLockBits BitmapLockBits = nullptr;
  TGdipBitmapUnlockBits BitmapUnlockBits = nullptr;
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
  using TShutdown = void(WINAPI*)(ULONG_PTR);
  TModule FLibrary;
  TShutdown FShutdown = nullptr;
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

// A stream, released when the holder goes.
class TdxStream {
public:
  TdxStream() = default;
  TdxStream(const TdxStream&) = delete;
  TdxStream& operator=(const TdxStream&) = delete;
  ~TdxStream() {
    if (Stream != nullptr)
      Stream->Release();
  }
  IStream* Stream = nullptr;
};

// A stream over a copy of the bytes; false when it cannot be made.
bool dxOpenByteStream(const void* AData, size_t ASize, TdxStream& AStream);

} // namespace telvora
