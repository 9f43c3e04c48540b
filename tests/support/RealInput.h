#pragma once
// Real mouse and keyboard input through SendInput, as a person gives it:
// the pointer moves to a screen point (physical pixels) and stays there,
// buttons and keys go down and up.

#include <windows.h>

#include <optional>
#include <vector>

namespace telvora::testing {

// Moves the pointer to a screen point and waits until it stays there.
bool MoveMouseTo(POINT screen);
// Presses or releases the left button where the pointer is, or at a point.
bool MouseButtonDown(std::optional<POINT> screen = std::nullopt);
bool MouseButtonUp(std::optional<POINT> screen = std::nullopt);
// Moves to the point, presses and releases the left button.
bool ClickAt(POINT screen);
// Clicks the centre of a window.
bool ClickWindow(HWND window);
// Presses the keys in order and releases them in reverse order
// (for example {VK_MENU, VK_F4}).
bool PressKeys(const std::vector<WORD>& virtualKeys);
// Moves the pointer to the point and presses and releases the right button.
bool RightClickAt(POINT screen);

} // namespace telvora::testing
