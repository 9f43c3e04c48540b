#pragma once
// The canvas unit's subscriber to the system colour notification, a unit of
// its own in the library's start-up order.

namespace telvora {

// The canvas unit's subscriber: a primary notifier that empties the canvas
// unit's solid-brush cache on each system colour change. Started right after
// the canvas unit, shut down right before it.
void InitGraphicsPaletteUnit();
void DoneGraphicsPaletteUnit();

} // namespace telvora
