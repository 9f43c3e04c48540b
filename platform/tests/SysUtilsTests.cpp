#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(Format, FillsPlaceholdersInOrder) {
  EXPECT_EQ(Format(L"Reg Name not found: %s\\%s", {L"\\A", L"B"}), L"Reg Name not found: \\A\\B");
  EXPECT_EQ(Format(L"no args %s", {}), L"no args %s");
  EXPECT_EQ(Format(L"%s", {L"%s"}), L"%s");
}

TEST(SysErrorMessage, TrimsTrailingBlanksAndPeriods) {
  std::wstring text = SysErrorMessage(ERROR_ACCESS_DENIED);
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), L'.');
  EXPECT_GT(text.back(), L' ');
}

TEST(SysErrorMessage, UnknownCodeGivesEmptyText) {
  EXPECT_EQ(SysErrorMessage(0x2FFFFFFF), L"");
}

} // namespace
} // namespace telvora
