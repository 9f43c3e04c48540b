// The properties a form description gives the button: its own settings by
// name (several also by a second name), then those of its look-and-feel, then
// the framework's.

#include "ui/buttons/cxButtons.h"

namespace telvora {

bool TcxCustomButton::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path.starts_with(L"Colors.")) {
    const TcxButtonAssignedColor* entry = TcxButtonColors::FindProperty(path.substr(7));
    if (entry == nullptr)
      return false;
    FColors->SetColor(*entry, value.AsColor());
  } else if (path == L"Kind")
    SetKind(
        value.AsEnumeration<TcxButtonKind>({L"cxbkStandard", L"cxbkDropDown", L"cxbkDropDownButton",
                                            L"cxbkCommandLink", L"cxbkOfficeDropDown"}));
  else if (path == L"PaintStyle")
    SetPaintStyle(
        value.AsEnumeration<TcxButtonPaintStyle>({L"bpsDefault", L"bpsCaption", L"bpsGlyph"}));
  else if (path == L"Description" || path == L"CommandLinkHint")
    SetDescription(value.AsString());
  else if (path == L"OptionsImage.Layout" || path == L"Layout")
    FOptionsImage->SetLayout(value.AsEnumeration<TButtonLayout>(
        {L"blGlyphLeft", L"blGlyphRight", L"blGlyphTop", L"blGlyphBottom"}));
  else if (path == L"OptionsImage.Margin" || path == L"Margin")
    FOptionsImage->SetMargin(value.AsInteger());
  else if (path == L"OptionsImage.Spacing" || path == L"Spacing")
    FOptionsImage->SetSpacing(value.AsInteger());
  else if (path == L"OptionsImage.ImageIndex")
    FOptionsImage->SetImageIndex(value.AsInteger());
  else if (path == L"OptionsImage.Images")
    ReadReference(value.AsString(), [this](TComponent* AImages) {
      FOptionsImage->SetImages(dynamic_cast<TcxImageList*>(AImages));
    });
  else if (path.starts_with(L"OptionsImage.Glyph.") || path.starts_with(L"Glyph.")) {
    TdxSmartGlyph glyph(FGlyph->Glyph());
    if (!glyph.SetProperty(path.substr(path.find(L"Glyph.") + 6), value))
      return false;
    FGlyph->SetGlyph(glyph);
  } else if (path == L"OptionsImage.NumGlyphs" || path == L"NumGlyphs")
    FGlyph->SetNumGlyphs(value.AsInteger());
  else if (path == L"SpeedButtonOptions.CanBeFocused" || path == L"CanBeFocused")
    FSpeedButtonOptions.SetCanBeFocused(value.AsBoolean());
  else if (path == L"DropDownMenu")
    ReadReference(value.AsString(), [this](TComponent* AMenu) { SetDropDownMenu(AMenu); });
  else if (path == L"PopupMenu")
    ReadReference(value.AsString(), [this](TComponent* AMenu) { SetPopupMenu(AMenu); });
  else if (path == L"PopupAlignment")
    SetPopupAlignment(value.AsEnumeration<TPopupAlignment>({L"paLeft", L"paRight", L"paCenter"}));
  else if (path == L"SpeedButtonOptions.AllowAllUp" || path == L"AllowAllUp")
    FSpeedButtonOptions.SetAllowAllUp(value.AsBoolean());
  else if (path == L"SpeedButtonOptions.Down" || path == L"Down")
    FDescribedDown = value.AsBoolean();
  else if (path == L"SpeedButtonOptions.Flat")
    FSpeedButtonOptions.SetFlat(value.AsBoolean());
  else if (path == L"SpeedButtonOptions.Transparent")
    FSpeedButtonOptions.SetTransparent(value.AsBoolean());
  else if (path == L"SpeedButtonOptions.GroupIndex" || path == L"GroupIndex")
    FSpeedButtonOptions.SetGroupIndex(value.AsInteger());
  else if (path == L"RepeatClick")
    SetRepeatClick(value.AsBoolean());
  else if (path == L"UseSystemPaint")
    SetUseSystemPaint(value.AsBoolean());
  else if (SetLookAndFeelProperty(*FLookAndFeel, path, value))
    return true;
  else
    return TCustomButton::SetProperty(path, value);
  return true;
}

void TcxCustomButton::Loaded() {
  TCustomButton::Loaded();
  // Down goes last: it needs the group index, whatever order the
  // description gave.
  if (FDescribedDown)
    FSpeedButtonOptions.SetDown(true);
}

} // namespace telvora
