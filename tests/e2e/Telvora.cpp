#include "tests/e2e/Telvora.h"

#include "tests/support/ClipboardHolder.h"

namespace telvora::testing {

std::wstring ShownAs(std::wstring message) {
  if (!message.empty() && message.back() > L'.')
    message += L'.';
  return message;
}

std::wstring CannotOpenClipboardMessage(DWORD error) {
  std::wstring text = SystemErrorText(error);
  while (!text.empty() && (text.back() <= L' ' || text.back() == L'.'))
    text.pop_back();
  return L"Cannot open clipboard: " + text;
}

int EditBoxHeight(int fontHeight) {
  TGdiObject font(CreateFontW(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH, L"Tahoma"));
  TWindowDC screen(nullptr);
  TSelectObject select(screen.Get(), font.Get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.Get(), &metrics);
  return metrics.tmHeight + 8 * GetSystemMetrics(SM_CYBORDER);
}

std::wstring TelvoraExe() {
  return ProgramFolder() + L"TELVORA.exe";
}

std::optional<std::wstring> RegistryMachineGuid() {
  return ReadRegistryString(HKEY_LOCAL_MACHINE, kCryptographyKey, kMachineGuidName,
                            KEY_WOW64_64KEY);
}

namespace {
// Before a start the pointer goes to the screen's far corner, away from
// where the window opens, as a person's pointer usually is.
const TStartOptions& ParkPointer(const TStartOptions& options) {
  MoveMouseTo({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});
  return options;
}
} // namespace

TTelvora::TTelvora(const TStartOptions& options) : FProcess(TelvoraExe(), ParkPointer(options)) {
  if (!FProcess.Started()) {
    FProblem = L"TELVORA.exe did not start, error " + std::to_wstring(FProcess.StartError());
    return;
  }
  Main = WaitForTopLevelWindow(FProcess.Id(), kMainWindowClass);
  if (Main == nullptr) {
    FProblem = L"no visible TfrmMain window";
    return;
  }
  // Looked for until all three are there, as a person waits for the window
  // to show its controls: under a loaded emulator one look right after the
  // window showed has once missed a control. The problem then names the
  // children that were there.
  WaitUntil([&] {
    Kopyala = FindChild(Main, L"BUTTON", L"Kopyala");
    Edit = FindChild(Main, L"EDIT");
    GuidOku = FindChild(Main, L"BUTTON", L"GUID Oku");
    return Kopyala && Edit && GuidOku;
  });
  if (!Kopyala || !Edit || !GuidOku) {
    FProblem = L"a control of the main window is missing; its children:";
    for (HWND child : ChildWindows(Main))
      FProblem += L" " + WindowClassName(child) + L" \"" + WindowText(child) + L"\"";
  }
}

bool TTelvora::WaitForEditText(const std::wstring& expected, TDuration timeout) const {
  return WaitUntil([&] { return EditText() == expected; }, timeout);
}

bool TTelvora::Click(HWND control) const {
  return MoveMouseTo(EmptySpot()) && ClickWindow(control);
}

POINT TTelvora::EmptySpot() const {
  // Left of the controls, which all start 56 pixels (at 96 dpi) in.
  POINT spot{4, 4};
  ClientToScreen(Main, &spot);
  return spot;
}

bool TTelvora::PressDragOffRelease(HWND button) const {
  const POINT centre = WindowCentre(button);
  if (!MoveMouseTo(centre) || !MouseButtonDown(centre))
    return false;
  bool captured = WaitUntil([&] { return GuiThreadState(Main).Capture == button; });
  bool moved = MoveMouseTo(EmptySpot());
  bool released = MouseButtonUp(EmptySpot());
  bool freed = WaitUntil([&] { return GuiThreadState(Main).Capture != button; });
  return captured && moved && released && freed;
}

} // namespace telvora::testing
