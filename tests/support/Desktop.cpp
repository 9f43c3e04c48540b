#include "tests/support/Desktop.h"

#include "platform/Graphics.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace telvora::testing {

namespace {

// The helpers measure and click in physical pixels: without this, Windows
// would map the sizes of a program running at another resolution to ours.
[[maybe_unused]] const bool gPhysicalPixels =
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE;

constexpr TDuration kPollInterval = 10ms;
// How long a message sent to another program may take.
constexpr UINT kSendTimeoutMs = 5000;

struct TFindTraits {
  using Handle = HANDLE;
  static void Close(HANDLE h) noexcept { FindClose(h); }
};
using TFindHandle = TUniqueHandle<TFindTraits>;

// OpenClipboard / CloseClipboard pair.
class TOpenClipboard {
public:
  explicit TOpenClipboard(TDuration timeout) {
    FOpen = WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, timeout);
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  ~TOpenClipboard() {
    if (FOpen)
      CloseClipboard();
  }
  bool IsOpen() const noexcept { return FOpen; }

private:
  bool FOpen = false;
};

struct TWindowSearch {
  DWORD ProcessId;
  const std::wstring* ClassName; // null: any class
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TWindowSearch*>(data);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == search->ProcessId && IsWindowVisible(window) &&
      (search->ClassName == nullptr || WindowClassName(window) == *search->ClassName))
    search->Found.push_back(window);
  return TRUE;
}

std::vector<HWND> FindTopLevel(DWORD processId, const std::wstring* className) {
  TWindowSearch search{processId, className, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

bool SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  return SendInput(1, &input, sizeof(INPUT)) == 1;
}

// How long the pointer must stay at a point to count as arrived.
constexpr TDuration kPointerSettle = 40ms;

// Absolute input runs from 0 to 65535 over the virtual desktop. Rounding up
// makes the system's conversion back (rounding down) land on `pixel`.
LONG ToAbsolute(LONG pixel, int origin, int extent) {
  if (extent <= 0)
    return 0;
  long long scaled = (static_cast<long long>(pixel - origin) * 65536 + extent - 1) / extent;
  return static_cast<LONG>(std::clamp<long long>(scaled, 0, 65535));
}

// A mouse event at a screen point (absolute coordinates).
bool SendAbsoluteMouse(DWORD flags, POINT screen) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  return SendMouse(flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK,
                   ToAbsolute(screen.x, left, width), ToAbsolute(screen.y, top, height));
}

bool WaitForWindowGone(HWND window) {
  return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); });
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, TDuration timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition())
      return true;
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

// --- Files -------------------------------------------------------------------

TTempFolder::TTempFolder() {
  static unsigned counter = 0;
  wchar_t temp[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH)
    return;
  std::wstring path = std::wstring(temp, length) + L"telvora-e2e-" +
                      std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
  if (CreateDirectoryW(path.c_str(), nullptr))
    FPath = path + L"\\";
}

TTempFolder::~TTempFolder() {
  if (FPath.empty())
    return;
  WIN32_FIND_DATAW data{};
  HANDLE first = FindFirstFileW((FPath + L"*").c_str(), &data);
  if (first != INVALID_HANDLE_VALUE) {
    TFindHandle find(first);
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW((FPath + data.cFileName).c_str());
    } while (FindNextFileW(find.Get(), &data));
  }
  RemoveDirectoryW(FPath.c_str());
}

// --- Processes ----------------------------------------------------------------

TDesktopProcess::TDesktopProcess(const std::wstring& exe, const TStartOptions& options)
    : FExePath(exe) {
  if (!options.CopyAs.empty()) {
    FCopyFolder.emplace();
    if (FCopyFolder->Path().empty()) {
      FStartError = ERROR_PATH_NOT_FOUND;
      return;
    }
    FExePath = FCopyFolder->Path() + options.CopyAs;
    if (!CopyFileW(exe.c_str(), FExePath.c_str(), TRUE)) {
      FStartError = GetLastError();
      return;
    }
  }
  std::wstring command = L"\"" + FExePath + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(options.ShowCommand);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(FExePath.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi)) {
    FStartError = GetLastError();
    return;
  }
  FProcess.Reset(pi.hProcess);
  FThread.Reset(pi.hThread);
  FId = pi.dwProcessId;
}

