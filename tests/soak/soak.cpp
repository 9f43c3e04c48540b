// Soak: runs the real TELVORA.exe for a while under what a desktop throws at
// it, checks after every step that it still does its job, and measures from
// outside what it holds: windows, kernel handles, committed private memory
// and GDI objects by type, before and after a warm-up and at the end.
//
//   soak.exe [--seconds N] [--seed S] [--only a,b,...] [--skip a,b,...]
//
// Steps (names for --only and --skip): read, copy, hover, storm, dpi,
// registry, clipboard-long, clipboard-brief, capture, box, shutdown. The
// warm-up runs each chosen step once in that order; then steps are drawn at
// random (seeded) until N seconds have passed. It fails on any failed step,
// any message box nobody expected, an exit other than a clean one with code
// 0, and growth after the warm-up beyond the tolerances printed with it.
// The last line is "N passed, M failed".
//
// Needs TELVORA.exe and clipboard-holder.exe next to it. Switches the
// menu-animation setting on for the run (so that state changes fade) and
// puts it back afterwards.

#include "tests/e2e/RegistryGuards.h"
#include "tests/e2e/Telvora.h"
#include "tests/soak/ProcessFigures.h"
#include "tests/support/ClipboardHolder.h"
#include "tests/support/Desktop.h"
#include "tests/support/MenuAnimation.h"

#include "platform/Graphics.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace telvora::testing;
using telvora::ToUtf8;

namespace telvora::soak {
namespace {

using TClock = std::chrono::steady_clock;

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

std::string Narrow(const std::wstring& text) {
  return ToUtf8(text);
}

// --- Growth allowed after the warm-up --------------------------------------------

// Windows are made and destroyed in pairs: any left over is a leak. The
// others allow a little for what Wine's own libraries keep on the side.
constexpr int kWindowGrowthAllowed = 0;
constexpr int kKernelHandleGrowthAllowed = 4;
constexpr int kGdiGrowthAllowedPerType = 2;
constexpr std::int64_t kMemoryGrowthAllowed = 2 * 1024 * 1024;

// --- Checks -----------------------------------------------------------------------

// Collects what went wrong in one step.
class TCheck {
public:
  bool Expect(bool ok, const std::string& what) {
    if (!ok)
      FProblems += (FProblems.empty() ? "" : "; ") + what;
    return ok;
  }
  bool Ok() const noexcept { return FProblems.empty(); }
  const std::string& Problems() const noexcept { return FProblems; }

private:
  std::string FProblems;
};

// --- Brief clipboard holds ------------------------------------------------------

// Holds the clipboard for `holdMs` in every `periodMs` until it goes, from a
// thread of this process with a window of its own (to TELVORA another
// program); between holds the thread answers its messages.
class TBriefClipboardHolder {
public:
  TBriefClipboardHolder(DWORD holdMs, DWORD periodMs)
      : FThread([this, holdMs, periodMs] { Run(holdMs, periodMs); }) {}
  TBriefClipboardHolder(const TBriefClipboardHolder&) = delete;
  TBriefClipboardHolder& operator=(const TBriefClipboardHolder&) = delete;
  ~TBriefClipboardHolder() {
    FStop = true;
    FThread.join();
  }
  int Holds() const { return FHolds; }

private:
  void Run(DWORD holdMs, DWORD periodMs) {
    HWND window = CreateWindowExW(0, L"STATIC", L"soak clipboard holder", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    auto destroy = TScopeExit([window] {
      if (window)
        DestroyWindow(window);
    });
    while (window && !FStop) {
      if (OpenClipboard(window)) {
        ++FHolds;
        Pump(holdMs);
        CloseClipboard();
      }
      Pump(periodMs > holdMs ? periodMs - holdMs : 1);
    }
  }

  static void Pump(DWORD ms) {
    const auto end = TClock::now() + std::chrono::milliseconds(ms);
    for (auto now = TClock::now(); now < end; now = TClock::now()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
      MSG message{};
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    }
  }

  std::atomic<bool> FStop{false};
  std::atomic<int> FHolds{0};
  std::thread FThread;
};

// --- The program under test -------------------------------------------------------

struct TStats {
  int Passed = 0;
  int Failed = 0;
  double Seconds = 0;
};

class TSoak {
public:
  TSoak(unsigned seed, std::wstring guid) : FRandom(seed), FGuid(std::move(guid)) {}

  bool Start() {
    FTelvora = std::make_unique<TTelvora>();
    if (!FTelvora->Ready()) {
      Print("cannot start TELVORA: " + Narrow(FTelvora->Problem()) + "\n");
      return false;
    }
    BringToFront(FTelvora->Main);
    FStartDpi = GetDpiForWindow(FTelvora->Main);
    if (FStartDpi == 0)
      FStartDpi = USER_DEFAULT_SCREEN_DPI;
    return true;
  }

  TTelvora& Telvora() { return *FTelvora; }
  DWORD Id() const { return FTelvora->Id(); }
  unsigned Random(unsigned n) { return n == 0 ? 0 : static_cast<unsigned>(FRandom() % n); }

  // --- Steps ---

