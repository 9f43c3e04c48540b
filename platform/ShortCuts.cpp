#include "platform/ShortCuts.h"

#include <cwchar>

namespace telvora {

namespace {

// The names of the keys a shortcut may have, as ShortCutToText writes them.
std::wstring KeyName(WORD key) {
  if ((key >= L'0' && key <= L'9') || (key >= L'A' && key <= L'Z'))
    return std::wstring(1, static_cast<wchar_t>(key));
  if (key >= VK_F1 && key <= VK_F24)
    return L"F" + std::to_wstring(key - VK_F1 + 1);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
    return L"Num " + std::to_wstring(key - VK_NUMPAD0);
  switch (key) {
  case VK_BACK:
    return L"BkSp";
  case VK_TAB:
    return L"Tab";
  case VK_RETURN:
    return L"Enter";
  case VK_ESCAPE:
    return L"Esc";
  case VK_SPACE:
    return L"Space";
  case VK_PRIOR:
    return L"PgUp";
  case VK_NEXT:
    return L"PgDn";
  case VK_END:
    return L"End";
  case VK_HOME:
    return L"Home";
  case VK_LEFT:
    return L"Left";
  case VK_UP:
    return L"Up";
  case VK_RIGHT:
    return L"Right";
  case VK_DOWN:
    return L"Down";
  case VK_INSERT:
    return L"Ins";
  case VK_DELETE:
    return L"Del";
  case VK_PAUSE:
    return L"Pause";
  case VK_APPS:
    return L"Apps";
  case VK_MULTIPLY:
    return L"Num *";
  case VK_ADD:
    return L"Num +";
  case VK_SUBTRACT:
    return L"Num -";
  case VK_DECIMAL:
    return L"Num .";
  case VK_DIVIDE:
    return L"Num /";
  default:
    break;
  }
  // Punctuation keys: the character the keyboard layout gives them.
  if (key >= VK_OEM_1 && key <= VK_OEM_102) {
    const UINT character = MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & 0x7FFF;
    if (character > L' ')
      return std::wstring(1, static_cast<wchar_t>(character));
  }
  return {};
}

bool StartsWithNoCase(const std::wstring& text, size_t at, const wchar_t* prefix) {
  const size_t length = wcslen(prefix);
  return text.size() - at >= length && _wcsnicmp(text.c_str() + at, prefix, length) == 0;
}

} // namespace

TShortCut ShortCut(WORD AKey, TShiftState AShift) {
  if (AKey == 0 || (AKey & 0xFF00) != 0)
    return scNone;
  TShortCut result = AKey;
  if (AShift & ssShift)
    result |= scShift;
  if (AShift & ssCtrl)
    result |= scCtrl;
  if (AShift & ssAlt)
    result |= scAlt;
  return result;
}

std::wstring ShortCutToText(TShortCut AShortCut) {
  const std::wstring name = KeyName(AShortCut & 0xFF);
  if (name.empty())
    return {};
  std::wstring text;
  if (AShortCut & scCtrl)
    text += L"Ctrl+";
  if (AShortCut & scAlt)
    text += L"Alt+";
  if (AShortCut & scShift)
    text += L"Shift+";
  return text + name;
}

TShortCut TextToShortCut(const std::wstring& AText) {
  TShortCut modifiers = 0;
  size_t at = 0;
  for (;;) {
    if (StartsWithNoCase(AText, at, L"Ctrl+")) {
      modifiers |= scCtrl;
      at += 5;
    } else if (StartsWithNoCase(AText, at, L"Alt+")) {
      modifiers |= scAlt;
      at += 4;
    } else if (StartsWithNoCase(AText, at, L"Shift+")) {
      modifiers |= scShift;
      at += 6;
    } else {
      break;
    }
  }
  const std::wstring key = AText.substr(at);
  if (key.empty())
    return scNone;
  for (WORD vk = 1; vk < 256; ++vk) {
    const std::wstring name = KeyName(vk);
    if (!name.empty() && _wcsicmp(name.c_str(), key.c_str()) == 0)
      return static_cast<TShortCut>(vk | modifiers);
  }
  return scNone;
}

wchar_t GetHotkey(const std::wstring& ACaption) {
  for (size_t i = 0; i + 1 < ACaption.size(); ++i) {
    if (ACaption[i] != L'&')
      continue;
    if (ACaption[i + 1] == L'&') {
      ++i;
      continue;
    }
    wchar_t c = ACaption[i + 1];
    CharUpperBuffW(&c, 1);
    return c;
  }
  return 0;
}

} // namespace telvora
