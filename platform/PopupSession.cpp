#include "platform/PopupSession.h"

#include "platform/SysUtils.h"

#include <algorithm>

namespace telvora {

TPopupSession::TPopupSession(TPopupMenu& AMenu) : FMenu(&AMenu) {
  FMenu->FSession = this;
}

TPopupSession::~TPopupSession() {
  FWindow.reset();
  FHandle.Reset();
  if (FMenu)
    FMenu->FSession = nullptr;
}

TMenuItem* TPopupSession::Track(int X, int Y) {
  FHandle.Reset(CreatePopupMenu());
  if (!FHandle)
    throw EOutOfResources(L"Cannot create a menu: " + SysErrorMessage(GetLastError()));
  Build(FHandle.Get(), FMenu->Items());
  if (GetMenuItemCount(FHandle.Get()) == 0)
    return nullptr; // nothing to show
  FWindow.emplace([this](TMessage& message) { WndProc(message); });
  FWindowHandle = FWindow->Handle();
  if (FWindowHandle == nullptr)
    throw EOutOfResources(L"Cannot create the menu window");
  UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_TOPALIGN;
  switch (FMenu->Alignment()) {
  case paLeft:
    flags |= TPM_LEFTALIGN;
    break;
  case paRight:
    flags |= TPM_RIGHTALIGN;
    break;
  case paCenter:
    flags |= TPM_CENTERALIGN;
    break;
  }
  const UINT command =
      static_cast<UINT>(TrackPopupMenuEx(FHandle.Get(), flags, X, Y, FWindowHandle, nullptr));
  FWindow.reset();
  FHandle.Reset();
  if (FError)
    std::rethrow_exception(FError);
  if (FMenu == nullptr || command == 0 || command > FCommands.size())
    return nullptr;
  TMenuItem* item = FCommands[command - 1];
  return item != nullptr && item->GetParentMenu() == FMenu ? item : nullptr;
}

void TPopupSession::Forget(const TMenuItem* AItem) {
  FBuilt.erase(AItem);
  std::replace(FCommands.begin(), FCommands.end(), const_cast<TMenuItem*>(AItem),
               static_cast<TMenuItem*>(nullptr));
  std::erase_if(FSubMenus, [AItem](const auto& entry) { return entry.second == AItem; });
}

void TPopupSession::MenuGone() {
  FMenu = nullptr;
  FBuilt.clear();
  std::fill(FCommands.begin(), FCommands.end(), nullptr);
  FSubMenus.clear();
  EndMenu();
}

bool TPopupSession::IsOwnerDrawn(const TMenuItem* AItem) const {
  return !AItem->IsLine() &&
         (FMenu->OwnerDraw() || (FMenu->Images() != nullptr && AItem->ImageIndex() >= 0));
}

void TPopupSession::Build(HMENU AMenu, TMenuItem* AParent) {
  UINT position = 0;
  for (int i = 0; i < AParent->Count(); ++i) {
    TMenuItem* item = AParent->Items(i);
    if (!item->Visible())
      continue;
    FCommands.push_back(item);
    FBuilt.insert(item);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    info.wID = static_cast<UINT>(FCommands.size());
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    std::wstring text;
    if (item->IsLine()) {
      info.fType = MFT_SEPARATOR;
    } else {
      if (IsOwnerDrawn(item)) {
        info.fType = MFT_OWNERDRAW;
      } else {
        info.fType = MFT_STRING;
        info.fMask |= MIIM_STRING;
        text = item->Caption();
        if (item->ShortCut() != scNone)
          text += L"\t" + ShortCutToText(item->ShortCut());
        info.dwTypeData = text.data();
      }
      if (!item->Enabled())
        info.fState |= MFS_DISABLED;
      if (item->Checked())
        info.fState |= MFS_CHECKED;
    }
    if (item->Break() == mbBreak)
      info.fType |= MFT_MENUBREAK;
    else if (item->Break() == mbBarBreak)
      info.fType |= MFT_MENUBARBREAK;
    TMenuHandle submenu;
    if (item->Count() > 0 && !item->IsLine()) {
      submenu.Reset(CreatePopupMenu());
      if (!submenu)
        throw EOutOfResources(L"Cannot create a menu: " + SysErrorMessage(GetLastError()));
      Build(submenu.Get(), item);
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = submenu.Get();
    }
    if (!InsertMenuItemW(AMenu, position, TRUE, &info))
      throw EOutOfResources(L"Cannot add a menu item: " + SysErrorMessage(GetLastError()));
    if (submenu)
      FSubMenus[submenu.Release()] = item; // the parent menu destroys it now
    ++position;
  }
}

void TPopupSession::ForgetSubMenus(HMENU AMenu) {
  const int count = GetMenuItemCount(AMenu);
  for (int i = 0; i < count; ++i)
    if (HMENU submenu = GetSubMenu(AMenu, i)) {
      ForgetSubMenus(submenu);
      FSubMenus.erase(submenu);
    }
}

TMenuItem* TPopupSession::ItemFromData(ULONG_PTR data) const {
  auto* item = reinterpret_cast<TMenuItem*>(data);
  return FBuilt.contains(item) ? item : nullptr;
}

TMenuItem* TPopupSession::ItemAt(HMENU AMenu, int APosition) const {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_DATA;
  if (!GetMenuItemInfoW(AMenu, static_cast<UINT>(APosition), TRUE, &info))
    return nullptr;
  return ItemFromData(info.dwItemData);
}

void TPopupSession::WndProc(TMessage& message) {
  // A handler's exception closes the menu and is raised by Track once the
  // menu is gone.
  try {
    if (FError) {
      // Raised before the menu loop could be ended: end it now.
      EndMenu();
      DefaultUtilWindowProc(FWindowHandle, message);
    } else if (FMenu == nullptr || !HandleMessage(message)) {
      DefaultUtilWindowProc(FWindowHandle, message);
    }
  } catch (...) {
    if (!FError)
      FError = std::current_exception();
    EndMenu();
  }
}

bool TPopupSession::HandleMessage(TMessage& message) {
  switch (message.Msg) {
  case WM_MEASUREITEM: {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
    TMenuItem* item = measure->CtlType == ODT_MENU ? ItemFromData(measure->itemData) : nullptr;
    if (item == nullptr)
      return false;
    TWindowDC dc(FWindowHandle);
    const int saved = SaveDC(dc.Get());
    TScopeExit restore([&] { RestoreDC(dc.Get(), saved); });
    const SIZE size = item->MeasureItem(dc.Get());
    measure->itemWidth = static_cast<UINT>(std::max<LONG>(size.cx, 0));
    measure->itemHeight = static_cast<UINT>(std::max<LONG>(size.cy, 0));
    message.Result = TRUE;
    return true;
  }
  case WM_DRAWITEM: {
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
    TMenuItem* item = draw->CtlType == ODT_MENU ? ItemFromData(draw->itemData) : nullptr;
    if (item == nullptr)
      return false;
    const int saved = SaveDC(draw->hDC);
    TScopeExit restore([&] { RestoreDC(draw->hDC, saved); });
    item->DrawItem(draw->hDC, draw->rcItem, (draw->itemState & ODS_SELECTED) != 0);
    message.Result = TRUE;
    return true;
  }
  case WM_INITMENUPOPUP: {
    // A submenu is about to open: its item is clicked (its handler may
    // change the children), then the submenu is built again.
    auto menu = reinterpret_cast<HMENU>(message.WParam);
    auto found = FSubMenus.find(menu);
    if (found == FSubMenus.end())
      return false;
    TMenuItem* item = found->second;
    item->Click();
    if (FMenu == nullptr || !FBuilt.contains(item) || item->GetParentMenu() != FMenu)
      return true;
    ForgetSubMenus(menu);
    while (GetMenuItemCount(menu) > 0)
      DeleteMenu(menu, 0, MF_BYPOSITION);
    Build(menu, item);
    return true;
  }
  case WM_MENUCHAR: {
    // Owner-drawn items have no text in which Windows could find their
    // accelerators.
    wchar_t key = static_cast<wchar_t>(LOWORD(message.WParam));
    CharUpperBuffW(&key, 1);
    auto menu = reinterpret_cast<HMENU>(message.LParam);
    const int count = GetMenuItemCount(menu);
    std::vector<int> matches;
    int selected = -1;
    for (int i = 0; i < count; ++i) {
      if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE)
        selected = i;
      TMenuItem* item = ItemAt(menu, i);
      if (item != nullptr && item->Enabled() && !item->IsLine() &&
          GetHotkey(item->Caption()) == key)
        matches.push_back(i);
    }
    if (matches.empty())
      message.Result = MAKELRESULT(0, MNC_IGNORE);
    else if (matches.size() == 1)
      message.Result = MAKELRESULT(matches.front(), MNC_EXECUTE);
    else {
      // Several: each press selects the next one.
      auto next = std::upper_bound(matches.begin(), matches.end(), selected);
      message.Result = MAKELRESULT(next != matches.end() ? *next : matches.front(), MNC_SELECT);
    }
    return true;
  }
  default:
    return false;
  }
}

} // namespace telvora
