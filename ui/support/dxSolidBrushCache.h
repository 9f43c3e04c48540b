#pragma once
// Solid brushes kept by colour, the canvas unit's cache of them, and fills
// and frames drawn with them straight on a device context.

#include "platform/Graphics.h"
#include "platform/Handles.h"

#include <windows.h>

namespace telvora {

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

// Start-up and shut-down of the unit's cache (InitGraphics and DoneGraphics
// call them).
void InitSolidBrushCache();
void DoneSolidBrushCache();

} // namespace telvora
