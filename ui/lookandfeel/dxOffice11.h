#pragma once
// The Office 11 colour set: global colours recomputed from the visual-style
// theme and the system colours. Under the Luna themes of Windows XP (and any
// theme of Windows Vista or later whose colour scheme carries one of the
// Luna scheme names) the colours come from a fixed table per scheme;
// otherwise they are derived from the system colours.
//
// The set and its brushes are reference-counted through one counter:
// CreateOffice11Colors takes a reference (the first one computes the colours
// and creates the brushes), ReleaseOffice11Colors drops one (the last one
// destroys the brushes; the colour values stay), RefreshOffice11Colors
// recomputes the colours and, while referenced, recreates the brushes. The
// system colour notification holds a reference and refreshes the set on
// every system colour change.

#include "platform/Graphics.h"

#include <string_view>

namespace telvora {

enum TOffice11Scheme { schUnknown, schNormalColor, schHomestead, schMetallic };

// The six colours the Office 11 painter draws buttons with. Until the set
// is first computed they hold the system colours they are derived from.
extern TColor dxOffice11DockColor1;
extern TColor dxOffice11SelectedColor1;
extern TColor dxOffice11SelectedDownColor1;
extern TColor dxOffice11SelectedBorderColor;
extern TColor dxOffice11TextEnabledColor;
extern TColor dxOffice11TextDisabledColor;

// The six button colours of one scheme, as RGB values.
struct TdxOffice11ButtonColors {
  TColor DockColor1;
  TColor SelectedBorderColor;
  TColor SelectedColor1;
  TColor SelectedDownColor1;
  TColor TextEnabledColor;
  TColor TextDisabledColor;
};

// The fixed colours of a known scheme (schUnknown answers the first scheme's).
const TdxOffice11ButtonColors& Office11Colors(TOffice11Scheme AScheme) noexcept;

// The scheme a theme stands for, from the theme's file name (a path or a
// bare name), its colour-scheme name and the operating system's major
// version: the file must be "luna.msstyles" or the system version 6 or
// later, and the colour scheme "NormalColor", "HomeStead" or "Metallic"
// (compared ignoring case); anything else is schUnknown.
TOffice11Scheme dxOffice11SchemeFromThemeName(std::wstring_view AThemeFileName,
                                              std::wstring_view AColorSchemeName,
                                              unsigned AMajorVersion) noexcept;
// The scheme of the current theme: schUnknown unless visual styles are
// available and the theme's name can be read.
TOffice11Scheme dxGetOffice11Scheme();

// The scheme detected when the set was last computed.
TOffice11Scheme GetOffice11Scheme() noexcept;
// Whether the set was last computed from the fixed table (visual styles
// available and a known scheme).
bool IsXPStandardScheme() noexcept;

// Recomputes the colours for the current theme and system colours.
void InitOffice11Colors();
// Recomputes the colours as for the given scheme: from the fixed table when
// visual styles are available and the scheme is known, else from the system
// colours.
void InitOffice11Colors(TOffice11Scheme AScheme, bool AVisualStylesAvailable);

void CreateOffice11Colors();
void ReleaseOffice11Colors();
void RefreshOffice11Colors();
// The number of references held on the set.
int Office11ColorsRefCount() noexcept;

// Solid brushes of the fill colours while the set is referenced; none
// otherwise.
HBRUSH dxOffice11DockBrush() noexcept;
HBRUSH dxOffice11SelectedBrush() noexcept;
HBRUSH dxOffice11SelectedDownBrush() noexcept;
HBRUSH dxOffice11SelectedBorderBrush() noexcept;

} // namespace telvora