  // A read of a value written for it, then of the real machine GUID.
  void Read(TCheck& check) {
    TTelvora& t = *FTelvora;
    {
      TCryptographyKeyGuard guard;
      if (!check.Expect(guard.Saved(), "could not save the Cryptography key"))
        return;
      const std::wstring value = L"{soak-" + std::to_wstring(FRandom()) + L"}";
      check.Expect(guard.WriteString(REG_SZ, value), "could not write MachineGuid");
      check.Expect(t.Click(t.GuidOku), "the click on GUID Oku could not be made");
      check.Expect(t.WaitForEditText(value), "the edit box shows \"" + Narrow(t.EditText()) +
                                                 "\", not \"" + Narrow(value) + "\"" + BoxNote());
      check.Expect(guard.Restore(), "the Cryptography key was not restored");
    }
    check.Expect(RegistryMachineGuid() == FGuid, "the registry's MachineGuid changed");
    check.Expect(t.Click(t.GuidOku), "the click on GUID Oku could not be made");
    check.Expect(t.WaitForEditText(FGuid),
                 "the real MachineGuid was read as \"" + Narrow(t.EditText()) + "\"" + BoxNote());
  }

  // Kopyala puts the edit box's whole text on the clipboard.
  void Copy(TCheck& check) {
    check.Expect(WriteClipboardText(L"soak " + std::to_wstring(FRandom())),
                 "could not put a text on the clipboard");
    CheckCopy(check);
  }

  // The pointer over the buttons: the hot look comes and goes again.
  void Hover(TCheck& check) {
    TTelvora& t = *FTelvora;
    const HWND buttons[2] = {t.Kopyala, t.GuidOku};
    Park();
    const TPixels normal[2] = {SettledLook(buttons[0]), SettledLook(buttons[1])};
    const unsigned first = Random(2);
    const HWND button = buttons[first];
    check.Expect(MoveMouseTo(WindowCentre(button)), "the pointer could not be moved");
    check.Expect(WaitUntil([&] { return CaptureWindow(button) != normal[first]; }),
                 "no hot look on " + Narrow(WindowText(button)));
    const TPixels hot = SettledLook(button);
    if (Random(2) == 0) {
      // Straight over to the other button: one fades out while the other
      // fades in.
      const HWND other = buttons[1 - first];
      check.Expect(MoveMouseTo(WindowCentre(other)), "the pointer could not be moved");
      check.Expect(WaitUntil([&] { return CaptureWindow(other) != normal[1 - first]; }),
                   "no hot look on " + Narrow(WindowText(other)));
    }
    if (Random(2) == 0) {
      // Quick passes that break fades off half-way.
      for (unsigned i = 0, n = 2 + Random(5); i < n; ++i)
        MoveMouseTo(WindowCentre(buttons[Random(2)]));
    }
    // Off the buttons: watch the fade out.
    MoveMouseTo(t.EmptySpot());
    bool between = false;
    WaitUntil([&] {
      TPixels now = CaptureWindow(button);
      between = between || (now != hot && now != normal[first]);
      return now == normal[first];
    });
    ++FHovers;
    if (between)
      ++FFadesSeen;
    ExpectNormalLook(check, normal);
    ExpectNotPushed(check);
  }

  // Broadcasts while a button fades in and out; the window looks and works
  // as before.
  void Storm(TCheck& check) {
    TTelvora& t = *FTelvora;
    const HWND buttons[2] = {t.Kopyala, t.GuidOku};
    Park();
    const TPixels normal[2] = {SettledLook(buttons[0]), SettledLook(buttons[1])};
    const HWND button = buttons[Random(2)];
    check.Expect(MoveMouseTo(WindowCentre(button)), "the pointer could not be moved");
    Broadcast(check, 3 + Random(10));
    check.Expect(MoveMouseTo(t.EmptySpot()), "the pointer could not be moved");
    Broadcast(check, 3 + Random(10));
    ExpectNormalLook(check, normal);
    ExpectNotPushed(check);
    CheckCopy(check);
  }

