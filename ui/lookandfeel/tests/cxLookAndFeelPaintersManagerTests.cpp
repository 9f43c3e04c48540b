// The painter registry: the process's registry with its five painters, and
// the mechanics of registration, lookup, listeners and the update lock on
// registries of small painters of the tests' own.

#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"

#include "ui/lookandfeel/cxLookAndFeels.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

namespace telvora {
namespace {

using TNames = std::vector<std::wstring>;

// What the tests' painters report: which were freed and which freed their
// images, in order.
struct TPainterLog {
  TNames Freed;
  TNames Released;
};

class TTestPainter : public TcxCustomLookAndFeelPainter {
public:
  TTestPainter(std::wstring AName, TcxLookAndFeelStyle AStyle, TPainterLog& ALog)
      : FName(std::move(AName)), FStyle(AStyle), FLog(ALog) {}
  ~TTestPainter() override { FLog.Freed.push_back(FName); }

  std::wstring LookAndFeelName() override { return FName; }
  TcxLookAndFeelStyle LookAndFeelStyle() override { return FStyle; }
  void ReleaseImageResources() override { FLog.Released.push_back(FName); }

private:
  std::wstring FName;
  TcxLookAndFeelStyle FStyle;
  TPainterLog& FLog;
};

std::unique_ptr<TcxCustomLookAndFeelPainter> Painter(std::wstring AName, TcxLookAndFeelStyle AStyle,
                                                     TPainterLog& ALog) {
  return std::make_unique<TTestPainter>(std::move(AName), AStyle, ALog);
}

TNames Names(const TcxLookAndFeelPaintersManager& AManager) {
  TNames names;
  for (int i = 0; i < AManager.GetCount(); ++i)
    names.push_back(AManager.GetItem(i)->LookAndFeelName());
  return names;
}

// Counts the root refreshes the registry asks for while it lives.
class TRootRefreshCounter {
public:
  TRootRefreshCounter() {
    FCount = 0;
    cxRootLookAndFeelRefreshProc = [] { ++FCount; };
  }
  TRootRefreshCounter(const TRootRefreshCounter&) = delete;
  TRootRefreshCounter& operator=(const TRootRefreshCounter&) = delete;
  ~TRootRefreshCounter() { cxRootLookAndFeelRefreshProc = nullptr; }
  int Count() const noexcept { return FCount; }

private:
  static inline int FCount = 0;
};

class TRecordingListener : public IcxLookAndFeelPainterListener {
public:
  TRecordingListener(std::wstring AName, TNames& ALog) : FName(std::move(AName)), FLog(ALog) {}
  void PainterAdded(TcxCustomLookAndFeelPainter* APainter) override {
    FLog.push_back(FName + L" added " + APainter->LookAndFeelName());
    if (OnAdded)
      OnAdded();
  }
  void PainterRemoved(TcxCustomLookAndFeelPainter* APainter) override {
    FLog.push_back(FName + L" removed " + APainter->LookAndFeelName());
    if (RaiseOnRemoved)
      throw std::runtime_error("listener failed");
  }
  std::function<void()> OnAdded;
  bool RaiseOnRemoved = false;

private:
  std::wstring FName;
  TNames& FLog;
};

const TNames kBuiltInOrder = {L"Flat", L"Native", L"Office11", L"Standard", L"UltraFlat"};

// ---------------------------------------------------------------- the process's registry

TEST(cxLookAndFeelPaintersManager, HoldsTheFivePaintersInNameOrderByStyleAndName) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(cxLookAndFeelPaintersManager(), manager);
  EXPECT_EQ(Names(*manager), kBuiltInOrder);
  EXPECT_EQ(manager->LockCount(), 0);

