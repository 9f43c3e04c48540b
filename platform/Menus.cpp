#include "platform/Menus.h"

#include "platform/Handles.h"
#include "platform/UtilWindow.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace telvora {

namespace {

struct TMenuTraits {
  using Handle = HMENU;
  static void Close(HMENU h) noexcept { DestroyMenu(h); }
};
using TMenuHandle = TUniqueHandle<TMenuTraits>;

// The font Windows draws menus with.
HFONT CreateMenuFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    return nullptr;
  return CreateFontIndirectW(&metrics.lfMenuFont);
}

// Blank around the glyph column, the caption and the shortcut.
constexpr int kMargin = 3;

SIZE ImageSize(HIMAGELIST images) {
  int width = 0, height = 0;
  if (images == nullptr || !ImageList_GetIconSize(images, &width, &height))
    return {0, 0};
  return {width, height};
}

// The column left of the caption: the check mark or the image.
int GlyphColumnWidth(SIZE image) {
  return std::max<int>(GetSystemMetrics(SM_CXMENUCHECK), image.cx) + 2 * kMargin;
}

// The items of a form description may hold only menu items.
TMenuItem* AsMenuItem(TComponent* container, TComponent* child) {
  auto* item = dynamic_cast<TMenuItem*>(child);
  if (item == nullptr)
    throw EReadError(L"A " + container->ClassName() + L" cannot hold " + child->Name() + L": " +
                     child->ClassName());
  return item;
}

} // namespace

// ---------------------------------------------------------------- the shown menu

// One run of TPopupMenu::Popup: the Windows menu built from the items, the
// hidden window that owns it while it is tracked, and what was chosen. The
// menu and the window go when the session goes, whatever happened.
class TPopupSession {
public:
  explicit TPopupSession(TPopupMenu& AMenu) : FMenu(&AMenu) { FMenu->FSession = this; }
  TPopupSession(const TPopupSession&) = delete;
  TPopupSession& operator=(const TPopupSession&) = delete;
  ~TPopupSession() {
    FWindow.reset();
    FHandle.Reset();
    if (FMenu)
      FMenu->FSession = nullptr;
  }

