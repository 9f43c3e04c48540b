#pragma once
// Exceptions and string helpers of the run-time.

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <string_view>

namespace telvora {

// Base of every exception the program raises. The message is the text the
// user sees; an exception may wrap an inner one.
class Exception : public std::exception {
public:
  explicit Exception(std::wstring message) : FMessage(std::move(message)) {}
  Exception(std::wstring message, std::shared_ptr<Exception> inner)
      : FMessage(std::move(message)), FInnerException(std::move(inner)) {}

  const std::wstring& Message() const noexcept { return FMessage; }
  const Exception* InnerException() const noexcept { return FInnerException.get(); }
  const char* what() const noexcept override;

private:
  std::wstring FMessage;
  std::shared_ptr<Exception> FInnerException;
  mutable std::string FWhat;
};

// The silent exception: handlers ignore it.
class EAbort : public Exception {
public:
  EAbort() : Exception(L"Operation aborted") {}
};

class EOutOfMemory : public Exception {
public:
  using Exception::Exception;
};

class EOutOfResources : public EOutOfMemory {
public:
  using EOutOfMemory::EOutOfMemory;
};

class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// Raised when a form description cannot be read.
class EReadError : public Exception {
public:
  using Exception::Exception;
};

// Replaces each "%s" of `format` by the next argument, in order.
// The system locale as the framework sees it. MiddleEast: the system has
// right-to-left languages enabled (SM_MIDEASTENABLED), read at first use;
// only then does a control's BiDiMode change its alignment or reading order.
struct TSysLocale {
  bool MiddleEast = false;
};
TSysLocale& SysLocale();

std::wstring Format(const std::wstring& format, std::initializer_list<std::wstring> args);

std::wstring IntToStr(long long value);

// Whether two texts are the same, case ignored: an ordinal comparison, as
// Windows compares identifiers and file names.
bool SameText(std::wstring_view A, std::wstring_view B) noexcept;

// The system's message text for a Windows error code, with trailing blanks,
// control characters and periods removed; empty when the system has none.
std::wstring SysErrorMessage(DWORD errorCode);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

} // namespace telvora
