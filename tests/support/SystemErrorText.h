#pragma once
// The system's words for an error code.

#include <windows.h>

#include <string>

namespace telvora::testing {

// The system's message text for an error code (FormatMessageW), as returned.
std::wstring SystemErrorText(DWORD error);

} // namespace telvora::testing
