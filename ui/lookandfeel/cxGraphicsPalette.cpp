#include "ui/lookandfeel/cxGraphicsPalette.h"

#include "ui/lookandfeel/cxSystemPalette.h"
#include "ui/support/dxSolidBrushCache.h"

#include <memory>

namespace telvora {

namespace {
std::unique_ptr<TcxSystemPaletteChangedNotifier> FGraphicsPaletteNotifier;
} // namespace

void InitGraphicsPaletteUnit() {
  FGraphicsPaletteNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>(true);
  FGraphicsPaletteNotifier->OnSystemPaletteChanged = [] {
    if (TdxSolidBrushCache* cache = dxSolidBrushCache())
      cache->Clear();
  };
}

void DoneGraphicsPaletteUnit() {
  FGraphicsPaletteNotifier.reset();
}

} // namespace telvora
