#pragma once
// Popup menus: a tree of menu items shown as a real Windows popup menu
// (TrackPopupMenuEx), drawn by Windows or owner-drawn, with keyboard
// shortcuts, and read from form descriptions:
//
//   object pmFile: TPopupMenu
//     Alignment = paRight
//     object miOpen: TMenuItem
//       Caption = '&Open'
//       ShortCut = 'Ctrl+O'
//       OnClick = miOpenClick
//     end
//     object miLine: TMenuItem
//       Caption = '-'
//     end
//     object miRecent: TMenuItem
//       Caption = '&Recent'
//       object miRecent1: TMenuItem
//         Caption = 'notes.txt'
//       end
//     end
//   end

#include "platform/Controls.h"
#include "platform/ShortCuts.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace telvora {

enum TPopupAlignment { paLeft, paRight, paCenter };
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenuItem;
class TPopupMenu;

using TMenuMeasureItemEvent =
    std::function<void(TMenuItem* Sender, HDC DC, int& AWidth, int& AHeight)>;
using TMenuDrawItemEvent =
    std::function<void(TMenuItem* Sender, HDC DC, const RECT& R, bool ASelected)>;

// One item of a menu and the items under it (a submenu when there are any).
// An item is owned as a component by whoever created it (a form, the menu);
// its children are freed with it.
class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;
  std::wstring ClassName() const override { return L"TMenuItem"; }

  // The text, "&" before the accelerator character ("&&" for an "&"); "-"
  // makes the item a separator.
  const std::wstring& Caption() const noexcept { return FCaption; }
  void SetCaption(const std::wstring& value) { FCaption = value; }
  bool IsLine() const noexcept { return FCaption == L"-"; }
  TShortCut ShortCut() const noexcept { return FShortCut; }
  void SetShortCut(TShortCut value) { FShortCut = value; }
  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool value) { FEnabled = value; }
  // Invisible items are left out of the Windows menu.
  bool Visible() const noexcept { return FVisible; }
  void SetVisible(bool value) { FVisible = value; }
  bool Checked() const noexcept { return FChecked; }
  void SetChecked(bool value) { FChecked = value; }
  // Starts a new column (mbBarBreak: with a line between the columns).
  TMenuBreak Break() const noexcept { return FBreak; }
  void SetBreak(TMenuBreak value) { FBreak = value; }
  // The image of the menu's image list (-1: none).
  int ImageIndex() const noexcept { return FImageIndex; }
  void SetImageIndex(int value) { FImageIndex = value; }

  int Count() const noexcept { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)); }
  // Puts AItem last (Add) or at AIndex among the children. An item has one
  // parent: adding one that has another, or this item or one above it,
  // raises Exception.
  void Add(TMenuItem* AItem);
  void Insert(int AIndex, TMenuItem* AItem);
  // Takes AItem out of the children without freeing it.
  void Remove(TMenuItem* AItem);
  int IndexOf(const TMenuItem* AItem) const;
  // Frees every child.
  void Clear();
  TMenuItem* Parent() const noexcept { return FParent; }
  // The popup menu whose tree holds the item, or none.
  TPopupMenu* GetParentMenu() const noexcept;

  // Raises OnClick. A chosen item is clicked after its menu has closed; an
  // item with children is clicked when its submenu is about to open.
  virtual void Click();
  // The size the item asks for when it is owner-drawn: the caption in the
  // menu font, room for the check mark or the menu's image and for the
  // shortcut; OnMeasureItem may change it.
  virtual SIZE MeasureItem(HDC DC);
  // Draws the owner-drawn item into R: OnDrawItem when set, else the
  // background, the image (or check mark), the caption and the shortcut.
  virtual void DrawItem(HDC DC, const RECT& R, bool ASelected);

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;
  // Menu items nested in a form description become children.
  void AddChildComponent(TComponent* AChild) override;

private:
  friend class TPopupMenu;

  std::wstring FCaption;
  TShortCut FShortCut = scNone;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  TMenuBreak FBreak = mbNone;
  int FImageIndex = -1;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  // Set on a menu's root item.
  TPopupMenu* FMenu = nullptr;
};

class TPopupSession;

class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  std::wstring ClassName() const override { return L"TPopupMenu"; }

  // The root item: its children are the menu's items.
  TMenuItem* Items() const noexcept { return FItems.get(); }

  // Where the menu stands against the point Popup is given: its left edge
  // there (paLeft), its right edge (paRight) or its middle (paCenter).
  TPopupAlignment Alignment() const noexcept { return FAlignment; }
  void SetAlignment(TPopupAlignment value) { FAlignment = value; }
  // Whether the control the menu belongs to shows it on its own.
  bool AutoPopup() const noexcept { return FAutoPopup; }
  void SetAutoPopup(bool value) { FAutoPopup = value; }
  // Every item (separators aside) is owner-drawn: MeasureItem and DrawItem.
  bool OwnerDraw() const noexcept { return FOwnerDraw; }
  void SetOwnerDraw(bool value) { FOwnerDraw = value; }
  // The component the menu was last shown for (forgotten when it goes).
  TComponent* PopupComponent() const noexcept { return FPopupComponent; }
  void SetPopupComponent(TComponent* value);
  // The images of items with an ImageIndex (not owned). Such items are
  // owner-drawn: image, then caption.
  HIMAGELIST Images() const noexcept { return FImages; }
  void SetImages(HIMAGELIST value) { FImages = value; }

  // Raises OnPopup, then shows the visible items as a Windows popup menu at
  // the screen point (X, Y) and returns once it has closed. The chosen
  // item, if any, is clicked afterwards.
  virtual void Popup(int X, int Y);
  // Clicks the visible, enabled item (at any depth, under visible, enabled
  // items) whose shortcut is AKey with AShift, and answers true; false when
  // there is none.
  bool IsShortCut(WORD AKey, TShiftState AShift);
  // The item whose shortcut is AShortCut, searched as IsShortCut does.
  TMenuItem* FindItemByShortCut(TShortCut AShortCut) const;

  // Raised before the menu is built and shown.
  TNotifyEvent OnPopup;

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;
  // Menu items nested in a form description become the menu's items.
  void AddChildComponent(TComponent* AChild) override;

protected:
  void Notification(TComponent* AComponent, TOperation AOperation) override;

private:
  friend class TMenuItem;
  friend class TPopupSession;

  std::unique_ptr<TMenuItem> FItems;
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  bool FOwnerDraw = false;
  TComponent* FPopupComponent = nullptr;
  HIMAGELIST FImages = nullptr;
  // The Popup running, if any.
  TPopupSession* FSession = nullptr;
};

// A menu that is not a TPopupMenu but can be shown by a control.
class IPopupMenu {
public:
  virtual void PopupAt(int X, int Y) = 0;
  virtual bool IsShortCut(WORD AKey, TShiftState AShift) = 0;
  virtual ~IPopupMenu() = default;
};

// One that also aligns itself against its owner's bounds.
class IPopupMenu2 : public IPopupMenu {
public:
  virtual void PopupAligned(POINT P, TPopupAlignment AAlignment, const RECT& AOwnerBounds) = 0;
};

// Registers TPopupMenu and TMenuItem for form descriptions.
void InitMenusUnit();
void DoneMenusUnit();

} // namespace telvora
