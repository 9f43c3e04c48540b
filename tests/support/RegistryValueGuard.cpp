#include "tests/support/RegistryValueGuard.h"

#include "platform/Handles.h"

#include <utility>

namespace telvora::testing {

TCurrentUserValueGuard::TCurrentUserValueGuard(std::wstring key, std::wstring value,
                                               std::optional<DWORD> data)
    : FKey(std::move(key)), FValue(std::move(value)) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, FKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
    return;
  TRegKey holder(opened);
  DWORD size = 0;
  if (RegQueryValueExW(opened, FValue.c_str(), nullptr, &FOldType, nullptr, &size) ==
      ERROR_SUCCESS) {
    FOldData.resize(size);
    if (RegQueryValueExW(opened, FValue.c_str(), nullptr, &FOldType, FOldData.data(), &size) !=
        ERROR_SUCCESS)
      return;
    FOldData.resize(size);
    FHadValue = true;
  }
  if (data)
    FApplied =
        RegSetValueExW(opened, FValue.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*data),
                       sizeof(DWORD)) == ERROR_SUCCESS;
  else
    FApplied = !FHadValue || RegDeleteValueW(opened, FValue.c_str()) == ERROR_SUCCESS;
}

TCurrentUserValueGuard::~TCurrentUserValueGuard() {
  if (!FApplied)
    return;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, FKey.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
    return;
  TRegKey holder(opened);
  if (FHadValue)
    RegSetValueExW(opened, FValue.c_str(), 0, FOldType, FOldData.data(),
                   static_cast<DWORD>(FOldData.size()));
  else
    RegDeleteValueW(opened, FValue.c_str());
}

} // namespace telvora::testing
