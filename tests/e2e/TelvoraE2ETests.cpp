// End-to-end tests: the real TELVORA.exe, driven with real mouse and
// keyboard input, checked by what a person sees on the screen.

#include "tests/e2e/RegistryGuards.h"
#include "tests/e2e/Telvora.h"
#include "tests/support/ClipboardHolder.h"
#include "tests/support/Desktop.h"
#include "tests/support/RegistryValueGuard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <set>

namespace telvora::testing {
namespace {

std::string Narrow(const std::wstring& text) {
  return ToUtf8(text);
}

std::string Describe(HWND window) {
  if (window == nullptr)
    return "no window";
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return Narrow(WindowClassName(window)) + " \"" + Narrow(WindowText(window)) + "\" of process " +
         std::to_string(processId) + (IsWindowVisible(window) ? "" : " (hidden)");
}

// Waits until the keyboard focus of TELVORA's thread is in the edit box.
::testing::AssertionResult FocusInEditBox(const TTelvora& telvora) {
  if (WaitForFocus(telvora.Main, telvora.Edit))
    return ::testing::AssertionSuccess();
  TGuiThreadState state = GuiThreadState(telvora.Main);
  return ::testing::AssertionFailure()
         << "the focus is in " << Describe(state.Focus) << ", the active window is "
         << Describe(state.Active) << ", the foreground window " << Describe(GetForegroundWindow())
         << " (TELVORA is process " << telvora.Id() << ", the tests " << GetCurrentProcessId()
         << ")";
}

bool SameClass(HWND window, const wchar_t* className) {
  return _wcsicmp(WindowClassName(window).c_str(), className) == 0;
}

// Expects an error box of `telvora` with this caption and text, closes it
// (a click on OK, or Enter) and expects the window to work again.
void ExpectErrorBox(TTelvora& telvora, const std::wstring& caption, const std::wstring& text,
                    bool closeWithEnter) {
  std::optional<TMessageBox> box = WaitForMessageBox(telvora.Id());
  ASSERT_TRUE(box) << "no error box appeared";
  EXPECT_EQ(Narrow(box->Caption), Narrow(caption));
  EXPECT_EQ(Narrow(box->Text), Narrow(text));
  EXPECT_EQ(box->Buttons, std::vector<std::wstring>{L"OK"});
  // The icon is compared once the box has painted it.
  EXPECT_TRUE(WaitUntil([&] { return MessageBoxShowsIcon(box->Window, IDI_HAND); }))
      << "the stop icon";
  EXPECT_FALSE(MessageBoxShowsIcon(box->Window, IDI_ASTERISK));
  EXPECT_EQ(box->Owner, telvora.Main);
  EXPECT_FALSE(IsWindowEnabled(telvora.Main)) << "the main window is disabled while the box is up";
  if (closeWithEnter)
    ASSERT_TRUE(CloseMessageBoxByEnter(*box)) << "Enter did not close the box";
  else
    ASSERT_TRUE(CloseMessageBoxByClick(*box)) << "a click on OK did not close the box";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(telvora.Main) != FALSE; }));
  EXPECT_TRUE(FocusInEditBox(telvora)) << "after the box";
  EXPECT_TRUE(TopLevelWindows(telvora.Id()) == std::vector<HWND>{telvora.Main});
}

// Clicks "Kopyala" and waits until the clipboard holds `expected`.
::testing::AssertionResult CopiesToClipboard(TTelvora& telvora, const std::wstring& expected) {
  const DWORD before = ClipboardSequence();
  if (!telvora.Click(telvora.Kopyala))
    return ::testing::AssertionFailure() << "the click on Kopyala could not be made";
  std::optional<TClipboardText> text;
  bool arrived = WaitUntil([&] {
    if (ClipboardSequence() == before)
      return false;
    text = ReadClipboardText();
    return text && text->Text == expected;
  });
  if (!arrived) {
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    if (text)
      failure << "the clipboard holds \"" << Narrow(text->Text) << "\"";
    else
      failure << "the clipboard holds no text";
    failure << ", expected \"" << Narrow(expected) << "\"";
    if (std::optional<TMessageBox> box = WaitForMessageBox(telvora.Id(), 0ms))
      failure << "; TELVORA shows \"" << Narrow(box->Text) << "\"";
    return failure;
  }
  if (!text->Terminated || text->Bytes != (expected.size() + 1) * sizeof(wchar_t))
    return ::testing::AssertionFailure() << "the clipboard block has " << text->Bytes
                                         << " bytes, expected the text and one zero character";
  return ::testing::AssertionSuccess();
}

