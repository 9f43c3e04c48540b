#include "platform/FormReader.h"

#include "platform/Controls.h"

#include <cstdint>
#include <cwctype>
#include <vector>

namespace telvora {

namespace {

class TParser {
public:
  explicit TParser(const std::wstring& text) : FText(text) {}

  TFormNode ParseObject() {
    ExpectWord(L"object");
    TFormNode node;
    node.Name = ReadIdentifier();
    SkipBlanks();
    Expect(L':');
    node.ClassName = ReadIdentifier();
    for (;;) {
      SkipBlanks();
      std::wstring word = PeekIdentifier();
      if (word == L"end") {
        ReadIdentifier();
        return node;
      }
      if (word == L"object") {
        node.Children.push_back(ParseObject());
        continue;
      }
      if (word.empty())
        Fail(L"Property name expected");
      std::wstring path = ReadIdentifier();
      SkipBlanks();
      Expect(L'=');
      node.Properties.emplace_back(path, ReadValue());
    }
  }

  void ExpectEnd() {
    SkipBlanks();
    if (FPos < FText.size())
      Fail(L"Unexpected text after end");
  }

private:
  [[noreturn]] void Fail(const std::wstring& what) const {
    throw EReadError(what + L" on line " + IntToStr(FLine));
  }

  void SkipBlanks() {
    while (FPos < FText.size() && std::iswspace(FText[FPos])) {
      if (FText[FPos] == L'\n')
        ++FLine;
      ++FPos;
    }
  }

  void Expect(wchar_t c) {
    SkipBlanks();
    if (FPos >= FText.size() || FText[FPos] != c)
      Fail(std::wstring(L"'") + c + L"' expected");
    ++FPos;
  }

  std::wstring PeekIdentifier() {
    size_t save = FPos;
    int line = FLine;
    std::wstring word = TryIdentifier();
    FPos = save;
    FLine = line;
    return word;
  }

  std::wstring TryIdentifier() {
    SkipBlanks();
    size_t start = FPos;
    while (FPos < FText.size() &&
           (std::iswalnum(FText[FPos]) || FText[FPos] == L'_' || FText[FPos] == L'.'))
      ++FPos;
    return FText.substr(start, FPos - start);
  }

  std::wstring ReadIdentifier() {
    std::wstring word = TryIdentifier();
    if (word.empty() || std::iswdigit(word[0]))
      Fail(L"Identifier expected");
    return word;
  }

  void ExpectWord(const std::wstring& word) {
    if (ReadIdentifier() != word)
      Fail(word + L" expected");
  }

  std::wstring ReadStringPart() {
    std::wstring result;
    for (;;) {
      if (FPos < FText.size() && FText[FPos] == L'\'') {
        ++FPos;
        for (;;) {
          if (FPos >= FText.size() || FText[FPos] == L'\n')
            Fail(L"Unterminated string");
          if (FText[FPos] == L'\'') {
            if (FPos + 1 < FText.size() && FText[FPos + 1] == L'\'') {
              result += L'\'';
              FPos += 2;
              continue;
            }
            ++FPos;
            break;
          }
          result += FText[FPos++];
        }
      } else if (FPos < FText.size() && FText[FPos] == L'#') {
        ++FPos;
        size_t start = FPos;
        while (FPos < FText.size() && std::iswdigit(FText[FPos]))
          ++FPos;
        if (start == FPos)
          Fail(L"Character code expected");
        unsigned long code = std::stoul(FText.substr(start, FPos - start));
        if (code > 0xFFFF)
          Fail(L"Character code too large");
        result += static_cast<wchar_t>(code);
      } else {
        return result;
      }
    }
  }

  static int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
      return c - L'0';
    if (c >= L'A' && c <= L'F')
      return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
      return c - L'a' + 10;
    return -1;
  }

  // The bytes of a binary value up to its closing brace: hex digit pairs,
  // blanks and line breaks anywhere between the digits.
  std::vector<std::uint8_t> ReadHexDigits() {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (;;) {
      SkipBlanks();
      if (FPos >= FText.size())
        Fail(L"'}' expected");
      wchar_t c = FText[FPos];
      if (c == L'}') {
        if (high >= 0)
          Fail(L"Odd number of hex digits");
        ++FPos;
        return bytes;
      }
      int digit = HexDigit(c);
      if (digit < 0)
        Fail(L"Hex digit expected");
      ++FPos;
      if (high < 0) {
        high = digit;
      } else {
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
        high = -1;
      }
    }
  }

