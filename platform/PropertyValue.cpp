#include "platform/PropertyValue.h"

#include "platform/SysUtils.h"

#include <climits>

namespace telvora {

namespace {
[[noreturn]] void InvalidValue() {
  throw EReadError(L"Invalid property value");
}

int IndexOfIdentifier(std::span<const wchar_t* const> ANames, std::wstring_view AName) {
  for (size_t i = 0; i < ANames.size(); ++i)
    if (SameText(ANames[i], AName))
      return static_cast<int>(i);
  return -1;
}
} // namespace

bool TPropertyValue::AsBoolean() const {
  if (Kind == TKind::Identifier) {
    if (SameText(Text, L"True"))
      return true;
    if (SameText(Text, L"False"))
      return false;
  }
  InvalidValue();
}

int TPropertyValue::AsInteger() const {
  if (Kind != TKind::Integer || Integer < INT_MIN || Integer > INT_MAX)
    InvalidValue();
  return static_cast<int>(Integer);
}

const std::wstring& TPropertyValue::AsString() const {
  if (Kind != TKind::String && Kind != TKind::Identifier)
    InvalidValue();
  return Text;
}

const std::vector<std::uint8_t>& TPropertyValue::AsBytes() const {
  if (Kind != TKind::Binary)
    InvalidValue();
  return Bytes;
}

TColor TPropertyValue::AsColor() const {
  if (Kind == TKind::Integer)
    return static_cast<TColor>(Integer);
  TColor color = clNone;
  if (Kind != TKind::Identifier || !IdentToColor(Text, color))
    InvalidValue();
  return color;
}

int TPropertyValue::IndexOfName(std::span<const wchar_t* const> ANames) const {
  return Kind == TKind::Identifier ? IndexOfIdentifier(ANames, Text) : -1;
}

int TPropertyValue::AsEnumeration(std::span<const wchar_t* const> ANames) const {
  const int index = IndexOfName(ANames);
  if (index < 0)
    InvalidValue();
  return index;
}

std::uint32_t TPropertyValue::AsSet(std::span<const wchar_t* const> ANames) const {
  if (Kind != TKind::Set)
    InvalidValue();
  std::uint32_t bits = 0;
  for (const std::wstring& item : Items) {
    const int index = IndexOfIdentifier(ANames, item);
    if (index < 0 || index >= 32)
      InvalidValue();
    bits |= std::uint32_t{1} << index;
  }
  return bits;
}

} // namespace telvora
