#pragma once
// What the screen shows of a window: its pixels, or a picture file of them.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace telvora::testing {

// A window's rectangle as the screen shows it: 32-bit pixels, rows from the
// top, the unused top byte cleared; empty when it cannot be read.
using TPixels = std::vector<std::uint32_t>;
TPixels CaptureWindow(HWND window);

// Copies the window's rectangle from the screen into a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::wstring& path);

} // namespace telvora::testing
