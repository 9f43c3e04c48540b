// Popup menus shown for real: a Windows popup menu tracked on the desktop,
// driven with the real keyboard and mouse (SendInput) from a thread timer
// that runs while the menu's modal loop handles messages.

#include "platform/FormReader.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "tests/support/Desktop.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace telvora {
namespace {

using namespace std::chrono_literals;

// The visible menu windows of this thread, the popup first, then each
// submenu opened from the one before.
BOOL CALLBACK CollectMenu(HWND window, LPARAM data) {
  if (IsWindowVisible(window) && testing::WindowClassName(window) == L"#32768")
    if (auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)))
      reinterpret_cast<std::vector<HMENU>*>(data)->push_back(menu);
  return TRUE;
}

std::vector<HMENU> OpenMenus() {
  std::vector<HMENU> menus;
  EnumThreadWindows(GetCurrentThreadId(), CollectMenu, reinterpret_cast<LPARAM>(&menus));
  auto isSubmenuOfAnother = [&](HMENU menu) {
    for (HMENU other : menus)
      for (int i = 0; i < GetMenuItemCount(other); ++i)
        if (GetSubMenu(other, i) == menu)
          return true;
    return false;
  };
  std::vector<HMENU> chain;
  for (HMENU menu : menus)
    if (!isSubmenuOfAnother(menu))
      chain.push_back(menu);
  while (chain.size() == 1 && chain.size() < menus.size()) {
    bool found = false;
    for (HMENU menu : menus)
      for (int i = 0; !found && i < GetMenuItemCount(chain.back()); ++i)
        if (GetSubMenu(chain.back(), i) == menu && menu != chain.back()) {
          chain.push_back(menu);
          found = true;
        }
    if (!found)
      break;
  }
  return chain.size() == menus.size() ? chain : menus;
}

struct TMenuStep {
  // The step runs once this holds for the open menus.
  std::function<bool(const std::vector<HMENU>&)> When;
  std::function<void(const std::vector<HMENU>&)> Do;
};

// Waits for AOpen menus (the popup and AOpen - 1 submenus).
std::function<bool(const std::vector<HMENU>&)> Open(size_t AOpen) {
  return [AOpen](const std::vector<HMENU>& menus) { return menus.size() >= AOpen; };
}

// Runs steps, one after the other, from a thread timer while a menu is
// tracked. A menu still open long after the last step is ended (EndMenu)
// and the script marked stuck, so that a broken menu cannot hang the run.
class TMenuScript {
public:
  explicit TMenuScript(std::vector<TMenuStep> ASteps) : FSteps(std::move(ASteps)) {
    gScript = this;
    FStart = std::chrono::steady_clock::now();
    FTimer = SetTimer(nullptr, 0, 20, Tick);
  }
  TMenuScript(const TMenuScript&) = delete;
  TMenuScript& operator=(const TMenuScript&) = delete;
  ~TMenuScript() {
    KillTimer(nullptr, FTimer);
    gScript = nullptr;
  }
  bool Done() const noexcept { return FNext == FSteps.size(); }
  bool Stuck() const noexcept { return FStuck; }

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (gScript != nullptr && !gScript->FBusy)
      gScript->Step();
  }
  void Step() {
    FBusy = true;
    const std::vector<HMENU> menus = OpenMenus();
    if (FNext < FSteps.size() && FSteps[FNext].When(menus)) {
      FSteps[FNext++].Do(menus);
      FStart = std::chrono::steady_clock::now();
    } else if (!menus.empty() && std::chrono::steady_clock::now() - FStart > 10s) {
      FStuck = true;
      EndMenu();
    }
    FBusy = false;
  }

  static inline TMenuScript* gScript = nullptr;
  std::vector<TMenuStep> FSteps;
  size_t FNext = 0;
  UINT_PTR FTimer = 0;
  std::chrono::steady_clock::time_point FStart;
  bool FBusy = false;
  bool FStuck = false;
};

