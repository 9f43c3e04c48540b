// The push button in a real form: hot and pressed as the pointer and the
// left button go, clicks by the mouse, the keyboard and the accelerator and
// by other programs (BM_CLICK, WM_SETTEXT, EnableWindow), double and repeated
// clicks, modal results, the look-and-feel it is drawn with, its caption's
// size and right-to-left reading. The pointer and the left button are moved
// and pressed for real.

#include "ui/buttons/tests/cxButtonTestFixture.h"

#include "platform/Application.h"
#include "platform/SysUtils.h"
#include "ui/lookandfeel/cxLookAndFeels.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace telvora {
namespace {

using testing::PumpPending;
using testing::PumpUntil;

TEST_F(ButtonStates, ReEnabledButtonIsNormalUntilThePointerMoves) {
  Enter();
  FButton->SetEnabled(false);
  EXPECT_FALSE(Hot());
  EXPECT_EQ(Painted(), cxbsDisabled);
  FButton->SetEnabled(true);
  PumpPending();
  EXPECT_EQ(Painted(), cxbsNormal);
  Enter(1);
  EXPECT_EQ(Painted(), cxbsHot);
}

// A hand moves a few pixels while it holds the button down, or drags off and
// back: the release leaves the button hot, never pushed, and normal once the
// pointer has gone.
TEST_F(ButtonStates, PointerMovedWhileHeldReleasesToHotThenNormal) {
  struct TCase {
    const char* Name;
    std::vector<int> Moves; // horizontal offsets from the centre, in order
  };
  const TCase cases[] = {
      {"three pixels", {3}},
      {"one pixel at a time", {1, 2, 3, 2}},
      {"dragged off and back", {300, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FClicks = 0;
    Enter();
    ASSERT_TRUE(testing::MouseButtonDown());
    ASSERT_TRUE(PumpUntil([&] { return Pressed(); }));
    for (int dx : c.Moves) {
      ASSERT_TRUE(testing::MoveMouseTo(OnButton(dx)));
      PumpPending();
    }
    ASSERT_TRUE(PumpUntil([&] { return Hot(); }));
    EXPECT_EQ(Painted(), cxbsPressed);
    ASSERT_TRUE(testing::MouseButtonUp());
    ASSERT_TRUE(PumpUntil([&] { return !Pressed(); }));
    EXPECT_EQ(FClicks, 1);
    EXPECT_EQ(SendMessageW(FButton->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_EQ(Painted(), cxbsHot);
    MoveAway();
    ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
    EXPECT_EQ(SendMessageW(FButton->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_EQ(Painted(), cxbsNormal);
  }
}

// A modal box disables the form: tracking ends and the hot look goes. Once
// the box has gone, a press where the pointer still rests clicks.
TEST_F(Button, PressWithoutAMoveAfterTheFormWasDisabledClicks) {
  Enter();
  EnableWindow(FForm->Handle(), FALSE);
  ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
  EnableWindow(FForm->Handle(), TRUE);
  PumpPending();
  ASSERT_TRUE(testing::MouseButtonDown());
  ASSERT_TRUE(PumpUntil([&] { return Pressed(); }));
  EXPECT_TRUE(Hot());
  ASSERT_TRUE(testing::MouseButtonUp());
  ASSERT_TRUE(PumpUntil([&] { return !Pressed(); }));
  EXPECT_EQ(FClicks, 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

// Other programs and accessibility tools set the text with WM_SETTEXT.
TEST_F(Button, WindowTextSetByAnotherProgramIsTheCaption) {
  ValidateRect(FButton->Handle(), nullptr);
  ASSERT_TRUE(SendMessageW(FButton->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Ye&ni")));
  EXPECT_EQ(ToUtf8(FButton->Caption()), "Ye&ni");
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(FButton->Handle(), &update, FALSE)) << "no repaint asked for";
  FButton->Repaint();
  EXPECT_EQ(ToUtf8(FButton->ViewInfo().Params().Caption), "Ye&ni");
  EXPECT_EQ(FButton->Perform(CM_DIALOGCHAR, L'o'), 0);
  EXPECT_EQ(FButton->Perform(CM_DIALOGCHAR, L'n'), 1);
  EXPECT_EQ(FClicks, 1);
  // The framework's own setter still works, and the window shows it.
  FButton->SetCaption(L"&Oku");
  wchar_t text[16]{};
  GetWindowTextW(FButton->Handle(), text, 16);
  EXPECT_EQ(ToUtf8(text), "&Oku");
}

TEST_F(ButtonStates, EnableWindowFromOutsideGivesTheDisabledLook) {
  Enter();
  ValidateRect(FButton->Handle(), nullptr);
  EnableWindow(FButton->Handle(), FALSE);
  EXPECT_FALSE(FButton->Enabled());
  EXPECT_FALSE(Hot());
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(FButton->Handle(), &update, FALSE)) << "no repaint asked for";
  EXPECT_EQ(Painted(), cxbsDisabled);
  EXPECT_EQ(FButton->Perform(CM_DIALOGCHAR, L'o'), 0);
  EnableWindow(FButton->Handle(), TRUE);
  EXPECT_TRUE(FButton->Enabled());
  EXPECT_EQ(Painted(), cxbsNormal);
  EXPECT_EQ(FButton->Perform(CM_DIALOGCHAR, L'o'), 1);
  EXPECT_EQ(FClicks, 1);
}

// BM_CLICK, as automation tools send it: one click, no focus taken, nothing
// left pressed or hot by it.
TEST_F(ButtonStates, BmClickClicksANonFocusableButtonOnce) {
  struct TCase {
    const char* Name;
    bool PointerOver;
    bool Enabled;
    bool FormEnabled;
    int Clicks;
  };
  const TCase cases[] = {
      {"pointer elsewhere", false, true, true, 1},
      {"pointer over the button", true, true, true, 1},
      {"disabled", false, false, true, 0},
      {"form disabled by a modal box", false, true, false, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.PointerOver)
      Enter();
    FButton->SetEnabled(c.Enabled);
    EnableWindow(FForm->Handle(), c.FormEnabled);
    const bool hotBefore = Hot();
    FClicks = 0;
    SendMessageW(FButton->Handle(), BM_CLICK, 0, 0);
    PumpPending();
    EXPECT_EQ(FClicks, c.Clicks);
    EXPECT_FALSE(Pressed());
    EXPECT_EQ(Hot(), hotBefore && c.Enabled);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessageW(FButton->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    if (c.FormEnabled) {
      EXPECT_EQ(testing::FocusOf(FForm->Handle()), FEdit->Handle());
    }
    EnableWindow(FForm->Handle(), TRUE);
    FEdit->SetFocus();
    if (c.Enabled) {
      EXPECT_EQ(Painted(), c.PointerOver ? cxbsHot : cxbsNormal);
    }
    FButton->SetEnabled(true);
    MoveAway();
    ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
  }
  // A button that can be focused is clicked as the Windows button is: the
  // press takes the focus.
  FButton->SpeedButtonOptions().SetCanBeFocused(true);
  FClicks = 0;
  SendMessageW(FButton->Handle(), BM_CLICK, 0, 0);
  PumpPending();
  EXPECT_EQ(FClicks, 1);
  EXPECT_EQ(GetFocus(), FButton->Handle());
  EXPECT_FALSE(Pressed());
  EXPECT_EQ(SendMessageW(FButton->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
}

// Focusable buttons: the focused button is the active one, else the default
// buttons are. Enter clicks the active button; the default look follows.
class ButtonFocus : public ButtonStates {
public:
  void SetUp() override {
    ButtonStates::SetUp();
    if (HasFatalFailure())
      return;
    for (int i = 0; i < 2; ++i) {
      auto* button = new TTestButton(FForm.get());
      button->SetBounds(120 + 90 * i, 60, 80, 30);
      button->SetCaption(i == 0 ? L"A" : L"B");
      button->LookAndFeel().SetNativeStyle(false);
      button->LookAndFeel().SetSkinName(kRecorderName);
      button->SetParent(FForm.get());
      button->OnClick = [this, i](TObject*) { ++FFocusableClicks[i]; };
      FFocusable[i] = button;
    }
    FFocusable[0]->SetDefault(true);
    // The non-focusable button is a default button too: Enter never clicks it.
    FButton->SetDefault(true);
    FEdit->SetFocus();
    PumpPending();
  }

  // Presses Enter through the application's message loop.
  void PressEnter() {
    const int before = FFocusableClicks[0] + FFocusableClicks[1] + FClicks;
    ASSERT_TRUE(testing::PressKeys({VK_RETURN}));
    const ULONGLONG limit = GetTickCount64() + 3000;
    while (FFocusableClicks[0] + FFocusableClicks[1] + FClicks == before &&
           GetTickCount64() < limit) {
      Application()->ProcessMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    Application()->ProcessMessages();
  }

  TcxButtonState PaintedOf(TcxButton* AButton) {
    FRecorder->States.clear();
    AButton->Repaint();
    return FRecorder->States.empty() ? cxbsPressed : FRecorder->States.back();
  }

  TTestButton* FFocusable[2]{};
  int FFocusableClicks[2]{};
};

TEST_F(ButtonFocus, EnterClicksTheFocusedButtonElseTheDefaultOne) {
  struct TCase {
    const char* Name;
    std::function<void(ButtonFocus&)> Arrange;
    int ClickedA, ClickedB;
    TcxButtonState LookA, LookB;
  };
  const TCase cases[] = {
      {"focus in the edit box", [](ButtonFocus&) {}, 1, 0, cxbsDefault, cxbsNormal},
      {"focus on the other button", [](ButtonFocus& t) { t.FFocusable[1]->SetFocus(); }, 0, 1,
       cxbsNormal, cxbsDefault},
      {"focus on the default button", [](ButtonFocus& t) { t.FFocusable[0]->SetFocus(); }, 1, 0,
       cxbsDefault, cxbsNormal},
      {"default moved after the windows exist",
       [](ButtonFocus& t) {
         t.FFocusable[0]->SetDefault(false);
         t.FFocusable[1]->SetDefault(true);
       },
       0, 1, cxbsNormal, cxbsDefault},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FFocusable[0]->SetDefault(true);
    FFocusable[1]->SetDefault(false);
    FEdit->SetFocus();
    PumpPending();
    c.Arrange(*this);
    PumpPending();
    EXPECT_EQ(PaintedOf(FFocusable[0]), c.LookA);
    EXPECT_EQ(PaintedOf(FFocusable[1]), c.LookB);
    FFocusableClicks[0] = FFocusableClicks[1] = FClicks = 0;
    PressEnter();
    EXPECT_EQ(FFocusableClicks[0], c.ClickedA);
    EXPECT_EQ(FFocusableClicks[1], c.ClickedB);
    EXPECT_EQ(FClicks, 0) << "the button that cannot be focused was clicked";
  }
}

struct TAccelCase {
  const char* Name;
  std::wstring Caption;
  wchar_t Key;
  bool Enabled;
  bool Visible;
  bool Clicks;
};

TEST_F(Button, AcceleratorClicksANonFocusableButton) {
  const TAccelCase cases[] = {
      {"lower case", L"&Oku", L'o', true, true, true},
      {"upper case", L"&Oku", L'O', true, true, true},
      {"letter inside", L"GUID &Oku", L'o', true, true, true},
      {"other letter", L"&Oku", L'k', true, true, false},
      {"no accelerator", L"Oku", L'o', true, true, false},
      {"escaped ampersand", L"&&Oku", L'o', true, true, false},
      {"disabled", L"&Oku", L'o', false, true, false},
      {"hidden", L"&Oku", L'o', true, false, false},
  };
  for (const TAccelCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FButton->SetCaption(c.Caption);
    FButton->SetEnabled(c.Enabled);
    FButton->SetVisible(c.Visible);
    FClicks = 0;
    FAccelDuringClick = false;
    LRESULT result = FButton->Perform(CM_DIALOGCHAR, c.Key);
    EXPECT_EQ(FClicks, c.Clicks ? 1 : 0);
    EXPECT_EQ(result, c.Clicks ? 1 : 0);
    EXPECT_EQ(FAccelDuringClick, c.Clicks);
    EXPECT_FALSE(FButton->InternalStates().Contains(bisAccelExecute));
    EXPECT_EQ(testing::FocusOf(FForm->Handle()), FEdit->Handle());
  }
}

TEST_F(Button, AltWithTheAcceleratorClicksThroughTheMessageLoop) {
  FButton->SetCaption(L"GUID &Oku");
  FClicks = 0;
  ASSERT_TRUE(testing::PressKeys({VK_MENU, 'O'}));
  // The application's loop turns the key into the accelerator message.
  const ULONGLONG limit = GetTickCount64() + 10000;
  while (FClicks == 0 && GetTickCount64() < limit) {
    Application()->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  EXPECT_EQ(FClicks, 1);
  EXPECT_EQ(testing::FocusOf(FForm->Handle()), FEdit->Handle());
}

TEST_F(Button, DialogKeysNeverClickANonFocusableButton) {
  FButton->SetDefault(true);
  FButton->SetCancel(true);
  EXPECT_EQ(FButton->Perform(CM_DIALOGKEY, VK_RETURN), 0);
  EXPECT_EQ(FButton->Perform(CM_DIALOGKEY, VK_ESCAPE), 0);
  EXPECT_EQ(FClicks, 0);
}

TEST_F(Button, DoubleClickGivesTwoClicks) {
  struct TCase {
    bool CanBeFocused;
    int GroupIndex;
    int DblClicks;
  };
  for (TCase c : {TCase{false, 0, 0}, TCase{false, 1, 1}, TCase{true, 0, 0}}) {
    SCOPED_TRACE(ToUtf8(L"focusable " + std::to_wstring(c.CanBeFocused) + L", group " +
                        std::to_wstring(c.GroupIndex)));
    FButton->SpeedButtonOptions().SetCanBeFocused(c.CanBeFocused);
    FButton->SpeedButtonOptions().SetGroupIndex(c.GroupIndex);
    FClicks = 0;
    FDblClicks = 0;
    Enter();
    INPUT inputs[4]{};
    for (int i = 0; i < 4; ++i) {
      inputs[i].type = INPUT_MOUSE;
      inputs[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    ASSERT_EQ(SendInput(4, inputs, sizeof(INPUT)), 4u);
    ASSERT_TRUE(PumpUntil([&] { return FClicks >= 2 && !Pressed() && GetCapture() == nullptr; }));
    PumpPending();
    EXPECT_EQ(FClicks, 2);
    EXPECT_EQ(FDblClicks, c.DblClicks);
    // Only a focusable button takes the focus with the press.
    EXPECT_EQ(testing::FocusOf(FForm->Handle()),
              c.CanBeFocused ? FButton->Handle() : FEdit->Handle());
    MoveAway();
    ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
  }
}

// The application window as a test sees it: answers the key-down
// forwarding message as told and counts it.
WNDPROC gApplicationProc = nullptr;
LRESULT gAppKeyDownAnswer = 0;
int gAppKeyDowns = 0;

LRESULT CALLBACK ApplicationTestProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == CM_APPKEYDOWN) {
    ++gAppKeyDowns;
    return gAppKeyDownAnswer;
  }
  return CallWindowProcW(gApplicationProc, w, m, wp, lp);
}

TEST_F(Button, KeysAreOfferedToTheApplicationWindowFirst) {
  HWND application = Application()->Handle();
  ASSERT_NE(application, nullptr);
  gApplicationProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      application, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ApplicationTestProc)));
  FButton->SpeedButtonOptions().SetCanBeFocused(true);
  FButton->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == FButton->Handle(); }));
  struct TCase {
    LRESULT Answer;
    bool Pushed;
  };
  for (TCase c : {TCase{1, false}, TCase{0, true}}) {
    SCOPED_TRACE(c.Answer);
    gAppKeyDowns = 0;
    gAppKeyDownAnswer = c.Answer;
    // Space pushes a button in the Windows button procedure, unless the
    // application window has taken the key.
    SendMessageW(FButton->Handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
    EXPECT_EQ(gAppKeyDowns, 1);
    EXPECT_EQ((SendMessageW(FButton->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0, c.Pushed);
    SendMessageW(FButton->Handle(), BM_SETSTATE, FALSE, 0);
  }
  SetWindowLongPtrW(application, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gApplicationProc));
}

TEST_F(Button, RepeatClickWhileHeld) {
  FButton->SetRepeatClick(true);
  TcxTimer& timer = FButton->ButtonPressTimer();
  EXPECT_FALSE(timer.Enabled());
  auto ticks = std::make_shared<int>(0);
  TNotifyEvent original = timer.OnTimer();
  timer.SetOnTimer([ticks, original](TObject* Sender) {
    ++*ticks;
    original(Sender);
  });

  Enter();
  ASSERT_TRUE(testing::MouseButtonDown());
  ASSERT_TRUE(PumpUntil([&] { return Pressed(); }));
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 400u);
  EXPECT_EQ(FClicks, 0);

  // Each tick while held over the button clicks; from the first on every
  // 100 ms.
  ASSERT_TRUE(PumpUntil([&] { return *ticks >= 3; }));
  EXPECT_EQ(FClicks, *ticks);
  EXPECT_EQ(timer.Interval(), 100u);

  // Off the button the ticks go on without clicking.
  MoveAway();
  ASSERT_TRUE(PumpUntil([&] { return !Hot(); }));
  const int clicksOff = FClicks;
  const int ticksOff = *ticks;
  ASSERT_TRUE(PumpUntil([&] { return *ticks >= ticksOff + 2; }));
  EXPECT_EQ(FClicks, clicksOff);
  EXPECT_TRUE(timer.Enabled());

  // Back over it the repeats resume; the release gives one click more and
  // stops the timer.
  ASSERT_TRUE(testing::MoveMouseTo(OnButton()));
  ASSERT_TRUE(PumpUntil([&] { return FClicks > clicksOff; }));
  const int before = FClicks;
  ASSERT_TRUE(testing::MouseButtonUp());
  ASSERT_TRUE(PumpUntil([&] { return !Pressed(); }));
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(FClicks, before + 1);
}

TEST_F(Button, ClickSetsTheFormsModalResult) {
  FButton->SetModalResult(2);
  FForm->SetModalResult(0);
  Enter();
  ASSERT_TRUE(testing::ClickAt(OnButton()));
  ASSERT_TRUE(PumpUntil([&] { return FClicks == 1; }));
  EXPECT_EQ(FForm->ModalResult(), 2);
}

// What a one-shot thread timer runs once a modal loop handles messages.
std::function<void()> gModalStep;

VOID CALLBACK RunModalStep(HWND, UINT, UINT_PTR AId, DWORD) {
  KillTimer(nullptr, AId);
  if (auto step = std::move(gModalStep)) {
    gModalStep = nullptr;
    step();
  }
}

void RunInModalLoop(std::function<void()> AStep) {
  gModalStep = std::move(AStep);
  SetTimer(nullptr, 0, 100, RunModalStep);
}

// A form shown modally disables the other windows until a button with a
// modal result is clicked with the mouse, or the form is closed (mrCancel);
// then the others are enabled again and the form hides.
TEST_F(Button, ModalResultOfAClickedButtonEndsAModalForm) {
  TButtonTestForm dialog(nullptr);
  dialog.SetClientSize(200, 80);
  auto* ok = new TcxButton(&dialog);
  ok->SetBounds(10, 10, 75, 25);
  ok->SetCaption(L"OK");
  ok->SpeedButtonOptions().SetCanBeFocused(false);
  ok->SetModalResult(mrOk);
  ok->SetParent(&dialog);
  dialog.HandleNeeded();
  SetWindowPos(dialog.Handle(), HWND_TOP, 160, 330, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);

  bool ownerDisabled = false;
  RunInModalLoop([&] {
    ownerDisabled = !IsWindowEnabled(FForm->Handle());
    ASSERT_TRUE(testing::ClickAt(CentreOf(ok->Handle())));
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(FForm->Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog.Handle()));

  RunInModalLoop([&] { PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_TRUE(IsWindowEnabled(FForm->Handle()));
  testing::MouseButtonUp();
  PumpPending();
}

TEST_F(Button, LookAndFeelChangeRepaintsOrRecreatesTheWindow) {
  struct TCase {
    bool UseSystemPaint;
    bool Recreated;
  };
  TcxLookAndFeelKind kind = lfStandard;
  for (TCase c : {TCase{false, false}, TCase{true, true}}) {
    SCOPED_TRACE(c.UseSystemPaint);
    FButton->SetUseSystemPaint(c.UseSystemPaint);
    HWND before = FButton->Handle();
    ValidateRect(before, nullptr);
    ASSERT_FALSE(Invalidated(before));
    kind = kind == lfStandard ? lfFlat : lfStandard;
    FButton->LookAndFeel().SetKind(kind);
    EXPECT_EQ(FButton->LookAndFeel().Kind(), kind);
    EXPECT_EQ(FButton->HandleAllocated() && FButton->Handle() != before, c.Recreated);
    if (!c.Recreated) {
      EXPECT_TRUE(Invalidated(before));
    }
    PumpPending();
  }
}

TEST(ButtonText, AcceleratorMarkersRemoved) {
  struct TCase {
    const wchar_t* Caption;
    const wchar_t* Text;
  };
  const TCase cases[] = {{L"&Oku", L"Oku"}, {L"GUID &Oku", L"GUID Oku"},
                         {L"A&&B", L"A&B"}, {L"Kopyala", L"Kopyala"},
                         {L"&", L""},       {L"", L""}};
  for (const TCase& c : cases)
    EXPECT_EQ(RemoveAccelChars(c.Caption), c.Text) << ToUtf8(c.Caption);
}

TEST(ButtonText, OptimalSizeFollowsTheCaptionAndFont) {
  TcxButton button(nullptr);
  button.SetCaption(L"Oku");
  const SIZE plain = button.GetOptimalSize();
  button.SetCaption(L"&Oku");
  const SIZE marked = button.GetOptimalSize();
  EXPECT_EQ(marked.cx, plain.cx);
  EXPECT_EQ(marked.cy, plain.cy);
  button.SetCaption(L"Oku Oku");
  EXPECT_GT(button.GetOptimalSize().cx, plain.cx);
  // Without text the size is that of one blank: three "R" widths and more.
  button.SetCaption(L"");
  const SIZE empty = button.GetOptimalSize();
  EXPECT_GT(empty.cx, 0);
  EXPECT_LT(empty.cx, plain.cx);
  button.SetCaption(L" ");
  EXPECT_EQ(button.GetOptimalSize().cx, empty.cx);
  // A larger font: taller by 14/8 of its line height.
  button.Font().SetHeight(-22);
  const SIZE large = button.GetOptimalSize();
  EXPECT_GT(large.cy, plain.cy);
  EXPECT_GT(large.cy, 22 * 14 / 8 - 1);
}

// The painter chosen for each look-and-feel, as a form description sets it.
TEST(ButtonLookAndFeel, PainterFromTheFormDescription) {
  struct TCase {
    const wchar_t* Kind;
    TcxLookAndFeelStyle Style;
    bool HotTrack;
  };
  const bool themed = AreVisualStylesAvailable(totButton);
  const TCase cases[] = {
      {L"lfStandard", lfsStandard, false},
      {L"lfFlat", lfsFlat, false},
      {L"lfUltraFlat", lfsUltraFlat, true},
      // The Office 11 painter never draws a button.
      {L"lfOffice11", themed ? lfsNative : lfsStandard, themed},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.Kind));
    TcxButton button(nullptr);
    int changes = 0;
    TPropertyValue nativeStyle;
    nativeStyle.Kind = TPropertyValue::TKind::Identifier;
    nativeStyle.Text = L"False";
    ASSERT_TRUE(button.SetProperty(L"LookAndFeel.NativeStyle", nativeStyle));
    auto previous = button.LookAndFeel().OnChanged;
    button.LookAndFeel().OnChanged = [&](TcxLookAndFeel* Sender, TcxLookAndFeelValues Values) {
      ++changes;
      previous(Sender, Values);
    };
    TPropertyValue kind;
    kind.Kind = TPropertyValue::TKind::Identifier;
    kind.Text = c.Kind;
    ASSERT_TRUE(button.SetProperty(L"LookAndFeel.Kind", kind));
    EXPECT_TRUE(button.LookAndFeel().IsKindStored());
    ASSERT_NE(button.GetPainter(), nullptr);
    EXPECT_EQ(button.GetPainter()->LookAndFeelStyle(), c.Style);
    EXPECT_EQ(button.CanHotTrack(), c.HotTrack);
    // Only the native and skin painters fade.
    EXPECT_EQ(button.CanFade(), c.Style == lfsNative && c.HotTrack);
    // One report, unless the kind was already in force.
    EXPECT_EQ(changes, std::wstring(c.Kind) == L"lfUltraFlat" ? 0 : 1);
    button.LookAndFeel().OnChanged = previous;
  }
}

struct TRightToLeftCase {
  const char* Name;
  bool MiddleEast;
  TBiDiMode Mode;
  UINT Flags;
  TButtonLayout Layout;
  bool MenuPartLeft;
};

// Right to left reaches the layout (a left glyph goes right, the menu part
// of a split button to the left) and the text flags, only where the system
// locale has right-to-left languages.
TEST(ButtonRightToLeft, AlignmentAndReadingFromBiDiMode) {
  const TRightToLeftCase cases[] = {
      {"left to right", true, bdLeftToRight, 0, blGlyphLeft, false},
      {"right to left", true, bdRightToLeft, DT_RIGHT | DT_RTLREADING, blGlyphRight, true},
      {"reading only", true, bdRightToLeftReadingOnly, DT_RTLREADING, blGlyphLeft, false},
      {"no Middle East locale", false, bdRightToLeft, 0, blGlyphLeft, false},
  };
  const bool middleEast = SysLocale().MiddleEast;
  for (const TRightToLeftCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SysLocale().MiddleEast = c.MiddleEast;
    TButtonTestForm form(nullptr);
    form.SetClientSize(200, 60);
    auto* button = new TcxButton(&form);
    button->SetBounds(10, 10, 120, 25);
    button->SetCaption(L"Split");
    button->SetKind(cxbkDropDownButton);
    button->SetParent(&form);
    form.SetBiDiMode(c.Mode);
    form.HandleNeeded();
    form.Show(SW_SHOWNOACTIVATE);
    button->Repaint();
    TcxButtonViewInfo& info = button->ViewInfo();
    EXPECT_EQ(info.BiDiFlags(), c.Flags);
    EXPECT_EQ(info.Painter().GetBiDiFlags(), c.Flags);
    EXPECT_EQ(info.Layout(), c.Layout);
    EXPECT_EQ(info.DropDownButtonRect().left == 0, c.MenuPartLeft);
    EXPECT_EQ(button->UseRightToLeftAlignment(), (c.Flags & DT_RIGHT) != 0);
  }
  SysLocale().MiddleEast = middleEast;
}

} // namespace
} // namespace telvora