TDesktopProcess::~TDesktopProcess() {
  if (Running())
    Close();
}

bool TDesktopProcess::Running() const {
  return FProcess && WaitForSingleObject(FProcess.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> TDesktopProcess::WaitForExit(TDuration timeout) const {
  if (!FProcess)
    return std::nullopt;
  if (WaitForSingleObject(FProcess.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(FProcess.Get(), &code))
    return std::nullopt;
  return code;
}

void TDesktopProcess::Close(TDuration timeout) {
  if (!Running())
    return;
  for (HWND window : TopLevelWindows(FId))
    PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForExit(timeout))
    return;
  TerminateProcess(FProcess.Get(), 1);
  WaitForSingleObject(FProcess.Get(), static_cast<DWORD>(timeout.count()));
}

// --- Windows ------------------------------------------------------------------

HWND FindTopLevelWindow(DWORD processId, const std::wstring& className) {
  std::vector<HWND> found = FindTopLevel(processId, &className);
  return found.empty() ? nullptr : found.front();
}

HWND WaitForTopLevelWindow(DWORD processId, const std::wstring& className, TDuration timeout) {
  HWND window = nullptr;
  WaitUntil(
      [&] {
        window = FindTopLevelWindow(processId, className);
        return window != nullptr;
      },
      timeout);
  return window;
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
  return FindTopLevel(processId, nullptr);
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  HWND top = GetWindow(parent, GW_CHILD);
  if (top == nullptr)
    return children;
  for (HWND child = GetWindow(top, GW_HWNDLAST); child; child = GetWindow(child, GW_HWNDPREV))
    children.push_back(child);
  return children;
}

HWND FindChild(HWND parent, const std::wstring& className,
               const std::optional<std::wstring>& text) {
  // Class names are compared as Windows does, without regard to case.
  for (HWND child : ChildWindows(parent))
    if (_wcsicmp(WindowClassName(child).c_str(), className.c_str()) == 0 &&
        (!text || WindowText(child) == *text))
      return child;
  return nullptr;
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT rather than GetWindowTextW: the latter does not ask controls
  // of other processes for their text.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length))
    return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
    return {};
  text.resize(std::min<size_t>(static_cast<size_t>(copied), static_cast<size_t>(length)));
  return text;
}

std::wstring WindowClassName(HWND window) {
  wchar_t name[256] = {};
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

RECT ChildRect(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

POINT WindowCentre(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TGuiThreadState GuiThreadState(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (thread == 0 || !GetGUIThreadInfo(thread, &info))
    return {};
  return {info.hwndActive, info.hwndFocus, info.hwndCapture};
}

HWND FocusOf(HWND window) {
  return GuiThreadState(window).Focus;
}

bool WaitForFocus(HWND window, HWND expected, TDuration timeout) {
  return WaitUntil([&] { return FocusOf(window) == expected; }, timeout);
}

bool BringToFront(HWND window) {
  if (GetForegroundWindow() == window)
    return true;
  SetForegroundWindow(window);
  return WaitUntil([window] { return GetForegroundWindow() == window; });
}

std::optional<POINT> FindHitTestPoint(HWND window, LRESULT hitTest) {
  RECT r{};
  if (!GetWindowRect(window, &r))
    return std::nullopt;
  auto hits = [window, hitTest](LONG x, LONG y) {
    DWORD_PTR answer = HTNOWHERE;
    return SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &answer) &&
           static_cast<LRESULT>(answer) == hitTest;
  };
  // The caption and the frame lie above the client area.
  POINT clientOrigin{0, 0};
  ClientToScreen(window, &clientOrigin);
  const LONG above = std::min(clientOrigin.y, r.bottom);
  // Rows from the middle of that band outwards: the caption's buttons sit
  // in its middle.
  std::vector<LONG> rows;
  for (LONG offset = 0; offset <= (above - r.top) / 2 + 1; ++offset)
    for (LONG y : {(r.top + above) / 2 - offset, (r.top + above) / 2 + offset})
      if (y >= r.top && y < above && std::find(rows.begin(), rows.end(), y) == rows.end())
        rows.push_back(y);
  for (LONG y : rows)
    for (LONG x = r.right - 1; x >= r.left; --x)
      if (hits(x, y)) {
        // The middle of the area found, first across, then down.
        LONG left = x;
        while (left > r.left && hits(left - 1, y))
          --left;
        const LONG middle = (left + x) / 2;
        LONG top = y;
        while (top > r.top && hits(middle, top - 1))
          --top;
        LONG bottom = y;
        while (bottom + 1 < r.bottom && hits(middle, bottom + 1))
          ++bottom;
        return POINT{middle, (top + bottom) / 2};
      }
  return std::nullopt;
}

// --- Mouse and keyboard -------------------------------------------------------

bool MoveMouseTo(POINT screen) {
  auto at = [screen] {
    POINT cursor{};
    return GetCursorPos(&cursor) && cursor.x == screen.x && cursor.y == screen.y;
  };
  // Under X11 the system hears of each move once more, a little later, from
  // the display; such a late echo of an earlier move can put the pointer
  // back where it was. The pointer has arrived once it stays at the point.
  const auto deadline = std::chrono::steady_clock::now() + kDesktopTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!SendAbsoluteMouse(MOUSEEVENTF_MOVE, screen))
      return false;
    if (!WaitUntil(at, 500ms))
      continue;
    if (!WaitUntil([&] { return !at(); }, kPointerSettle))
      return true;
    // Moved back by an echo: the next echo may bring it here again.
    if (WaitUntil(at, 100ms) && !WaitUntil([&] { return !at(); }, kPointerSettle))
      return true;
  }
  return false;
}

bool MouseButtonDown(std::optional<POINT> screen) {
  return screen ? SendAbsoluteMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, *screen)
                : SendMouse(MOUSEEVENTF_LEFTDOWN);
}

bool MouseButtonUp(std::optional<POINT> screen) {
  return screen ? SendAbsoluteMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, *screen)
                : SendMouse(MOUSEEVENTF_LEFTUP);
}

