#include "ui/buttons/cxButtons.h"

#include "platform/Application.h"
#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"

#include <cwctype>

namespace telvora {

TcxCustomLookAndFeelPainter* GetButtonPainter(TcxLookAndFeel& ALookAndFeel) {
  TcxCustomLookAndFeelPainter* painter = ALookAndFeel.Painter();
  if (painter != nullptr && ALookAndFeel.SkinPainter() == nullptr &&
      painter->LookAndFeelStyle() == lfsOffice11) {
    if (TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager()) {
      if (TcxCustomLookAndFeelPainter* replacement =
              manager->GetPainter(AreVisualStylesAvailable(totButton) ? lfsNative : lfsStandard))
        painter = replacement;
    }
  }
  return painter;
}

std::wstring RemoveAccelChars(const std::wstring& ACaption) {
  std::wstring result;
  result.reserve(ACaption.size());
  for (size_t i = 0; i < ACaption.size(); ++i) {
    if (ACaption[i] == L'&') {
      if (i + 1 >= ACaption.size())
        break;
      ++i;
    }
    result += ACaption[i];
  }
  return result;
}

bool IsAccel(wchar_t AChar, const std::wstring& ACaption) {
  const wchar_t hotkey = GetHotkey(ACaption);
  return hotkey != 0 && hotkey == static_cast<wchar_t>(std::towupper(static_cast<wint_t>(AChar)));
}

TcxCustomButton::TcxCustomButton(TComponent* AOwner) : TCustomButton(AOwner) {
  FViewInfo = CreateViewInfo();
  FGlyph = std::make_unique<TcxButtonGlyph>(this);
  FGlyph->OnChange = [this] { GlyphChanged(); };
  FColors = std::make_unique<TcxButtonColors>(this);
  FControlCanvas = std::make_unique<TControlCanvas>(this);
  FCanvas = std::make_unique<TcxCanvas>(FControlCanvas.get());
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
    LookAndFeelChanged(Sender, AChangedValues);
  };
  FScaleFactor.ListenerAdd({this, 0, [this](TdxScaleFactor* Sender, int M, int D, bool IsLoading) {
                              ScaleFactorChangeHandler(Sender, M, D, IsLoading);
                            }});
  FOptionsImage = CreateOptionsImage();
  FOptionsImage->OnChanged = [this] {
    UpdateImageInfo();
    Invalidate();
  };
  FButtonPressTimer =
      cxCreateTimer([this](TObject* Sender) { DoButtonPressTimer(Sender); }, 1000, false);
}

TcxCustomButton::~TcxCustomButton() {
  // Out of the fader and the tracking before anything is freed.
  if (TdxFader* fader = dxFaderInstance())
    fader->Remove(this, true);
  EndMouseTracking(this);
  FButtonPressTimer.reset();
  FOptionsImage.reset();
  FLookAndFeel->OnChanged = nullptr;
  FLookAndFeel.reset();
  FScaleFactor.ListenerRemove(this);
  FColors.reset();
  FCanvas.reset();
  FControlCanvas.reset();
  FGlyph.reset();
  FViewInfo.reset();
}

void TcxCustomButton::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  if (FUseSystemPaint)
    RecreateWnd();
  else
    Invalidate();
}

TcxCustomLookAndFeelPainter* TcxCustomButton::GetPainter() {
  return GetButtonPainter(*FLookAndFeel);
}

void TcxCustomButton::SetDescription(const std::wstring& Value) {
  if (Value != FDescription) {
    FDescription = Value;
    Invalidate();
  }
}

void TcxCustomButton::SetKind(TcxButtonKind Value) {
  if (Value == FKind)
    return;
  FKind = Value;
  RecreateWnd();
}

void TcxCustomButton::SetShowFocusRect(bool Value) {
  if (Value != FShowFocusRect) {
    FShowFocusRect = Value;
    Invalidate();
  }
}

void TcxCustomButton::SetPaintStyle(TcxButtonPaintStyle Value) {
  if (Value != FPaintStyle) {
    FPaintStyle = Value;
    Invalidate();
  }
}

std::unique_ptr<TcxButtonImageOptions> TcxCustomButton::CreateOptionsImage() {
  return std::make_unique<TcxButtonImageOptions>(FGlyph.get());
}

void TcxCustomButton::UpdateImageInfo() {
  // The options' image list, else that of the action's list.
  TcxImageList* images = FOptionsImage->Images();
  if (images == nullptr)
    if (auto* action = dynamic_cast<TCustomAction*>(Action()); action && action->ActionList())
      images = dynamic_cast<TcxImageList*>(action->ActionList()->Images());
  FGlyph->SetImages(images);
  FGlyph->SetImageIndex(FOptionsImage->ImageIndex());
}

