#pragma once
// The hidden utility window: a top-level "TPUtilWindow" window that is never
// shown and hands every message to its owner's handler. Being top-level it
// receives broadcast messages; with a message-only parent it receives none.

#include "platform/Messages.h"

#include <functional>

namespace telvora {

using TWndMethod = std::function<void(TMessage&)>;

// Creates the window. The handler may call DefWindowProcW through
// `DefaultUtilWindowProc`. Exceptions leaving the handler go to the
// application's error display.
HWND AllocateHWnd(TWndMethod method);
// Destroys a window made by AllocateHWnd and forgets its handler.
void DeallocateHWnd(HWND window);
// The default handling for a message of a utility window.
void DefaultUtilWindowProc(HWND window, TMessage& message);

// Owner of a utility window: created with a handler, destroyed with the owner.
class TUtilWindow {
public:
  TUtilWindow() = default;
  explicit TUtilWindow(TWndMethod method) : FHandle(AllocateHWnd(std::move(method))) {}
  TUtilWindow(const TUtilWindow&) = delete;
  TUtilWindow& operator=(const TUtilWindow&) = delete;
  ~TUtilWindow() { Reset(); }
  HWND Handle() const noexcept { return FHandle; }
  void Reset() noexcept {
    if (FHandle)
      DeallocateHWnd(FHandle);
    FHandle = nullptr;
  }

private:
  HWND FHandle = nullptr;
};

} // namespace telvora
