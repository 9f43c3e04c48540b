#pragma once
// Registry values a test changes for a while: set (or removed) now, put back
// as they were, or removed again, when the guard goes.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace telvora::testing {

// A value's type and bytes.
struct TRegistryData {
  DWORD Type = REG_NONE;
  std::vector<BYTE> Bytes;
};

// REG_SZ data: the text and its terminating zero.
TRegistryData StringData(const std::wstring& text);

// Sets a value of a key under `root`, seen in the registry view `view` (0,
// KEY_WOW64_64KEY or KEY_WOW64_32KEY), or removes it when no data is given,
// and puts back the old value, or its absence, when it goes. The key is
// made when missing and left in place.
class TRegistryValueGuard {
public:
  TRegistryValueGuard(HKEY root, REGSAM view, std::wstring key, std::wstring value,
                      std::optional<TRegistryData> data);
  TRegistryValueGuard(const TRegistryValueGuard&) = delete;
  TRegistryValueGuard& operator=(const TRegistryValueGuard&) = delete;
  ~TRegistryValueGuard();

  bool Applied() const noexcept { return FApplied; }

private:
  HKEY FRoot;
  REGSAM FView;
  std::wstring FKey;
  std::wstring FValue;
  bool FApplied = false;
  bool FHadValue = false;
  TRegistryData FOld;
};

// Sets a REG_DWORD value under HKCU (for example Control Panel\Desktop
// LogPixels), or removes it when no data is given.
class TCurrentUserValueGuard : public TRegistryValueGuard {
public:
  TCurrentUserValueGuard(std::wstring key, std::wstring value, std::optional<DWORD> data);
};

// The same, always setting a value.
class TCurrentUserDwordGuard : public TCurrentUserValueGuard {
public:
  TCurrentUserDwordGuard(std::wstring key, std::wstring value, DWORD data)
      : TCurrentUserValueGuard(std::move(key), std::move(value), data) {}
};

} // namespace telvora::testing
