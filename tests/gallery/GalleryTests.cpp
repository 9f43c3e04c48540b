// End-to-end tests of the button gallery: the real ButtonGallery.exe, found
// and driven from outside with real mouse input, checked by what its windows
// and the screen show.

#include "platform/FormReader.h"
#include "tests/gallery/GalleryDesktop.h"
#include "tests/support/ClipboardHolder.h" // ProgramFolder

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace telvora::testing {
namespace {

std::string Narrow(const std::wstring& text) {
  return ToUtf8(text);
}

std::wstring GalleryExe() {
  return ProgramFolder() + L"ButtonGallery.exe";
}

// The rows of the grid, top to bottom: the caption every button of the row
// shows and the row's label; the columns, left to right, by their labels.
constexpr std::array<const wchar_t*, 5> kRowCaptions = {L"Button", L"Drop-down", L"Split button",
                                                        L"Command link", L"Office drop-down"};
constexpr std::array<const wchar_t*, 5> kRowTitles = {
    L"Standard", L"Drop-down", L"Split (drop-down button)", L"Command link", L"Office drop-down"};
constexpr std::array<const wchar_t*, 5> kColumnTitles = {L"Native", L"Standard", L"Flat",
                                                         L"Ultra-flat", L"Office 11"};
constexpr size_t kUltraFlatColumn = 3;

constexpr wchar_t kGlyphsPanelCaption[] = L"Glyphs (OptionsImage)";

constexpr wchar_t kStatusText[] = L"Click a button: the status line names it here.";

// The captions of the TcxButton objects in the gallery's form description,
// read from the executable's resource.
std::vector<std::wstring> DescribedButtonCaptions() {
  std::vector<std::wstring> captions;
  TModule module(LoadLibraryExW(GalleryExe().c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module)
    return captions;
  HRSRC info = FindResourceW(module.Get(), L"TFRMGALLERY", MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL data = info != nullptr ? LoadResource(module.Get(), info) : nullptr;
  const char* bytes = data != nullptr ? static_cast<const char*>(LockResource(data)) : nullptr;
  if (bytes == nullptr)
    return captions;
  const TFormNode form =
      ParseFormDescription(FromUtf8(std::string(bytes, SizeofResource(module.Get(), info))));
  std::function<void(const TFormNode&)> collect = [&](const TFormNode& node) {
    if (node.ClassName == L"TcxButton") {
      std::wstring caption;
      for (const auto& [name, value] : node.Properties)
        if (name == L"Caption")
          caption = value.Text;
      captions.push_back(caption);
    }
    for (const TFormNode& child : node.Children)
      collect(child);
  };
  collect(form);
  return captions;
}

bool SameSpan(LONG a1, LONG a2, LONG b1, LONG b2) {
  return a1 < b2 && b1 < a2;
}

// A started gallery with its window, its grid panel and the grid's buttons
// sorted into rows (top to bottom) of columns (left to right).
class GalleryTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The pointer starts in the screen's far corner, away from the window.
    ASSERT_TRUE(
        MoveMouseTo({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1}));
    ASSERT_TRUE(FGallery.Started())
        << "cannot start " << Narrow(GalleryExe()) << " (error " << FGallery.StartError() << ")";
    Main = WaitForTopLevelWindow(FGallery.Id(), kGalleryWindowClass);
    ASSERT_NE(Main, nullptr) << "the gallery's window did not appear";
    // Looked for until found, as the program's own window is (one look right
    // after a window showed has once missed a control under a loaded
    // emulator).
    WaitUntil([&] {
      Grid = FindPanel(Main, kKindsPanelCaption);
      return Grid != nullptr;
    });
    ASSERT_NE(Grid, nullptr) << "no panel \"" << Narrow(kKindsPanelCaption) << "\"";
    std::vector<HWND> buttons = ChildrenOfClass(Grid, L"BUTTON");
    ASSERT_EQ(buttons.size(), kRowCaptions.size() * kColumnTitles.size())
        << "buttons in the grid of kinds and look-and-feels";
    std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
      const RECT ra = ChildRect(a), rb = ChildRect(b);
      return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    for (size_t row = 0; row < kRowCaptions.size(); ++row)
      Rows[row].assign(buttons.begin() + static_cast<std::ptrdiff_t>(row * kColumnTitles.size()),
                       buttons.begin() +
                           static_cast<std::ptrdiff_t>((row + 1) * kColumnTitles.size()));
  }

  void TearDown() override {
    if (FGallery.Running())
      FGallery.Close();
  }

  // Closes the gallery as a person's click on the close box would
  // (WM_CLOSE) and answers its exit code.
  std::optional<DWORD> CloseAndWait() {
    PostMessageW(Main, WM_CLOSE, 0, 0);
    return FGallery.WaitForExit();
  }

  TDesktopProcess FGallery{GalleryExe()};
  HWND Main = nullptr;
  HWND Grid = nullptr;
  std::array<std::vector<HWND>, kRowCaptions.size()> Rows;
};

TEST_F(GalleryTest, EveryButtonOfTheFormDescriptionIsALiveOwnerDrawnButton) {
  std::vector<std::wstring> described = DescribedButtonCaptions();
  ASSERT_FALSE(described.empty()) << "no TcxButton in the form description TFRMGALLERY";
  std::vector<std::wstring> shown;
  for (HWND button : DescendantButtons(Main)) {
    shown.push_back(WindowText(button));
    EXPECT_TRUE(IsWindowVisible(button)) << Narrow(WindowText(button));
    EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW)
        << Narrow(WindowText(button)) << " is not drawn by the button control";
  }
  std::sort(described.begin(), described.end());
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown.size(), described.size());
  EXPECT_TRUE(shown == described) << "the captions shown differ from the form description's";
}

