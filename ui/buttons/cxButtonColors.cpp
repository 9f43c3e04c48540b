#include "ui/buttons/cxButtonColors.h"

#include "platform/Controls.h"

#include <string>
#include <utility>

namespace telvora {

void TcxButtonColors::Changed() {
  if (FButton != nullptr)
    FButton->Invalidate();
}

void TcxButtonColors::SetColor(TcxButtonAssignedColor AIndex, TColor AValue) {
  TColor& entry = FColors.at(AIndex);
  if (AValue == clNone || AValue == clDefault) {
    if (entry == clDefault && !IsColorStored(AIndex))
      return;
    entry = clDefault;
    FAssignedColors =
        static_cast<TcxButtonAssignedColors>(FAssignedColors & ~cxButtonColorBit(AIndex));
    Changed();
    return;
  }
  if (AValue == entry)
    return;
  entry = AValue;
  FAssignedColors =
      static_cast<TcxButtonAssignedColors>(FAssignedColors | cxButtonColorBit(AIndex));
  Changed();
}

void TcxButtonColors::SetAssignedColors(TcxButtonAssignedColors AValue) {
  if (FButton == nullptr || !FButton->IsDesigning() || AValue == FAssignedColors)
    return;
  for (int i = 0; i < cxButtonAssignedColorCount; ++i) {
    const auto index = static_cast<TcxButtonAssignedColor>(i);
    if ((AValue & cxButtonColorBit(index)) == 0)
      FColors[i] = clDefault;
    else if (FColors[i] == clDefault)
      AValue = static_cast<TcxButtonAssignedColors>(AValue & ~cxButtonColorBit(index));
  }
  FAssignedColors = AValue;
  Changed();
}

TcxButtonAssignedColor TcxButtonColors::ButtonStateToButtonAssignedColor(TcxButtonState AState,
                                                                         bool AIsTextColor) {
  switch (AState) {
  case cxbsDefault:
    return AIsTextColor ? cxbcDefaultText : cxbcDefault;
  case cxbsHot:
    return AIsTextColor ? cxbcHotText : cxbcHot;
  case cxbsPressed:
    return AIsTextColor ? cxbcPressedText : cxbcPressed;
  case cxbsDisabled:
    return AIsTextColor ? cxbcDisabledText : cxbcDisabled;
  case cxbsNormal:
  default:
    return AIsTextColor ? cxbcNormalText : cxbcNormal;
  }
}

TColor TcxButtonColors::GetColorByState(TcxButtonState AState) const {
  const TcxButtonAssignedColor entry = ButtonStateToButtonAssignedColor(AState, false);
  if (IsColorStored(entry))
    return FColors[entry];
  return entry == cxbcNormal ? FColors[cxbcDefault] : FColors[cxbcNormal];
}

TColor TcxButtonColors::GetTextColorByState(TcxButtonState AState) const {
  const TcxButtonAssignedColor entry = ButtonStateToButtonAssignedColor(AState, true);
  if (IsColorStored(entry))
    return FColors[entry];
  return entry == cxbcNormalText ? FColors[cxbcDefaultText] : FColors[cxbcNormalText];
}

void TcxButtonColors::Assign(const TcxButtonColors& ASource) {
  if (&ASource == this)
    return;
  FColors = ASource.FColors;
  FAssignedColors = ASource.FAssignedColors;
  Changed();
}

const TcxButtonAssignedColor* TcxButtonColors::FindProperty(const std::wstring& AName) {
  static const std::pair<const wchar_t*, TcxButtonAssignedColor> kProperties[] = {
      {L"Default", cxbcDefault},   {L"DefaultText", cxbcDefaultText},
      {L"Normal", cxbcNormal},     {L"NormalText", cxbcNormalText},
      {L"Hot", cxbcHot},           {L"HotText", cxbcHotText},
      {L"Pressed", cxbcPressed},   {L"PressedText", cxbcPressedText},
      {L"Disabled", cxbcDisabled}, {L"DisabledText", cxbcDisabledText}};
  for (const auto& property : kProperties)
    if (AName == property.first)
      return &property.second;
  return nullptr;
}

} // namespace telvora
