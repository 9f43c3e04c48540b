#include "tests/support/MessageBoxes.h"

#include "platform/Graphics.h"
#include "platform/Handles.h"
#include "tests/support/DesktopWindows.h"
#include "tests/support/PhysicalPixels.h"
#include "tests/support/RealInput.h"
#include "tests/support/WindowFocus.h"

#include <cstring>

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kMessageBoxesPixels = &gPhysicalPixels;

namespace {

bool WaitForWindowGone(HWND window) {
  return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); });
}

} // namespace

std::optional<TMessageBox> WaitForMessageBox(DWORD processId, TDuration timeout) {
  HWND box = WaitForTopLevelWindow(processId, kDialogClass, timeout);
  if (box == nullptr)
    return std::nullopt;
  return ReadMessageBox(box);
}

TMessageBox ReadMessageBox(HWND box) {
  TMessageBox result;
  result.Window = box;
  result.Caption = WindowText(box);
  result.Owner = GetWindow(box, GW_OWNER);
  for (HWND child : ChildWindows(box)) {
    if (!IsWindowVisible(child))
      continue;
    std::wstring className = WindowClassName(child);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(className.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) {
      if (result.Text.empty())
        result.Text = WindowText(child);
    } else if (_wcsicmp(className.c_str(), L"Button") == 0) {
      result.Buttons.push_back(WindowText(child));
      if (GetDlgCtrlID(child) == IDOK)
        result.OkButton = child;
    }
  }
  return result;
}

bool MessageBoxShowsIcon(HWND box, LPCWSTR icon) {
  HWND iconControl = nullptr;
  for (HWND child : ChildWindows(box))
    if (IsWindowVisible(child) && _wcsicmp(WindowClassName(child).c_str(), L"Static") == 0 &&
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      iconControl = child;
  HICON systemIcon = LoadIconW(nullptr, icon); // shared: not destroyed
  if (iconControl == nullptr || systemIcon == nullptr)
    return false;
  RECT r{};
  GetWindowRect(iconControl, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0)
    return false;

  BITMAPINFO info = TopDown32BitInfo(width, height);
  TWindowDC screen(nullptr);
  TMemoryDC dc(CreateCompatibleDC(screen.Get()));
  void* shownBits = nullptr;
  void* expectedBits = nullptr;
  TGdiObject shown(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &shownBits, nullptr, 0));
  TGdiObject expected(
      CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &expectedBits, nullptr, 0));
  if (!dc || !shown || !expected)
    return false;
  COLORREF background = 0;
  {
    TSelectObject select(dc.Get(), shown.Get());
    BitBlt(dc.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY);
    background = GetPixel(dc.Get(), 0, 0);
  }
  {
    TSelectObject select(dc.Get(), expected.Get());
    TGdiObject brush(CreateSolidBrush(background));
    RECT all{0, 0, width, height};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(brush.Get()));
    DrawIconEx(dc.Get(), 0, 0, systemIcon, 0, 0, 0, nullptr, DI_NORMAL);
  }
  GdiFlush();
  return std::memcmp(shownBits, expectedBits, static_cast<size_t>(width) * height * 4) == 0;
}

bool CloseMessageBoxByClick(const TMessageBox& box) {
  if (box.OkButton == nullptr || !ClickWindow(box.OkButton))
    return false;
  return WaitForWindowGone(box.Window);
}

bool CloseMessageBoxByEnter(const TMessageBox& box) {
  if (!BringToFront(box.Window) || !PressKeys({VK_RETURN}))
    return false;
  return WaitForWindowGone(box.Window);
}

} // namespace telvora::testing
