#pragma once
// Finding another program's windows and reading what they show: captions,
// texts, classes, sizes and positions (physical pixels). Nothing here pumps
// messages, since the program under test is another process.

#include "tests/support/WaitUntil.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace telvora::testing {

// The first visible top-level window of process `processId` whose class is
// `className`, or null.
HWND FindTopLevelWindow(DWORD processId, const std::wstring& className);
// The same, waiting for it to appear.
HWND WaitForTopLevelWindow(DWORD processId, const std::wstring& className,
                           TDuration timeout = kDesktopTimeout);
// Every visible top-level window of a process.
std::vector<HWND> TopLevelWindows(DWORD processId);

// The direct children of `parent`, from the bottom of the z-order to the top
// (for controls created one after the other: in the order of creation).
std::vector<HWND> ChildWindows(HWND parent);
// The first direct child of `parent` (from the bottom of the z-order) with
// this class (in any case) and, when given, this text.
HWND FindChild(HWND parent, const std::wstring& className,
               const std::optional<std::wstring>& text = std::nullopt);

std::wstring WindowText(HWND window);
std::wstring WindowClassName(HWND window);
SIZE ClientSize(HWND window);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
// The centre of a window's rectangle in screen coordinates.
POINT WindowCentre(HWND window);

// A screen point of the window where WM_NCHITTEST answers `hitTest` (for
// example HTCLOSE: the close box), searched in the top rows of the window.
std::optional<POINT> FindHitTestPoint(HWND window, LRESULT hitTest);

} // namespace telvora::testing
