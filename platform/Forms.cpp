#include "platform/Forms.h"

#include "platform/Application.h"
#include "platform/FormReader.h"
#include "platform/Handles.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace telvora {

namespace {

using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <class T> T LoadProc(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle)
    handle = LoadLibraryW(module); // kept loaded for the process
  return handle ? reinterpret_cast<T>(GetProcAddress(handle, name)) : nullptr;
}

} // namespace

int SystemDpi() {
  TWindowDC dc(nullptr);
  return GetDeviceCaps(dc.Get(), LOGPIXELSY);
}

int MonitorDpi(HMONITOR monitor) {
  static GetDpiForMonitorFn getDpiForMonitor =
      LoadProc<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
  if (!getDpiForMonitor)
    return SystemDpi();
  UINT x = 0, y = 0;
  if (FAILED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)))
    return 0;
  return static_cast<int>(y);
}

SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
  static AdjustWindowRectExForDpiFn adjustForDpi =
      LoadProc<AdjustWindowRectExForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT r{0, 0, width, height};
  if (adjustForDpi)
    adjustForDpi(&r, style, FALSE, exStyle, dpi);
  else
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisible(false);
}

void TCustomForm::SetClientSize(int width, int height) {
  FClientWidth = width;
  FClientHeight = height;
  FGivenClientWidth = {width, Scale()};
  FGivenClientHeight = {height, Scale()};
  ApplyClientSize();
}

void TCustomForm::ApplyClientSize() {
  if (!HandleAllocated())
    return;
  // The frame is whatever the window has now (its monitor's frame metrics).
  HWND window = Handle();
  RECT windowRect{}, clientRect{};
  GetWindowRect(window, &windowRect);
  GetClientRect(window, &clientRect);
  if (clientRect.right == FClientWidth && clientRect.bottom == FClientHeight)
    return; // made at that size already
  int frameWidth = (windowRect.right - windowRect.left) - clientRect.right;
  int frameHeight = (windowRect.bottom - windowRect.top) - clientRect.bottom;
  SetWindowPos(window, nullptr, 0, 0, FClientWidth + frameWidth, FClientHeight + frameHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  if (Application() && Application()->MainFormOnTaskBar() &&
      (Application()->MainForm() == nullptr || Application()->MainForm() == this))
    params.ExStyle |= WS_EX_APPWINDOW;
  params.X = CW_USEDEFAULT;
  params.Y = CW_USEDEFAULT;
  SIZE size = WindowSizeForClient(FClientWidth, FClientHeight, params.Style, params.ExStyle, 96);
  params.Width = size.cx;
  params.Height = size.cy;
  params.WndParent = nullptr;
  params.Background = nullptr;
}

void TCustomForm::CreateHandleDone() {
  ApplyClientSize();
}

bool TCustomForm::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"ClientWidth") {
    FClientWidth = value.AsInteger();
    FGivenClientWidth = {FClientWidth, Scale()};
  } else if (path == L"ClientHeight") {
    FClientHeight = value.AsInteger();
    FGivenClientHeight = {FClientHeight, Scale()};
  } else if (path == L"PixelsPerInch") {
    FPixelsPerInch = value.AsInteger();
    FGivenPixelsPerInch = {FPixelsPerInch, Scale()};
  } else if (path == L"TextHeight") {
    FTextHeight = value.AsInteger();
    FGivenTextHeight = {FTextHeight, Scale()};
  } else if (path == L"Scaled")
    FScaled = value.AsBoolean();
  else
    return TWinControl::SetProperty(path, value);
  return true;
}

void TCustomForm::ReadFormDescription() {
  ReadComponentResource(this, ClassName());
}

std::vector<TWinControl*> TCustomForm::TabList() {
  std::vector<TWinControl*> result;
  std::function<void(TWinControl*)> collect = [&](TWinControl* parent) {
    std::vector<TWinControl*> children;
    for (int i = 0; i < parent->ControlCount(); ++i)
      children.push_back(parent->Controls(i));
    std::stable_sort(children.begin(), children.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TWinControl* child : children) {
      result.push_back(child);
      collect(child);
    }
  };
  collect(this);
  return result;
}

