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
    Grid = FindPanel(Main, kKindsPanelCaption);
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
  EXPECT_TRUE(WaitUntil([&] { return CaptureWindow(button) != normal; }, 3s))
      << "the ultra-flat button looks the same under the pointer";
  ASSERT_TRUE(MoveMouseTo(NeutralPoint(Main)));
  EXPECT_TRUE(WaitUntil([&] { return CaptureWindow(button) == normal; }, 3s))
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

} // namespace
} // namespace telvora::testing
