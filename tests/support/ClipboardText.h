#pragma once
// The text on the real clipboard: reading it as another program would,
// putting a text there, and the clipboard's sequence number.

#include "tests/support/WaitUntil.h"

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

namespace telvora::testing {

struct TClipboardText {
  std::wstring Text;       // up to the first zero character
  size_t Bytes = 0;        // the size of the data block
  bool Terminated = false; // the block ends in one zero character after Text
};

// Reads CF_UNICODETEXT; nothing when the clipboard holds none or cannot be
// opened within the timeout.
std::optional<TClipboardText> ReadClipboardText(TDuration timeout = 2s);
// Puts a text on the clipboard (owned by no window); answers success.
bool WriteClipboardText(const std::wstring& text);
DWORD ClipboardSequence();

} // namespace telvora::testing