bool TcxCustomButton::UpdateAction(TBasicAction* AAction) {
  const bool result = TCustomButton::UpdateAction(AAction);
  UpdateImageInfo();
  return result;
}

std::unique_ptr<TControlActionLink> TcxCustomButton::CreateActionLink() {
  return std::make_unique<TcxButtonActionLink>(this);
}

void TcxCustomButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TCustomButton::ActionChange(Sender, CheckDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(Sender)) {
    if (!CheckDefaults || FOptionsImage->ImageIndex() == -1) {
      FOptionsImage->SetImageIndex(action->ImageIndex());
      FSpeedButtonOptions.SetGroupIndex(action->GroupIndex());
      FSpeedButtonOptions.InternalSetDown(action->Checked());
    }
  }
  UpdateImageInfo();
}

void TcxCustomButton::GlyphChanged() {
  Invalidate();
}

void TcxCustomButton::Notification(TComponent* AComponent, TOperation AOperation) {
  TCustomButton::Notification(AComponent, AOperation);
  if (AOperation != opRemove)
    return;
  if (FOptionsImage)
    FOptionsImage->FreeNotification(AComponent);
  if (FGlyph)
    FGlyph->FreeNotification(AComponent);
  if (AComponent == FDropDownMenu)
    FDropDownMenu = nullptr;
  if (AComponent == FPopupMenu)
    FPopupMenu = nullptr;
}

void TcxCustomButton::CreateParams(TCreateParams& params) {
  TCustomButton::CreateParams(params);
  // Always an owner-drawn button.
  params.Style = (params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

bool TcxCustomButton::GetAllowSpeedButtonOptions() const {
  return FKind != cxbkCommandLink;
}

bool TcxCustomButton::GetCanBeFocused() const {
  return FSpeedButtonOptions.CanBeFocused() || !GetAllowSpeedButtonOptions();
}

int TcxCustomButton::GetGroupIndex() const {
  return GetAllowSpeedButtonOptions() ? FSpeedButtonOptions.GroupIndex() : 0;
}

bool TcxCustomButton::GetSpeedButtonMode() const {
  return !GetCanBeFocused() || GetGroupIndex() != 0;
}

bool TcxCustomButton::CanFocus() {
  return TCustomButton::CanFocus() && GetCanBeFocused();
}

bool TcxCustomButton::CanHotTrack() {
  TcxCustomLookAndFeelPainter* painter = GetPainter();
  return (!StandardButton() && painter != nullptr && painter->IsButtonHotTrack()) ||
         (FKind == cxbkCommandLink && Enabled());
}

TcxButtonState TcxCustomButton::GetButtonState() {
  if (!Enabled())
    return cxbsDisabled;
  if (FIsPaintPressed)
    return cxbsPressed;
  if (FInternalStates.Contains(bisHot) && CanHotTrack())
    return cxbsHot;
  return FIsPaintDefault ? cxbsDefault : cxbsNormal;
}

void TcxCustomButton::SetInternalStates(TcxButtonInternalStates value) {
  if (value == FInternalStates)
    return;
  const TcxButtonState previous = GetButtonState();
  FInternalStates = value;
  CheckStartFading(previous, GetButtonState());
  Invalidate();
}

void TcxCustomButton::SetButtonStyle(bool ADefault) {
  // The window stays owner-drawn: the style bits are never changed.
  if (ADefault != FIsFocused) {
    FIsFocused = ADefault;
    Refresh();
  }
}

bool TcxCustomButton::PointInClient(int x, int y) {
  RECT r = ClientRect();
  POINT p{x, y};
  return PtInRect(&r, p) != FALSE;
}

void TcxCustomButton::CheckPressedState(POINT p) {
  const RECT menu = GetMenuButtonBounds();
  if (FKind != cxbkStandard && FKind != cxbkCommandLink && PtInRect(&menu, p))
    SetInternalStates(FInternalStates.With(bisMenuButtonPressed));
  else
    SetInternalStates(FInternalStates.With(bisPressed));
}

bool TcxCustomButton::GetExecuteClick() const {
  return FInternalStates.Contains(bisPressed) ||
         !(FInternalStates.Contains(bisPressed) || FInternalStates.Contains(bisMenuButtonPressed));
}

void TcxCustomButton::MouseEnter() {
  BeginMouseTracking(this, RECT{0, 0, Width(), Height()}, this);
  SetInternalStates(FInternalStates.With(bisHot));
}

void TcxCustomButton::MouseLeave() {
  EndMouseTracking(this);
  SetInternalStates(FInternalStates.Without(bisHot));
}

void TcxCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!GetCanBeFocused())
    SetCapture(Handle());
  TCustomButton::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft)
    return;
  // A press on the button proves the pointer is over it, also when no move
  // told so (a box that covered the button has just closed).
  if (!GetCanBeFocused() && PointInClient(x, y))
    MouseEnter();
  CheckPressedState(POINT{x, y});
  if (FKind == cxbkDropDownButton)
    CheckShowMenu(POINT{x, y});
  if (FRepeatClick && FInternalStates.Contains(bisPressed)) {
    FButtonPressTimer->SetInterval(400);
    FButtonPressTimer->SetEnabled(true);
  }
  Invalidate();
}

