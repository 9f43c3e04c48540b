#pragma once
// Speed-button settings of a push button, and the message by which the
// buttons of a group under one parent keep their shared settings and at most
// one of them down.

#include "platform/Messages.h"

namespace telvora {

class TcxCustomButton;

// Speed-button settings: a button that refuses the focus, latches down, and
// works in a group of buttons under one parent of which at most one is down.
class TcxSpeedButtonOptions {
public:
  explicit TcxSpeedButtonOptions(TcxCustomButton* AOwner) : FOwner(AOwner) {}
  TcxSpeedButtonOptions(const TcxSpeedButtonOptions&) = delete;
  TcxSpeedButtonOptions& operator=(const TcxSpeedButtonOptions&) = delete;

  // GroupIndex, AllowAllUp, CanBeFocused, Down, Flat and Transparent, each
  // through its setter.
  void Assign(const TcxSpeedButtonOptions& ASource);
  // No group broadcast while updating; EndUpdate broadcasts once.
  void BeginUpdate() noexcept { ++FLockCount; }
  void CancelUpdate() noexcept { --FLockCount; }
  void EndUpdate();

  // The options do something: a group or a button that refuses the focus.
  bool Active() const;
  // In a group, the down button may be released so that none is down.
  bool AllowAllUp() const noexcept { return FAllowAllUp; }
  void SetAllowAllUp(bool value);
  bool CanBeFocused() const noexcept { return FCanBeFocused; }
  void SetCanBeFocused(bool value);
  // The button latched down (kept in the button's bisDown).
  bool Down() const;
  void SetDown(bool value);
  // A flat speed button shows its border only while hot or not normal.
  bool Flat() const noexcept { return FFlat; }
  void SetFlat(bool value);
  // The group among the buttons of the same parent; 0: none.
  int GroupIndex() const noexcept { return FGroupIndex; }
  void SetGroupIndex(int value);
  // A transparent speed button shows the parent's image instead of its face
  // while normal.
  bool Transparent() const noexcept { return FTransparent; }
  void SetTransparent(bool value);
  // The face is drawn in parts: the button cannot be focused and is flat or
  // transparent.
  bool NeedDrawParts() const;
  int LockCount() const noexcept { return FLockCount; }

private:
  friend class TcxCustomButton;
  friend class TcxButtonActionLink;
  // Latches or releases the button where the group allows it.
  void InternalSetDown(bool value);
  bool AllowCheck(bool value) const;
  // Tells the other buttons of the group (CM_BUTTONPRESSED from the parent).
  void UpdateGroup();
  // Takes the group's shared settings from ASender's options and releases
  // this button when both are down.
  void UpdateGroupValues(TcxCustomButton* ASender);

  TcxCustomButton* FOwner;
  bool FAllowAllUp = false;
  bool FCanBeFocused = true;
  int FGroupIndex = 0;
  bool FFlat = false;
  int FLockCount = 0;
  bool FTransparent = false;
};

// Sent by a parent to each child when a grouped button went down or changed
// a shared setting: WPARAM the group index, LPARAM the button.
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;

} // namespace telvora
