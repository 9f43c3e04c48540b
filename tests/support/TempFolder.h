#pragma once
// A folder of its own under the temporary folder, for files a test makes.

#include <string>

namespace telvora::testing {

// A folder of its own under the temporary folder, removed with its files.
class TTempFolder {
public:
  TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder();
  // With a trailing backslash; empty when the folder could not be made.
  const std::wstring& Path() const noexcept { return FPath; }

private:
  std::wstring FPath;
};

} // namespace telvora::testing
