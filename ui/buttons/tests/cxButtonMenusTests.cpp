// Drop-down and context menus of the push button with real Windows menus,
// the real mouse and the real keyboard: when the menu opens, where, what a
// click on the menu part does while it is open, which components are
// accepted as menus, and the context menu's shortcuts.

#include "platform/FormReader.h"
#include "platform/Forms.h"
#include "platform/Handles.h"
#include "platform/Menus.h"
#include "tests/support/Desktop.h"
#include "tests/support/MenuAnimation.h"
#include "tests/support/MessagePump.h"
#include "ui/buttons/cxButtons.h"
#include "ui/support/cxImageList.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace telvora {
namespace {

using testing::PumpPending;
using testing::PumpUntil;

class TMenuTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TMenuTestForm"; }
};

// The open popup menu window, if any.
HWND OpenMenuWindow() {
  HWND window = FindWindowW(L"#32768", nullptr);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

// Runs AStep once, from the message loop that is running (the menu's own
// while it is open), as soon as a menu is open.
std::function<void(HWND)> gWhenOpen;

VOID CALLBACK RunWhenOpen(HWND, UINT, UINT_PTR AId, DWORD) {
  HWND menu = OpenMenuWindow();
  if (menu == nullptr || !gWhenOpen)
    return;
  KillTimer(nullptr, AId);
  auto step = std::move(gWhenOpen);
  gWhenOpen = nullptr;
  step(menu);
}

void WhenMenuOpen(std::function<void(HWND AMenuWindow)> AStep) {
  gWhenOpen = std::move(AStep);
  SetTimer(nullptr, 0, 30, RunWhenOpen);
}

// While it lives, ends every menu that is open while ACondition answers
// true, so that a menu opened by mistake cannot hold the test in its loop.
class TEndMenusWhile {
public:
  explicit TEndMenusWhile(std::function<bool()> ACondition) {
    gCondition = std::move(ACondition);
    FTimer = SetTimer(nullptr, 0, 30, Tick);
  }
  ~TEndMenusWhile() {
    KillTimer(nullptr, FTimer);
    gCondition = nullptr;
  }
  TEndMenusWhile(const TEndMenusWhile&) = delete;
  TEndMenusWhile& operator=(const TEndMenusWhile&) = delete;

private:
  static VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (gCondition && gCondition() && OpenMenuWindow() != nullptr)
      EndMenu();
  }
  static inline std::function<bool()> gCondition;
  UINT_PTR FTimer = 0;
};

class ButtonMenus : public ::testing::Test {
public:
  void SetUp() override {
    FMenuAnimation = testing::MenuAnimation();
    testing::SetMenuAnimation(false);
    FForm = std::make_unique<TMenuTestForm>(nullptr);
    FForm->SetClientSize(360, 120);
    FMenu = new TPopupMenu(FForm.get());
    for (const wchar_t* caption : {L"&One", L"&Two", L"T&hree"}) {
      auto* item = new TMenuItem(FForm.get());
      item->SetCaption(caption);
      item->OnClick = [this, caption](TObject*) { FChosen = caption; };
      FMenu->Items()->Add(item);
    }
    FMenu->OnPopup = [this](TObject*) {
      ++FPopups;
      FHeldAtPopup = GetAsyncKeyState(VK_LBUTTON) < 0;
      FStateAtPopup = FButton->GetButtonState();
    };
    FButton = new TcxButton(FForm.get());
    FButton->SetBounds(20, 20, 120, 25);
    FButton->SetCaption(L"Split");
    FButton->SpeedButtonOptions().SetCanBeFocused(false);
    FButton->SetKind(cxbkDropDownButton);
    FButton->SetDropDownMenu(FMenu);
    FButton->SetParent(FForm.get());
    FButton->OnClick = [this](TObject*) { ++FClicks; };
    FForm->HandleNeeded();
    MoveForm(100, 100);
    FForm->Show(SW_SHOW);
    testing::BringToFront(FForm->Handle());
    PumpPending();
  }
  void TearDown() override {
    gWhenOpen = nullptr;
    testing::MouseButtonUp();
    if (OpenMenuWindow() != nullptr)
      EndMenu();
    PumpPending();
    FForm.reset();
    PumpPending();
    testing::SetMenuAnimation(FMenuAnimation);
  }

