#pragma once
// The live GDI objects of a process by type, read from the process's GDI
// handle table (the table its PEB points to). GetGuiResources answers 0
// under Wine, so a count that must be able to fail is taken here: from
// another process (the soak) or from the calling process itself (tests and
// benches that count what a piece of code keeps).

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace telvora::testing {

struct TGdiObjectCount {
  // Live objects by the type the handle carries (bits 16 to 22), stock
  // objects left out.
  std::map<unsigned, int> ByType;
  int Stock = 0;

  int Total() const;
  // How many objects of `type` there are (0 when none).
  int Of(unsigned type) const;
  // "font 2, brush 1": the types whose count differs from `before`, with
  // the difference; empty when none does.
  std::string DifferenceFrom(const TGdiObjectCount& before) const;
};

// GDI handle types as the table stores them.
constexpr unsigned kGdiFont = 0x0A;
constexpr unsigned kGdiBrush = 0x10;
constexpr unsigned kGdiPen = 0x30;
constexpr unsigned kGdiBitmap = 0x09;
constexpr unsigned kGdiRegion = 0x04;
constexpr unsigned kGdiMemoryDC = 0x41;

// The name of a GDI handle type ("brush", "pen", ...).
std::string GdiTypeName(unsigned type);

// One process's GDI handle table, found once; every Count reads afresh.
class TGdiHandleTable {
public:
  // `process` needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ (the
  // calling process's pseudo handle has both); it must stay open.
  TGdiHandleTable(HANDLE process, DWORD processId);

  // Empty when the table was found.
  const std::string& Problem() const noexcept { return FProblem; }
  // How the table was found (for reports).
  const std::string& Route() const noexcept { return FRoute; }

  // The live objects now, or nothing (Problem tells why).
  std::optional<TGdiObjectCount> Count();

private:
  bool Find();

  HANDLE FProcess;
  DWORD FProcessId;
  std::uint64_t FTable = 0;
  std::string FRoute;
  std::string FProblem;
};

// The calling process's live GDI objects (empty when the table cannot be
// read, which the caller reports).
std::optional<TGdiObjectCount> CountOwnGdiObjects();

} // namespace telvora::testing
