#pragma once
// Actions: a command (what it does, its caption, whether it is enabled,
// checked, ...) kept once and shown by every control linked to it. A
// control is linked through an action link, which tells it of every change
// of the action; clicking it executes the action. Actions are held by
// action lists and read from form descriptions:
//
//   object alMain: TActionList
//     Images = ilMain
//     object actBold: TAction
//       Caption = '&Bold'
//       AutoCheck = True
//       GroupIndex = 0
//       OnExecute = actBoldExecute
//     end
//   end
//   object btnBold: TcxButton
//     Action = actBold
//   end

#include "platform/Classes.h"

#include <algorithm>
#include <string>
#include <vector>

namespace telvora {

class TActionLink;
class TCustomActionList;

class TBasicAction : public TComponent {
public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  // Runs OnExecute; answers whether it ran.
  virtual bool Execute();
  // Runs OnUpdate, where the action may bring its state up to date;
  // answers whether it ran.
  virtual bool Update();

  const TNotifyEvent& OnExecute() const noexcept { return FOnExecute; }
  // Sets the handler; the links are told.
  void SetOnExecute(TNotifyEvent value);
  TNotifyEvent OnUpdate;

  // The links that follow the action.
  int ClientCount() const noexcept { return static_cast<int>(FClients.size()); }

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

protected:
  // Tells every link: AStep(link), for each link in the order they came.
  template <class F> void ForEachClient(F AStep) {
    // A copy: a step may unlink its client.
    const std::vector<TActionLink*> clients = FClients;
    for (TActionLink* link : clients)
      if (std::find(FClients.begin(), FClients.end(), link) != FClients.end())
        AStep(link);
  }

private:
  friend class TActionLink;
  void RegisterChanges(TActionLink* ALink);
  void UnRegisterChanges(TActionLink* ALink);

  TNotifyEvent FOnExecute;
  std::vector<TActionLink*> FClients;
};

// An action with what a control shows of it. Each setter tells the links
// before the action takes the value, so that a link can see whether its
// client still shows the old one.
class TCustomAction : public TBasicAction {
public:
  explicit TCustomAction(TComponent* AOwner);
  ~TCustomAction() override;

  const std::wstring& Caption() const noexcept { return FCaption; }
  void SetCaption(const std::wstring& value);
  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool value);
  const std::wstring& Hint() const noexcept { return FHint; }
  void SetHint(const std::wstring& value);
  bool Visible() const noexcept { return FVisible; }
  void SetVisible(bool value);
  // Checking an action of a group (GroupIndex > 0) unchecks the others of
  // the same group in the same action list.
  bool Checked() const noexcept { return FChecked; }
  void SetChecked(bool value);
  int GroupIndex() const noexcept { return FGroupIndex; }
  void SetGroupIndex(int value);
  // The image of the action list's images (-1: none).
  int ImageIndex() const noexcept { return FImageIndex; }
  void SetImageIndex(int value);
  // Execute toggles Checked (a checked action of a group stays checked).
  bool AutoCheck() const noexcept { return FAutoCheck; }
  void SetAutoCheck(bool value) { FAutoCheck = value; }

  // The list that holds the action, or none.
  TCustomActionList* ActionList() const noexcept { return FActionList; }
  void SetActionList(TCustomActionList* AList);

  // Brings the state up to date (Update); a disabled action does nothing
  // and answers false; else toggles Checked when AutoCheck, then runs
  // OnExecute.
  bool Execute() override;

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

private:
  // Unchecks the other actions of the action's group in its list.
  void UncheckGroup();

  std::wstring FCaption;
  bool FEnabled = true;
  std::wstring FHint;
  bool FVisible = true;
  bool FChecked = false;
  bool FChecking = false;
  int FGroupIndex = 0;
  int FImageIndex = -1;
  bool FAutoCheck = false;
  TCustomActionList* FActionList = nullptr;
};

class TAction : public TCustomAction {
public:
  using TCustomAction::TCustomAction;
  std::wstring ClassName() const override { return L"TAction"; }
};

// Holds actions. Actions held are freed with the list.
class TCustomActionList : public TComponent {
public:
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;

  int ActionCount() const noexcept { return static_cast<int>(FActions.size()); }
  TCustomAction* Actions(int index) const { return FActions.at(static_cast<size_t>(index)); }
  int IndexOf(const TCustomAction* AAction) const;

  // The image list of the actions' ImageIndex (the UI library's, not
  // owned; forgotten when it goes).
  TComponent* Images() const noexcept { return FImages; }
  void SetImages(TComponent* value);

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;
  // Actions nested in a form description join the list.
  void AddChildComponent(TComponent* AChild) override;

protected:
  void Notification(TComponent* AComponent, TOperation AOperation) override;

private:
  friend class TCustomAction;
  std::vector<TCustomAction*> FActions;
  TComponent* FImages = nullptr;
};

class TActionList : public TCustomActionList {
public:
  using TCustomActionList::TCustomActionList;
  std::wstring ClassName() const override { return L"TActionList"; }
};

// Links a client (a control, a menu item) to an action: the action tells
// the link of each change through the setters below, and the link passes
// on to its client what the client follows (IsXxxLinked). The base follows
// everything of a TCustomAction and passes nothing on.
class TActionLink : public TObject {
public:
  TActionLink() = default;
  ~TActionLink() override;

  TBasicAction* Action() const noexcept { return FAction; }
  // Follows AAction from now on (none: no action).
  void SetAction(TBasicAction* AAction);
  // Executes the action; answers whether it ran.
  virtual bool Execute();
  virtual bool Update();

  virtual bool IsCaptionLinked() const;
  virtual bool IsEnabledLinked() const;
  virtual bool IsHintLinked() const;
  virtual bool IsVisibleLinked() const;
  virtual bool IsCheckedLinked() const;
  virtual bool IsGroupIndexLinked() const;
  virtual bool IsImageIndexLinked() const;
  virtual bool IsOnExecuteLinked() const;

  // Told by the action before it takes a new value.
  virtual void SetCaption(const std::wstring&) {}
  virtual void SetEnabled(bool) {}
  virtual void SetHint(const std::wstring&) {}
  virtual void SetVisible(bool) {}
  virtual void SetChecked(bool) {}
  virtual void SetGroupIndex(int) {}
  virtual void SetImageIndex(int) {}
  virtual void SetOnExecute(const TNotifyEvent&) {}

protected:
  // The action as a TCustomAction, or none.
  TCustomAction* CustomAction() const noexcept;

private:
  friend class TBasicAction;
  TBasicAction* FAction = nullptr;
};

// Registers TAction and TActionList for form descriptions.
void InitActnListUnit();
void DoneActnListUnit();

} // namespace telvora
