// Runs TELVORA as a person would and reports what it showed:
//   telvora-drive.exe <TELVORA.exe> <picture.bmp>
// starts TELVORA, clicks "GUID Oku" and then "Kopyala" with the real mouse,
// prints the text read and the text on the clipboard, saves a picture of the
// window and closes it. Exit code 0 only when every step went well.

#include "tests/support/Desktop.h"
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
  return telvora::ToolFailure(L"telvora-drive", reason);
}

// The caption and text of an error box when TELVORA shows one.
std::wstring ErrorBoxText(DWORD processId) {
  std::optional<TMessageBox> box = WaitForMessageBox(processId, 0ms);
  return box ? box->Caption + L": " + box->Text : std::wstring();
}

int Drive(const std::wstring& exe, const std::wstring& picture) {
  TDesktopProcess telvora(exe);
  if (!telvora.Started())
    return Fail(L"cannot start " + exe + L" (error " + std::to_wstring(telvora.StartError()) +
                L")");
  HWND main = WaitForTopLevelWindow(telvora.Id(), L"TfrmMain");
  if (main == nullptr)
    return Fail(L"TELVORA's window did not appear");
  HWND edit = FindChild(main, L"EDIT");
  HWND read = FindChild(main, L"BUTTON", L"GUID Oku");
  HWND copy = FindChild(main, L"BUTTON", L"Kopyala");
  if (!edit || !read || !copy)
    return Fail(L"the window lacks its edit box or buttons");
  BringToFront(main);

  if (!ClickWindow(read))
    return Fail(L"cannot click \"GUID Oku\"");
  std::wstring guid;
  std::wstring error;
  WaitUntil([&] {
    guid = WindowText(edit);
    error = ErrorBoxText(telvora.Id());
    return !guid.empty() || !error.empty();
  });
  if (!error.empty())
    return Fail(L"TELVORA showed an error: " + error);
  if (guid.empty())
    return Fail(L"\"GUID Oku\" showed nothing");
  Print(L"GUID read: " + guid);

  const DWORD sequence = ClipboardSequence();
  if (!ClickWindow(copy))
    return Fail(L"cannot click \"Kopyala\"");
  std::optional<TClipboardText> clipboard;
  WaitUntil([&] {
    error = ErrorBoxText(telvora.Id());
    if (!error.empty())
      return true;
    if (ClipboardSequence() == sequence)
      return false;
    clipboard = ReadClipboardText();
    return clipboard.has_value();
  });
  if (!error.empty())
    return Fail(L"TELVORA showed an error: " + error);
  if (!clipboard)
    return Fail(L"\"Kopyala\" put no text on the clipboard");
  Print(L"Clipboard: " + clipboard->Text);

  // The picture without the pointer's hot look on a button.
  POINT away{0, 0};
  ClientToScreen(main, &away);
  MoveMouseTo({away.x + 4, away.y + 4});
  Sleep(500);
  if (!SaveWindowBitmap(main, picture))
    return Fail(L"cannot save the picture " + picture);

  telvora.Close();
  std::optional<DWORD> code = telvora.WaitForExit();
  if (!code || *code != 0)
    return Fail(L"TELVORA did not end with exit code 0");
  if (clipboard->Text != guid)
    return Fail(L"the clipboard differs from the text read");
  std::optional<std::wstring> registry = ReadRegistryString(
      HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid", KEY_WOW64_64KEY);
  if (!registry || *registry != guid)
    return Fail(L"the text read is not the registry's MachineGuid");
  return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3)
    return Fail(L"usage: telvora-drive.exe <TELVORA.exe> <picture.bmp>");
  return Drive(argv[1], argv[2]);
}
