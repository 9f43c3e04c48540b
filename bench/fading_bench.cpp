// Fading speed: the cost of one frame of a button-sized (75 x 25) fade: the
// blend of the two images into a new image, and drawing that image onto the
// button's bitmap.
//   fading-bench [CALLS_PER_BATCH]

#include "bench/BenchTiming.h"
#include "app/ProgramUnits.h"
#include "ui/support/dxFading.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

using namespace telvora;

using bench::PerCall;

namespace {

constexpr int kWidth = 75, kHeight = 25;

std::unique_ptr<TcxBitmap32> Image(BYTE AShade) {
  auto bitmap = std::make_unique<TcxBitmap32>(kWidth, kHeight);
  std::memset(bitmap->Bits(), AShade, static_cast<size_t>(kWidth) * kHeight * 4);
  return bitmap;
}

class TBenchObject : public TObject, public IdxFadingObject {
public:
  bool CanFade() override { return true; }
  void DrawFadeImage() override {}
  void GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                       std::unique_ptr<TcxBitmap32>& AFadeInImage) override {
    AFadeOutImage = Image(0xE0);
    AFadeInImage = Image(0x40);
  }
};

} // namespace

int main(int argc, char** argv) {
  int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  StartProgramUnits();
  {
    TdxFader& fader = *dxFader();
    fader.SetState(fasEnabled);
    TBenchObject object;
    // A fade out advances every second tick: two ticks make one new frame.
    // The fade restarts at its last stage (one start in twelve frames is in
    // the figure) so that every tick pair measured blends.
    fader.FadeOut(&object);
    double frame = PerCall(calls, [&] {
      if (fader.Find(&object)->Stage() >= fader.Find(&object)->AnimationFrameCount())
        fader.FadeOut(&object);
      fader.DoTimer(nullptr);
      fader.DoTimer(nullptr);
    });
    double start = PerCall(calls, [&] { fader.FadeOut(&object); });

    TcxBitmap32 target(kWidth, kHeight);
    HDC dc = target.Canvas().Handle();
    const RECT bounds{0, 0, kWidth, kHeight};
    double draw = PerCall(calls * 10, [&] { fader.DrawFadeImage(&object, dc, bounds); });
    fader.Remove(&object, true);

    std::printf("Fade frame %dx%d (blend and new image): %.2f us/frame\n", kWidth, kHeight, frame);
    std::printf("Fade start or reversal (images, copy, first frame): %.2f us/call\n", start);
    std::printf("Drawing the frame onto the button's bitmap: %.2f us/call\n", draw);
    std::printf("(%d calls per batch, median of 9 batches)\n", calls);
  }
  StopProgramUnits();
  return 0;
}
