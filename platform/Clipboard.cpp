#include "platform/Clipboard.h"

#include "platform/Application.h"
#include "platform/Handles.h"
#include "platform/UtilWindow.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

namespace telvora {

namespace {
TClipboard* gClipboard = nullptr;
bool gClipboardDone = false;

// Another program may hold the clipboard for a moment (clipboard history
// tools read every change as it happens): a refused open is tried again
// every few milliseconds, for at most this long in all.
constexpr std::chrono::milliseconds kClipboardOpenPatience{250};
constexpr std::chrono::milliseconds kClipboardOpenStep{5};

// Waits `time`, answering meanwhile the messages other threads and
// programs send to this thread. Posted messages and input stay queued.
void WaitAnsweringSentMessages(std::chrono::milliseconds time) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + time;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0)
      return;
    if (MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_SENDMESSAGE,
                                    MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0)
      return;
    MSG message{};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

// Opens the clipboard for `window`, trying again while it is refused, up to
// kClipboardOpenPatience. Between tries the thread answers the messages
// sent to it, since the holder may be waiting for one of them (the
// clipboard's owner window is this thread's); posted messages and input
// stay queued, so no other click, key or close is handled in the middle of
// this one. On failure `error` is the error of the last try.
bool OpenClipboardPatiently(HWND window, DWORD& error) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + kClipboardOpenPatience;
  for (;;) {
    if (OpenClipboard(window))
      return true;
    error = GetLastError();
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0)
      return false;
    WaitAnsweringSentMessages(std::min(kClipboardOpenStep, left));
  }
}
} // namespace

TClipboard* Clipboard() {
  if (gClipboard == nullptr && !gClipboardDone)
    gClipboard = new TClipboard();
  return gClipboard;
}

void DoneClipboard() {
  delete gClipboard;
  gClipboard = nullptr;
  gClipboardDone = true;
}

TClipboard::~TClipboard() {
  while (FOpenRefCount > 0)
    Close();
}

void TClipboard::Open() {
  if (FOpenRefCount == 0) {
    // The window stays in locals until the clipboard is open: a message
    // answered while waiting may copy too, opening and closing this object.
    HWND window = Application() ? Application()->Handle() : nullptr;
    std::unique_ptr<TUtilWindow> own;
    if (window == nullptr) {
      // A hidden window of its own, answering every message as
      // DefWindowProc does.
      own = std::make_unique<TUtilWindow>(TWndMethod{});
      window = own->Handle();
    }
    DWORD error = 0;
    if (!OpenClipboardPatiently(window, error))
      throw EClipboardException(Format(L"Cannot open clipboard: %s", {SysErrorMessage(error)}));
    FClipboardWindow = window;
    FOwnWindow = std::move(own);
    FEmptied = false;
  }
  ++FOpenRefCount;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0)
    return;
  if (--FOpenRefCount == 0) {
    CloseClipboard();
    FOwnWindow.reset();
    FClipboardWindow = nullptr;
  }
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  Close();
}

void TClipboard::Adding() {
  if (FOpenRefCount != 0 && !FEmptied) {
    Clear();
    FEmptied = true;
  }
}

void TClipboard::SetBuffer(UINT format, const void* buffer, size_t size) {
  Open();
  struct TCloser {
    TClipboard* Self;
    ~TCloser() { Self->Close(); }
  } closer{this};

  TGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size));
  if (!block)
    throw EOutOfResources(L"Out of system resources");
  {
    TGlobalLock lock(block.Get());
    if (lock.Data() == nullptr)
      throw EOutOfResources(L"Out of system resources");
    if (size > 0)
      std::memcpy(lock.Data(), buffer, size);
    // The clipboard is emptied only now that the data is ready.
    Adding();
    if (SetClipboardData(format, block.Get()) == nullptr)
      throw EOutOfResources(L"Out of system resources");
  }
  // The block belongs to the system now.
  block.Release();
}

void TClipboard::SetAsText(const std::wstring& value) {
  SetBuffer(CF_UNICODETEXT, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

} // namespace telvora
