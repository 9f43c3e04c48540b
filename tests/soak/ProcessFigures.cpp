#include "tests/soak/ProcessFigures.h"

#include "platform/Handles.h"
#include "tests/support/ProcessMemory.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace telvora::soak {

namespace {

using TNtStatus = LONG;
constexpr TNtStatus kStatusInfoLengthMismatch = static_cast<TNtStatus>(0xC0000004);

// The native system's information classes and their records (ntdll; the
// SDK declares neither).
constexpr ULONG kSystemHandleInformation = 16;
constexpr ULONG kSystemExtendedHandleInformation = 64;

struct TSystemHandleEntry {
  USHORT UniqueProcessId;
  USHORT CreatorBackTraceIndex;
  UCHAR ObjectTypeIndex;
  UCHAR HandleAttributes;
  USHORT HandleValue;
  PVOID Object;
  ULONG GrantedAccess;
};

struct TSystemHandleInformation {
  ULONG NumberOfHandles;
  TSystemHandleEntry Handles[1];
};

struct TSystemHandleEntryEx {
  PVOID Object;
  ULONG_PTR UniqueProcessId;
  ULONG_PTR HandleValue;
  ULONG GrantedAccess;
  USHORT CreatorBackTraceIndex;
  USHORT ObjectTypeIndex;
  ULONG HandleAttributes;
  ULONG Reserved;
};

struct TSystemHandleInformationEx {
  ULONG_PTR NumberOfHandles;
  ULONG_PTR Reserved;
  TSystemHandleEntryEx Handles[1];
};

using TNtQuerySystemInformation = TNtStatus(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

template <class F> F NtFunction(const char* name) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll ? reinterpret_cast<F>(GetProcAddress(ntdll, name)) : nullptr;
}

struct TWindowCount {
  DWORD ProcessId = 0;
  int TopLevel = 0;
  int Child = 0;
  int MessageOnly = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
  ++reinterpret_cast<TWindowCount*>(data)->Child;
  return TRUE;
}

bool OwnedBy(HWND window, DWORD processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == processId;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
  auto* count = reinterpret_cast<TWindowCount*>(data);
  if (OwnedBy(window, count->ProcessId)) {
    ++count->TopLevel;
    EnumChildWindows(window, CountChild, data);
  }
  return TRUE;
}

TWindowCount CountWindows(DWORD processId) {
  TWindowCount count;
  count.ProcessId = processId;
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr))
    if (OwnedBy(window, processId)) {
      ++count.MessageOnly;
      EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
    }
  return count;
}

// The kernel handles of a process from the system's handle list; the
// extended list (full process ids) where the system has it.
std::optional<int> CountKernelHandles(DWORD processId) {
  auto query = NtFunction<TNtQuerySystemInformation>("NtQuerySystemInformation");
  if (!query)
    return std::nullopt;
  std::vector<std::uint64_t> buffer(1 << 14);
  for (ULONG infoClass : {kSystemExtendedHandleInformation, kSystemHandleInformation}) {
    TNtStatus status = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
      ULONG needed = 0;
      status = query(infoClass, buffer.data(),
                     static_cast<ULONG>(buffer.size() * sizeof(std::uint64_t)), &needed);
      if (status != kStatusInfoLengthMismatch)
        break;
      buffer.resize(std::max<size_t>(buffer.size() * 2, needed / sizeof(std::uint64_t) + 4096));
    }
    if (status < 0)
      continue;
    int count = 0;
    if (infoClass == kSystemExtendedHandleInformation) {
      const auto* info = reinterpret_cast<const TSystemHandleInformationEx*>(buffer.data());
      for (ULONG_PTR i = 0; i < info->NumberOfHandles; ++i)
        if (info->Handles[i].UniqueProcessId == processId)
          ++count;
    } else {
      // Only the low 16 bits of each process id are kept here.
      const auto* info = reinterpret_cast<const TSystemHandleInformation*>(buffer.data());
      for (ULONG i = 0; i < info->NumberOfHandles; ++i)
        if (info->Handles[i].UniqueProcessId == static_cast<USHORT>(processId))
          ++count;
    }
    return count;
  }
  return std::nullopt;
}

