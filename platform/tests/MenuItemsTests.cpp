// Menu items without showing a menu: the item tree and who frees what,
// shortcut search, and menus in form descriptions.

#include "platform/FormReader.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

// Items counted alive, to see who frees them.
struct TLiveItem : TMenuItem {
  TLiveItem(TComponent* AOwner, int& ALive) : TMenuItem(AOwner), FLive(ALive) { ++FLive; }
  ~TLiveItem() override { --FLive; }
  int& FLive;
};

TEST(MenuItemTree, ChildrenAreOrderedAndFreedWithTheirParent) {
  int live = 0;
  TPopupMenu menu(nullptr);
  auto* a = new TLiveItem(&menu, live);
  auto* b = new TLiveItem(&menu, live);
  auto* c = new TLiveItem(nullptr, live);
  auto* c1 = new TLiveItem(nullptr, live);
  menu.Items()->Add(a);
  menu.Items()->Add(c);
  menu.Items()->Insert(1, b);
  c->Add(c1);
  ASSERT_EQ(menu.Items()->Count(), 3);
  EXPECT_EQ(menu.Items()->Items(1), b);
  EXPECT_EQ(menu.Items()->IndexOf(c), 2);
  EXPECT_EQ(c1->Parent(), c);
  EXPECT_EQ(c1->GetParentMenu(), &menu);
  // An item has one parent and never holds itself or an item above it.
  EXPECT_THROW(c->Add(a), Exception);
  EXPECT_THROW(c1->Add(c), Exception);
  EXPECT_THROW(c->Add(c), Exception);
  // Taken out, an item is not freed with the menu.
  menu.Items()->Remove(b);
  EXPECT_EQ(b->Parent(), nullptr);
  EXPECT_EQ(b->GetParentMenu(), nullptr);
  EXPECT_EQ(menu.Items()->IndexOf(b), -1);
  // A freed item leaves its parent.
  delete a;
  EXPECT_EQ(menu.Items()->Count(), 1);
  EXPECT_EQ(live, 3);
  menu.Items()->Clear(); // c and c1, owned by nobody
  EXPECT_EQ(live, 1);
  delete b;
  EXPECT_EQ(live, 0);
}

TEST(MenuItemTree, ItemsOwnedByAFormGoWithTheFormOrWithTheirMenu) {
  int live = 0;
  for (bool menuFirst : {true, false}) {
    auto form = std::make_unique<TEdit>(nullptr); // any owner
    auto* menu = new TPopupMenu(form.get());
    auto* parent = new TLiveItem(form.get(), live);
    auto* child = new TLiveItem(form.get(), live);
    menu->Items()->Add(parent);
    parent->Add(child);
    if (menuFirst) {
      delete menu;
      EXPECT_EQ(live, 0);
      EXPECT_EQ(form->ComponentCount(), 0);
    }
    form.reset();
    EXPECT_EQ(live, 0);
  }
}

class ShortCuts : public ::testing::Test {
public:
  void SetUp() override {
    FOpen = Add(FMenu.Items(), L"open", ShortCut('O', ssCtrl));
    FFile = Add(FMenu.Items(), L"file", scNone);
    FSave = Add(FFile, L"save", ShortCut('S', ssCtrl));
    FQuit = Add(FMenu.Items(), L"quit", ShortCut(VK_F4, ssAlt));
  }
  TMenuItem* Add(TMenuItem* AParent, const std::wstring& AName, TShortCut AShortCut) {
    auto* item = new TMenuItem(&FMenu);
    item->SetName(AName);
    item->SetShortCut(AShortCut);
    item->OnClick = [this](TObject* Sender) {
      FClicked.push_back(static_cast<TComponent*>(Sender)->Name());
    };
    AParent->Add(item);
    return item;
  }
  TPopupMenu FMenu{nullptr};
  TMenuItem *FOpen = nullptr, *FFile = nullptr, *FSave = nullptr, *FQuit = nullptr;
  std::vector<std::wstring> FClicked;
};

// A shortcut clicks its item at any depth, but only a visible, enabled
// item under visible, enabled items; modifiers must match exactly.
TEST_F(ShortCuts, ClickTheVisibleEnabledItemOnly) {
  struct TCase {
    const char* Name;
    std::function<void()> Change;
    WORD Key;
    TShiftState Shift;
    const wchar_t* Clicked; // none: not a shortcut
  };
  const TCase cases[] = {
      {"top level", [] {}, 'O', ssCtrl, L"open"},
      {"in a submenu", [] {}, 'S', ssCtrl, L"save"},
      {"with mouse buttons held", [] {}, VK_F4, ssAlt | ssLeft, L"quit"},
      {"other modifiers", [] {}, 'O', ssCtrl | ssShift, nullptr},
      {"no such shortcut", [] {}, 'Q', ssCtrl, nullptr},
      {"disabled", [this] { FOpen->SetEnabled(false); }, 'O', ssCtrl, nullptr},
      {"hidden", [this] { FOpen->SetVisible(false); }, 'O', ssCtrl, nullptr},
      {"under a disabled item", [this] { FFile->SetEnabled(false); }, 'S', ssCtrl, nullptr},
      {"under a hidden item", [this] { FFile->SetVisible(false); }, 'S', ssCtrl, nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    for (TMenuItem* item : {FOpen, FFile, FSave, FQuit}) {
      item->SetEnabled(true);
      item->SetVisible(true);
    }
    c.Change();
    FClicked.clear();
    EXPECT_EQ(FMenu.IsShortCut(c.Key, c.Shift), c.Clicked != nullptr);
    EXPECT_EQ(FClicked,
              c.Clicked ? std::vector<std::wstring>{c.Clicked} : std::vector<std::wstring>{});
  }
}

class TDescribedForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TDescribedForm"; }
  TNotifyEvent FindMethod(const std::wstring& name) override {
    if (name == L"miClick")
      return [this](TObject* Sender) { Clicked.push_back(static_cast<TComponent*>(Sender)); };
    if (name == L"pmPopup")
      return [this](TObject*) { ++Popups; };
    return {};
  }
  std::vector<TObject*> Clicked;
  int Popups = 0;
};

