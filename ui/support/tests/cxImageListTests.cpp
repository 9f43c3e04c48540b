// The image list component: images added with their alpha, fitted when
// their size differs, deleted; change links; strips from form descriptions;
// cxDrawImage drawing a cell of it.

#include "ui/support/cxImageList.h"

#include "platform/FormReader.h"
#include "ui/support/dxScaleFactor.h"
#include "ui/support/tests/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

using namespace testing_images;

TdxSmartGlyph Filled(int AWidth, int AHeight, std::uint32_t AArgb) {
  TdxSmartGlyph g;
  g.SetPixels(AWidth, AHeight, TArgb(static_cast<size_t>(AWidth) * AHeight, AArgb));
  return g;
}

// Image AIndex as the list gives it back: premultiplied 0xAARRGGBB.
std::vector<DWORD> Cell(const TcxImageList& AList, int AIndex) {
  TcxImagePixels image;
  EXPECT_TRUE(cxReadImageListPixels(AList.Handle(), AIndex, image));
  EXPECT_EQ(image.Width, AList.Width());
  EXPECT_EQ(image.Height, AList.Height());
  return image.Pixels;
}

// The image drawn by cxDrawImage from the list onto grey: its colour at (x, y).
std::uint32_t DrawnRgb(const TcxImageList& AList, int AIndex, int x, int y) {
  TSurface s(AList.Width(), AList.Height(), 0x808080);
  cxDrawImage(s.Canvas(), {0, 0, AList.Width(), AList.Height()},
              static_cast<const TdxSmartGlyph*>(nullptr), AList.Handle(), AIndex, ifmNormal,
              idmNormal, false, nullptr, nullptr);
  return s.Rgb(x, y);
}

TEST(cxImageList, AddsDeletesAndClears) {
  TcxImageList list(nullptr);
  EXPECT_EQ(list.ClassName(), L"TcxImageList");
  EXPECT_EQ(list.Width(), 16);
  EXPECT_EQ(list.Height(), 16);
  list.SetSize(4, 4);
  EXPECT_EQ(list.Add(Filled(4, 4, 0xFFFF0000)), 0);
  EXPECT_EQ(list.Add(Filled(4, 4, 0xFF00FF00)), 1);
  EXPECT_EQ(list.Add(Filled(4, 4, 0xFF0000FF)), 2);
  EXPECT_EQ(list.Add(TdxSmartGlyph()), -1);
  EXPECT_EQ(list.Count(), 3);
  list.Delete(0);
  list.Delete(3);
  list.Delete(-1);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(DrawnRgb(list, 0, 1, 1), 0x00FF00u);
  EXPECT_EQ(DrawnRgb(list, 1, 1, 1), 0x0000FFu);
  list.SetSize(4, 4); // the same size keeps the images
  EXPECT_EQ(list.Count(), 2);
  list.SetSize(8, 4);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Width(), 8);
  EXPECT_THROW(list.SetSize(0, 4), EConvertError);
  list.Add(Filled(8, 4, 0xFFFFFFFF));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(cxImageList, KeepsAlphaAndFitsOtherSizes) {
  TcxImageList list(nullptr);
  list.SetSize(4, 4);
  TArgb pixels(16, 0xFFFF0000);
  pixels[5] = 0x8000FF00;  // half green
  pixels[10] = 0x00000000; // transparent
  TdxSmartGlyph g;
  g.SetPixels(4, 4, pixels);
  ASSERT_EQ(list.Add(g), 0);
  std::vector<DWORD> cell = Cell(list, 0);
  EXPECT_EQ(cell[0], 0xFFFF0000u);
  EXPECT_PRED3(Near, cell[5], 0x80008000u, 1);
  EXPECT_EQ(cell[10], 0u);

  // A larger image is shrunk to the cell, a flat one centred at its
  // proportions with transparent rows around it.
  ASSERT_EQ(list.Add(Filled(8, 8, 0xFF0000FF)), 1);
  for (DWORD p : Cell(list, 1))
    EXPECT_EQ(p, 0xFF0000FFu);
  ASSERT_EQ(list.Add(Filled(8, 4, 0xFF00FF00)), 2);
  cell = Cell(list, 2);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(cell[static_cast<size_t>(y) * 4 + x], (y == 1 || y == 2) ? 0xFF00FF00u : 0u)
          << x << "," << y;
}