// --- One window for several tests ---------------------------------------------

// Tests that leave the window as they found it share one running TELVORA.
class SharedWindow : public ::testing::Test {
protected:
  static void TearDownTestSuite() { FShared.reset(); }

  void SetUp() override {
    if (FShared && (!FShared->Ready() || !FShared->Process().Running() ||
                    TopLevelWindows(FShared->Id()).size() != 1))
      FShared.reset();
    if (!FShared)
      FShared = std::make_unique<TTelvora>();
    ASSERT_TRUE(FShared->Ready()) << Narrow(FShared->Problem());
    ASSERT_TRUE(BringToFront(FShared->Main));
  }

  TTelvora& Telvora() { return *FShared; }

  // Reads the GUID into the edit box; answers it.
  std::wstring ReadGuid() {
    std::optional<std::wstring> guid = RegistryMachineGuid();
    EXPECT_TRUE(guid) << "the registry has no MachineGuid";
    EXPECT_TRUE(Telvora().Click(Telvora().GuidOku));
    EXPECT_TRUE(Telvora().WaitForEditText(guid.value_or(L"")));
    return guid.value_or(L"");
  }

  static inline std::unique_ptr<TTelvora> FShared;
};

using MainWindow = SharedWindow;

TEST_F(MainWindow, ShowsCaptionClientSizeAndControlsInOrder) {
  TTelvora& t = Telvora();
  EXPECT_EQ(WindowClassName(t.Main), L"TfrmMain");
  EXPECT_EQ(Narrow(WindowText(t.Main)), "TELVORA");
  SIZE client = ClientSize(t.Main);
  EXPECT_EQ(client.cx, 635);
  EXPECT_EQ(client.cy, 74);
  EXPECT_TRUE(IsWindowVisible(t.Main));
  EXPECT_FALSE(IsZoomed(t.Main));
  EXPECT_FALSE(IsIconic(t.Main));

  const struct {
    const wchar_t* Class;
    const wchar_t* Text;
    RECT Bounds;
  } expected[] = {
      {L"BUTTON", L"Kopyala", {56, 35, 56 + 75, 35 + 25}},
      {L"EDIT", L"", {56, 8, 56 + 480, 8 + EditBoxHeight(-11)}},
      {L"BUTTON", L"GUID Oku", {137, 35, 137 + 104, 35 + 25}},
  };
  std::vector<HWND> children = ChildWindows(t.Main);
  ASSERT_EQ(children.size(), std::size(expected));
  for (size_t i = 0; i < children.size(); ++i) {
    SCOPED_TRACE(Narrow(expected[i].Text));
    EXPECT_TRUE(SameClass(children[i], expected[i].Class)) << Narrow(WindowClassName(children[i]));
    if (*expected[i].Text) {
      EXPECT_EQ(Narrow(WindowText(children[i])), Narrow(expected[i].Text));
    }
    RECT r = ChildRect(children[i]);
    EXPECT_EQ(r.left, expected[i].Bounds.left);
    EXPECT_EQ(r.top, expected[i].Bounds.top);
    EXPECT_EQ(r.right - r.left, expected[i].Bounds.right - expected[i].Bounds.left);
    EXPECT_EQ(r.bottom - r.top, expected[i].Bounds.bottom - expected[i].Bounds.top);
    EXPECT_TRUE(IsWindowVisible(children[i]));
  }
  EXPECT_EQ(children[0], t.Kopyala);
  EXPECT_EQ(children[1], t.Edit);
  EXPECT_EQ(children[2], t.GuidOku);
  // Tools find each control by its identifier.
  std::set<int> ids;
  for (HWND child : children) {
    const int id = GetDlgCtrlID(child);
    ids.insert(id);
    EXPECT_EQ(GetDlgItem(t.Main, id), child) << "control identifier " << id;
  }
  EXPECT_EQ(ids.size(), children.size()) << "control identifiers shared";
  for (HWND button : {t.Kopyala, t.GuidOku})
    EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_TRUE(GetWindowLongW(t.Edit, GWL_STYLE) & ES_READONLY);
}

