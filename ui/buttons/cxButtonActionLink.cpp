#include "ui/buttons/cxButtonActionLink.h"

#include "ui/buttons/cxButtons.h"

namespace telvora {

TcxButtonActionLink::TcxButtonActionLink(TcxCustomButton* AClient)
    : TButtonActionLink(AClient), FcxButton(AClient) {}

TcxButtonActionLink::~TcxButtonActionLink() {
  // The action's image goes with the link, unless the button goes too.
  if (!FcxButton->IsDestroying() && FcxButton->FGlyph) {
    FcxButton->FGlyph->SetImages(nullptr);
    FcxButton->FGlyph->SetImageIndex(-1);
  }
}

bool TcxButtonActionLink::IsImageIndexLinked() const {
  return TButtonActionLink::IsImageIndexLinked() &&
         FcxButton->OptionsImage().ImageIndex() == CustomAction()->ImageIndex();
}

// The action tells its links before it takes the new value: whether a
// value is linked is asked first.
void TcxButtonActionLink::SetChecked(bool value) {
  const bool linked = IsCheckedLinked();
  TButtonActionLink::SetChecked(value);
  if (linked)
    FcxButton->FSpeedButtonOptions.InternalSetDown(value);
}

void TcxButtonActionLink::SetGroupIndex(int value) {
  const bool linked = IsGroupIndexLinked();
  TButtonActionLink::SetGroupIndex(value);
  if (linked)
    FcxButton->SpeedButtonOptions().SetGroupIndex(value);
}

void TcxButtonActionLink::SetImageIndex(int value) {
  const bool linked = IsImageIndexLinked();
  TButtonActionLink::SetImageIndex(value);
  if (linked)
    FcxButton->OptionsImage().SetImageIndex(value);
}

} // namespace telvora