  // WM_DPICHANGED with a suggested rectangle, several times, ending at the
  // start resolution: the controls follow every change without creeping.
  void Dpi(TCheck& check) {
    TTelvora& t = *FTelvora;
    // The walk starts and ends at the start resolution; what the window
    // shows now is what it must show again.
    Park();
    const RECT startWindow = WindowRectOf(t.Main);
    const SIZE startClient = ClientSize(t.Main);
    const std::vector<RECT> startControls = ControlRects();
    const TPixels normal[2] = {SettledLook(t.Kopyala), SettledLook(t.GuidOku)};
    // Resolutions at which the window still fits the largest size the
    // system lets a window take (Windows suggests no larger one either).
    std::vector<UINT> resolutions;
    for (UINT dpi : {72u, 96u, 108u, 120u, 144u, 168u, 192u, 240u}) {
      const RECT r = ScaledRect(startWindow, dpi);
      if (r.right - r.left <= GetSystemMetrics(SM_CXMAXTRACK) &&
          r.bottom - r.top <= GetSystemMetrics(SM_CYMAXTRACK))
        resolutions.push_back(dpi);
    }
    std::vector<UINT> walk;
    UINT current = FStartDpi;
    for (unsigned i = 0, n = 2 + Random(6); i < n && resolutions.size() > 1; ++i) {
      UINT next = current;
      while (next == current)
        next = resolutions[Random(static_cast<unsigned>(resolutions.size()))];
      walk.push_back(next);
      current = next;
    }
    if (current != FStartDpi)
      walk.push_back(FStartDpi);
    const unsigned readAt = Random(static_cast<unsigned>(walk.size()));
    std::string path = std::to_string(FStartDpi);
    // Every step is taken, also after a failed one, so that the window ends
    // at the start resolution; the first misplaced control is reported.
    bool placed = true;
    for (size_t step = 0; step < walk.size(); ++step) {
      const UINT dpi = walk[step];
      path += " -> " + std::to_string(dpi);
      // Sometimes a button fades while the resolution changes.
      if (Random(2) == 0)
        MoveMouseTo(WindowCentre(Random(2) ? t.Kopyala : t.GuidOku));
      const RECT suggested = ScaledRect(startWindow, dpi);
      std::optional<LRESULT> result = SendDpiChanged(dpi, suggested);
      if (!check.Expect(result.has_value(), "WM_DPICHANGED was not answered (" + path + ")"))
        return;
      check.Expect(*result == 0, "WM_DPICHANGED answered " + std::to_string(*result));
      const RECT taken = WindowRectOf(t.Main);
      check.Expect(EqualRect(&suggested, &taken) != FALSE,
                   "the window did not take the suggested rectangle (" + path + ")");
      const std::vector<RECT> now = ControlRects();
      for (size_t i = 0; i < now.size() && placed; ++i) {
        const RECT& was = startControls[i];
        const RECT& is = now[i];
        auto nearScaled = [&](LONG start, LONG value) {
          return std::abs(MulDiv(start, static_cast<int>(dpi), static_cast<int>(FStartDpi)) -
                          value) <= 1;
        };
        // The edit box's height follows its font; its other edges scale.
        const bool bottomScales = i != 1;
        placed = check.Expect(nearScaled(was.left, is.left) && nearScaled(was.top, is.top) &&
                                  nearScaled(was.right, is.right) &&
                                  (!bottomScales || nearScaled(was.bottom, is.bottom)),
                              ControlName(i) + " at " + Describe(is) + " is not " + Describe(was) +
                                  " scaled to " + std::to_string(dpi) + " dpi (" + path + ")");
      }
      if (step == readAt && dpi != FStartDpi && check.Ok()) {
        // The buttons work at this resolution too.
        Park();
        Read(check);
      }
    }
    Park();
    const std::vector<RECT> back = ControlRects();
    for (size_t i = 0; i < back.size(); ++i)
      check.Expect(EqualRect(&back[i], &startControls[i]) != FALSE,
                   ControlName(i) + " is at " + Describe(back[i]) + " after " + path +
                       ", it was at " + Describe(startControls[i]));
    const SIZE client = ClientSize(t.Main);
    check.Expect(client.cx == startClient.cx && client.cy == startClient.cy,
                 "the client area is " + std::to_string(client.cx) + " x " +
                     std::to_string(client.cy) + " after " + path + ", it was " +
                     std::to_string(startClient.cx) + " x " + std::to_string(startClient.cy));
    // Captions, margins and frames are drawn as before the walk.
    ExpectNormalLook(check, normal, " after " + path);
  }

  // A value the reader refuses: the exact error box, closed by Enter or a
  // click on OK; the edit box keeps its text and the next read works.
  void Registry(TCheck& check) {
    struct TBadValue {
      const char* Name;
      std::function<bool(TCryptographyKeyGuard&)> Change;
      const wchar_t* Error;
    };
    static const TBadValue kBadValues[] = {
        {"key missing", [](TCryptographyKeyGuard& key) { return key.DeleteKey(); },
         L"Reg Key not found: \\SOFTWARE\\Microsoft\\Cryptography."},
        {"value missing", [](TCryptographyKeyGuard& key) { return key.DeleteValue(); },
         L"Reg Name not found: \\SOFTWARE\\Microsoft\\Cryptography\\MachineGuid."},
        {"REG_DWORD",
         [](TCryptographyKeyGuard& key) {
           const DWORD value = 0x12345678;
           return key.WriteValue(REG_DWORD, &value, sizeof(value));
         },
         L"Invalid data type for 'MachineGuid'"},
        {"REG_BINARY",
         [](TCryptographyKeyGuard& key) {
           const BYTE bytes[] = {'5', 0, 'b', 0, '6', 0, 0, 0};
           return key.WriteValue(REG_BINARY, bytes, sizeof(bytes));
         },
         L"Invalid data type for 'MachineGuid'"},
        {"REG_MULTI_SZ",
         [](TCryptographyKeyGuard& key) {
           const wchar_t text[] = L"one\0two\0";
           return key.WriteValue(REG_MULTI_SZ, text, sizeof(text));
         },
         L"Invalid data type for 'MachineGuid'"},
    };
    TTelvora& t = *FTelvora;
    const TBadValue& bad = kBadValues[Random(std::size(kBadValues))];
    const std::wstring shown = t.EditText();
    {
      TCryptographyKeyGuard guard;
      if (!check.Expect(guard.Saved(), "could not save the Cryptography key"))
        return;
      if (!check.Expect(bad.Change(guard), std::string("could not make the ") + bad.Name))
        return;
      check.Expect(t.Click(t.GuidOku), "the click on GUID Oku could not be made");
      ExpectErrorBox(check, bad.Error, Random(2) == 0, bad.Name);
      check.Expect(t.EditText() == shown, "the edit box changed to \"" + Narrow(t.EditText()) +
                                              "\" after the " + bad.Name + " error");
      check.Expect(guard.Restore(), "the Cryptography key was not restored");
    }
    check.Expect(RegistryMachineGuid() == FGuid, "the registry's MachineGuid changed");
    check.Expect(t.Click(t.GuidOku), "the click on GUID Oku could not be made");
    check.Expect(t.WaitForEditText(FGuid),
                 "the read after the error box shows \"" + Narrow(t.EditText()) + "\"" + BoxNote());
  }