TEST_F(MainWindow, ClicksAndTabLeaveTheFocusInTheEditBox) {
  TTelvora& t = Telvora();
  // A click into the edit box puts the focus there whatever happened before.
  ASSERT_TRUE(t.Click(t.Edit));
  ASSERT_TRUE(FocusInEditBox(t));
  ReadGuid();
  EXPECT_EQ(FocusOf(t.Main), t.Edit) << "after GUID Oku";
  ASSERT_TRUE(t.Click(t.Kopyala));
  ASSERT_TRUE(t.Sync());
  EXPECT_EQ(FocusOf(t.Main), t.Edit) << "after Kopyala";
  for (const std::vector<WORD>& keys :
       {std::vector<WORD>{VK_TAB}, {VK_SHIFT, VK_TAB}, {VK_TAB}, {VK_TAB}}) {
    ASSERT_TRUE(PressKeys(keys));
    ASSERT_TRUE(t.Sync());
    EXPECT_EQ(FocusOf(t.Main), t.Edit) << "after " << (keys.size() == 2 ? "Shift+Tab" : "Tab");
  }
  EXPECT_EQ(GuiThreadState(t.Main).Capture, nullptr);
}

TEST_F(MainWindow, GuidOkuShowsTheRegistrysMachineGuidAndASecondClickReplacesIt) {
  TTelvora& t = Telvora();
  std::wstring guid = ReadGuid();
  ASSERT_FALSE(guid.empty());
  ASSERT_TRUE(t.Click(t.GuidOku));
  // Kopyala after the second click: once the clipboard has the text, the
  // second click has been handled too.
  ASSERT_TRUE(CopiesToClipboard(t, guid));
  EXPECT_EQ(Narrow(t.EditText()), Narrow(guid));
}

TEST_F(MainWindow, KopyalaCopiesTheWholeTextWhateverIsSelected) {
  TTelvora& t = Telvora();
  std::wstring guid = ReadGuid();
  ASSERT_GE(guid.size(), 6u);
  // Select a part of the text with the mouse: press near its start, drag.
  RECT edit{};
  GetWindowRect(t.Edit, &edit);
  const LONG middle = (edit.top + edit.bottom) / 2;
  ASSERT_TRUE(MoveMouseTo({edit.left + 6, middle}));
  ASSERT_TRUE(MouseButtonDown(POINT{edit.left + 6, middle}));
  ASSERT_TRUE(MoveMouseTo({edit.left + 40, middle}));
  ASSERT_TRUE(MoveMouseTo({edit.left + 60, middle}));
  ASSERT_TRUE(MouseButtonUp(POINT{edit.left + 60, middle}));
  ASSERT_TRUE(t.Sync());
  DWORD_PTR selection = 0;
  ASSERT_TRUE(SendMessageTimeoutW(t.Edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &selection));
  const int selected = HIWORD(selection) - LOWORD(selection);
  EXPECT_GT(selected, 0) << "some of the text is selected";
  EXPECT_LT(selected, static_cast<int>(guid.size())) << "only a part of the text is selected";

  ASSERT_TRUE(WriteClipboardText(L"before"));
  ASSERT_TRUE(CopiesToClipboard(t, guid));
  // Twice in a row: the same text, once.
  ASSERT_TRUE(CopiesToClipboard(t, guid));
  EXPECT_EQ(Narrow(t.EditText()), Narrow(guid));
}

