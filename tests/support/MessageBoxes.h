#pragma once
// The message boxes another program shows: waiting for one, reading its
// caption, text, buttons and icon, and closing it as a person would.

#include "tests/support/WaitUntil.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace telvora::testing {

inline constexpr wchar_t kDialogClass[] = L"#32770";

struct TMessageBox {
  HWND Window = nullptr;
  std::wstring Caption;
  std::wstring Text;
  // The push buttons' captions, in z-order.
  std::vector<std::wstring> Buttons;
  HWND OkButton = nullptr;
  // The window that owns the box.
  HWND Owner = nullptr;
};

// Waits for a visible dialog-class window of the process and reads it.
std::optional<TMessageBox> WaitForMessageBox(DWORD processId, TDuration timeout = kDesktopTimeout);
TMessageBox ReadMessageBox(HWND box);
// Whether the box shows the system icon `icon` (IDI_HAND, IDI_WARNING, ...):
// its icon control's pixels equal the icon drawn on the same background.
bool MessageBoxShowsIcon(HWND box, LPCWSTR icon);
// Closes the box with a real click on its OK button and waits for it to go.
bool CloseMessageBoxByClick(const TMessageBox& box);
// Closes the box with the Enter key and waits for it to go.
bool CloseMessageBoxByEnter(const TMessageBox& box);

} // namespace telvora::testing
