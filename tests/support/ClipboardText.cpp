#include "tests/support/ClipboardText.h"

#include "platform/Handles.h"
#include "tests/support/PhysicalPixels.h"

#include <cstring>

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kClipboardTextPixels = &gPhysicalPixels;

namespace {

// OpenClipboard / CloseClipboard pair.
class TOpenClipboard {
public:
  explicit TOpenClipboard(TDuration timeout) {
    FOpen = WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, timeout);
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  ~TOpenClipboard() {
    if (FOpen)
      CloseClipboard();
  }
  bool IsOpen() const noexcept { return FOpen; }

private:
  bool FOpen = false;
};

} // namespace

std::optional<TClipboardText> ReadClipboardText(TDuration timeout) {
  TOpenClipboard clipboard(timeout);
  if (!clipboard.IsOpen())
    return std::nullopt;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr)
    return std::nullopt;
  TGlobalLock lock(data);
  if (lock.Data() == nullptr)
    return std::nullopt;
  TClipboardText result;
  result.Bytes = GlobalSize(data);
  const auto* chars = static_cast<const wchar_t*>(lock.Data());
  const size_t count = result.Bytes / sizeof(wchar_t);
  size_t length = 0;
  while (length < count && chars[length] != L'\0')
    ++length;
  result.Text.assign(chars, length);
  result.Terminated = length < count && result.Bytes == (length + 1) * sizeof(wchar_t);
  return result;
}

bool WriteClipboardText(const std::wstring& text) {
  TOpenClipboard clipboard(2s);
  if (!clipboard.IsOpen() || !EmptyClipboard())
    return false;
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  TGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!block)
    return false;
  {
    TGlobalLock lock(block.Get());
    if (lock.Data() == nullptr)
      return false;
    std::memcpy(lock.Data(), text.c_str(), bytes);
  }
  if (SetClipboardData(CF_UNICODETEXT, block.Get()) == nullptr)
    return false;
  block.Release(); // the system's now
  return true;
}

DWORD ClipboardSequence() {
  return GetClipboardSequenceNumber();
}

} // namespace telvora::testing
