// The button at a resolution: it takes the scale of the form it is put on,
// and a change of scale rescales its look-and-feel, its glyph margin and
// spacing.

#include "ui/buttons/cxButtons.h"

#include "platform/Forms.h"

namespace telvora {

void TcxCustomButton::ChangeScale(int M, int D, bool isDpiChange) {
  FScaleFactor.Change(M, D);
  TCustomButton::ChangeScale(M, D, isDpiChange);
  FLookAndFeel->Refresh();
}

void TcxCustomButton::SetParent(TWinControl* AParent) {
  if (AParent == Parent() && !IsLoading())
    return;
  TCustomButton::SetParent(AParent);
  // The button takes the scale its new form is shown at.
  TCustomForm* form = Parent() != nullptr ? Parent()->ParentForm() : nullptr;
  if (form == nullptr)
    return;
  if (IsLoading()) {
    FScaleFactor.Assign(form->PixelsPerInch(), 96, true);
    return;
  }
  int M = form->PixelsPerInch() * FScaleFactor.Denominator();
  int D = 96 * FScaleFactor.Numerator();
  cxReduceFraction(M, D);
  if (M != D)
    ChangeScale(M, D, false);
}

void TcxCustomButton::ScaleFactorChangeHandler(TdxScaleFactor*, int M, int D, bool IsLoading) {
  if (!IsLoading)
    ScaleFactorChanged(M, D);
}

void TcxCustomButton::ScaleFactorChanged(int M, int D) {
  // Each setter repaints; -1 means automatic and is left alone.
  if (FOptionsImage->Margin() != -1)
    FOptionsImage->SetMargin(RescaleImageLength(FGivenMargin, FOptionsImage->Margin(), M, D));
  if (FOptionsImage->Spacing() != -1)
    FOptionsImage->SetSpacing(RescaleImageLength(FGivenSpacing, FOptionsImage->Spacing(), M, D));
  Invalidate();
}

int TcxCustomButton::RescaleImageLength(TGivenImageLength& AGiven, int ACurrent, int M, int D) {
  const TScaleRatio now{FScaleFactor.Numerator(), FScaleFactor.Denominator()};
  if (ACurrent != AGiven.LastSet) {
    // Set since the last change: given at the factor before this one.
    AGiven.Given.Value = ACurrent;
    AGiven.Given.At = now;
    AGiven.Given.At.Multiply(D, M);
  }
  AGiven.LastSet = AGiven.Given.ScaledTo(now);
  return AGiven.LastSet;
}

} // namespace telvora
