#pragma once
// A property value as a form description writes it, and the one way to read
// it: a number, a text, a name (of an enumerator, of a colour, True or
// False), a set of names, or bytes.
//
// Names are identifiers of the form language and are matched ignoring case,
// as the language matches all its identifiers (component names, True and
// False): "clBtnFace" and "CLBTNFACE" name the same colour. A name is
// written as an identifier, never as a quoted text. A value of the wrong
// kind, or a name that is none of those the property knows, is an
// EReadError "Invalid property value".

#include "platform/Graphics.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace telvora {

class TObject;
using TNotifyEvent = std::function<void(TObject* Sender)>;

struct TPropertyValue {
  enum class TKind { Integer, String, Identifier, Set, Binary };
  TKind Kind = TKind::Integer;
  long long Integer = 0;
  std::wstring Text;               // String and Identifier
  std::vector<std::wstring> Items; // Set
  std::vector<std::uint8_t> Bytes; // Binary
  TNotifyEvent Method;             // an event property's handler, resolved by the reader

  // True or False.
  bool AsBoolean() const;
  int AsInteger() const;
  // A text, or an identifier as it is written.
  const std::wstring& AsString() const;
  const std::vector<std::uint8_t>& AsBytes() const;
  // A number, or the name of a colour (clBtnFace, clRed, ...).
  TColor AsColor() const;
  // The position of the name among ANames; -1 when the value is no name or
  // none of them.
  int IndexOfName(std::span<const wchar_t* const> ANames) const;
  // The position of the name among ANames, the enumerators in order.
  int AsEnumeration(std::span<const wchar_t* const> ANames) const;
  template <class TEnum> TEnum AsEnumeration(std::initializer_list<const wchar_t*> ANames) const {
    return static_cast<TEnum>(
        AsEnumeration(std::span<const wchar_t* const>(ANames.begin(), ANames.size())));
  }
  // A set of names: bit i stands for ANames[i] (at most 32 names).
  std::uint32_t AsSet(std::span<const wchar_t* const> ANames) const;
};

} // namespace telvora
