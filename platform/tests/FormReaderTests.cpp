#include "platform/FormReader.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(FormDescription, ParsesValuesOfEveryKind) {
  TFormNode node = ParseFormDescription(L"object f: TForm\n"
                                        L"  Caption = 'It''s' + #65 + 'B'\n"
                                        L"  Font.Height = -11\n"
                                        L"  Font.Style = [fsBold, fsItalic]\n"
                                        L"  Empty = []\n"
                                        L"  Flag = True\n"
                                        L"  object b: TButton\n"
                                        L"    OnClick = bClick\n"
                                        L"  end\n"
                                        L"end\n");
  EXPECT_EQ(node.Name, L"f");
  EXPECT_EQ(node.ClassName, L"TForm");
  ASSERT_EQ(node.Properties.size(), 5u);
  EXPECT_EQ(node.Properties[0].first, L"Caption");
  EXPECT_EQ(node.Properties[0].second.AsString(), L"It'sAB");
  EXPECT_EQ(node.Properties[1].first, L"Font.Height");
  EXPECT_EQ(node.Properties[1].second.AsInteger(), -11);
  EXPECT_EQ(node.Properties[2].second.Items, (std::vector<std::wstring>{L"fsBold", L"fsItalic"}));
  EXPECT_TRUE(node.Properties[3].second.Items.empty());
  EXPECT_TRUE(node.Properties[4].second.AsBoolean());
  ASSERT_EQ(node.Children.size(), 1u);
  EXPECT_EQ(node.Children[0].Properties[0].second.Text, L"bClick");
}

TEST(FormDescription, FaultsNameTheirLine) {
  const struct {
    const wchar_t* Text;
    const wchar_t* Message;
  } cases[] = {
      {L"object f: TForm\n  Caption = 'open\nend", L"Unterminated string on line 2"},
      {L"object f TForm\nend", L"':' expected on line 1"},
      {L"object f: TForm\n  X = )\nend", L"Identifier expected on line 2"},
      {L"object f: TForm\n  X = 1\n", L"Property name expected on line 3"},
      {L"object f: TForm\nend\nextra", L"Unexpected text after end on line 3"},
      {L"object f: TForm\n  X = #99999\nend", L"Character code too large on line 2"},
  };
  for (const auto& c : cases) {
    try {
      ParseFormDescription(c.Text);
      ADD_FAILURE() << "accepted: " << ToUtf8(c.Text);
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.Message) << ToUtf8(c.Text);
    }
  }
}

TEST(FormDescription, UnknownPropertyOrClassIsAnError) {
  class TProbe : public TComponent {
  public:
    TProbe() : TComponent(nullptr) {}
    std::wstring ClassName() const override { return L"TProbe"; }
  };
  TProbe probe;
  try {
    ReadComponent(&probe, ParseFormDescription(L"object p: TProbe\n  Nope = 1\nend"));
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), L"Error reading p.Nope: Property Nope does not exist");
  }
  try {
    ReadComponent(&probe,
                  ParseFormDescription(L"object p: TProbe\n  object q: TNoSuchClass\n  end\nend"));
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), L"Class TNoSuchClass not found");
  }
}

} // namespace
} // namespace telvora