bool ClickAt(POINT screen) {
  // The button events carry the point too, so that a late echo of an
  // earlier move cannot put the press or the release elsewhere.
  return MoveMouseTo(screen) && MouseButtonDown(screen) && MouseButtonUp(screen);
}

bool RightClickAt(POINT screen) {
  return MoveMouseTo(screen) &&
         SendAbsoluteMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTDOWN, screen) &&
         SendAbsoluteMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTUP, screen);
}

bool ClickWindow(HWND window) {
  return ClickAt(WindowCentre(window));
}

bool PressKeys(const std::vector<WORD>& virtualKeys) {
  std::vector<INPUT> inputs;
  auto key = [](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
  };
  for (WORD vk : virtualKeys)
    inputs.push_back(key(vk, false));
  for (auto it = virtualKeys.rbegin(); it != virtualKeys.rend(); ++it)
    inputs.push_back(key(*it, true));
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// --- Message boxes ------------------------------------------------------------

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

// --- Clipboard ----------------------------------------------------------------

std::optional<TClipboardText> ReadClipboardText(TDuration timeout) {
  TOpenClipboard clipboard(timeout);
  if (!clipboard.IsOpen())
    return std::nullopt;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr)
    return std::nullopt;
  TGlobalLock lock(data);
  if (lock.Data() == nullptr)
    return std::nullopt;
  TClipboardText result;
  result.Bytes = GlobalSize(data);
  const auto* chars = static_cast<const wchar_t*>(lock.Data());
  const size_t count = result.Bytes / sizeof(wchar_t);
  size_t length = 0;
  while (length < count && chars[length] != L'\0')
    ++length;
  result.Text.assign(chars, length);
  result.Terminated = length < count && result.Bytes == (length + 1) * sizeof(wchar_t);
  return result;
}

