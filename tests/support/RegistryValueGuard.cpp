#include "tests/support/RegistryValueGuard.h"

#include "platform/Handles.h"

#include <utility>

namespace telvora::testing {

TRegistryData StringData(const std::wstring& text) {
  const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
  return {REG_SZ, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
}

TRegistryValueGuard::TRegistryValueGuard(HKEY root, REGSAM view, std::wstring key,
                                         std::wstring value, std::optional<TRegistryData> data)
    : FRoot(root), FView(view), FKey(std::move(key)), FValue(std::move(value)) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(FRoot, FKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | FView, nullptr, &opened,
                      nullptr) != ERROR_SUCCESS)
    return;
  TRegKey holder(opened);
  DWORD size = 0;
  if (RegQueryValueExW(opened, FValue.c_str(), nullptr, &FOld.Type, nullptr, &size) ==
      ERROR_SUCCESS) {
    FOld.Bytes.resize(size);
    if (RegQueryValueExW(opened, FValue.c_str(), nullptr, &FOld.Type, FOld.Bytes.data(), &size) !=
        ERROR_SUCCESS)
      return;
    FOld.Bytes.resize(size);
    FHadValue = true;
  }
  if (data)
    FApplied = RegSetValueExW(opened, FValue.c_str(), 0, data->Type, data->Bytes.data(),
                              static_cast<DWORD>(data->Bytes.size())) == ERROR_SUCCESS;
  else
    FApplied = !FHadValue || RegDeleteValueW(opened, FValue.c_str()) == ERROR_SUCCESS;
}

TRegistryValueGuard::~TRegistryValueGuard() {
  if (!FApplied)
    return;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(FRoot, FKey.c_str(), 0, KEY_SET_VALUE | FView, &opened) != ERROR_SUCCESS)
    return;
  TRegKey holder(opened);
  if (FHadValue)
    RegSetValueExW(opened, FValue.c_str(), 0, FOld.Type, FOld.Bytes.data(),
                   static_cast<DWORD>(FOld.Bytes.size()));
  else
    RegDeleteValueW(opened, FValue.c_str());
}

namespace {
std::optional<TRegistryData> DwordData(std::optional<DWORD> data) {
  if (!data)
    return std::nullopt;
  const BYTE* bytes = reinterpret_cast<const BYTE*>(&*data);
  return TRegistryData{REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof(DWORD))};
}
} // namespace

TCurrentUserValueGuard::TCurrentUserValueGuard(std::wstring key, std::wstring value,
                                               std::optional<DWORD> data)
    : TRegistryValueGuard(HKEY_CURRENT_USER, 0, std::move(key), std::move(value), DwordData(data)) {
}

} // namespace telvora::testing