  void MoveForm(int ALeft, int ATop) {
    SetWindowPos(FForm->Handle(), HWND_TOP, ALeft, ATop, 0, 0, SWP_NOSIZE);
  }
  RECT ScreenRect(TWinControl* AControl) {
    RECT r{};
    GetWindowRect(AControl->Handle(), &r);
    return r;
  }
  // A point in the middle of the menu part, or of the main part.
  POINT MenuPart() {
    const RECT bounds = FButton->GetMenuButtonBounds();
    POINT p{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(FButton->Handle(), &p);
    return p;
  }
  POINT MainPart() {
    POINT p{10, 12};
    ClientToScreen(FButton->Handle(), &p);
    return p;
  }
  bool MenuClosed() {
    return OpenMenuWindow() == nullptr && !FButton->InternalStates().Contains(bisMenuVisible);
  }

  std::unique_ptr<TMenuTestForm> FForm;
  TPopupMenu* FMenu = nullptr;
  TcxButton* FButton = nullptr;
  int FClicks = 0;
  int FPopups = 0;
  bool FHeldAtPopup = false;
  TcxButtonState FStateAtPopup = cxbsNormal;
  std::wstring FChosen;
  bool FMenuAnimation = false;
};

// The menu part opens the menu on the press, before the release; choosing
// an item runs it; the press raises no OnClick. The main part clicks.
TEST_F(ButtonMenus, SplitButtonOpensOnThePressOfItsMenuPart) {
  WhenMenuOpen([](HWND) {
    testing::MouseButtonUp();
    testing::PressKeys({VK_DOWN, VK_RETURN});
  });
  ASSERT_TRUE(testing::MoveMouseTo(MenuPart()));
  ASSERT_TRUE(testing::MouseButtonDown(MenuPart()));
  ASSERT_TRUE(PumpUntil([&] { return FPopups == 1 && !FChosen.empty() && MenuClosed(); }));
  EXPECT_TRUE(FHeldAtPopup);
  EXPECT_EQ(FChosen, L"&One");
  PumpPending();
  EXPECT_EQ(FClicks, 0);
  // The main part is an ordinary button.
  ASSERT_TRUE(testing::ClickAt(MainPart()));
  ASSERT_TRUE(PumpUntil([&] { return FClicks == 1; }));
  EXPECT_EQ(FPopups, 1);
}

// A click on the menu part while the menu is open closes the menu and does
// not open it again: on the split button, whose menu opens on the press of
// its menu part, and on the kinds whose whole button is the menu part, whose
// menu opens on the click. The next click opens the menu again.
TEST_F(ButtonMenus, ClickOnTheMenuPartWhileOpenClosesWithoutReopening) {
  const struct {
    TcxButtonKind Kind;
    const char* Name;
  } cases[] = {{cxbkDropDownButton, "cxbkDropDownButton"},
               {cxbkDropDown, "cxbkDropDown"},
               {cxbkOfficeDropDown, "cxbkOfficeDropDown"}};
  for (const auto& [kind, name] : cases) {
    SCOPED_TRACE(name);
    FButton->SetKind(kind);
    PumpPending();
    const bool split = kind == cxbkDropDownButton;
    // Opens the menu as a person does: a press on the split button's menu
    // part (held until the menu is open), a click on the other kinds.
    auto open = [&] {
      if (split)
        return testing::MouseButtonDown(MenuPart());
      return testing::ClickAt(MenuPart());
    };
    FPopups = 0;
    FClicks = 0;
    // Releases the button handles once the menu has been open and closed.
    int releasesAfterMenu = 0;
    FButton->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
      if (FPopups > 0 && !FButton->InternalStates().Contains(bisMenuVisible))
        ++releasesAfterMenu;
    };
    TScopeExit forget([this] { FButton->OnMouseUp = nullptr; });
    {
      // A second menu would be opened by mistake: it is counted, then closed.
      TEndMenusWhile endSecondMenu([&] { return FPopups > 1; });
      WhenMenuOpen([&](HWND) {
        if (split)
          testing::MouseButtonUp(MenuPart());
        testing::ClickAt(MenuPart());
      });
      ASSERT_TRUE(testing::MoveMouseTo(MenuPart()));
      ASSERT_TRUE(open());
      // The closing click's release has been handled, and with it whatever
      // it asked for.
      ASSERT_TRUE(PumpUntil([&] { return FPopups >= 1 && releasesAfterMenu == 1; }));
      PumpPending();
    }
    EXPECT_EQ(FPopups, 1);
    EXPECT_TRUE(MenuClosed());
    EXPECT_TRUE(FChosen.empty());
    EXPECT_EQ(FClicks, 0);

    WhenMenuOpen([](HWND) { EndMenu(); });
    ASSERT_TRUE(open());
    ASSERT_TRUE(PumpUntil([&] { return FPopups == 2 && MenuClosed(); }));
    testing::MouseButtonUp(MenuPart());
    PumpPending();
    EXPECT_EQ(FClicks, 0);
  }
}

