#pragma once
// A running TELVORA.exe as the end-to-end tests see it: the process, its main
// window and its three controls, and what a person does with them.

#include "tests/support/Desktop.h"

#include <memory>
#include <optional>
#include <string>

namespace telvora::testing {

inline constexpr wchar_t kMainWindowClass[] = L"TfrmMain";
inline constexpr wchar_t kCryptographyKey[] = L"SOFTWARE\\Microsoft\\Cryptography";
inline constexpr wchar_t kMachineGuidName[] = L"MachineGuid";

// The error box's text for a message: a period is added when the message
// ends in a character whose code is above that of ".".
std::wstring ShownAs(std::wstring message);

// The clipboard message: the system's text for the error, its trailing
// blanks, line breaks and periods dropped.
std::wstring CannotOpenClipboardMessage(DWORD error);

// The edit box's height follows its font: the text-metric height of the
// window's font ("Tahoma" at `fontHeight`) plus 8 times the system border
// height; 21 at 96 dpi where the display has Tahoma.
int EditBoxHeight(int fontHeight);

// TELVORA.exe next to the running test program.
std::wstring TelvoraExe();

// The machine GUID as the registry's 64-bit view holds it.
std::optional<std::wstring> RegistryMachineGuid();

class TTelvora {
public:
  explicit TTelvora(const TStartOptions& options = {});
  TTelvora(const TTelvora&) = delete;
  TTelvora& operator=(const TTelvora&) = delete;

  // Started, the main window shown and its three controls found. `Problem`
  // tells what is missing otherwise.
  bool Ready() const noexcept { return FProblem.empty(); }
  const std::wstring& Problem() const noexcept { return FProblem; }

  TDesktopProcess& Process() noexcept { return FProcess; }
  DWORD Id() const noexcept { return FProcess.Id(); }

  HWND Main = nullptr;
  HWND Kopyala = nullptr;
  HWND Edit = nullptr;
  HWND GuidOku = nullptr;

  std::wstring EditText() const { return WindowText(Edit); }
  bool WaitForEditText(const std::wstring& expected, TDuration timeout = kDesktopTimeout) const;

  // A real left click in the middle of a control, the pointer coming from
  // outside it as a person's does.
  bool Click(HWND control) const;

  // Presses the left button on "Kopyala", drags the pointer off it and
  // releases it elsewhere in the client area, waiting for the button to take
  // and to give up the mouse capture. Nothing is clicked.
  bool PressDragOffRelease(HWND button) const;

  // Returns once the program has handled all input sent before: the press
  // of PressDragOffRelease is handled after it.
  bool Sync() const { return PressDragOffRelease(Kopyala); }

  // A screen point inside the client area that lies on no control.
  POINT EmptySpot() const;

private:
  TDesktopProcess FProcess;
  std::wstring FProblem;
};

} // namespace telvora::testing
