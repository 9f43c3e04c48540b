#include "tests/gallery/GalleryDesktop.h"

#include <chrono>
#include <thread>

namespace telvora::testing {

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

bool HasClass(HWND window, const std::wstring& className) {
  return _wcsicmp(WindowClassName(window).c_str(), className.c_str()) == 0;
}

} // namespace

std::vector<HWND> DescendantWindows(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> DescendantButtons(HWND parent) {
  std::vector<HWND> buttons;
  for (HWND window : DescendantWindows(parent))
    if (HasClass(window, L"BUTTON"))
      buttons.push_back(window);
  return buttons;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const std::wstring& className) {
  std::vector<HWND> children;
  for (HWND child : ChildWindows(parent))
    if (HasClass(child, className))
      children.push_back(child);
  return children;
}

HWND FindPanel(HWND parent, const std::wstring& caption) {
  return FindChild(parent, kGalleryPanelClass, caption);
}

TPixels CaptureWindow(HWND window) {
  RECT r{};
  if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top)
    return {};
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height; // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
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

TPixels SettledLook(HWND window, TDuration timeout) {
  TPixels last = CaptureWindow(window);
  int same = 1;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (same < 3 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(60ms);
    TPixels now = CaptureWindow(window);
    same = now == last ? same + 1 : 1;
    last = std::move(now);
  }
  return last;
}

POINT NeutralPoint(HWND window) {
  POINT p{4, 4};
  ClientToScreen(window, &p);
  return p;
}

} // namespace telvora::testing
