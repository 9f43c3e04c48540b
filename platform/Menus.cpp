#include "platform/Menus.h"

#include "platform/Handles.h"
#include "platform/PopupSession.h"

#include <algorithm>

namespace telvora {

namespace {

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
