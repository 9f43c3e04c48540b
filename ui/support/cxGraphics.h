#pragma once
// The canvas the painters draw on and the drawing functions around it:
// colour-aware fills and frames, clipping with a stack of saved regions, a
// stack of saved drawing states, text measuring and drawing with the
// library's own text flags, colour helpers, off-screen bitmaps, parent
// backgrounds, right-to-left mirroring and images. Each has a header of its
// own; this one brings them all together with the canvas unit's start-up and
// shut-down.

#include "platform/Canvas.h"
#include "platform/Controls.h"
#include "ui/support/cxBitmap.h"
#include "ui/support/cxCanvas.h"
#include "ui/support/cxColors.h"
#include "ui/support/cxGraphicsTypes.h"
#include "ui/support/cxImageDrawing.h"
#include "ui/support/cxParentBackground.h"
#include "ui/support/cxRegion.h"
#include "ui/support/cxRightToLeftDraw.h"
#include "ui/support/cxTextDrawing.h"
#include "ui/support/dxSolidBrushCache.h"
#include "ui/support/dxTextMeasurer.h"

namespace telvora {

// Start-up and shut-down of the canvas unit (brush cache and the text
// measurer's context). The system colour notification empties the brush
// cache on a colour change (its unit cxGraphicsPalette subscribes it).
void InitGraphics();
void DoneGraphics();

} // namespace telvora
