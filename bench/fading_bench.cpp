// Fading speed: one frame of a fade (the blend of the two images into the
// frame that is drawn, as the fader's clock tick makes it) and one fade start,
// each against memcpy of the same number of bytes (one image), in paired
// rounds. Sizes: a main-window button (75 x 25) and 800 x 600; images fully
// opaque and images with transparent pixels (as a themed button's, whose
// corners and edges are partly transparent).
//   fading-bench [ROUNDS]

#include "bench/BenchTiming.h"
#include "app/ProgramUnits.h"
#include "ui/support/dxFading.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace telvora;
using namespace telvora::bench;

namespace {

// Frames of one bench fade: one frame per clock tick.
constexpr int kFrames = dxFadeMaxAnimationFrameCount;

// The pixels of one look: a pattern that differs between the two looks and,
// when asked, a border like a themed button's: transparent corners, a partly
// transparent outer ring.
std::vector<RGBQUAD> Look(int AWidth, int AHeight, bool AHot, bool ATransparent) {
  std::vector<RGBQUAD> pixels(static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight));
  for (int y = 0; y < AHeight; ++y)
    for (int x = 0; x < AWidth; ++x) {
      RGBQUAD& p =
          pixels[static_cast<size_t>(y) * static_cast<size_t>(AWidth) + static_cast<size_t>(x)];
      const int shift = AHot ? 40 : 0;
      p = {static_cast<BYTE>(200 + (x + shift) % 50), static_cast<BYTE>(150 + (y * 3) % 90),
           static_cast<BYTE>((x * 7 + y + shift) & 0xFF), 255};
      if (!ATransparent)
        continue;
      const int edge = std::min({x, y, AWidth - 1 - x, AHeight - 1 - y});
      const bool corner = (x < 2 || x > AWidth - 3) && (y < 2 || y > AHeight - 3);
      if (corner)
        p = {0, 0, 0, 0};
      else if (edge == 0)
        p.rgbReserved = 96;
    }
  return pixels;
}

// A fading object whose fades out take kFrames frames of one tick each.
class TBenchObject : public TObject, public IdxFadingObject, public IdxFadingObjectFadingOptions {
public:
  TBenchObject(int AWidth, int AHeight, bool ATransparent)
      : FWidth(AWidth), FHeight(AHeight), FNormal(Look(AWidth, AHeight, false, ATransparent)),
        FHot(Look(AWidth, AHeight, true, ATransparent)) {
    FOptions.SetFadeOutFrameCount(kFrames);
    FOptions.SetFadeOutFrameDelay(dxFadeTimerInterval);
  }
  ~TBenchObject() override {
    if (TdxFader* fader = dxFaderInstance())
      fader->Remove(this, true);
  }

  bool CanFade() override { return true; }
  void DrawFadeImage() override { ++Frames; }
  void GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                       std::unique_ptr<TcxBitmap32>& AFadeInImage) override {
    AFadeOutImage = Image(FNormal);
    AFadeInImage = Image(FHot);
  }
  TdxFadingOptions* GetFadingOptions() override { return &FOptions; }

  int Frames = 0;

private:
  std::unique_ptr<TcxBitmap32> Image(const std::vector<RGBQUAD>& APixels) const {
    auto bitmap = std::make_unique<TcxBitmap32>(FWidth, FHeight);
    if (BYTE* bits = bitmap->Bits())
      std::memcpy(bits, APixels.data(), APixels.size() * sizeof(RGBQUAD));
    return bitmap;
  }

  int FWidth, FHeight;
  std::vector<RGBQUAD> FNormal, FHot;
  TdxFadingOptions FOptions;
};

// memcpy of one image's bytes, ATimes times.
struct TCopy {
  explicit TCopy(size_t ABytes) : From(ABytes, 0x5A), To(ABytes) {}
  void Run(int ATimes) {
    for (int i = 0; i < ATimes; ++i) {
      From[static_cast<size_t>(i) % From.size()] = static_cast<char>(i);
      std::memcpy(To.data(), From.data(), From.size());
    }
    Sink = Sink + To[To.size() / 2];
  }
  std::vector<char> From, To;
  volatile int Sink = 0;
};