TEST_F(GalleryTest, GridShowsEveryKindInEveryLookAndFeelUnderItsLabels) {
  const RECT firstRow = ChildRect(Rows[0][0]);
  for (size_t row = 0; row < Rows.size(); ++row) {
    const RECT rowStart = ChildRect(Rows[row][0]);
    for (size_t column = 0; column < Rows[row].size(); ++column) {
      HWND button = Rows[row][column];
      const RECT r = ChildRect(button);
      EXPECT_EQ(Narrow(WindowText(button)), Narrow(kRowCaptions[row]))
          << "row " << row << ", column " << column;
      EXPECT_EQ(r.top, rowStart.top) << "row " << row << ", column " << column;
      const RECT columnStart = ChildRect(Rows[0][column]);
      EXPECT_EQ(r.left, columnStart.left) << "row " << row << ", column " << column;
      EXPECT_EQ(r.right, columnStart.right) << "row " << row << ", column " << column;
    }
  }
  const std::vector<HWND> labels = ChildrenOfClass(Grid, kGalleryLabelClass);
  auto labelWhere = [&](const wchar_t* text, const std::function<bool(const RECT&)>& placed) {
    return std::any_of(labels.begin(), labels.end(), [&](HWND label) {
      return WindowText(label) == text && placed(ChildRect(label));
    });
  };
  for (size_t column = 0; column < kColumnTitles.size(); ++column) {
    const RECT top = ChildRect(Rows[0][column]);
    EXPECT_TRUE(labelWhere(kColumnTitles[column],
                           [&](const RECT& r) {
                             const LONG centre = (r.left + r.right) / 2;
                             return r.bottom <= firstRow.top && centre > top.left &&
                                    centre < top.right;
                           }))
        << "no label \"" << Narrow(kColumnTitles[column]) << "\" above column " << column;
  }
  for (size_t row = 0; row < kRowTitles.size(); ++row) {
    const RECT left = ChildRect(Rows[row][0]);
    EXPECT_TRUE(labelWhere(kRowTitles[row],
                           [&](const RECT& r) {
                             return r.right <= firstRow.left &&
                                    SameSpan(r.top, r.bottom, left.top, left.bottom);
                           }))
        << "no label \"" << Narrow(kRowTitles[row]) << "\" left of row " << row;
  }
}

TEST_F(GalleryTest, PointerOverAButtonShowsItsHotLookAndClosingEndsWithExitCodeZero) {
  HWND button = Rows[0][kUltraFlatColumn];
  ASSERT_TRUE(BringToFront(Main));
  ASSERT_TRUE(MoveMouseTo(NeutralPoint(Main)));
  const TPixels normal = SettledLook(button);
  ASSERT_FALSE(normal.empty()) << "cannot read the button's pixels";

  ASSERT_TRUE(MoveMouseTo(WindowCentre(button)));
  EXPECT_TRUE(WaitUntil([&] { return CaptureWindow(button) != normal; }))
      << "the ultra-flat button looks the same under the pointer";
  ASSERT_TRUE(MoveMouseTo(NeutralPoint(Main)));
  EXPECT_TRUE(WaitUntil([&] { return CaptureWindow(button) == normal; }))
      << "the ultra-flat button does not look as before once the pointer has gone";

  std::optional<DWORD> code = CloseAndWait();
  ASSERT_TRUE(code.has_value()) << "the gallery did not end after WM_CLOSE";
  EXPECT_EQ(*code, 0u);
}

