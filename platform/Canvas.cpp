#include "platform/Canvas.h"

#include "platform/Controls.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>

namespace telvora {

// ---------------------------------------------------------------- TPen

void TPen::Assign(const TPen& source) {
  if (&source == this)
    return;
  if (FColor == source.FColor && FWidth == source.FWidth && FStyle == source.FStyle &&
      FMode == source.FMode)
    return;
  FColor = source.FColor;
  FWidth = source.FWidth;
  FStyle = source.FStyle;
  FMode = source.FMode;
  Changed();
}

void TPen::SetColor(TColor value) {
  if (value != FColor) {
    FColor = value;
    Changed();
  }
}

void TPen::SetWidth(int value) {
  if (value != FWidth) {
    FWidth = value;
    Changed();
  }
}

void TPen::SetStyle(TPenStyle value) {
  if (value != FStyle) {
    FStyle = value;
    Changed();
  }
}

void TPen::SetMode(TPenMode value) {
  if (value != FMode) {
    FMode = value;
    Changed();
  }
}

void TPen::Changed() {
  if (OnChange)
    OnChange();
}

// ---------------------------------------------------------------- TBrush

void TBrush::Assign(const TBrush& source) {
  if (&source == this)
    return;
  if (FColor == source.FColor && FStyle == source.FStyle)
    return;
  FColor = source.FColor;
  FStyle = source.FStyle;
  Changed();
}

void TBrush::SetColor(TColor value) {
  if (value != FColor) {
    FColor = value;
    Changed();
  }
}

void TBrush::SetStyle(TBrushStyle value) {
  if (value != FStyle) {
    FStyle = value;
    Changed();
  }
}

void TBrush::Changed() {
  if (OnChange)
    OnChange();
}

// ---------------------------------------------------------------- TCanvas

namespace {
int PenStyleToGdi(TPenStyle style) {
  switch (style) {
  case psDash:
    return PS_DASH;
  case psDot:
    return PS_DOT;
  case psDashDot:
    return PS_DASHDOT;
  case psDashDotDot:
    return PS_DASHDOTDOT;
  case psClear:
    return PS_NULL;
  case psInsideFrame:
    return PS_INSIDEFRAME;
  case psSolid:
    break;
  }
  return PS_SOLID;
}

int PenModeToRop2(TPenMode mode) {
  switch (mode) {
  case pmNot:
    return R2_NOT;
  case pmXor:
    return R2_XORPEN;
  case pmMask:
    return R2_MASKPEN;
  case pmMerge:
    return R2_MERGEPEN;
  case pmCopy:
    break;
  }
  return R2_COPYPEN;
}
} // namespace

TCanvas::TCanvas() {
  InitializeCriticalSection(&FLock);
  FFont.OnChange = [this] { FFontObject.Valid = false; };
  FPen.OnChange = [this] { FPenObject.Valid = false; };
  FBrush.OnChange = [this] { FBrushObject.Valid = false; };
}

TCanvas::~TCanvas() {
  DeselectHandles();
  FHandle = nullptr;
  DeleteCriticalSection(&FLock);
}

HDC TCanvas::Handle() {
  RequiredState();
  return FHandle;
}

HDC TCanvas::TryHandle() {
  if (FHandle == nullptr) {
    try {
      CreateHandle();
    } catch (...) {
      return nullptr;
    }
    if (FHandle == nullptr)
      return nullptr;
  }
  RequiredState();
  return FHandle;
}

void TCanvas::SetHandle(HDC value) {
  if (value == FHandle)
    return;
  DeselectHandles();
  FHandle = value;
}

void TCanvas::RequiredState() {
  if (FHandle == nullptr) {
    CreateHandle();
    if (FHandle == nullptr)
      throw EOutOfResources(L"Canvas does not allow drawing");
  }
  if (!FFontObject.Valid)
    SelectFont();
  if (!FPenObject.Valid)
    SelectPen();
  if (!FBrushObject.Valid)
    SelectBrush();
}

void TCanvas::SelectFont() {
  LOGFONTW lf = FontToLogFont(FFont);
  if (!FFontObject.Object || std::memcmp(&lf, &FFontKey, sizeof(lf)) != 0) {
    TSharedGdiObject font = TSharedGdiObject::Font(lf);
    if (!font) {
      SelectObject(FHandle, GetStockObject(DEFAULT_GUI_FONT));
    } else {
      SelectObject(FHandle, font.Get());
      Retire(std::exchange(FFontObject.Object, std::move(font)));
      FFontKey = lf;
    }
  } else {
    SelectObject(FHandle, FFontObject.Object.Get());
  }
  SetTextColor(FHandle, ColorToRGB(FFont.Color()));
  FFontObject.Valid = true;
}

void TCanvas::SelectPen() {
  LOGPEN key{};
  key.lopnStyle = static_cast<UINT>(PenStyleToGdi(FPen.Style()));
  key.lopnWidth.x = FPen.Width();
  key.lopnColor = ColorToRGB(FPen.Color());
  if (!FPenObject.Object || FPenKey.lopnStyle != key.lopnStyle ||
      FPenKey.lopnWidth.x != key.lopnWidth.x || FPenKey.lopnColor != key.lopnColor) {
    TSharedGdiObject pen = TSharedGdiObject::Pen(key);
    if (!pen) {
      SelectObject(FHandle, GetStockObject(BLACK_PEN));
    } else {
      SelectObject(FHandle, pen.Get());
      Retire(std::exchange(FPenObject.Object, std::move(pen)));
      FPenKey = key;
    }
  } else {
    SelectObject(FHandle, FPenObject.Object.Get());
  }
  SetROP2(FHandle, PenModeToRop2(FPen.Mode()));
  FPenObject.Valid = true;
}

void TCanvas::SelectBrush() {
  LOGBRUSH key{};
  key.lbStyle = FBrush.Style() == bsClear ? BS_NULL : BS_SOLID;
  key.lbColor = ColorToRGB(FBrush.Color());
  if (key.lbStyle == BS_NULL) {
    // The stock hollow brush: the solid brush made before stays for when
    // the style turns back (text drawn without a background in between).
    SelectObject(FHandle, GetStockObject(NULL_BRUSH));
  } else if (!FBrushObject.Object || FBrushKey.lbColor != key.lbColor) {
    TSharedGdiObject brush = TSharedGdiObject::Brush(key);
    if (!brush) {
      SelectObject(FHandle, GetStockObject(WHITE_BRUSH));
    } else {
      SelectObject(FHandle, brush.Get());
      Retire(std::exchange(FBrushObject.Object, std::move(brush)));
      FBrushKey = key;
    }
  } else {
    SelectObject(FHandle, FBrushObject.Object.Get());
  }
  SetBkColor(FHandle, key.lbColor);
  SetBkMode(FHandle, FBrush.Style() == bsClear ? TRANSPARENT : OPAQUE);
  FBrushObject.Valid = true;
}

void TCanvas::Retire(TSharedGdiObject object) {
  if (!object)
    return;
  if (FSavedDCs.empty())
    object.Reset();
  else
    FRetired.push_back(std::move(object));
}

void TCanvas::FreeRetired() {
  FRetired.clear();
}

void TCanvas::DeselectHandles() {
  if (FHandle != nullptr &&
      (FFontObject.Object || FPenObject.Object || FBrushObject.Object || !FRetired.empty())) {
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    SelectObject(FHandle, GetStockObject(WHITE_BRUSH));
  }
  FFontObject.Valid = false;
  FPenObject.Valid = false;
  FBrushObject.Valid = false;
}

void TCanvas::Lock() {
  EnterCriticalSection(&FLock);
  ++FLockCount;
}

void TCanvas::Unlock() {
  if (FLockCount <= 0)
    return;
  --FLockCount;
  LeaveCriticalSection(&FLock);
}

bool TCanvas::TryLock() {
  if (!TryEnterCriticalSection(&FLock))
    return false;
  ++FLockCount;
  return true;
}

int TCanvas::SaveDC() {
  HDC dc = TryHandle();
  if (dc == nullptr)
    return 0;
  int id = ::SaveDC(dc);
  if (id != 0)
    FSavedDCs.push_back(id);
  return id;
}

void TCanvas::RestoreDC(int savedDC) {
  if (FHandle == nullptr || savedDC == 0)
    return;
  ::RestoreDC(FHandle, savedDC);
  while (!FSavedDCs.empty() && FSavedDCs.back() >= savedDC)
    FSavedDCs.pop_back();
  // The context now holds whatever was selected when the state was saved.
  FFontObject.Valid = false;
  FPenObject.Valid = false;
  FBrushObject.Valid = false;
  if (FSavedDCs.empty() && !FRetired.empty()) {
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    SelectObject(FHandle, GetStockObject(WHITE_BRUSH));
    FreeRetired();
  }
}

void TCanvas::FillRect(const RECT& rect) {
  HDC dc = Handle();
  ::FillRect(dc, &rect, static_cast<HBRUSH>(FBrushObject.Object.Get()));
}

int TCanvas::OwnedObjectCount() const noexcept {
  int count = static_cast<int>(FRetired.size());
  if (FFontObject.Object)
    ++count;
  if (FPenObject.Object)
    ++count;
  if (FBrushObject.Object)
    ++count;
  return count;
}

// ---------------------------------------------------------------- TControlCanvas

TControlCanvas::~TControlCanvas() {
  FreeHandle();
}

void TControlCanvas::SetControl(TWinControl* value) {
  if (value == FControl)
    return;
  FreeHandle();
  FControl = value;
}

void TControlCanvas::FreeHandle() {
  SetHandle(nullptr);
  FWindowDC.reset();
}

void TControlCanvas::CreateHandle() {
  if (FControl == nullptr)
    return;
  HWND window = FControl->Handle();
  if (window == nullptr)
    return;
  auto dc = std::make_unique<TWindowDC>(window);
  if (dc->Get() == nullptr)
    return;
  FWindowDC = std::move(dc);
  SetHandle(FWindowDC->Get());
}

// ---------------------------------------------------------------- TBitmapCanvas

TBitmapCanvas::~TBitmapCanvas() {
  FreeContext();
}

void TBitmapCanvas::FreeContext() {
  if (!FMemoryDC)
    return;
  SetHandle(nullptr);
  if (FOldBitmap != nullptr)
    SelectObject(FMemoryDC.Get(), FOldBitmap);
  FOldBitmap = nullptr;
  FMemoryDC.Reset();
}

void TBitmapCanvas::CreateHandle() {
  TMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!dc)
    return;
  HBITMAP bitmap = FBitmap.Handle();
  FOldBitmap = bitmap != nullptr ? SelectObject(dc.Get(), bitmap) : nullptr;
  FMemoryDC = std::move(dc);
  SetHandle(FMemoryDC.Get());
}

