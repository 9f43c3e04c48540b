// Actions and the controls linked to them: a real button window follows
// its action's caption, enabled, visible and checked; a real click executes
// the action; groups; free notification; links read from descriptions.

#include "platform/ActnList.h"
#include "platform/FormReader.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/Desktop.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

class TTestButton : public TCustomButton {
public:
  using TCustomButton::TCustomButton;
  std::wstring ClassName() const override { return L"TTestButton"; }
};

class TActionTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TActionTestForm"; }
  TNotifyEvent FindMethod(const std::wstring& name) override {
    if (name == L"actExecute")
      return [this](TObject* Sender) { Executed.push_back(static_cast<TComponent*>(Sender)); };
    return {};
  }
  std::vector<TComponent*> Executed;
};

// Any component: the UI library's image lists are components.
class TTestImages : public TComponent {
public:
  using TComponent::TComponent;
  std::wstring ClassName() const override { return L"TTestImages"; }
};

std::wstring WindowText(HWND window) {
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 128);
  return text;
}

class Actions : public ::testing::Test {
public:
  void SetUp() override {
    FForm = std::make_unique<TActionTestForm>(nullptr);
    FForm->SetClientSize(300, 120);
    FButton = new TTestButton(FForm.get());
    FButton->SetBounds(20, 20, 120, 30);
    FButton->SetParent(FForm.get());
    FButton->OnClick = [this](TObject*) { ++FClicks; };
    FList = new TActionList(FForm.get());
    FAction = new TAction(FForm.get());
    FAction->SetActionList(FList);
    FAction->SetCaption(L"&Bold");
    FAction->SetHint(L"Makes the text bold");
    FAction->SetOnExecute([this](TObject* Sender) { FExecuted.push_back(Sender); });
    FForm->HandleNeeded();
  }

  void TearDown() override {
    testing::MouseButtonUp();
    testing::PumpPending();
    FForm.reset();
    testing::PumpPending();
  }

  // Shows the form for real input.
  void Show() {
    SetWindowPos(FForm->Handle(), HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE);
    FForm->Show(SW_SHOW);
    ASSERT_TRUE(testing::BringToFront(FForm->Handle()));
    testing::PumpPending();
  }

