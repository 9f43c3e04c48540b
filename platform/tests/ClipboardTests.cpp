// The clipboard object against the real clipboard, with another process
// holding it open where a case needs that.

#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Handles.h"
#include "tests/support/ClipboardHolder.h"
#include "tests/support/Desktop.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

namespace telvora {
namespace {

// The raw bytes of a clipboard format, or nothing when it is absent.
std::vector<BYTE> ClipboardBytes(UINT format) {
  std::vector<BYTE> bytes;
  if (!OpenClipboard(nullptr))
    return bytes;
  if (HANDLE data = GetClipboardData(format)) {
    SIZE_T size = GlobalSize(data);
    if (void* p = GlobalLock(data)) {
      bytes.assign(static_cast<BYTE*>(p), static_cast<BYTE*>(p) + size);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

void PutAnsiText(const char* text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  size_t size = std::strlen(text) + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(block), text, size);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

std::vector<BYTE> Utf16WithZero(const std::wstring& text) {
  const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
  return std::vector<BYTE>(p, p + (text.size() + 1) * sizeof(wchar_t));
}

TEST(Clipboard, PlacesExactlyTheTextAndItsTerminator) {
  for (const std::wstring& text : {std::wstring(L"1a2b3c4d-0000-4000-8000-abcdefabcdef"),
                                   std::wstring(L""), std::wstring(L"\u00c7\u011f\u015f")}) {
    PutAnsiText("previous");
    Clipboard()->SetAsText(text);
    EXPECT_EQ(ClipboardBytes(CF_UNICODETEXT), Utf16WithZero(text));
    EXPECT_EQ(Clipboard()->OpenRefCount(), 0);
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr) << "clipboard left open";
  }
  EXPECT_EQ(TGlobalMemory::LiveCount(), 0);
}

TEST(Clipboard, EmptiesOnceAndTheApplicationWindowOwnsIt) {
  PutAnsiText("previous");
  Clipboard()->Open();
  EXPECT_EQ(GetOpenClipboardWindow(), Application()->Handle());
  Clipboard()->Open(); // nested: shares the real open
  Clipboard()->SetAsText(L"one");
  Clipboard()->SetBuffer(CF_TEXT, "two", 4); // same open: not emptied again
  Clipboard()->Close();
  EXPECT_EQ(GetOpenClipboardWindow(), Application()->Handle()) << "closed too early";
  Clipboard()->Close();
  Clipboard()->Close(); // one close too many does nothing
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_EQ(GetClipboardOwner(), Application()->Handle());
  EXPECT_EQ(ClipboardBytes(CF_UNICODETEXT), Utf16WithZero(L"one"));
  std::vector<BYTE> ansi = ClipboardBytes(CF_TEXT);
  ASSERT_GE(ansi.size(), 4u);
  EXPECT_EQ(std::memcmp(ansi.data(), "two", 4), 0);
}

TEST(Clipboard, HeldByAnotherProcessRaisesAndEmptiesNothing) {
  PutAnsiText("keep me");
  std::vector<BYTE> before = ClipboardBytes(CF_TEXT);
  std::optional<testing::TClipboardHolderProcess> holder(std::in_place);
  ASSERT_TRUE(holder->Holding());
  SetLastError(0);
  BOOL opened = OpenClipboard(nullptr); // what the system says to a second opener
  DWORD error = GetLastError();
  if (opened)
    CloseClipboard();
  ASSERT_FALSE(opened);
  try {
    Clipboard()->SetAsText(L"new text");
    FAIL() << "no exception";
  } catch (const EClipboardException& e) {
    EXPECT_EQ(e.Message(), L"Cannot open clipboard: " + SysErrorMessage(error));
  }
  EXPECT_EQ(Clipboard()->OpenRefCount(), 0);
  EXPECT_EQ(TGlobalMemory::LiveCount(), 0);
  // Once the holder is gone the old content is still there.
  holder.reset();
  EXPECT_EQ(ClipboardBytes(CF_TEXT), before);
}

// Another thread of this process holds the clipboard and lets it go only
// once this thread has answered a message it sends: the holder waits on us,
// as a program waiting for the clipboard owner's answer does.
struct THolderThread {
  HANDLE Held = nullptr;
  bool Opened = false;
  bool Answered = false;

  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<THolderThread*>(parameter);
    TWindowHandle window(CreateWindowExW(0, L"STATIC", L"holder", WS_POPUP, 0, 0, 0, 0, nullptr,
                                         nullptr, GetModuleHandleW(nullptr), nullptr));
    self->Opened = window && OpenClipboard(window.Get());
    SetEvent(self->Held);
    if (!self->Opened)
      return 0;
    DWORD_PTR result = 0;
    self->Answered = SendMessageTimeoutW(Application()->Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 10000,
                                         &result) != 0;
    CloseClipboard();
    return 0;
  }
};

// Waits for a thread to end, answering the messages it sends meanwhile.
void JoinAnswering(HANDLE thread) {
  while (MsgWaitForMultipleObjectsEx(1, &thread, 20000, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0 + 1) {
    MSG message{};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

TEST(Clipboard, AHolderWaitingOnThisThreadIsAnsweredAndTheCopyFollows) {
  PutAnsiText("previous");
  THolderThread holder;
  TKernelHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  holder.Held = held.Get();
  TKernelHandle thread(CreateThread(nullptr, 0, THolderThread::Run, &holder, 0, nullptr));
  ASSERT_TRUE(thread);
  WaitForSingleObject(held.Get(), 20000);
  ASSERT_TRUE(holder.Opened);
  EXPECT_NO_THROW(Clipboard()->SetAsText(L"after the holder"));
  JoinAnswering(thread.Get());
  EXPECT_TRUE(holder.Answered);
  EXPECT_EQ(ClipboardBytes(CF_UNICODETEXT), Utf16WithZero(L"after the holder"));
  EXPECT_EQ(Clipboard()->OpenRefCount(), 0);
  EXPECT_EQ(TGlobalMemory::LiveCount(), 0);
}

TEST(Clipboard, RefusedDataFreesTheBlockAndCloses) {
  // Format 0 is not a clipboard format: SetClipboardData refuses it.
  try {
    Clipboard()->SetBuffer(0, "x", 2);
    FAIL() << "no exception";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), L"Out of system resources");
  }
  EXPECT_EQ(TGlobalMemory::LiveCount(), 0);
  EXPECT_EQ(Clipboard()->OpenRefCount(), 0);
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}

} // namespace
} // namespace telvora
