#pragma once
// Reading a string value of the registry, as another program finds it.

#include <windows.h>

#include <optional>
#include <string>

namespace telvora::testing {

// Reads a string value (REG_SZ or REG_EXPAND_SZ, as stored).
std::optional<std::wstring> ReadRegistryString(HKEY root, const std::wstring& key,
                                               const std::wstring& value, REGSAM view);

} // namespace telvora::testing