// A hand moves a few pixels while it holds the button: the click happens and
// the button is not left pushed.
TEST_F(MainWindow, AClickWithTheHandMovingAFewPixelsLeavesTheButtonUnpushed) {
  TTelvora& t = Telvora();
  std::optional<std::wstring> guid = RegistryMachineGuid();
  ASSERT_TRUE(guid);
  ASSERT_TRUE(t.Click(t.Edit));
  SendMessageTimeoutW(t.Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
  const POINT centre = WindowCentre(t.GuidOku);
  ASSERT_TRUE(MoveMouseTo(t.EmptySpot()));
  ASSERT_TRUE(MoveMouseTo(centre));
  ASSERT_TRUE(MouseButtonDown(centre));
  ASSERT_TRUE(WaitUntil([&] { return GuiThreadState(t.Main).Capture == t.GuidOku; }));
  ASSERT_TRUE(MoveMouseTo({centre.x + 3, centre.y + 1}));
  ASSERT_TRUE(MouseButtonUp(POINT{centre.x + 3, centre.y + 1}));
  EXPECT_TRUE(t.WaitForEditText(*guid));
  ASSERT_TRUE(t.Sync());
  DWORD_PTR state = 0;
  ASSERT_TRUE(SendMessageTimeoutW(t.GuidOku, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &state));
  EXPECT_EQ(state & BST_PUSHED, 0u) << "GUID Oku stays pushed";
  EXPECT_TRUE(FocusInEditBox(t));
}

// Automation tools click with BM_CLICK: once, and the focus stays in the
// edit box, wherever the pointer is.
TEST_F(MainWindow, BmClickFromAnotherProgramClicksOnceAndLeavesTheFocus) {
  TTelvora& t = Telvora();
  std::optional<std::wstring> guid = RegistryMachineGuid();
  ASSERT_TRUE(guid);
  ASSERT_TRUE(t.Click(t.Edit));
  ASSERT_TRUE(FocusInEditBox(t));
  SendMessageTimeoutW(t.Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
  ASSERT_TRUE(MoveMouseTo(t.EmptySpot()));
  ASSERT_TRUE(SendMessageTimeoutW(t.GuidOku, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr));
  EXPECT_TRUE(t.WaitForEditText(*guid));
  EXPECT_TRUE(FocusInEditBox(t));

  // One copy changes the clipboard as much as one real click on Kopyala.
  ASSERT_TRUE(WriteClipboardText(L"before"));
  DWORD before = ClipboardSequence();
  ASSERT_TRUE(CopiesToClipboard(t, *guid));
  ASSERT_TRUE(t.Sync());
  const DWORD perClick = ClipboardSequence() - before;
  ASSERT_TRUE(WriteClipboardText(L"before"));
  before = ClipboardSequence();
  ASSERT_TRUE(SendMessageTimeoutW(t.Kopyala, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr));
  ASSERT_TRUE(t.Sync());
  EXPECT_EQ(ClipboardSequence() - before, perClick) << "not exactly one copy";
  std::optional<TClipboardText> text = ReadClipboardText();
  ASSERT_TRUE(text);
  EXPECT_EQ(Narrow(text->Text), Narrow(*guid));
  EXPECT_TRUE(FocusInEditBox(t));
  EXPECT_EQ(GuiThreadState(t.Main).Capture, nullptr);
  for (HWND button : {t.GuidOku, t.Kopyala}) {
    DWORD_PTR state = 0;
    ASSERT_TRUE(SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &state));
    EXPECT_EQ(state & BST_PUSHED, 0u);
  }
}

// After the error box has gone, a click where the pointer still rests works
// at once: the box closed by Enter, and by a click on its OK button lying
// over "GUID Oku".
TEST_F(MainWindow, TheFirstClickAfterAnErrorBoxWithoutAMoveWorks) {
  TTelvora& t = Telvora();
  const std::optional<std::wstring> original = RegistryMachineGuid();
  TCryptographyKeyGuard guard;
  ASSERT_TRUE(guard.Saved()) << "could not save the Cryptography key";
  ASSERT_TRUE(guard.DeleteValue());
  const std::wstring error =
      L"Reg Name not found: \\SOFTWARE\\Microsoft\\Cryptography\\MachineGuid.";
  ASSERT_TRUE(t.Click(t.GuidOku));
  std::optional<TMessageBox> box = WaitForMessageBox(t.Id());
  ASSERT_TRUE(box) << "no error box";
  ASSERT_TRUE(CloseMessageBoxByEnter(*box));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(t.Main) != FALSE; }));

  // Pressed and released where the pointer is.
  ASSERT_TRUE(MouseButtonDown());
  ASSERT_TRUE(MouseButtonUp());
  box = WaitForMessageBox(t.Id());
  ASSERT_TRUE(box) << "the click after the box closed by Enter was lost";
  EXPECT_EQ(Narrow(box->Text), Narrow(error));
  // The box moved so that its OK button lies over GUID Oku.
  const POINT ok = WindowCentre(box->OkButton);
  const POINT target = WindowCentre(t.GuidOku);
  RECT r{};
  GetWindowRect(box->Window, &r);
  ASSERT_TRUE(SetWindowPos(box->Window, nullptr, r.left + target.x - ok.x, r.top + target.y - ok.y,
                           0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(WaitUntil([&] {
    const POINT now = WindowCentre(box->OkButton);
    return now.x == target.x && now.y == target.y;
  }));
  ASSERT_TRUE(CloseMessageBoxByClick(*box));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(t.Main) != FALSE; }));

  ASSERT_TRUE(MouseButtonDown());
  ASSERT_TRUE(MouseButtonUp());
  box = WaitForMessageBox(t.Id());
  ASSERT_TRUE(box) << "the click after the box closed by a click was lost";
  ASSERT_TRUE(CloseMessageBoxByEnter(*box));
  EXPECT_TRUE(guard.Restore());
  EXPECT_EQ(RegistryMachineGuid(), original);
}

// --- A fresh window -----------------------------------------------------------

