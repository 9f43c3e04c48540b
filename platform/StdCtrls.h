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
  TGdiObject FBrush;
};

class TCustomButton : public TWinControl {
public:
  explicit TCustomButton(TComponent* AOwner);

  bool Default() const noexcept { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const noexcept { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  int ModalResult() const noexcept { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }
  bool WordWrap() const noexcept { return FWordWrap; }
  void SetWordWrap(bool value);

  // The parent form's modal result := ModalResult, then OnClick.
  virtual void Click();

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void WndProc(TMessage& message) override;
  // Called when the focus moves among the form's controls.
  virtual void SetButtonStyle(bool ADefault);

  bool FActive = false;
  bool FClicksDisabled = false;

private:
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
  bool FWordWrap = false;
};

} // namespace telvora

namespace telvora {
// Registers the standard controls for form descriptions.
void InitStdCtrlsUnit();
void DoneStdCtrlsUnit();
} // namespace telvora
