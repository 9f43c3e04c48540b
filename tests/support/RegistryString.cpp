#include "tests/support/RegistryString.h"

#include "platform/Handles.h"
#include "tests/support/PhysicalPixels.h"

#include <vector>

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kRegistryStringPixels = &gPhysicalPixels;

std::optional<std::wstring> ReadRegistryString(HKEY root, const std::wstring& key,
                                               const std::wstring& value, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
    return std::nullopt;
  TRegKey holder(opened);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(opened, value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(opened, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS)
    return std::nullopt;
  size_t length = 0;
  while (length < size / sizeof(wchar_t) && data[length] != L'\0')
    ++length;
  return std::wstring(data.data(), length);
}

} // namespace telvora::testing