TEST_F(GalleryTest, StatusLineNamesTheButtonClicked) {
  HWND status = FindChild(Main, kGalleryLabelClass, std::wstring(kStatusText));
  ASSERT_NE(status, nullptr) << "no status line";
  ASSERT_TRUE(BringToFront(Main));
  ASSERT_TRUE(ClickWindow(Rows[2][kUltraFlatColumn]));
  EXPECT_TRUE(WaitUntil([&] {
    return WindowText(status) == L"Clicked: \"Split button\" (cxbkDropDownButton, lfUltraFlat)";
  })) << "the status line shows \""
      << Narrow(WindowText(status)) << "\"";

  std::optional<DWORD> code = CloseAndWait();
  ASSERT_TRUE(code.has_value()) << "the gallery did not end after WM_CLOSE";
  EXPECT_EQ(*code, 0u);
}

TEST_F(GalleryTest, DropDownButtonOpensTheGalleryMenu) {
  HWND status = FindChild(Main, kGalleryLabelClass, std::wstring(kStatusText));
  ASSERT_NE(status, nullptr) << "no status line";
  ASSERT_TRUE(BringToFront(Main));
  HWND dropDown = Rows[1][kUltraFlatColumn];
  ASSERT_TRUE(ClickWindow(dropDown));
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    menu = FindTopLevelWindow(FGallery.Id(), L"#32768");
    return menu != nullptr;
  })) << "no menu opened under the drop-down button";
  RECT button{}, shown{};
  GetWindowRect(dropDown, &button);
  GetWindowRect(menu, &shown);
  EXPECT_GE(shown.top, button.bottom - 1) << "the menu opens below the button";
  ASSERT_TRUE(PressKeys({'S'}));
  EXPECT_TRUE(WaitUntil([&] {
    return WindowText(status) == L"Chosen from the drop-down menu: \"Save\"";
  })) << "the status line shows \""
      << Narrow(WindowText(status)) << "\"";
  EXPECT_TRUE(WaitUntil([&] { return FindTopLevelWindow(FGallery.Id(), L"#32768") == nullptr; }))
      << "the menu stays open";
}

// The mean position of the pixels of a picture of `window` that `match`,
// and how many there are.
struct TSpot {
  int Count = 0;
  double X = 0;
  double Y = 0;
};

TSpot FindColour(HWND window, const TPixels& pixels, bool (*match)(int r, int g, int b)) {
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left;
  TSpot spot;
  for (size_t i = 0; width > 0 && i < pixels.size(); ++i) {
    const std::uint32_t p = pixels[i];
    if (!match(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
               static_cast<int>(p & 0xFF)))
      continue;
    ++spot.Count;
    spot.X += static_cast<double>(static_cast<int>(i) % width);
    spot.Y += static_cast<double>(static_cast<int>(i) / width);
  }
  if (spot.Count > 0) {
    spot.X /= spot.Count;
    spot.Y /= spot.Count;
  }
  return spot;
}

// The star glyph's gold (gallery/make-glyphs.py), which no painter uses.
bool Gold(int r, int g, int b) {
  return r >= 170 && g >= 100 && b <= 110 && r - b >= 120;
}
// The blue of the strip's normal cell, absent from its disabled cell.
bool StripBlue(int r, int, int b) {
  return b >= 180 && r <= 130 && b - r >= 80;
}