// The window must count as visible when Windows activates it, or the
// activation finds no control that can take the focus.
TEST(FreshWindow, HasTheFocusInTheEditBoxOnceActive) {
  TTelvora t;
  ASSERT_TRUE(t.Ready()) << Narrow(t.Problem());
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == t.Main; }))
      << "the window is not active";
  EXPECT_TRUE(FocusInEditBox(t));
}

TEST(FreshWindow, ButtonsTakeNeitherTheFocusNorTheActivation) {
  TTelvora t;
  ASSERT_TRUE(t.Ready()) << Narrow(t.Problem());
  // A click into the edit box: the window is active, the focus in the box.
  ASSERT_TRUE(t.Click(t.Edit));
  ASSERT_TRUE(FocusInEditBox(t));
  ASSERT_EQ(GetForegroundWindow(), t.Main);
  // The pointer over the buttons, then clicks on them. Hovering is not
  // observable from outside, so the window is watched for a while.
  auto keepsActivationAndFocus = [&] {
    return !WaitUntil(
        [&] {
          TGuiThreadState state = GuiThreadState(t.Main);
          return state.Active != t.Main || state.Focus != t.Edit || GetForegroundWindow() != t.Main;
        },
        500ms);
  };
  for (HWND button : {t.GuidOku, t.Kopyala}) {
    SCOPED_TRACE(Narrow(WindowText(button)));
    ASSERT_TRUE(MoveMouseTo(WindowCentre(button)));
    EXPECT_TRUE(keepsActivationAndFocus())
        << "after hovering, the active window is " << Describe(GuiThreadState(t.Main).Active)
        << " and the focus in " << Describe(FocusOf(t.Main));
    ASSERT_TRUE(t.Click(button));
    EXPECT_TRUE(keepsActivationAndFocus())
        << "after a click, the active window is " << Describe(GuiThreadState(t.Main).Active)
        << " and the focus in " << Describe(FocusOf(t.Main));
  }
}

TEST(FreshWindow, KopyalaBeforeAnyReadPutsAnEmptyText) {
  TTelvora t;
  ASSERT_TRUE(t.Ready()) << Narrow(t.Problem());
  EXPECT_EQ(t.EditText(), L"");
  ASSERT_TRUE(WriteClipboardText(L"something else"));
  EXPECT_TRUE(CopiesToClipboard(t, L""));
}

TEST(FreshWindow, APressDraggedOffAButtonAndReleasedClicksNothing) {
  TTelvora t;
  ASSERT_TRUE(t.Ready()) << Narrow(t.Problem());
  ASSERT_TRUE(WriteClipboardText(L"untouched"));
  const DWORD sequence = ClipboardSequence();

  for (HWND button : {t.GuidOku, t.Kopyala}) {
    SCOPED_TRACE(Narrow(WindowText(button)));
    ASSERT_TRUE(t.PressDragOffRelease(button))
        << "the button did not take and give up the mouse capture";
    ASSERT_TRUE(t.Sync());
  }
  EXPECT_EQ(t.EditText(), L"") << "GUID Oku was clicked";
  EXPECT_EQ(ClipboardSequence(), sequence) << "Kopyala was clicked";
  std::optional<TClipboardText> clipboard = ReadClipboardText();
  ASSERT_TRUE(clipboard);
  EXPECT_EQ(clipboard->Text, L"untouched");
  EXPECT_TRUE(TopLevelWindows(t.Id()) == std::vector<HWND>{t.Main});

  // A completed click still works afterwards.
  std::optional<std::wstring> guid = RegistryMachineGuid();
  ASSERT_TRUE(guid);
  ASSERT_TRUE(t.Click(t.GuidOku));
  EXPECT_TRUE(t.WaitForEditText(*guid));
}

// --- Registry failures ---------------------------------------------------------

struct TRegistryCase {
  const char* Name;
  std::function<bool(TCryptographyKeyGuard&)> Change;
  // The error box's text; empty when the read succeeds.
  std::wstring Error;
  // The edit box's text after a successful read.
  std::wstring Shown;
  bool CloseWithEnter = false;
};

void PrintTo(const TRegistryCase& c, std::ostream* os) {
  *os << c.Name;
}

bool WriteDword(TCryptographyKeyGuard& key) {
  const DWORD value = 0x12345678;
  return key.WriteValue(REG_DWORD, &value, sizeof(value));
}

bool WriteBinary(TCryptographyKeyGuard& key) {
  const BYTE bytes[] = {'5', 0, 'b', 0, '6', 0, 0, 0};
  return key.WriteValue(REG_BINARY, bytes, sizeof(bytes));
}

