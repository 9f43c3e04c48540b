// The button library at scale: one form of N TcxButtons (60x20, caption
// "Button", the default look-and-feel) against a plain window of N native
// themed "BUTTON"s (comctl32 version 6 through the program's manifest, one
// shared font), for N = 10, 100, 1000 and 5000, in paired rounds whose order
// turns from round to round:
//   - creation to painted: the window and its buttons made, shown, every
//     button painted (RedrawWindow with RDW_UPDATENOW and RDW_ALLCHILDREN)
//     and the queue empty;
//   - repaint of all: RedrawWindow with RDW_INVALIDATE, RDW_ERASE,
//     RDW_ALLCHILDREN and RDW_UPDATENOW;
//   - destruction: the window and its buttons gone and the queue empty.
// Then, in a process of its own for each side and N (so that nothing made
// before counts), what the buttons keep: GDI objects (from the process's
// GDI handle table), committed private memory and heap bytes per button.
// Last, a form of 5000 buttons is hovered with a fade, clicked and
// destroyed, and the GDI objects must be back where they were.
//   scale-bench [ROUNDS [N...]]
//   scale-bench --footprint cx|native N     (one footprint line; internal)
//   scale-bench --largest N                 (the largest-form check alone)

#include "bench/BenchInput.h"
#include "bench/BenchTiming.h"
#include "app/ProgramUnits.h"
#include "platform/Forms.h"
#include "tests/support/GdiHandleTable.h"
#include "tests/support/MenuAnimation.h"
#include "tests/support/ProcessMemory.h"
#include "ui/buttons/cxButtons.h"
#include "ui/support/dxFading.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace telvora;
using namespace telvora::bench;

namespace {

constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 20;
constexpr int kColumns = 50;
constexpr wchar_t kCaption[] = L"Button";
constexpr wchar_t kNativeClass[] = L"ScaleBenchNativeWindow";

void PressLeft(bool ADown) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = ADown ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof(input));
}

POINT Away() {
  return {GetSystemMetrics(SM_CXVIRTUALSCREEN) - 2, GetSystemMetrics(SM_CYVIRTUALSCREEN) - 2};
}

int Rows(int N) {
  return (N + kColumns - 1) / kColumns;
}

int ClientWidth(int N) {
  return std::min(N, kColumns) * kButtonWidth;
}

RECT ButtonBounds(int AIndex) {
  const int left = (AIndex % kColumns) * kButtonWidth;
  const int top = (AIndex / kColumns) * kButtonHeight;
  return {left, top, left + kButtonWidth, top + kButtonHeight};
}