  // A real click on the button; answers once the click was handled.
  void ClickButton() {
    RECT r{};
    GetWindowRect(FButton->Handle(), &r);
    const int before = FClicks + static_cast<int>(FExecuted.size());
    ASSERT_TRUE(testing::ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    // The release has been handled once the pointer's button is up in the
    // thread's view and the queue is empty.
    testing::PumpUntil([&] {
      return FClicks + static_cast<int>(FExecuted.size()) > before ||
             (GetKeyState(VK_LBUTTON) >= 0 && HIWORD(GetQueueStatus(QS_INPUT)) == 0);
    });
    testing::PumpPending();
  }

  std::unique_ptr<TActionTestForm> FForm;
  TTestButton* FButton = nullptr;
  TActionList* FList = nullptr;
  TAction* FAction = nullptr;
  int FClicks = 0;
  std::vector<TObject*> FExecuted;
};

// Linked, the button's window shows the action; each change of the action
// reaches the window, also while the form is shown.
TEST_F(Actions, LinkedButtonWindowFollowsTheAction) {
  Show();
  FButton->SetAction(FAction);
  EXPECT_EQ(FButton->Action(), FAction);
  EXPECT_EQ(FAction->ClientCount(), 1);
  HWND window = FButton->Handle();
  EXPECT_EQ(WindowText(window), L"&Bold");
  EXPECT_EQ(FButton->Hint(), L"Makes the text bold");

  struct TCase {
    const char* Name;
    std::function<void()> Change;
    std::function<bool()> Shown;
  };
  const TCase cases[] = {
      {"caption", [&] { FAction->SetCaption(L"&Heavy"); },
       [&] { return WindowText(window) == L"&Heavy" && FButton->Caption() == L"&Heavy"; }},
      {"disabled", [&] { FAction->SetEnabled(false); },
       [&] { return !IsWindowEnabled(window) && !FButton->Enabled(); }},
      {"enabled", [&] { FAction->SetEnabled(true); }, [&] { return IsWindowEnabled(window); }},
      {"checked", [&] { FAction->SetChecked(true); }, [&] { return FButton->GetChecked(); }},
      {"unchecked", [&] { FAction->SetChecked(false); }, [&] { return !FButton->GetChecked(); }},
      {"hint", [&] { FAction->SetHint(L"Other"); }, [&] { return FButton->Hint() == L"Other"; }},
      {"hidden", [&] { FAction->SetVisible(false); },
       [&] { return !IsWindowVisible(window) && !FButton->Visible(); }},
      {"shown", [&] { FAction->SetVisible(true); }, [&] { return IsWindowVisible(window) != 0; }},
  };
  for (const TCase& c : cases) {
    c.Change();
    EXPECT_TRUE(c.Shown()) << c.Name;
  }

  // A caption set on the button itself is the button's own: the action's
  // caption no longer reaches it, the rest still does.
  FButton->SetCaption(L"Mine");
  FAction->SetCaption(L"&Bold");
  FAction->SetEnabled(false);
  EXPECT_EQ(WindowText(window), L"Mine");
  EXPECT_FALSE(IsWindowEnabled(window));

  // Unlinked, nothing reaches it.
  FButton->SetAction(nullptr);
  EXPECT_EQ(FAction->ClientCount(), 0);
  FAction->SetEnabled(true);
  EXPECT_FALSE(IsWindowEnabled(window));
}

// A real click on a linked button executes the action, not OnClick;
// AutoCheck toggles the action and so the button; a disabled action's
// button cannot be clicked; unlinked, the click raises OnClick again.
TEST_F(Actions, ClickExecutesTheLinkedAction) {
  Show();
  FAction->SetAutoCheck(true);
  FButton->SetAction(FAction);
  ClickButton();
  EXPECT_EQ(FExecuted, std::vector<TObject*>{FAction});
  EXPECT_EQ(FClicks, 0);
  EXPECT_TRUE(FAction->Checked());
  EXPECT_TRUE(FButton->GetChecked());
  ClickButton();
  EXPECT_EQ(FExecuted.size(), 2u);
  EXPECT_FALSE(FButton->GetChecked());

  FAction->SetEnabled(false);
  ClickButton();
  EXPECT_EQ(FExecuted.size(), 2u);
  EXPECT_EQ(FClicks, 0);

  FAction->SetEnabled(true);
  FButton->SetAction(nullptr);
  ClickButton();
  EXPECT_EQ(FExecuted.size(), 2u);
  EXPECT_EQ(FClicks, 1);
}

// Execute brings the action up to date first: OnUpdate may disable it.
TEST_F(Actions, ExecuteAnswersWhetherTheHandlerRan) {
  EXPECT_TRUE(FAction->Execute());
  FAction->OnUpdate = [&](TObject*) { FAction->SetEnabled(false); };
  EXPECT_FALSE(FAction->Execute());
  EXPECT_EQ(FExecuted.size(), 1u);
  TAction silent(nullptr);
  EXPECT_FALSE(silent.Execute());
  TBasicAction* basic = &silent;
  EXPECT_FALSE(basic->Update());
}

// Checking an action of a group unchecks the others of that group in the
// same list, and their linked buttons; AutoCheck never unchecks the
// checked action of a group.
TEST_F(Actions, OneActionOfAGroupIsChecked) {
  auto makeAction = [&](TCustomActionList* AList, int AGroup) {
    auto* action = new TAction(FForm.get());
    action->SetActionList(AList);
    action->SetGroupIndex(AGroup);
    return action;
  };
  TAction* left = FAction;
  left->SetGroupIndex(1);
  TAction* centre = makeAction(FList, 1);
  TAction* right = makeAction(FList, 1);
  TAction* otherGroup = makeAction(FList, 2);
  auto* otherList = new TActionList(FForm.get());
  TAction* otherListSameGroup = makeAction(otherList, 1);
  for (TAction* action : {left, otherGroup, otherListSameGroup})
    action->SetChecked(true);
  FButton->SetAction(left);
  ASSERT_TRUE(FButton->GetChecked());

  centre->SetChecked(true);
  EXPECT_FALSE(left->Checked());
  EXPECT_FALSE(FButton->GetChecked()) << "the unchecked action's button";
  EXPECT_TRUE(centre->Checked());
  EXPECT_FALSE(right->Checked());
  EXPECT_TRUE(otherGroup->Checked());
  EXPECT_TRUE(otherListSameGroup->Checked());

  right->SetAutoCheck(true);
  right->Execute();
  EXPECT_TRUE(right->Checked());
  EXPECT_FALSE(centre->Checked());
  right->Execute();
  EXPECT_TRUE(right->Checked()) << "the checked action of a group stays checked";

  // A checked action moved into the group is its checked one.
  otherGroup->SetGroupIndex(1);
  EXPECT_TRUE(otherGroup->Checked());
  EXPECT_FALSE(right->Checked());
}

// Each side forgets the other when it goes: a button whose action is freed
// keeps what it shows and clicks with OnClick; an action whose button is
// freed has no client left; a list frees its actions; a list forgets its
// images.
TEST_F(Actions, FreedPartnersAreForgotten) {
  FButton->SetAction(FAction);
  delete FAction;
  EXPECT_EQ(FButton->Action(), nullptr);
  EXPECT_EQ(FButton->Caption(), L"&Bold");
  FButton->Click();
  EXPECT_EQ(FClicks, 1);
  EXPECT_EQ(FList->ActionCount(), 0);

  auto* action = new TAction(FForm.get());
  action->SetActionList(FList);
  FButton->SetAction(action);
  delete FButton;
  FButton = nullptr;
  EXPECT_EQ(action->ClientCount(), 0);

  auto* button = new TTestButton(FForm.get());
  button->SetAction(action);
  auto* images = new TTestImages(FForm.get());
  FList->SetImages(images);
  EXPECT_EQ(FList->Images(), images);
  delete images;
  EXPECT_EQ(FList->Images(), nullptr);
  const int components = FForm->ComponentCount();
  delete FList;
  EXPECT_EQ(button->Action(), nullptr);
  EXPECT_EQ(FForm->ComponentCount(), components - 2) << "the list and its action";
}

// A link follows every property of a TCustomAction and none of a basic
// action, which can only be executed.
TEST_F(Actions, ABasicActionIsOnlyExecuted) {
  class TPlainAction : public TBasicAction {
  public:
    using TBasicAction::TBasicAction;
    std::wstring ClassName() const override { return L"TPlainAction"; }
  };
  auto* plain = new TPlainAction(FForm.get());
  int runs = 0;
  plain->SetOnExecute([&](TObject*) { ++runs; });
  TActionLink link;
  for (TBasicAction* action :
       {static_cast<TBasicAction*>(plain), static_cast<TBasicAction*>(FAction)}) {
    link.SetAction(action);
    const bool custom = action == FAction;
    EXPECT_EQ(link.Action(), action);
    EXPECT_EQ(link.IsCaptionLinked(), custom);
    EXPECT_EQ(link.IsEnabledLinked(), custom);
    EXPECT_EQ(link.IsHintLinked(), custom);
    EXPECT_EQ(link.IsVisibleLinked(), custom);
    EXPECT_EQ(link.IsCheckedLinked(), custom);
    EXPECT_EQ(link.IsGroupIndexLinked(), custom);
    EXPECT_EQ(link.IsImageIndexLinked(), custom);
    EXPECT_EQ(link.IsOnExecuteLinked(), custom);
  }
  link.SetAction(nullptr);
  EXPECT_EQ(FAction->ClientCount(), 0);
  FButton->SetCaption(L"Own");
  FButton->SetAction(plain);
  EXPECT_EQ(FButton->Caption(), L"Own");
  FButton->Click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(FClicks, 0);
}

// A description names the action of a control, declared before or after
// it; a control keeps the caption it was given and takes the rest.
TEST(ActionDescription, ControlsAreLinkedByName) {
  RegisterComponentClass(L"TTestButton", [](TComponent* owner) { return new TTestButton(owner); });
  RegisterComponentClass(L"TTestImages", [](TComponent* owner) { return new TTestImages(owner); });
  TActionTestForm form(nullptr);
  ReadComponent(&form, ParseFormDescription(L"object frm: TActionTestForm\n"
                                            L"  object btnEarly: TTestButton\n"
                                            L"    Action = actSave\n"
                                            L"  end\n"
                                            L"  object al: TActionList\n"
                                            L"    Images = il\n"
                                            L"    object actSave: TAction\n"
                                            L"      Caption = '&Save'\n"
                                            L"      Hint = 'Saves'\n"
                                            L"      Enabled = False\n"
                                            L"      Checked = True\n"
                                            L"      GroupIndex = 3\n"
                                            L"      ImageIndex = 2\n"
                                            L"      AutoCheck = True\n"
                                            L"      OnExecute = actExecute\n"
                                            L"    end\n"
                                            L"  end\n"
                                            L"  object btnLate: TTestButton\n"
                                            L"    Caption = 'Keep'\n"
                                            L"    Action = actSave\n"
                                            L"  end\n"
                                            L"  object il: TTestImages\n"
                                            L"  end\n"
                                            L"end\n"));
  auto* list = dynamic_cast<TActionList*>(form.FindComponent(L"al"));
  auto* save = dynamic_cast<TAction*>(form.FindComponent(L"actSave"));
  auto* early = dynamic_cast<TTestButton*>(form.FindComponent(L"btnEarly"));
  auto* late = dynamic_cast<TTestButton*>(form.FindComponent(L"btnLate"));
  ASSERT_TRUE(list && save && early && late);
  EXPECT_EQ(list->Images(), form.FindComponent(L"il"));
  ASSERT_EQ(list->ActionCount(), 1);
  EXPECT_EQ(save->ActionList(), list);
  EXPECT_EQ(save->Hint(), L"Saves");
  EXPECT_EQ(save->GroupIndex(), 3);
  EXPECT_EQ(save->ImageIndex(), 2);
  EXPECT_TRUE(save->AutoCheck());
  for (TTestButton* button : {early, late}) {
    EXPECT_EQ(button->Action(), save);
    EXPECT_FALSE(button->Enabled());
    EXPECT_TRUE(button->GetChecked());
    EXPECT_EQ(button->Hint(), L"Saves");
  }
  EXPECT_EQ(early->Caption(), L"&Save");
  EXPECT_EQ(late->Caption(), L"Keep");
  save->SetEnabled(true);
  save->Execute();
  EXPECT_EQ(form.Executed, std::vector<TComponent*>{save});

  TActionTestForm faulty(nullptr);
  EXPECT_THROW(ReadComponent(&faulty, ParseFormDescription(L"object frm: TActionTestForm\n"
                                                           L"  object b: TTestButton\n"
                                                           L"    Action = actNowhere\n"
                                                           L"  end\n"
                                                           L"end\n")),
               EReadError);
  UnregisterComponentClass(L"TTestImages");
  UnregisterComponentClass(L"TTestButton");
}

} // namespace
} // namespace telvora