bool WriteMultiString(TCryptographyKeyGuard& key) {
  const wchar_t text[] = L"one\0two\0";
  return key.WriteValue(REG_MULTI_SZ, text, sizeof(text));
}

const TRegistryCase kRegistryCases[] = {
    {"KeyMissing", [](TCryptographyKeyGuard& key) { return key.DeleteKey(); },
     L"Reg Key not found: \\SOFTWARE\\Microsoft\\Cryptography.", L"", false},
    {"ValueMissing", [](TCryptographyKeyGuard& key) { return key.DeleteValue(); },
     L"Reg Name not found: \\SOFTWARE\\Microsoft\\Cryptography\\MachineGuid.", L"", true},
    {"ValueIsDword", WriteDword, L"Invalid data type for 'MachineGuid'", L"", false},
    {"ValueIsBinary", WriteBinary, L"Invalid data type for 'MachineGuid'", L"", true},
    {"ValueIsMultiString", WriteMultiString, L"Invalid data type for 'MachineGuid'", L"", false},
    {"ValueIsExpandString",
     [](TCryptographyKeyGuard& key) {
       return key.WriteString(REG_EXPAND_SZ, L"%SystemRoot%\\{expand-me}");
     },
     L"", L"%SystemRoot%\\{expand-me}", false},
    {"ValueIsAnotherString",
     [](TCryptographyKeyGuard& key) {
       return key.WriteString(REG_SZ, L"{00000000-1111-2222-3333-444444444444}");
     },
     L"", L"{00000000-1111-2222-3333-444444444444}", false},
};

class RegistryRead : public SharedWindow, public ::testing::WithParamInterface<TRegistryCase> {
protected:
  void TearDown() override {
    if (FGuard) {
      EXPECT_TRUE(FGuard->Restore()) << "HKLM\\SOFTWARE\\Microsoft\\Cryptography not restored";
    }
    FGuard.reset();
    EXPECT_EQ(RegistryMachineGuid(), FOriginal);
  }

  std::optional<TCryptographyKeyGuard> FGuard;
  std::optional<std::wstring> FOriginal = RegistryMachineGuid();
};

TEST_P(RegistryRead, ShowsTheValueOrTheErrorAndTheWindowWorksAgain) {
  const TRegistryCase& c = GetParam();
  TTelvora& t = Telvora();
  const std::wstring guid = ReadGuid();
  ASSERT_FALSE(guid.empty());

  FGuard.emplace();
  ASSERT_TRUE(FGuard->Saved()) << "could not save the Cryptography key";
  ASSERT_TRUE(c.Change(*FGuard)) << "could not change the registry";
  ASSERT_TRUE(t.Click(t.GuidOku));

  if (c.Error.empty()) {
    EXPECT_TRUE(t.WaitForEditText(c.Shown)) << Narrow(t.EditText());
    EXPECT_TRUE(CopiesToClipboard(t, c.Shown));
    EXPECT_TRUE(TopLevelWindows(t.Id()) == std::vector<HWND>{t.Main});
    return;
  }
  ExpectErrorBox(t, L"Telvora", c.Error, c.CloseWithEnter);
  EXPECT_EQ(Narrow(t.EditText()), Narrow(guid)) << "the edit box keeps its text";

  // Both buttons work again at once: the same failure again, then a read of
  // a value that differs from the one shown, then a copy of it.
  ASSERT_TRUE(t.Click(t.GuidOku));
  ExpectErrorBox(t, L"Telvora", c.Error, !c.CloseWithEnter);
  const std::wstring other = L"{after-" + std::wstring(c.Name, c.Name + strlen(c.Name)) + L"}";
  ASSERT_TRUE(FGuard->WriteString(REG_SZ, other));
  ASSERT_TRUE(t.Click(t.GuidOku));
  EXPECT_TRUE(t.WaitForEditText(other)) << Narrow(t.EditText());
  EXPECT_TRUE(CopiesToClipboard(t, other));
}

INSTANTIATE_TEST_SUITE_P(MachineGuid, RegistryRead, ::testing::ValuesIn(kRegistryCases),
                         [](const ::testing::TestParamInfo<TRegistryCase>& info) {
                           return std::string(info.param.Name);
                         });

// --- The registry's two views ----------------------------------------------------

// On 64-bit Windows a 32-bit program sees the 32-bit view of HKLM\SOFTWARE
// (Wow6432Node) unless it asks for the other. The two views hold different
// values here; "GUID Oku" shows, and "Kopyala" copies, the 64-bit view's.
using RegistryViews = SharedWindow;

