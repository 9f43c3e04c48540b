#pragma once
// Drives a real program on the desktop as a person would: starts it, finds
// its windows, moves the real mouse and presses real keys (SendInput), reads
// what is shown (captions, texts, sizes, the focus, message boxes, the
// clipboard) and waits for it to end. Every wait is bounded; nothing here
// pumps messages, since the program under test is another process.
// A program that uses these helpers runs per-monitor DPI aware, so that all
// sizes and positions are physical pixels whatever the other program's DPI.

#include "platform/SysUtils.h" // ToUtf8
#include "platform/Handles.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace telvora::testing {

using namespace std::chrono_literals;
using TDuration = std::chrono::milliseconds;

// How long the helpers wait for something a program does on its own.
inline constexpr TDuration kDesktopTimeout = 10s;

// Polls `condition` every few milliseconds until it holds or `timeout` ends;
// answers whether it held.
bool WaitUntil(const std::function<bool()>& condition, TDuration timeout = kDesktopTimeout);

// --- Files -------------------------------------------------------------------

// A folder of its own under the temporary folder, removed with its files.
class TTempFolder {
public:
  TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder();
  // With a trailing backslash; empty when the folder could not be made.
  const std::wstring& Path() const noexcept { return FPath; }

private:
  std::wstring FPath;
};

// --- Processes ----------------------------------------------------------------

struct TStartOptions {
  // STARTUPINFO.wShowWindow (with STARTF_USESHOWWINDOW).
  int ShowCommand = SW_SHOWNORMAL;
  // When set, the executable is first copied to a temporary folder under
  // this file name and the copy is started (and removed afterwards).
  std::wstring CopyAs;
};

// A started program. Ends it (WM_CLOSE to its windows, then TerminateProcess)
// if it still runs when the holder goes.
class TDesktopProcess {
public:
  TDesktopProcess(const std::wstring& exe, const TStartOptions& options = {});
  TDesktopProcess(const TDesktopProcess&) = delete;
  TDesktopProcess& operator=(const TDesktopProcess&) = delete;
  ~TDesktopProcess();

  bool Started() const noexcept { return static_cast<bool>(FProcess); }
  // The error of CreateProcessW or of the copy when not started.
  DWORD StartError() const noexcept { return FStartError; }
  DWORD Id() const noexcept { return FId; }
  HANDLE Handle() const noexcept { return FProcess.Get(); }
  // The path of the executable that runs (the copy, if one was made).
  const std::wstring& ExePath() const noexcept { return FExePath; }

  bool Running() const;
  // Waits for the process to end; its exit code, or nothing on a timeout.
  std::optional<DWORD> WaitForExit(TDuration timeout = kDesktopTimeout) const;
  // Asks every top-level window of the process to close, waits for the end,
  // and terminates the process only when it does not end in time.
  void Close(TDuration timeout = kDesktopTimeout);

private:
  std::optional<TTempFolder> FCopyFolder;
  std::wstring FExePath;
  TKernelHandle FProcess;
  TKernelHandle FThread;
  DWORD FId = 0;
  DWORD FStartError = 0;
};

// --- Windows ------------------------------------------------------------------

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

// The thread state of another program's GUI thread (the thread owning `window`).
struct TGuiThreadState {
  HWND Active = nullptr;
  HWND Focus = nullptr;
  HWND Capture = nullptr;
};
TGuiThreadState GuiThreadState(HWND window);
// The window with the keyboard focus in the thread owning `window`.
HWND FocusOf(HWND window);
// Waits until the focus of the thread owning `window` is `expected`.
bool WaitForFocus(HWND window, HWND expected, TDuration timeout = kDesktopTimeout);

// Makes `window` the foreground window so that keys reach it.
bool BringToFront(HWND window);

// A screen point of the window where WM_NCHITTEST answers `hitTest` (for
// example HTCLOSE: the close box), searched in the top rows of the window.
std::optional<POINT> FindHitTestPoint(HWND window, LRESULT hitTest);

// --- Mouse and keyboard (real input through SendInput) -------------------------

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

// --- Message boxes ------------------------------------------------------------

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

// --- Clipboard ----------------------------------------------------------------

struct TClipboardText {
  std::wstring Text;       // up to the first zero character
  size_t Bytes = 0;        // the size of the data block
  bool Terminated = false; // the block ends in one zero character after Text
};

// Reads CF_UNICODETEXT; nothing when the clipboard holds none or cannot be
// opened within the timeout.
std::optional<TClipboardText> ReadClipboardText(TDuration timeout = 2s);
// Puts a text on the clipboard (owned by no window); answers success.
bool WriteClipboardText(const std::wstring& text);
DWORD ClipboardSequence();

// --- Registry -----------------------------------------------------------------

// Reads a string value (REG_SZ or REG_EXPAND_SZ, as stored).
std::optional<std::wstring> ReadRegistryString(HKEY root, const std::wstring& key,
                                               const std::wstring& value, REGSAM view);

// --- Pictures -----------------------------------------------------------------

// Copies the window's rectangle from the screen into a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::wstring& path);

// A window's rectangle as the screen shows it: 32-bit pixels, rows from the
// top, the unused top byte cleared; empty when it cannot be read.
using TPixels = std::vector<std::uint32_t>;
TPixels CaptureWindow(HWND window);
// Whether a window, or a visible window below it, has something left to
// paint (an update region), whatever process it belongs to.
bool PaintPending(HWND window);
// Waits until the window's top-level window and everything in it have
// painted and its thread has answered a message sent after that.
bool WaitUntilPainted(HWND window, TDuration timeout = kDesktopTimeout);
// The look once it has stopped changing: first painted (a window made a
// moment ago may show nothing yet, and show it steadily), then the same in
// three pictures taken 60 ms apart (fades over), at most `timeout` long.
TPixels SettledLook(HWND window, TDuration timeout = kDesktopTimeout);

// --- Text ---------------------------------------------------------------------

// The system's message text for an error code (FormatMessageW), as returned.
std::wstring SystemErrorText(DWORD error);

} // namespace telvora::testing
