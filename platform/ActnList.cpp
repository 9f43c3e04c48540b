#include "platform/ActnList.h"

#include "platform/Handles.h"

namespace telvora {

// ---------------------------------------------------------------- TBasicAction

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  MarkDestroying();
  // Links whose clients were not told through free notification keep
  // nothing of the action.
  for (TActionLink* link : FClients)
    link->FAction = nullptr;
  FClients.clear();
}

bool TBasicAction::Execute() {
  if (!FOnExecute)
    return false;
  FOnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate)
    return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::SetOnExecute(TNotifyEvent value) {
  ForEachClient([&](TActionLink* link) { link->SetOnExecute(value); });
  FOnExecute = std::move(value);
}

void TBasicAction::RegisterChanges(TActionLink* ALink) {
  if (std::find(FClients.begin(), FClients.end(), ALink) == FClients.end())
    FClients.push_back(ALink);
}

void TBasicAction::UnRegisterChanges(TActionLink* ALink) {
  std::erase(FClients, ALink);
}

bool TBasicAction::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"OnExecute")
    SetOnExecute(value.Method);
  else if (path == L"OnUpdate")
    OnUpdate = value.Method;
  else
    return TComponent::SetProperty(path, value);
  return true;
}

// ---------------------------------------------------------------- TCustomAction

TCustomAction::TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TCustomAction::~TCustomAction() {
  MarkDestroying();
  SetActionList(nullptr);
}

void TCustomAction::SetCaption(const std::wstring& value) {
  if (value == FCaption)
    return;
  ForEachClient([&](TActionLink* link) { link->SetCaption(value); });
  FCaption = value;
}

void TCustomAction::SetEnabled(bool value) {
  if (value == FEnabled)
    return;
  ForEachClient([&](TActionLink* link) { link->SetEnabled(value); });
  FEnabled = value;
}

void TCustomAction::SetHint(const std::wstring& value) {
  if (value == FHint)
    return;
  ForEachClient([&](TActionLink* link) { link->SetHint(value); });
  FHint = value;
}

void TCustomAction::SetVisible(bool value) {
  if (value == FVisible)
    return;
  ForEachClient([&](TActionLink* link) { link->SetVisible(value); });
  FVisible = value;
}

void TCustomAction::SetChecked(bool value) {
  if (value == FChecked || FChecking)
    return;
  // A client told of the change cannot change it again meanwhile.
  FChecking = true;
  TScopeExit checked([this] { FChecking = false; });
  ForEachClient([&](TActionLink* link) { link->SetChecked(value); });
  FChecked = value;
  if (value)
    UncheckGroup();
}

void TCustomAction::UncheckGroup() {
  if (FGroupIndex <= 0 || FActionList == nullptr)
    return;
  // A copy: a client's handler may change the list.
  const std::vector<TCustomAction*> actions = FActionList->FActions;
  for (TCustomAction* other : actions)
    if (other != this && other->FGroupIndex == FGroupIndex)
      other->SetChecked(false);
}

void TCustomAction::SetGroupIndex(int value) {
  if (value == FGroupIndex)
    return;
  ForEachClient([&](TActionLink* link) { link->SetGroupIndex(value); });
  FGroupIndex = value;
  // Checked, it is the checked one of its new group.
  if (FChecked)
    UncheckGroup();
}

void TCustomAction::SetImageIndex(int value) {
  if (value == FImageIndex)
    return;
  ForEachClient([&](TActionLink* link) { link->SetImageIndex(value); });
  FImageIndex = value;
}

void TCustomAction::SetActionList(TCustomActionList* AList) {
  if (AList == FActionList)
    return;
  if (FActionList)
    std::erase(FActionList->FActions, this);
  FActionList = AList;
  if (FActionList)
    FActionList->FActions.push_back(this);
}

bool TCustomAction::Execute() {
  Update();
  if (!FEnabled)
    return false;
  if (FAutoCheck && !(FChecked && FGroupIndex > 0))
    SetChecked(!FChecked);
  return TBasicAction::Execute();
}