// Each item's text and state as Windows holds them.
struct TWinItem {
  UINT Type = 0;
  UINT State = 0;
  std::wstring Text;
  int SubItems = -1; // -1: no submenu
  bool operator==(const TWinItem&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TWinItem& item) {
  return out << "{type " << std::hex << item.Type << ", state " << item.State << std::dec << ", '"
             << ToUtf8(item.Text) << "', " << item.SubItems << "}";
}

std::vector<TWinItem> ReadMenu(HMENU menu) {
  std::vector<TWinItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 127;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
      break;
    TWinItem item{info.fType, info.fState, text, -1};
    if (info.hSubMenu)
      item.SubItems = GetMenuItemCount(info.hSubMenu);
    items.push_back(item);
  }
  return items;
}

// The centre of an item of an open popup menu, on the screen.
POINT ItemCentre(HMENU menu, int position) {
  RECT r{};
  GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class TMenuTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TMenuTestForm"; }
  TNotifyEvent FindMethod(const std::wstring& name) override {
    auto it = Methods.find(name);
    return it != Methods.end() ? it->second : TNotifyEvent{};
  }
  std::map<std::wstring, TNotifyEvent> Methods;
};

class PopupMenu : public ::testing::Test {
public:
  void SetUp() override {
    FForm = std::make_unique<TMenuTestForm>(nullptr);
    FForm->SetClientSize(300, 200);
    FForm->HandleNeeded();
    SetWindowPos(FForm->Handle(), HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE);
    FForm->Show(SW_SHOW);
    ASSERT_TRUE(testing::BringToFront(FForm->Handle()));
    // The pointer away from where menus open.
    ASSERT_TRUE(testing::MoveMouseTo({1200, 980}));
    testing::PumpPending();
    FMenu = new TPopupMenu(FForm.get());
  }

  void TearDown() override {
    testing::MouseButtonUp();
    testing::PumpPending();
    FForm.reset();
    testing::PumpPending();
  }

  // An item under AParent whose click is logged by its name.
  TMenuItem* AddItem(TMenuItem* AParent, const std::wstring& AName, const std::wstring& ACaption) {
    auto* item = new TMenuItem(FForm.get());
    item->SetName(AName);
    item->SetCaption(ACaption);
    item->OnClick = [this, item](TObject* Sender) {
      EXPECT_EQ(Sender, item);
      FClicked.push_back(item->Name());
      // Clicked after the menu has closed and gone.
      FMenuOpenAtClick = FMenuOpenAtClick || !OpenMenus().empty();
      FMenuAliveAtClick = FMenuAliveAtClick || (FShown != nullptr && IsMenu(FShown));
    };
    AParent->Add(item);
    return item;
  }

  // Shows the menu at APoint and runs the steps while it is open; the
  // first step also notes the popup's Windows menu.
  void PopupWith(std::vector<TMenuStep> ASteps, POINT APoint = {500, 300}) {
    FClicked.clear();
    FShown = nullptr;
    FMenuOpenAtClick = FMenuAliveAtClick = false;
    ASteps.insert(ASteps.begin(),
                  {Open(1), [this](const std::vector<HMENU>& menus) { FShown = menus.front(); }});
    TMenuScript script(std::move(ASteps));
    FMenu->Popup(APoint.x, APoint.y);
    EXPECT_TRUE(script.Done()) << "the menu closed before every step ran";
    EXPECT_FALSE(script.Stuck()) << "the menu had to be ended";
    EXPECT_TRUE(OpenMenus().empty());
    EXPECT_FALSE(FMenuOpenAtClick) << "an item was clicked while the menu was open";
    EXPECT_FALSE(FMenuAliveAtClick) << "an item was clicked before the menu was destroyed";
    ASSERT_NE(FShown, nullptr);
    EXPECT_FALSE(IsMenu(FShown)) << "the Windows menu was not destroyed";
  }

  static TMenuStep Press(std::vector<WORD> AKeys, size_t AOpen = 1) {
    return {Open(AOpen), [AKeys](const std::vector<HMENU>&) {
              for (WORD key : AKeys)
                ASSERT_TRUE(testing::PressKeys({key}));
            }};
  }

  std::unique_ptr<TMenuTestForm> FForm;
  TPopupMenu* FMenu = nullptr;
  std::vector<std::wstring> FClicked;
  HMENU FShown = nullptr;
  bool FMenuOpenAtClick = false;
  bool FMenuAliveAtClick = false;
};

