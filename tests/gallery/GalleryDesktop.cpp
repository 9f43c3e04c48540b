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

POINT NeutralPoint(HWND window) {
  POINT p{4, 4};
  ClientToScreen(window, &p);
  return p;
}

} // namespace telvora::testing
