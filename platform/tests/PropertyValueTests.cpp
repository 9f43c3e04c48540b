// Reading property values: booleans, colours, enumerators and sets by name
// (case ignored, identifiers only), numbers and their faults.

#include "platform/PropertyValue.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

namespace telvora {
namespace {

TPropertyValue Identifier(const wchar_t* AName) {
  TPropertyValue value;
  value.Kind = TPropertyValue::TKind::Identifier;
  value.Text = AName;
  return value;
}

TPropertyValue Text(const wchar_t* AText) {
  TPropertyValue value;
  value.Kind = TPropertyValue::TKind::String;
  value.Text = AText;
  return value;
}

TPropertyValue Number(long long AValue) {
  TPropertyValue value;
  value.Kind = TPropertyValue::TKind::Integer;
  value.Integer = AValue;
  return value;
}

TPropertyValue Set(std::vector<std::wstring> AItems) {
  TPropertyValue value;
  value.Kind = TPropertyValue::TKind::Set;
  value.Items = std::move(AItems);
  return value;
}

std::string Shown(const TPropertyValue& AValue) {
  return ToUtf8(AValue.Text) + " (kind " + std::to_string(static_cast<int>(AValue.Kind)) + ")";
}

TEST(PropertyValue, Booleans) {
  const struct {
    TPropertyValue Value;
    std::optional<bool> Expected; // none: an EReadError
  } rows[] = {
      {Identifier(L"True"), true}, {Identifier(L"False"), false},
      {Identifier(L"true"), true}, {Identifier(L"FALSE"), false},
      {Identifier(L"Yes"), {}},    {Identifier(L"Truth"), {}},
      {Text(L"True"), {}},         {Number(1), {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Shown(row.Value));
    if (row.Expected)
      EXPECT_EQ(row.Value.AsBoolean(), *row.Expected);
    else
      EXPECT_THROW(row.Value.AsBoolean(), EReadError);
  }
}

TEST(PropertyValue, Colours) {
  const struct {
    TPropertyValue Value;
    std::optional<TColor> Expected;
  } rows[] = {
      {Number(0x00123456), 0x00123456},
      {Number(clBtnFace), clBtnFace},
      {Identifier(L"clBtnFace"), clBtnFace},
      {Identifier(L"CLBTNFACE"), clBtnFace},
      {Identifier(L"clred"), clRed},
      {Identifier(L"clNone"), clNone},
      {Identifier(L"clDefault"), clDefault},
      {Identifier(L"clNoSuchColour"), {}},
      {Text(L"clRed"), {}},
      {Set({L"clRed"}), {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Shown(row.Value));
    if (row.Expected)
      EXPECT_EQ(row.Value.AsColor(), *row.Expected);
    else
      EXPECT_THROW(row.Value.AsColor(), EReadError);
  }
}

enum TKindForTest { kFirst, kSecond, kThird };

TEST(PropertyValue, Enumerators) {
  static constexpr const wchar_t* kNames[] = {L"tkFirst", L"tkSecond", L"tkThird"};
  const struct {
    TPropertyValue Value;
    int Index; // -1: none of the names
  } rows[] = {
      {Identifier(L"tkFirst"), 0},  {Identifier(L"tkThird"), 2},   {Identifier(L"TKSECOND"), 1},
      {Identifier(L"tksecond"), 1}, {Identifier(L"tkFourth"), -1}, {Identifier(L"tk"), -1},
      {Identifier(L""), -1},        {Text(L"tkFirst"), -1},        {Number(1), -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Shown(row.Value));
    EXPECT_EQ(row.Value.IndexOfName(kNames), row.Index);
    if (row.Index >= 0) {
      EXPECT_EQ(row.Value.AsEnumeration(kNames), row.Index);
      EXPECT_EQ(row.Value.AsEnumeration<TKindForTest>({L"tkFirst", L"tkSecond", L"tkThird"}),
                static_cast<TKindForTest>(row.Index));
    } else {
      EXPECT_THROW(row.Value.AsEnumeration(kNames), EReadError);
    }
  }
}

TEST(PropertyValue, Sets) {
  static constexpr const wchar_t* kNames[] = {L"fsBold", L"fsItalic", L"fsUnderline"};
  EXPECT_EQ(Set({}).AsSet(kNames), 0u);
  EXPECT_EQ(Set({L"fsBold", L"fsUnderline"}).AsSet(kNames), 0b101u);
  EXPECT_EQ(Set({L"FSITALIC", L"fsItalic"}).AsSet(kNames), 0b010u);
  EXPECT_THROW(Set({L"fsBold", L"fsShadow"}).AsSet(kNames), EReadError);
  EXPECT_THROW(Identifier(L"fsBold").AsSet(kNames), EReadError);
}

TEST(PropertyValue, NumbersTextsAndBytes) {
  EXPECT_EQ(Number(-5).AsInteger(), -5);
  EXPECT_EQ(Number(INT_MAX).AsInteger(), INT_MAX);
  EXPECT_THROW(Number(static_cast<long long>(INT_MAX) + 1).AsInteger(), EReadError);
  EXPECT_THROW(Number(static_cast<long long>(INT_MIN) - 1).AsInteger(), EReadError);
  EXPECT_THROW(Identifier(L"Five").AsInteger(), EReadError);
  EXPECT_EQ(Text(L"Kopyala").AsString(), L"Kopyala");
  EXPECT_EQ(Identifier(L"btnKopyala").AsString(), L"btnKopyala");
  EXPECT_THROW(Number(1).AsString(), EReadError);
  TPropertyValue bytes;
  bytes.Kind = TPropertyValue::TKind::Binary;
  bytes.Bytes = {1, 2, 3};
  EXPECT_EQ(bytes.AsBytes().size(), 3u);
  EXPECT_THROW(Text(L"010203").AsBytes(), EReadError);
}

} // namespace
} // namespace telvora
