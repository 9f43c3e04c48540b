#pragma once
// The canvas the painters draw on: colour-aware fills and frames, clipping
// with a stack of saved regions, a stack of saved drawing states, text
// measuring and drawing with the library's own text flags, and the guards
// that close each save on every path.

#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "ui/support/cxGraphicsTypes.h"
#include "ui/support/cxRegion.h"
#include "ui/support/cxTextDrawing.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace telvora {

// The largest clip rectangle reported for a context without clipping.
constexpr int cxMaxRegionSize = 30000;

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

} // namespace telvora
