// The machine GUID reader on a scratch key under HKEY_CURRENT_USER: every
// registry type, awkward sizes, every message, and no key left open.

#include "app/Main.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace telvora {
namespace {

constexpr wchar_t kScratchPath[] = L"Software\\TelvoraTests\\Reader";
const std::wstring kScratchKey = std::wstring(L"\\") + kScratchPath;

std::vector<BYTE> Utf16Bytes(const std::wstring& text, bool withTerminator) {
  const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
  size_t count = (text.size() + (withTerminator ? 1 : 0)) * sizeof(wchar_t);
  return std::vector<BYTE>(p, p + count);
}

class RegistryReader : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kScratchPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &FKey, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(FKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TelvoraTests");
  }

  void Write(const wchar_t* name, DWORD type, const std::vector<BYTE>& data) {
    ASSERT_EQ(RegSetValueExW(FKey, name, 0, type, data.empty() ? nullptr : data.data(),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  }

  // The reader's text, or the message it raised.
  std::wstring Read(const std::wstring& key, const std::wstring& value, bool showError = true) {
    TfrmMain form(nullptr);
    try {
      return L"text:" +
             form.fgGetRegistryData2(HKEY_CURRENT_USER, key, value, showError).ToString();
    } catch (const ERegistryException& e) {
      return L"error:" + e.Message();
    }
  }

  HKEY FKey = nullptr;
};

struct TValueCase {
  const char* Name;
  DWORD Type;
  std::vector<BYTE> Data;
  std::wstring Expected;
};

TEST_F(RegistryReader, ReadsEveryTypeAndSizeAsStated) {
  std::vector<BYTE> odd = Utf16Bytes(L"abc", false);
  odd.push_back(0x41); // a dangling odd byte
  std::vector<BYTE> oddNoRoom = {0x41};
  std::vector<BYTE> unterminated = Utf16Bytes(L"abcd", false);
  std::vector<BYTE> embedded = Utf16Bytes(std::wstring(L"ab\0cd", 5), true);
  std::vector<BYTE> dword = {1, 0, 0, 0};
  std::vector<BYTE> multi = Utf16Bytes(std::wstring(L"a\0b\0", 4), true);

  const TValueCase cases[] = {
      {"sz with terminator", REG_SZ, Utf16Bytes(L"{guid-text}", true), L"text:{guid-text}"},
      {"sz without terminator", REG_SZ, unterminated, L"text:abcd"},
      {"sz odd byte count", REG_SZ, odd, L"text:abc"},
      {"sz one byte", REG_SZ, oddNoRoom, L"text:"},
      {"sz embedded zero", REG_SZ, embedded, L"text:ab"},
      {"sz empty", REG_SZ, {}, L"text:"},
      {"sz only terminator", REG_SZ, Utf16Bytes(L"", true), L"text:"},
      {"expand sz kept as stored", REG_EXPAND_SZ, Utf16Bytes(L"%SystemRoot%\\x", true),
       L"text:%SystemRoot%\\x"},
      {"dword", REG_DWORD, dword, L"error:Invalid data type for 'V'"},
      {"binary", REG_BINARY, {1, 2, 3}, L"error:Invalid data type for 'V'"},
      {"multi sz", REG_MULTI_SZ, multi, L"error:Invalid data type for 'V'"},
      {"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, L"error:Invalid data type for 'V'"},
      {"dword of no bytes", REG_DWORD, {}, L"text:"},
      {"binary of no bytes", REG_BINARY, {}, L"text:"},
  };
  for (const TValueCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Write(L"V", c.Type, c.Data);
    EXPECT_EQ(Read(kScratchKey, L"V"), c.Expected);
    EXPECT_EQ(TRegKey::LiveCount(), 0) << "key left open";
  }
}

TEST_F(RegistryReader, ReadsOneMegabyteOfText) {
  std::wstring big(512 * 1024, L'x');
  big[12345] = L'y';
  Write(L"V", REG_SZ, Utf16Bytes(big, true));
  EXPECT_EQ(Read(kScratchKey, L"V"), L"text:" + big);
}

TEST_F(RegistryReader, KeyPathWithoutLeadingBackslashOpensTheSameKey) {
  Write(L"V", REG_SZ, Utf16Bytes(L"same", true));
  EXPECT_EQ(Read(kScratchPath, L"V"), L"text:same");
}

TEST_F(RegistryReader, MissingKeyOrValueMessages) {
  Write(L"V", REG_SZ, Utf16Bytes(L"x", true));
  const std::wstring missingKey = L"\\Software\\TelvoraTests\\NoSuchKey";
  EXPECT_EQ(Read(missingKey, L"V"), L"error:Reg Key not found: " + missingKey);
  EXPECT_EQ(Read(kScratchKey, L"NoSuchValue"),
            L"error:Reg Name not found: " + kScratchKey + L"\\NoSuchValue");
  EXPECT_EQ(TRegKey::LiveCount(), 0);
}

TEST_F(RegistryReader, MissingKeyOrValueUnreportedGiveEmptyText) {
  Write(L"V", REG_DWORD, {1, 0, 0, 0});
  EXPECT_EQ(Read(L"\\Software\\TelvoraTests\\NoSuchKey", L"V", false), L"text:");
  EXPECT_EQ(Read(kScratchKey, L"NoSuchValue", false), L"text:");
  // A wrong type is reported whatever the flag says.
  EXPECT_EQ(Read(kScratchKey, L"V", false), L"error:Invalid data type for 'V'");
}

// A registry object whose value grows after its size has been asked for.
class TGrowingRegistry : public TRegistry {
public:
  TGrowingRegistry(HKEY key) : TRegistry(KEY_QUERY_VALUE), FWriteKey(key) {}
  int GetDataSize(const std::wstring& name) const override {
    int size = TRegistry::GetDataSize(name);
    std::vector<BYTE> longer = Utf16Bytes(std::wstring(200, L'z'), true);
    RegSetValueExW(FWriteKey, name.c_str(), 0, REG_SZ, longer.data(),
                   static_cast<DWORD>(longer.size()));
    return size;
  }

private:
  HKEY FWriteKey;
};

TEST_F(RegistryReader, ValueGrowingBetweenQueriesFailsWithoutOverrun) {
  Write(L"V", REG_SZ, Utf16Bytes(L"short", true));
  TGrowingRegistry registry(FKey);
  registry.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(registry.OpenKey(kScratchKey));
  try {
    registry.ReadString(L"V");
    FAIL() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), L"Failed to get data for 'V'");
  }
}

TEST(WindowsIs64Bit, ThirtyTwoBitProcessOnSixtyFourBitWineIsWow64) {
  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  int modulesBefore = TModule::LiveCount();
  EXPECT_EQ(fgWindowsIs64Bit(), wow64 != FALSE);
  EXPECT_EQ(TModule::LiveCount(), modulesBefore) << "kernel32 reference kept";
}

TEST(MachineGuid, ReadsTheSixtyFourBitView) {
  // The value exists only in the 64-bit view of the test prefix.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", 0,
                          KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key),
            ERROR_SUCCESS);
  wchar_t expected[128] = {};
  DWORD size = sizeof(expected) - sizeof(wchar_t);
  ASSERT_EQ(RegQueryValueExW(key, L"MachineGuid", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(expected), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  TfrmMain form(nullptr);
  EXPECT_EQ(form.fgGetRegistryData2(HKEY_LOCAL_MACHINE, kMachineGuidKey, kMachineGuidValue, true)
                .ToString(),
            expected);
}

} // namespace
} // namespace telvora