  // Another program holds the clipboard across the click: the exact error
  // box, nothing emptied; once it lets go, Kopyala works again.
  void ClipboardLong(TCheck& check) {
    TTelvora& t = *FTelvora;
    const std::wstring held = L"soak held " + std::to_wstring(FRandom());
    check.Expect(WriteClipboardText(held), "could not put a text on the clipboard");
    {
      TClipboardHolderProcess holder;
      if (!check.Expect(holder.Holding(), "clipboard-holder did not take the clipboard"))
        return;
      // The error this system gives for a clipboard held elsewhere.
      const bool opened = OpenClipboard(nullptr) != FALSE;
      const DWORD error = GetLastError();
      if (opened)
        CloseClipboard();
      if (!check.Expect(!opened, "the clipboard opened although another process holds it"))
        return;
      check.Expect(t.Click(t.Kopyala), "the click on Kopyala could not be made");
      ExpectErrorBox(check, ShownAs(CannotOpenClipboardMessage(error)), Random(2) == 0,
                     "held clipboard");
    }
    std::optional<TClipboardText> now = ReadClipboardText();
    check.Expect(now && now->Text == held, "the clipboard lost \"" + Narrow(held) + "\"");
    CheckCopy(check);
  }

  // Another program holds the clipboard for a moment now and then, as
  // clipboard tools do, while Kopyala is clicked: every copy must work
  // without a box.
  void ClipboardBrief(TCheck& check) {
    const DWORD hold = 5 + Random(56);
    const DWORD period = hold + 30 + Random(120);
    TBriefClipboardHolder holder(hold, period);
    if (!check.Expect(WaitUntil([&] { return holder.Holds() > 0; }),
                      "the brief holder never took the clipboard"))
      return;
    for (int i = 0; i < 4 && check.Ok(); ++i)
      CheckCopy(check, " (the clipboard held " + std::to_string(hold) + " ms in every " +
                           std::to_string(period) + " ms)");
  }

  // Press on a button, drag off, release elsewhere: nothing is clicked and
  // the button looks as before.
  void CaptureStep(TCheck& check) {
    TTelvora& t = *FTelvora;
    const HWND buttons[2] = {t.Kopyala, t.GuidOku};
    Park();
    const TPixels normal[2] = {SettledLook(buttons[0]), SettledLook(buttons[1])};
    const unsigned which = Random(2);
    const HWND button = buttons[which];
    // A read would show this value, a copy would change the clipboard.
    TCryptographyKeyGuard guard;
    if (!check.Expect(guard.Saved(), "could not save the Cryptography key"))
      return;
    check.Expect(guard.WriteString(REG_SZ, L"{soak-not-clicked}"), "could not write MachineGuid");
    check.Expect(WriteClipboardText(L"soak untouched"), "could not put a text on the clipboard");
    const DWORD sequence = ClipboardSequence();
    const std::wstring shown = t.EditText();

    const POINT centre = WindowCentre(button);
    POINT release = t.EmptySpot();
    std::string where = "the window's empty spot";
    switch (Random(3)) {
    case 1:
      release = WindowCentre(buttons[1 - which]);
      where = "the other button";
      break;
    case 2:
      release = {GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2};
      where = "outside the window";
      break;
    default:
      break;
    }
    check.Expect(MoveMouseTo(centre) && MouseButtonDown(centre), "the press could not be made");
    check.Expect(WaitUntil([&] { return GuiThreadState(t.Main).Capture == button; }),
                 Narrow(WindowText(button)) + " did not take the mouse capture");
    check.Expect(MoveMouseTo(release) && MouseButtonUp(release), "the release could not be made");
    check.Expect(WaitUntil([&] { return GuiThreadState(t.Main).Capture != button; }),
                 Narrow(WindowText(button)) + " kept the mouse capture");
    // Everything sent so far has been handled once this press on Kopyala
    // is (and it clicks nothing either).
    check.Expect(t.Sync(), "the closing press on Kopyala failed");
    check.Expect(ClipboardSequence() == sequence,
                 "the clipboard changed: a release over " + where + " clicked");
    check.Expect(t.EditText() == shown,
                 "the edit box changed: a release over " + where + " clicked");
    check.Expect(guard.Restore(), "the Cryptography key was not restored");
    Park();
    ExpectNormalLook(check, normal);
    ExpectNotPushed(check);
  }

  // An error box while a button is hot, broadcasts while the box is up,
  // the box closed; the window works again and looks as before.
  void Box(TCheck& check) {
    TTelvora& t = *FTelvora;
    const HWND buttons[2] = {t.Kopyala, t.GuidOku};
    Park();
    const TPixels normal[2] = {SettledLook(buttons[0]), SettledLook(buttons[1])};
    {
      TCryptographyKeyGuard guard;
      if (!check.Expect(guard.Saved(), "could not save the Cryptography key"))
        return;
      check.Expect(guard.DeleteValue(), "could not delete MachineGuid");
      // Clicked where the pointer stays: the button is hot when the box comes.
      check.Expect(ClickWindow(t.GuidOku), "the click on GUID Oku could not be made");
      std::optional<TMessageBox> box = WaitForMessageBox(Id());
      if (!check.Expect(box.has_value(), "no error box appeared"))
        return;
      Broadcast(check, 2 + Random(8));
      MoveMouseTo(WindowCentre(t.Kopyala));
      Broadcast(check, 2 + Random(8));
      const bool byEnter = Random(2) == 0;
      check.Expect(byEnter ? CloseMessageBoxByEnter(*box) : CloseMessageBoxByClick(*box),
                   byEnter ? "Enter did not close the box" : "a click on OK did not close the box");
      check.Expect(WaitUntil([&] { return IsWindowEnabled(t.Main) != FALSE; }),
                   "the main window stayed disabled");
      check.Expect(guard.Restore(), "the Cryptography key was not restored");
    }
    check.Expect(t.Click(t.GuidOku), "the click on GUID Oku could not be made");
    check.Expect(t.WaitForEditText(FGuid),
                 "the read after the box shows \"" + Narrow(t.EditText()) + "\"" + BoxNote());
    Park();
    ExpectNormalLook(check, normal);
    ExpectNotPushed(check);
  }

