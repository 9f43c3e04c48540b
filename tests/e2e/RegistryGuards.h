#pragma once
// Registry changes the end-to-end tests make to provoke failures, each undone
// when its guard goes (also when a test fails half-way).

#include "tests/support/RegistryValueGuard.h"

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

} // namespace telvora::testing