// The drop-down kind opens the menu on a click anywhere and paints pressed
// while it is open; it raises no OnClick.
TEST_F(ButtonMenus, DropDownKindOpensOnAClickAndPaintsPressedMeanwhile) {
  FButton->SetKind(cxbkDropDown);
  PumpPending();
  WhenMenuOpen([](HWND) { EndMenu(); });
  ASSERT_TRUE(testing::ClickAt(MainPart()));
  ASSERT_TRUE(PumpUntil([&] { return FPopups == 1 && MenuClosed(); }));
  EXPECT_EQ(FStateAtPopup, cxbsPressed);
  EXPECT_EQ(FClicks, 0);
  EXPECT_TRUE(FChosen.empty());
}

// Another program's BM_CLICK on a drop-down button opens its menu as a
// click would, and raises no OnClick; on a split button it is a click of
// the main part.
TEST_F(ButtonMenus, BmClickFromAnotherProgramOpensTheDropDownMenu) {
  FButton->SetKind(cxbkDropDown);
  PumpPending();
  WhenMenuOpen([](HWND) { EndMenu(); });
  SendMessageW(FButton->Handle(), BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return FPopups == 1 && MenuClosed(); }));
  EXPECT_EQ(FClicks, 0);
  FButton->SetKind(cxbkDropDownButton);
  PumpPending();
  SendMessageW(FButton->Handle(), BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return FClicks == 1; }));
  PumpPending();
  EXPECT_EQ(FPopups, 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

// Near the bottom of the work area the menu opens above the button; where
// there is room, below it. The menu's alignment is as it was afterwards.
TEST_F(ButtonMenus, MenuNearTheBottomOfTheWorkAreaOpensAbove) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  FMenu->SetAlignment(paCenter);
  for (bool nearBottom : {false, true}) {
    SCOPED_TRACE(nearBottom ? "near the bottom" : "with room below");
    // The button's bottom 15 pixels above the bottom of the work area.
    MoveForm(100, 100);
    PumpPending();
    const int below = work.bottom - 15 - ScreenRect(FButton).bottom;
    if (nearBottom)
      MoveForm(100, 100 + below);
    PumpPending();
    RECT menu{};
    WhenMenuOpen([&](HWND AMenu) {
      GetWindowRect(AMenu, &menu);
      EndMenu();
    });
    const int popups = FPopups;
    ASSERT_TRUE(testing::MoveMouseTo(MenuPart()));
    ASSERT_TRUE(testing::MouseButtonDown(MenuPart()));
    ASSERT_TRUE(PumpUntil([&] { return FPopups == popups + 1 && MenuClosed(); }));
    testing::MouseButtonUp();
    PumpPending();
    const RECT button = ScreenRect(FButton);
    if (nearBottom)
      EXPECT_LE(menu.bottom, button.top);
    else
      EXPECT_GE(menu.top, button.bottom);
    EXPECT_LE(menu.bottom, work.bottom);
    EXPECT_EQ(FMenu->Alignment(), paCenter);
  }
}