  // A second TELVORA closed while a button fades (sometimes amid
  // broadcasts): it ends with exit code 0.
  void Shutdown(TCheck& check) {
    TTelvora second;
    if (!check.Expect(second.Ready(),
                      "a second TELVORA did not start: " + Narrow(second.Problem())))
      return;
    // Below the first window, so that nothing of that one is covered: what
    // a covered window shows in the moment it is uncovered is not this
    // step's business.
    RECT first{};
    GetWindowRect(FTelvora->Main, &first);
    SetWindowPos(second.Main, nullptr, first.left, first.bottom + 8, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    check.Expect(WaitUntil([&] {
                   RECT r{};
                   GetWindowRect(second.Main, &r);
                   return r.top == first.bottom + 8;
                 }),
                 "the second TELVORA could not be moved below the first");
    BringToFront(second.Main);
    const HWND button = Random(2) ? second.Kopyala : second.GuidOku;
    const unsigned how = Random(3);
    check.Expect(MoveMouseTo(WindowCentre(button)), "the pointer could not be moved");
    if (how == 1)
      MoveMouseTo(second.EmptySpot()); // fading out
    if (how == 2)
      for (HWND window : AllTopLevelWindows(second.Id()))
        PostMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
    PostMessageW(second.Main, WM_CLOSE, 0, 0);
    std::optional<DWORD> code = second.Process().WaitForExit();
    check.Expect(code.has_value(), "TELVORA did not end after WM_CLOSE");
    check.Expect(!code || *code == 0,
                 "TELVORA ended with exit code " + std::to_string(code.value_or(0)));
    BringToFront(FTelvora->Main);
  }

  // After every step: no box left, still running, in front.
  void AfterStep(TCheck& check) {
    TTelvora& t = *FTelvora;
    while (std::optional<TMessageBox> box = WaitForMessageBox(Id(), 0ms)) {
      check.Expect(false, "unexpected message box \"" + Narrow(box->Caption) + "\": \"" +
                              Narrow(box->Text) + "\"");
      if (!CloseMessageBoxByEnter(*box) && !CloseMessageBoxByClick(*box))
        break;
    }
    if (!t.Process().Running()) {
      DWORD code = 0;
      GetExitCodeProcess(t.Process().Handle(), &code);
      check.Expect(false, "TELVORA ended (exit code " + std::to_string(code) + ")");
      return;
    }
    BringToFront(t.Main);
  }

  // The pointer on the window, on no control.
  void Park() { MoveMouseTo(FTelvora->EmptySpot()); }

  // Closes TELVORA while a button fades out; answers its exit code.
  std::optional<DWORD> CloseWhileFading() {
    TTelvora& t = *FTelvora;
    MoveMouseTo(WindowCentre(t.GuidOku));
    MoveMouseTo(t.EmptySpot());
    PostMessageW(t.Main, WM_CLOSE, 0, 0);
    return t.Process().WaitForExit();
  }

  int Hovers() const { return FHovers; }
  int FadesSeen() const { return FFadesSeen; }

private:
  static RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
  }

  std::vector<RECT> ControlRects() const {
    return {ChildRect(FTelvora->Kopyala), ChildRect(FTelvora->Edit), ChildRect(FTelvora->GuidOku)};
  }

  static std::string ControlName(size_t index) {
    static const char* const kNames[] = {"Kopyala", "the edit box", "GUID Oku"};
    return kNames[index];
  }

  static std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
  }

  // The start rectangle with its size scaled to `dpi`, where it was.
  RECT ScaledRect(const RECT& start, UINT dpi) const {
    const int width =
        MulDiv(start.right - start.left, static_cast<int>(dpi), static_cast<int>(FStartDpi));
    const int height =
        MulDiv(start.bottom - start.top, static_cast<int>(dpi), static_cast<int>(FStartDpi));
    return {start.left, start.top, start.left + width, start.top + height};
  }

  // Sends WM_DPICHANGED to the main window. Its lParam points to the
  // suggested rectangle, which must lie in TELVORA's own memory: the system
  // does not carry it over to another process.
  std::optional<LRESULT> SendDpiChanged(UINT dpi, const RECT& suggested) {
    HANDLE process = FTelvora->Process().Handle();
    void* remote =
        VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr)
      return std::nullopt;
    auto release =
        TScopeExit([process, remote] { VirtualFreeEx(process, remote, 0, MEM_RELEASE); });
    SIZE_T written = 0;
    if (!WriteProcessMemory(process, remote, &suggested, sizeof(suggested), &written) ||
        written != sizeof(suggested))
      return std::nullopt;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(FTelvora->Main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                             reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &result))
      return std::nullopt;
    return static_cast<LRESULT>(result);
  }

  // Every top-level window of a process, hidden ones too (the utility
  // windows that listen for broadcasts are never shown).
  struct TSearch {
    DWORD ProcessId;
    std::vector<HWND> Found;
  };

