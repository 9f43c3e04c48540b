#pragma once
// The registry access object: opens one key at a time under a root key with a
// fixed access mask and reads values from it. The key is closed when another
// is opened, on CloseKey and when the object is destroyed.

#include "platform/Handles.h"
#include "platform/SysUtils.h"

#include <string>
#include <vector>

namespace telvora {

class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = TRegDataType::rdUnknown;
  DWORD DataSize = 0;
};

class TRegistry {
public:
  explicit TRegistry(REGSAM access);
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;
  virtual ~TRegistry() = default;

  HKEY RootKey() const noexcept { return FRootKey; }
  void SetRootKey(HKEY key);
  HKEY CurrentKey() const noexcept { return FCurrentKey.Get(); }
  const std::wstring& CurrentPath() const noexcept { return FCurrentPath; }
  REGSAM Access() const noexcept { return FAccess; }

  // Opens `key` (absolute when it begins with a backslash, else relative to
  // the current key or the root) with the access mask. Creating keys is not
  // supported: this object only reads. Answers whether the key opened.
  bool OpenKeyReadOnly(const std::wstring& key);
  bool OpenKey(const std::wstring& key);
  void CloseKey() noexcept;

  bool ValueExists(const std::wstring& name) const;
  // Size in bytes of the value's data, or -1 when it cannot be queried.
  virtual int GetDataSize(const std::wstring& name) const;
  bool GetDataInfo(const std::wstring& name, TRegDataInfo& info) const;

  // The value as text: REG_SZ or REG_EXPAND_SZ, cut at its first zero
  // character. Empty when the value has no data or cannot be queried.
  std::wstring ReadString(const std::wstring& name) const;
  // A 4-byte REG_DWORD value.
  int ReadInteger(const std::wstring& name) const;

private:
  // Reads up to `size` bytes into `buffer`; raises "Failed to get data".
  TRegDataType GetData(const std::wstring& name, void* buffer, DWORD size) const;
  HKEY BaseKeyFor(bool relative) const noexcept;

  REGSAM FAccess;
  HKEY FRootKey = HKEY_CURRENT_USER;
  TRegKey FCurrentKey;
  std::wstring FCurrentPath;
};

TRegDataType DataTypeToRegData(DWORD type) noexcept;

} // namespace telvora