  struct TCase {
    TcxLookAndFeelStyle Style;
    const wchar_t* Name;
    bool (*IsItsClass)(TcxCustomLookAndFeelPainter*);
  };
  const TCase cases[] = {
      {lfsFlat, L"Flat",
       [](TcxCustomLookAndFeelPainter* p) {
         return dynamic_cast<TcxFlatLookAndFeelPainter*>(p) != nullptr;
       }},
      {lfsStandard, L"Standard",
       [](TcxCustomLookAndFeelPainter* p) {
         return typeid(*p) == typeid(TcxStandardLookAndFeelPainter);
       }},
      {lfsUltraFlat, L"UltraFlat",
       [](TcxCustomLookAndFeelPainter* p) {
         return typeid(*p) == typeid(TcxUltraFlatLookAndFeelPainter);
       }},
      {lfsNative, L"Native",
       [](TcxCustomLookAndFeelPainter* p) {
         return dynamic_cast<TcxWinXPLookAndFeelPainter*>(p) != nullptr;
       }},
      {lfsOffice11, L"Office11",
       [](TcxCustomLookAndFeelPainter* p) {
         return dynamic_cast<TcxOffice11LookAndFeelPainter*>(p) != nullptr;
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.Name));
    TcxCustomLookAndFeelPainter* painter = manager->GetPainter(c.Style);
    ASSERT_NE(painter, nullptr);
    EXPECT_TRUE(c.IsItsClass(painter));
    EXPECT_EQ(painter->LookAndFeelStyle(), c.Style);
    EXPECT_EQ(painter->LookAndFeelName(), c.Name);
    // By name, ignoring case.
    std::wstring upper = c.Name;
    CharUpperW(upper.data());
    TcxCustomLookAndFeelPainter* byName = nullptr;
    EXPECT_TRUE(manager->GetPainter(upper, byName));
    EXPECT_EQ(byName, painter);
    TcxCustomLookAndFeelPainter* byStyle = nullptr;
    EXPECT_TRUE(manager->GetPainter(c.Style, byStyle));
    EXPECT_EQ(byStyle, painter);
  }
  TcxCustomLookAndFeelPainter* none = manager->GetPainter(lfsFlat);
  EXPECT_FALSE(manager->GetPainter(lfsSkin, none));
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(manager->GetPainter(L"Skin"), nullptr);
  EXPECT_EQ(manager->GetPainter(L""), nullptr);
}

TEST(cxLookAndFeelPaintersManager, ASecondNativeInLowerCaseIsRefusedAndFreed) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  ASSERT_NE(manager, nullptr);
  TcxCustomLookAndFeelPainter* native = manager->GetPainter(lfsNative);
  TPainterLog log;
  EXPECT_FALSE(manager->Register(Painter(L"native", lfsNative, log)));
  EXPECT_EQ(log.Freed, TNames{L"native"});
  EXPECT_EQ(Names(*manager), kBuiltInOrder);
  EXPECT_EQ(manager->GetPainter(lfsNative), native);
}

TEST(cxLookAndFeelPaintersManager, UnregisteringTheNativePainterLeavesItsStyleEmpty) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  ASSERT_NE(manager, nullptr);
  ASSERT_NE(manager->GetPainter(lfsNative), nullptr);
  EXPECT_TRUE(manager->Unregister(L"NATIVE"));
  EXPECT_EQ(manager->GetPainter(lfsNative), nullptr);
  EXPECT_EQ(manager->GetPainter(L"Native"), nullptr);
  EXPECT_EQ(Names(*manager), (TNames{L"Flat", L"Office11", L"Standard", L"UltraFlat"}));
  EXPECT_FALSE(manager->Unregister(L"Native"));

  EXPECT_TRUE(manager->Register(std::make_unique<TcxWinXPLookAndFeelPainter>()));
  EXPECT_EQ(Names(*manager), kBuiltInOrder);
  EXPECT_NE(manager->GetPainter(lfsNative), nullptr);
}

// ---------------------------------------------------------------- mechanics

