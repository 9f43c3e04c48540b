#include "platform/Variant.h"

namespace telvora {

std::wstring TVariant::ToString() const {
  struct TVisitor {
    std::wstring operator()(std::monostate) const { return {}; }
    std::wstring operator()(const std::wstring& text) const { return text; }
    std::wstring operator()(long long value) const { return std::to_wstring(value); }
    std::wstring operator()(bool value) const { return value ? L"True" : L"False"; }
  };
  return std::visit(TVisitor{}, FValue);
}

} // namespace telvora
