#pragma once
// The gallery window: the push button of the library in every kind and every
// look-and-feel, and the button's options side by side, all of them real
// controls described by the form description "TFRMGALLERY". A status line
// names the button clicked last.

#include "gallery/GalleryControls.h"
#include "platform/Forms.h"
#include "ui/buttons/cxButtons.h"

#include <string>

namespace telvora {

class TMenuItem;

class TfrmGallery : public TCustomForm {
public:
  explicit TfrmGallery(TComponent* AOwner) : TCustomForm(AOwner) {}
  std::wstring ClassName() const override { return L"TfrmGallery"; }

  TGalleryLabel* lblStatus = nullptr;

  // Every button of the form, and every menu item without a submenu, tells
  // the status line of its clicks.
  void Loaded() override;

  // "Clicked: "Caption" (kind, look-and-feel)".
  static std::wstring ClickText(TcxCustomButton& AButton);
  // "Chosen from the drop-down menu: "Caption"" (without accelerator marks).
  static std::wstring MenuText(TMenuItem& AItem);

private:
  void ButtonClick(TObject* Sender);
  void MenuItemClick(TObject* Sender);
};

// The kind's name as form descriptions write it (cxbkStandard, ...).
std::wstring ButtonKindName(TcxButtonKind AKind);
// What the look-and-feel draws a button with: "native" when its native style
// is on, else the name of its kind (lfStandard, ...).
std::wstring LookAndFeelText(const TcxLookAndFeel& ALookAndFeel);

// Puts the window in the middle of its monitor's work area, or at the work
// area's top left corner when it is larger.
void CentreOnWorkArea(TCustomForm& AForm);

extern TfrmGallery* frmGallery;

} // namespace telvora