using TNames = std::vector<std::wstring>;

// Keys choose as a person would choose: arrows and Enter, accelerators,
// Right into a submenu; Escape chooses nothing. The chosen item is clicked
// once the menu has closed and its Windows menu is gone; an item with a
// submenu is clicked as its submenu opens.
TEST_F(PopupMenu, KeyboardChoosesAnItem) {
  TMenuItem* root = FMenu->Items();
  AddItem(root, L"alpha", L"&Alpha");
  AddItem(root, L"line", L"-");
  AddItem(root, L"beta", L"&Beta")->SetEnabled(false);
  TMenuItem* sub = AddItem(root, L"sub", L"&Sub");
  AddItem(sub, L"s1", L"S&1");
  AddItem(sub, L"s2", L"S&2");
  AddItem(root, L"gamma", L"&Gamma");
  int opened = 0;
  sub->OnClick = [&](TObject*) {
    EXPECT_FALSE(OpenMenus().empty());
    ++opened;
  };
  const struct {
    const char* Name;
    std::vector<TMenuStep> Steps;
    TNames Clicked;
    int Opened;
  } cases[] = {
      {"Down, Enter", {Press({VK_DOWN, VK_RETURN})}, {L"alpha"}, 0},
      {"Up, Enter", {Press({VK_UP, VK_RETURN})}, {L"gamma"}, 0},
      {"Escape", {Press({VK_ESCAPE})}, {}, 0},
      {"accelerator", {Press({'G'})}, {L"gamma"}, 0},
      {"into the submenu",
       {Press({VK_UP, VK_UP, VK_RIGHT}), Press({VK_DOWN, VK_RETURN}, 2)},
       {L"s2"},
       1},
      {"accelerators into the submenu", {Press({'S'}), Press({'1'}, 2)}, {L"s1"}, 1},
      {"Escape closes the submenu first",
       {Press({'S'}), Press({VK_ESCAPE}, 2), Press({'A'})},
       {L"alpha"},
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    opened = 0;
    PopupWith(c.Steps);
    EXPECT_EQ(FClicked, c.Clicked);
    EXPECT_EQ(opened, c.Opened);
  }
}

// A click on a disabled item chooses nothing and leaves the menu open: the
// click on the enabled item after it chooses that one.
TEST_F(PopupMenu, MouseChoosesAnItemButNotADisabledOne) {
  TMenuItem* root = FMenu->Items();
  AddItem(root, L"alpha", L"&Alpha");
  AddItem(root, L"beta", L"&Beta")->SetEnabled(false);
  AddItem(root, L"gamma", L"&Gamma");
  PopupWith({{Open(1), [](const std::vector<HMENU>& menus) {
                ASSERT_TRUE(testing::ClickAt(ItemCentre(menus.front(), 1)));
                ASSERT_TRUE(testing::ClickAt(ItemCentre(menus.front(), 2)));
              }}});
  EXPECT_EQ(FClicked, TNames{L"gamma"});
}

// A menu read from a form description becomes a Windows menu with the
// same items: separators, checks, disabled items, column breaks, the
// shortcut after a tab, submenus; hidden items are left out. Its handlers
// are bound by name.
TEST_F(PopupMenu, DescribedMenuBecomesTheWindowsMenu) {
  delete FMenu;
  FMenu = nullptr;
  TNames clicked;
  FForm->Methods[L"miClick"] = [&](TObject* Sender) {
    clicked.push_back(static_cast<TComponent*>(Sender)->Name());
  };
  ReadComponent(FForm.get(), ParseFormDescription(L"object frm: TMenuTestForm\n"
                                                  L"  object pm: TPopupMenu\n"
                                                  L"    object miOpen: TMenuItem\n"
                                                  L"      Caption = '&Open'\n"
                                                  L"      ShortCut = 16463\n"
                                                  L"      Checked = True\n"
                                                  L"    end\n"
                                                  L"    object miLine: TMenuItem\n"
                                                  L"      Caption = '-'\n"
                                                  L"    end\n"
                                                  L"    object miSave: TMenuItem\n"
                                                  L"      Caption = '&Save'\n"
                                                  L"      ShortCut = 'Shift+F10'\n"
                                                  L"      Enabled = False\n"
                                                  L"    end\n"
                                                  L"    object miHidden: TMenuItem\n"
                                                  L"      Caption = 'Hidden'\n"
                                                  L"      Visible = False\n"
                                                  L"    end\n"
                                                  L"    object miColumn: TMenuItem\n"
                                                  L"      Caption = 'Column'\n"
                                                  L"      Break = mbBreak\n"
                                                  L"    end\n"
                                                  L"    object miRecent: TMenuItem\n"
                                                  L"      Caption = '&Recent'\n"
                                                  L"      Break = mbBarBreak\n"
                                                  L"      object miFirst: TMenuItem\n"
                                                  L"        Caption = '&First'\n"
                                                  L"        OnClick = miClick\n"
                                                  L"      end\n"
                                                  L"      object miSecond: TMenuItem\n"
                                                  L"        Caption = 'Se&cond'\n"
                                                  L"        OnClick = miClick\n"
                                                  L"      end\n"
                                                  L"    end\n"
                                                  L"  end\n"
                                                  L"end\n"));
  FMenu = dynamic_cast<TPopupMenu*>(FForm->FindComponent(L"pm"));
  ASSERT_NE(FMenu, nullptr);
  std::vector<TWinItem> shown, submenu;
  PopupWith({{Open(1),
              [&](const std::vector<HMENU>& menus) {
                shown = ReadMenu(menus.front());
                ASSERT_TRUE(testing::PressKeys({'R'}));
              }},
             {Open(2), [&](const std::vector<HMENU>& menus) {
                submenu = ReadMenu(menus.back());
                ASSERT_TRUE(testing::PressKeys({'C'}));
              }}});
  const std::vector<TWinItem> expected = {
      {MFT_STRING, MFS_CHECKED, L"&Open\tCtrl+O", -1},
      {MFT_SEPARATOR, 0, L"", -1},
      {MFT_STRING, MFS_DISABLED, L"&Save\tShift+F10", -1},
      {MFT_STRING | MFT_MENUBREAK, 0, L"Column", -1},
      {MFT_STRING | MFT_MENUBARBREAK, 0, L"&Recent", 2},
  };
  ASSERT_EQ(shown.size(), expected.size());
  for (size_t i = 0; i < shown.size(); ++i) {
    // Windows may add state bits of its own (the highlight): compare ours.
    shown[i].State &= MFS_CHECKED | MFS_DISABLED;
    EXPECT_EQ(shown[i], expected[i]) << "item " << i;
  }
  ASSERT_EQ(submenu.size(), 2u);
  EXPECT_EQ(submenu[0].Text, L"&First");
  EXPECT_EQ(submenu[1].Text, L"Se&cond");
  EXPECT_EQ(clicked, TNames{L"miSecond"});
}

// Alignment puts the menu's left edge, right edge or middle at the point.
TEST_F(PopupMenu, AlignmentPlacesTheMenuAgainstThePoint) {
  AddItem(FMenu->Items(), L"alpha", L"A rather long caption");
  AddItem(FMenu->Items(), L"beta", L"Beta");
  const POINT at{640, 400};
  for (TPopupAlignment alignment : {paLeft, paRight, paCenter}) {
    SCOPED_TRACE(static_cast<int>(alignment));
    FMenu->SetAlignment(alignment);
    RECT shown{};
    PopupWith({{Open(1),
                [&](const std::vector<HMENU>&) {
                  HWND window = FindWindowW(L"#32768", nullptr);
                  GetWindowRect(window, &shown);
                  ASSERT_TRUE(testing::PressKeys({VK_ESCAPE}));
                }}},
              at);
    ASSERT_GT(shown.right - shown.left, 20);
    EXPECT_EQ(shown.top, at.y);
    switch (alignment) {
    case paLeft:
      EXPECT_EQ(shown.left, at.x);
      break;
    case paRight:
      EXPECT_EQ(shown.right, at.x);
      break;
    case paCenter:
      EXPECT_LE(std::abs((shown.left + shown.right) / 2 - at.x), 1);
      break;
    }
  }
}

// Owner-drawn items ask for the size MeasureItem answers (OnMeasureItem's
// when set) and are drawn through OnDrawItem; their accelerators work,
// though Windows cannot see their text.
TEST_F(PopupMenu, OwnerDrawnItemsAreMeasuredAndDrawnByTheirItems) {
  FMenu->SetOwnerDraw(true);
  TMenuItem* custom = AddItem(FMenu->Items(), L"custom", L"&Custom");
  TMenuItem* plain = AddItem(FMenu->Items(), L"plain", L"&Plain item");
  plain->SetShortCut(ShortCut('P', ssCtrl));
  custom->OnMeasureItem = [](TMenuItem*, HDC, int& AWidth, int& AHeight) {
    AWidth = 150;
    AHeight = 37;
  };
  std::vector<std::pair<TMenuItem*, bool>> drawn;
  custom->OnDrawItem = [&](TMenuItem* Sender, HDC DC, const RECT& R, bool ASelected) {
    drawn.emplace_back(Sender, ASelected);
    FillRect(DC, &R, GetSysColorBrush(ASelected ? COLOR_HIGHLIGHT : COLOR_MENU));
  };
  SIZE plainAsked{};
  {
    TWindowDC screen(nullptr);
    plainAsked = plain->MeasureItem(screen.Get());
  }
  RECT customRect{}, plainRect{};
  UINT types[2] = {};
  PopupWith({{Open(1),
              [&](const std::vector<HMENU>& menus) {
                GetMenuItemRect(nullptr, menus.front(), 0, &customRect);
                GetMenuItemRect(nullptr, menus.front(), 1, &plainRect);
                for (UINT i = 0; i < 2; ++i) {
                  MENUITEMINFOW info{};
                  info.cbSize = sizeof(info);
                  info.fMask = MIIM_FTYPE;
                  GetMenuItemInfoW(menus.front(), i, TRUE, &info);
                  types[i] = info.fType;
                }
                ASSERT_TRUE(testing::PressKeys({VK_DOWN}));
              }},
             {[&](const std::vector<HMENU>&) {
                return !drawn.empty() && drawn.back() == std::make_pair(custom, true);
              },
              [](const std::vector<HMENU>&) { ASSERT_TRUE(testing::PressKeys({'P'})); }}});
  EXPECT_EQ(types[0], static_cast<UINT>(MFT_OWNERDRAW));
  EXPECT_EQ(types[1], static_cast<UINT>(MFT_OWNERDRAW));
  EXPECT_EQ(customRect.bottom - customRect.top, 37);
  EXPECT_GE(customRect.right - customRect.left, 150);
  EXPECT_EQ(plainRect.bottom - plainRect.top, plainAsked.cy);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.front(), std::make_pair(custom, false)) << "first drawn unselected";
  EXPECT_EQ(FClicked, TNames{L"plain"});
}

