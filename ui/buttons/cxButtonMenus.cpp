// The drop-down menu of the drop-down kinds and the context menu: which
// components are taken as menus, when the drop-down menu opens and where,
// and what the closing click does.

#include "ui/buttons/cxButtons.h"

#include "platform/Handles.h"

#include <algorithm>

namespace telvora {

void TcxCustomButton::CheckShowMenu(POINT p) {
  const RECT menu = GetMenuButtonBounds();
  if (PtInRect(&menu, p))
    DoDropDownMenu();
}

RECT TcxCustomButton::GetMenuButtonBounds() {
  const RECT client = ClientRect();
  switch (FKind) {
  case cxbkStandard:
  case cxbkCommandLink:
    return RECT{};
  case cxbkDropDownButton: {
    // The strip the menu part is drawn in: at the right, at the left under
    // right-to-left alignment.
    const int width = FViewInfo->Painter().GetDropDownButtonSize();
    if (UseRightToLeftAlignment())
      return RECT{client.left, client.top, client.left + width, client.bottom};
    return RECT{client.right - width, client.top, client.right, client.bottom};
  }
  default:
    return client;
  }
}

void TcxCustomButton::DoDropDownMenu() {
  if (FInternalStates.Contains(bisMenuVisible) || FIsDropDownMenuClosing || !HandleAllocated())
    return;
  PostMessageW(Handle(), CM_DROPDOWNPOPUPMENU, 0, 0);
}

bool TcxCustomButton::DoDropDownMenuPopup(TComponent*& AMenu) {
  bool handled = false;
  if (OnDropDownMenuPopupEx)
    OnDropDownMenuPopupEx(this, AMenu, handled);
  auto* menu = dynamic_cast<TPopupMenu*>(AMenu);
  if (!handled && OnDropDownMenuPopup && (AMenu == nullptr || menu != nullptr)) {
    OnDropDownMenuPopup(this, menu, handled);
    AMenu = menu;
  }
  return handled;
}

namespace {

// The height a popup menu is expected to take: each visible item the height
// of "Qg" in the menu font plus 4, or what an owner-drawn item or one with
// an image measures; the tallest column; plus 4.
int EstimateMenuHeight(TPopupMenu& AMenu) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  TGdiObject font(CreateFontIndirectW(&metrics.lfMenuFont));
  TWindowDC screen(nullptr);
  if (screen.Get() == nullptr)
    return 0;
  TSelectObject select(screen.Get(), font.Get());
  SIZE text{};
  GetTextExtentPoint32W(screen.Get(), L"Qg", 2, &text);
  int column = 0, tallest = 0;
  TMenuItem* items = AMenu.Items();
  for (int i = 0; i < items->Count(); ++i) {
    TMenuItem* item = items->Items(i);
    if (!item->Visible())
      continue;
    if (item->Break() != mbNone) {
      tallest = std::max(tallest, column);
      column = 0;
    }
    const bool measured = AMenu.OwnerDraw() || (item->ImageIndex() >= 0 && AMenu.Images());
    column += measured ? item->MeasureItem(screen.Get()).cy : text.cy + 4;
  }
  return std::max(tallest, column) + 4;
}

// Shows AMenu for the owner rectangle R (screen coordinates) with the
// alignment: under R, opening above it where it would pass the bottom of
// the work area.
void ShowDropDownMenu(TcxCustomButton* AButton, TComponent* AMenu, const RECT& R,
                      TPopupAlignment AAlignment) {
  // The point follows the alignment as the reader sees it.
  TPopupAlignment side = AAlignment;
  if (AButton->UseRightToLeftAlignment())
    side = side == paLeft ? paRight : side == paRight ? paLeft : side;
  POINT P{R.left, R.bottom};
  if (side == paRight)
    P.x += RectWidth(R);
  else if (side == paCenter)
    P.x += RectWidth(R) / 2;
  if (auto* aligned = dynamic_cast<IPopupMenu2*>(AMenu)) {
    aligned->PopupAligned(P, AAlignment, R);
    return;
  }
  auto* menu = dynamic_cast<TPopupMenu*>(AMenu);
  if (menu == nullptr || !menu->AutoPopup())
    return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  if (const int height = EstimateMenuHeight(*menu); P.y + height > work.bottom)
    P.y -= height + RectHeight(R) + 2;
  // At the edges of the work area the menu opens towards the inside.
  TPopupAlignment alignment = AAlignment;
  if (P.x <= work.left)
    alignment = paLeft;
  else if (P.x >= work.right)
    alignment = paRight;
  const TPopupAlignment saved = menu->Alignment();
  TScopeExit restore([menu, saved] { menu->SetAlignment(saved); });
  menu->SetAlignment(alignment);
  menu->SetPopupComponent(AButton);
  menu->Popup(P.x, P.y);
}

} // namespace