void TcxCustomButton::MouseMove(TShiftState shift, int x, int y) {
  TCustomButton::MouseMove(shift, x, y);
  if (PointInClient(x, y))
    MouseEnter();
  if (FInternalStates.Contains(bisHot) && !PointInClient(x, y))
    MouseLeave();
}

void TcxCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  FButtonPressTimer->SetEnabled(false);
  bool doClick = !GetCanBeFocused() && button == TMouseButton::mbLeft &&
                 FInternalStates.Contains(bisHot) &&
                 (FInternalStates.Contains(bisPressed) ||
                  (FInternalStates.Contains(bisMenuButtonPressed) &&
                   (FKind == cxbkDropDown || FKind == cxbkOfficeDropDown)));
  // A completed click of a speed button latches it or lets it go.
  if (doClick && GetSpeedButtonMode() && Action() == nullptr)
    FSpeedButtonOptions.SetDown(!GetDown());
  TCustomButton::MouseUp(button, shift, x, y);
  SetInternalStates(FInternalStates.Without(bisPressed).Without(bisMenuButtonPressed));
  if (!GetCanBeFocused() && HandleAllocated() && GetCapture() == Handle())
    ReleaseCapture();
  {
    // The click that closed the menu by landing on it is carried out
    // before the closing mark goes: a drop-down kind's click would
    // otherwise open the menu again.
    TScopeExit closed([this] {
      if (!FInternalStates.Contains(bisMenuVisible))
        FIsDropDownMenuClosing = false;
    });
    if (doClick)
      Click();
  }
  Invalidate();
}

void TcxCustomButton::DblClick() {
  if (!GetCanBeFocused())
    SetCapture(Handle());
  if (GetGroupIndex() != 0)
    TCustomButton::DblClick();
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(Handle(), &p);
  if (!GetCanBeFocused() && PointInClient(p.x, p.y))
    MouseEnter();
  CheckPressedState(p);
  Invalidate();
}

void TcxCustomButton::ClickByProgram() {
  // Another program's click (BM_CLICK, an accessibility "Press"): what a
  // person could click, once, with no pressed or hot look and the focus
  // left where it is.
  // Enabled() follows the window, EnableWindow from elsewhere included.
  const HWND root = GetAncestor(Handle(), GA_ROOT);
  if (!Enabled() || (root != nullptr && IsWindowEnabled(root) == FALSE))
    return;
  Click();
}

void TcxCustomButton::Click() {
  // Drop-down kinds open their menu instead, and never set the modal result.
  if (FKind == cxbkDropDown || FKind == cxbkOfficeDropDown) {
    DoDropDownMenu();
    return;
  }
  // A focusable grouped button latches on its click, not on one by its
  // accelerator key nor on a press of the menu part alone.
  if (GetCanBeFocused() && GetGroupIndex() != 0 && Action() == nullptr &&
      !FInternalStates.Contains(bisAccelExecute) &&
      !(FInternalStates.Contains(bisMenuButtonPressed) && !FInternalStates.Contains(bisPressed)))
    FSpeedButtonOptions.SetDown(!GetDown());
  TCustomButton::Click();
}

void TcxCustomButton::DoButtonPressTimer(TObject*) {
  if (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) >= 0) {
    FButtonPressTimer->SetEnabled(false);
    return;
  }
  FButtonPressTimer->SetInterval(100);
  if (FInternalStates.Contains(bisHot) && FInternalStates.Contains(bisPressed))
    Click();
}

