#pragma once
// Helpers of the canvas and drawing tests: pixels of 32-bit bitmaps read as
// colours, a bitmap filled with a colour and its library canvas, and a form
// with a child control for the tests that paint from a parent.

#include "platform/Forms.h"
#include "ui/support/cxGraphics.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace telvora::graphics_tests {

// A pixel as a TColor ($00BBGGRR).
inline TColor Px(TBitmap& bitmap, int x, int y) {
  DWORD p = bitmap.Pixel32(x, y);
  return static_cast<TColor>(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
}

inline TColor Sys(int index) {
  return static_cast<TColor>(GetSysColor(index));
}

// Number of pixels of the bitmap that differ from `background`.
inline int CountInk(TBitmap& bitmap, TColor background, RECT area = {-1, -1, -1, -1}) {
  if (area.left < 0)
    area = {0, 0, bitmap.Width(), bitmap.Height()};
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (Px(bitmap, x, y) != background)
        ++count;
  return count;
}

inline bool SamePixels(TBitmap& a, TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (Px(a, x, y) != Px(b, x, y))
        return false;
  return true;
}

// A bitmap filled with a colour, with a canvas whose font is the default one.
struct TSurface {
  TSurface(int w, int h, TColor background) : Bitmap(w, h) {
    Bitmap.cxCanvas().FillRect({0, 0, w, h}, background);
  }
  TcxCanvas& Canvas() { return Bitmap.cxCanvas(); }
  TcxBitmap32 Bitmap;
};

// A form that counts the erasures of its background.
class TTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TTestGraphicsForm"; }
  int EraseCount = 0;
  std::function<void()> OnErase;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_ERASEBKGND) {
      ++EraseCount;
      if (OnErase)
        OnErase();
    }
    TCustomForm::WndProc(message);
  }
};

// A control with a window of its own.
class TTestChild : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::wstring ClassName() const override { return L"TTestGraphicsChild"; }
};

// A red form with a child control, both with their windows.
struct TParentFixture {
  TParentFixture() {
    Form = std::make_unique<TTestForm>(nullptr);
    Form->SetColor(clRed);
    Form->SetClientSize(200, 150);
    Child = new TTestChild(Form.get());
    Child->SetParent(Form.get());
    Child->SetBounds(30, 20, 40, 20);
    Form->HandleNeeded();
    Child->HandleNeeded();
  }
  std::unique_ptr<TTestForm> Form;
  TTestChild* Child;
};

} // namespace telvora::graphics_tests