  static BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->ProcessId)
      search->Found.push_back(window);
    return TRUE;
  }

  static std::vector<HWND> AllTopLevelWindows(DWORD processId) {
    TSearch search{processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
  }

  // `count` system notifications sent to each of TELVORA's top-level
  // windows, as Windows broadcasts them; each must be answered.
  void Broadcast(TCheck& check, unsigned count) {
    static const wchar_t* const kSettings[] = {nullptr, L"WindowMetrics", L"ImmersiveColorSet",
                                               L"Policy"};
    for (unsigned i = 0; i < count; ++i) {
      UINT message = WM_SYSCOLORCHANGE;
      WPARAM wParam = 0;
      const wchar_t* setting = nullptr;
      switch (Random(3)) {
      case 1:
        message = WM_THEMECHANGED;
        break;
      case 2:
        message = WM_SETTINGCHANGE;
        setting = kSettings[Random(std::size(kSettings))];
        wParam = setting ? 0 : SPI_SETNONCLIENTMETRICS;
        break;
      default:
        break;
      }
      for (HWND window : AllTopLevelWindows(Id())) {
        DWORD_PTR result = 0;
        const bool answered =
            SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(setting),
                                SMTO_ABORTIFHUNG, 5000, &result) != FALSE;
        // A window may go away meanwhile (an error box closing).
        check.Expect(answered || !IsWindow(window),
                     "a broadcast message " + std::to_string(message) + " was not answered");
      }
    }
  }

  void CheckCopy(TCheck& check, const std::string& when = {}) {
    TTelvora& t = *FTelvora;
    const std::wstring expected = t.EditText();
    const DWORD before = ClipboardSequence();
    if (!check.Expect(t.Click(t.Kopyala), "the click on Kopyala could not be made"))
      return;
    std::optional<TClipboardText> text;
    const bool arrived = WaitUntil([&] {
      // A box ends the wait: the copy failed.
      if (FindTopLevelWindow(Id(), kDialogClass))
        return true;
      if (ClipboardSequence() == before)
        return false;
      text = ReadClipboardText();
      return text && text->Text == expected;
    });
    const std::string box = BoxNote();
    if (!arrived || !box.empty()) {
      check.Expect(false, "after Kopyala the clipboard holds " +
                              (text ? "\"" + Narrow(text->Text) + "\"" : std::string("no text")) +
                              ", not \"" + Narrow(expected) + "\"" + box + when);
      CloseBoxes();
      return;
    }
    check.Expect(text->Terminated && text->Bytes == (expected.size() + 1) * sizeof(wchar_t),
                 "the clipboard block has " + std::to_string(text->Bytes) + " bytes");
  }

  // Closes whatever box TELVORA shows.
  void CloseBoxes() {
    while (std::optional<TMessageBox> box = WaitForMessageBox(Id(), 0ms))
      if (!CloseMessageBoxByEnter(*box) && !CloseMessageBoxByClick(*box))
        break;
  }

  // What TELVORA shows in a box right now, for a failure's description.
  std::string BoxNote() {
    if (std::optional<TMessageBox> box = WaitForMessageBox(Id(), 0ms))
      return "; TELVORA shows \"" + Narrow(box->Text) + "\"";
    return {};
  }

  // The exact error box: caption, text, one OK button, the stop icon, the
  // main window as owner and disabled; closed, the window is enabled again
  // and the focus is back in the edit box.
  void ExpectErrorBox(TCheck& check, const std::wstring& text, bool byEnter, const char* cause) {
    TTelvora& t = *FTelvora;
    std::optional<TMessageBox> box = WaitForMessageBox(Id());
    if (!check.Expect(box.has_value(), std::string("no error box for the ") + cause))
      return;
    check.Expect(box->Caption == L"Telvora",
                 "the box's caption is \"" + Narrow(box->Caption) + "\"");
    check.Expect(box->Text == text,
                 "the box says \"" + Narrow(box->Text) + "\", expected \"" + Narrow(text) + "\"");
    check.Expect(box->Buttons == std::vector<std::wstring>{L"OK"}, "the box has other buttons");
    check.Expect(box->Owner == t.Main, "the box is not owned by the main window");
    check.Expect(WaitUntil([&] { return MessageBoxShowsIcon(box->Window, IDI_HAND); }),
                 "the box shows no stop icon");
    check.Expect(!IsWindowEnabled(t.Main), "the main window is enabled while the box is up");
    check.Expect(byEnter ? CloseMessageBoxByEnter(*box) : CloseMessageBoxByClick(*box),
                 byEnter ? "Enter did not close the box" : "a click on OK did not close the box");
    check.Expect(WaitUntil([&] { return IsWindowEnabled(t.Main) != FALSE; }),
                 "the main window stayed disabled after the box");
    check.Expect(WaitForFocus(t.Main, t.Edit), "the focus is not back in the edit box");
  }

  void ExpectNormalLook(TCheck& check, const TPixels (&normal)[2], const std::string& when = {}) {
    TTelvora& t = *FTelvora;
    const HWND buttons[2] = {t.Kopyala, t.GuidOku};
    for (int i = 0; i < 2; ++i)
      check.Expect(WaitUntil([&] { return CaptureWindow(buttons[i]) == normal[i]; }),
                   Narrow(WindowText(buttons[i])) + " does not look as before" + when + " (" +
                       Difference(buttons[i], normal[i], CaptureWindow(buttons[i])) + ")");
  }

  // Where two pictures of a window differ.
  static std::string Difference(HWND window, const TPixels& before, const TPixels& now) {
    RECT r{};
    GetWindowRect(window, &r);
    const LONG width = r.right - r.left;
    if (width <= 0 || before.size() != now.size())
      return "its size changed";
    size_t count = 0;
    RECT box{LONG_MAX, LONG_MAX, -1, -1};
    for (size_t i = 0; i < now.size(); ++i)
      if (now[i] != before[i]) {
        ++count;
        const LONG x = static_cast<LONG>(i % static_cast<size_t>(width));
        const LONG y = static_cast<LONG>(i / static_cast<size_t>(width));
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
               std::max(box.bottom, y + 1)};
      }
    return std::to_string(count) + " of " + std::to_string(now.size()) + " pixels differ" +
           (count ? ", within " + Describe(box) : std::string());
  }

  void ExpectNotPushed(TCheck& check) {
    TTelvora& t = *FTelvora;
    for (HWND button : {t.Kopyala, t.GuidOku}) {
      DWORD_PTR state = 0;
      check.Expect(SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &state) &&
                       (state & BST_PUSHED) == 0,
                   Narrow(WindowText(button)) + " stays pushed");
    }
  }

  std::mt19937 FRandom;
  std::wstring FGuid;
  std::unique_ptr<TTelvora> FTelvora;
  UINT FStartDpi = USER_DEFAULT_SCREEN_DPI;
  int FHovers = 0;
  int FFadesSeen = 0;
};

