// End-to-end tests of TELVORA in long use: the window moved between
// monitors of different resolutions again and again, and "Kopyala" while
// another program reads the clipboard now and then or holds it for long.

#include "tests/e2e/Telvora.h"
#include "tests/support/ClipboardHolder.h"
#include "tests/support/Desktop.h"

#include <gtest/gtest.h>

#include <sstream>

namespace telvora::testing {
namespace {

std::string Narrow(const std::wstring& text) {
  return ToUtf8(text);
}

// --- DPI changes -----------------------------------------------------------------

// The window as a fresh start at a resolution shows it: the form
// description's figures scaled once from 96 dpi, edge by edge.
struct TFreshLayout {
  int Dpi;
  SIZE Client;
  RECT Kopyala; // edges
  RECT GuidOku; // edges
  RECT Edit;    // left, top, right; the height follows the font
  int FontHeight;
};

constexpr TFreshLayout kFresh96{
    96, {635, 74}, {56, 35, 131, 60}, {137, 35, 241, 60}, {56, 8, 536, 0}, -11};
constexpr TFreshLayout kFresh144{
    144, {953, 111}, {84, 53, 197, 90}, {206, 53, 362, 90}, {84, 12, 804, 0}, -17};
constexpr TFreshLayout kFresh192{
    192, {1270, 148}, {112, 70, 262, 120}, {274, 70, 482, 120}, {112, 16, 1072, 0}, -22};

std::string Describe(SIZE client, RECT kopyala, RECT guidOku, RECT edit) {
  std::ostringstream text;
  auto edges = [&](const RECT& r) {
    text << r.left << ", " << r.top << " - " << r.right << ", " << r.bottom;
  };
  text << "client " << client.cx << "x" << client.cy << "; Kopyala ";
  edges(kopyala);
  text << "; GUID Oku ";
  edges(guidOku);
  text << "; edit box ";
  edges(edit);
  return text.str();
}

std::string Shown(const TTelvora& t) {
  return Describe(ClientSize(t.Main), ChildRect(t.Kopyala), ChildRect(t.GuidOku),
                  ChildRect(t.Edit));
}

std::string Expected(const TFreshLayout& l) {
  RECT edit = l.Edit;
  edit.bottom = edit.top + EditBoxHeight(l.FontHeight);
  return Describe(l.Client, l.Kopyala, l.GuidOku, edit);
}

TEST(DpiChanges, EachChangeShowsTheLayoutOfAFreshStartAndTheWayBackEndsAtTheDesign) {
  TTelvora t;
  ASSERT_TRUE(t.Ready()) << Narrow(t.Problem());
  ASSERT_EQ(Shown(t), Expected(kFresh96));
  for (const TFreshLayout* fresh : {&kFresh144, &kFresh192, &kFresh96}) {
    SCOPED_TRACE(std::to_string(fresh->Dpi) + " dpi");
    // What Windows sends when the window reaches a monitor of another
    // resolution (Wine cannot change it at run time). No suggested
    // rectangle: the window keeps the size TELVORA gives it.
    DWORD_PTR result = 1;
    ASSERT_NE(SendMessageTimeoutW(t.Main, WM_DPICHANGED, MAKEWPARAM(fresh->Dpi, fresh->Dpi), 0,
                                  SMTO_ABORTIFHUNG, 10000, &result),
              0);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(Shown(t), Expected(*fresh));
  }
  // The buttons work where they are shown.
  ASSERT_TRUE(BringToFront(t.Main));
  std::optional<std::wstring> guid = RegistryMachineGuid();
  ASSERT_TRUE(guid);
  ASSERT_TRUE(t.Click(t.GuidOku));
  EXPECT_TRUE(t.WaitForEditText(*guid));
}

// --- Clipboard in another program's hands ------------------------------------------

// The error box's text for a clipboard that cannot be opened: the system's
// text for the error without its trailing blanks and periods, then the
// period the error box adds.
std::wstring CannotOpenClipboardShown(DWORD error) {
  std::wstring text = SystemErrorText(error);
  while (!text.empty() && (text.back() <= L' ' || text.back() == L'.'))
    text.pop_back();
  std::wstring shown = L"Cannot open clipboard: " + text;
  if (shown.back() > L'.')
    shown += L'.';
  return shown;
}

// Whether this process, trying again and again, finds the clipboard both
// refused and free: the holder comes between now and then.
bool RefusedNowAndThen() {
  bool refused = false;
  bool free = false;
  return WaitUntil([&] {
    if (OpenClipboard(nullptr)) {
      CloseClipboard();
      free = true;
    } else {
      refused = true;
    }
    return refused && free;
  });
}

class ClipboardInUse : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FTelvora.Ready()) << Narrow(FTelvora.Problem());
    ASSERT_TRUE(BringToFront(FTelvora.Main));
    FGuid = RegistryMachineGuid().value_or(L"");
    ASSERT_FALSE(FGuid.empty()) << "the registry has no MachineGuid";
    ASSERT_TRUE(FTelvora.Click(FTelvora.GuidOku));
    ASSERT_TRUE(FTelvora.WaitForEditText(FGuid));
  }

  // Clicks "Kopyala" and waits for the outcome: nothing when the clipboard
  // came to hold the GUID, else the text of the error box shown (closed by a
  // click on OK) or what the clipboard holds.
  std::optional<std::wstring> CopyFails() {
    const DWORD before = ClipboardSequence();
    if (!FTelvora.Click(FTelvora.Kopyala))
      return L"the click could not be made";
    std::optional<TMessageBox> box;
    std::optional<TClipboardText> text;
    const bool outcome = WaitUntil([&] {
      box = WaitForMessageBox(FTelvora.Id(), 0ms);
      if (box)
        return true;
      if (ClipboardSequence() == before)
        return false;
      text = ReadClipboardText();
      return text && text->Text == FGuid;
    });
    if (box) {
      const std::wstring shown = box->Text;
      EXPECT_TRUE(CloseMessageBoxByClick(*box));
      return shown;
    }
    if (!outcome)
      return L"neither a copy nor an error box; the clipboard holds " +
             (text ? L"\"" + text->Text + L"\"" : std::wstring(L"no text"));
    return std::nullopt;
  }

  TTelvora FTelvora;
  std::wstring FGuid;
};