  TPropertyValue ReadValue() {
    SkipBlanks();
    TPropertyValue value;
    if (FPos >= FText.size())
      Fail(L"Value expected");
    wchar_t c = FText[FPos];
    if (c == L'\'' || c == L'#') {
      value.Kind = TPropertyValue::TKind::String;
      value.Text = ReadStringPart();
      for (;;) {
        SkipBlanks();
        if (FPos < FText.size() && FText[FPos] == L'+') {
          ++FPos;
          SkipBlanks();
          value.Text += ReadStringPart();
        } else {
          break;
        }
      }
    } else if (c == L'-' || std::iswdigit(c)) {
      size_t start = FPos++;
      while (FPos < FText.size() && std::iswdigit(FText[FPos]))
        ++FPos;
      std::wstring digits = FText.substr(start, FPos - start);
      if (digits == L"-" || digits.size() > 12)
        Fail(L"Invalid integer");
      value.Kind = TPropertyValue::TKind::Integer;
      value.Integer = std::stoll(digits);
    } else if (c == L'{') {
      ++FPos;
      value.Kind = TPropertyValue::TKind::Binary;
      value.Bytes = ReadHexDigits();
    } else if (c == L'[') {
      ++FPos;
      value.Kind = TPropertyValue::TKind::Set;
      SkipBlanks();
      if (FPos < FText.size() && FText[FPos] == L']') {
        ++FPos;
      } else {
        for (;;) {
          value.Items.push_back(ReadIdentifier());
          SkipBlanks();
          if (FPos < FText.size() && FText[FPos] == L',') {
            ++FPos;
            continue;
          }
          Expect(L']');
          break;
        }
      }
    } else {
      value.Kind = TPropertyValue::TKind::Identifier;
      value.Text = ReadIdentifier();
    }
    return value;
  }

  const std::wstring& FText;
  size_t FPos = 0;
  int FLine = 1;
};

void ApplyProperties(TComponent* root, TComponent* component, const TFormNode& node) {
  for (const auto& [path, raw] : node.Properties) {
    TPropertyValue value = raw;
    if (path.rfind(L"On", 0) == 0 && value.Kind == TPropertyValue::TKind::Identifier) {
      value.Method = root->FindMethod(value.Text);
      if (!value.Method)
        throw EReadError(L"Invalid property value: method " + value.Text + L" not found");
    }
    if (!component->SetProperty(path, value))
      throw EReadError(L"Error reading " + node.Name + L"." + path + L": Property " + path +
                       L" does not exist");
  }
}

// Creates the children of `node`, whose component is `container`: a child
// of a control is parented to it, a child of any other component is given
// to that component (AddChildComponent).
void ReadChildren(TComponent* root, TComponent* container, const TFormNode& node,
                  std::vector<TComponent*>& loaded) {
  auto* parent = dynamic_cast<TWinControl*>(container);
  for (const TFormNode& child : node.Children) {
    TComponentFactory factory = FindComponentClass(child.ClassName);
    if (!factory)
      throw EReadError(L"Class " + child.ClassName + L" not found");
    TComponent* component = factory(root);
    component->BeginLoading();
    component->SetName(child.Name);
    loaded.push_back(component);
    if (parent == nullptr)
      container->AddChildComponent(component);
    else if (auto* control = dynamic_cast<TWinControl*>(component))
      control->SetParent(parent);
    ApplyProperties(root, component, child);
    ReadChildren(root, component, child, loaded);
  }
}

} // namespace

TFormNode ParseFormDescription(const std::wstring& text) {
  TParser parser(text);
  TFormNode node = parser.ParseObject();
  parser.ExpectEnd();
  return node;
}

void ReadComponent(TComponent* root, const TFormNode& node) {
  std::vector<TComponent*> loaded{root};
  root->BeginLoading();
  root->SetName(node.Name);
  ApplyProperties(root, root, node);
  ReadChildren(root, root, node, loaded);
  for (TComponent* component : loaded)
    component->Loaded();
}

void ReadComponentResource(TComponent* root, const std::wstring& resourceName) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, resourceName.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (info == nullptr)
    throw EReadError(L"Resource " + resourceName + L" not found");
  HGLOBAL data = LoadResource(module, info);
  DWORD size = SizeofResource(module, info);
  const char* bytes = static_cast<const char*>(LockResource(data));
  if (bytes == nullptr)
    throw EReadError(L"Resource " + resourceName + L" not found");
  std::string utf8(bytes, size);
  if (utf8.rfind("\xEF\xBB\xBF", 0) == 0)
    utf8.erase(0, 3);
  ReadComponent(root, ParseFormDescription(FromUtf8(utf8)));
}

} // namespace telvora