// The menu's properties, items and sub-items of a description, each item
// owned by the form and placed under the item it is nested in.
TEST(MenuDescription, ItemsAndSubItemsAreRead) {
  TDescribedForm form(nullptr);
  ReadComponent(&form, ParseFormDescription(L"object frm: TDescribedForm\n"
                                            L"  object pm: TPopupMenu\n"
                                            L"    Alignment = paRight\n"
                                            L"    AutoPopup = False\n"
                                            L"    OwnerDraw = True\n"
                                            L"    OnPopup = pmPopup\n"
                                            L"    object miOpen: TMenuItem\n"
                                            L"      Caption = '&Open'\n"
                                            L"      ShortCut = 16463\n"
                                            L"      OnClick = miClick\n"
                                            L"    end\n"
                                            L"    object miRecent: TMenuItem\n"
                                            L"      Caption = '&Recent'\n"
                                            L"      Break = mbBarBreak\n"
                                            L"      ImageIndex = 3\n"
                                            L"      object miFirst: TMenuItem\n"
                                            L"        Caption = 'first'\n"
                                            L"        ShortCut = 'Ctrl+Shift+F1'\n"
                                            L"        Checked = True\n"
                                            L"        Enabled = False\n"
                                            L"        Visible = False\n"
                                            L"        OnClick = miClick\n"
                                            L"      end\n"
                                            L"    end\n"
                                            L"  end\n"
                                            L"end\n"));
  auto* pm = dynamic_cast<TPopupMenu*>(form.FindComponent(L"pm"));
  auto* open = dynamic_cast<TMenuItem*>(form.FindComponent(L"miOpen"));
  auto* recent = dynamic_cast<TMenuItem*>(form.FindComponent(L"miRecent"));
  auto* first = dynamic_cast<TMenuItem*>(form.FindComponent(L"miFirst"));
  ASSERT_TRUE(pm && open && recent && first);
  EXPECT_EQ(pm->Alignment(), paRight);
  EXPECT_FALSE(pm->AutoPopup());
  EXPECT_TRUE(pm->OwnerDraw());
  ASSERT_EQ(pm->Items()->Count(), 2);
  EXPECT_EQ(pm->Items()->Items(0), open);
  EXPECT_EQ(pm->Items()->Items(1), recent);
  ASSERT_EQ(recent->Count(), 1);
  EXPECT_EQ(recent->Items(0), first);
  EXPECT_EQ(first->Owner(), &form);
  EXPECT_EQ(open->Caption(), L"&Open");
  EXPECT_EQ(open->ShortCut(), scCtrl | 'O');
  EXPECT_EQ(recent->Break(), mbBarBreak);
  EXPECT_EQ(recent->ImageIndex(), 3);
  EXPECT_EQ(open->ImageIndex(), -1);
  EXPECT_EQ(first->ShortCut(), scCtrl | scShift | VK_F1);
  EXPECT_TRUE(first->Checked());
  EXPECT_FALSE(first->Enabled());
  EXPECT_FALSE(first->Visible());
  open->Click();
  first->Click();
  pm->OnPopup(pm);
  EXPECT_EQ(form.Clicked, (std::vector<TObject*>{open, first}));
  EXPECT_EQ(form.Popups, 1);
}

TEST(MenuDescription, FaultsAreReported) {
  const struct {
    const wchar_t* Body;
    const wchar_t* Message;
  } cases[] = {
      {L"object pm: TPopupMenu\n object e: TEdit\n end\n end",
       L"A TPopupMenu cannot hold e: TEdit"},
      {L"object pm: TPopupMenu\n object m: TMenuItem\n object e: TEdit\n end\n end\n end",
       L"A TMenuItem cannot hold e: TEdit"},
      {L"object pm: TPopupMenu\n Alignment = paMiddle\n end", L"Invalid property value"},
      {L"object pm: TPopupMenu\n object m: TMenuItem\n Break = mbColumn\n end\n end",
       L"Invalid property value"},
      {L"object pm: TPopupMenu\n object m: TMenuItem\n ShortCut = 'Ctrl+Nope'\n end\n end",
       L"Invalid property value: shortcut Ctrl+Nope"},
      {L"object pm: TPopupMenu\n object m: TMenuItem\n ShortCut = 70000\n end\n end",
       L"Invalid property value"},
  };
  for (const auto& c : cases) {
    TDescribedForm form(nullptr);
    try {
      ReadComponent(&form, ParseFormDescription(std::wstring(L"object frm: TDescribedForm\n") +
                                                c.Body + L"\nend"));
      ADD_FAILURE() << "accepted: " << ToUtf8(c.Body);
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.Message) << ToUtf8(c.Body);
    }
  }
}

TEST(PopupComponent, ForgottenWhenItGoes) {
  TPopupMenu menu(nullptr);
  auto* edit = new TEdit(nullptr);
  menu.SetPopupComponent(edit);
  EXPECT_EQ(menu.PopupComponent(), edit);
  delete edit;
  EXPECT_EQ(menu.PopupComponent(), nullptr);
}

} // namespace
} // namespace telvora
