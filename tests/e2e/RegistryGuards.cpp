#include "tests/e2e/RegistryGuards.h"

#include "platform/Handles.h"
#include "tests/e2e/Telvora.h"

namespace telvora::testing {

namespace {

constexpr REGSAM kView = KEY_WOW64_64KEY;
constexpr wchar_t kBackupParent[] = L"SOFTWARE\\TelvoraE2EBackup";
constexpr wchar_t kBackupKey[] = L"SOFTWARE\\TelvoraE2EBackup\\Cryptography";

TRegKey OpenKey(HKEY root, const wchar_t* path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, access | kView, &key) != ERROR_SUCCESS)
    return {};
  return TRegKey(key);
}

TRegKey CreateKey(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | kView,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return {};
  return TRegKey(key);
}

bool KeyExists(const wchar_t* path) {
  return static_cast<bool>(OpenKey(HKEY_LOCAL_MACHINE, path, KEY_QUERY_VALUE));
}

// Deletes a key of HKLM (64-bit view) with everything below it.
bool DeleteTree(const wchar_t* path) {
  {
    TRegKey key = OpenKey(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS);
    if (!key)
      return !KeyExists(path);
    if (RegDeleteTreeW(key.Get(), nullptr) != ERROR_SUCCESS)
      return false;
  }
  return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path, kView, 0) == ERROR_SUCCESS;
}

} // namespace

TCryptographyKeyGuard::TCryptographyKeyGuard() {
  // A copy left by a run that died half-way is the real key: put it back.
  if (KeyExists(kBackupKey)) {
    FSaved = true;
    if (!Restore())
      return;
    FSaved = false;
  }
  if (!DeleteTree(kBackupParent))
    return;
  TRegKey source = OpenKey(HKEY_LOCAL_MACHINE, kCryptographyKey, KEY_READ);
  if (!source)
    return;
  TRegKey backup = CreateKey(HKEY_LOCAL_MACHINE, kBackupKey);
  if (!backup)
    return;
  FSaved = RegCopyTreeW(source.Get(), nullptr, backup.Get()) == ERROR_SUCCESS;
}

TCryptographyKeyGuard::~TCryptographyKeyGuard() {
  // The copy is removed only once the key is back.
  if (FSaved && Restore())
    DeleteTree(kBackupParent);
}

bool TCryptographyKeyGuard::Restore() {
  if (!FSaved)
    return false;
  TRegKey backup = OpenKey(HKEY_LOCAL_MACHINE, kBackupKey, KEY_READ);
  if (!backup || !DeleteTree(kCryptographyKey))
    return false;
  TRegKey key = CreateKey(HKEY_LOCAL_MACHINE, kCryptographyKey);
  return key && RegCopyTreeW(backup.Get(), nullptr, key.Get()) == ERROR_SUCCESS;
}

bool TCryptographyKeyGuard::DeleteKey() {
  return FSaved && DeleteTree(kCryptographyKey);
}

bool TCryptographyKeyGuard::DeleteValue() {
  if (!FSaved)
    return false;
  TRegKey key = OpenKey(HKEY_LOCAL_MACHINE, kCryptographyKey, KEY_SET_VALUE);
  return key && RegDeleteValueW(key.Get(), kMachineGuidName) == ERROR_SUCCESS;
}

bool TCryptographyKeyGuard::WriteValue(DWORD type, const void* data, DWORD size) {
  if (!FSaved)
    return false;
  TRegKey key = CreateKey(HKEY_LOCAL_MACHINE, kCryptographyKey);
  return key && RegSetValueExW(key.Get(), kMachineGuidName, 0, type, static_cast<const BYTE*>(data),
                               size) == ERROR_SUCCESS;
}

bool TCryptographyKeyGuard::WriteString(DWORD type, const std::wstring& text) {
  return WriteValue(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

} // namespace telvora::testing
