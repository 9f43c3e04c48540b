#pragma once

#include "platform/StdCtrls.h"

namespace telvora {

class TcxCustomButton;

// The link of a push button to its action: that of buttons, and the
// action's checked state latches the button, its group index and image
// index become the button's while they are linked.
class TcxButtonActionLink : public TButtonActionLink {
public:
  explicit TcxButtonActionLink(TcxCustomButton* AClient);
  ~TcxButtonActionLink() override;
  bool IsImageIndexLinked() const override;
  void SetChecked(bool value) override;
  void SetGroupIndex(int value) override;
  void SetImageIndex(int value) override;

private:
  TcxCustomButton* FcxButton;
};

} // namespace telvora