struct TImageListTraits {
  using Handle = HIMAGELIST;
  static void Close(HIMAGELIST h) noexcept { ImageList_Destroy(h); }
};

// Items with an image of the menu's image list are drawn by the menu
// itself: their image, then the caption; the others stay Windows' own.
TEST_F(PopupMenu, ImagesAreDrawnByTheMenu) {
  constexpr COLORREF kRed = RGB(255, 0, 0);
  TUniqueHandle<TImageListTraits> images(ImageList_Create(16, 16, ILC_COLOR24, 1, 0));
  ASSERT_TRUE(images);
  {
    TWindowDC screen(nullptr);
    TGdiObject red(CreateCompatibleBitmap(screen.Get(), 16, 16));
    TMemoryDC dc(CreateCompatibleDC(screen.Get()));
    {
      TSelectObject select(dc.Get(), red.Get());
      TGdiObject brush(CreateSolidBrush(kRed));
      RECT r{0, 0, 16, 16};
      FillRect(dc.Get(), &r, static_cast<HBRUSH>(brush.Get()));
    }
    ASSERT_EQ(ImageList_Add(images.Get(), static_cast<HBITMAP>(red.Get()), nullptr), 0);
  }
  FMenu->SetImages(images.Get());
  AddItem(FMenu->Items(), L"red", L"&Red")->SetImageIndex(0);
  AddItem(FMenu->Items(), L"plain", L"&Plain");
  // Some pixel left of the caption of the item at APosition is the image's.
  auto imageShown = [](HMENU menu, int position) {
    RECT r{};
    GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &r);
    TWindowDC screen(nullptr);
    for (int x = r.left; x < r.left + 40; ++x)
      if (GetPixel(screen.Get(), x, (r.top + r.bottom) / 2) == kRed)
        return true;
    return false;
  };
  std::vector<TWinItem> shown;
  bool plainHasRed = true;
  PopupWith({{[&](const std::vector<HMENU>& menus) {
                return !menus.empty() && imageShown(menus.front(), 0);
              },
              [&](const std::vector<HMENU>& menus) {
                shown = ReadMenu(menus.front());
                plainHasRed = imageShown(menus.front(), 1);
                ASSERT_TRUE(testing::PressKeys({'R'}));
              }}});
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Type, static_cast<UINT>(MFT_OWNERDRAW));
  EXPECT_EQ(shown[1].Type, static_cast<UINT>(MFT_STRING));
  EXPECT_FALSE(plainHasRed);
  EXPECT_EQ(FClicked, TNames{L"red"}) << "the accelerator of the owner-drawn item";
}

