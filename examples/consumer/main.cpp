// hello-button: a window with one TcxButton, built by a project of its own
// against the installed telvora_ui package. The window is read from its
// form description; a click on the button counts in the caption.
//
//   hello-button           shows the window until it is closed
//   hello-button --check   shows it, waits until the button has painted,
//                          clicks it (BM_CLICK) and ends; the exit code is 0
//                          when all of it worked, and each step is printed

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/FrameworkUnits.h"
#include "platform/Units.h"
#include "ui/buttons/cxButtons.h"
#include "ui/buttons/cxLibraryUnits.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

using namespace telvora;

class TfrmHello : public TCustomForm {
public:
  explicit TfrmHello(TComponent* AOwner) : TCustomForm(AOwner) {}
  std::wstring ClassName() const override { return L"TfrmHello"; }

  TNotifyEvent FindMethod(const std::wstring& AName) override {
    if (AName == L"btnHelloClick")
      return [this](TObject*) { btnHelloClick(); };
    return TCustomForm::FindMethod(AName);
  }

  void Loaded() override {
    TCustomForm::Loaded();
    btnHello = dynamic_cast<TcxButton*>(FindComponent(L"btnHello"));
  }

  void btnHelloClick() {
    ++Clicks;
    SetCaption(L"Hello button: " + std::to_wstring(Clicks));
  }

  TcxButton* btnHello = nullptr;
  int Clicks = 0;
};

TfrmHello* frmHello = nullptr;

namespace {

bool Report(const char* AStep, bool AOk) {
  std::printf("%s: %s\n", AStep, AOk ? "ok" : "FAILED");
  std::fflush(stdout);
  return AOk;
}

// The number of distinct colours on the screen in the window's client area:
// a painted button shows its face, its frame and its caption.
size_t ColoursShown(HWND AWindow) {
  RECT client{};
  GetClientRect(AWindow, &client);
  MapWindowPoints(AWindow, nullptr, reinterpret_cast<POINT*>(&client), 2);
  HDC screen = GetDC(nullptr);
  std::set<COLORREF> colours;
  for (int y = client.top; y < client.bottom; ++y)
    for (int x = client.left; x < client.right; ++x)
      colours.insert(GetPixel(screen, x, y));
  ReleaseDC(nullptr, screen);
  return colours.size();
}

// Handles the messages that come until the button shows at least three
// colours, for at most ten seconds.
bool WaitUntilPainted(HWND AButton) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    Application()->ProcessMessages();
    if (ColoursShown(AButton) >= 3)
      return true;
    if (std::chrono::steady_clock::now() > end)
      return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

bool Check() {
  bool ok = Report("form read", frmHello->btnHello != nullptr);
  if (!ok)
    return false;
  HWND button = frmHello->btnHello->Handle();
  wchar_t className[32] = {};
  GetClassNameW(button, className, 32);
  ok &= Report("button window",
               _wcsicmp(className, L"Button") == 0 &&
                   (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW);
  frmHello->Show(SW_SHOWNORMAL);
  SetForegroundWindow(frmHello->Handle());
  ok &= Report("button painted", WaitUntilPainted(button));
  SendMessageW(button, BM_CLICK, 0, 0);
  Application()->ProcessMessages();
  ok &= Report("button clicked", frmHello->Clicks == 1);
  ok &= Report("command-link glyph resource",
               FindResourceW(nullptr, L"CX_COMMANDLINKGLYPH", L"PNG") != nullptr);
  return ok;
}

} // namespace

int main(int argc, char** argv) {
  const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
  StartUnits({FrameworkUnits(), cxLibraryUnits()});
  Application()->Initialize();
  Application()->SetMainFormOnTaskBar(true);
  try {
    Application()->CreateForm(frmHello);
  } catch (const Exception& E) {
    // With --check nobody would close an error box: the message is printed.
    if (check)
      std::printf("form read: FAILED (%s)\n", ToUtf8(E.Message()).c_str());
    else
      Application()->HandleException(Application());
    StopUnits();
    return 1;
  }
  int result = 0;
  if (check) {
    result = Check() ? 0 : 1;
    Application()->Terminate();
  }
  Application()->Run();
  StopUnits();
  return result;
}
