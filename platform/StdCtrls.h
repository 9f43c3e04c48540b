#pragma once
// Standard controls: the single-line edit box and the push-button base.

#include "platform/Controls.h"

namespace telvora {

class TEdit : public TWinControl {
public:
  explicit TEdit(TComponent* AOwner);
  std::wstring ClassName() const override { return L"TEdit"; }

  bool ReadOnly() const noexcept { return FReadOnly; }
  void SetReadOnly(bool value);
  bool AutoSelect() const noexcept { return FAutoSelect; }
  void SelectAll();
  // Selection as EM_GETSEL reports it.
  void GetSelection(int& start, int& end);

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;
  void ChangeScale(int M, int D, bool isDpiChange) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void WndProc(TMessage& message) override;
  void FontChanged() override;

private:
  // The height the font asks for: text-metric height + 8 x border height.
  int AutoHeight();
  void AdjustHeight();

  bool FReadOnly = false;
  bool FAutoSelect = true;
  bool FAutoSize = true;
  // The background brush handed out for the colour requests, kept while
  // the colour stays.
  TGdiObject FBrush;
  COLORREF FBrushColor = CLR_INVALID;
};

class TCustomButton : public TWinControl {
public:
  explicit TCustomButton(TComponent* AOwner);
  ~TCustomButton() override;

  bool Default() const noexcept { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const noexcept { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  int ModalResult() const noexcept { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }
  bool WordWrap() const noexcept { return FWordWrap; }
  void SetWordWrap(bool value);

  // The parent form's modal result := ModalResult, then the linked action
  // or else OnClick.
  void Click() override;
  // Whether the button is checked; the base keeps a plain flag, which the
  // linked action's Checked reaches.
  virtual bool GetChecked() const { return FChecked; }
  virtual void SetChecked(bool value) { FChecked = value; }

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void WndProc(TMessage& message) override;
  // Called when the focus moves among the form's controls.
  virtual void SetButtonStyle(bool ADefault);
  // A TButtonActionLink.
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  // Also takes the action's Checked.
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

  bool FActive = false;
  bool FClicksDisabled = false;

private:
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
  bool FWordWrap = false;
  bool FChecked = false;
};

// The link of a button to its action: that of windowed controls, and the
// action's Checked reaches the button's while the button shows the
// action's value.
class TButtonActionLink : public TControlActionLink {
public:
  explicit TButtonActionLink(TCustomButton* AClient)
      : TControlActionLink(AClient), FButton(AClient) {}

  bool IsCheckedLinked() const override;
  void SetChecked(bool value) override;

protected:
  TCustomButton* FButton;
};

} // namespace telvora

namespace telvora {
// Registers the standard controls for form descriptions.
void InitStdCtrlsUnit();
void DoneStdCtrlsUnit();
} // namespace telvora
