#pragma once
// Calls code the way Windows may call into a 32-bit program: Windows keeps
// the x86 stack aligned to 4 bytes only when it calls window procedures,
// timer and enumeration callbacks and thread routines, where gcc assumes 16.

#include <functional>

namespace telvora::testing {

// Runs AWork on a new thread whose routine is entered with the stack
// pointer at 16n + AOffset (AOffset 0, 4, 8 or 12; at 12 the stack is as
// gcc assumes it) and returns when it has ended. False when that could not
// be done, or not in a minute, and always in 64-bit programs (64-bit Windows
// keeps the stack aligned to 16 bytes).
bool RunEnteredWithStackAt(unsigned AOffset, const std::function<void()>& AWork);

// Whether AAddress is a multiple of 16. Out of line: a compiler that sees the
// address of an alignas(16) object answers true without looking.
bool AlignedTo16(const volatile void* AAddress);

} // namespace telvora::testing
