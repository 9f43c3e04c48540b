#include "tests/support/StackEntry.h"

#include "platform/Handles.h"

#include <windows.h>

#include <cstdint>

namespace telvora::testing {

bool AlignedTo16(const volatile void* AAddress) {
  return reinterpret_cast<uintptr_t>(AAddress) % 16 == 0;
}

#if defined(_M_IX86) || defined(__i386__)

namespace {

// The stack the routine runs on, and whether it found itself there.
struct TStackEntry {
  const std::function<void()>* Work;
  uintptr_t Low, High;
  uintptr_t EntryStack;
};

DWORD WINAPI Entry(LPVOID AEntry) {
  TStackEntry& entry = *static_cast<TStackEntry*>(AEntry);
  volatile DWORD local = 0;
  const uintptr_t at = reinterpret_cast<uintptr_t>(&local);
  if (at >= entry.Low && at < entry.High)
    entry.EntryStack = at;
  (*entry.Work)();
  // The stack holds no return address: the thread ends here.
  ExitThread(0);
}

DWORD WINAPI Idle(LPVOID) {
  return 0;
}

} // namespace

bool RunEnteredWithStackAt(unsigned AOffset, const std::function<void()>& AWork) {
  constexpr SIZE_T kStackSize = SIZE_T{1} << 20;
  if (AOffset % 4 != 0 || AOffset > 12)
    return false;
  void* stack = VirtualAlloc(nullptr, kStackSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (stack == nullptr)
    return false;
  TScopeExit releaseStack([&] { VirtualFree(stack, 0, MEM_RELEASE); });

  // A suspended thread whose first instruction becomes Entry's, with the
  // stack chosen here: [esp] the return address (none), [esp + 4] the
  // routine's argument.
  TKernelHandle thread(CreateThread(nullptr, 0, Idle, nullptr, CREATE_SUSPENDED, nullptr));
  if (!thread)
    return false;
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL;
  bool ready = GetThreadContext(thread.Get(), &context) != FALSE;
  const uintptr_t top = (reinterpret_cast<uintptr_t>(stack) + kStackSize - 64) & ~uintptr_t{15};
  const uintptr_t esp = top - 16 + AOffset;
  DWORD* slots = reinterpret_cast<DWORD*>(esp);
  slots[0] = 0;
  TStackEntry entry{&AWork, reinterpret_cast<uintptr_t>(stack), esp, 0};
  slots[1] = static_cast<DWORD>(reinterpret_cast<uintptr_t>(&entry));
  context.Esp = static_cast<DWORD>(esp);
  context.Eip = static_cast<DWORD>(reinterpret_cast<uintptr_t>(&Entry));
  ready = ready && SetThreadContext(thread.Get(), &context) != FALSE;
  if (!ready) {
    // Idle runs instead and ends at once.
    ResumeThread(thread.Get());
    WaitForSingleObject(thread.Get(), INFINITE);
    return false;
  }
  ResumeThread(thread.Get());
  if (WaitForSingleObject(thread.Get(), 60000) == WAIT_OBJECT_0)
    return entry.EntryStack != 0;
  TerminateThread(thread.Get(), 1);
  WaitForSingleObject(thread.Get(), INFINITE);
  return false;
}

#else

bool RunEnteredWithStackAt(unsigned, const std::function<void()>&) {
  return false;
}

#endif

} // namespace telvora::testing
