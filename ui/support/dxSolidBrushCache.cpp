#include "ui/support/dxSolidBrushCache.h"

#include <memory>
#include <utility>

namespace telvora {

namespace {

// The unit's cache: none before InitSolidBrushCache and after
// DoneSolidBrushCache.
std::unique_ptr<TdxSolidBrushCache>& UnitBrushCache() {
  static std::unique_ptr<TdxSolidBrushCache> cache;
  return cache;
}

} // namespace

HBRUSH TdxSolidBrushCache::Get(TColor AColor) {
  int count = FCount;
  for (int i = 0; i < count; ++i)
    if (FEntries[i].Color == AColor)
      return static_cast<HBRUSH>(FEntries[i].Brush.Get());
  TGdiObject brush(CreateSolidBrush(ColorToRGB(AColor)));
  if (!brush)
    return nullptr;
  int slot;
  if (FCount < Capacity) {
    slot = FCount++;
  } else {
    slot = FOldest;
    FOldest = (FOldest + 1) % Capacity;
  }
  FEntries[slot].Color = AColor;
  FEntries[slot].Brush = std::move(brush); // the replaced brush is deleted here
  return static_cast<HBRUSH>(FEntries[slot].Brush.Get());
}

void TdxSolidBrushCache::Clear() {
  for (TEntry& entry : FEntries) {
    entry.Brush.Reset();
    entry.Color = clNone;
  }
  FCount = 0;
  FOldest = 0;
}

bool TdxSolidBrushCache::Contains(TColor AColor) const noexcept {
  for (int i = 0; i < FCount; ++i)
    if (FEntries[i].Color == AColor)
      return true;
  return false;
}

TdxSolidBrushCache* dxSolidBrushCache() noexcept {
  return UnitBrushCache().get();
}

namespace {
// A brush of the colour from the cache, or one for this call only.
class TColorBrush {
public:
  explicit TColorBrush(TColor color) {
    TdxSolidBrushCache* cache = dxSolidBrushCache();
    if (cache != nullptr) {
      FBrush = cache->Get(color);
    } else {
      FOwned.Reset(CreateSolidBrush(ColorToRGB(color)));
      FBrush = static_cast<HBRUSH>(FOwned.Get());
    }
  }
  HBRUSH Get() const noexcept { return FBrush; }

private:
  HBRUSH FBrush = nullptr;
  TGdiObject FOwned;
};
} // namespace

void FillRectByColor(HDC DC, const RECT& R, TColor AColor) {
  if (AColor == clNone || AColor == clDefault)
    return;
  TColorBrush brush(AColor);
  if (brush.Get() != nullptr)
    ::FillRect(DC, &R, brush.Get());
}

void FrameRectByColor(HDC DC, const RECT& R, TColor AColor) {
  if (AColor == clNone || AColor == clDefault)
    return;
  TColorBrush brush(AColor);
  if (brush.Get() != nullptr)
    ::FrameRect(DC, &R, brush.Get());
}

void InitSolidBrushCache() {
  UnitBrushCache() = std::make_unique<TdxSolidBrushCache>();
}

void DoneSolidBrushCache() {
  UnitBrushCache().reset();
}

} // namespace telvora
