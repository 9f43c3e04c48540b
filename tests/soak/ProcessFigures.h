#pragma once
// What another process holds, measured from outside: its windows (found by
// enumeration), its kernel handles (the system's handle list filtered by its
// process id), its committed private memory (a walk over its address space)
// and its GDI objects by type (read from the GDI handle table its PEB points
// to). Nothing here needs the measured program's help.

#include "platform/Handles.h"
#include "tests/support/GdiHandleTable.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace telvora::soak {

struct TProcessFigures {
  int TopLevelWindows = 0;    // hidden ones too
  int ChildWindows = 0;       // every descendant of those and of message-only windows
  int MessageOnlyWindows = 0; // children of HWND_MESSAGE
  int KernelHandles = 0;
  std::uint64_t PrivateCommitted = 0; // bytes
  std::uint64_t PagefileUsage = 0;    // bytes, as GetProcessMemoryInfo tells
  std::uint64_t WorkingSet = 0;       // bytes
  // Live GDI objects by the type the handle carries (bits 16 to 22),
  // stock objects left out.
  std::map<unsigned, int> GdiByType;
  int GdiStock = 0;

  int GdiTotal() const;
  // One line per group, for printing.
  std::string Describe() const;
};

using testing::GdiTypeName;

// Measures one process. Opened once; every measurement reads afresh.
class TProcessProbe {
public:
  explicit TProcessProbe(DWORD processId);
  TProcessProbe(const TProcessProbe&) = delete;
  TProcessProbe& operator=(const TProcessProbe&) = delete;

  // Empty when the process could be opened and its GDI table found.
  const std::string& Problem() const noexcept { return FProblem; }

  // Every figure, or nothing (and Problem() tells why) when one of them
  // could not be read.
  std::optional<TProcessFigures> Measure();

  // How the GDI handle table was found (for the report).
  const std::string& GdiTableRoute() const noexcept;

private:
  DWORD FProcessId = 0;
  TKernelHandle FProcessHolder;
  HANDLE FProcess = nullptr; // FProcessHolder's
  std::unique_ptr<testing::TGdiHandleTable> FGdiTable;
  std::string FProblem;
};

// Checks the probe on the calling process itself: creates windows of each
// kind, kernel handles, committed memory and GDI objects of several types,
// and answers whether each figure grew by exactly what was made (and fell
// back once it was freed). Empty when all held, else what did not.
std::string SelfCheck();

} // namespace telvora::soak
