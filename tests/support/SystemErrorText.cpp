#include "tests/support/SystemErrorText.h"

#include "platform/Handles.h"
#include "tests/support/PhysicalPixels.h"

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kSystemErrorTextPixels = &gPhysicalPixels;

std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  TLocalMemory owner(buffer);
  return length && buffer ? std::wstring(buffer, length) : std::wstring();
}

} // namespace telvora::testing
