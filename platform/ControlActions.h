#pragma once
// How a windowed control follows an action: the link that carries the
// action's caption, enabled, hint and visible to the control. The control's
// side (TWinControl::Action, SetAction, ActionChange, Click) is declared
// with the control in Controls.h and made in ControlActions.cpp.

#include "platform/ActnList.h"

#include <string>

namespace telvora {

class TWinControl;

// The link of a windowed control to its action: the caption, enabled,
// hint and visible of the action reach the control while it shows the
// action's values; a click executes the action.
class TControlActionLink : public TActionLink {
public:
  explicit TControlActionLink(TWinControl* AClient) : FClient(AClient) {}
  TWinControl* Client() const noexcept { return FClient; }

  bool IsCaptionLinked() const override;
  bool IsEnabledLinked() const override;
  bool IsHintLinked() const override;
  bool IsVisibleLinked() const override;
  void SetCaption(const std::wstring& value) override;
  void SetEnabled(bool value) override;
  void SetHint(const std::wstring& value) override;
  void SetVisible(bool value) override;

protected:
  TWinControl* FClient;
};

} // namespace telvora