void TcxCustomButton::WndProc(TMessage& message) {
  switch (message.Msg) {
  case WM_LBUTTONDOWN:
    WMLButtonDown(message);
    return;
  case WM_LBUTTONDBLCLK:
    WMLButtonDblClk(message);
    return;
  case BM_CLICK:
    BMClick(message);
    return;
  case WM_CAPTURECHANGED:
    WMCaptureChanged(message);
    return;
  case WM_ERASEBKGND:
    WMEraseBkgnd(message);
    return;
  case CN_DRAWITEM:
    CNDrawItem(message);
    return;
  case CN_MEASUREITEM:
    CNMeasureItem(message);
    return;
  case CN_CTLCOLORBTN:
    // No brush for the owner-drawn face.
    return;
  case WM_DESTROY:
    WMDestroy(message);
    return;
  case CM_MOUSEENTER:
    CMMouseEnter(message);
    return;
  case CM_MOUSELEAVE:
    CMMouseLeave(message);
    return;
  case CM_ENABLEDCHANGED:
    CMEnabledChanged(message);
    return;
  case CM_FONTCHANGED:
    CMFontChanged(message);
    return;
  case CM_TEXTCHANGED:
    CMTextChanged(message);
    return;
  case BCM_SETNOTE:
    BCMSetNote(message);
    return;
  case CM_BIDIMODECHANGED:
    CMBiDiModeChanged(message);
    return;
  case CM_DROPDOWNPOPUPMENU:
    CMDropDownPopupMenu();
    return;
  case CM_CLOSEUPPOPUPMENU:
    CMCloseUpPopupMenu();
    return;
  case WM_CONTEXTMENU:
    WMContextMenu(message);
    return;
  case CN_COMMAND:
    CNCommand(message);
    return;
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
    WMKeyDown(message);
    return;
  case CM_BUTTONPRESSED:
    CMButtonPressed(message);
    return;
  case CM_DIALOGCHAR:
    CMDialogChar(message);
    return;
  case WM_WINDOWPOSCHANGED:
    WMWindowPosChanged(message);
    return;
  default:
    TCustomButton::WndProc(message);
  }
}

void TcxCustomButton::WMLButtonDown(TMessage& message) {
  if (GetSpeedButtonMode() && !IsDesigning() && !GetCanBeFocused()) {
    // Handled here: neither the framework nor the Windows button procedure
    // sees the press, so the focus stays where it is.
    MouseDown(TMouseButton::mbLeft, KeysToShiftState(message.WParam), XFromLParam(message.LParam),
              YFromLParam(message.LParam));
    return;
  }
  TCustomButton::WndProc(message);
}

void TcxCustomButton::WMLButtonDblClk(TMessage& message) {
  if (GetSpeedButtonMode() && !IsDesigning() && !GetCanBeFocused()) {
    // Handled here, as the press is.
    DblClick();
    return;
  }
  // A double-click acts as one more press.
  message.Result = SendMessageW(Handle(), WM_LBUTTONDOWN, message.WParam, message.LParam);
}

void TcxCustomButton::BMClick(TMessage& message) {
  if (GetSpeedButtonMode() && !IsDesigning() && !GetCanBeFocused()) {
    // The Windows procedure would carry it out as a press at (0, 0) that
    // the button never releases.
    ClickByProgram();
    message.Result = 0;
    return;
  }
  TCustomButton::WndProc(message);
}

void TcxCustomButton::WMCaptureChanged(TMessage& message) {
  TCustomButton::WndProc(message);
  POINT p{};
  GetCursorPos(&p);
  if (HandleAllocated() && WindowFromPoint(p) != Handle())
    SetInternalStates(
        FInternalStates.Without(bisHot).Without(bisPressed).Without(bisMenuButtonPressed));
}