TEST_F(RegistryViews, GuidOkuShowsTheSixtyFourBitViewsValueAndKopyalaCopiesIt) {
  TTelvora& t = Telvora();
  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(t.Process().Handle(), &wow64));
  EXPECT_EQ(wow64 != FALSE, sizeof(void*) == 4)
      << "the 32-bit build's TELVORA runs under WOW64, the 64-bit build's natively";

  const auto read32 = [] {
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kCryptographyKey, kMachineGuidName,
                              KEY_WOW64_32KEY);
  };
  const std::optional<std::wstring> original64 = RegistryMachineGuid();
  const std::optional<std::wstring> original32 = read32();
  ASSERT_TRUE(original64) << "the registry has no MachineGuid";
  {
    const std::wstring value64 = L"64646464-6464-4664-8664-646464646464";
    const std::wstring value32 = L"32323232-3232-4332-8332-323232323232";
    TCryptographyKeyGuard key64;
    ASSERT_TRUE(key64.Saved()) << "could not save the Cryptography key";
    ASSERT_TRUE(key64.WriteString(REG_SZ, value64));
    TRegistryValueGuard key32(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kCryptographyKey,
                              kMachineGuidName, StringData(value32));
    ASSERT_TRUE(key32.Applied()) << "could not write the 32-bit view's value";
    ASSERT_EQ(RegistryMachineGuid(), value64);
    ASSERT_EQ(read32(), value32);

    ASSERT_TRUE(t.Click(t.GuidOku));
    EXPECT_TRUE(t.WaitForEditText(value64)) << Narrow(t.EditText());
    EXPECT_TRUE(CopiesToClipboard(t, value64));
    EXPECT_TRUE(TopLevelWindows(t.Id()) == std::vector<HWND>{t.Main});
  }
  EXPECT_EQ(RegistryMachineGuid(), original64) << "the 64-bit view's value is back";
  EXPECT_EQ(read32(), original32) << "the 32-bit view's value (or its absence) is back";
}

// --- Clipboard held by another process -----------------------------------------

using ClipboardHeld = SharedWindow;

TEST_F(ClipboardHeld, ShowsTheSystemsReasonAndEmptiesNothing) {
  TTelvora& t = Telvora();
  const std::wstring guid = ReadGuid();
  ASSERT_TRUE(WriteClipboardText(L"held content"));
  DWORD error = 0;
  {
    TClipboardHolderProcess holder;
    ASSERT_TRUE(holder.Holding());
    // The error this system gives for a clipboard held elsewhere.
    ASSERT_FALSE(OpenClipboard(nullptr));
    error = GetLastError();
    ASSERT_TRUE(t.Click(t.Kopyala));
    ExpectErrorBox(t, L"Telvora", ShownAs(CannotOpenClipboardMessage(error)), false);
    EXPECT_EQ(Narrow(t.EditText()), Narrow(guid));
  }
  std::optional<TClipboardText> clipboard = ReadClipboardText();
  ASSERT_TRUE(clipboard);
  EXPECT_EQ(Narrow(clipboard->Text), "held content") << "nothing was emptied";
  // The window works again.
  EXPECT_TRUE(CopiesToClipboard(t, guid));
}

TEST(RenamedExecutable, TitlesItsErrorBoxesAfterTheFileName) {
  TTelvora t(TStartOptions{SW_SHOWNORMAL, L"Data.Tool.exe"});
  ASSERT_TRUE(t.Ready()) << Narrow(t.Problem());
  EXPECT_EQ(Narrow(WindowText(t.Main)), "TELVORA");
  ASSERT_TRUE(BringToFront(t.Main));
  TClipboardHolderProcess holder;
  ASSERT_TRUE(holder.Holding());
  ASSERT_FALSE(OpenClipboard(nullptr));
  const DWORD error = GetLastError();
  ASSERT_TRUE(t.Click(t.Kopyala));
  ExpectErrorBox(t, L"Data", ShownAs(CannotOpenClipboardMessage(error)), true);
}

// --- Starting and closing ----------------------------------------------------

struct TShowCase {
  const char* Name;
  int ShowCommand;
  bool Zoomed;
  bool Iconic;
};

void PrintTo(const TShowCase& c, std::ostream* os) {
  *os << c.Name;
}

class StartedWith : public ::testing::TestWithParam<TShowCase> {};