TEST(cxImageList, ChangeLinksAreToldAndMayLeaveWhileTold) {
  TcxImageList list(nullptr);
  std::vector<std::string> told;
  int a = 0, b = 0, c = 0;
  list.RegisterChanges(&a, [&] { told.push_back("a"); });
  list.RegisterChanges(&b, [&] {
    told.push_back("b");
    list.UnRegisterChanges(&b); // leaves while being told
    list.UnRegisterChanges(&c); // and takes the next one with it
  });
  list.RegisterChanges(&c, [&] { told.push_back("c"); });
  list.SetSize(2, 2);
  EXPECT_EQ(told, (std::vector<std::string>{"a", "b"}));

  told.clear();
  list.RegisterChanges(&a, [&] { told.push_back("a2"); }); // a new handler for a key
  list.Add(Filled(2, 2, 0xFFFFFFFF));
  list.Delete(0);
  list.Clear(); // already empty: no change
  list.Delete(0);
  EXPECT_EQ(told, (std::vector<std::string>{"a2", "a2"}));

  list.UnRegisterChanges(&a);
  list.Add(Filled(2, 2, 0xFFFFFFFF));
  EXPECT_EQ(told.size(), 2u);
}

TEST(cxImageList, FreeNotificationTellsALinkedComponent) {
  struct TWatcher : TComponent {
    TWatcher() : TComponent(nullptr) {}
    std::wstring ClassName() const override { return L"TWatcher"; }
    void Notification(TComponent* AComponent, TOperation AOperation) override {
      if (AOperation == opRemove && AComponent == Images)
        Images = nullptr;
    }
    TcxImageList* Images = nullptr;
  } watcher;
  watcher.Images = new TcxImageList(nullptr);
  watcher.Images->FreeNotification(&watcher);
  delete watcher.Images;
  EXPECT_EQ(watcher.Images, nullptr);
}

TEST(cxImageList, ImageSizeAtAScaleFactor) {
  TcxImageList list(nullptr);
  list.SetSize(16, 12);
  TdxScaleFactor factor;
  factor.Assign(3, 2, false);
  SIZE scaled = dxGetImageSize(&list, &factor);
  EXPECT_EQ(scaled.cx, 24);
  EXPECT_EQ(scaled.cy, 18);
  SIZE none = dxGetImageSize(nullptr, &factor);
  EXPECT_EQ(none.cx, 0);
  EXPECT_EQ(none.cy, 0);
}

// ---------------------------------------------------------------- form descriptions

std::wstring Hex(const TBytes& ABytes) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring text = L"{";
  for (size_t i = 0; i < ABytes.size(); ++i) {
    if (i % 32 == 0)
      text += L"\n      ";
    text += digits[ABytes[i] >> 4];
    text += digits[ABytes[i] & 15];
  }
  return text + L"}";
}

class TRoot : public TComponent {
public:
  TRoot() : TComponent(nullptr) {}
  std::wstring ClassName() const override { return L"TRoot"; }
};

// The class as form descriptions know it for the test, unless the program's
// units registered it already.
class TImageListClass {
public:
  TImageListClass() : FOwn(!FindComponentClass(L"TcxImageList")) {
    if (FOwn)
      InitImageListUnit();
  }
  ~TImageListClass() {
    if (FOwn)
      DoneImageListUnit();
  }

private:
  bool FOwn;
};

TEST(cxImageListForm, StripsAreCutIntoCellsOnceTheFormIsRead) {
  TImageListClass registered;
  TRoot root;
  // The strip comes before the size: it is cut at the size given.
  ReadComponent(&root, ParseFormDescription(L"object root: TRoot\n"
                                            L"  object ilGlyphs: TcxImageList\n"
                                            L"    ImageStrip = " +
                                            Hex(ResourceBytes(L"STRIP_PNG")) +
                                            L"\n"
                                            L"    Width = 4\n"
                                            L"    Height = 4\n"
                                            L"  end\n"
                                            L"end\n"));
  auto* list = dynamic_cast<TcxImageList*>(root.FindComponent(L"ilGlyphs"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Width(), 4);
  ASSERT_EQ(list->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    const std::vector<DWORD> cell = Cell(*list, i);
    const std::uint32_t straight = kStripCells[static_cast<size_t>(i)];
    TdxSmartGlyph one = Filled(1, 1, straight);
    const std::uint32_t premultiplied = dxSmartGlyphToImagePixels(one).Pixels[0];
    for (DWORD p : cell)
      EXPECT_PRED3(Near, p, premultiplied, 1) << i;
  }
  // The image list path of cxDrawImage draws the cell asked for.
  EXPECT_EQ(DrawnRgb(*list, 1, 2, 2), 0x00FF00u);
}

TEST(cxImageListForm, BadValuesAreReadErrors) {
  TImageListClass registered;
  const wchar_t* bodies[] = {
      L"    ImageStrip = {0102030405}\n",
      L"    ImageStrip = 'strip.png'\n",
      L"    Width = 0\n",
  };
  for (const wchar_t* body : bodies) {
    TRoot root;
    EXPECT_THROW(ReadComponent(&root, ParseFormDescription(std::wstring(L"object root: TRoot\n"
                                                                        L"  object il: "
                                                                        L"TcxImageList\n") +
                                                           body + L"  end\nend\n")),
                 EReadError)
        << ToUtf8(body);
  }
}

} // namespace
} // namespace telvora
