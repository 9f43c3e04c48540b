// Takes the picture of the button gallery from a real run:
//   gallery-shot.exe <ButtonGallery.exe> <picture.bmp> [caption]
// starts the gallery, waits until its window has painted, moves the real
// mouse over the button with this caption (default "Install the updates")
// and waits until its hot look has faded in and settled, saves a picture of
// the window and closes it with WM_CLOSE. Exit code 0 only when every step
// went well and the gallery ended with exit code 0.

#include "tests/gallery/GalleryDesktop.h"
#include "tools/ToolOutput.h"

#include <windows.h>

#include <cstdio>
#include <string>

using namespace telvora::testing;
using telvora::ToUtf8;

namespace {

void Print(const std::wstring& line) {
  telvora::PrintLine(line);
}

int Fail(const std::wstring& reason) {
  return telvora::ToolFailure(L"gallery-shot", reason);
}

HWND FindButton(HWND main, const std::wstring& caption) {
  for (HWND button : DescendantButtons(main))
    if (WindowText(button) == caption)
      return button;
  return nullptr;
}

int Shoot(const std::wstring& exe, const std::wstring& picture, const std::wstring& caption) {
  TDesktopProcess gallery(exe);
  if (!gallery.Started())
    return Fail(L"cannot start " + exe + L" (error " + std::to_wstring(gallery.StartError()) +
                L")");
  HWND main = WaitForTopLevelWindow(gallery.Id(), kGalleryWindowClass);
  if (main == nullptr)
    return Fail(L"the gallery's window did not appear");
  BringToFront(main);
  HWND button = FindButton(main, caption);
  if (button == nullptr)
    return Fail(L"the gallery has no button \"" + caption + L"\"");

  // Everything painted, the pointer away from the buttons.
  if (!MoveMouseTo(NeutralPoint(main)))
    return Fail(L"cannot move the pointer");
  SettledLook(main);
  const TPixels normal = SettledLook(button);
  if (!MoveMouseTo(WindowCentre(button)))
    return Fail(L"cannot move the pointer over \"" + caption + L"\"");
  if (!WaitUntil([&] { return CaptureWindow(button) != normal; }, 3s))
    return Fail(L"\"" + caption + L"\" shows no hot look");
  SettledLook(button);
  if (!SaveWindowBitmap(main, picture))
    return Fail(L"cannot save the picture " + picture);
  RECT r{};
  GetWindowRect(main, &r);
  Print(L"hovered \"" + caption + L"\"; picture " + std::to_wstring(r.right - r.left) + L" x " +
        std::to_wstring(r.bottom - r.top));

  PostMessageW(main, WM_CLOSE, 0, 0);
  std::optional<DWORD> code = gallery.WaitForExit();
  if (!code)
    return Fail(L"the gallery did not end after WM_CLOSE");
  if (*code != 0)
    return Fail(L"the gallery ended with exit code " + std::to_wstring(*code));
  return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 4)
    return Fail(L"usage: gallery-shot.exe <ButtonGallery.exe> <picture.bmp> [caption]");
  return Shoot(argv[1], argv[2], argc == 4 ? argv[3] : L"Install the updates");
}
