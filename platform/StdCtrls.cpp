#include "platform/StdCtrls.h"

#include "platform/Forms.h"

namespace telvora {

// ---------------------------------------------------------------- TEdit

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SystemClass = L"EDIT";
  params.Style |= ES_AUTOHSCROLL | ES_LEFT;
  if (FReadOnly)
    params.Style |= ES_READONLY;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateHandleDone() {
  AdjustHeight();
}

void TEdit::SetReadOnly(bool value) {
  FReadOnly = value;
  if (HandleAllocated())
    SendMessageW(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void TEdit::SelectAll() {
  if (HandleAllocated())
    SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TEdit::GetSelection(int& start, int& end) {
  DWORD s = 0, e = 0;
  if (HandleAllocated())
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int>(s);
  end = static_cast<int>(e);
}

bool TEdit::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"ReadOnly")
    SetReadOnly(value.AsBoolean());
  else if (path == L"AutoSelect")
    FAutoSelect = value.AsBoolean();
  else if (path == L"AutoSize")
    FAutoSize = value.AsBoolean();
  else
    return TWinControl::SetProperty(path, value);
  return true;
}

int TEdit::AutoHeight() {
  return FontTextHeight(Font().Handle()) + 8 * GetSystemMetrics(SM_CYBORDER);
}

void TEdit::AdjustHeight() {
  if (FAutoSize)
    ApplyBounds(Left(), Top(), Width(), AutoHeight());
}

void TEdit::FontChanged() {
  TWinControl::FontChanged();
  if (HandleAllocated())
    AdjustHeight();
}

void TEdit::ChangeScale(int M, int D, bool isDpiChange) {
  TWinControl::ChangeScale(M, D, isDpiChange);
  // The height follows the scaled font, not the scaled bounds.
  AdjustHeight();
}

void TEdit::WndProc(TMessage& message) {
  switch (message.Msg) {
  case WM_SETFOCUS:
    TWinControl::WndProc(message);
    // Entered other than by a left click: everything is selected.
    if (FAutoSelect && !(GetKeyState(VK_LBUTTON) < 0 && IsMouseInControl()))
      SelectAll();
    return;
  case CN_CTLCOLOREDIT:
  case CN_CTLCOLORSTATIC: {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    const COLORREF background = ColorToRGB(Color());
    if (!FBrush || background != FBrushColor) {
      FBrush.Reset(CreateSolidBrush(background));
      FBrushColor = FBrush ? background : CLR_INVALID;
    }
    message.Result = reinterpret_cast<LRESULT>(FBrush.Get());
    return;
  }
  default:
    TWinControl::WndProc(message);
  }
}

// ---------------------------------------------------------------- TCustomButton

TCustomButton::TCustomButton(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

TCustomButton::~TCustomButton() {
  RemoveFocusFollower(this);
}

void TCustomButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SystemClass = L"BUTTON";
  params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if (FWordWrap)
    params.Style |= BS_MULTILINE;
}

void TCustomButton::CreateHandleDone() {
  FActive = FDefault;
}

void TCustomButton::SetDefault(bool value) {
  if (value == FDefault)
    return;
  FDefault = value;
  // A default button hears of every focus change of its form.
  if (value)
    AddFocusFollower(this);
  else
    RemoveFocusFollower(this);
  // Whether the button is now the active one depends on where the focus is.
  if (HandleAllocated()) {
    if (TCustomForm* form = ParentForm())
      Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
  }
}

void TCustomButton::SetWordWrap(bool value) {
  if (value != FWordWrap) {
    FWordWrap = value;
    RecreateWnd();
  }
}

void TCustomButton::SetButtonStyle(bool ADefault) {
  if (HandleAllocated())
    SendMessageW(Handle(), BM_SETSTYLE, ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TCustomButton::Click() {
  if (TCustomForm* form = ParentForm())
    form->SetModalResult(FModalResult);
  TWinControl::Click();
}

std::unique_ptr<TControlActionLink> TCustomButton::CreateActionLink() {
  return std::make_unique<TButtonActionLink>(this);
}

void TCustomButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TWinControl::ActionChange(Sender, CheckDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(Sender))
    if (!CheckDefaults || !GetChecked())
      SetChecked(action->Checked());
}

bool TButtonActionLink::IsCheckedLinked() const {
  return TControlActionLink::IsCheckedLinked() &&
         FButton->GetChecked() == CustomAction()->Checked();
}

void TButtonActionLink::SetChecked(bool value) {
  if (IsCheckedLinked())
    FButton->SetChecked(value);
}

bool TCustomButton::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"Default")
    SetDefault(value.AsBoolean());
  else if (path == L"Cancel")
    SetCancel(value.AsBoolean());
  else if (path == L"ModalResult")
    SetModalResult(value.AsInteger());
  else if (path == L"WordWrap")
    SetWordWrap(value.AsBoolean());
  else
    return TWinControl::SetProperty(path, value);
  return true;
}

void TCustomButton::WndProc(TMessage& message) {
  switch (message.Msg) {
  case CN_COMMAND:
    if (HIWORD(message.WParam) == BN_CLICKED && !FClicksDisabled)
      Click();
    return;
  case CM_FOCUSCHANGED: {
    // The focused button is the active one; while the focus is on another
    // kind of control, every default button is.
    auto* focused = reinterpret_cast<TWinControl*>(message.LParam);
    FActive = dynamic_cast<TCustomButton*>(focused) != nullptr ? focused == this : FDefault;
    SetButtonStyle(FActive);
    return;
  }
  case CM_DIALOGKEY:
    // Enter clicks the active default button, Escape the cancel button.
    if (((message.WParam == VK_RETURN && FActive) || (message.WParam == VK_ESCAPE && FCancel)) &&
        CanFocus()) {
      Click();
      message.Result = 1;
    }
    return;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    if (!Focused()) {
      FClicksDisabled = true;
      ::SetFocus(Handle());
      FClicksDisabled = false;
      if (!Focused())
        return;
    }
    break;
  default:
    break;
  }
  TWinControl::WndProc(message);
}

} // namespace telvora

namespace telvora {
void InitStdCtrlsUnit() {
  RegisterComponentClass(L"TEdit", [](TComponent* owner) { return new TEdit(owner); });
}
void DoneStdCtrlsUnit() {
  UnregisterComponentClass(L"TEdit");
}
} // namespace telvora
