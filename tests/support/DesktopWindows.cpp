#include "tests/support/DesktopWindows.h"

#include "tests/support/PhysicalPixels.h"

#include <algorithm>

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kDesktopWindowsPixels = &gPhysicalPixels;

namespace {

// How long a message sent to another program may take.
constexpr UINT kSendTimeoutMs = 5000;

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

} // namespace

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

} // namespace telvora::testing
