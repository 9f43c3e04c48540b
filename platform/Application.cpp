#include "platform/Application.h"

#include "platform/OleLibrary.h"
#include "platform/ProgramIcon.h"
#include "platform/Units.h"

namespace telvora {

namespace {
TApplication* gApplication = nullptr;
constexpr wchar_t kApplicationClass[] = L"TApplication";

// Windows of the thread disabled while a message box is up.
struct TTaskWindows {
  HWND Active;
  std::vector<HWND> Disabled;
};

BOOL CALLBACK DisableTaskWindow(HWND window, LPARAM data) {
  auto* list = reinterpret_cast<TTaskWindows*>(data);
  if (window != list->Active && IsWindowVisible(window) && IsWindowEnabled(window)) {
    list->Disabled.push_back(window);
    EnableWindow(window, FALSE);
  }
  return TRUE;
}
} // namespace

TApplication* Application() noexcept {
  return gApplication;
}

std::wstring TApplication::TitleFromPath(const std::wstring& path) {
  size_t slash = path.find_last_of(L'\\');
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  size_t dot = name.find(L'.');
  if (dot != std::wstring::npos)
    name.resize(dot);
  if (name.size() > 1)
    CharLowerW(name.data() + 1);
  return name;
}

std::wstring TApplication::ErrorBoxText(const Exception& E) {
  std::wstring text = E.Message();
  for (const Exception* inner = E.InnerException(); inner; inner = inner->InnerException())
    if (!inner->Message().empty())
      text = inner->Message();
  if (!text.empty() && text.back() > L'.')
    text += L'.';
  return text;
}

int TApplication::StartupShowCommand() {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  GetStartupInfoW(&si);
  return (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWNORMAL;
}

TApplication::TApplication() : TComponent(nullptr) {
  if (auto oleInitialize = Ole32().OleInitialize)
    FOleInitialized = SUCCEEDED(oleInitialize(nullptr));
  wchar_t path[256] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, 256);
  FTitle = TitleFromPath(std::wstring(path, length));

  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW existing{};
  if (!GetClassInfoW(instance, kApplicationClass, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = AppWndProc;
    wc.hInstance = instance;
    SetProgramIcon(wc);
    wc.lpszClassName = kApplicationClass;
    RegisterClassExW(&wc);
  }
  FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, kApplicationClass, FTitle.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

TApplication::~TApplication() {
  MarkDestroying();
  DestroyComponents();
  FMainForm = nullptr;
  if (FHandle)
    DestroyWindow(FHandle);
  // ole32 is only asked for what was initialised (it is loaded already then).
  if (FComInitialized)
    Ole32().CoUninitialize();
  if (FOleInitialized)
    Ole32().OleUninitialize();
}

LRESULT CALLBACK TApplication::AppWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, msg, wParam, lParam);
}

void TApplication::Initialize() {
  if (auto coInitialize = Ole32().CoInitialize)
    FComInitialized = SUCCEEDED(coInitialize(nullptr));
}

void TApplication::SetMainFormOnTaskBar(bool value) {
  FMainFormOnTaskBar = value;
  if (value && FMainForm == nullptr && FHandle)
    SetWindowTextW(FHandle, L"");
}

void TApplication::SetupForm(TCustomForm* form) {
  form->ReadFormDescription();
  bool first = FMainForm == nullptr;
  if (first)
    FMainForm = form;
  // The form's window first, which tells the monitor and so the resolution
  // to scale to; the controls' windows are made after the scaling, at their
  // final bounds and fonts, rather than made and then changed.
  form->HandleNeeded(false);
  form->ScaleForCurrentDpi();
  form->CreateChildHandles();
  if (first && FMainFormOnTaskBar && FHandle) {
    LONG_PTR ex = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
    SetWindowLongPtrW(FHandle, GWL_EXSTYLE, ex | WS_EX_NOACTIVATE);
  }
}

void TApplication::Terminate() {
  // Posting WM_QUIT ends the loop once it is fetched.
  PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSCHAR)
    return false;
  TWinControl* target = TWinControl::FromHandle(msg.hwnd);
  TCustomForm* form = target ? target->ParentForm() : nullptr;
  if (form == nullptr)
    return false;
  // Alt with a character: the control whose accelerator it is takes it.
  if (msg.message == WM_SYSCHAR)
    return form->DialogChar(msg.wParam, msg.lParam);
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool ctrl = GetKeyState(VK_CONTROL) < 0;
  bool alt = GetKeyState(VK_MENU) < 0;
  if (msg.wParam == VK_TAB && !ctrl && !alt) {
    form->SelectNext(form->ActiveControl() ? form->ActiveControl() : target, !shift);
    return true;
  }
  if ((msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) && !shift && !ctrl && !alt)
    return form->DialogKey(msg.wParam);
  return false;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  try {
    if (!IsKeyMsg(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::HandleMessage() {
  MSG msg{};
  if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ProcessMessage(msg);
    return;
  }
  // Nothing queued: wait for the next message.
  if (GetMessageW(&msg, nullptr, 0, 0) == 0) {
    FTerminated = true;
    return;
  }
  ProcessMessage(msg);
}

void TApplication::ProcessMessages() {
  MSG msg{};
  while (!FTerminated && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    ProcessMessage(msg);
}

void TApplication::Run() {
  FRunning = true;
  AddExitProc([] {
    if (gApplication)
      gApplication->DestroyComponents();
  });
  if (FMainForm) {
    HWND window = FMainForm->Handle();
    int command = StartupShowCommand();
    if (command != SW_SHOWMAXIMIZED && command != SW_SHOWMINNOACTIVE)
      command = SW_SHOWNORMAL;
    // Visible before Windows activates it, so that the activation finds a
    // control that can take the focus.
    FMainForm->Show(command);
    SetForegroundWindow(window);
  }
  while (!FTerminated)
    HandleMessage();
  FRunning = false;
}

void TApplication::HandleException(TObject* Sender) {
  if (HWND capture = GetCapture())
    SendMessageW(capture, WM_CANCELMODE, 0, 0);
  try {
    throw;
  } catch (const EAbort&) {
    return;
  } catch (const Exception& e) {
    if (OnException)
      OnException(Sender, e);
    else
      ShowException(e);
  } catch (const std::exception& e) {
    Exception wrapped(FromUtf8(e.what()));
    if (OnException)
      OnException(Sender, wrapped);
    else
      ShowException(wrapped);
  } catch (...) {
    Exception unknown(L"Unknown exception");
    if (OnException)
      OnException(Sender, unknown);
    else
      ShowException(unknown);
  }
}

void TApplication::ShowException(const Exception& E) {
  ShowMessageBox(ErrorBoxText(E), FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                                 UINT flags) {
  HWND owner = GetActiveWindow();
  if (owner == nullptr && FHandle)
    owner = GetLastActivePopup(FHandle);
  HWND focused = GetFocus();
  TTaskWindows windows{owner, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableTaskWindow, reinterpret_cast<LPARAM>(&windows));
  int result = MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
  for (HWND window : windows.Disabled)
    if (IsWindow(window))
      EnableWindow(window, TRUE);
  if (owner && IsWindow(owner))
    SetActiveWindow(owner);
  if (focused && IsWindow(focused))
    SetFocus(focused);
  return result;
}

void InitFrameworkUnit() {
  if (!gApplication)
    gApplication = new TApplication();
}

void DoneFrameworkUnit() {
  delete gApplication;
  gApplication = nullptr;
  ReleaseOle32();
}

} // namespace telvora
