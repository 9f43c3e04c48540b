#include "platform/ControlActions.h"

#include "platform/Controls.h"

namespace telvora {

TBasicAction* TWinControl::Action() const noexcept {
  return FActionLink ? FActionLink->Action() : nullptr;
}

void TWinControl::SetAction(TBasicAction* value) {
  TBasicAction* previous = Action();
  if (value == previous)
    return;
  if (previous)
    RemoveFreeNotification(previous);
  if (value == nullptr) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink)
    FActionLink = CreateActionLink();
  FActionLink->SetAction(value);
  FreeNotification(value);
  ActionChange(value, value->IsLoading());
}

std::unique_ptr<TControlActionLink> TWinControl::CreateActionLink() {
  return std::make_unique<TControlActionLink>(this);
}

void TWinControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (action == nullptr)
    return;
  if (!CheckDefaults || FCaption.empty())
    SetCaption(action->Caption());
  if (!CheckDefaults || FEnabled)
    SetEnabled(action->Enabled());
  if (!CheckDefaults || FHint.empty())
    SetHint(action->Hint());
  if (!CheckDefaults || FVisible)
    SetVisible(action->Visible());
}

void TWinControl::Notification(TComponent* AComponent, TOperation AOperation) {
  TComponent::Notification(AComponent, AOperation);
  if (AOperation == opRemove && AComponent != nullptr && AComponent == Action())
    SetAction(nullptr);
}

void TWinControl::Click() {
  // The link may be gone when Execute returns (the action freed itself).
  if (FActionLink)
    FActionLink->Execute();
  else if (OnClick)
    OnClick(this);
}

bool TWinControl::UpdateAction(TBasicAction*) {
  return false;
}

bool TControlActionLink::IsCaptionLinked() const {
  return TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() const {
  return TActionLink::IsHintLinked() && FClient->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() const {
  return TActionLink::IsVisibleLinked() && FClient->Visible() == CustomAction()->Visible();
}

void TControlActionLink::SetCaption(const std::wstring& value) {
  if (IsCaptionLinked())
    FClient->SetCaption(value);
}

void TControlActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked())
    FClient->SetEnabled(value);
}

void TControlActionLink::SetHint(const std::wstring& value) {
  if (IsHintLinked())
    FClient->SetHint(value);
}

void TControlActionLink::SetVisible(bool value) {
  if (IsVisibleLinked())
    FClient->SetVisible(value);
}

} // namespace telvora
