#include "ui/support/dxGdiPlus.h"

#include "platform/OleLibrary.h"

#include <cstring>

namespace telvora {

namespace {

struct TGdiplusStartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

using TGdiplusStartup = GpStatus(WINAPI*)(ULONG_PTR*, const TGdiplusStartupInput*, void*);

} // namespace

TdxGdiPlus::TdxGdiPlus() : FLibrary(LoadLibraryW(L"gdiplus.dll")) {
  if (!FLibrary)
    return;
  bool all = true;
  auto bind = [this, &all](auto& AProc, const char* AName) {
    BindProcAddress(FLibrary.Get(), AName, AProc);
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
  bind(GetImagePixelFormat, "GdipGetImagePixelFormat");
  bind(BitmapLockBits, "GdipBitmapLockBits");
  bind(BitmapUnlockBits, "GdipBitmapUnlockBits");
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

TdxGdiPlus::~TdxGdiPlus() {
  if (FStarted)
    FShutdown(FToken);
}

bool dxOpenByteStream(const void* AData, size_t ASize, TdxStream& AStream) {
  if (AData == nullptr || ASize == 0)
    return false;
  TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, ASize));
  if (!memory)
    return false;
  {
    TGlobalLock lock(memory.Get());
    if (lock.Data() == nullptr)
      return false;
    std::memcpy(lock.Data(), AData, ASize);
  }
  auto createStream = Ole32().CreateStreamOnHGlobal;
  if (createStream == nullptr || FAILED(createStream(memory.Get(), TRUE, &AStream.Stream)))
    return false;
  memory.Release(); // the stream frees it
  return true;
}

} // namespace telvora
