// TELVORA's main window made of native controls alone: the anchor of the
// start-up bench. The same caption, icon and manifest (visual styles through
// comctl32 version 6, per-monitor DPI awareness), the same client size and
// layout scaled to the monitor's DPI, a read-only edit box that takes the
// focus and two themed push buttons, Tahoma 8 pt. Same compiler, flags and
// static linking as TELVORA.exe.
//   native-window [--report FILE START_TICKS]
// With --report it writes, once it has painted and is idle, when it reached
// each step (milliseconds after START_TICKS, a QueryPerformanceCounter
// reading of the process that started it) to FILE and closes.
//
// Built with NATIVE_WINDOW_WITH_FRAMEWORK_PIECES (native-window-framework.exe)
// it first does, in the same order, what TELVORA's window framework and
// units must do before the main window beyond what a native program needs:
// OLE and COM for the main thread, a hidden application window (a tool
// window with a caption and the program's icon), Shcore loaded, and two
// hidden notification windows. The start-up bench measures TELVORA against
// both, so that the cost of those pieces and the cost of the rest show
// apart.

#include "bench/StartupSteps.h"

#include <windows.h>

#include <commctrl.h>

#include <cwchar>
#include <string>

namespace {

// The main form's layout at 96 dpi.
constexpr int kClientWidth = 635, kClientHeight = 74;
struct TChild {
  const wchar_t* Class;
  const wchar_t* Text;
  DWORD Style, ExStyle;
  int Left, Top, Width, Height;
};
constexpr TChild kChildren[] = {
    {L"BUTTON", L"Kopyala", WS_TABSTOP | BS_PUSHBUTTON, 0, 56, 35, 75, 25},
    {L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE, 56, 8, 480, 21},
    {L"BUTTON", L"GUID Oku", WS_TABSTOP | BS_PUSHBUTTON, 0, 137, 35, 104, 25},
};

HFONT gFont = nullptr;

#ifdef NATIVE_WINDOW_WITH_FRAMEWORK_PIECES
LRESULT CALLBACK HiddenWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, msg, wParam, lParam);
}

HWND CreateHiddenWindow(HINSTANCE AInstance, const wchar_t* AClass, HICON AIcon, DWORD AStyle) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = HiddenWindowProc;
  wc.hInstance = AInstance;
  wc.hIcon = AIcon;
  wc.lpszClassName = AClass;
  RegisterClassW(&wc);
  return CreateWindowExW(WS_EX_TOOLWINDOW, AClass, L"", AStyle, 0, 0, 0, 0, nullptr, nullptr,
                         AInstance, nullptr);
}

// What the framework and units do before the main window (see above); each
// piece is kept until the process ends.
void StartFrameworkPieces(HINSTANCE AInstance, telvora::bench::TStartupSteps& ASteps) {
  using TOleInitialize = HRESULT(WINAPI*)(LPVOID);
  using TCoInitialize = HRESULT(WINAPI*)(LPVOID);
  HMODULE ole32 = LoadLibraryW(L"ole32.dll");
  if (auto oleInitialize = reinterpret_cast<TOleInitialize>(
          reinterpret_cast<void*>(GetProcAddress(ole32, "OleInitialize"))))
    oleInitialize(nullptr);
  CreateHiddenWindow(AInstance, L"TNativeApplication", LoadIconW(AInstance, L"MAINICON"),
                     WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX);
  ASteps.Mark(L"OLE and application window");
  LoadLibraryW(L"Shcore.dll");
  CreateHiddenWindow(AInstance, L"TNativeNotification", nullptr, WS_POPUP);
  CreateHiddenWindow(AInstance, L"TNativeNotification", nullptr, WS_POPUP);
  if (auto coInitialize = reinterpret_cast<TCoInitialize>(
          reinterpret_cast<void*>(GetProcAddress(ole32, "CoInitialize"))))
    coInitialize(nullptr);
  ASteps.Mark(L"Shcore, notification windows, COM");
}
#endif

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  case WM_DPICHANGED: {
    const RECT* r = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  default:
    return DefWindowProcW(window, msg, wParam, lParam);
  }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
  using namespace telvora::bench;
#ifdef NATIVE_WINDOW_WITH_FRAMEWORK_PIECES
  TStartupSteps steps(L"native-window-framework");
  StartFrameworkPieces(instance, steps);
#else
  TStartupSteps steps(L"native-window");
#endif
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, L"MAINICON");
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"TNativeMainWindow";
  RegisterClassW(&wc);

  // The system DPI stands for the monitor's, as the main form starts.
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  auto scale = [dpi](int value) { return MulDiv(value, dpi, 96); };
  const DWORD style = WS_OVERLAPPEDWINDOW;
  RECT frame{0, 0, scale(kClientWidth), scale(kClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"TELVORA", style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
  steps.Mark(L"window created");
  gFont = CreateFontW(-scale(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
  HWND edit = nullptr;
  int id = 1;
  for (const TChild& c : kChildren) {
    HWND child =
        CreateWindowExW(c.ExStyle, c.Class, c.Text, WS_CHILD | WS_VISIBLE | c.Style, scale(c.Left),
                        scale(c.Top), scale(c.Width), scale(c.Height), window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(gFont), FALSE);
    if (std::wcscmp(c.Class, L"EDIT") == 0)
      edit = child;
  }
  steps.Mark(L"controls created");
  ShowWindow(window, show == SW_SHOWMAXIMIZED ? show : SW_SHOWNORMAL);
  SetFocus(edit);
  SetForegroundWindow(window);
  steps.Mark(L"shown");
  steps.RunUntilIdle(window);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DeleteObject(gFont);
  return 0;
}
