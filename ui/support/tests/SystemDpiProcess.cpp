#include "ui/support/tests/SystemDpiProcess.h"

#include "platform/Handles.h"
#include "tests/support/Desktop.h"
#include "tests/support/RegistryValueGuard.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace telvora::testing {

namespace {

constexpr wchar_t kCaseVariable[] = L"TELVORA_TEST_SYSTEM_DPI_CASE";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kWindowMetricsKey[] = L"Control Panel\\Desktop\\WindowMetrics";
constexpr DWORD kChildTimeoutMs = 120000;

// Sets an environment variable of this process, which a child inherits,
// and removes it again.
class TEnvironmentVariable {
public:
  TEnvironmentVariable(const wchar_t* name, const std::wstring& value) : FName(name) {
    FApplied = SetEnvironmentVariableW(name, value.c_str()) != FALSE;
  }
  TEnvironmentVariable(const TEnvironmentVariable&) = delete;
  TEnvironmentVariable& operator=(const TEnvironmentVariable&) = delete;
  ~TEnvironmentVariable() { SetEnvironmentVariableW(FName, nullptr); }

  bool Applied() const noexcept { return FApplied; }

private:
  const wchar_t* FName;
  bool FApplied = false;
};

std::wstring ThisProgram() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string ReadFileText(const std::wstring& path) {
  std::string text;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return text;
  TKernelHandle holder(file);
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
    text.append(buffer, read);
  return text;
}

} // namespace

std::optional<int> SystemDpiCaseOfThisProcess() {
  wchar_t value[32] = {};
  const DWORD length = GetEnvironmentVariableW(kCaseVariable, value, 32);
  if (length == 0 || length >= 32)
    return std::nullopt;
  wchar_t* end = nullptr;
  const long index = std::wcstol(value, &end, 10);
  // A value that is no number names no case.
  return *end == L'\0' && end != value ? static_cast<int>(index) : -1;
}

bool NewProcessesFollowLogPixels() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

::testing::AssertionResult RunTestAtSystemDpi(const char* testName, int caseIndex,
                                              const TSystemDpiSettings& settings) {
  TCurrentUserValueGuard logPixels(kDesktopKey, L"LogPixels",
                                   static_cast<DWORD>(settings.LogPixels));
  TCurrentUserValueGuard appliedDpi(
      kWindowMetricsKey, L"AppliedDPI",
      settings.AppliedDpi ? std::optional<DWORD>(static_cast<DWORD>(*settings.AppliedDpi))
                          : std::nullopt);
  if (!logPixels.Applied() || !appliedDpi.Applied())
    return ::testing::AssertionFailure() << "LogPixels or AppliedDPI could not be set";

  TTempFolder folder;
  if (folder.Path().empty())
    return ::testing::AssertionFailure() << "no temporary folder";
  const std::wstring outputPath = folder.Path() + L"output.txt";
  SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
  HANDLE file = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return ::testing::AssertionFailure() << "no output file: error " << GetLastError();
  TKernelHandle output(file);

  TEnvironmentVariable variable(kCaseVariable, std::to_wstring(caseIndex));
  if (!variable.Applied())
    return ::testing::AssertionFailure() << "the environment variable could not be set";
  const std::string name(testName);
  const std::wstring exe = ThisProgram();
  std::wstring command = L"\"" + exe + L"\" --gtest_color=no --gtest_filter=";
  for (const char ch : name) // test names are ASCII
    command += static_cast<wchar_t>(static_cast<unsigned char>(ch));
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = output.Get();
  si.hStdError = output.Get();
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                      &pi))
    return ::testing::AssertionFailure() << "CreateProcess: error " << GetLastError();
  TKernelHandle process(pi.hProcess);
  TKernelHandle thread(pi.hThread);
  output.Reset();

  if (WaitForSingleObject(process.Get(), kChildTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), kChildTimeoutMs);
    return ::testing::AssertionFailure() << name << " did not end in time; its output:\n"
                                         << ReadFileText(outputPath);
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.Get(), &exitCode);
  const std::string text = ReadFileText(outputPath);
  // A skipped test also ends with exit code 0: the test must have passed.
  const bool passed = text.find("[       OK ] " + name + " (") != std::string::npos &&
                      text.find("[  PASSED  ] 1 test.") != std::string::npos &&
                      text.find("[  SKIPPED ]") == std::string::npos;
  if (exitCode != 0 || !passed)
    return ::testing::AssertionFailure()
           << name << " at LogPixels " << settings.LogPixels << " ended with exit code " << exitCode
           << "; its output:\n"
           << text;
  return ::testing::AssertionSuccess();
}

} // namespace telvora::testing
