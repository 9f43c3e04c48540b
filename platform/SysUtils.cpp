#include "platform/SysUtils.h"

#include "platform/Handles.h"

namespace telvora {

const char* Exception::what() const noexcept {
  try {
    if (FWhat.empty())
      FWhat = ToUtf8(FMessage);
  } catch (...) {
    return "exception";
  }
  return FWhat.c_str();
}

TSysLocale& SysLocale() {
  static TSysLocale locale{GetSystemMetrics(SM_MIDEASTENABLED) != 0};
  return locale;
}

std::wstring Format(const std::wstring& format, std::initializer_list<std::wstring> args) {
  std::wstring result;
  result.reserve(format.size());
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == L'%' && i + 1 < format.size() && format[i + 1] == L's' && next != args.end()) {
      result += *next++;
      ++i;
    } else {
      result += format[i];
    }
  }
  return result;
}

std::wstring IntToStr(long long value) {
  return std::to_wstring(value);
}

bool SameText(std::wstring_view A, std::wstring_view B) noexcept {
  return CompareStringOrdinal(A.data(), static_cast<int>(A.size()), B.data(),
                              static_cast<int>(B.size()), TRUE) == CSTR_EQUAL;
}

std::wstring SysErrorMessage(DWORD errorCode) {
  LPWSTR buffer = nullptr;
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY;
  DWORD length =
      FormatMessageW(flags, nullptr, errorCode, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  TLocalMemory owner(buffer);
  if (length == 0 || buffer == nullptr)
    return {};
  while (length > 0 && (buffer[length - 1] <= L' ' || buffer[length - 1] == L'.'))
    --length;
  return std::wstring(buffer, length);
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty())
    return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                      nullptr, nullptr);
  return result;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty())
    return {};
  int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

} // namespace telvora
