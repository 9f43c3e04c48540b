// Fonts, pens and brushes shared by description: one object per
// description, alive while it has users, and what fonts and canvases make
// of it. Descriptions nobody else in the test program uses (odd heights and
// colours) keep the counts exact.

#include "platform/Canvas.h"
#include "platform/SharedGdiObjects.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <utility>

namespace telvora {
namespace {

LOGFONTW FontOf(const wchar_t* AFace, int AHeight) {
  LOGFONTW lf{};
  lf.lfHeight = AHeight;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, AFace, LF_FACESIZE - 1);
  return lf;
}

TEST(SharedGdiObjects, OneObjectPerDescriptionWhileItHasUsers) {
  const int live = SharedGdiObjectCount();
  const int held = TGdiObject::LiveCount();
  HGDIOBJ font = nullptr;
  {
    TSharedGdiObject a = TSharedGdiObject::Font(FontOf(L"Tahoma", -37));
    ASSERT_TRUE(a);
    font = a.Get();
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    // The same description, with whatever follows the face name's end.
    LOGFONTW same = FontOf(L"Tahoma", -37);
    same.lfFaceName[LF_FACESIZE - 2] = L'x';
    TSharedGdiObject b = TSharedGdiObject::Font(same);
    EXPECT_EQ(b.Get(), font);
    EXPECT_EQ(a.UserCount(), 2);
    // Another description, another object.
    TSharedGdiObject c = TSharedGdiObject::Font(FontOf(L"Tahoma", -38));
    EXPECT_NE(c.Get(), font);
    EXPECT_EQ(SharedGdiObjectCount(), live + 2);
    EXPECT_EQ(TGdiObject::LiveCount(), held + 2);

    // Copies are users; a moved-from holder is none.
    TSharedGdiObject copy = a;
    EXPECT_EQ(a.UserCount(), 3);
    TSharedGdiObject moved = std::move(copy);
    EXPECT_FALSE(copy);
    EXPECT_EQ(moved.UserCount(), 3);
    a.Reset();
    b.Reset();
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT)) << "one user is left";
    EXPECT_EQ(moved.UserCount(), 1);
  }
  // The last user gone, the objects are gone.
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(SharedGdiObjectCount(), live);
  EXPECT_EQ(TGdiObject::LiveCount(), held);
}

TEST(SharedGdiObjects, PensAndBrushesByTheirDescription) {
  const int live = SharedGdiObjectCount();
  LOGPEN pen{PS_SOLID, {1, 99}, RGB(1, 2, 3)};
  LOGPEN samePen{PS_SOLID, {1, 0}, RGB(1, 2, 3)}; // the unused height differs
  TSharedGdiObject p1 = TSharedGdiObject::Pen(pen);
  TSharedGdiObject p2 = TSharedGdiObject::Pen(samePen);
  ASSERT_TRUE(p1);
  EXPECT_EQ(p1.Get(), p2.Get());
  EXPECT_EQ(GetObjectType(p1.Get()), static_cast<DWORD>(OBJ_PEN));
  LOGBRUSH solid{BS_SOLID, RGB(4, 5, 6), 77}; // a hatch that a solid brush ignores
  LOGBRUSH sameSolid{BS_SOLID, RGB(4, 5, 6), 0};
  TSharedGdiObject b1 = TSharedGdiObject::Brush(solid);
  TSharedGdiObject b2 = TSharedGdiObject::Brush(sameSolid);
  TSharedGdiObject b3 = TSharedGdiObject::Brush(LOGBRUSH{BS_SOLID, RGB(4, 5, 7), 0});
  EXPECT_EQ(b1.Get(), b2.Get());
  EXPECT_NE(b1.Get(), b3.Get());
  LOGBRUSH read{};
  ASSERT_EQ(GetObjectW(b3.Get(), sizeof(read), &read), static_cast<int>(sizeof(read)));
  EXPECT_EQ(read.lbColor, RGB(4, 5, 7));
  EXPECT_EQ(SharedGdiObjectCount(), live + 3);
  // A pattern brush is not shared.
  EXPECT_FALSE(TSharedGdiObject::Brush(LOGBRUSH{BS_PATTERN, 0, 0}));
}

TEST(SharedGdiObjects, FontsOfTheSameAttributesHoldOneObject) {
  TFont a, b;
  for (TFont* font : {&a, &b}) {
    font->SetName(L"Tahoma");
    font->SetHeight(-41);
    font->SetStyle(fsBold);
  }
  b.SetColor(clRed); // not part of the object
  ASSERT_NE(a.Handle(), nullptr);
  EXPECT_EQ(a.Handle(), b.Handle());
  const HFONT shared = a.Handle();
  // A changed attribute takes another object; the first lives while a
  // user is left, and goes with the last.
  b.SetHeight(-42);
  EXPECT_NE(b.Handle(), shared);
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
  LOGFONTW lf{};
  ASSERT_NE(GetObjectW(b.Handle(), sizeof(lf), &lf), 0);
  EXPECT_EQ(lf.lfHeight, -42);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  a.SetHeight(-43);
  a.Handle();
  EXPECT_EQ(GetObjectType(shared), 0u);
}

// Canvases that draw with the same font, pen and brush select the same
// objects, also the one a font of the same attributes holds; a saved state
// keeps an object it refers to, whoever else lets go.
TEST(SharedGdiObjects, CanvasesShareWhatTheyDrawWith) {
  TBitmap first(4, 4, pf32bit), second(4, 4, pf32bit);
  TFont font;
  font.SetName(L"Tahoma");
  font.SetHeight(-45);
  for (TBitmap* bitmap : {&first, &second}) {
    bitmap->Canvas().Font().Assign(font);
    bitmap->Canvas().Pen().SetColor(RGB(7, 8, 9));
    bitmap->Canvas().Brush().SetColor(RGB(10, 11, 12));
  }
  HDC dc1 = first.Canvas().Handle();
  HDC dc2 = second.Canvas().Handle();
  for (UINT type : {OBJ_FONT, OBJ_PEN, OBJ_BRUSH})
    EXPECT_EQ(GetCurrentObject(dc1, type), GetCurrentObject(dc2, type)) << "type " << type;
  EXPECT_EQ(GetCurrentObject(dc1, OBJ_FONT), font.Handle());

  const HGDIOBJ brush = GetCurrentObject(dc1, OBJ_BRUSH);
  const int saved = first.Canvas().SaveDC();
  ASSERT_NE(saved, 0);
  first.Canvas().Brush().SetColor(RGB(10, 11, 13));
  second.Canvas().Brush().SetColor(RGB(10, 11, 13));
  first.Canvas().Handle();
  second.Canvas().Handle();
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH)) << "a saved state refers to it";
  first.Canvas().RestoreDC(saved);
  EXPECT_EQ(GetObjectType(brush), 0u);
}

} // namespace
} // namespace telvora
