// Binary property values in form descriptions: hex digit pairs in braces.

#include "platform/FormReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace telvora {
namespace {

using TBytes = std::vector<std::uint8_t>;

// The description written the way a form carries data: upper-case hex, a
// line break after every `perLine` bytes.
std::wstring HexLines(const TBytes& bytes, size_t perLine) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring text = L"{";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % perLine == 0)
      text += L"\n      ";
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text + L"}";
}

class TDataProbe : public TComponent {
public:
  TDataProbe() : TComponent(nullptr) {}
  std::wstring ClassName() const override { return L"TDataProbe"; }
  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override {
    if (path == L"Glyph.Data") {
      Data = value.AsBytes();
      return true;
    }
    if (path == L"Tag") {
      Tag = value.AsInteger();
      return true;
    }
    return TComponent::SetProperty(path, value);
  }
  TBytes Data;
  int Tag = 0;
};

TEST(FormBinaryValue, BytesComeBackAsWritten) {
  TBytes bytes;
  for (int i = 0; i < 300; ++i)
    bytes.push_back(static_cast<std::uint8_t>(i * 37 + 11));
  TDataProbe probe;
  ReadComponent(&probe, ParseFormDescription(L"object p: TDataProbe\n  Glyph.Data = " +
                                             HexLines(bytes, 32) + L"\n  Tag = 7\nend\n"));
  EXPECT_EQ(probe.Data, bytes);
  EXPECT_EQ(probe.Tag, 7); // the value after the data is read as usual
}

TEST(FormBinaryValue, DigitsMayBeSplitAnyhowAndInEitherCase) {
  const struct {
    const wchar_t* Value;
    TBytes Bytes;
  } cases[] = {
      {L"{}", {}},
      {L"{ }", {}},
      {L"{89504e47}", {0x89, 0x50, 0x4E, 0x47}},
      {L"{ 0\n  A ff\r\n\t10 }", {0x0A, 0xFF, 0x10}},
  };
  for (const auto& c : cases) {
    TFormNode node =
        ParseFormDescription(L"object p: TDataProbe\n  D = " + std::wstring(c.Value) + L"\nend");
    ASSERT_EQ(node.Properties.size(), 1u);
    const TPropertyValue& value = node.Properties[0].second;
    EXPECT_EQ(value.Kind, TPropertyValue::TKind::Binary);
    EXPECT_EQ(value.AsBytes(), c.Bytes) << ToUtf8(c.Value);
  }
}

TEST(FormBinaryValue, FaultsNameTheirLine) {
  const struct {
    const wchar_t* Text;
    const wchar_t* Message;
  } cases[] = {
      {L"object p: T\n  D = {0A\n 0}\nend", L"Odd number of hex digits on line 3"},
      {L"object p: T\n  D = {0A\n\n 0G}\nend", L"Hex digit expected on line 4"},
      {L"object p: T\n  D = {0A 'x'}\nend", L"Hex digit expected on line 2"},
      {L"object p: T\n  D = {0A\n  0B\n", L"'}' expected on line 4"},
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

TEST(FormBinaryValue, OtherKindsAreNotBytesAndBytesAreNoText) {
  TDataProbe probe;
  EXPECT_THROW(
      ReadComponent(&probe, ParseFormDescription(L"object p: TDataProbe\n  Glyph.Data = 'x'\nend")),
      EReadError);
  EXPECT_THROW(
      ReadComponent(&probe, ParseFormDescription(L"object p: TDataProbe\n  Tag = {01}\nend")),
      EReadError);
}

} // namespace
} // namespace telvora
