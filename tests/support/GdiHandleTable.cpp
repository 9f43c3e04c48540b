#include "tests/support/GdiHandleTable.h"

#include "platform/Handles.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace telvora::testing {

namespace {

using TNtStatus = LONG;

// The native system's information classes and their records (ntdll; the
// SDK declares neither).
constexpr ULONG kProcessBasicInformation = 0;
constexpr ULONG kThreadBasicInformation = 0;

struct TProcessBasicInformation {
  TNtStatus ExitStatus;
  PVOID PebBaseAddress;
  ULONG_PTR AffinityMask;
  LONG BasePriority;
  ULONG_PTR UniqueProcessId;
  ULONG_PTR InheritedFromUniqueProcessId;
};

struct TThreadBasicInformation {
  TNtStatus ExitStatus;
  PVOID TebBaseAddress;
  HANDLE UniqueProcess;
  HANDLE UniqueThread;
  ULONG_PTR AffinityMask;
  LONG Priority;
  LONG BasePriority;
};

using TNtQueryInformationProcess = TNtStatus(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
using TNtQueryInformationThread = TNtStatus(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

template <class F> F NtFunction(const char* name) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll ? reinterpret_cast<F>(GetProcAddress(ntdll, name)) : nullptr;
}

// Where the GDI handle table pointer sits in a process environment block,
// and the block's pointer in a thread environment block, for each layout.
constexpr std::uint64_t kPeb64GdiTable = 0xF8;
[[maybe_unused]] constexpr std::uint64_t kPeb32GdiTable = 0x94;
[[maybe_unused]] constexpr std::uint64_t kTeb64Self = 0x30;
[[maybe_unused]] constexpr std::uint64_t kTeb64Peb = 0x60;
// A 32-bit TEB under WOW64 tells where its 64-bit TEB lies: as an offset
// (WowTebOffset), and Wine also keeps the address in GdiBatchCount.
[[maybe_unused]] constexpr std::uint64_t kTeb32WowTebOffset = 0xFDC;
[[maybe_unused]] constexpr std::uint64_t kTeb32GdiBatchCount = 0xF70;

// The table: 0x10000 entries of 24 bytes: the object's address (in a free
// entry Wine keeps its free-list link there, so it says nothing about
// life), the owning process id, a lock count, the upper half of the handle
// (its full type in the low byte, a reuse count in the high one), the base
// type (0 once the object is gone), flags, and a user-mode pointer last.
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiEntries = 0x10000;
constexpr size_t kGdiEntryOwner = 8;
constexpr size_t kGdiEntryType = 12;
constexpr size_t kGdiEntryBaseType = 14;
constexpr unsigned kGdiStockFlag = 0x80;

template <class T> bool ReadRemote(HANDLE process, std::uint64_t address, T& value) {
  if (address == 0 || address > std::uint64_t(UINTPTR_MAX))
    return false;
  SIZE_T read = 0;
  return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(address)),
                           &value, sizeof(T), &read) &&
         read == sizeof(T);
}

} // namespace

int TGdiObjectCount::Total() const {
  int total = 0;
  for (const auto& [type, count] : ByType)
    total += count;
  return total;
}

int TGdiObjectCount::Of(unsigned type) const {
  const auto it = ByType.find(type);
  return it != ByType.end() ? it->second : 0;
}

std::string TGdiObjectCount::DifferenceFrom(const TGdiObjectCount& before) const {
  std::map<unsigned, int> difference;
  for (const auto& [type, count] : ByType)
    difference[type] += count;
  for (const auto& [type, count] : before.ByType)
    difference[type] -= count;
  std::string text;
  for (const auto& [type, count] : difference)
    if (count != 0)
      text += (text.empty() ? "" : ", ") + GdiTypeName(type) + " " + std::to_string(count);
  return text;
}

std::string GdiTypeName(unsigned type) {
  switch (type) {
  case 0x01:
    return "DC";
  case kGdiMemoryDC:
    return "memory DC";
  case kGdiRegion:
    return "region";
  case 0x05:
    return "surface";
  case kGdiBitmap:
    return "bitmap";
  case 0x08:
    return "palette";
  case kGdiFont:
    return "font";
  case kGdiBrush:
    return "brush";
  case kGdiPen:
    return "pen";
  case 0x50:
    return "extended pen";
  default: {
    char text[16];
    std::snprintf(text, sizeof(text), "type 0x%02X", type);
    return text;
  }
  }
}

TGdiHandleTable::TGdiHandleTable(HANDLE process, DWORD processId)
    : FProcess(process), FProcessId(processId) {
  if (!Find() && FProblem.empty())
    FProblem = "the GDI handle table was not found";
}

