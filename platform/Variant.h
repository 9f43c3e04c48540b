#pragma once
// A small variant: empty, text, integer or boolean, convertible to text.

#include <string>
#include <variant>

namespace telvora {

class TVariant {
public:
  TVariant() = default;
  TVariant(std::wstring text) : FValue(std::move(text)) {}
  TVariant(long long value) : FValue(value) {}
  TVariant(bool value) : FValue(value) {}

  bool IsEmpty() const noexcept { return std::holds_alternative<std::monostate>(FValue); }
  bool IsString() const noexcept { return std::holds_alternative<std::wstring>(FValue); }
  // The value as text: empty gives "", booleans "True" / "False".
  std::wstring ToString() const;

private:
  std::variant<std::monostate, std::wstring, long long, bool> FValue;
};

} // namespace telvora