TEST(cxLookAndFeelPaintersRegistry, TheLastPainterOfAStyleAnswersUntilItIsUnregistered) {
  TPainterLog log;
  {
    TcxLookAndFeelPaintersManager manager;
    ASSERT_TRUE(manager.Register(Painter(L"Beta", lfsFlat, log)));
    TcxCustomLookAndFeelPainter* beta = manager.GetPainter(lfsFlat);
    ASSERT_TRUE(manager.Register(Painter(L"Alpha", lfsFlat, log)));
    TcxCustomLookAndFeelPainter* alpha = manager.GetPainter(L"alpha");
    EXPECT_EQ(Names(manager), (TNames{L"Alpha", L"Beta"}));
    EXPECT_EQ(manager.GetPainter(lfsFlat), alpha);

    EXPECT_TRUE(manager.Unregister(L"ALPHA"));
    EXPECT_EQ(log.Freed, TNames{L"Alpha"});
    // Another painter of the style is registered, yet the style answers none.
    EXPECT_EQ(manager.GetPainter(lfsFlat), nullptr);
    EXPECT_EQ(manager.GetPainter(L"Beta"), beta);
    EXPECT_FALSE(manager.Unregister(L"Alpha"));
  }
  // The registry frees what it holds.
  EXPECT_EQ(log.Freed, (TNames{L"Alpha", L"Beta"}));
}

TEST(cxLookAndFeelPaintersRegistry, ListenersAreToldLastToFirstAndMayLeaveWhileTold) {
  TPainterLog painters;
  TNames log;
  TcxLookAndFeelPaintersManager manager;
  TRecordingListener first(L"first", log);
  TRecordingListener second(L"second", log);
  manager.AddListener(&first);
  manager.AddListener(&second);
  manager.AddListener(&first); // once only

  manager.Register(Painter(L"X", lfsFlat, painters));
  EXPECT_EQ(log, (TNames{L"second added X", L"first added X"}));
  log.clear();
  // Told before the painter is freed.
  manager.Unregister(L"X");
  EXPECT_EQ(log, (TNames{L"second removed X", L"first removed X"}));
  EXPECT_EQ(painters.Freed, TNames{L"X"});

  log.clear();
  second.OnAdded = [&] { manager.RemoveListener(&second); };
  manager.Register(Painter(L"Y", lfsFlat, painters));
  manager.Register(Painter(L"Z", lfsFlat, painters));
  EXPECT_EQ(log, (TNames{L"second added Y", L"first added Y", L"first added Z"}));

  log.clear();
  manager.RemoveListener(&first);
  manager.Register(Painter(L"W", lfsFlat, painters));
  EXPECT_TRUE(log.empty());
}

TEST(cxLookAndFeelPaintersRegistry, UnregisterFreesThePainterAlsoWhenAListenerRaises) {
  TPainterLog painters;
  TNames log;
  TcxLookAndFeelPaintersManager manager;
  TRecordingListener listener(L"listener", log);
  listener.RaiseOnRemoved = true;
  manager.AddListener(&listener);
  manager.Register(Painter(L"X", lfsUltraFlat, painters));
  EXPECT_THROW(manager.Unregister(L"x"), std::runtime_error);
  EXPECT_EQ(painters.Freed, TNames{L"X"});
  EXPECT_EQ(manager.GetCount(), 0);
  EXPECT_EQ(manager.GetPainter(lfsUltraFlat), nullptr);
}

TEST(cxLookAndFeelPaintersRegistry, TheUpdateLockDefersTheRootRefresh) {
  TRootRefreshCounter refreshes;
  TPainterLog painters;
  TcxLookAndFeelPaintersManager manager;

  manager.Register(Painter(L"A", lfsFlat, painters));
  EXPECT_EQ(refreshes.Count(), 1);
  manager.Unregister(L"A");
  EXPECT_EQ(refreshes.Count(), 2);
  // A refused painter changes nothing.
  manager.Register(Painter(L"B", lfsFlat, painters));
  manager.Register(Painter(L"b", lfsFlat, painters));
  EXPECT_EQ(refreshes.Count(), 3);

  // Nested locks: one refresh when the outer lock opens.
  manager.BeginUpdate();
  manager.BeginUpdate();
  manager.Register(Painter(L"C", lfsStandard, painters));
  manager.Unregister(L"B");
  manager.EndUpdate();
  EXPECT_EQ(refreshes.Count(), 3);
  manager.EndUpdate();
  EXPECT_EQ(refreshes.Count(), 4);
  EXPECT_EQ(manager.LockCount(), 0);

  // Cancelling opens the lock without a refresh.
  manager.BeginUpdate();
  manager.Register(Painter(L"D", lfsStandard, painters));
  manager.CancelUpdate();
  EXPECT_EQ(refreshes.Count(), 4);
  EXPECT_EQ(manager.LockCount(), 0);
  // An EndUpdate without a lock neither refreshes nor goes below zero.
  manager.EndUpdate();
  EXPECT_EQ(refreshes.Count(), 4);
  EXPECT_EQ(manager.LockCount(), 0);
}

