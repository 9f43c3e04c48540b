#pragma once
// A popup menu while it is shown: the part of TPopupMenu that speaks to
// Windows' menus.

#include "platform/Handles.h"
#include "platform/Menus.h"
#include "platform/UtilWindow.h"

#include <windows.h>

#include <exception>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace telvora {

struct TMenuTraits {
  using Handle = HMENU;
  static void Close(HMENU h) noexcept { DestroyMenu(h); }
};
using TMenuHandle = TUniqueHandle<TMenuTraits>;

// One run of TPopupMenu::Popup: the Windows menu built from the items, the
// hidden window that owns it while it is tracked, and what was chosen. The
// menu and the window go when the session goes, whatever happened.
class TPopupSession {
public:
  explicit TPopupSession(TPopupMenu& AMenu);
  TPopupSession(const TPopupSession&) = delete;
  TPopupSession& operator=(const TPopupSession&) = delete;
  ~TPopupSession();

  // Shows the menu and answers the chosen item (none: nothing chosen, or
  // the menu was freed meanwhile). The Windows menu and the window are gone
  // when it returns; an exception a handler raised meanwhile is raised
  // from here.
  TMenuItem* Track(int X, int Y);
  // An item of the menu is being freed.
  void Forget(const TMenuItem* AItem);
  // The menu itself is being freed: nothing of it is touched any more.
  void MenuGone();

private:
  bool IsOwnerDrawn(const TMenuItem* AItem) const;
  // Appends the visible children of AParent to AMenu, with submenus.
  void Build(HMENU AMenu, TMenuItem* AParent);
  // Forgets the submenus of AMenu, which DeleteMenu is about to destroy.
  void ForgetSubMenus(HMENU AMenu);
  TMenuItem* ItemFromData(ULONG_PTR data) const;
  TMenuItem* ItemAt(HMENU AMenu, int APosition) const;
  void WndProc(TMessage& message);
  bool HandleMessage(TMessage& message);

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

} // namespace telvora
