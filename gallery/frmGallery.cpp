#include "gallery/frmGallery.h"

#include "platform/Menus.h"

#include <algorithm>

namespace telvora {

TfrmGallery* frmGallery = nullptr;

std::wstring ButtonKindName(TcxButtonKind AKind) {
  static constexpr const wchar_t* kNames[] = {L"cxbkStandard", L"cxbkDropDown",
                                              L"cxbkDropDownButton", L"cxbkCommandLink",
                                              L"cxbkOfficeDropDown"};
  return kNames[AKind];
}

std::wstring LookAndFeelText(const TcxLookAndFeel& ALookAndFeel) {
  if (ALookAndFeel.NativeStyle())
    return L"native";
  static constexpr const wchar_t* kKinds[] = {L"lfFlat", L"lfStandard", L"lfUltraFlat",
                                              L"lfOffice11"};
  return kKinds[ALookAndFeel.Kind()];
}

std::wstring TfrmGallery::ClickText(TcxCustomButton& AButton) {
  return L"Clicked: \"" + AButton.Caption() + L"\" (" + ButtonKindName(AButton.Kind()) + L", " +
         LookAndFeelText(AButton.LookAndFeel()) + L")";
}

void TfrmGallery::Loaded() {
  TCustomForm::Loaded();
  lblStatus = dynamic_cast<TGalleryLabel*>(FindComponent(L"lblStatus"));
  if (lblStatus == nullptr)
    throw EReadError(L"Component lblStatus missing from the form description");
  for (int i = 0; i < ComponentCount(); ++i) {
    if (auto* button = dynamic_cast<TcxCustomButton*>(Components(i)))
      button->OnClick = [this](TObject* Sender) { ButtonClick(Sender); };
    // Items without children: those with a submenu are clicked as it opens.
    if (auto* item = dynamic_cast<TMenuItem*>(Components(i)); item != nullptr && item->Count() == 0)
      item->OnClick = [this](TObject* Sender) { MenuItemClick(Sender); };
  }
}

void TfrmGallery::ButtonClick(TObject* Sender) {
  if (auto* button = dynamic_cast<TcxCustomButton*>(Sender))
    lblStatus->SetCaption(ClickText(*button));
}

std::wstring TfrmGallery::MenuText(TMenuItem& AItem) {
  return L"Chosen from the drop-down menu: \"" + RemoveAccelChars(AItem.Caption()) + L"\"";
}

void TfrmGallery::MenuItemClick(TObject* Sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(Sender))
    lblStatus->SetCaption(MenuText(*item));
}

void CentreOnWorkArea(TCustomForm& AForm) {
  const HWND window = AForm.Handle();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  RECT r{};
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor) ||
      !GetWindowRect(window, &r))
    return;
  const RECT& work = monitor.rcWork;
  const LONG width = r.right - r.left;
  const LONG height = r.bottom - r.top;
  const LONG left = work.left + std::max<LONG>(0, (work.right - work.left - width) / 2);
  const LONG top = work.top + std::max<LONG>(0, (work.bottom - work.top - height) / 2);
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace telvora
