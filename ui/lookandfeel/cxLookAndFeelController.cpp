#include "ui/lookandfeel/cxLookAndFeelController.h"

namespace telvora {

namespace {

// The root while there is one: a controller creates it only when it is
// made, and does not make it again later.
TcxLookAndFeel* Root() noexcept {
  return IsRootLookAndFeelAssigned() ? RootLookAndFeel() : nullptr;
}

} // namespace

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (TcxLookAndFeel* root = RootLookAndFeel())
    root->AddChangeListener(this);
}

TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (TcxLookAndFeel* root = Root())
    root->RemoveChangeListener(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const {
  const TcxLookAndFeel* root = Root();
  return root != nullptr ? root->Kind() : cxDefaultLookAndFeelKind;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind Value) {
  if (TcxLookAndFeel* root = Root())
    root->SetKind(Value);
}

bool TcxLookAndFeelController::NativeStyle() const {
  const TcxLookAndFeel* root = Root();
  return root != nullptr ? root->NativeStyle() : cxDefaultLookAndFeelNativeStyle;
}

void TcxLookAndFeelController::SetNativeStyle(bool Value) {
  if (TcxLookAndFeel* root = Root())
    root->SetNativeStyle(Value);
}

TdxScrollbarMode TcxLookAndFeelController::ScrollbarMode() const {
  const TcxLookAndFeel* root = Root();
  return root != nullptr ? root->ScrollbarMode() : cxDefaultLookAndFeelScrollbarMode;
}

void TcxLookAndFeelController::SetScrollbarMode(TdxScrollbarMode Value) {
  if (TcxLookAndFeel* root = Root())
    root->SetScrollbarMode(Value);
}

TdxScrollMode TcxLookAndFeelController::ScrollMode() const {
  const TcxLookAndFeel* root = Root();
  return root != nullptr ? root->ScrollMode() : cxDefaultLookAndFeelScrollMode;
}

void TcxLookAndFeelController::SetScrollMode(TdxScrollMode Value) {
  if (TcxLookAndFeel* root = Root())
    root->SetScrollMode(Value);
}

TdxSkinName TcxLookAndFeelController::SkinName() const {
  const TcxLookAndFeel* root = Root();
  return root != nullptr ? root->SkinName() : TdxSkinName(cxDefaultLookAndFeelSkinName);
}

void TcxLookAndFeelController::SetSkinName(const TdxSkinName& Value) {
  if (TcxLookAndFeel* root = Root())
    root->SetSkinName(Value);
}

TdxRenderMode TcxLookAndFeelController::RenderMode() const {
  const TcxLookAndFeel* root = Root();
  return root != nullptr ? root->RenderMode() : cxDefaultLookAndFeelRenderMode;
}

void TcxLookAndFeelController::SetRenderMode(TdxRenderMode Value) {
  if (TcxLookAndFeel* root = Root())
    root->SetRenderMode(Value);
}

bool TcxLookAndFeelController::TouchMode() const noexcept {
  return cxIsTouchModeEnabled;
}

void TcxLookAndFeelController::SetTouchMode(bool Value) {
  if (Value == cxIsTouchModeEnabled)
    return;
  cxIsTouchSettingsChanging = true;
  cxIsTouchModeEnabled = Value;
  try {
    if (TcxLookAndFeel* root = Root())
      root->Refresh();
  } catch (...) {
    cxIsTouchSettingsChanging = false;
    throw;
  }
  cxIsTouchSettingsChanging = false;
}

void TcxLookAndFeelController::BeginUpdate() {
  if (TcxLookAndFeel* root = Root())
    root->BeginUpdate();
}

void TcxLookAndFeelController::EndUpdate() {
  if (TcxLookAndFeel* root = Root())
    root->EndUpdate();
}

void TcxLookAndFeelController::Reset() {
  if (TcxLookAndFeel* root = Root())
    root->Reset();
}

bool TcxLookAndFeelController::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"TouchMode")
    SetTouchMode(value.AsBoolean());
  else if (path == L"TouchScrollUIMode") {
    // The older entry, applied only when it changes something.
    bool enabled = value.AsBoolean();
    if (enabled != cxIsTouchScrollUIModeEnabled())
      SetScrollbarMode(enabled ? sbmTouch : sbmClassic);
  } else if (path == L"Kind" || path == L"NativeStyle" || path == L"ScrollbarMode" ||
             path == L"ScrollMode" || path == L"SkinName" || path == L"RenderMode") {
    if (TcxLookAndFeel* root = Root())
      root->SetProperty(path, value);
  } else
    return TComponent::SetProperty(path, value);
  return true;
}

} // namespace telvora
