#pragma once
// ButtonGallery.exe as seen from outside: its window, its panels and
// buttons, and pictures of them taken from the screen. Shared by the
// gallery's end-to-end test and the screenshot tool (tools/gallery-shot).

#include "tests/support/Desktop.h"

#include <cstdint>
#include <string>
#include <vector>

namespace telvora::testing {

inline constexpr wchar_t kGalleryWindowClass[] = L"TfrmGallery";
inline constexpr wchar_t kGalleryPanelClass[] = L"TGalleryPanel";
inline constexpr wchar_t kGalleryLabelClass[] = L"TGalleryLabel";
// The panel that holds the grid of every kind in every look-and-feel.
inline constexpr wchar_t kKindsPanelCaption[] = L"Every kind in every look-and-feel";

// Every window below `parent` (children, their children, ...), in the order
// EnumChildWindows gives.
std::vector<HWND> DescendantWindows(HWND parent);
// Those of them whose class is "BUTTON" (any case).
std::vector<HWND> DescendantButtons(HWND parent);
// The direct children of `parent` of a class (any case).
std::vector<HWND> ChildrenOfClass(HWND parent, const std::wstring& className);
// The direct child panel of `parent` with this caption, or null.
HWND FindPanel(HWND parent, const std::wstring& caption);

// A screen point in the client area of `window` that lies on none of its
// descendant buttons: the top left corner, moved in by 4 pixels.
POINT NeutralPoint(HWND window);

} // namespace telvora::testing