bool WriteClipboardText(const std::wstring& text) {
  TOpenClipboard clipboard(2s);
  if (!clipboard.IsOpen() || !EmptyClipboard())
    return false;
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  TGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!block)
    return false;
  {
    TGlobalLock lock(block.Get());
    if (lock.Data() == nullptr)
      return false;
    std::memcpy(lock.Data(), text.c_str(), bytes);
  }
  if (SetClipboardData(CF_UNICODETEXT, block.Get()) == nullptr)
    return false;
  block.Release(); // the system's now
  return true;
}

DWORD ClipboardSequence() {
  return GetClipboardSequenceNumber();
}

// --- Registry -----------------------------------------------------------------

std::optional<std::wstring> ReadRegistryString(HKEY root, const std::wstring& key,
                                               const std::wstring& value, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
    return std::nullopt;
  TRegKey holder(opened);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(opened, value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(opened, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS)
    return std::nullopt;
  size_t length = 0;
  while (length < size / sizeof(wchar_t) && data[length] != L'\0')
    ++length;
  return std::wstring(data.data(), length);
}

// --- Pictures -----------------------------------------------------------------

TPixels CaptureWindow(HWND window) {
  RECT r{};
  if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top)
    return {};
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  BITMAPINFO info = TopDown32BitInfo(width, height);
  TWindowDC screen(nullptr);
  TMemoryDC dc(CreateCompatibleDC(screen.Get()));
  void* bits = nullptr;
  TGdiObject bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || bits == nullptr)
    return {};
  {
    TSelectObject select(dc.Get(), bitmap.Get());
    if (!BitBlt(dc.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY))
      return {};
  }
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  TPixels pixels(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
  // The unused top byte is whatever BitBlt left there.
  for (std::uint32_t& pixel : pixels)
    pixel &= 0x00FFFFFFu;
  return pixels;
}

namespace {
BOOL CALLBACK FindChildToPaint(HWND child, LPARAM found) {
  if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE))
    *reinterpret_cast<bool*>(found) = true;
  return *reinterpret_cast<bool*>(found) ? FALSE : TRUE;
}
} // namespace

bool PaintPending(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE))
    return true;
  bool pending = false;
  EnumChildWindows(window, FindChildToPaint, reinterpret_cast<LPARAM>(&pending));
  return pending;
}

bool WaitUntilPainted(HWND window, TDuration timeout) {
  HWND root = GetAncestor(window, GA_ROOT);
  return WaitUntil(
      [root] {
        DWORD_PTR answer = 0;
        return !PaintPending(root) &&
               SendMessageTimeoutW(root, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) &&
               !PaintPending(root);
      },
      timeout);
}

TPixels SettledLook(HWND window, TDuration timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  WaitUntilPainted(window, timeout);
  TPixels last = CaptureWindow(window);
  int same = 1;
  while (same < 3 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(60ms);
    TPixels now = CaptureWindow(window);
    same = now == last ? same + 1 : 1;
    last = std::move(now);
  }
  return last;
}

bool SaveWindowBitmap(HWND window, const std::wstring& path) {
  RECT r{};
  if (!GetWindowRect(window, &r))
    return false;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0)
    return false;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD imageBytes = stride * static_cast<DWORD>(height);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height; // bottom-up, as BMP files store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = imageBytes;

  TWindowDC screen(nullptr);
  TMemoryDC dc(CreateCompatibleDC(screen.Get()));
  void* bits = nullptr;
  TGdiObject bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!screen.Get() || !dc || !bitmap)
    return false;
  {
    TSelectObject select(dc.Get(), bitmap.Get());
    if (!BitBlt(dc.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY))
      return false;
  }
  GdiFlush();

  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42; // "BM"
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + imageBytes;

  HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (created == INVALID_HANDLE_VALUE)
    return false;
  TKernelHandle file(created);
  auto write = [&](const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file.Get(), data, size, &written, nullptr) && written == size;
  };
  return write(&header, sizeof(header)) && write(&info.bmiHeader, sizeof(BITMAPINFOHEADER)) &&
         write(bits, imageBytes);
}

// --- Text ---------------------------------------------------------------------

std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  TLocalMemory owner(buffer);
  return length && buffer ? std::wstring(buffer, length) : std::wstring();
}

} // namespace telvora::testing