std::string MiB(std::uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.2f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

} // namespace

int TProcessFigures::GdiTotal() const {
  int total = 0;
  for (const auto& [type, count] : GdiByType)
    total += count;
  return total;
}

std::string TProcessFigures::Describe() const {
  std::string text = "  windows: " + std::to_string(TopLevelWindows) + " top-level, " +
                     std::to_string(ChildWindows) + " child, " +
                     std::to_string(MessageOnlyWindows) + " message-only\n";
  text += "  kernel handles: " + std::to_string(KernelHandles) + "\n";
  text += "  memory: " + MiB(PrivateCommitted) + " committed private, pagefile " +
          MiB(PagefileUsage) + ", working set " + MiB(WorkingSet) + "\n";
  text += "  GDI objects: " + std::to_string(GdiTotal()) + " (";
  bool first = true;
  for (const auto& [type, count] : GdiByType) {
    text += (first ? "" : ", ") + GdiTypeName(type) + " " + std::to_string(count);
    first = false;
  }
  text += "), stock " + std::to_string(GdiStock) + "\n";
  return text;
}

TProcessProbe::TProcessProbe(DWORD processId) : FProcessId(processId) {
  FProcessHolder.Reset(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  FProcess = FProcessHolder.Get();
  if (FProcess == nullptr) {
    FProblem = "cannot open process " + std::to_string(processId) + " (error " +
               std::to_string(GetLastError()) + ")";
    return;
  }
  BOOL ours = FALSE;
  BOOL theirs = FALSE;
  if (IsWow64Process(GetCurrentProcess(), &ours) && IsWow64Process(FProcess, &theirs) &&
      ours != theirs) {
    FProblem = "the process is not of this program's architecture";
    return;
  }
  FGdiTable = std::make_unique<testing::TGdiHandleTable>(FProcess, processId);
  FProblem = FGdiTable->Problem();
}

const std::string& TProcessProbe::GdiTableRoute() const noexcept {
  static const std::string none;
  return FGdiTable ? FGdiTable->Route() : none;
}

std::optional<TProcessFigures> TProcessProbe::Measure() {
  if (!FProblem.empty())
    return std::nullopt;
  TProcessFigures figures;
  // Memory first, before this function's own buffers exist (matters when
  // a process measures itself).
  figures.PrivateCommitted = testing::CommittedPrivateBytes(FProcess);
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  if (GetProcessMemoryInfo(FProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof(counters))) {
    figures.PagefileUsage = counters.PagefileUsage;
    figures.WorkingSet = counters.WorkingSetSize;
  }

  const TWindowCount windows = CountWindows(FProcessId);
  figures.TopLevelWindows = windows.TopLevel;
  figures.ChildWindows = windows.Child;
  figures.MessageOnlyWindows = windows.MessageOnly;

  std::optional<int> handles = CountKernelHandles(FProcessId);
  if (!handles) {
    FProblem = "the system's handle list could not be read";
    return std::nullopt;
  }
  figures.KernelHandles = *handles;

  std::optional<testing::TGdiObjectCount> gdi = FGdiTable->Count();
  if (!gdi) {
    FProblem = FGdiTable->Problem();
    return std::nullopt;
  }
  figures.GdiByType = std::move(gdi->ByType);
  figures.GdiStock = gdi->Stock;
  return figures;
}

// --- Self-check ------------------------------------------------------------------

namespace {

std::string Compare(const char* what, long long before, long long after, long long expected) {
  if (after - before == expected)
    return {};
  return std::string(what) + " changed by " + std::to_string(after - before) + ", expected " +
         std::to_string(expected) + "; ";
}

// One round: everything made, measured, freed, measured again.
std::string CheckRound(TProcessProbe& probe) {
  std::optional<TProcessFigures> before = probe.Measure();
  if (!before)
    return probe.Problem();
  std::string problems;
  {
    // Windows of each kind.
    TWindowHandle top(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"soak probe", WS_POPUP, 0, 0, 1,
                                      1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    HWND child = top ? CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, top.Get(), nullptr,
                                       GetModuleHandleW(nullptr), nullptr)
                     : nullptr;
    TWindowHandle messageOnly(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                              nullptr, GetModuleHandleW(nullptr), nullptr));
    // Kernel handles.
    std::vector<TKernelHandle> events;
    for (int i = 0; i < 10; ++i)
      events.emplace_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // Committed memory.
    constexpr SIZE_T kCommit = 4 * 1024 * 1024;
    void* memory = VirtualAlloc(nullptr, kCommit, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    auto freeMemory = TScopeExit([memory] {
      if (memory)
        VirtualFree(memory, 0, MEM_RELEASE);
    });
    // GDI objects of several types; the expected count per type is taken
    // from the handles themselves.
    std::vector<TGdiObject> objects;
    std::vector<TMemoryDC> dcs;
    std::map<unsigned, int> made;
    auto note = [&made](HGDIOBJ object) {
      if (object)
        ++made[static_cast<unsigned>((reinterpret_cast<uintptr_t>(object) >> 16) & 0x7F)];
    };
    TWindowDC screen(nullptr);
    for (int i = 0; i < 7; ++i)
      objects.emplace_back(CreateSolidBrush(RGB(i, 2, 3)));
    for (int i = 0; i < 5; ++i)
      objects.emplace_back(CreatePen(PS_SOLID, 1, RGB(i, 0, 0)));
    for (int i = 0; i < 3; ++i)
      objects.emplace_back(CreateCompatibleBitmap(screen.Get(), 8, 8));
    for (int i = 0; i < 4; ++i)
      objects.emplace_back(CreateRectRgn(0, 0, i + 1, i + 1));
    for (int i = 0; i < 2; ++i)
      objects.emplace_back(CreateFontW(-11 - i, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    for (int i = 0; i < 6; ++i)
      dcs.emplace_back(CreateCompatibleDC(screen.Get()));
    for (const TGdiObject& object : objects)
      note(object.Get());
    for (const auto& dc : dcs)
      note(dc.Get());

    std::optional<TProcessFigures> during = probe.Measure();
    if (!during)
      return probe.Problem();
    if (!top || !child || !messageOnly || !memory)
      problems += "could not make the probe's windows or memory; ";
    problems += Compare("top-level windows", before->TopLevelWindows, during->TopLevelWindows, 1);
    problems += Compare("child windows", before->ChildWindows, during->ChildWindows, 1);
    problems +=
        Compare("message-only windows", before->MessageOnlyWindows, during->MessageOnlyWindows, 1);
    problems += Compare("kernel handles", before->KernelHandles, during->KernelHandles, 10);
    const auto grown = static_cast<long long>(during->PrivateCommitted) -
                       static_cast<long long>(before->PrivateCommitted);
    if (grown < static_cast<long long>(kCommit) ||
        grown > static_cast<long long>(kCommit) + 512 * 1024)
      problems += "committed private memory grew by " + std::to_string(grown) +
                  " bytes, expected " + std::to_string(kCommit) + "; ";
    for (const auto& [type, count] : made) {
      const int was = before->GdiByType.contains(type) ? before->GdiByType.at(type) : 0;
      const int is = during->GdiByType.contains(type) ? during->GdiByType.at(type) : 0;
      problems += Compare(("GDI " + GdiTypeName(type)).c_str(), was, is, count);
    }
  }
  std::optional<TProcessFigures> after = probe.Measure();
  if (!after)
    return probe.Problem();
  problems +=
      Compare("top-level windows after", before->TopLevelWindows, after->TopLevelWindows, 0);
  problems += Compare("kernel handles after", before->KernelHandles, after->KernelHandles, 0);
  problems += Compare("GDI objects after", before->GdiTotal(), after->GdiTotal(), 0);
  return problems;
}

} // namespace

std::string SelfCheck() {
  TProcessProbe probe(GetCurrentProcessId());
  if (!probe.Problem().empty())
    return probe.Problem();
  // A thread's windows bring the system's own along (Wine's input method
  // window lives while the thread has another), and the first DC cached
  // fonts and regions: one window lives throughout, the second round counts.
  TWindowHandle anchor(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"soak anchor", WS_POPUP, 0, 0,
                                       1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  CheckRound(probe);
  return CheckRound(probe);
}

} // namespace telvora::soak