void TCustomForm::FocusControl(TWinControl* control) {
  FActiveControl = control;
  if (control && control->Handle() && GetFocus() != control->Handle())
    ::SetFocus(control->Handle());
}

void TCustomForm::ControlFocused(TWinControl* control) {
  FActiveControl = control;
  FocusChanged(control);
}

namespace {
TListenerList<TWinControl>& FocusFollowers() {
  static TListenerList<TWinControl> followers;
  return followers;
}
} // namespace

void AddFocusFollower(TWinControl* AControl) {
  FocusFollowers().Add(AControl);
}

void RemoveFocusFollower(TWinControl* AControl) {
  FocusFollowers().Remove(AControl);
}

void TCustomForm::FocusChanged(TWinControl* focused) {
  TWinControl* previous = std::exchange(FFocusNotified, focused);
  const auto tell = [focused](TWinControl* control) {
    control->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(focused));
  };
  if (focused != nullptr)
    tell(focused);
  if (previous != nullptr && previous != focused)
    tell(previous);
  FocusFollowers().ForEach([&](TWinControl* control) {
    if (control != focused && control != previous && control->ParentForm() == this)
      tell(control);
  });
}

void TCustomForm::ControlDestroying(TWinControl* control) {
  if (FFocusNotified == control)
    FFocusNotified = nullptr;
  if (FActiveControl == control)
    ControlFocused(nullptr);
}

void TCustomForm::SelectFirst() {
  for (TWinControl* control : TabList())
    if (control->TabStop() && control->CanFocus()) {
      FocusControl(control);
      return;
    }
}

void TCustomForm::SelectNext(TWinControl* current, bool forward) {
  std::vector<TWinControl*> list = TabList();
  if (list.empty())
    return;
  auto it = std::find(list.begin(), list.end(), current);
  size_t start =
      it == list.end() ? (forward ? list.size() - 1 : 0) : static_cast<size_t>(it - list.begin());
  for (size_t step = 1; step <= list.size(); ++step) {
    size_t index = forward ? (start + step) % list.size()
                           : (start + list.size() - step % list.size()) % list.size();
    TWinControl* candidate = list[index];
    if (candidate->TabStop() && candidate->CanFocus()) {
      if (candidate != current)
        FocusControl(candidate);
      return;
    }
  }
}

bool TCustomForm::DialogKey(WPARAM key) {
  for (TWinControl* control : TabList())
    if (control->Perform(CM_DIALOGKEY, key, 0) != 0)
      return true;
  return false;
}

bool TCustomForm::DialogChar(WPARAM character, LPARAM keyData) {
  for (TWinControl* control : TabList())
    if (control->Perform(CM_DIALOGCHAR, character, keyData) != 0)
      return true;
  return false;
}

int TCustomForm::MonitorPixelsPerInch() {
  WINDOWPLACEMENT placement{sizeof(placement)};
  HMONITOR monitor = nullptr;
  if (GetWindowPlacement(Handle(), &placement)) {
    const RECT& r = placement.rcNormalPosition;
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    monitor = MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST);
  } else if (Application()) {
    monitor = MonitorFromWindow(Application()->Handle(), MONITOR_DEFAULTTONEAREST);
  }
  if (monitor == nullptr)
    return SystemDpi();
  return MonitorDpi(monitor);
}

void TCustomForm::ScaleForCurrentDpi() {
  if (FScaled)
    ScaleForPPI(MonitorPixelsPerInch());
}

void TCustomForm::ScaleForPPI(int newPPI) {
  if (newPPI < 30 || newPPI == FPixelsPerInch)
    return;
  ChangeScale(newPPI, FPixelsPerInch, true);
}

