#pragma once
// The desktop helpers measure and click in physical pixels: a program that
// uses any of them runs per-monitor DPI aware from before main, so that all
// sizes and positions are physical pixels whatever the DPI of the program it
// drives. The awareness is set where gPhysicalPixels is defined; every file
// of the helpers takes its address in a variable of its own, so that a
// program linked with any of them is linked with that definition too.

namespace telvora::testing {

// Whether the awareness could be set.
extern const bool gPhysicalPixels;

} // namespace telvora::testing
