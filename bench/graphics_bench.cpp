// Canvas speed: one button-sized paint sequence (fill, two complex frames, a
// single-line centred caption) into a 75 x 25 memory bitmap, and the caption
// alone by the ExtTextOut route against the DrawText route.
//   graphics-bench [CALLS_PER_BATCH]

#include "bench/BenchTiming.h"
#include "app/ProgramUnits.h"
#include "ui/support/cxGraphics.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace telvora;

using bench::PerCall;

namespace {

constexpr RECT kButton{0, 0, 75, 25};
const std::wstring kCaption = L"GUID Oku";

void PaintSequence(TcxCanvas& canvas) {
  canvas.FillRect(kButton, clBtnFace);
  canvas.DrawComplexFrame(kButton, clBtnHighlight, cl3DDkShadow, cxBordersAll, 1);
  RECT inner = kButton;
  InflateRect(&inner, -1, -1);
  canvas.DrawComplexFrame(inner, cl3DLight, clBtnShadow, cxBordersAll, 1);
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(clBtnText);
  canvas.DrawText(kCaption, kButton, cxSingleLine | cxAlignHCenter | cxAlignVCenter, true);
}

} // namespace

int main(int argc, char** argv) {
  int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
  StartProgramUnits();
  {
    // The button paints into a bitmap compatible with the screen.
    TcxBitmap bitmap(75, 25);
    TcxCanvas& canvas = bitmap.cxCanvas();
    PaintSequence(canvas); // first-use costs out of the figures

    double sequence = PerCall(calls, [&] { PaintSequence(canvas); });

    canvas.FillRect(kButton, clBtnFace);
    canvas.Brush().SetStyle(bsClear);
    const int single = cxSingleLine | cxAlignHCenter | cxAlignVCenter;
    // No "&" in the caption: with cxShowPrefix the DrawText route draws the
    // same pixels.
    double extTextOut = PerCall(calls, [&] { canvas.DrawText(kCaption, kButton, single, true); });
    double drawText =
        PerCall(calls, [&] { canvas.DrawText(kCaption, kButton, single | cxShowPrefix, true); });

    std::printf("Paint sequence 75x25 (fill, 2 complex frames, centred caption): %.2f us/call\n",
                sequence);
    std::printf("Caption by the ExtTextOut route: %.2f us/call\n", extTextOut);
    std::printf("Caption by the DrawText route:   %.2f us/call (%.2fx the ExtTextOut route)\n",
                drawText, extTextOut > 0 ? drawText / extTextOut : 0.0);
    std::printf("(%d calls per batch, median of 9 batches)\n", calls);
  }
  StopProgramUnits();
  return 0;
}