bool TCustomAction::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"Caption")
    SetCaption(value.AsString());
  else if (path == L"Enabled")
    SetEnabled(value.AsBoolean());
  else if (path == L"Hint")
    SetHint(value.AsString());
  else if (path == L"Visible")
    SetVisible(value.AsBoolean());
  else if (path == L"Checked")
    SetChecked(value.AsBoolean());
  else if (path == L"GroupIndex")
    SetGroupIndex(value.AsInteger());
  else if (path == L"ImageIndex")
    SetImageIndex(value.AsInteger());
  else if (path == L"AutoCheck")
    SetAutoCheck(value.AsBoolean());
  else
    return TBasicAction::SetProperty(path, value);
  return true;
}

// ---------------------------------------------------------------- TCustomActionList

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList() {
  MarkDestroying();
  while (!FActions.empty())
    delete FActions.back(); // leaves the list
}

int TCustomActionList::IndexOf(const TCustomAction* AAction) const {
  auto it = std::find(FActions.begin(), FActions.end(), AAction);
  return it == FActions.end() ? -1 : static_cast<int>(it - FActions.begin());
}

void TCustomActionList::SetImages(TComponent* value) {
  if (value == FImages)
    return;
  if (FImages)
    RemoveFreeNotification(FImages);
  FImages = value;
  if (FImages)
    FreeNotification(FImages);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation AOperation) {
  TComponent::Notification(AComponent, AOperation);
  if (AOperation == opRemove && AComponent == FImages)
    FImages = nullptr;
}

bool TCustomActionList::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"Images")
    ReadReference(value.AsString(), [this](TComponent* AImages) { SetImages(AImages); });
  else
    return TComponent::SetProperty(path, value);
  return true;
}

void TCustomActionList::AddChildComponent(TComponent* AChild) {
  auto* action = dynamic_cast<TCustomAction*>(AChild);
  if (action == nullptr)
    throw EReadError(L"A " + ClassName() + L" cannot hold " + AChild->Name() + L": " +
                     AChild->ClassName());
  action->SetActionList(this);
}

// ---------------------------------------------------------------- TActionLink

TActionLink::~TActionLink() {
  SetAction(nullptr);
}

void TActionLink::SetAction(TBasicAction* AAction) {
  if (AAction == FAction)
    return;
  if (FAction)
    FAction->UnRegisterChanges(this);
  FAction = AAction;
  if (FAction)
    FAction->RegisterChanges(this);
}

bool TActionLink::Execute() {
  return FAction != nullptr && FAction->Execute();
}

bool TActionLink::Update() {
  return FAction != nullptr && FAction->Update();
}

TCustomAction* TActionLink::CustomAction() const noexcept {
  return dynamic_cast<TCustomAction*>(FAction);
}

bool TActionLink::IsCaptionLinked() const {
  return CustomAction() != nullptr;
}

bool TActionLink::IsEnabledLinked() const {
  return CustomAction() != nullptr;
}

bool TActionLink::IsHintLinked() const {
  return CustomAction() != nullptr;
}

bool TActionLink::IsVisibleLinked() const {
  return CustomAction() != nullptr;
}

bool TActionLink::IsCheckedLinked() const {
  return CustomAction() != nullptr;
}

bool TActionLink::IsGroupIndexLinked() const {
  return CustomAction() != nullptr;
}

bool TActionLink::IsImageIndexLinked() const {
  return CustomAction() != nullptr;
}

bool TActionLink::IsOnExecuteLinked() const {
  return CustomAction() != nullptr;
}

void InitActnListUnit() {
  RegisterComponentClass(L"TActionList", [](TComponent* owner) { return new TActionList(owner); });
  RegisterComponentClass(L"TAction", [](TComponent* owner) { return new TAction(owner); });
}

void DoneActnListUnit() {
  UnregisterComponentClass(L"TAction");
  UnregisterComponentClass(L"TActionList");
}

} // namespace telvora
