#pragma once
// Memory a process holds, as the soak and the benches count it.

#include <windows.h>

#include <cstdint>

namespace telvora::testing {

// Committed private memory: the sum of the process's committed private
// regions (the process needs PROCESS_QUERY_INFORMATION).
std::uint64_t CommittedPrivateBytes(HANDLE AProcess);

} // namespace telvora::testing
