#pragma once
// Drawing surfaces of the window framework: a canvas is a device context with
// a current font, pen and brush. Taking the canvas's Handle selects them into
// the context, so GDI calls made with the handle draw with them. The canvas
// creates the GDI objects from the attributes of its font, pen and brush and
// releases them itself: an object is never deleted while the context (or a
// state of it saved with SaveDC) may still refer to it.

#include "platform/Graphics.h"

#include <functional>
#include <memory>
#include <vector>

namespace telvora {

class TWinControl;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmCopy, pmNot, pmXor, pmMask, pmMerge };
enum TBrushStyle { bsSolid, bsClear };

class TPen {
public:
  TPen() = default;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;

  void Assign(const TPen& source);

  TColor Color() const noexcept { return FColor; }
  void SetColor(TColor value);
  int Width() const noexcept { return FWidth; }
  void SetWidth(int value);
  TPenStyle Style() const noexcept { return FStyle; }
  void SetStyle(TPenStyle value);
  TPenMode Mode() const noexcept { return FMode; }
  void SetMode(TPenMode value);

  std::function<void()> OnChange;

private:
  void Changed();

  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

class TBrush {
public:
  TBrush() = default;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;

  void Assign(const TBrush& source);

  TColor Color() const noexcept { return FColor; }
  void SetColor(TColor value);
  TBrushStyle Style() const noexcept { return FStyle; }
  void SetStyle(TBrushStyle value);

  std::function<void()> OnChange;

private:
  void Changed();

  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

class TCanvas {
public:
  TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  virtual ~TCanvas();

  // The device context with the current font, pen and brush selected. A
  // canvas that cannot obtain a context raises EOutOfResources.
  HDC Handle();
  // The same, but none when no context can be had (all GDI handles taken):
  // drawing code that must not fail draws nothing then.
  HDC TryHandle();
  // Drawing on a context someone else owns (none detaches the canvas).
  void SetHandle(HDC value);
  bool HandleAllocated() const noexcept { return FHandle != nullptr; }

  TFont& Font() noexcept { return FFont; }
  TPen& Pen() noexcept { return FPen; }
  TBrush& Brush() noexcept { return FBrush; }

  // ExtTextOut options applied to text output (ETO_RTLREADING matters).
  int TextFlags() const noexcept { return FTextFlags; }
  void SetTextFlags(int value) noexcept { FTextFlags = value; }

  // Guards the canvas against use by other threads; nests.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const noexcept { return FLockCount; }

  // SaveDC on the context; the identifier goes to RestoreDC. After a restore
  // the font, pen and brush are selected again on the next use of Handle.
  int SaveDC();
  void RestoreDC(int savedDC);
  int SavedDCCount() const noexcept { return static_cast<int>(FSavedDCs.size()); }

  void FillRect(const RECT& rect);

  // The control this canvas draws on, if any.
  virtual TWinControl* Control() const noexcept { return nullptr; }

  // Number of GDI objects the canvas has created and not yet deleted.
  int OwnedObjectCount() const noexcept;

protected:
  // Asked for a context when Handle is taken and none is set.
  virtual void CreateHandle() {}
  // Detaches the canvas from its context: the stock objects go back in.
  void DeselectHandles();
  HDC CurrentHandle() const noexcept { return FHandle; }

private:
  struct TSelected {
    TSharedGdiObject Object;
    bool Valid = false;
  };
  void RequiredState();
  void SelectFont();
  void SelectPen();
  void SelectBrush();
  // Deletes `object` now, or once no saved state of the context can refer to it.
  void Retire(TSharedGdiObject object);
  void FreeRetired();

  HDC FHandle = nullptr;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
  int FTextFlags = 0;
  TSelected FFontObject;
  LOGFONTW FFontKey{};
  TSelected FPenObject;
  LOGPEN FPenKey{};
  TSelected FBrushObject;
  LOGBRUSH FBrushKey{};
  std::vector<TSharedGdiObject> FRetired;
  std::vector<int> FSavedDCs;
  CRITICAL_SECTION FLock;
  int FLockCount = 0;
};

// A canvas on a control's window, through GetDC.
class TControlCanvas : public TCanvas {
public:
  TControlCanvas() = default;
  explicit TControlCanvas(TWinControl* control) : FControl(control) {}
  ~TControlCanvas() override;

  TWinControl* Control() const noexcept override { return FControl; }
  void SetControl(TWinControl* value);
  // Releases the window's context (taken again on the next Handle).
  void FreeHandle();

protected:
  void CreateHandle() override;

private:
  TWinControl* FControl = nullptr;
  std::unique_ptr<TWindowDC> FWindowDC;
};

enum TPixelFormat { pfDevice, pf24bit, pf32bit };

class TBitmap;

// A canvas on a memory context that holds a bitmap.
class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap& bitmap) : FBitmap(bitmap) {}
  ~TBitmapCanvas() override;
  // Takes the bitmap out of the context and deletes the context.
  void FreeContext();

protected:
  void CreateHandle() override;

private:
  TBitmap& FBitmap;
  TMemoryDC FMemoryDC;
  HGDIOBJ FOldBitmap = nullptr;
};

// A bitmap with a canvas. The device-dependent form is compatible with the
// screen; the 24- and 32-bit forms are top-down DIB sections whose pixels can
// be read and written directly.
class TBitmap {
public:
  TBitmap() = default;
  TBitmap(int width, int height, TPixelFormat format = pfDevice);
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  virtual ~TBitmap();

  int Width() const noexcept { return FWidth; }
  int Height() const noexcept { return FHeight; }
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const noexcept { return FPixelFormat; }
  virtual void SetPixelFormat(TPixelFormat value);
  bool Empty() const noexcept { return FWidth <= 0 || FHeight <= 0; }

  // The bitmap, created on first use (none when empty or when GDI fails).
  HBITMAP Handle();
  TCanvas& Canvas();
  bool HasCanvas() const noexcept { return FCanvas != nullptr; }
  // Takes the bitmap out of its canvas's context so that other code may
  // select it (GetDIBits, image lists); the canvas takes it again when used.
  void FreeContext();

  // Pixels of a DIB section (after GdiFlush): row y at Bits() + y * BytesPerLine().
  // None for the device-dependent form.
  BYTE* Bits();
  int BytesPerLine() const noexcept;
  // One pixel of a 32-bit bitmap as $AARRGGBB (0 outside the bitmap).
  DWORD Pixel32(int x, int y);

protected:
  virtual void Changed() {}

private:
  void FreeImage();

  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TGdiObject FHandle;
  BYTE* FBits = nullptr;
  std::unique_ptr<TBitmapCanvas> FCanvas;
};

} // namespace telvora