// --- Steps by name ----------------------------------------------------------------

struct TStep {
  const char* Name;
  void (TSoak::*Run)(TCheck&);
};

const TStep kSteps[] = {
    {"read", &TSoak::Read},
    {"copy", &TSoak::Copy},
    {"hover", &TSoak::Hover},
    {"storm", &TSoak::Storm},
    {"dpi", &TSoak::Dpi},
    {"registry", &TSoak::Registry},
    {"clipboard-long", &TSoak::ClipboardLong},
    {"clipboard-brief", &TSoak::ClipboardBrief},
    {"capture", &TSoak::CaptureStep},
    {"box", &TSoak::Box},
    {"shutdown", &TSoak::Shutdown},
};

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos)
      end = list.size();
    if (end > start)
      items.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

// --- Figures ----------------------------------------------------------------------

// Figures taken once nothing moves: the pointer parked, fades over, and two
// measurements in a row alike.
std::optional<TProcessFigures> QuietFigures(TSoak& soak, TProcessProbe& probe) {
  soak.Park();
  std::this_thread::sleep_for(500ms);
  std::optional<TProcessFigures> last = probe.Measure();
  for (int i = 0; i < 6 && last; ++i) {
    std::this_thread::sleep_for(250ms);
    std::optional<TProcessFigures> now = probe.Measure();
    if (!now)
      return now;
    if (now->TopLevelWindows == last->TopLevelWindows && now->ChildWindows == last->ChildWindows &&
        now->MessageOnlyWindows == last->MessageOnlyWindows &&
        now->KernelHandles == last->KernelHandles && now->GdiByType == last->GdiByType)
      return now;
    last = std::move(now);
  }
  return last;
}

std::string Signed(long long value) {
  return (value >= 0 ? "+" : "") + std::to_string(value);
}

// Growth from `warm` to `end` beyond the tolerances; empty when none.
std::string GrowthProblems(const TProcessFigures& warm, const TProcessFigures& end,
                           std::string& report) {
  std::string problems;
  auto note = [&](const std::string& what, long long grown, long long allowed,
                  const std::string& unit = "") {
    report +=
        "  " + what + ": " + Signed(grown) + unit + " (allowed " + Signed(allowed) + unit + ")\n";
    if (grown > allowed)
      problems +=
          (problems.empty() ? "" : "; ") + what + " grew by " + std::to_string(grown) + unit;
  };
  note("top-level windows", end.TopLevelWindows - warm.TopLevelWindows, kWindowGrowthAllowed);
  note("child windows", end.ChildWindows - warm.ChildWindows, kWindowGrowthAllowed);
  note("message-only windows", end.MessageOnlyWindows - warm.MessageOnlyWindows,
       kWindowGrowthAllowed);
  note("kernel handles", end.KernelHandles - warm.KernelHandles, kKernelHandleGrowthAllowed);
  std::map<unsigned, int> types = warm.GdiByType;
  for (const auto& [type, count] : end.GdiByType)
    types[type];
  for (const auto& [type, ignored] : types) {
    const int was = warm.GdiByType.contains(type) ? warm.GdiByType.at(type) : 0;
    const int is = end.GdiByType.contains(type) ? end.GdiByType.at(type) : 0;
    note("GDI " + GdiTypeName(type), is - was, kGdiGrowthAllowedPerType);
  }
  note("committed private memory",
       (static_cast<long long>(end.PrivateCommitted) -
        static_cast<long long>(warm.PrivateCommitted)) /
           1024,
       kMemoryGrowthAllowed / 1024, " KiB");
  return problems;
}

// Switches the menu animation on while it lives, and back as it was.
class TMenuAnimationOn {
public:
  TMenuAnimationOn() : FWas(MenuAnimation()) { SetMenuAnimation(true); }
  TMenuAnimationOn(const TMenuAnimationOn&) = delete;
  TMenuAnimationOn& operator=(const TMenuAnimationOn&) = delete;
  ~TMenuAnimationOn() { SetMenuAnimation(FWas); }
  bool On() const { return MenuAnimation(); }

private:
  bool FWas;
};

