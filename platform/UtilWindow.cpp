#include "platform/UtilWindow.h"

#include "platform/Application.h"
#include "platform/SysUtils.h"

#include <memory>

namespace telvora {

namespace {

constexpr wchar_t kUtilWindowClass[] = L"TPUtilWindow";

struct TUtilWindowData {
  TWndMethod Method;
};

LRESULT CALLBACK UtilWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<TUtilWindowData*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (data == nullptr || !data->Method)
    return DefWindowProcW(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  try {
    data->Method(message);
  } catch (...) {
    if (Application())
      Application()->HandleException(nullptr);
  }
  return message.Result;
}

bool RegisterUtilWindowClass() {
  WNDCLASSW existing{};
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (GetClassInfoW(instance, kUtilWindowClass, &existing))
    return true;
  WNDCLASSW wc{};
  wc.lpfnWndProc = UtilWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kUtilWindowClass;
  return RegisterClassW(&wc) != 0;
}

} // namespace

HWND AllocateHWnd(TWndMethod method) {
  if (!RegisterUtilWindowClass())
    return nullptr;
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kUtilWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr)
    return nullptr;
  auto data = std::make_unique<TUtilWindowData>();
  data->Method = std::move(method);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data.release()));
  return window;
}

void DeallocateHWnd(HWND window) {
  if (window == nullptr)
    return;
  auto* data = reinterpret_cast<TUtilWindowData*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  delete data;
}

void DefaultUtilWindowProc(HWND window, TMessage& message) {
  message.Result = DefWindowProcW(window, message.Msg, message.WParam, message.LParam);
}

} // namespace telvora
