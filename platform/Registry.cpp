#include "platform/Registry.h"

namespace telvora {

TRegDataType DataTypeToRegData(DWORD type) noexcept {
  switch (type) {
  case REG_SZ:
    return TRegDataType::rdString;
  case REG_EXPAND_SZ:
    return TRegDataType::rdExpandString;
  case REG_DWORD:
    return TRegDataType::rdInteger;
  case REG_BINARY:
    return TRegDataType::rdBinary;
  default:
    return TRegDataType::rdUnknown;
  }
}

TRegistry::TRegistry(REGSAM access) : FAccess(access) {}

void TRegistry::SetRootKey(HKEY key) {
  if (key != FRootKey) {
    CloseKey();
    FRootKey = key;
  }
}

HKEY TRegistry::BaseKeyFor(bool relative) const noexcept {
  if (relative && FCurrentKey)
    return FCurrentKey.Get();
  return FRootKey;
}

bool TRegistry::OpenKey(const std::wstring& key) {
  bool relative = key.empty() || key.front() != L'\\';
  std::wstring path = relative ? key : key.substr(1);
  HKEY opened = nullptr;
  if (RegOpenKeyExW(BaseKeyFor(relative), path.c_str(), 0, FAccess, &opened) != ERROR_SUCCESS)
    return false;
  TRegKey holder(opened);
  std::wstring fullPath = relative && FCurrentKey ? FCurrentPath + L"\\" + path : path;
  CloseKey();
  FCurrentKey = std::move(holder);
  FCurrentPath = std::move(fullPath);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::wstring& key) {
  return OpenKey(key);
}

void TRegistry::CloseKey() noexcept {
  FCurrentKey.Reset();
  FCurrentPath.clear();
}

bool TRegistry::GetDataInfo(const std::wstring& name, TRegDataInfo& info) const {
  DWORD type = REG_NONE;
  DWORD size = 0;
  info = {};
  if (RegQueryValueExW(FCurrentKey.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS)
    return false;
  info.RegData = DataTypeToRegData(type);
  info.DataSize = size;
  return true;
}

bool TRegistry::ValueExists(const std::wstring& name) const {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

int TRegistry::GetDataSize(const std::wstring& name) const {
  TRegDataInfo info;
  if (!GetDataInfo(name, info))
    return -1;
  // Sizes beyond what an int holds cannot be read into one buffer anyway.
  return info.DataSize > 0x7FFFFFFF ? -1 : static_cast<int>(info.DataSize);
}

TRegDataType TRegistry::GetData(const std::wstring& name, void* buffer, DWORD size) const {
  DWORD type = REG_NONE;
  DWORD inOut = size;
  if (RegQueryValueExW(FCurrentKey.Get(), name.c_str(), nullptr, &type, static_cast<BYTE*>(buffer),
                       &inOut) != ERROR_SUCCESS)
    throw ERegistryException(Format(L"Failed to get data for '%s'", {name}));
  return DataTypeToRegData(type);
}

std::wstring TRegistry::ReadString(const std::wstring& name) const {
  int size = GetDataSize(name);
  if (size <= 0)
    return {};
  // size div 2 characters and a terminating zero: an odd last byte lands in
  // the terminator's place and is dropped with it.
  std::vector<wchar_t> text(static_cast<size_t>(size) / 2 + 1, L'\0');
  TRegDataType type = GetData(name, text.data(), static_cast<DWORD>(size));
  if (type != TRegDataType::rdString && type != TRegDataType::rdExpandString)
    throw ERegistryException(Format(L"Invalid data type for '%s'", {name}));
  size_t length = 0;
  const size_t count = static_cast<size_t>(size) / 2;
  while (length < count && text[length] != L'\0')
    ++length;
  return std::wstring(text.data(), length);
}

int TRegistry::ReadInteger(const std::wstring& name) const {
  int value = 0;
  TRegDataType type = GetData(name, &value, sizeof(value));
  if (type != TRegDataType::rdInteger)
    throw ERegistryException(Format(L"Invalid data type for '%s'", {name}));
  return value;
}

} // namespace telvora
