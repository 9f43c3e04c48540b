// Keyboard shortcuts and their texts, and the accelerator of a caption.

#include "platform/ShortCuts.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(ShortCutText, WrittenAndReadBack) {
  const struct {
    WORD Key;
    TShiftState Shift;
    TShortCut Value;
    const wchar_t* Text;
  } cases[] = {
      {'O', ssCtrl, 16463, L"Ctrl+O"},
      {VK_F10, ssShift, scShift | VK_F10, L"Shift+F10"},
      {'X', ssAlt, scAlt | 'X', L"Alt+X"},
      {VK_F2, 0, VK_F2, L"F2"},
      {VK_DELETE, 0, VK_DELETE, L"Del"},
      {VK_DELETE, ssCtrl | ssAlt, scCtrl | scAlt | VK_DELETE, L"Ctrl+Alt+Del"},
      {'7', ssCtrl | ssShift, scCtrl | scShift | '7', L"Ctrl+Shift+7"},
      {VK_RETURN, ssShift | ssLeft, scShift | VK_RETURN, L"Shift+Enter"}, // buttons ignored
      {VK_NUMPAD3, 0, VK_NUMPAD3, L"Num 3"},
      {VK_F24, ssCtrl, scCtrl | VK_F24, L"Ctrl+F24"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.Text));
    EXPECT_EQ(ShortCut(c.Key, c.Shift), c.Value);
    EXPECT_EQ(ShortCutToText(c.Value), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Value);
  }
}

TEST(ShortCutText, ReadInAnyCaseAndOrderButOnlyWhenItNamesAKey) {
  const struct {
    const wchar_t* Text;
    TShortCut Value;
  } cases[] = {
      {L"ctrl+o", scCtrl | 'O'},
      {L"SHIFT+CTRL+del", scShift | scCtrl | VK_DELETE},
      {L"Alt+Shift+F4", scAlt | scShift | VK_F4},
      {L"", scNone},
      {L"Ctrl+", scNone},
      {L"Hyper+X", scNone},
      {L"Ctrl+Foo", scNone},
      {L"F25", scNone},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TextToShortCut(c.Text), c.Value) << ToUtf8(c.Text);
  EXPECT_EQ(ShortCut(0x1234, ssCtrl), scNone);
  EXPECT_EQ(ShortCutToText(scCtrl), L"") << "no key";
}

TEST(MenuHotkey, TheCharacterAfterASingleAmpersand) {
  EXPECT_EQ(GetHotkey(L"&Open"), L'O');
  EXPECT_EQ(GetHotkey(L"Save &as"), L'A');
  EXPECT_EQ(GetHotkey(L"Fish && &chips"), L'C');
  EXPECT_EQ(GetHotkey(L"Fish && chips"), 0);
  EXPECT_EQ(GetHotkey(L"Trailing&"), 0);
}

} // namespace
} // namespace telvora
