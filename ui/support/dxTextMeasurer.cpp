#include "ui/support/dxTextMeasurer.h"

#include "platform/Canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace telvora {

namespace {

// A text measured by TdxTextMeasurer: what it was asked with and the
// rectangle it got, relative to the rectangle asked with.
struct TMeasuredText {
  std::wstring Text;
  LOGFONTW Font;
  UINT Flags;
  SIZE Asked;
  RECT Answer;
};

// What the measurer keeps between measurements.
struct TTextMeasurerState {
  // The context text is measured on; it keeps no font between
  // measurements (a font held here would outlive every control using it).
  TMemoryDC MeasureDC;
  // The latest measurements, the newest first: a control measures the same
  // captions at every paint.
  std::vector<TMeasuredText> Measured;
  bool Finalized = false;
};

constexpr size_t kMeasuredTextCount = 16;

TTextMeasurerState& MeasurerState() {
  static TTextMeasurerState state;
  return state;
}

} // namespace

void TdxTextMeasurer::TextRectDT(RECT& ARect, const std::wstring& AText, const TFont& AFont,
                                 UINT ADTFlags) {
  ADTFlags &= ~static_cast<UINT>(DT_MODIFYSTRING);
  TTextMeasurerState& state = MeasurerState();
  if (!state.Finalized) {
    if (!state.MeasureDC) {
      state.MeasureDC.Reset(CreateCompatibleDC(nullptr));
      if (!state.MeasureDC)
        return;
    }
    const LOGFONTW font = FontToLogFont(AFont);
    const SIZE asked{RectWidth(ARect), RectHeight(ARect)};
    auto& measured = state.Measured;
    for (auto it = measured.begin(); it != measured.end(); ++it)
      if (it->Flags == ADTFlags && it->Asked.cx == asked.cx && it->Asked.cy == asked.cy &&
          it->Text == AText && std::memcmp(&it->Font, &font, sizeof(font)) == 0) {
        const RECT answer = it->Answer;
        std::rotate(measured.begin(), it, it + 1);
        ARect = RECT{ARect.left + answer.left, ARect.top + answer.top, ARect.left + answer.right,
                     ARect.top + answer.bottom};
        return;
      }
    const RECT askedAt = ARect;
    {
      // The font that the controls drawing with it hold already.
      const TSharedGdiObject object = TSharedGdiObject::Font(font);
      const HDC dc = state.MeasureDC.Get();
      TSelectObject select(dc, object ? object.Get() : GetStockObject(DEFAULT_GUI_FONT));
      ::DrawTextW(dc, AText.c_str(), static_cast<int>(AText.size()), &ARect,
                  ADTFlags | DT_CALCRECT);
    }
    if (measured.size() >= kMeasuredTextCount)
      measured.pop_back();
    measured.insert(measured.begin(),
                    TMeasuredText{AText, font, ADTFlags, asked,
                                  RECT{ARect.left - askedAt.left, ARect.top - askedAt.top,
                                       ARect.right - askedAt.left, ARect.bottom - askedAt.top}});
    return;
  }
  // After the measurer has shut down: a context for this call only.
  TBitmap scratch;
  TCanvas& canvas = scratch.Canvas();
  canvas.Font().Assign(AFont);
  ::DrawTextW(canvas.TryHandle(), AText.c_str(), static_cast<int>(AText.size()), &ARect,
              ADTFlags | DT_CALCRECT);
}

void InitTextMeasurer() {
  MeasurerState().Finalized = false;
}

void DoneTextMeasurer() {
  TTextMeasurerState& state = MeasurerState();
  state.Finalized = true;
  state.MeasureDC.Reset();
  state.Measured.clear();
}

} // namespace telvora
