#include "platform/Clipboard.h"

#include "platform/Application.h"
#include "platform/Handles.h"
#include "platform/UtilWindow.h"

#include <cstring>

namespace telvora {

namespace {
TClipboard* gClipboard = nullptr;
bool gClipboardDone = false;
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
    FClipboardWindow = Application() ? Application()->Handle() : nullptr;
    if (FClipboardWindow == nullptr) {
      FClipboardWindow =
          AllocateHWnd([this](TMessage& m) { DefaultUtilWindowProc(FClipboardWindow, m); });
      FAllocated = true;
    }
    if (!OpenClipboard(FClipboardWindow)) {
      DWORD error = GetLastError();
      if (FAllocated)
        DeallocateHWnd(FClipboardWindow);
      FAllocated = false;
      FClipboardWindow = nullptr;
      throw EClipboardException(Format(L"Cannot open clipboard: %s", {SysErrorMessage(error)}));
    }
    FEmptied = false;
  }
  ++FOpenRefCount;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0)
    return;
  if (--FOpenRefCount == 0) {
    CloseClipboard();
    if (FAllocated)
      DeallocateHWnd(FClipboardWindow);
    FAllocated = false;
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
