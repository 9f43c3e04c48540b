// Paint speed of the main window's buttons: one paint of each TcxButton of
// the main form (made from its own form description) against a native
// themed "BUTTON" (comctl32 version 6, through the program's manifest) of
// the same size and caption on the same form, painting itself the same way:
// on screen (invalidate, then UpdateWindow) and into a memory device context
// (WM_PRINTCLIENT); in the normal and the hot look (the real pointer over
// the button); with the look-and-feel's native style (the default) and in
// the classic standard style. Only public means are used: the form, the
// buttons' properties and messages.
//   paint-bench [ROUNDS]

#include "bench/BenchInput.h"
#include "bench/BenchTiming.h"
#include "app/Main.h"
#include "app/ProgramUnits.h"
#include "ui/support/dxFading.h"
#include "ui/themes/dxUxTheme.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace telvora;
using namespace telvora::bench;

namespace {

POINT CentreOf(HWND AWindow) {
  RECT r{};
  GetWindowRect(AWindow, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A 32-bit memory context of a button's size that a paint is sent to.
class TMemoryTarget {
public:
  TMemoryTarget(int AWidth, int AHeight) : FWidth(AWidth), FHeight(AHeight) {
    BITMAPINFO info = TopDown32BitInfo(AWidth, AHeight);
    void* bits = nullptr;
    FBitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    FBits = static_cast<DWORD*>(bits);
    FDC.Reset(CreateCompatibleDC(nullptr));
    if (FDC && FBitmap)
      FSelected = SelectObject(FDC.Get(), FBitmap.Get());
  }
  TMemoryTarget(const TMemoryTarget&) = delete;
  TMemoryTarget& operator=(const TMemoryTarget&) = delete;
  ~TMemoryTarget() {
    if (FSelected)
      SelectObject(FDC.Get(), FSelected);
  }
  HDC DC() const noexcept { return FDC.Get(); }
  bool Valid() const noexcept { return FBits != nullptr && FSelected != nullptr; }
  // How many pixels a paint changed from a marker colour.
  int PaintedPixels(HWND AWindow) {
    std::fill(FBits, FBits + FWidth * FHeight, kMarker);
    Print(AWindow);
    GdiFlush();
    return static_cast<int>(
        std::count_if(FBits, FBits + FWidth * FHeight, [](DWORD p) { return p != kMarker; }));
  }
  void Print(HWND AWindow) const {
    SendMessageW(AWindow, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(FDC.Get()),
                 PRF_CLIENT | PRF_ERASEBKGND);
  }

private:
  static constexpr DWORD kMarker = 0x00FF00FF;
  int FWidth, FHeight;
  TGdiObject FBitmap;
  TMemoryDC FDC;
  DWORD* FBits = nullptr;
  HGDIOBJ FSelected = nullptr;
};

void PaintOnScreen(HWND AWindow) {
  InvalidateRect(AWindow, nullptr, TRUE);
  UpdateWindow(AWindow);
}

struct TPair {
  TcxButton* Button;
  HWND Native;
};

bool NativeHot(HWND AWindow) {
  return (SendMessageW(AWindow, BM_GETSTATE, 0, 0) & BST_HOT) != 0;
}

bool FadeRunning(TObject* AObject) {
  TdxFader* fader = dxFaderInstance();
  return fader != nullptr && fader->Contains(AObject);
}

} // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  StartProgramUnits();
  int status = 0;
  {
    auto form = std::make_unique<TfrmMain>(nullptr);
    form->ReadFormDescription();
    form->HandleNeeded();
    HWND formWindow = form->Handle();
    SetWindowPos(formWindow, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE);
    // The native buttons beside the form's own, on the same row.
    std::vector<TPair> pairs;
    int left = 300;
    for (TcxButton* button : {form->btnKopyala, form->btnMakineKoduoku}) {
      HWND native = CreateWindowExW(0, L"BUTTON", button->Caption().c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, left,
                                    button->Top(), button->Width(), button->Height(), formWindow,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
      SendMessageW(native, WM_SETFONT, reinterpret_cast<WPARAM>(form->Font().Handle()), TRUE);
      pairs.push_back({button, native});
      left += button->Width() + 6;
    }
    form->Show(SW_SHOWNOACTIVATE);
    const POINT away{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2};
    MovePointer(away);
    PumpUntil([] { return false; }, 200);

    BOOL menuAnimation = FALSE;
    SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &menuAnimation, 0);
    std::printf("Button paint: %d paired rounds of about 20 ms a side; visual style %s, "
                "menu animation (fades) %s, %d dpi\n",
                rounds, IsThemeActive() ? "active" : "off", menuAnimation ? "on" : "off",
                GetDeviceCaps(TWindowDC(nullptr).Get(), LOGPIXELSY));
    PrintHeader("anchor");

    const double target = 20000;
    for (bool classic : {false, true}) {
      for (const TPair& pair : pairs) {
        pair.Button->LookAndFeel().SetNativeStyle(!classic);
        if (classic)
          pair.Button->LookAndFeel().SetKind(lfStandard);
      }
      for (bool hot : {false, true})
        for (bool memory : {false, true})
          for (const TPair& pair : pairs) {
            TcxButton* button = pair.Button;
            HWND buttonWindow = button->Handle();
            HWND native = pair.Native;
            const std::string name =
                std::string("paint ") + (classic ? "classic " : "themed ") +
                (hot ? "hot " : "normal ") + (memory ? "memory DC " : "screen ") +
                std::to_string(button->Width()) + "x" + std::to_string(button->Height());
            // Each side puts the pointer where its look needs it and waits
            // for that look (and for any fade to end) before it is timed.
            // A style without a hot look (the classic standard one) shows
            // its normal look under the pointer.
            bool buttonHotLook = true;
            auto pointerOn = [](HWND AWindow) {
              POINT p{};
              GetCursorPos(&p);
              return WindowFromPoint(p) == AWindow;
            };
            // Wine's BUTTON does not always hear of the hover or of the
            // pointer leaving when another window of the thread tracks the
            // mouse too: it is then sent the WM_MOUSEHOVER or WM_MOUSELEAVE
            // that the tracking would have sent.
            auto settleNative = [native](bool AHot) {
              if (!PumpUntil([&] { return NativeHot(native) == AHot; }, 500))
                SendMessageW(native, AHot ? WM_MOUSEHOVER : WM_MOUSELEAVE, 0, 0);
            };
            auto buttonReady = [&, button, buttonWindow, native, hot] {
              const bool look = hot ? !buttonHotLook || button->GetButtonState() == cxbsHot
                                    : button->GetButtonState() != cxbsHot;
              return look && pointerOn(buttonWindow) == hot && !NativeHot(native) &&
                     !FadeRunning(button);
            };
            auto prepareButton = [&, buttonWindow, hot] {
              if (buttonReady())
                return;
              MovePointer(hot ? CentreOf(buttonWindow) : away);
              settleNative(false);
              if (!PumpUntil(buttonReady, 1500) && hot && pointerOn(buttonWindow)) {
                buttonHotLook = false;
                PumpUntil(buttonReady);
              }
            };
            auto nativeReady = [&, button, native, hot] {
              return NativeHot(native) == hot && pointerOn(native) == hot &&
                     button->GetButtonState() != cxbsHot && !FadeRunning(button);
            };
            auto prepareNative = [&, native, hot] {
              if (nativeReady())
                return;
              MovePointer(hot ? CentreOf(native) : away);
              settleNative(hot);
              PumpUntil(nativeReady);
            };
            RECT client{};
            GetClientRect(buttonWindow, &client);
            TMemoryTarget buttonTarget(client.right, client.bottom);
            TMemoryTarget nativeTarget(client.right, client.bottom);
            auto paintButton = [&] {
              if (memory)
                buttonTarget.Print(buttonWindow);
              else
                PaintOnScreen(buttonWindow);
              GdiFlush();
            };
            auto paintNative = [&] {
              if (memory)
                nativeTarget.Print(native);
              else
                PaintOnScreen(native);
              GdiFlush();
            };

            prepareButton();
            const bool buttonLook = buttonReady();
            const int buttonPixels = buttonTarget.PaintedPixels(buttonWindow);
            prepareNative();
            const bool nativeLook = nativeReady();
            const int nativePixels = nativeTarget.PaintedPixels(native);
            const int half = client.right * client.bottom / 2;
            if (!buttonLook || !nativeLook || !buttonTarget.Valid() || buttonPixels < half ||
                nativePixels < half) {
              std::printf("%-44s not measured: look %s / %s, memory paint changed %d / %d "
                          "pixels\n",
                          name.c_str(), buttonLook ? "reached" : "not reached",
                          nativeLook ? "reached" : "not reached", buttonPixels, nativePixels);
              status = 1;
              continue;
            }
            TSide a{prepareButton, paintButton, 1, RepeatsFor(prepareButton, paintButton, target)};
            TSide b{prepareNative, paintNative, 1, RepeatsFor(prepareNative, paintNative, target)};
            const TPaired result = PairedRounds(rounds, a, b);
            PrintRow(name + (buttonHotLook ? "" : " (no hot look)"), result,
                     "native BUTTON, same size, caption, look");
          }
    }
    MovePointer(away);
    for (const TPair& pair : pairs)
      DestroyWindow(pair.Native);
    form.reset();
  }
  StopProgramUnits();
  return status;
}