// Only menus are taken as the drop-down or context menu; a menu that goes
// away is forgotten; names in a form description are resolved after the
// whole description.
TEST_F(ButtonMenus, OnlyMenusAreTakenAndForgottenWhenTheyGo) {
  auto images = std::make_unique<TcxImageList>(nullptr);
  FButton->SetDropDownMenu(images.get());
  EXPECT_EQ(FButton->DropDownMenu(), nullptr);
  FButton->SetPopupMenu(images.get());
  EXPECT_EQ(FButton->PopupMenu(), nullptr);
  auto menu = std::make_unique<TPopupMenu>(nullptr);
  FButton->SetDropDownMenu(menu.get());
  FButton->SetPopupMenu(menu.get());
  EXPECT_EQ(FButton->DropDownMenu(), menu.get());
  menu.reset();
  EXPECT_EQ(FButton->DropDownMenu(), nullptr);
  EXPECT_EQ(FButton->PopupMenu(), nullptr);

  TMenuTestForm form(nullptr);
  ReadComponent(&form, ParseFormDescription(LR"(object f: TMenuTestForm
  object b: TcxButton
    Kind = cxbkDropDown
    DropDownMenu = pm
    PopupMenu = il
    PopupAlignment = paRight
  end
  object pm: TPopupMenu
    object mi: TMenuItem
      Caption = 'Item'
    end
  end
  object il: TcxImageList
  end
end
)"));
  auto* b = dynamic_cast<TcxButton*>(form.FindComponent(L"b"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->DropDownMenu(), form.FindComponent(L"pm"));
  EXPECT_EQ(b->PopupMenu(), nullptr);
  EXPECT_EQ(b->PopupAlignment(), paRight);
}

// The context menu: from the keyboard at the button's corner, from a right
// click where it was; OnContextPopup may take the request; the menu's
// shortcuts are answered while the button has the focus.
TEST_F(ButtonMenus, ContextMenuFromKeyboardAndMouseAndItsShortcuts) {
  FButton->SetKind(cxbkStandard);
  FButton->SetDropDownMenu(nullptr);
  FButton->SpeedButtonOptions().SetCanBeFocused(true);
  FMenu->Items()->Items(1)->SetShortCut(TextToShortCut(L"Ctrl+T"));
  FButton->SetPopupMenu(FMenu);
  FButton->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return FButton->Focused(); }));

  RECT menu{};
  WhenMenuOpen([&](HWND AMenu) {
    GetWindowRect(AMenu, &menu);
    EndMenu();
  });
  ASSERT_TRUE(testing::PressKeys({VK_APPS}));
  ASSERT_TRUE(PumpUntil([&] { return FPopups == 1 && MenuClosed(); }));
  const RECT button = ScreenRect(FButton);
  EXPECT_EQ(menu.left, button.left);
  EXPECT_EQ(menu.top, button.top);

  WhenMenuOpen([&](HWND AMenu) {
    GetWindowRect(AMenu, &menu);
    EndMenu();
  });
  const POINT at{button.left + 30, button.top + 8};
  ASSERT_TRUE(testing::MoveMouseTo(at));
  ASSERT_TRUE(testing::RightClickAt(at));
  ASSERT_TRUE(PumpUntil([&] { return FPopups == 2 && MenuClosed(); }));
  EXPECT_EQ(menu.left, at.x);
  EXPECT_EQ(menu.top, at.y);

  FButton->OnContextPopup = [](TObject*, POINT, bool& AHandled) { AHandled = true; };
  ASSERT_TRUE(testing::PressKeys({VK_APPS}));
  const DWORD until = GetTickCount() + 300;
  PumpUntil([&] { return GetTickCount() > until; });
  EXPECT_EQ(FPopups, 2);

  ASSERT_TRUE(testing::PressKeys({VK_CONTROL, 'T'}));
  ASSERT_TRUE(PumpUntil([&] { return !FChosen.empty(); }));
  EXPECT_EQ(FChosen, L"&Two");
}

} // namespace
} // namespace telvora
