#pragma once
// Registry values a test changes for a while: set (or removed) now, put back
// as they were, or removed again, when the guard goes.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace telvora::testing {

// Sets a REG_DWORD value under HKCU (for example Control Panel\Desktop
// LogPixels), or removes it when no data is given, and puts back the old
// value, or its absence, when it goes.
class TCurrentUserValueGuard {
public:
  TCurrentUserValueGuard(std::wstring key, std::wstring value, std::optional<DWORD> data);
  TCurrentUserValueGuard(const TCurrentUserValueGuard&) = delete;
  TCurrentUserValueGuard& operator=(const TCurrentUserValueGuard&) = delete;
  ~TCurrentUserValueGuard();

  bool Applied() const noexcept { return FApplied; }

private:
  std::wstring FKey;
  std::wstring FValue;
  bool FApplied = false;
  bool FHadValue = false;
  DWORD FOldType = 0;
  std::vector<BYTE> FOldData;
};

// The same, always setting a value.
class TCurrentUserDwordGuard : public TCurrentUserValueGuard {
public:
  TCurrentUserDwordGuard(std::wstring key, std::wstring value, DWORD data)
      : TCurrentUserValueGuard(std::move(key), std::move(value), data) {}
};

} // namespace telvora::testing
