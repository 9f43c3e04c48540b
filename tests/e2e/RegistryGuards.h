#pragma once
// Registry changes the end-to-end tests make to provoke failures, each undone
// when its guard goes (also when a test fails half-way).

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace telvora::testing {

// Keeps a copy of HKLM\SOFTWARE\Microsoft\Cryptography (64-bit view) with
// all its values and subkeys, and puts it back exactly when the guard goes.
class TCryptographyKeyGuard {
public:
  TCryptographyKeyGuard();
  TCryptographyKeyGuard(const TCryptographyKeyGuard&) = delete;
  TCryptographyKeyGuard& operator=(const TCryptographyKeyGuard&) = delete;
  ~TCryptographyKeyGuard();

  // Whether the copy was made; no change may be made otherwise.
  bool Saved() const noexcept { return FSaved; }

  // The changes; each answers success.
  bool DeleteKey();
  bool DeleteValue();
  bool WriteValue(DWORD type, const void* data, DWORD size);
  bool WriteString(DWORD type, const std::wstring& text);
  // Puts the saved key back now.
  bool Restore();

private:
  bool FSaved = false;
};

// Sets a REG_DWORD value under HKCU (for example Control Panel\Desktop
// LogPixels) and restores the old value, or its absence, when it goes.
class TCurrentUserDwordGuard {
public:
  TCurrentUserDwordGuard(std::wstring key, std::wstring value, DWORD data);
  TCurrentUserDwordGuard(const TCurrentUserDwordGuard&) = delete;
  TCurrentUserDwordGuard& operator=(const TCurrentUserDwordGuard&) = delete;
  ~TCurrentUserDwordGuard();

  bool Applied() const noexcept { return FApplied; }

private:
  std::wstring FKey;
  std::wstring FValue;
  bool FApplied = false;
  bool FHadValue = false;
  DWORD FOldType = 0;
  std::vector<BYTE> FOldData;
};

} // namespace telvora::testing