// An item's submenu is built when it is about to open, after the item's
// click: what its handler added can be chosen.
TEST_F(PopupMenu, SubmenuItemIsClickedBeforeItsSubmenuOpens) {
  TMenuItem* recent = AddItem(FMenu->Items(), L"recent", L"&Recent");
  AddItem(recent, L"old", L"&Old");
  recent->OnClick = [&](TObject*) {
    if (recent->Count() == 1)
      AddItem(recent, L"fresh", L"&Fresh");
  };
  PopupWith({Press({'R'}), Press({'F'}, 2)});
  EXPECT_EQ(FClicked, TNames{L"fresh"});
}

// A menu without a visible item raises OnPopup and shows nothing.
TEST_F(PopupMenu, NothingVisibleShowsNothing) {
  int popups = 0;
  FMenu->OnPopup = [&](TObject* Sender) {
    EXPECT_EQ(Sender, FMenu);
    ++popups;
    EXPECT_TRUE(OpenMenus().empty()) << "raised before the menu is shown";
  };
  bool opened = false;
  TMenuScript watch({{Open(1), [&](const std::vector<HMENU>&) {
                        opened = true;
                        EndMenu();
                      }}});
  FMenu->Popup(500, 300);
  AddItem(FMenu->Items(), L"hidden", L"Hidden")->SetVisible(false);
  FMenu->Popup(500, 300);
  EXPECT_EQ(popups, 2);
  EXPECT_FALSE(opened);
  EXPECT_TRUE(FClicked.empty());
}

