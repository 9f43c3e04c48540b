#pragma once
// The pixel routines that compute fade frames: two images blended byte by
// byte at a weight, and pixels premultiplied by their alpha; plain, SSE2 and
// AVX2 routines of each, chosen at run time.

#include <windows.h>

#include <cstddef>

namespace telvora {

// The routines that compute fade frames. All give the same bytes; the fader
// uses the fastest one this processor and build can run. The SSE2 and AVX2
// routines exist only in builds whose compiler can target them function by
// function (the plain one is everywhere).
enum TdxFadingPixelRoutine { fprPlain, fprSSE2, fprAVX2 };

// One stage of a fade, byte by byte (blue, green, red and alpha alike): the
// integer nearest to (byte1 * (255 - AAlpha) + byte2 * AAlpha) / 255, AAlpha
// from 0 to 255, into AStraight. With APremultiplied the same pixels go there
// premultiplied as well. ACount pixels each; either output may be none; the
// outputs overlap neither input nor each other.
void dxBlendFadingPixels(const RGBQUAD* AImage1, const RGBQUAD* AImage2, size_t ACount, int AAlpha,
                         RGBQUAD* AStraight, RGBQUAD* APremultiplied) noexcept;
// Each colour byte times its pixel's alpha / 255, rounded to nearest; the
// alpha stays. ATarget does not overlap ASource.
void dxPremultiplyFadingPixels(const RGBQUAD* ASource, size_t ACount, RGBQUAD* ATarget) noexcept;

bool dxIsFadingPixelRoutineAvailable(TdxFadingPixelRoutine ARoutine) noexcept;
// The routine in use: the fastest available one unless another was set.
TdxFadingPixelRoutine dxFadingPixelRoutine() noexcept;
// Uses ARoutine from now on; false, and no change, when it is not available.
bool dxSetFadingPixelRoutine(TdxFadingPixelRoutine ARoutine) noexcept;

} // namespace telvora