const char* RoutineName(TdxFadingPixelRoutine ARoutine) {
  switch (ARoutine) {
  case fprSSE2:
    return "SSE2";
  case fprAVX2:
    return "AVX2";
  default:
    return "plain";
  }
}

void Measure(int ARounds, int AWidth, int AHeight, bool ATransparent, bool AStarts) {
  TdxFader& fader = *dxFader();
  TBenchObject object(AWidth, AHeight, ATransparent);
  TCopy copy(static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight) * sizeof(RGBQUAD));
  const std::string what = std::to_string(AWidth) + "x" + std::to_string(AHeight) +
                           (ATransparent ? " transparent px " : " opaque ") +
                           RoutineName(TdxFadingHelper::PixelRoutine());

  // Frames: a few ticks at a time; the fade starts again (untimed) before
  // it would end.
  constexpr int kTicks = 4;
  auto restartIfDone = [&] {
    TdxFadingElement* element = fader.Find(&object);
    if (element == nullptr || element->Stage() + kTicks > element->AnimationFrameCount()) {
      fader.Remove(&object, true);
      fader.FadeOut(&object);
    }
  };
  auto ticks = [&] {
    for (int i = 0; i < kTicks; ++i)
      fader.DoTimer(nullptr);
  };
  restartIfDone();
  const int before = object.Frames;
  ticks();
  if (object.Frames - before != kTicks || fader.Find(&object) == nullptr ||
      fader.Find(&object)->WorkImage() == nullptr) {
    std::printf("%s: the fade made no frames; nothing measured\n", what.c_str());
    return;
  }
  const double target = 20000; // microseconds per side and round
  TSide frame{restartIfDone, ticks, kTicks, RepeatsFor(restartIfDone, ticks, target)};
  auto copyFrames = [&] { copy.Run(kTicks); };
  TSide copyFrame{nullptr, copyFrames, kTicks, RepeatsFor(nullptr, copyFrames, target)};
  PrintRow("fade frame " + what, PairedRounds(ARounds, frame, copyFrame), "memcpy of the frame");
  if (!AStarts) {
    fader.Remove(&object, true);
    return;
  }

  auto dropFade = [&] { fader.Remove(&object, true); };
  auto start = [&] { fader.FadeOut(&object); };
  TSide fadeStart{dropFade, start, 1, RepeatsFor(dropFade, start, target)};
  auto copyOnce = [&] { copy.Run(1); };
  TSide copyImage{nullptr, copyOnce, 1, RepeatsFor(nullptr, copyOnce, target)};
  PrintRow("fade start " + what, PairedRounds(ARounds, fadeStart, copyImage),
           "memcpy of the frame");
  fader.Remove(&object, true);
}

} // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  StartProgramUnits();
  {
    dxFader()->SetState(fasEnabled);
    std::printf("Fading: %d paired rounds of about 20 ms a side\n", rounds);
    PrintHeader("anchor");
    // The routine the fader chose first, fade starts too; then every other
    // routine this processor runs.
    const TdxFadingPixelRoutine chosen = TdxFadingHelper::PixelRoutine();
    for (SIZE size : {SIZE{75, 25}, SIZE{800, 600}})
      for (bool transparent : {false, true})
        Measure(rounds, size.cx, size.cy, transparent, true);
    for (TdxFadingPixelRoutine routine : {fprAVX2, fprSSE2, fprPlain}) {
      if (routine == chosen || !TdxFadingHelper::SetPixelRoutine(routine))
        continue;
      for (SIZE size : {SIZE{75, 25}, SIZE{800, 600}})
        for (bool transparent : {false, true})
          Measure(rounds, size.cx, size.cy, transparent, false);
    }
    TdxFadingHelper::SetPixelRoutine(chosen);
    dxFader()->SetState(fasDefault);
  }
  StopProgramUnits();
  return 0;
}
