#pragma once
// While it lives, every fade-in that starts is the longest there is, so that
// a fade just started is still running when a test looks at it, however
// slowly the process runs (32-bit code under an emulator takes long enough
// over one pump of the queue for a default fade-in to have ended).

#include "ui/support/dxFading.h"

#include <utility>

namespace telvora::testing {

class TLongestFadeIn {
public:
  TLongestFadeIn()
      : FFrameCount(
            std::exchange(dxFadeInDefaultAnimationFrameCount, dxFadeMaxAnimationFrameCount)),
        FFrameDelay(
            std::exchange(dxFadeInDefaultAnimationFrameDelay, dxFadeMaxAnimationFrameDelay)) {}
  ~TLongestFadeIn() {
    dxFadeInDefaultAnimationFrameCount = FFrameCount;
    dxFadeInDefaultAnimationFrameDelay = FFrameDelay;
  }
  TLongestFadeIn(const TLongestFadeIn&) = delete;
  TLongestFadeIn& operator=(const TLongestFadeIn&) = delete;

private:
  int FFrameCount;
  int FFrameDelay;
};

} // namespace telvora::testing