TEST_P(StartedWith, OpensAsAsked) {
  const TShowCase& c = GetParam();
  TTelvora t(TStartOptions{c.ShowCommand, {}});
  ASSERT_TRUE(t.Ready()) << Narrow(t.Problem());
  EXPECT_TRUE(WaitUntil([&] { return (IsZoomed(t.Main) != FALSE) == c.Zoomed; }));
  EXPECT_TRUE(WaitUntil([&] { return (IsIconic(t.Main) != FALSE) == c.Iconic; }));
  if (c.Zoomed) {
    SIZE client = ClientSize(t.Main);
    EXPECT_GT(client.cx, 635);
    EXPECT_GT(client.cy, 74);
    // The controls keep their places.
    RECT r = ChildRect(t.Kopyala);
    EXPECT_EQ(r.left, 56);
    EXPECT_EQ(r.top, 35);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ShowCommand, StartedWith,
    ::testing::Values(TShowCase{"Normal", SW_SHOWNORMAL, false, false},
                      TShowCase{"Maximized", SW_SHOWMAXIMIZED, true, false},
                      TShowCase{"MinimizedNotActive", SW_SHOWMINNOACTIVE, false, true}),
    [](const ::testing::TestParamInfo<TShowCase>& info) { return std::string(info.param.Name); });

struct TCloseCase {
  const char* Name;
  std::function<bool(TTelvora&)> Close;
};

void PrintTo(const TCloseCase& c, std::ostream* os) {
  *os << c.Name;
}

class ClosedBy : public ::testing::TestWithParam<TCloseCase> {};

TEST_P(ClosedBy, ExitsWithCodeZero) {
  TTelvora t;
  ASSERT_TRUE(t.Ready()) << Narrow(t.Problem());
  ASSERT_TRUE(BringToFront(t.Main));
  ASSERT_TRUE(GetParam().Close(t));
  std::optional<DWORD> code = t.Process().WaitForExit();
  ASSERT_TRUE(code) << "TELVORA did not end";
  EXPECT_EQ(*code, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Closing, ClosedBy,
    ::testing::Values(
        TCloseCase{"WmClose",
                   [](TTelvora& t) { return PostMessageW(t.Main, WM_CLOSE, 0, 0) != FALSE; }},
        TCloseCase{"CloseBox",
                   [](TTelvora& t) {
                     std::optional<POINT> box = FindHitTestPoint(t.Main, HTCLOSE);
                     return box && ClickAt(*box);
                   }},
        TCloseCase{"AltF4",
                   [](TTelvora& t) {
                     // Keys go to the window with the focus:
                     // wait until it is TELVORA's.
                     return WaitForFocus(t.Main, t.Edit) && PressKeys({VK_MENU, VK_F4});
                   }}),
    [](const ::testing::TestParamInfo<TCloseCase>& info) { return std::string(info.param.Name); });

// --- 144 pixels per inch ----------------------------------------------------------

TEST(HighDpi, At144PixelsPerInchEverythingIsScaledAndWorks) {
  // The system resolution a program starts with comes from LogPixels.
  TCurrentUserDwordGuard logPixels(L"Control Panel\\Desktop", L"LogPixels", 144);
  ASSERT_TRUE(logPixels.Applied());
  TTelvora t;
  ASSERT_TRUE(t.Ready()) << Narrow(t.Problem());
  SIZE client = ClientSize(t.Main);
  EXPECT_EQ(client.cx, 953);
  EXPECT_EQ(client.cy, 111);
  const struct {
    HWND Control;
    RECT Bounds; // left, top, right, bottom
  } expected[] = {
      {t.Kopyala, {84, 53, 197, 90}},
      {t.GuidOku, {206, 53, 362, 90}},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(Narrow(WindowText(e.Control)));
    RECT r = ChildRect(e.Control);
    EXPECT_EQ(r.left, e.Bounds.left);
    EXPECT_EQ(r.top, e.Bounds.top);
    EXPECT_EQ(r.right, e.Bounds.right);
    EXPECT_EQ(r.bottom, e.Bounds.bottom);
  }
  RECT edit = ChildRect(t.Edit);
  EXPECT_EQ(edit.left, 84);
  EXPECT_EQ(edit.top, 12);
  EXPECT_EQ(edit.right, 804);
  EXPECT_EQ(edit.bottom - edit.top, EditBoxHeight(-17)) << "the height from the font of 144 dpi";

  ASSERT_TRUE(BringToFront(t.Main));
  std::optional<std::wstring> guid = RegistryMachineGuid();
  ASSERT_TRUE(guid);
  ASSERT_TRUE(t.Click(t.GuidOku));
  EXPECT_TRUE(t.WaitForEditText(*guid));
  EXPECT_TRUE(CopiesToClipboard(t, *guid));
}

} // namespace
} // namespace telvora::testing