void TcxCustomButton::WMDestroy(TMessage& message) {
  // A menu still open is closed up first.
  if (FInternalStates.Contains(bisMenuVisible))
    SendMessageW(Handle(), CM_CLOSEUPPOPUPMENU, 0, 0);
  // The window goes while the button lives on (it is recreated): the hot
  // look and the tracking end with it, and the framework forgets that the
  // pointer was inside.
  if (!IsDestroying() && !(Owner() && Owner()->IsDestroying()) &&
      !(Parent() && Parent()->IsDestroying()) && IsMouseTracking(this)) {
    MouseLeave();
    EndMouseTracking(this);
    Perform(WM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
  }
  TCustomButton::WndProc(message);
}

void TcxCustomButton::CMMouseEnter(TMessage& message) {
  TCustomButton::WndProc(message);
  MouseEnter();
}

void TcxCustomButton::CMMouseLeave(TMessage& message) {
  TCustomButton::WndProc(message);
  MouseLeave();
}

void TcxCustomButton::CMEnabledChanged(TMessage& message) {
  TCustomButton::WndProc(message);
  if (!Enabled())
    SetInternalStates(FInternalStates.Without(bisHot));
  Invalidate();
}

void TcxCustomButton::CMFontChanged(TMessage& message) {
  TCustomButton::WndProc(message);
  UpdateSize();
  Invalidate();
}

void TcxCustomButton::CMTextChanged(TMessage& message) {
  TCustomButton::WndProc(message);
  UpdateSize();
  Invalidate();
}

void TcxCustomButton::BCMSetNote(TMessage& message) {
  TCustomButton::WndProc(message);
  Invalidate();
}

void TcxCustomButton::CMBiDiModeChanged(TMessage& message) {
  TCustomButton::WndProc(message);
  Invalidate();
}

void TcxCustomButton::CNCommand(TMessage& message) {
  // A split button's press on the menu part alone gives no click.
  if (FKind == cxbkDropDownButton && HIWORD(message.WParam) == BN_CLICKED && !GetExecuteClick())
    return;
  TCustomButton::WndProc(message);
}

void TcxCustomButton::WMKeyDown(TMessage& message) {
  // The context menu's shortcuts first.
  const TShiftState shift = (GetKeyState(VK_SHIFT) < 0 ? ssShift : 0u) |
                            (GetKeyState(VK_CONTROL) < 0 ? ssCtrl : 0u) |
                            (GetKeyState(VK_MENU) < 0 ? ssAlt : 0u);
  const WORD key = static_cast<WORD>(message.WParam);
  if (auto* menu = dynamic_cast<IPopupMenu*>(FPopupMenu); menu && menu->IsShortCut(key, shift)) {
    message.Result = 1;
    return;
  }
  if (auto* menu = dynamic_cast<TPopupMenu*>(FPopupMenu);
      menu && menu->Items()->Count() > 0 && menu->IsShortCut(key, shift)) {
    message.Result = 1;
    return;
  }
  WORD changed = key;
  KeyDown(changed, shift);
  if (changed == 0) {
    message.Result = 0;
    return;
  }
  TCustomButton::WndProc(message);
}

void TcxCustomButton::CMDialogChar(TMessage& message) {
  // The accelerator clicks also a button that cannot take the focus: only
  // visibility and enablement count.
  if (IsAccel(static_cast<wchar_t>(message.WParam), Caption()) && TWinControl::CanFocus()) {
    SetInternalStates(FInternalStates.With(bisAccelExecute));
    try {
      Click();
    } catch (...) {
      SetInternalStates(FInternalStates.Without(bisAccelExecute));
      throw;
    }
    SetInternalStates(FInternalStates.Without(bisAccelExecute));
    message.Result = 1;
    return;
  }
  TCustomButton::WndProc(message);
}

void TcxCustomButton::WMWindowPosChanged(TMessage& message) {
  TCustomButton::WndProc(message);
  // A transparent button shows its parent, which may have changed under it.
  if (!IsDestroying() && HandleAllocated() && FSpeedButtonOptions.Transparent() &&
      !GetCanBeFocused())
    Invalidate();
}

SIZE TcxCustomButton::GetOptimalSize() {
  std::wstring text = RemoveAccelChars(Caption());
  if (text.empty())
    text = L" ";
  TWindowDC screen(nullptr);
  if (screen.Get() == nullptr)
    return {0, 0};
  TSelectObject selectFont(screen.Get(), Font().Handle());
  SIZE textSize{};
  SIZE rSize{};
  TEXTMETRICW metrics{};
  GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &textSize);
  GetTextExtentPoint32W(screen.Get(), L"R", 1, &rSize);
  GetTextMetricsW(screen.Get(), &metrics);
  return {textSize.cx + 3 * rSize.cx, MulDiv(metrics.tmHeight, 14, 8)};
}

void TcxCustomButton::DefaultHandler(TMessage& message) {
  // The Windows button procedure pushes a button it sees moved over with the
  // left button held and its window holding the capture, although it never
  // saw the press, and never releases it. A button that cannot be focused
  // handles the pointer alone.
  if (message.Msg == WM_MOUSEMOVE && GetSpeedButtonMode() && !IsDesigning() && !GetCanBeFocused())
    return;
  if (message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN) {
    TApplication* application = Application();
    if (application != nullptr && application->Handle() != nullptr &&
        SendMessageW(application->Handle(), CM_APPKEYDOWN, message.WParam, message.LParam) != 0)
      return;
  }
  TCustomButton::DefaultHandler(message);
}

void InitButtonsUnit() {
  RegisterComponentClass(L"TcxButton", [](TComponent* owner) { return new TcxButton(owner); });
}

void DoneButtonsUnit() {
  TcxCustomButton::FreePaintBitmap();
  UnregisterComponentClass(L"TcxButton");
}

} // namespace telvora
