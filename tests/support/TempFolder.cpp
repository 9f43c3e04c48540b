#include "tests/support/TempFolder.h"

#include "platform/Handles.h"
#include "tests/support/PhysicalPixels.h"

#include <windows.h>

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kTempFolderPixels = &gPhysicalPixels;

namespace {

struct TFindTraits {
  using Handle = HANDLE;
  static void Close(HANDLE h) noexcept { FindClose(h); }
};
using TFindHandle = TUniqueHandle<TFindTraits>;

} // namespace

TTempFolder::TTempFolder() {
  static unsigned counter = 0;
  wchar_t temp[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH)
    return;
  std::wstring path = std::wstring(temp, length) + L"telvora-e2e-" +
                      std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
  if (CreateDirectoryW(path.c_str(), nullptr))
    FPath = path + L"\\";
}

TTempFolder::~TTempFolder() {
  if (FPath.empty())
    return;
  WIN32_FIND_DATAW data{};
  HANDLE first = FindFirstFileW((FPath + L"*").c_str(), &data);
  if (first != INVALID_HANDLE_VALUE) {
    TFindHandle find(first);
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW((FPath + data.cFileName).c_str());
    } while (FindNextFileW(find.Get(), &data));
  }
  RemoveDirectoryW(FPath.c_str());
}

} // namespace telvora::testing