// A handler's exception closes the menu; Popup raises it once the Windows
// menu and its window are gone, and nothing is clicked.
TEST_F(PopupMenu, HandlerExceptionEndsThePopupWithNothingLeft) {
  FMenu->SetOwnerDraw(true);
  TMenuItem* item = AddItem(FMenu->Items(), L"alpha", L"&Alpha");
  AddItem(FMenu->Items(), L"beta", L"&Beta");
  for (bool inMeasure : {true, false}) {
    SCOPED_TRACE(inMeasure ? "measuring" : "drawing");
    HMENU shown = nullptr;
    item->OnMeasureItem = [&](TMenuItem*, HDC, int&, int&) {
      if (inMeasure)
        throw Exception(L"measure failed");
    };
    item->OnDrawItem = [&](TMenuItem*, HDC, const RECT&, bool) {
      const std::vector<HMENU> menus = OpenMenus();
      if (!menus.empty())
        shown = menus.front();
      throw Exception(L"draw failed");
    };
    TMenuScript guard({});
    try {
      FMenu->Popup(500, 300);
      ADD_FAILURE() << "Popup raised nothing";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), inMeasure ? L"measure failed" : L"draw failed");
    }
    EXPECT_FALSE(guard.Stuck());
    EXPECT_TRUE(OpenMenus().empty());
    if (!inMeasure) {
      ASSERT_NE(shown, nullptr);
      EXPECT_FALSE(IsMenu(shown));
    }
    EXPECT_TRUE(FClicked.empty());
  }
}

} // namespace
} // namespace telvora
