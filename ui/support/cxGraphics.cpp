#include "ui/support/cxGraphics.h"

namespace telvora {

// The pieces of the unit that hold state start in this order and shut down
// in the reverse one.

void InitGraphics() {
  InitTextMeasurer();
  InitSolidBrushCache();
}

void DoneGraphics() {
  DoneSolidBrushCache();
  DoneTextMeasurer();
}

} // namespace telvora
