#pragma once
// The canvas the painters draw on and the drawing functions around it:
// colour-aware fills and frames, clipping with a stack of saved regions, a
// stack of saved drawing states, text measuring and drawing with the
// library's own text flags, colour helpers, off-screen bitmaps, parent
// backgrounds and right-to-left mirroring.

#include "platform/Canvas.h"
#include "platform/Controls.h"

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace telvora {

class TdxScaleFactor;

enum TdxDefaultBoolean { bFalse, bTrue, bDefault };

// ---------------------------------------------------------------- borders

enum TcxBorder { bLeft, bTop, bRight, bBottom };

// A set of borders: bit 1 left, 2 top, 4 right, 8 bottom.
class TcxBorders {
public:
  constexpr TcxBorders() = default;
  constexpr TcxBorders(std::initializer_list<TcxBorder> borders) {
    for (TcxBorder b : borders)
      FBits = static_cast<std::uint8_t>(FBits | Bit(b));
  }
  static constexpr TcxBorders FromBits(unsigned bits) {
    TcxBorders r;
    r.FBits = static_cast<std::uint8_t>(bits & 0x0F);
    return r;
  }
  constexpr bool Contains(TcxBorder b) const { return (FBits & Bit(b)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr unsigned Bits() const { return FBits; }
  constexpr TcxBorders operator&(TcxBorders other) const { return FromBits(FBits & other.FBits); }
  constexpr TcxBorders operator|(TcxBorders other) const { return FromBits(FBits | other.FBits); }
  constexpr bool operator==(const TcxBorders&) const = default;

private:
  static constexpr std::uint8_t Bit(TcxBorder b) { return static_cast<std::uint8_t>(1u << b); }
  std::uint8_t FBits = 0;
};

constexpr TcxBorders cxBordersAll = TcxBorders::FromBits(0x0F);

enum TcxArrowDirection { adUp, adDown, adLeft, adRight };
enum TcxRotationAngle { ra0, raPlus90, raMinus90, ra180 };
enum TcxAlignmentVert { vaTop, vaBottom, vaCenter };
enum TcxRegionOperation { roSet, roAdd, roSubtract, roIntersect };
enum TcxImageDrawMode { idmNormal, idmDisabled, idmFaded, idmGrayScale, idmDingy, idmShadowed };
enum TcxImageFitMode { ifmNormal, ifmStretch, ifmProportionalStretch, ifmFit, ifmFill };

// ---------------------------------------------------------------- text flags

constexpr int cxAlignLeft = 0x1;
constexpr int cxAlignRight = 0x2;
constexpr int cxAlignHCenter = 0x4;
constexpr int cxAlignTop = 0x8;
constexpr int cxAlignBottom = 0x10;
constexpr int cxAlignVCenter = 0x20;
constexpr int cxAlignCenter = 0x24;
constexpr int cxSingleLine = 0x40;
constexpr int cxDontClip = 0x80;
constexpr int cxExpandTabs = 0x100;
constexpr int cxShowPrefix = 0x200;
constexpr int cxWordBreak = 0x400;
constexpr int cxShowEndEllipsis = 0x800;
constexpr int cxCalcRect = 0x1000;
constexpr int cxDontPrint = cxCalcRect;
constexpr int cxShowPathEllipsis = 0x2000;
constexpr int cxDontBreakChars = 0x4000;
constexpr int cxNoFullWidthCharBreak = 0x8000;
constexpr int cxRtlReading = 0x10000;
constexpr int cxShowWordEllipsis = 0x20000;

// The largest clip rectangle reported for a context without clipping.
constexpr int cxMaxRegionSize = 30000;

// Whether rotated text keeps the font's antialiasing.
inline bool dxUseAntialiasingForRotatedText = true;

// ---------------------------------------------------------------- regions

class TcxRegion : public TObject {
public:
  // An empty region.
  TcxRegion();
  explicit TcxRegion(const RECT& R);
  // Takes ownership of `AHandle`.
  explicit TcxRegion(HRGN AHandle);

  HRGN Handle() const noexcept { return static_cast<HRGN>(FHandle.Get()); }
  bool IsEmpty() const;
  RECT BoundsRect() const;
  bool IsEqual(const TcxRegion& ARegion) const;
  bool PtInRegion(int X, int Y) const;
  void Combine(const TcxRegion& ARegion, TcxRegionOperation AOperation);
  void Offset(int DX, int DY);

private:
  TGdiObject FHandle;
};

// ---------------------------------------------------------------- canvases

struct TcxDCState {
  HDC Handle;
  int SavedDC;
};

struct TcxCanvasState {
  std::unique_ptr<TFont> Font;
  std::unique_ptr<TBrush> Brush;
  std::unique_ptr<TPen> Pen;
  TdxDefaultBoolean UseRightToLeftAlignment = bDefault;
  int TextFlags = 0;
};

class TcxCustomCanvas;
using TcxDrawNativeProc = std::function<void(TcxCustomCanvas& ACanvas, const RECT& R)>;

class TcxIUnknownObject : public TObject {};

// The drawing operations, as the painters see them.
class TcxCustomCanvas : public TcxIUnknownObject {
public:
  virtual void SaveState() = 0;
  virtual void RestoreState() = 0;
  virtual void SaveClipRegion() = 0;
  virtual void RestoreClipRegion() = 0;
  virtual void IntersectClipRect(const RECT& R) = 0;
  virtual bool RectVisible(const RECT& R) = 0;

  virtual void SetBrushColor(TColor AColor) = 0;
  virtual void FillRect(const RECT& R, TColor AColor) = 0;
  virtual void FrameRect(const RECT& R, TColor AColor, int ALineWidth = 1,
                         TcxBorders ABorders = cxBordersAll) = 0;
  virtual void DrawComplexFrame(const RECT& R, TColor ALeftTopColor, TColor ARightBottomColor,
                                TcxBorders ABorders = cxBordersAll, int ABorderWidth = 1) = 0;
  virtual void DrawEdge(const RECT& R, bool ASunken, bool AOuter,
                        TcxBorders ABorders = cxBordersAll) = 0;
  virtual void Polygon(std::span<const POINT> Points, TColor ABrushColor, TColor APenColor) = 0;
  void FillPolygon(std::span<const POINT> P, TColor AColor) { Polygon(P, AColor, AColor); }
  virtual void DrawFocusRect(const RECT& R) = 0;
  // Calls AProc(this, R); the key serves canvases that cache what they draw.
  virtual void DrawNativeObject(const RECT& R, const void* ACacheKey,
                                const TcxDrawNativeProc& AProc) = 0;

  virtual SIZE TextExtent(const std::wstring& Text) = 0;
  virtual void TextExtent(const std::wstring& Text, RECT& R, int Flags) = 0;
  int TextWidth(const std::wstring& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::wstring& Text) { return TextExtent(Text).cy; }
  virtual void DrawText(const std::wstring& Text, const RECT& R, int Flags, bool Enabled,
                        TcxRotationAngle ARotationAngle) = 0;
  void DrawText(const std::wstring& Text, const RECT& R, int Flags, bool Enabled = true) {
    DrawText(Text, R, Flags, Enabled, ra0);
  }

  // True for bTrue; for bDefault the canvas decides (GetDefault...).
  bool UseRightToLeftAlignment();
  TdxDefaultBoolean UseRightToLeftAlignmentValue() const noexcept {
    return FUseRightToLeftAlignment;
  }
  void SetUseRightToLeftAlignment(TdxDefaultBoolean AValue) noexcept {
    FUseRightToLeftAlignment = AValue;
  }

protected:
  virtual bool GetDefaultUseRightToLeftAlignment() { return false; }

  TdxDefaultBoolean FUseRightToLeftAlignment = bDefault;
};

class TcxCustomGdiBasedCanvas : public TcxCustomCanvas {
public:
  virtual HDC Handle() = 0;
  virtual TFont& Font() = 0;
  virtual TBrush& Brush() = 0;
  virtual TPen& Pen() = 0;
};

// The operations on a GDI device context.
class TcxGdiBasedCanvas : public TcxCustomGdiBasedCanvas {
public:
  void SetBrushColor(TColor AColor) override;
  void FillRect(const RECT& R, TColor AColor) override;
  void FrameRect(const RECT& R, TColor AColor, int ALineWidth = 1,
                 TcxBorders ABorders = cxBordersAll) override;
  void DrawComplexFrame(const RECT& R, TColor ALeftTopColor, TColor ARightBottomColor,
                        TcxBorders ABorders = cxBordersAll, int ABorderWidth = 1) override;
  void DrawEdge(const RECT& R, bool ASunken, bool AOuter,
                TcxBorders ABorders = cxBordersAll) override;
  void Polygon(std::span<const POINT> Points, TColor ABrushColor, TColor APenColor) override;
  void DrawNativeObject(const RECT& R, const void* ACacheKey,
                        const TcxDrawNativeProc& AProc) override;

  void IntersectClipRect(const RECT& R) override;
  bool RectVisible(const RECT& R) override;
  // The context's clip region (30000 x 30000 when it has none); with
  // AConsiderOrigin in logical coordinates.
  std::unique_ptr<TcxRegion> GetClipRegion(bool AConsiderOrigin = true);
  // Applies ARegion; frees it when ADestroyRegion (ownership passes in).
  void SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion = true,
                     bool AConsiderOrigin = true);
  // Viewport origin minus window origin: where logical (0, 0) lies.
  POINT DCOrigin();

  SIZE TextExtent(const std::wstring& Text) override;
  void TextExtent(const std::wstring& Text, RECT& R, int Flags) override;
  using TcxCustomCanvas::TextExtent;
};

// The canvas around a framework canvas (not owned).
class TcxCanvas : public TcxGdiBasedCanvas {
public:
  explicit TcxCanvas(TCanvas* ACanvas);
  ~TcxCanvas() override;

  TCanvas* Canvas() const noexcept { return FCanvas; }
  void SetCanvas(TCanvas* ACanvas) noexcept { FCanvas = ACanvas; }
  // None when the canvas cannot get a device context: drawing then fails
  // quietly instead of raising.
  HDC Handle() override { return FCanvas->TryHandle(); }
  TFont& Font() override { return FCanvas->Font(); }
  TBrush& Brush() override { return FCanvas->Brush(); }
  TPen& Pen() override { return FCanvas->Pen(); }
  void SetFont(const TFont& AFont) { FCanvas->Font().Assign(AFont); }

  void Lock() { FCanvas->Lock(); }
  void Unlock() { FCanvas->Unlock(); }

  void SaveDC();
  void RestoreDC();
  void SaveState() override;
  void RestoreState() override;
  void SaveClipRegion() override;
  void RestoreClipRegion() override;

  void DrawFocusRect(const RECT& R) override;
  void DrawText(const std::wstring& Text, const RECT& R, int Flags, bool Enabled,
                TcxRotationAngle ARotationAngle) override;
  using TcxCustomCanvas::DrawText;
  // Moves R's top so that multi-line text is aligned vertically in R.
  void AlignMultiLineTextRectVertically(RECT& R, const std::wstring& AText,
                                        TcxAlignmentVert AAlignmentVert, bool AWordBreak,
                                        bool AShowPrefix, bool AEnabled = true,
                                        bool ADontBreakChars = false, bool AEndEllipsis = false);

  int SavedDCCount() const noexcept { return static_cast<int>(FSavedDCs.size()); }
  int SavedRegionCount() const noexcept { return static_cast<int>(FSavedRegions.size()); }
  int SavedStateCount() const noexcept { return static_cast<int>(FSavedStates.size()); }

protected:
  bool GetDefaultUseRightToLeftAlignment() override;

private:
  std::vector<TcxDCState> FSavedDCs;
  std::vector<std::unique_ptr<TcxRegion>> FSavedRegions;
  std::vector<TcxCanvasState> FSavedStates;
  TCanvas* FCanvas;
};

// Save/restore pairs closed on every path.
class TcxSaveStateGuard {
public:
  explicit TcxSaveStateGuard(TcxCanvas& ACanvas) : FCanvas(ACanvas) { FCanvas.SaveState(); }
  TcxSaveStateGuard(const TcxSaveStateGuard&) = delete;
  TcxSaveStateGuard& operator=(const TcxSaveStateGuard&) = delete;
  ~TcxSaveStateGuard() { FCanvas.RestoreState(); }

private:
  TcxCanvas& FCanvas;
};

class TcxSaveClipRegionGuard {
public:
  explicit TcxSaveClipRegionGuard(TcxCanvas& ACanvas) : FCanvas(ACanvas) {
    FCanvas.SaveClipRegion();
  }
  TcxSaveClipRegionGuard(const TcxSaveClipRegionGuard&) = delete;
  TcxSaveClipRegionGuard& operator=(const TcxSaveClipRegionGuard&) = delete;
  ~TcxSaveClipRegionGuard() { FCanvas.RestoreClipRegion(); }

private:
  TcxCanvas& FCanvas;
};

class TcxSaveDCGuard {
public:
  explicit TcxSaveDCGuard(TcxCanvas& ACanvas) : FCanvas(ACanvas) { FCanvas.SaveDC(); }
  TcxSaveDCGuard(const TcxSaveDCGuard&) = delete;
  TcxSaveDCGuard& operator=(const TcxSaveDCGuard&) = delete;
  ~TcxSaveDCGuard() { FCanvas.RestoreDC(); }

private:
  TcxCanvas& FCanvas;
};

// ---------------------------------------------------------------- text

// The Windows DrawText flags for canvas text flags.
UINT cxFlagsToDTFlags(int Flags);

// DrawText on a context; ACharCount -1 is the whole text. With no characters
// DrawText gets a count of 0 and no colour is touched. Returns DrawText's height.
int cxDrawText(HDC ADC, const std::wstring& AText, RECT& ARect, UINT AFormat, int ACharCount = -1,
               TColor ATextColor = clDefault, int ABkMode = TRANSPARENT);
// On a framework canvas: DT_RTLREADING follows the canvas's text flags.
int cxDrawText(TCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
               TColor ATextColor = clDefault);
// On a canvas, rotated through a temporary bitmap when an angle is given.
int cxDrawText(TcxCanvas& ACanvas, const std::wstring& AText, RECT& ARect, UINT AFormat,
               TColor ATextColor = clDefault, TcxRotationAngle ARotationAngle = ra0);
bool cxExtTextOut(HDC ADC, const std::wstring& AText, POINT APoint, const RECT& ARect,
                  UINT AOptions, int ACharCount = -1);
bool cxGetTextExtentPoint32(HDC ADC, const std::wstring& AText, SIZE& ASize, int ACharCount = -1);

class TdxTextMeasurer {
public:
  // ARect receives the rectangle the text needs within ARect's width.
  static void TextRectDT(RECT& ARect, const std::wstring& AText, const TFont& AFont, UINT ADTFlags);
};

// ---------------------------------------------------------------- colours

TColor cxGetActualColor(TColor AValue, TColor ADefaultValue);
// A mix of the button face, highlight and window colours in signed percents.
TColor GetLightColor(std::int8_t ABtnFaceColorPart, std::int8_t AHighlightColorPart,
                     std::int8_t AWindowColorPart);
TColor GetLightSelColor();
TColor GetLightDownedSelColor();
TColor dxGetMiddleRGB(TColor AColor1, TColor AColor2, int APercent);
TColor dxGetNearestColor(TColor AColor);

// Solid brushes by colour, at most Capacity of them in a ring: an addition to
// a full cache replaces (and deletes) the oldest brush.
class TdxSolidBrushCache {
public:
  static constexpr int Capacity = 128;

  TdxSolidBrushCache() = default;
  TdxSolidBrushCache(const TdxSolidBrushCache&) = delete;
  TdxSolidBrushCache& operator=(const TdxSolidBrushCache&) = delete;

  HBRUSH Get(TColor AColor);
  void Clear();
  int Count() const noexcept { return FCount; }
  bool Contains(TColor AColor) const noexcept;

private:
  struct TEntry {
    TColor Color = clNone;
    TGdiObject Brush;
  };
  TEntry FEntries[Capacity];
  int FCount = 0;
  int FOldest = 0;
};

// The unit's cache, or none before InitGraphics and after DoneGraphics.
TdxSolidBrushCache* dxSolidBrushCache() noexcept;
// A fill and a frame drawn straight on a context with cached brushes.
void FillRectByColor(HDC DC, const RECT& R, TColor AColor);
void FrameRectByColor(HDC DC, const RECT& R, TColor AColor);

// ---------------------------------------------------------------- bitmaps

class TcxBitmap : public TBitmap {
public:
  TcxBitmap() = default;
  TcxBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat = pfDevice);
  ~TcxBitmap() override;
  static std::unique_ptr<TcxBitmap> CreateSize(const RECT& ARect,
                                               TPixelFormat APixelFormat = pfDevice);

  RECT ClientRect() const noexcept { return {0, 0, Width(), Height()}; }
  // The library canvas on the bitmap's canvas.
  TcxCanvas& cxCanvas();

private:
  std::unique_ptr<TcxCanvas> FcxCanvas;
};

class TcxBitmap32 : public TcxBitmap {
public:
  TcxBitmap32() { TcxBitmap::SetPixelFormat(pf32bit); }
  TcxBitmap32(int AWidth, int AHeight, bool AClear = false);
  static std::unique_ptr<TcxBitmap32> CreateSize(const RECT& ARect, bool AClear = false);

  // Always 32 bits per pixel.
  void SetPixelFormat(TPixelFormat) override {}
  // Every pixel (and its alpha) becomes 0.
  void Clear();
};

void cxBitBlt(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, POINT ASrcTopLeft, DWORD ROP);

// ---------------------------------------------------------------- backgrounds

// Paints the parent's image under ARect (AControl's coordinates); a parent
// already being painted this way is not painted again.
void cxDrawTransparentControlBackground(TWinControl* AControl, TcxCanvas& ACanvas,
                                        const RECT& ARect, bool APaintParentWithChildren = true);
// Runs AProc mirrored about R's vertical centre line when the canvas draws
// right to left.
void cxRightToLeftDependentDraw(TcxCanvas& ACanvas, const RECT& R,
                                const std::function<void()>& AProc);

// Maps each pixel colour ($00BBGGRR) of an image to the colour drawn.
using TdxColorPalette = std::function<COLORREF(COLORREF AColor)>;

// Draws AGlyph, or else image AImageIndex of AImages, fitted into ARect.
void cxDrawImage(TcxCanvas& ACanvas, const RECT& ARect, TBitmap* AGlyph, HIMAGELIST AImages,
                 int AImageIndex, TcxImageFitMode AFitMode = ifmNormal,
                 TcxImageDrawMode ADrawMode = idmNormal,
                 bool AUseLeftBottomPixelAsTransparent = false,
                 const TdxColorPalette* APalette = nullptr,
                 const TdxScaleFactor* AScaleFactor = nullptr, bool ASmoothImage = false);

// Premultiplied 32-bit pixels of an image, 0xAARRGGBB, rows from the top.
struct TcxImagePixels {
  int Width = 0;
  int Height = 0;
  std::vector<DWORD> Pixels;
};

// Image AIndex of AImages as cxDrawImage reads it; false when there is none.
bool cxReadImageListPixels(HIMAGELIST AImages, int AIndex, TcxImagePixels& AImage);
// The image at another size: the nearest pixel, or bilinear when smoothing.
TcxImagePixels cxResampleImage(const TcxImagePixels& AImage, int AWidth, int AHeight, bool ASmooth);
// Where cxDrawImage puts an image of ASize in ABounds by the fit mode.
RECT cxFitImageRect(const RECT& ABounds, SIZE ASize, TcxImageFitMode AFitMode);
// Draws the pixels as cxDrawImage draws an image it has read: colours mapped
// by the palette, the draw mode applied, the size scaled from ASourceDPI by
// the scale factor (the default one when none is given) and fitted into
// ARect, resampled, blended over the canvas, clipped to ARect.
void cxDrawImagePixels(TcxCanvas& ACanvas, const RECT& ARect, TcxImagePixels AImage,
                       TcxImageFitMode AFitMode, TcxImageDrawMode ADrawMode,
                       const TdxColorPalette* APalette, const TdxScaleFactor* AScaleFactor,
                       bool ASmoothImage, int ASourceDPI = 96);
// The image size cxDrawImage scales from ASourceDPI by the factor (the
// default one when none is given).
SIZE cxScaleImageSize(SIZE ASize, const TdxScaleFactor* AScaleFactor, int ASourceDPI = 96);

// ---------------------------------------------------------------- unit

// Start-up and shut-down of the canvas unit (brush cache and the text
// measurer's context). The system colour notification empties the brush
// cache on a colour change (its unit cxGraphicsPalette subscribes it).
void InitGraphics();
void DoneGraphics();

} // namespace telvora