TEST_F(GalleryTest, GlyphsSitWhereTheLayoutPutsThem) {
  HWND panel = FindPanel(Main, kGlyphsPanelCaption);
  ASSERT_NE(panel, nullptr) << "no panel \"" << Narrow(kGlyphsPanelCaption) << "\"";
  ASSERT_TRUE(MoveMouseTo(NeutralPoint(Main)));
  struct TPlacement {
    const wchar_t* Caption;
    int Dx; // -1: the glyph left of the middle, 1: right of it, 0: either
    int Dy;
  };
  for (const TPlacement& placement : {TPlacement{L"Left", -1, 0}, TPlacement{L"Right", 1, 0},
                                      TPlacement{L"Top", 0, -1}, TPlacement{L"Bottom", 0, 1}}) {
    HWND button = FindChild(panel, L"BUTTON", std::wstring(placement.Caption));
    ASSERT_NE(button, nullptr) << Narrow(placement.Caption);
    const SIZE size = ClientSize(button);
    const TSpot star = FindColour(button, SettledLook(button), Gold);
    EXPECT_GE(star.Count, 20) << "the star of \"" << Narrow(placement.Caption) << "\"";
    const double dx = star.X - size.cx / 2.0, dy = star.Y - size.cy / 2.0;
    if (placement.Dx != 0) {
      EXPECT_GT(dx * placement.Dx, 4.0)
          << Narrow(placement.Caption) << ": the star at x " << star.X;
    }
    if (placement.Dy != 0) {
      EXPECT_GT(dy * placement.Dy, 4.0)
          << Narrow(placement.Caption) << ": the star at y " << star.Y;
    }
  }
  std::vector<HWND> next;
  for (HWND button : ChildrenOfClass(panel, L"BUTTON"))
    if (WindowText(button) == L"Next")
      next.push_back(button);
  ASSERT_EQ(next.size(), 2u) << "the enabled and the disabled strip button";
  for (HWND button : next) {
    const TSpot blue = FindColour(button, SettledLook(button), StripBlue);
    if (IsWindowEnabled(button)) {
      EXPECT_GE(blue.Count, 20) << "the enabled strip button shows the normal cell";
    } else {
      EXPECT_EQ(blue.Count, 0) << "the disabled strip button shows the disabled cell";
    }
  }
}

constexpr wchar_t kGroupsPanelCaption[] = L"Speed-button groups, drop-down and context menus";

// The group of latching buttons keeps one down (a real click on "Centre"
// releases "Left"; another click leaves "Centre" down); the split button at
// the bottom of the window opens its menu above itself when the menu would
// pass the bottom of the work area, else below; a right click on the last
// button opens the context menu where it was.
TEST_F(GalleryTest, GroupLatchesAndMenusOpenFromTheBottomRow) {
  HWND panel = FindPanel(Main, kGroupsPanelCaption);
  ASSERT_NE(panel, nullptr) << "no groups and menus panel";
  HWND left = FindChild(panel, L"Button", L"Left");
  HWND centre = FindChild(panel, L"Button", L"Centre");
  HWND split = FindChild(panel, L"Button", L"Split");
  HWND context = FindChild(panel, L"Button", L"Right-click for a menu");
  ASSERT_TRUE(left && centre && split && context);
  ASSERT_TRUE(BringToFront(Main));
  ASSERT_TRUE(MoveMouseTo(NeutralPoint(Main)));
  const TPixels leftDown = SettledLook(left);
  const TPixels centreUp = SettledLook(centre);
  ASSERT_TRUE(ClickWindow(centre));
  ASSERT_TRUE(MoveMouseTo(NeutralPoint(Main)));
  const TPixels leftAfter = SettledLook(left);
  const TPixels centreAfter = SettledLook(centre);
  EXPECT_NE(leftAfter, leftDown) << "Left stayed down";
  EXPECT_NE(centreAfter, centreUp) << "Centre did not go down";
  ASSERT_TRUE(ClickWindow(centre));
  ASSERT_TRUE(MoveMouseTo(NeutralPoint(Main)));
  EXPECT_EQ(SettledLook(centre), centreAfter) << "a click released the group's down button";

  // The split button's menu part.
  RECT button{};
  GetWindowRect(split, &button);
  const POINT menuPart{button.right - 6, (button.top + button.bottom) / 2};
  ASSERT_TRUE(ClickAt(menuPart));
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    menu = FindTopLevelWindow(FGallery.Id(), L"#32768");
    return menu != nullptr;
  })) << "no menu opened from the split button";
  RECT shown{};
  GetWindowRect(menu, &shown);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (button.bottom + (shown.bottom - shown.top) > work.bottom)
    EXPECT_LE(shown.bottom, button.top + 1) << "the menu does not open above the button";
  else
    EXPECT_GE(shown.top, button.bottom - 1) << "the menu does not open below the button";
  ASSERT_TRUE(PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitUntil([&] { return FindTopLevelWindow(FGallery.Id(), L"#32768") == nullptr; }));

  RECT target{};
  GetWindowRect(context, &target);
  const POINT at{target.left + 20, target.top + 8};
  ASSERT_TRUE(RightClickAt(at));
  ASSERT_TRUE(WaitUntil([&] {
    menu = FindTopLevelWindow(FGallery.Id(), L"#32768");
    return menu != nullptr;
  })) << "no context menu opened";
  GetWindowRect(menu, &shown);
  EXPECT_LE(std::abs(shown.left - at.x), 1);
  ASSERT_TRUE(PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitUntil([&] { return FindTopLevelWindow(FGallery.Id(), L"#32768") == nullptr; }));
}

} // namespace
} // namespace telvora::testing
