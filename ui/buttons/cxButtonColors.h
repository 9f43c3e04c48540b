#pragma once
// The colours a button may be given per state: ten entries (a background and
// a text colour for each state), each either assigned or left to the
// look-and-feel painter (clDefault).

#include "platform/Graphics.h"
#include "ui/lookandfeel/cxLookAndFeelPainters.h"

#include <array>
#include <cstdint>

namespace telvora {

class TWinControl;

enum TcxButtonAssignedColor {
  cxbcDefault,
  cxbcDefaultText,
  cxbcDisabled,
  cxbcDisabledText,
  cxbcHot,
  cxbcHotText,
  cxbcNormal,
  cxbcNormalText,
  cxbcPressed,
  cxbcPressedText
};
constexpr int cxButtonAssignedColorCount = 10;

// A set of TcxButtonAssignedColor: bit n for ordinal n.
using TcxButtonAssignedColors = std::uint16_t;

constexpr TcxButtonAssignedColors cxButtonColorBit(TcxButtonAssignedColor AColor) {
  return static_cast<TcxButtonAssignedColors>(1u << AColor);
}

class TcxButtonColors {
public:
  // The button is repainted on every change; none for a set of its own.
  explicit TcxButtonColors(TWinControl* AButton = nullptr) : FButton(AButton) {
    FColors.fill(clDefault);
  }
  TcxButtonColors(const TcxButtonColors&) = delete;
  TcxButtonColors& operator=(const TcxButtonColors&) = delete;

  TColor GetColor(TcxButtonAssignedColor AIndex) const { return FColors.at(AIndex); }
  // clNone and clDefault unassign the entry; any other new value assigns it.
  void SetColor(TcxButtonAssignedColor AIndex, TColor AValue);
  bool IsColorStored(TcxButtonAssignedColor AIndex) const noexcept {
    return (FAssignedColors & cxButtonColorBit(AIndex)) != 0;
  }
  TcxButtonAssignedColors AssignedColors() const noexcept { return FAssignedColors; }
  // Acts only while the button is being designed: entries left out are
  // unassigned, entries without a colour are not taken in.
  void SetAssignedColors(TcxButtonAssignedColors AValue);
  // Any entry assigned: the set is worth storing.
  bool IsStored() const noexcept { return FAssignedColors != 0; }

  static TcxButtonAssignedColor ButtonStateToButtonAssignedColor(TcxButtonState AState,
                                                                 bool AIsTextColor);
  // The background for a state: its entry when assigned, else (one step
  // only) the normal entry, or the default entry for the normal state.
  TColor GetColorByState(TcxButtonState AState) const;
  // The same for the text colour.
  TColor GetTextColorByState(TcxButtonState AState) const;

  void Assign(const TcxButtonColors& ASource);

  // The named colour properties of a form description ("Normal",
  // "HotText", ...); none for another name.
  static const TcxButtonAssignedColor* FindProperty(const std::wstring& AName);

private:
  void Changed();

  TWinControl* FButton;
  TcxButtonAssignedColors FAssignedColors = 0;
  std::array<TColor, cxButtonAssignedColorCount> FColors{};
};

} // namespace telvora