void PaintAll(HWND AWindow) {
  RedrawWindow(AWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void RepaintAll(HWND AWindow) {
  RedrawWindow(AWindow, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---------------------------------------------------------------- the two sides

class TScaleForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TScaleForm"; }
};

// One window of N buttons, made, painted and destroyed by one side.
class TSideWindow {
public:
  virtual ~TSideWindow() = default;
  virtual void Create(int N) = 0;
  virtual HWND Window() = 0;
  virtual void Destroy() = 0;
};

class TLibrarySide : public TSideWindow {
public:
  void Create(int N) override {
    FForm = std::make_unique<TScaleForm>(nullptr);
    FForm->SetClientSize(ClientWidth(N), Rows(N) * kButtonHeight);
    FButtons.clear();
    FButtons.reserve(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i) {
      auto* button = new TcxButton(FForm.get());
      const RECT r = ButtonBounds(i);
      button->SetBounds(r.left, r.top, kButtonWidth, kButtonHeight);
      button->SetCaption(kCaption);
      button->SetParent(FForm.get());
      FButtons.push_back(button);
    }
    FForm->HandleNeeded();
    SetWindowPos(FForm->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    FForm->Show(SW_SHOWNOACTIVATE);
    PaintAll(FForm->Handle());
    PumpPending();
  }
  HWND Window() override { return FForm->Handle(); }
  void Destroy() override {
    FButtons.clear();
    FForm.reset();
    PumpPending();
  }
  TcxButton* Button(int AIndex) { return FButtons.at(static_cast<size_t>(AIndex)); }

private:
  std::unique_ptr<TScaleForm> FForm;
  std::vector<TcxButton*> FButtons;
};

LRESULT CALLBACK NativeWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, msg, wParam, lParam);
}

class TNativeSide : public TSideWindow {
public:
  TNativeSide() {
    // One dialog font for every window of the side, as a dialog has.
    LOGFONTW lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcscpy(lf.lfFaceName, L"Tahoma");
    FFont.Reset(CreateFontIndirectW(&lf));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = NativeWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kNativeClass;
    RegisterClassExW(&wc);
  }
  void Create(int N) override {
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT r{0, 0, ClientWidth(N), Rows(N) * kButtonHeight};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    FWindow =
        CreateWindowExW(0, kNativeClass, L"Native buttons", style, 0, 0, r.right - r.left,
                        r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < N; ++i) {
      const RECT b = ButtonBounds(i);
      HWND button = CreateWindowExW(0, L"BUTTON", kCaption,
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, b.left,
                                    b.top, kButtonWidth, kButtonHeight, FWindow,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(100 + i)),
                                    GetModuleHandleW(nullptr), nullptr);
      SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
    }
    ShowWindow(FWindow, SW_SHOWNOACTIVATE);
    PaintAll(FWindow);
    PumpPending();
  }
  HWND Window() override { return FWindow; }
  void Destroy() override {
    DestroyWindow(FWindow);
    FWindow = nullptr;
    PumpPending();
  }

private:
  TGdiObject FFont;
  HWND FWindow = nullptr;
};

// ---------------------------------------------------------------- timing

struct TRoundTimes {
  double Create = 0, Repaint = 0, Destroy = 0; // microseconds
};

TRoundTimes TimeOneSide(TSideWindow& ASide, int N, int ARepaints) {
  TRoundTimes t;
  double start = NowMicroseconds();
  ASide.Create(N);
  t.Create = NowMicroseconds() - start;
  const HWND window = ASide.Window();
  start = NowMicroseconds();
  for (int i = 0; i < ARepaints; ++i)
    RepaintAll(window);
  GdiFlush();
  t.Repaint = (NowMicroseconds() - start) / ARepaints;
  start = NowMicroseconds();
  ASide.Destroy();
  t.Destroy = NowMicroseconds() - start;
  return t;
}

void PrintRatioRow(const std::string& AName, const std::vector<double>& AOurs,
                   const std::vector<double>& ANative, int N) {
  std::vector<double> ratios;
  for (size_t i = 0; i < AOurs.size(); ++i)
    ratios.push_back(ANative[i] > 0 ? AOurs[i] / ANative[i] : 0);
  const TSpread r = SpreadOf(ratios);
  const double ours = SpreadOf(AOurs).Median;
  const double native = SpreadOf(ANative).Median;
  std::printf("%-34s %6.2fx %6.2fx %6.2fx %6.2fx %6.2fx %11.1f %11.1f %9.1f %9.1f\n", AName.c_str(),
              r.Median, r.Min, r.Q1, r.Q3, r.Max, ours / 1000.0, native / 1000.0, ours / N,
              native / N);
  std::fflush(stdout);
}

// The medians per button of one measure at one N, both sides.
struct TPerButton {
  double Ours = 0, Native = 0;
};

// ---------------------------------------------------------------- footprint

// Bytes in use in every heap of the process.
std::uint64_t HeapBytesInUse() {
  std::vector<HANDLE> heaps(64);
  DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  if (count > heaps.size()) {
    heaps.resize(count);
    count = GetProcessHeaps(count, heaps.data());
  }
  std::uint64_t total = 0;
  for (DWORD i = 0; i < std::min<DWORD>(count, static_cast<DWORD>(heaps.size())); ++i) {
    if (!HeapLock(heaps[i]))
      continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
        total += entry.cbData;
    HeapUnlock(heaps[i]);
  }
  return total;
}

struct TFootprint {
  double GdiPerButton = 0;
  std::string GdiByType;
  double CommittedPerButton = 0;
  double HeapPerButton = 0;
  bool Valid = false;
};

// In this process: a warm-up window of one button made and destroyed, then
// the figures before and while a window of N buttons lives.
int RunFootprint(const char* ASide, int N) {
  const bool library = std::strcmp(ASide, "cx") == 0;
  std::unique_ptr<TSideWindow> side;
  if (library) {
    StartProgramUnits();
    side = std::make_unique<TLibrarySide>();
  } else {
    side = std::make_unique<TNativeSide>();
  }
  MovePointer(Away());
  side->Create(1);
  side->Destroy();
  const auto gdiBefore = testing::CountOwnGdiObjects();
  const std::uint64_t heapBefore = HeapBytesInUse();
  const std::uint64_t committedBefore = testing::CommittedPrivateBytes(GetCurrentProcess());
  side->Create(N);
  const std::uint64_t committedDuring = testing::CommittedPrivateBytes(GetCurrentProcess());
  const std::uint64_t heapDuring = HeapBytesInUse();
  const auto gdiDuring = testing::CountOwnGdiObjects();
  side->Destroy();
  side.reset();
  if (library)
    StopProgramUnits();
  if (!gdiBefore || !gdiDuring) {
    std::printf("footprint none\n");
    return 1;
  }
  std::string types = gdiDuring->DifferenceFrom(*gdiBefore);
  std::printf("footprint %d %lld %lld %lld |%s\n", N,
              static_cast<long long>(gdiDuring->Total() - gdiBefore->Total()),
              static_cast<long long>(committedDuring) - static_cast<long long>(committedBefore),
              static_cast<long long>(heapDuring) - static_cast<long long>(heapBefore),
              types.c_str());
  return 0;
}

// Runs this program with --footprint in a process of its own.
TFootprint MeasureFootprint(const char* ASide, int N) {
  TFootprint result;
  wchar_t self[MAX_PATH]{};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  wchar_t side[16]{};
  MultiByteToWideChar(CP_UTF8, 0, ASide, -1, side, 16);
  std::wstring command =
      L"\"" + std::wstring(self) + L"\" --footprint " + side + L" " + std::to_wstring(N);
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE readPipe = nullptr, writePipe = nullptr;
  if (!CreatePipe(&readPipe, &writePipe, &sa, 0))
    return result;
  SetHandleInformation(readPipe, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writePipe;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &si, &pi);
  CloseHandle(writePipe);
  std::string output;
  if (started) {
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(readPipe, buffer, sizeof(buffer), &read, nullptr) && read > 0)
      output.append(buffer, read);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(readPipe);
  const size_t at = output.find("footprint ");
  if (at == std::string::npos)
    return result;
  int n = 0;
  long long gdi = 0, committed = 0, heap = 0;
  if (std::sscanf(output.c_str() + at, "footprint %d %lld %lld %lld", &n, &gdi, &committed,
                  &heap) != 4 ||
      n != N)
    return result;
  const size_t bar = output.find('|', at);
  if (bar != std::string::npos)
    result.GdiByType = output.substr(bar + 1, output.find_first_of("\r\n", bar) - bar - 1);
  result.GdiPerButton = static_cast<double>(gdi) / N;
  result.CommittedPerButton = static_cast<double>(committed) / N;
  result.HeapPerButton = static_cast<double>(heap) / N;
  result.Valid = true;
  return result;
}

// ---------------------------------------------------------------- the largest form

// A form of N buttons: made and painted, one button hovered until its fade
// in has been seen and has ended, clicked with the real mouse, then the
// form destroyed; the GDI objects must be back where they were.
bool HoverAndClick(int N, bool AReport);

// The same with a form of 10 buttons first, so that what a first hover,
// fade and click make once (cached images and brushes) is there before the
// counts begin.
bool LargestForm(int N) {
  const bool animation = testing::MenuAnimation();
  testing::SetMenuAnimation(true);
  TScopeExit restore([animation] { testing::SetMenuAnimation(animation); });
  return HoverAndClick(10, false) && HoverAndClick(N, true);
}

bool HoverAndClick(int N, bool AReport) {
  MovePointer(Away());
  PumpUntil([] { return false; }, 100);
  const auto gdiBefore = testing::CountOwnGdiObjects();
  TLibrarySide side;
  double start = NowMicroseconds();
  side.Create(N);
  const double created = NowMicroseconds() - start;
  const auto gdiDuring = testing::CountOwnGdiObjects();

  // The last button that lies on the screen: the one made last where the
  // window fits.
  int index = N - 1;
  TcxButton* button = side.Button(index);
  POINT centre{};
  for (;; --index) {
    button = side.Button(index);
    RECT r{};
    GetWindowRect(button->Handle(), &r);
    centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    if (centre.x < GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
        centre.y < GetSystemMetrics(SM_CYVIRTUALSCREEN))
      break;
    if (index == 0) {
      std::printf("%d buttons: no button lies on the screen\n", N);
      std::fflush(stdout);
      return false;
    }
  }
  int clicks = 0;
  button->OnClick = [&clicks](TObject*) { ++clicks; };
  TdxFader* fader = dxFader();
  if (fader == nullptr) {
    std::printf("%d buttons: no fader\n", N);
    return false;
  }
  bool fadeSeen = false;
  MovePointer(centre);
  const bool hot = PumpUntil([&] {
    fadeSeen = fadeSeen || fader->Contains(button);
    return button->GetButtonState() == cxbsHot && fadeSeen && !fader->Contains(button);
  });
  PressLeft(true);
  PumpUntil([&] { return button->GetButtonState() == cxbsPressed; });
  PressLeft(false);
  const bool clicked = PumpUntil([&] { return clicks == 1; });
  MovePointer(Away());
  PumpUntil([&] { return button->GetButtonState() != cxbsHot && !fader->Contains(button); });
  start = NowMicroseconds();
  side.Destroy();
  const double destroyed = NowMicroseconds() - start;
  PumpUntil([] { return false; }, 100);
  const auto gdiAfter = testing::CountOwnGdiObjects();
  const bool counted = gdiBefore && gdiDuring && gdiAfter;
  const bool back = counted && gdiAfter->Total() == gdiBefore->Total();
  if (!AReport)
    return hot && clicked;
  std::printf("%d buttons: made and painted in %.0f ms (%d GDI objects more than without "
              "them: %s); button %d hovered, fade %s; clicked: %s; destroyed in %.0f ms; GDI "
              "objects afterwards %s\n",
              N, created / 1000.0, counted ? gdiDuring->Total() - gdiBefore->Total() : -1,
              counted ? gdiDuring->DifferenceFrom(*gdiBefore).c_str() : "not counted", index + 1,
              hot ? "seen and ended" : "NOT SEEN", clicked ? "OnClick once" : "NO CLICK",
              destroyed / 1000.0,
              back      ? "back where they were"
              : counted ? ("NOT BACK: " + gdiAfter->DifferenceFrom(*gdiBefore)).c_str()
                        : "not counted");
  std::fflush(stdout);
  return hot && clicked && back;
}

} // namespace

