#pragma once
// The clipboard access object: a counted open shared by nested operations,
// emptying the clipboard once per outermost open, just before the first data
// is set.

#include "platform/SysUtils.h"

#include <memory>
#include <string>

namespace telvora {

class TUtilWindow;

class EClipboardException : public Exception {
public:
  using Exception::Exception;
};

class TClipboard {
public:
  TClipboard() = default;
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;
  ~TClipboard();

  void Open();
  void Close();
  void Clear();
  // Places `size` bytes from `buffer` on the clipboard in `format`.
  void SetBuffer(UINT format, const void* buffer, size_t size);
  // The text as CF_UNICODETEXT with its terminating zero.
  void SetAsText(const std::wstring& value);

  int OpenRefCount() const noexcept { return FOpenRefCount; }
  HWND ClipboardWindow() const noexcept { return FClipboardWindow; }

private:
  void Adding();

  int FOpenRefCount = 0;
  HWND FClipboardWindow = nullptr;
  // The window made for the open when the application has none.
  std::unique_ptr<TUtilWindow> FOwnWindow;
  bool FEmptied = false;
};

// The process's clipboard object, created on first use; none after the
// framework has shut down.
TClipboard* Clipboard();
void DoneClipboard();

} // namespace telvora