void TcxCustomButton::CMDropDownPopupMenu() {
  if (FKind == cxbkStandard)
    return;
  TComponent* menu = FDropDownMenu;
  if (DoDropDownMenuPopup(menu) || menu == nullptr)
    return;
  SetInternalStates(FInternalStates.With(bisMenuVisible).Without(bisMenuButtonPressed));
  FIsDropDownMenuClosing = false;
  Repaint();
  RECT r = ClientRect();
  MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  {
    TScopeExit closeUp([this] {
      if (HandleAllocated())
        PostMessageW(Handle(), CM_CLOSEUPPOPUPMENU, 0, 0);
    });
    ShowDropDownMenu(this, menu, r, FPopupAlignment);
  }
}

void TcxCustomButton::CMCloseUpPopupMenu() {
  bool closing = FInternalStates.Contains(bisMenuButtonPressed);
  // A press or double-click waiting for the button (looked at, not taken):
  // the click that closed the menu.
  MSG pending{};
  if (!closing && HandleAllocated() &&
      (PeekMessageW(&pending, Handle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE) ||
       PeekMessageW(&pending, Handle(), WM_LBUTTONDBLCLK, WM_LBUTTONDBLCLK, PM_NOREMOVE))) {
    POINT p = pending.pt;
    ScreenToClient(Handle(), &p);
    const RECT menu = GetMenuButtonBounds();
    closing = PtInRect(&menu, p) != FALSE;
  }
  FIsDropDownMenuClosing = closing;
  SetInternalStates(FInternalStates.Without(bisMenuVisible));
}

void TcxCustomButton::SetMenuReference(TComponent*& AField, TComponent* AValue) {
  if (dynamic_cast<TPopupMenu*>(AValue) == nullptr && dynamic_cast<IPopupMenu*>(AValue) == nullptr)
    AValue = nullptr;
  if (AValue == AField)
    return;
  TComponent* previous = AField;
  AField = AValue;
  // The removal link goes with the last reference to the previous menu.
  if (previous != nullptr && previous != FDropDownMenu && previous != FPopupMenu)
    previous->RemoveFreeNotification(this);
  if (AValue != nullptr)
    AValue->FreeNotification(this);
}

void TcxCustomButton::SetDropDownMenu(TComponent* Value) {
  SetMenuReference(FDropDownMenu, Value);
}

void TcxCustomButton::SetPopupMenu(TComponent* Value) {
  SetMenuReference(FPopupMenu, Value);
}

bool TcxCustomButton::DoShowPopupMenu(TComponent* AMenu, int X, int Y) {
  if (auto* menu = dynamic_cast<IPopupMenu*>(AMenu)) {
    menu->PopupAt(X, Y);
    return true;
  }
  auto* menu = dynamic_cast<TPopupMenu*>(AMenu);
  if (menu == nullptr || !menu->AutoPopup())
    return false;
  menu->SetPopupComponent(this);
  menu->Popup(X, Y);
  return true;
}

void TcxCustomButton::DoContextPopup(POINT APos, bool& AHandled) {
  if (OnContextPopup)
    OnContextPopup(this, APos, AHandled);
  if (AHandled)
    return;
  POINT p = APos.x == -1 && APos.y == -1 ? POINT{0, 0} : APos;
  ClientToScreen(Handle(), &p);
  AHandled = DoShowPopupMenu(FPopupMenu, p.x, p.y);
}

void TcxCustomButton::WMContextMenu(TMessage& message) {
  // Answered already, or while designing: left to the framework.
  if (message.Result != 0 || IsDesigning()) {
    TCustomButton::WndProc(message);
    return;
  }
  // The position comes in screen coordinates; (-1, -1) from the keyboard.
  POINT p{XFromLParam(message.LParam), YFromLParam(message.LParam)};
  const bool keyboard = p.x == -1 && p.y == -1;
  if (!keyboard)
    ScreenToClient(Handle(), &p);
  bool handled = false;
  DoContextPopup(p, handled);
  message.Result = handled ? 1 : 0;
  if (!handled)
    TCustomButton::WndProc(message);
}

void TcxCustomButton::KeyDown(WORD& AKey, TShiftState AShift) {
  if (FKind == cxbkDropDownButton && (AKey == VK_UP || AKey == VK_DOWN) &&
      (AShift & (ssAlt | ssShift)) != 0) {
    if (!FInternalStates.Contains(bisMenuVisible))
      DoDropDownMenu();
    AKey = 0;
  }
}

} // namespace telvora
