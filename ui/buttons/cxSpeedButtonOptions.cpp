#include "ui/buttons/cxSpeedButtonOptions.h"

#include "ui/buttons/cxButtons.h"

namespace telvora {

void TcxSpeedButtonOptions::Assign(const TcxSpeedButtonOptions& ASource) {
  SetGroupIndex(ASource.GroupIndex());
  SetAllowAllUp(ASource.AllowAllUp());
  SetCanBeFocused(ASource.CanBeFocused());
  SetDown(ASource.Down());
  SetFlat(ASource.Flat());
  SetTransparent(ASource.Transparent());
}

void TcxSpeedButtonOptions::EndUpdate() {
  --FLockCount;
  UpdateGroup();
}

bool TcxSpeedButtonOptions::Active() const {
  return !(FGroupIndex == 0 && FCanBeFocused);
}

void TcxSpeedButtonOptions::SetAllowAllUp(bool value) {
  if (value == FAllowAllUp)
    return;
  FAllowAllUp = value;
  UpdateGroup();
}

void TcxSpeedButtonOptions::SetCanBeFocused(bool value) {
  if (value == FCanBeFocused)
    return;
  FCanBeFocused = value;
  UpdateGroup();
  FOwner->Repaint();
}

bool TcxSpeedButtonOptions::Down() const {
  return FOwner->GetDown();
}

void TcxSpeedButtonOptions::SetDown(bool value) {
  // With an action, the action's checked state decides.
  if (auto* action = dynamic_cast<TCustomAction*>(FOwner->Action())) {
    action->SetChecked(value);
    return;
  }
  if (FOwner->Action() == nullptr)
    InternalSetDown(value);
}

void TcxSpeedButtonOptions::SetFlat(bool value) {
  if (value == FFlat)
    return;
  FFlat = value;
  UpdateGroup();
  if (Active())
    FOwner->Invalidate();
}

void TcxSpeedButtonOptions::SetGroupIndex(int value) {
  if (value == FGroupIndex)
    return;
  FGroupIndex = value;
  if (value != 0)
    UpdateGroup();
  else
    SetDown(false);
}

void TcxSpeedButtonOptions::SetTransparent(bool value) {
  if (value == FTransparent)
    return;
  FTransparent = value;
  UpdateGroup();
  if (Active())
    FOwner->Invalidate();
}

bool TcxSpeedButtonOptions::AllowCheck(bool value) const {
  if (value == Down())
    return false;
  // The down button of a group is released only by another going down,
  // unless all may be up.
  return !(Down() && !FAllowAllUp && FGroupIndex != 0 && FLockCount == 0 &&
           FOwner->Action() == nullptr);
}

void TcxSpeedButtonOptions::InternalSetDown(bool value) {
  // A button outside any group and without an action never stays down.
  if (FGroupIndex == 0 && FOwner->Action() == nullptr)
    value = false;
  if (!AllowCheck(value))
    return;
  if (value) {
    FOwner->SetInternalStates(FOwner->InternalStates().With(bisDown));
    UpdateGroup();
  } else {
    FOwner->SetInternalStates(FOwner->InternalStates().Without(bisDown));
  }
  FOwner->Invalidate();
}

void TcxSpeedButtonOptions::UpdateGroup() {
  TWinControl* parent = FOwner->Parent();
  if (FLockCount != 0 || !Active() || FGroupIndex == 0 || parent == nullptr)
    return;
  // Broadcast by the parent to every child control.
  for (int i = 0; i < parent->ControlCount(); ++i)
    parent->Controls(i)->Perform(CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex),
                                 reinterpret_cast<LPARAM>(FOwner));
}

void TcxSpeedButtonOptions::UpdateGroupValues(TcxCustomButton* ASender) {
  TcxSpeedButtonOptions& other = ASender->SpeedButtonOptions();
  BeginUpdate();
  TScopeExit cancel([this] { CancelUpdate(); });
  SetCanBeFocused(other.CanBeFocused());
  SetAllowAllUp(other.AllowAllUp());
  SetFlat(other.Flat());
  SetTransparent(other.Transparent());
  if (other.Down() && Down() &&
      (FOwner->Action() == nullptr || FOwner->Action() != ASender->Action())) {
    InternalSetDown(false);
    if (auto* action = dynamic_cast<TCustomAction*>(FOwner->Action()))
      action->SetChecked(false);
  }
}

bool TcxSpeedButtonOptions::NeedDrawParts() const {
  return !FOwner->GetCanBeFocused() && (FFlat || FTransparent);
}

// A button of the group under the same parent went down or changed a shared
// setting.
void TcxCustomButton::CMButtonPressed(TMessage& message) {
  auto* sender = reinterpret_cast<TcxCustomButton*>(message.LParam);
  if (GetSpeedButtonMode() && GetGroupIndex() != 0 &&
      GetGroupIndex() == static_cast<int>(message.WParam) && sender != nullptr && sender != this) {
    FSpeedButtonOptions.UpdateGroupValues(sender);
    Invalidate();
  }
}

} // namespace telvora
