#pragma once
// Helpers of the painter tests: a 32-bit bitmap with its canvas, the frame
// rules as data (rings of 1-pixel lines and a face) turned into the image
// they must produce, and distinct system colours for the duration of a test
// program so that no two frame colours can be confused.

#include "ui/lookandfeel/cxLookAndFeelPainters.h"
#include "ui/support/cxGraphics.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace telvora::painter_tests {

// The colour a pixel of a 32-bit bitmap shows, as a COLORREF.
inline COLORREF PixelRGB(TBitmap& ABitmap, int x, int y) {
  GdiFlush();
  const DWORD p = ABitmap.Pixel32(x, y);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// A bitmap filled with a colour no painter uses.
constexpr COLORREF kBackground = RGB(1, 254, 3);

struct TBitmapFixture {
  explicit TBitmapFixture(int AWidth = 75, int AHeight = 25) : Bitmap(AWidth, AHeight) { Clear(); }
  void Clear(COLORREF AColor = kBackground) {
    Canvas().FillRect(Bitmap.ClientRect(), static_cast<TColor>(AColor));
  }
  TcxCanvas& Canvas() { return Bitmap.cxCanvas(); }
  RECT Bounds() const { return Bitmap.ClientRect(); }
  std::vector<COLORREF> Pixels() {
    GdiFlush();
    std::vector<COLORREF> result;
    for (int y = 0; y < Bitmap.Height(); ++y)
      for (int x = 0; x < Bitmap.Width(); ++x)
        result.push_back(PixelRGB(Bitmap, x, y));
    return result;
  }
  TcxBitmap32 Bitmap;
};

// One rectangle of 1-pixel lines: left and top in the first colour, then
// right and bottom in the second (which so owns two corners).
struct TRing {
  int Inset;
  TColor LeftTop;
  TColor RightBottom;
};

struct TFrameRule {
  std::vector<TRing> Rings;
  int FaceInset;
  TColor Face;
};

inline std::vector<COLORREF> ExpectedImage(int AWidth, int AHeight, const TFrameRule& ARule) {
  std::vector<COLORREF> image(static_cast<size_t>(AWidth * AHeight), kBackground);
  auto set = [&](int x, int y, TColor c) {
    image[static_cast<size_t>(y * AWidth + x)] = ColorToRGB(c);
  };
  for (const TRing& ring : ARule.Rings) {
    const int l = ring.Inset, t = ring.Inset, r = AWidth - 1 - ring.Inset,
              b = AHeight - 1 - ring.Inset;
    for (int y = t; y <= b; ++y)
      set(l, y, ring.LeftTop);
    for (int x = l; x <= r; ++x)
      set(x, t, ring.LeftTop);
    for (int y = t; y <= b; ++y)
      set(r, y, ring.RightBottom);
    for (int x = l; x <= r; ++x)
      set(x, b, ring.RightBottom);
  }
  if (ARule.Face != clNone)
    for (int y = ARule.FaceInset; y < AHeight - ARule.FaceInset; ++y)
      for (int x = ARule.FaceInset; x < AWidth - ARule.FaceInset; ++x)
        set(x, y, ARule.Face);
  return image;
}

// Every pixel that differs, described for the failure message (at most 8).
inline ::testing::AssertionResult SameImage(const std::vector<COLORREF>& AActual,
                                            const std::vector<COLORREF>& AExpected, int AWidth) {
  if (AActual.size() != AExpected.size())
    return ::testing::AssertionFailure() << "image sizes differ";
  std::ostringstream out;
  int count = 0;
  for (size_t i = 0; i < AActual.size(); ++i)
    if (AActual[i] != AExpected[i]) {
      if (++count <= 8)
        out << " (" << i % AWidth << "," << i / AWidth << "): 0x" << std::hex << AActual[i]
            << " instead of 0x" << AExpected[i] << std::dec << ";";
    }
  if (count == 0)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << count << " pixels differ:" << out.str();
}

// Gives the frame colours distinct values while alive and puts the old
// ones back. Each change is broadcast by the system.
class TDistinctSysColors {
public:
  TDistinctSysColors() {
    const std::pair<int, COLORREF> colors[] = {
        {COLOR_BTNFACE, RGB(200, 201, 202)},      {COLOR_BTNSHADOW, RGB(120, 121, 122)},
        {COLOR_BTNHIGHLIGHT, RGB(250, 251, 252)}, {COLOR_3DDKSHADOW, RGB(40, 41, 42)},
        {COLOR_3DLIGHT, RGB(225, 226, 227)},      {COLOR_BTNTEXT, RGB(10, 11, 12)},
        {COLOR_HIGHLIGHT, RGB(20, 90, 200)},      {COLOR_HIGHLIGHTTEXT, RGB(255, 250, 240)},
        {COLOR_WINDOWFRAME, RGB(60, 30, 10)},     {COLOR_GRAYTEXT, RGB(140, 140, 150)},
        {COLOR_WINDOW, RGB(255, 255, 255)},
    };
    for (auto [index, color] : colors) {
      FIndexes.push_back(index);
      FOld.push_back(GetSysColor(index));
      FNew.push_back(color);
    }
    SetSysColors(static_cast<int>(FIndexes.size()), FIndexes.data(), FNew.data());
  }
  TDistinctSysColors(const TDistinctSysColors&) = delete;
  TDistinctSysColors& operator=(const TDistinctSysColors&) = delete;
  ~TDistinctSysColors() {
    SetSysColors(static_cast<int>(FIndexes.size()), FIndexes.data(), FOld.data());
  }

private:
  std::vector<INT> FIndexes;
  std::vector<COLORREF> FOld;
  std::vector<COLORREF> FNew;
};

// Frame rules of the standard 3-D frames, shared by the standard painter
// and the native painter's fallback.
inline TFrameRule StandardRule(TcxButtonState AState, int ADefaultFaceInset = 3,
                               TColor AFace = clBtnFace) {
  switch (AState) {
  case cxbsPressed:
    return {{{0, clBlack, clBlack}, {1, clBtnShadow, clBtnShadow}}, 2, AFace};
  case cxbsDefault:
    return {{{0, clBlack, clBlack}, {1, clBtnHighlight, cl3DDkShadow}, {2, cl3DLight, clBtnShadow}},
            ADefaultFaceInset,
            AFace};
  default:
    return {{{0, clBtnHighlight, cl3DDkShadow}, {1, cl3DLight, clBtnShadow}}, 2, AFace};
  }
}

inline const char* StateName(TcxButtonState AState) {
  static const char* const names[] = {"Default", "Normal", "Hot", "Pressed", "Disabled"};
  return names[AState];
}

constexpr TcxButtonState kAllStates[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed,
                                         cxbsDisabled};

} // namespace telvora::painter_tests
