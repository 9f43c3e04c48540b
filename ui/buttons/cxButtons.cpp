#include "ui/buttons/cxButtons.h"

#include "platform/Forms.h"

namespace telvora {

void TcxSpeedButtonOptions::SetCanBeFocused(bool value) {
  if (value == FCanBeFocused)
    return;
  FCanBeFocused = value;
  FOwner->Repaint();
}

TcxCustomButton::TcxCustomButton(TComponent* AOwner) : TCustomButton(AOwner) {
  FScaleFactor.ListenerAdd({this, 0, [this](TdxScaleFactor* Sender, int M, int D, bool IsLoading) {
                              ScaleFactorChangeHandler(Sender, M, D, IsLoading);
                            }});
}

TcxCustomButton::~TcxCustomButton() {
  EndMouseTracking(this);
  FScaleFactor.ListenerRemove(this);
}

void TcxCustomButton::ChangeScale(int M, int D, bool isDpiChange) {
  FScaleFactor.Change(M, D);
  TCustomButton::ChangeScale(M, D, isDpiChange);
}

void TcxCustomButton::ScaleFactorChangeHandler(TdxScaleFactor*, int M, int D, bool IsLoading) {
  if (!IsLoading)
    ScaleFactorChanged(M, D);
}

void TcxCustomButton::ScaleFactorChanged(int, int) {
  // Everything the button draws is scaled at paint time.
  Invalidate();
}

void TcxCustomButton::CreateParams(TCreateParams& params) {
  TCustomButton::CreateParams(params);
  // Always an owner-drawn button.
  params.Style = (params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

bool TcxCustomButton::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"SpeedButtonOptions.CanBeFocused" || path == L"CanBeFocused")
    FSpeedButtonOptions.SetCanBeFocused(value.AsBoolean());
  else if (path == L"SpeedButtonOptions.GroupIndex" || path == L"GroupIndex")
    FSpeedButtonOptions.SetGroupIndex(value.AsInteger());
  else
    return TCustomButton::SetProperty(path, value);
  return true;
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

bool TcxCustomButton::CanHotTrack() const {
  return true;
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
  FInternalStates = value;
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

void TcxCustomButton::CheckPressedState(POINT) {
  SetInternalStates(FInternalStates.With(bisPressed));
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
  CheckPressedState(POINT{x, y});
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
  bool doClick = !GetCanBeFocused() && button == TMouseButton::mbLeft &&
                 FInternalStates.Contains(bisHot) &&
                 (FInternalStates.Contains(bisPressed) ||
                  (FInternalStates.Contains(bisMenuButtonPressed) &&
                   (FKind == cxbkDropDown || FKind == cxbkOfficeDropDown)));
  TCustomButton::MouseUp(button, shift, x, y);
  SetInternalStates(FInternalStates.Without(bisPressed).Without(bisMenuButtonPressed));
  if (!GetCanBeFocused() && HandleAllocated() && GetCapture() == Handle())
    ReleaseCapture();
  if (doClick)
    Click();
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
  CheckPressedState(p);
  Invalidate();
}

void TcxCustomButton::Click() {
  TCustomButton::Click();
}

void TcxCustomButton::WndProc(TMessage& message) {
  switch (message.Msg) {
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    if (GetSpeedButtonMode() && !IsDesigning() && !GetCanBeFocused()) {
      // Handled here: neither the framework nor the Windows button procedure
      // sees the press, so the focus stays where it is.
      if (message.Msg == WM_LBUTTONDOWN)
        MouseDown(TMouseButton::mbLeft, KeysToShiftState(message.WParam),
                  XFromLParam(message.LParam), YFromLParam(message.LParam));
      else
        DblClick();
      return;
    }
    break;
  case WM_CAPTURECHANGED: {
    TCustomButton::WndProc(message);
    POINT p{};
    GetCursorPos(&p);
    if (HandleAllocated() && WindowFromPoint(p) != Handle())
      SetInternalStates(
          FInternalStates.Without(bisHot).Without(bisPressed).Without(bisMenuButtonPressed));
    return;
  }
  case WM_ERASEBKGND:
    message.Result = 1;
    return;
  case CN_DRAWITEM:
    if (!IsDestroying())
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
    message.Result = TRUE;
    return;
  case CN_MEASUREITEM: {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
    mis->itemWidth = static_cast<UINT>(Width());
    mis->itemHeight = static_cast<UINT>(Height());
    return;
  }
  case CN_CTLCOLORBTN:
    return;
  case WM_DESTROY:
    // The window goes while the button lives on (it is recreated): the hot
    // look and the tracking end with it, and the framework forgets that the
    // pointer was inside.
    if (!IsDestroying() && !(Owner() && Owner()->IsDestroying()) &&
        !(Parent() && Parent()->IsDestroying()) && IsMouseTracking(this)) {
      MouseLeave();
      EndMouseTracking(this);
      Perform(WM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
    }
    break;
  case CM_MOUSEENTER:
    TCustomButton::WndProc(message);
    MouseEnter();
    return;
  case CM_MOUSELEAVE:
    TCustomButton::WndProc(message);
    MouseLeave();
    return;
  case CM_ENABLEDCHANGED:
    TCustomButton::WndProc(message);
    if (!Enabled())
      SetInternalStates(FInternalStates.Without(bisHot));
    Invalidate();
    return;
  default:
    break;
  }
  TCustomButton::WndProc(message);
}

void TcxCustomButton::DrawItem(const DRAWITEMSTRUCT& item) {
  FIsPaintPressed =
      ((item.itemState & ODS_SELECTED) && !FInternalStates.Contains(bisMenuButtonPressed)) ||
      GetDown() || (FInternalStates.Contains(bisHot) && FInternalStates.Contains(bisPressed));
  FIsPaintDefault = ((item.itemState & ODS_FOCUS) || FIsFocused) && GetCanBeFocused();

  RECT r = ClientRect();
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  if (width <= 0 || height <= 0)
    return;
  // Drawn off-screen and copied in one step: no flicker.
  TMemoryDC memoryDC(CreateCompatibleDC(item.hDC));
  TGdiObject bitmap(CreateCompatibleBitmap(item.hDC, width, height));
  if (!memoryDC || !bitmap)
    return;
  TSelectObject selectBitmap(memoryDC.Get(), bitmap.Get());
  Draw(memoryDC.Get());
  BitBlt(item.hDC, 0, 0, width, height, memoryDC.Get(), 0, 0, SRCCOPY);
}

void TcxCustomButton::Draw(HDC dc) {
  RECT r = ClientRect();
  TcxButtonState state = GetButtonState();
  FillRect(dc, &r, GetSysColorBrush(state == cxbsHot ? COLOR_3DLIGHT : COLOR_BTNFACE));
  RECT frame = r;
  DrawEdge(dc, &frame, state == cxbsPressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  RECT text = r;
  if (state == cxbsPressed)
    OffsetRect(&text, 1, 1);
  TSelectObject selectFont(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(state == cxbsDisabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  std::wstring caption = Caption();
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void InitButtonsUnit() {
  RegisterComponentClass(L"TcxButton", [](TComponent* owner) { return new TcxButton(owner); });
}

void DoneButtonsUnit() {
  UnregisterComponentClass(L"TcxButton");
}

} // namespace telvora
