// The system colour notification the canvas unit's brush cache subscribes
// to: the order its notifiers are told in, and a notifier that raises.

#include "ui/lookandfeel/cxLookAndFeels.h"

#include "platform/Application.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

TEST(cxSystemPalette, PrimaryNotifiersFirstEachListLastToFirst) {
  std::vector<std::wstring> calls;
  auto make = [&](bool primary, const wchar_t* name) {
    auto n = std::make_unique<TcxSystemPaletteChangedNotifier>(primary);
    n->OnSystemPaletteChanged = [&calls, name] { calls.push_back(name); };
    return n;
  };
  int refs = SystemPaletteChangedListenerRefCount();
  auto o1 = make(false, L"o1");
  auto p1 = make(true, L"p1");
  auto o2 = make(false, L"o2");
  auto p2 = make(true, L"p2");
  EXPECT_EQ(SystemPaletteChangedListenerRefCount(), refs + 4);
  TcxSystemPaletteChangedListener* listener = SystemPaletteChangedListener();
  ASSERT_NE(listener, nullptr);
  HWND window = listener->WindowHandle();
  // A hidden top-level utility window.
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  EXPECT_STREQ(className, L"TPUtilWindow");
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_FALSE(IsWindowVisible(window));

  SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"p2", L"p1", L"o2", L"o1"}));

  // A notifier that frees itself while being told.
  calls.clear();
  o2->OnSystemPaletteChanged = [&] {
    calls.push_back(L"o2");
    SystemPaletteChangedListener()->RemoveNotifier(o2.get(), false);
  };
  SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"p2", L"p1", L"o2", L"o1"}));
  EXPECT_EQ(listener->NotifierCount(false), 1);
  o1.reset();
  o2.reset();
  p1.reset();
  p2.reset();
  EXPECT_EQ(SystemPaletteChangedListenerRefCount(), refs);
}

TEST(cxSystemPalette, ANotifierExceptionReachesTheErrorDisplay) {
  ASSERT_NE(Application(), nullptr);
  std::vector<std::wstring> shown;
  Application()->OnException = [&](TObject*, const Exception& E) { shown.push_back(E.Message()); };
  int told = 0;
  TcxSystemPaletteChangedNotifier quiet(false);
  quiet.OnSystemPaletteChanged = [&] { ++told; };
  bool raise = true;
  TcxSystemPaletteChangedNotifier failing(false);
  failing.OnSystemPaletteChanged = [&] {
    if (raise)
      throw Exception(L"colour change failed");
  };
  HWND window = SystemPaletteChangedListener()->WindowHandle();
  SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(shown, std::vector<std::wstring>{L"colour change failed"});
  EXPECT_EQ(told, 0); // the exception left the notification
  raise = false;
  SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(IsWindow(window));
  Application()->OnException = nullptr;
}

} // namespace
} // namespace telvora
