#include "tests/support/ProcessMemory.h"

namespace telvora::testing {

std::uint64_t CommittedPrivateBytes(HANDLE AProcess) {
  std::uint64_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  const char* address = nullptr;
  while (VirtualQueryEx(AProcess, address, &region, sizeof(region)) == sizeof(region)) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
      total += region.RegionSize;
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= address)
      break;
    address = next;
  }
  return total;
}

} // namespace telvora::testing