void TCustomForm::ChangeScale(int M, int D, bool isDpiChange) {
  if (M == D || M <= 0 || D <= 0)
    return;
  MultiplyScale(M, D);
  // The form's font first, so the controls' fonts follow it, then the
  // controls' bounds, then the client size; each from its given figure.
  ScaleFontHeight();
  for (int i = 0; i < ControlCount(); ++i)
    Controls(i)->ChangeScale(M, D, isDpiChange);
  FClientWidth = FGivenClientWidth.ScaledTo(Scale());
  FClientHeight = FGivenClientHeight.ScaledTo(Scale());
  FTextHeight = FGivenTextHeight.ScaledTo(Scale());
  FPixelsPerInch = FGivenPixelsPerInch.ScaledTo(Scale());
  ApplyClientSize();
}

void TCustomForm::Close() {
  if (FModal)
    FModalResult = mrCancel;
  else if (Application() && Application()->MainForm() == this)
    Application()->Terminate();
  else if (HandleAllocated())
    ShowWindow(Handle(), SW_HIDE);
}

namespace {

// The windows a modal form disabled, and the form.
struct TDisabledWindows {
  HWND Self;
  std::vector<HWND> Windows;
};

BOOL CALLBACK DisableOtherWindow(HWND window, LPARAM data) {
  auto* state = reinterpret_cast<TDisabledWindows*>(data);
  if (window != state->Self && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    state->Windows.push_back(window);
  }
  return TRUE;
}

} // namespace

int TCustomForm::ShowModal() {
  HandleNeeded();
  const HWND self = Handle();
  TDisabledWindows disabled{self, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindow, reinterpret_cast<LPARAM>(&disabled));
  FModalResult = mrNone;
  FModal = true;
  TScopeExit end([this, self, &disabled] {
    FModal = false;
    // The others first, so that the activation goes back to one of them.
    for (HWND window : disabled.Windows)
      if (IsWindow(window))
        EnableWindow(window, TRUE);
    if (IsWindow(self))
      ShowWindow(self, SW_HIDE);
  });
  Show(SW_SHOW);
  SetActiveWindow(self);
  TApplication* application = Application();
  while (FModalResult == mrNone && application != nullptr && !application->Terminated() &&
         IsWindow(self))
    application->HandleMessage();
  return FModalResult;
}

void TCustomForm::WndProc(TMessage& message) {
  switch (message.Msg) {
  case WM_CLOSE:
    Close();
    return;
  case WM_ACTIVATE:
    TWinControl::WndProc(message);
    if (LOWORD(message.WParam) != WA_INACTIVE && !HIWORD(message.WParam)) {
      if (FActiveControl == nullptr || !FActiveControl->CanFocus())
        SelectFirst();
      else
        FocusControl(FActiveControl);
    }
    return;
  case WM_SETFOCUS:
    if (FActiveControl && FActiveControl->CanFocus()) {
      FocusControl(FActiveControl);
      return;
    }
    break;
  case WM_ERASEBKGND: {
    RECT r{};
    GetClientRect(Handle(), &r);
    // The brush is kept while the colour stays: every themed button on the
    // form asks for the background under it at each of its paints.
    const COLORREF color = ColorToRGB(Color());
    if (!FBackgroundBrush || color != FBackgroundColor) {
      FBackgroundBrush = TSharedGdiObject::Brush(LOGBRUSH{BS_SOLID, color, 0});
      FBackgroundColor = color;
    }
    if (FBackgroundBrush) {
      FillRect(reinterpret_cast<HDC>(message.WParam), &r,
               static_cast<HBRUSH>(FBackgroundBrush.Get()));
    } else {
      TGdiObject brush(CreateSolidBrush(color));
      FillRect(reinterpret_cast<HDC>(message.WParam), &r, static_cast<HBRUSH>(brush.Get()));
    }
    message.Result = 1;
    return;
  }
  case WM_DPICHANGED: {
    int newPPI = HIWORD(message.WParam);
    if (newPPI >= 30 && newPPI != FPixelsPerInch)
      ChangeScale(newPPI, FPixelsPerInch, true);
    const RECT* suggested = reinterpret_cast<const RECT*>(message.LParam);
    if (suggested)
      SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    message.Result = 0;
    return;
  }
  default:
    break;
  }
  TWinControl::WndProc(message);
}

} // namespace telvora