TEST(cxLookAndFeelPaintersRegistry, ImagesAreReleasedAndSkinNamesListedInNameOrder) {
  TPainterLog painters;
  TcxLookAndFeelPaintersManager manager;
  manager.Register(Painter(L"Gamma", lfsSkin, painters));
  manager.Register(Painter(L"Beta", lfsFlat, painters));
  manager.Register(Painter(L"Alpha", lfsSkin, painters));

  manager.ReleaseImageResources();
  EXPECT_EQ(painters.Released, (TNames{L"Alpha", L"Beta", L"Gamma"}));

  // Names are added to what the list holds.
  TNames list = {L"Earlier"};
  manager.PopulateSkinNames(list);
  EXPECT_EQ(list, (TNames{L"Earlier", L"Alpha", L"Gamma"}));

  // A skin-names procedure answers in place of the registry.
  GetSkinNamesProc = [](std::vector<std::wstring>& AList) { AList.push_back(L"FromProc"); };
  list.clear();
  manager.PopulateSkinNames(list);
  GetSkinNamesProc = nullptr;
  EXPECT_EQ(list, TNames{L"FromProc"});
}

// ---------------------------------------------------------------- unit

TEST(cxLookAndFeelPaintersUnit, AColourChangeDiscardsThePaintersCachedImages) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  ASSERT_NE(manager, nullptr);
  TPainterLog painters;
  ASSERT_TRUE(manager->Register(Painter(L"Zz", lfsSkin, painters)));
  ASSERT_NE(SystemPaletteChangedListener(), nullptr);
  SendMessageW(SystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(painters.Released, TNames{L"Zz"});
  EXPECT_TRUE(manager->Unregister(L"Zz"));
}

TEST(cxLookAndFeelPaintersUnit, ShutDownEndsTheRegistryAndANewStartCreatesItUnrefreshed) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  ASSERT_NE(manager, nullptr);
  TcxSystemPaletteChangedListener* listener = SystemPaletteChangedListener();
  ASSERT_NE(listener, nullptr);
  const int primaries = listener->NotifierCount(true);
  TPainterLog painters;
  ASSERT_TRUE(manager->Register(Painter(L"Zz", lfsSkin, painters)));

  DoneLookAndFeelPaintersUnit();
  // Images released first, then the registry freed with its painters.
  EXPECT_EQ(painters.Released, TNames{L"Zz"});
  EXPECT_EQ(painters.Freed, TNames{L"Zz"});
  EXPECT_EQ(listener->NotifierCount(true), primaries - 1);
  EXPECT_EQ(cxLookAndFeelPaintersManager(), nullptr);
  EXPECT_EQ(cxLookAndFeelPaintersManager(), nullptr);

  InitLookAndFeelPaintersUnit();
  EXPECT_EQ(listener->NotifierCount(true), primaries);
  TRootRefreshCounter refreshes;
  manager = cxLookAndFeelPaintersManager();
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(Names(*manager), kBuiltInOrder);
  EXPECT_EQ(manager->LockCount(), 0);
  EXPECT_EQ(refreshes.Count(), 0);
  // A painter registered later refreshes the root.
  ASSERT_TRUE(manager->Register(Painter(L"Zz", lfsSkin, painters)));
  EXPECT_EQ(refreshes.Count(), 1);
  EXPECT_TRUE(manager->Unregister(L"Zz"));
  EXPECT_EQ(refreshes.Count(), 2);
}

} // namespace
} // namespace telvora