bool TGdiHandleTable::Find() {
  auto queryProcess = NtFunction<TNtQueryInformationProcess>("NtQueryInformationProcess");
  if (!queryProcess)
    return false;
  TProcessBasicInformation basic{};
  ULONG length = 0;
  if (queryProcess(FProcess, kProcessBasicInformation, &basic, sizeof(basic), &length) < 0 ||
      basic.PebBaseAddress == nullptr) {
    FProblem = "NtQueryInformationProcess gave no PEB";
    return false;
  }
  const auto peb = static_cast<std::uint64_t>(reinterpret_cast<uintptr_t>(basic.PebBaseAddress));
#ifdef _WIN64
  // The process's own PEB is the 64-bit one.
  std::uint64_t table = 0;
  if (ReadRemote(FProcess, peb + kPeb64GdiTable, table) && table != 0) {
    FTable = table;
    FRoute = "PEB (64-bit) -> GdiSharedHandleTable";
    return true;
  }
  return false;
#else
  // A 32-bit process: its own PEB first, then the 64-bit PEB that WOW64
  // keeps beside it, reached through a thread's 64-bit TEB.
  DWORD table32 = 0;
  if (ReadRemote(FProcess, peb + kPeb32GdiTable, table32) && table32 != 0) {
    FTable = table32;
    FRoute = "PEB (32-bit) -> GdiSharedHandleTable";
    return true;
  }
  auto queryThread = NtFunction<TNtQueryInformationThread>("NtQueryInformationThread");
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (!queryThread || snapshot == INVALID_HANDLE_VALUE)
    return false;
  TKernelHandle snapshotHolder(snapshot);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != FProcessId)
      continue;
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
    if (thread == nullptr)
      continue;
    TKernelHandle threadHolder(thread);
    TThreadBasicInformation info{};
    if (queryThread(thread, kThreadBasicInformation, &info, sizeof(info), &length) < 0 ||
        info.TebBaseAddress == nullptr)
      continue;
    const auto teb32 = static_cast<std::uint64_t>(reinterpret_cast<uintptr_t>(info.TebBaseAddress));
    std::vector<std::uint64_t> candidates;
    LONG offset = 0;
    if (ReadRemote(FProcess, teb32 + kTeb32WowTebOffset, offset) && offset != 0)
      candidates.push_back(teb32 + static_cast<std::uint64_t>(static_cast<std::int64_t>(offset)));
    DWORD batch = 0;
    if (ReadRemote(FProcess, teb32 + kTeb32GdiBatchCount, batch) && batch != 0)
      candidates.push_back(batch);
    for (std::uint64_t teb64 : candidates) {
      // A TEB names itself: a wrong guess is caught here.
      std::uint64_t self = 0;
      std::uint64_t peb64 = 0;
      std::uint64_t table = 0;
      if (ReadRemote(FProcess, teb64 + kTeb64Self, self) && self == teb64 &&
          ReadRemote(FProcess, teb64 + kTeb64Peb, peb64) &&
          ReadRemote(FProcess, peb64 + kPeb64GdiTable, table) && table != 0 &&
          table <= std::uint64_t(UINTPTR_MAX)) {
        FTable = table;
        FRoute = "TEB (32-bit) -> TEB (64-bit) -> PEB (64-bit) -> GdiSharedHandleTable";
        return true;
      }
    }
  }
  return false;
#endif
}

std::optional<TGdiObjectCount> TGdiHandleTable::Count() {
  if (!FProblem.empty())
    return std::nullopt;
  TGdiObjectCount count;
  // The table is read in blocks; its end may lie before the full size.
  constexpr size_t kBlockEntries = 4096;
  std::vector<unsigned char> block(kBlockEntries * kGdiEntrySize);
  const auto owner = static_cast<USHORT>(FProcessId);
  size_t readEntries = 0;
  for (size_t first = 0; first < kGdiEntries; first += kBlockEntries) {
    SIZE_T read = 0;
    const std::uint64_t address = FTable + first * kGdiEntrySize;
    if (!ReadProcessMemory(FProcess, reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(address)),
                           block.data(), block.size(), &read) ||
        read != block.size())
      break;
    readEntries += kBlockEntries;
    for (size_t i = 0; i < kBlockEntries; ++i) {
      const unsigned char* entry = block.data() + i * kGdiEntrySize;
      USHORT entryOwner = 0;
      std::memcpy(&entryOwner, entry + kGdiEntryOwner, sizeof(entryOwner));
      // Windows shares one table among processes and names the owner;
      // Wine gives each process a table of its own and leaves it 0.
      if (entry[kGdiEntryBaseType] == 0 || (entryOwner != 0 && entryOwner != owner))
        continue;
      const unsigned type = entry[kGdiEntryType];
      if (type & kGdiStockFlag)
        ++count.Stock;
      else
        ++count.ByType[type];
    }
  }
  if (readEntries == 0) {
    FProblem = "the GDI handle table could not be read";
    return std::nullopt;
  }
  return count;
}

std::optional<TGdiObjectCount> CountOwnGdiObjects() {
  static TGdiHandleTable table(GetCurrentProcess(), GetCurrentProcessId());
  return table.Count();
}

} // namespace telvora::testing
