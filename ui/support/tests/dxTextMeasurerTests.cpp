// The text measurer: measures with the font given, and answers a repeated
// question as DrawText does.

#include "ui/support/dxTextMeasurer.h"

#include "platform/Canvas.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(cxText, TextRectDTMeasuresWithTheFontGiven) {
  TFont big;
  big.SetHeight(-40);
  TFont small;
  small.SetHeight(-10);
  RECT a{0, 0, 500, 0}, b{0, 0, 500, 0};
  TdxTextMeasurer::TextRectDT(a, L"Measure", big, DT_SINGLELINE);
  TdxTextMeasurer::TextRectDT(b, L"Measure", small, DT_SINGLELINE);
  EXPECT_GT(a.right, b.right);
  EXPECT_GT(a.bottom, b.bottom);
  // Word breaking within the width given.
  RECT narrow{0, 0, 40, 0};
  TdxTextMeasurer::TextRectDT(narrow, L"one two three four", small, DT_WORDBREAK);
  EXPECT_GT(narrow.bottom, b.bottom);
}

// Measured again and again, in turns, the answers stay those of DrawText for
// the same font, width, flags and place: a repeat must not answer for
// another font, width, flag or text that was measured in between.
TEST(cxText, TextRectDTRepeatedAnswersAsDrawTextDoes) {
  TFont tahoma;
  tahoma.SetName(L"Tahoma");
  tahoma.SetHeight(-11);
  TFont bold;
  bold.Assign(tahoma);
  bold.SetStyle(fsBold);
  TFont tall;
  tall.Assign(tahoma);
  tall.SetHeight(-30);
  struct TCase {
    const wchar_t* Text;
    const TFont* Font;
    RECT Asked;
    UINT Flags;
  };
  const TCase cases[] = {
      {L"Kopyala", &tahoma, {0, 0, 69, 0}, DT_SINGLELINE},
      {L"Kopyala", &bold, {0, 0, 69, 0}, DT_SINGLELINE},
      {L"Kopyala", &tall, {0, 0, 69, 0}, DT_SINGLELINE},
      {L"Kopyala", &tahoma, {7, 5, 76, 5}, DT_SINGLELINE},
      {L"GUID Oku", &tahoma, {0, 0, 98, 0}, DT_SINGLELINE},
      {L"one two three four five", &tahoma, {0, 0, 40, 0}, DT_WORDBREAK},
      {L"one two three four five", &tahoma, {0, 0, 90, 0}, DT_WORDBREAK},
      {L"one two three four five", &tahoma, {3, 2, 43, 2}, DT_WORDBREAK | DT_CENTER},
      {L"&Open", &tahoma, {0, 0, 69, 0}, DT_SINGLELINE},
      {L"&Open", &tahoma, {0, 0, 69, 0}, DT_SINGLELINE | DT_NOPREFIX},
  };
  TBitmap reference;
  TCanvas& canvas = reference.Canvas();
  for (int round = 0; round < 3; ++round)
    for (const TCase& c : cases) {
      canvas.Font().Assign(*c.Font);
      RECT expected = c.Asked;
      ::DrawTextW(canvas.Handle(), c.Text, -1, &expected, c.Flags | DT_CALCRECT);
      RECT measured = c.Asked;
      TdxTextMeasurer::TextRectDT(measured, c.Text, *c.Font, c.Flags);
      EXPECT_EQ(measured.left, expected.left) << c.Text << " round " << round;
      EXPECT_EQ(measured.top, expected.top) << c.Text << " round " << round;
      EXPECT_EQ(measured.right, expected.right) << c.Text << " round " << round;
      EXPECT_EQ(measured.bottom, expected.bottom) << c.Text << " round " << round;
    }
}

} // namespace
} // namespace telvora