TEST_F(ClipboardInUse, EveryCopyGetsThroughAReaderHoldingItForAMomentNowAndThen) {
  // 4 ms in every 20 ms, as a clipboard history tool reading each change.
  TClipboardHolderProcess reader(4, 20);
  ASSERT_TRUE(reader.Holding());
  ASSERT_TRUE(RefusedNowAndThen()) << "the reader does not come between";
  int failed = 0;
  std::wstring firstFailure;
  for (int click = 1; click <= 50; ++click) {
    ASSERT_TRUE(WriteClipboardText(L"before copy " + std::to_wstring(click)));
    if (std::optional<std::wstring> failure = CopyFails(); failure && failed++ == 0)
      firstFailure = L"click " + std::to_wstring(click) + L": " + *failure;
  }
  EXPECT_EQ(failed, 0) << "copies of 50 that failed; the first at " << Narrow(firstFailure);
}

TEST_F(ClipboardInUse, AHolderThatKeepsItGetsTheErrorAndTheContentStaysUntouched) {
  ASSERT_TRUE(WriteClipboardText(L"held content"));
  const DWORD sequence = ClipboardSequence();
  {
    TClipboardHolderProcess holder;
    ASSERT_TRUE(holder.Holding());
    ASSERT_FALSE(OpenClipboard(nullptr));
    const DWORD error = GetLastError();
    for (int click = 1; click <= 2; ++click) {
      SCOPED_TRACE("click " + std::to_string(click));
      std::optional<std::wstring> failure = CopyFails();
      ASSERT_TRUE(failure) << "copied while the clipboard was held";
      EXPECT_EQ(Narrow(*failure), Narrow(CannotOpenClipboardShown(error)));
      EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(FTelvora.Main) != FALSE; }));
    }
  }
  EXPECT_EQ(ClipboardSequence(), sequence) << "the clipboard was emptied or written";
  std::optional<TClipboardText> clipboard = ReadClipboardText();
  ASSERT_TRUE(clipboard);
  EXPECT_EQ(Narrow(clipboard->Text), "held content");
  std::optional<std::wstring> failure = CopyFails();
  EXPECT_FALSE(failure) << "once the holder has let go: " << Narrow(failure.value_or(L""));
}

} // namespace
} // namespace telvora::testing