int Run(int seconds, unsigned seed, const std::vector<std::string>& only,
        const std::vector<std::string>& skip) {
  std::vector<const TStep*> steps;
  for (const TStep& step : kSteps) {
    const bool chosen =
        only.empty() || std::find(only.begin(), only.end(), step.Name) != only.end();
    const bool skipped = std::find(skip.begin(), skip.end(), step.Name) != skip.end();
    if (chosen && !skipped)
      steps.push_back(&step);
  }
  for (const std::vector<std::string>* list : {&only, &skip})
    for (const std::string& name : *list)
      if (std::none_of(std::begin(kSteps), std::end(kSteps),
                       [&](const TStep& step) { return name == step.Name; })) {
        Print("unknown step \"" + name + "\"\n0 passed, 1 failed\n");
        return 2;
      }
  std::string names;
  for (const TStep* step : steps)
    names += std::string(names.empty() ? "" : ", ") + step->Name;
  Print("soak: " + std::to_string(seconds) + " s, seed " + std::to_string(seed) +
        ", steps: " + names + "\n");

  int passed = 0;
  int failed = 0;
  auto result = [&](bool ok, const std::string& line) {
    (ok ? passed : failed)++;
    Print((ok ? "ok    " : "FAIL  ") + line + "\n");
  };
  auto finish = [&]() {
    Print(std::to_string(passed) + " passed, " + std::to_string(failed) + " failed\n");
    return failed == 0 ? 0 : 1;
  };

  // The measurements must see what is made in a process before they are
  // trusted with TELVORA.
  const std::string selfCheck = SelfCheck();
  result(selfCheck.empty(),
         "measurement self-check" + (selfCheck.empty() ? std::string() : ": " + selfCheck));
  if (!selfCheck.empty())
    return finish();

  std::optional<std::wstring> guid = RegistryMachineGuid();
  if (!guid) {
    result(false, "the registry has no MachineGuid");
    return finish();
  }
  TMenuAnimationOn animation;
  result(animation.On(), "menu animation switched on for the run");

  TSoak soak(seed, *guid);
  if (!soak.Start()) {
    result(false, "TELVORA started");
    return finish();
  }
  TProcessProbe probe(soak.Id());
  if (!probe.Problem().empty()) {
    result(false, "TELVORA measured: " + probe.Problem());
    return finish();
  }
  Print("GDI handle table: " + probe.GdiTableRoute() + "\n");

  std::map<std::string, TStats> stats;
  int count = 0;
  bool alive = true;
  auto runStep = [&](const TStep& step) {
    TCheck check;
    const auto start = TClock::now();
    (soak.*step.Run)(check);
    soak.AfterStep(check);
    const double took = std::chrono::duration<double>(TClock::now() - start).count();
    TStats& s = stats[step.Name];
    (check.Ok() ? s.Passed : s.Failed)++;
    s.Seconds += took;
    char head[64];
    std::snprintf(head, sizeof(head), "%4d %-16s %5.1f s", ++count, step.Name, took);
    result(check.Ok(), head + (check.Ok() ? std::string() : "  " + check.Problems()));
    alive = soak.Telvora().Process().Running();
  };

  const auto begin = TClock::now();
  std::optional<TProcessFigures> start = QuietFigures(soak, probe);
  if (!start) {
    result(false, "figures before the warm-up: " + probe.Problem());
    return finish();
  }
  Print("Before the warm-up:\n" + start->Describe());
  for (const TStep* step : steps)
    if (alive)
      runStep(*step);
  std::optional<TProcessFigures> warm;
  if (alive) {
    warm = QuietFigures(soak, probe);
    const int warmCount = count;
    if (warm)
      Print("After the warm-up (" + std::to_string(warmCount) + " steps):\n" + warm->Describe());
  }
  const auto deadline = begin + std::chrono::seconds(seconds);
  while (alive && warm && TClock::now() < deadline)
    runStep(*steps[soak.Random(static_cast<unsigned>(steps.size()))]);

  if (alive && warm) {
    std::optional<TProcessFigures> end = QuietFigures(soak, probe);
    if (end) {
      const double elapsed = std::chrono::duration<double>(TClock::now() - begin).count();
      char head[96];
      std::snprintf(head, sizeof(head), "At the end (%d steps, %.0f s):\n", count, elapsed);
      Print(head + end->Describe());
      std::string report;
      const std::string growth = GrowthProblems(*warm, *end, report);
      Print("Growth after the warm-up:\n" + report);
      result(growth.empty(),
             "no growth after the warm-up" + (growth.empty() ? std::string() : ": " + growth));
    } else {
      result(false, "figures at the end: " + probe.Problem());
    }
  } else {
    result(false, "TELVORA ran to the end of the soak");
  }

  Print("Steps:\n");
  for (const auto& [name, s] : stats) {
    char line[128];
    std::snprintf(line, sizeof(line), "  %-16s %4d passed %4d failed %7.1f s\n", name.c_str(),
                  s.Passed, s.Failed, s.Seconds);
    Print(line);
  }
  Print("Fade-out frames caught between the hot and the normal look in " +
        std::to_string(soak.FadesSeen()) + " of " + std::to_string(soak.Hovers()) + " hovers\n");

  if (soak.Telvora().Process().Running()) {
    std::optional<DWORD> code = soak.CloseWhileFading();
    result(code && *code == 0,
           "TELVORA closed while a button fades ended with exit code " +
               (code ? std::to_string(*code) : std::string("(none: it did not end)")));
  }
  return finish();
}

} // namespace
} // namespace telvora::soak

int wmain(int argc, wchar_t** argv) {
  int seconds = 60;
  unsigned seed = 1;
  std::vector<std::string> only;
  std::vector<std::string> skip;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = ToUtf8(argv[i]);
    const std::string value = i + 1 < argc ? ToUtf8(argv[i + 1]) : std::string();
    if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::atoi(value.c_str());
      ++i;
    } else if (arg == "--seed" && i + 1 < argc) {
      seed = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
      ++i;
    } else if (arg == "--only" && i + 1 < argc) {
      only = telvora::soak::SplitList(value);
      ++i;
    } else if (arg == "--skip" && i + 1 < argc) {
      skip = telvora::soak::SplitList(value);
      ++i;
    } else {
      std::fputs("usage: soak [--seconds N] [--seed S] [--only a,b] [--skip a,b]\n"
                 "0 passed, 1 failed\n",
                 stdout);
      return 2;
    }
  }
  return telvora::soak::Run(seconds, seed, only, skip);
}