// ---------------------------------------------------------------- TBitmap

TBitmap::TBitmap(int width, int height, TPixelFormat format)
    : FWidth(std::max(width, 0)), FHeight(std::max(height, 0)), FPixelFormat(format) {}

TBitmap::~TBitmap() {
  FreeImage();
  FCanvas.reset();
}

void TBitmap::FreeImage() {
  if (FCanvas)
    FCanvas->FreeContext();
  FHandle.Reset();
  FBits = nullptr;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FWidth && height == FHeight)
    return;
  FreeImage();
  FWidth = width;
  FHeight = height;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  if (value == FPixelFormat)
    return;
  FreeImage();
  FPixelFormat = value;
  Changed();
}

HBITMAP TBitmap::Handle() {
  if (!FHandle && !Empty()) {
    if (FPixelFormat == pfDevice) {
      TWindowDC screen(nullptr);
      FHandle.Reset(CreateCompatibleBitmap(screen.Get(), FWidth, FHeight));
    } else {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      info.bmiHeader.biWidth = FWidth;
      info.bmiHeader.biHeight = -FHeight; // top-down rows
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = FPixelFormat == pf32bit ? 32 : 24;
      info.bmiHeader.biCompression = BI_RGB;
      void* bits = nullptr;
      FHandle.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
      FBits = FHandle ? static_cast<BYTE*>(bits) : nullptr;
    }
  }
  return static_cast<HBITMAP>(FHandle.Get());
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas)
    FCanvas = std::make_unique<TBitmapCanvas>(*this);
  return *FCanvas;
}

void TBitmap::FreeContext() {
  if (FCanvas)
    FCanvas->FreeContext();
}

BYTE* TBitmap::Bits() {
  if (FPixelFormat == pfDevice)
    return nullptr;
  Handle();
  GdiFlush();
  return FBits;
}

int TBitmap::BytesPerLine() const noexcept {
  switch (FPixelFormat) {
  case pf32bit:
    return FWidth * 4;
  case pf24bit:
    return ((FWidth * 3) + 3) & ~3;
  case pfDevice:
    break;
  }
  return 0;
}

DWORD TBitmap::Pixel32(int x, int y) {
  if (FPixelFormat != pf32bit || x < 0 || y < 0 || x >= FWidth || y >= FHeight)
    return 0;
  BYTE* bits = Bits();
  if (bits == nullptr)
    return 0;
  DWORD value = 0;
  std::memcpy(&value, bits + y * BytesPerLine() + x * 4, sizeof(value));
  return value;
}

} // namespace telvora