int main(int argc, char** argv) {
  if (argc > 3 && std::strcmp(argv[1], "--footprint") == 0)
    return RunFootprint(argv[2], std::atoi(argv[3]));
  if (argc > 2 && std::strcmp(argv[1], "--largest") == 0) {
    StartProgramUnits();
    const bool ok = LargestForm(std::atoi(argv[2]));
    StopProgramUnits();
    return ok ? 0 : 1;
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  // The counts measured: those given after the rounds, else 10, 100, 1000
  // and 5000.
  std::vector<int> counts;
  for (int i = 2; i < argc; ++i)
    if (std::atoi(argv[i]) > 0)
      counts.push_back(std::atoi(argv[i]));
  if (counts.empty())
    counts = {10, 100, 1000, 5000};
  StartProgramUnits();
  int status = 0;
  {
    MovePointer(Away());
    TLibrarySide ours;
    TNativeSide native;
    // First-use costs (classes, themes, painters) out of the figures.
    TimeOneSide(ours, 10, 1);
    TimeOneSide(native, 10, 1);

    std::printf("Form of N TcxButtons against a window of N native themed BUTTONs (%dx%d, "
                "\"Button\", %d a row); ratios of paired rounds, the order turning\n",
                kButtonWidth, kButtonHeight, kColumns);
    std::printf("%-34s %7s %7s %7s %7s %7s %11s %11s %9s %9s\n", "measure", "median", "min", "q1",
                "q3", "max", "ms", "native ms", "us/btn", "nat us/btn");
    std::vector<std::pair<int, std::vector<TPerButton>>> perButton;
    // (per-button figures of each count, in the order measured)
    for (int N : counts) {
      const int n_rounds = N >= 5000 ? std::max(3, rounds / 3) : rounds;
      const int repaints = N >= 1000 ? 3 : N >= 100 ? 10 : 30;
      std::vector<double> oc, nc, orp, nrp, od, nd;
      for (int round = 0; round < n_rounds; ++round) {
        TRoundTimes o, n;
        if (round % 2 == 0) {
          o = TimeOneSide(ours, N, repaints);
          n = TimeOneSide(native, N, repaints);
        } else {
          n = TimeOneSide(native, N, repaints);
          o = TimeOneSide(ours, N, repaints);
        }
        oc.push_back(o.Create);
        nc.push_back(n.Create);
        orp.push_back(o.Repaint);
        nrp.push_back(n.Repaint);
        od.push_back(o.Destroy);
        nd.push_back(n.Destroy);
      }
      const std::string at = " N=" + std::to_string(N) + " (" + std::to_string(n_rounds) + ")";
      PrintRatioRow("creation to painted" + at, oc, nc, N);
      PrintRatioRow("repaint of all" + at, orp, nrp, N);
      PrintRatioRow("destruction" + at, od, nd, N);
      perButton.push_back({N,
                           {{SpreadOf(oc).Median / N, SpreadOf(nc).Median / N},
                            {SpreadOf(orp).Median / N, SpreadOf(nrp).Median / N},
                            {SpreadOf(od).Median / N, SpreadOf(nd).Median / N}}});
    }
    // Growth of the time per button from one N to the next.
    std::printf("\nTime per button at N against the N before (1.00x: proportional to the "
                "count)\n");
    std::printf("%-34s", "measure");
    for (bool nativeSide : {false, true})
      for (size_t i = 1; i < perButton.size(); ++i) {
        const std::string label = (nativeSide ? "nat " : "") + std::to_string(perButton[i].first) +
                                  "/" + std::to_string(perButton[i - 1].first);
        std::printf(" %12s", label.c_str());
      }
    std::printf("\n");
    const char* names[] = {"creation to painted", "repaint of all", "destruction"};
    for (size_t m = 0; m < 3; ++m) {
      std::printf("%-34s", names[m]);
      for (bool nativeSide : {false, true})
        for (size_t i = 1; i < perButton.size(); ++i) {
          const TPerButton& now = perButton[i].second[m];
          const TPerButton& before = perButton[i - 1].second[m];
          const double a = nativeSide ? now.Native : now.Ours;
          const double b = nativeSide ? before.Native : before.Ours;
          std::printf(" %11.2fx", b > 0 ? a / b : 0);
        }
      std::printf("\n");
    }

    std::printf("\nWhat the buttons keep, per button (each side and N in a process of its own, "
                "after a warm-up window of one button)\n");
    std::printf("%-10s %14s %14s %14s %14s %14s %14s  %s\n", "N", "GDI objects", "native",
                "committed B", "native", "heap B", "native", "GDI objects by type (all buttons)");
    for (int N : counts) {
      const TFootprint o = MeasureFootprint("cx", N);
      const TFootprint n = MeasureFootprint("native", N);
      if (!o.Valid || !n.Valid) {
        std::printf("%-10d not measured\n", N);
        status = 1;
        continue;
      }
      std::printf("%-10d %14.3f %14.3f %14.0f %14.0f %14.0f %14.0f  %s\n", N, o.GdiPerButton,
                  n.GdiPerButton, o.CommittedPerButton, n.CommittedPerButton, o.HeapPerButton,
                  n.HeapPerButton, o.GdiByType.empty() ? "none" : o.GdiByType.c_str());
    }

    std::printf("\nThe largest form\n");
    if (!LargestForm(*std::max_element(counts.begin(), counts.end())))
      status = 1;
  }
  StopProgramUnits();
  return status;
}
