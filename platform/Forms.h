#pragma once
// Top-level forms: client size, focus among their controls (the active
// control, Tab order), closing, and scaling to the monitor's resolution.

#include "platform/Controls.h"

namespace telvora {

// Modal results.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

class TCustomForm : public TWinControl {
public:
  explicit TCustomForm(TComponent* AOwner);

  int ClientWidth() const noexcept { return FClientWidth; }
  int ClientHeight() const noexcept { return FClientHeight; }
  void SetClientSize(int width, int height);
  int PixelsPerInch() const noexcept { return FPixelsPerInch; }
  int TextHeight() const noexcept { return FTextHeight; }
  bool Scaled() const noexcept { return FScaled; }

  TWinControl* ActiveControl() const noexcept { return FActiveControl; }
  // Moves the focus to `control` (a control of this form).
  void FocusControl(TWinControl* control);
  // Called when a control of the form receives the focus.
  void ControlFocused(TWinControl* control);
  // Tells the controls of the form whose part may change (CM_FOCUSCHANGED)
  // that `focused` has the focus (none: no control of the form has it): the
  // control that has it now, the one told last time, and the form's focus
  // followers. Every other control heard nothing new: which control has the
  // focus concerns it only when it is one of those two. The cost does not
  // grow with the number of controls.
  void FocusChanged(TWinControl* focused);
  // A control of the form is being destroyed: it is told nothing more, and
  // the focus is nowhere when it had it.
  void ControlDestroying(TWinControl* control);
  // Focuses the first control in tab order that can take the focus.
  void SelectFirst();
  // Moves the focus to the next (or previous) focusable tab stop.
  void SelectNext(TWinControl* current, bool forward);
  // Controls of the form in tab order, depth first.
  std::vector<TWinControl*> TabList();
  // Offers Enter or Escape to the form's controls; answers whether one took it.
  bool DialogKey(WPARAM key);
  // Offers an accelerator character to the form's controls (CM_DIALOGCHAR);
  // answers whether one took it.
  bool DialogChar(WPARAM character, LPARAM keyData);

  // Reads the form description resource named after the class (upper case).
  void ReadFormDescription();
  // Scales the form from its current resolution to `newPPI`. Every figure
  // is computed from the one last given (the form description's, unless a
  // setter gave another), so the layout at a resolution is the same
  // whatever resolutions the form passed through before.
  void ScaleForPPI(int newPPI);
  // Scales the form to the monitor it will be shown on.
  void ScaleForCurrentDpi();
  // The resolution of the monitor nearest to the window's normal rectangle.
  int MonitorPixelsPerInch();

  // Ends the application for the main form; a modal form gets the modal
  // result mrCancel; any other form hides.
  void Close();
  // Shows the form modally: the thread's other windows are disabled and
  // messages are handled until the modal result is set (by a button's
  // ModalResult or by closing the form) or the application ends; then the
  // other windows are enabled again and the form hides. Answers the result.
  int ShowModal();
  bool Modal() const noexcept { return FModal; }
  int ModalResult() const noexcept { return FModalResult; }
  void SetModalResult(int value) noexcept { FModalResult = value; }

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void WndProc(TMessage& message) override;
  void ChangeScale(int M, int D, bool isDpiChange) override;

private:
  void ApplyClientSize();

  int FClientWidth = 0;
  int FClientHeight = 0;
  int FPixelsPerInch = 96;
  int FTextHeight = 13;
  // As last given (description or setter), with the scale then: a rescale
  // computes the figures above from these.
  TGivenLength FGivenClientWidth;
  TGivenLength FGivenClientHeight;
  TGivenLength FGivenPixelsPerInch{96, {}};
  TGivenLength FGivenTextHeight{13, {}};
  bool FScaled = true;
  int FModalResult = 0;
  bool FModal = false;
  TWinControl* FActiveControl = nullptr;
  // The control that FocusChanged named last.
  TWinControl* FFocusNotified = nullptr;
  // The brush the background is erased with, and the colour it has.
  TSharedGdiObject FBackgroundBrush;
  COLORREF FBackgroundColor = CLR_INVALID;
};

// Controls that must hear of every focus change of their form even when
// they neither get nor lose the focus (a default button is the active one
// while the focus is on a control that is no button).
void AddFocusFollower(TWinControl* AControl);
void RemoveFocusFollower(TWinControl* AControl);

// Window size for a client size at a resolution (AdjustWindowRectExForDpi
// where Windows has it).
SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi);
// Effective resolution of a monitor, or 0 when it cannot be had.
int MonitorDpi(HMONITOR monitor);
int SystemDpi();

} // namespace telvora
