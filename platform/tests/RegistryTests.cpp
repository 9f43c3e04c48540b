#include "platform/Registry.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class Registry : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TelvoraTests\\Registry\\Sub", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey, nullptr),
              ERROR_SUCCESS);
    DWORD v = 42;
    RegSetValueExW(FKey, L"Int", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), sizeof(v));
    RegSetValueExW(FKey, L"Long", 0, REG_QWORD, reinterpret_cast<BYTE*>(&v), 8);
  }
  void TearDown() override {
    RegCloseKey(FKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TelvoraTests");
  }
  HKEY FKey = nullptr;
};

TEST_F(Registry, RelativeKeysOpenBelowTheCurrentOne) {
  TRegistry r(KEY_QUERY_VALUE);
  r.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(r.OpenKey(L"\\Software\\TelvoraTests\\Registry"));
  ASSERT_TRUE(r.OpenKey(L"Sub"));
  EXPECT_EQ(r.CurrentPath(), L"Software\\TelvoraTests\\Registry\\Sub");
  EXPECT_EQ(r.ReadInteger(L"Int"), 42);
  EXPECT_FALSE(r.OpenKey(L"Missing"));
  EXPECT_EQ(r.ReadInteger(L"Int"), 42) << "a failed open keeps the current key";
  EXPECT_EQ(TRegKey::LiveCount(), 1);
  r.CloseKey();
  EXPECT_EQ(TRegKey::LiveCount(), 0);
}

TEST_F(Registry, ReadIntegerChecksTypeAndSize) {
  TRegistry r(KEY_QUERY_VALUE);
  r.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(r.OpenKey(L"\\Software\\TelvoraTests\\Registry\\Sub"));
  try {
    r.ReadInteger(L"Long");
    FAIL();
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), L"Failed to get data for 'Long'");
  }
  DWORD v = 7;
  RegSetValueExW(FKey, L"Bin", 0, REG_BINARY, reinterpret_cast<BYTE*>(&v), sizeof(v));
  try {
    r.ReadInteger(L"Bin");
    FAIL();
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), L"Invalid data type for 'Bin'");
  }
}

} // namespace
} // namespace telvora