  // Shows the menu and answers the chosen item (none: nothing chosen, or
  // the menu was freed meanwhile). The Windows menu and the window are gone
  // when it returns; an exception a handler raised meanwhile is raised
  // from here.
  TMenuItem* Track(int X, int Y) {
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

  // An item of the menu is being freed.
  void Forget(const TMenuItem* AItem) {
    FBuilt.erase(AItem);
    std::replace(FCommands.begin(), FCommands.end(), const_cast<TMenuItem*>(AItem),
                 static_cast<TMenuItem*>(nullptr));
    std::erase_if(FSubMenus, [AItem](const auto& entry) { return entry.second == AItem; });
  }

  // The menu itself is being freed: nothing of it is touched any more.
  void MenuGone() {
    FMenu = nullptr;
    FBuilt.clear();
    std::fill(FCommands.begin(), FCommands.end(), nullptr);
    FSubMenus.clear();
    EndMenu();
  }

private:
  bool IsOwnerDrawn(const TMenuItem* AItem) const {
    return !AItem->IsLine() &&
           (FMenu->OwnerDraw() || (FMenu->Images() != nullptr && AItem->ImageIndex() >= 0));
  }

  // Appends the visible children of AParent to AMenu, with submenus.
  void Build(HMENU AMenu, TMenuItem* AParent) {
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

  // Forgets the submenus of AMenu, which DeleteMenu is about to destroy.
  void ForgetSubMenus(HMENU AMenu) {
    const int count = GetMenuItemCount(AMenu);
    for (int i = 0; i < count; ++i)
      if (HMENU submenu = GetSubMenu(AMenu, i)) {
        ForgetSubMenus(submenu);
        FSubMenus.erase(submenu);
      }
  }

  TMenuItem* ItemFromData(ULONG_PTR data) const {
    auto* item = reinterpret_cast<TMenuItem*>(data);
    return FBuilt.contains(item) ? item : nullptr;
  }

  TMenuItem* ItemAt(HMENU AMenu, int APosition) const {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoW(AMenu, static_cast<UINT>(APosition), TRUE, &info))
      return nullptr;
    return ItemFromData(info.dwItemData);
  }

  void WndProc(TMessage& message) {
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

  bool HandleMessage(TMessage& message) {
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

  TPopupMenu* FMenu;
  TMenuHandle FHandle;
  std::optional<TUtilWindow> FWindow;
  HWND FWindowHandle = nullptr;
  // The item of each command identifier (identifier - 1).
  std::vector<TMenuItem*> FCommands;
  // The items in the Windows menu, still alive.
  std::unordered_set<const TMenuItem*> FBuilt;
  // The item each submenu belongs to.
  std::unordered_map<HMENU, TMenuItem*> FSubMenus;
  std::exception_ptr FError;
};

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  MarkDestroying();
  if (TPopupMenu* menu = GetParentMenu(); menu && menu->FSession)
    menu->FSession->Forget(this);
  Clear();
  if (FParent)
    FParent->Remove(this);
}

void TMenuItem::Add(TMenuItem* AItem) {
  Insert(Count(), AItem);
}

void TMenuItem::Insert(int AIndex, TMenuItem* AItem) {
  if (AItem == nullptr)
    return;
  if (AItem->FParent != nullptr || AItem->FMenu != nullptr)
    throw Exception(L"Menu item " + AItem->Name() + L" is already used");
  for (const TMenuItem* above = this; above != nullptr; above = above->FParent)
    if (above == AItem)
      throw Exception(L"Menu item " + AItem->Name() + L" cannot hold itself");
  if (AIndex < 0 || AIndex > Count())
    throw Exception(L"Menu index out of range");
  FItems.insert(FItems.begin() + AIndex, AItem);
  AItem->FParent = this;
}

void TMenuItem::Remove(TMenuItem* AItem) {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  if (it == FItems.end())
    return;
  FItems.erase(it);
  AItem->FParent = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* AItem) const {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Clear() {
  while (!FItems.empty())
    delete FItems.back(); // takes itself out of FItems
}

TPopupMenu* TMenuItem::GetParentMenu() const noexcept {
  const TMenuItem* item = this;
  while (item->FParent)
    item = item->FParent;
  return item->FMenu;
}

void TMenuItem::Click() {
  if (OnClick)
    OnClick(this);
}

SIZE TMenuItem::MeasureItem(HDC DC) {
  TGdiObject font(CreateMenuFont());
  TSelectObject selectFont(DC, font.Get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(DC, &metrics);
  int width = 0;
  int height = 0;
  if (IsLine()) {
    height = metrics.tmHeight / 2 + kMargin;
  } else {
    const TPopupMenu* menu = GetParentMenu();
    const SIZE image = ImageSize(menu ? menu->Images() : nullptr);
    RECT text{};
    DrawTextW(DC, FCaption.c_str(), static_cast<int>(FCaption.size()), &text,
              DT_CALCRECT | DT_SINGLELINE);
    width = GlyphColumnWidth(image) + RectWidth(text) + kMargin;
    if (FShortCut != scNone) {
      const std::wstring shortCut = ShortCutToText(FShortCut);
      SIZE extent{};
      GetTextExtentPoint32W(DC, shortCut.c_str(), static_cast<int>(shortCut.size()), &extent);
      width += 4 * metrics.tmAveCharWidth + extent.cx;
    }
    height = std::max({static_cast<int>(metrics.tmHeight), static_cast<int>(image.cy),
                       GetSystemMetrics(SM_CYMENUCHECK)}) +
             2 * kMargin;
  }
  if (OnMeasureItem)
    OnMeasureItem(this, DC, width, height);
  return {width, height};
}

void TMenuItem::DrawItem(HDC DC, const RECT& R, bool ASelected) {
  if (OnDrawItem) {
    OnDrawItem(this, DC, R, ASelected);
    return;
  }
  FillRect(DC, &R, GetSysColorBrush(ASelected ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (IsLine()) {
    RECT line = R;
    line.top = (R.top + R.bottom) / 2 - 1;
    DrawEdge(DC, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  TGdiObject font(CreateMenuFont());
  TSelectObject selectFont(DC, font.Get());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, GetSysColor(!FEnabled   ? COLOR_GRAYTEXT
                               : ASelected ? COLOR_HIGHLIGHTTEXT
                                           : COLOR_MENUTEXT));
  const TPopupMenu* menu = GetParentMenu();
  HIMAGELIST images = menu ? menu->Images() : nullptr;
  const SIZE image = ImageSize(images);
  const int column = GlyphColumnWidth(image);
  RECT glyph{R.left, R.top, R.left + column, R.bottom};
  if (images != nullptr && FImageIndex >= 0) {
    const int x = glyph.left + (column - image.cx) / 2;
    const int y = glyph.top + (RectHeight(glyph) - image.cy) / 2;
    ImageList_Draw(images, FImageIndex, DC, x, y,
                   ILD_TRANSPARENT | (FEnabled ? 0u : static_cast<UINT>(ILD_BLEND50)));
    if (FChecked) {
      RECT frame{x - 1, y - 1, x + image.cx + 1, y + image.cy + 1};
      DrawEdge(DC, &frame, BDR_SUNKENOUTER, BF_RECT);
    }
  } else if (FChecked) {
    // The check mark of the Marlett font, in the text colour.
    TGdiObject marlett(CreateFontW(
        -GetSystemMetrics(SM_CYMENUCHECK), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Marlett"));
    TSelectObject selectMarlett(DC, marlett.Get());
    DrawTextW(DC, L"a", 1, &glyph, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  RECT text{R.left + column, R.top, R.right - kMargin, R.bottom};
  DrawTextW(DC, FCaption.c_str(), static_cast<int>(FCaption.size()), &text,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (FShortCut != scNone) {
    const std::wstring shortCut = ShortCutToText(FShortCut);
    DrawTextW(DC, shortCut.c_str(), static_cast<int>(shortCut.size()), &text,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

bool TMenuItem::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"Caption")
    SetCaption(value.AsString());
  else if (path == L"ShortCut") {
    if (value.Kind == TPropertyValue::TKind::Integer) {
      const int shortCut = value.AsInteger();
      if (shortCut < 0 || shortCut > 0xFFFF)
        throw EReadError(L"Invalid property value");
      SetShortCut(static_cast<TShortCut>(shortCut));
    } else {
      const TShortCut shortCut = TextToShortCut(value.AsString());
      if (shortCut == scNone && !value.AsString().empty())
        throw EReadError(L"Invalid property value: shortcut " + value.AsString());
      SetShortCut(shortCut);
    }
  } else if (path == L"Enabled")
    SetEnabled(value.AsBoolean());
  else if (path == L"Visible")
    SetVisible(value.AsBoolean());
  else if (path == L"Checked")
    SetChecked(value.AsBoolean());
  else if (path == L"ImageIndex")
    SetImageIndex(value.AsInteger());
  else if (path == L"Break")
    SetBreak(value.AsEnumeration<TMenuBreak>({L"mbNone", L"mbBreak", L"mbBarBreak"}));
  else if (path == L"OnClick")
    OnClick = value.Method;
  else
    return TComponent::SetProperty(path, value);
  return true;
}

void TMenuItem::AddChildComponent(TComponent* AChild) {
  Add(AsMenuItem(this, AChild));
}

// ---------------------------------------------------------------- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

TPopupMenu::~TPopupMenu() {
  MarkDestroying();
  if (FSession) {
    FSession->MenuGone();
    FSession = nullptr;
  }
  FItems.reset();
}

void TPopupMenu::SetPopupComponent(TComponent* value) {
  if (value == FPopupComponent)
    return;
  if (FPopupComponent)
    RemoveFreeNotification(FPopupComponent);
  FPopupComponent = value;
  if (FPopupComponent)
    FreeNotification(FPopupComponent);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation AOperation) {
  TComponent::Notification(AComponent, AOperation);
  if (AOperation == opRemove && AComponent == FPopupComponent)
    FPopupComponent = nullptr;
}

void TPopupMenu::Popup(int X, int Y) {
  if (FSession)
    return; // already shown
  if (OnPopup)
    OnPopup(this);
  TMenuItem* chosen = nullptr;
  {
    TPopupSession session(*this);
    chosen = session.Track(X, Y);
  }
  // The menu is closed and destroyed; the menu component may be gone too
  // (then nothing was chosen).
  if (chosen)
    chosen->Click();
}

TMenuItem* TPopupMenu::FindItemByShortCut(TShortCut AShortCut) const {
  if (AShortCut == scNone)
    return nullptr;
  std::function<TMenuItem*(const TMenuItem*)> search = [&](const TMenuItem* parent) {
    for (int i = 0; i < parent->Count(); ++i) {
      TMenuItem* item = parent->Items(i);
      if (!item->Visible() || !item->Enabled())
        continue;
      if (item->ShortCut() == AShortCut)
        return item;
      if (TMenuItem* found = search(item))
        return found;
    }
    return static_cast<TMenuItem*>(nullptr);
  };
  return search(FItems.get());
}

bool TPopupMenu::IsShortCut(WORD AKey, TShiftState AShift) {
  TMenuItem* item = FindItemByShortCut(ShortCut(AKey, AShift));
  if (item == nullptr)
    return false;
  item->Click();
  return true;
}

bool TPopupMenu::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"Alignment")
    SetAlignment(value.AsEnumeration<TPopupAlignment>({L"paLeft", L"paRight", L"paCenter"}));
  else if (path == L"AutoPopup")
    SetAutoPopup(value.AsBoolean());
  else if (path == L"OwnerDraw")
    SetOwnerDraw(value.AsBoolean());
  else if (path == L"OnPopup")
    OnPopup = value.Method;
  else
    return TComponent::SetProperty(path, value);
  return true;
}

void TPopupMenu::AddChildComponent(TComponent* AChild) {
  FItems->Add(AsMenuItem(this, AChild));
}

void InitMenusUnit() {
  RegisterComponentClass(L"TPopupMenu", [](TComponent* owner) { return new TPopupMenu(owner); });
  RegisterComponentClass(L"TMenuItem", [](TComponent* owner) { return new TMenuItem(owner); });
}

void DoneMenusUnit() {
  UnregisterComponentClass(L"TMenuItem");
  UnregisterComponentClass(L"TPopupMenu");
}

} // namespace telvora
