// The notification walks of the look-and-feel layer (the system colour
// notifiers, primary and ordinary; the painter registry's listeners; a
// look-and-feel's change listeners; the theme-change notificators) call
// every listener that is still subscribed exactly once, in the order each
// documents, whatever the handlers add or remove meanwhile.

#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"
#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/themes/dxThemeManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

// One walk under test, with four listeners: 0, 1 and 2 are subscribed so
// that the walk meets them in that order; 3 is a newcomer, not subscribed.
// Every call of a listener is reported to OnCalled.
class TWalk {
public:
  static constexpr int kListeners = 4;
  static constexpr int kNewcomer = 3;

  virtual ~TWalk() = default;
  virtual void Subscribe(int AIndex) = 0;
  virtual void Unsubscribe(int AIndex) = 0;
  virtual void Notify() = 0;
  // Whether a listener subscribed during a walk is told in that same walk.
  virtual bool TellsNewcomers() const = 0;

  std::function<void(int)> OnCalled;

protected:
  void Called(int AIndex) {
    if (OnCalled)
      OnCalled(AIndex);
  }
};

// System colour notifiers, told from the last in the list to the first.
class TPaletteWalk : public TWalk {
public:
  explicit TPaletteWalk(bool APrimary) : FPrimary(APrimary) {
    for (int i = 0; i < kListeners; ++i) {
      FNotifiers[i] = std::make_unique<TcxSystemPaletteChangedNotifier>(APrimary);
      FNotifiers[i]->OnSystemPaletteChanged = [this, i] { Called(i); };
      Unsubscribe(i);
    }
    for (int i = kNewcomer - 1; i >= 0; --i)
      Subscribe(i);
  }
  void Subscribe(int AIndex) override {
    SystemPaletteChangedListener()->AddNotifier(FNotifiers[AIndex].get(), FPrimary);
  }
  void Unsubscribe(int AIndex) override {
    SystemPaletteChangedListener()->RemoveNotifier(FNotifiers[AIndex].get(), FPrimary);
  }
  void Notify() override {
    SendMessageW(SystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  }
  bool TellsNewcomers() const override { return false; }

private:
  bool FPrimary;
  std::array<std::unique_ptr<TcxSystemPaletteChangedNotifier>, kListeners> FNotifiers;
};

// The painter registry's listeners, told from the last to the first of a
// painter registered.
class TRegistryWalk : public TWalk {
public:
  TRegistryWalk() {
    // No root refresh: only the listeners are told.
    FManager.BeginUpdate();
    for (int i = 0; i < kListeners; ++i)
      FListeners[i] = std::make_unique<TListener>(*this, i);
    for (int i = kNewcomer - 1; i >= 0; --i)
      Subscribe(i);
  }
  void Subscribe(int AIndex) override { FManager.AddListener(FListeners[AIndex].get()); }
  void Unsubscribe(int AIndex) override { FManager.RemoveListener(FListeners[AIndex].get()); }
  void Notify() override {
    FManager.Register(std::make_unique<TPainter>(L"P" + std::to_wstring(++FPainterCount)));
  }
  bool TellsNewcomers() const override { return false; }

private:
  class TPainter final : public TcxUltraFlatLookAndFeelPainter {
  public:
    explicit TPainter(std::wstring AName) : FName(std::move(AName)) {}
    std::wstring LookAndFeelName() override { return FName; }

  private:
    std::wstring FName;
  };
  class TListener final : public IcxLookAndFeelPainterListener {
  public:
    TListener(TRegistryWalk& AWalk, int AIndex) : FWalk(AWalk), FIndex(AIndex) {}
    void PainterAdded(TcxCustomLookAndFeelPainter*) override { FWalk.Called(FIndex); }
    void PainterRemoved(TcxCustomLookAndFeelPainter*) override {}

  private:
    TRegistryWalk& FWalk;
    int FIndex;
  };

  std::array<std::unique_ptr<TListener>, kListeners> FListeners;
  TcxLookAndFeelPaintersManager FManager;
  int FPainterCount = 0;
};

// A look-and-feel's change listeners, told from the first to the last;
// newcomers are told in their turn.
class TLookAndFeelWalk : public TWalk {
public:
  TLookAndFeelWalk() {
    for (int i = 0; i < kListeners; ++i)
      FListeners[i] = std::make_unique<TListener>(*this, i);
    FLookAndFeel = std::make_unique<TcxLookAndFeel>(nullptr);
    for (int i = 0; i < kNewcomer; ++i)
      Subscribe(i);
  }
  ~TLookAndFeelWalk() override { FLookAndFeel.reset(); }
  void Subscribe(int AIndex) override { FLookAndFeel->AddChangeListener(FListeners[AIndex].get()); }
  void Unsubscribe(int AIndex) override {
    FLookAndFeel->RemoveChangeListener(FListeners[AIndex].get());
  }
  void Notify() override { FLookAndFeel->Refresh(); }
  bool TellsNewcomers() const override { return true; }

private:
  class TListener final : public TObject, public IcxLookAndFeelNotificationListener {
  public:
    TListener(TLookAndFeelWalk& AWalk, int AIndex) : FWalk(AWalk), FIndex(AIndex) {}
    TObject* GetObject() override { return this; }
    void MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override {
      FWalk.Called(FIndex);
    }
    void MasterLookAndFeelDestroying(TcxLookAndFeel*) override {}

  private:
    TLookAndFeelWalk& FWalk;
    int FIndex;
  };

  std::array<std::unique_ptr<TListener>, kListeners> FListeners;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
};

// Theme-change notificators, told in the order they were created; leaving
// means being freed.
class TThemeWalk : public TWalk {
public:
  TThemeWalk() {
    for (int i = 0; i < kNewcomer; ++i)
      Subscribe(i);
  }
  void Subscribe(int AIndex) override {
    FNotificators[AIndex] = std::make_unique<TdxThemeChangedNotificator>();
    FNotificators[AIndex]->SetOnThemeChanged([this, AIndex] { Called(AIndex); });
  }
  void Unsubscribe(int AIndex) override { FNotificators[AIndex].reset(); }
  void Notify() override {
    SendMessageW(dxThemeChangedEventReceiver()->WindowHandle(), WM_THEMECHANGED, 0, 0);
  }
  bool TellsNewcomers() const override { return false; }

private:
  std::array<std::unique_ptr<TdxThemeChangedNotificator>, kListeners> FNotificators;
};

struct TWalkKind {
  const char* Name;
  std::function<std::unique_ptr<TWalk>()> Make;
};

const std::vector<TWalkKind>& WalkKinds() {
  static const std::vector<TWalkKind> kinds = {
      {"primary system colour notifiers", [] { return std::make_unique<TPaletteWalk>(true); }},
      {"ordinary system colour notifiers", [] { return std::make_unique<TPaletteWalk>(false); }},
      {"painter registry listeners", [] { return std::make_unique<TRegistryWalk>(); }},
      {"look-and-feel listeners", [] { return std::make_unique<TLookAndFeelWalk>(); }},
      {"theme-change notificators", [] { return std::make_unique<TThemeWalk>(); }},
  };
  return kinds;
}

// What the listener Actor does at its first call, and whom the walk then
// tells, in order (the newcomer too where the walk tells newcomers).
struct TWalkCase {
  const char* Name;
  int Actor;
  std::vector<int> Leave; // unsubscribed, in this order
  std::vector<int> Join;  // subscribed afterwards, in this order
  std::vector<int> Told;
  bool NewcomerJoins = false;
};

const std::vector<TWalkCase>& WalkCases() {
  static const std::vector<TWalkCase> cases = {
      {"nobody leaves", 1, {}, {}, {0, 1, 2}},
      {"the first removes itself", 0, {0}, {}, {0, 1, 2}},
      {"the middle one removes itself", 1, {1}, {}, {0, 1, 2}},
      {"the last removes itself", 2, {2}, {}, {0, 1, 2}},
      {"the middle one removes the one before it", 1, {0}, {}, {0, 1, 2}},
      {"the middle one removes the one after it", 1, {2}, {}, {0, 1}},
      {"the first removes the next one", 0, {1}, {}, {0, 2}},
      {"the first removes both others", 0, {2, 1}, {}, {0}},
      {"the middle one removes itself and the one before it", 1, {1, 0}, {}, {0, 1, 2}},
      {"the middle one removes itself and the one after it", 1, {1, 2}, {}, {0, 1}},
      {"the last removes the two before it", 2, {0, 1}, {}, {0, 1, 2}},
      {"the middle one leaves and joins again", 1, {1}, {1}, {0, 1, 2}},
      {"the middle one adds a newcomer", 1, {}, {3}, {0, 1, 2}, true},
      {"the middle one removes the one before it and adds a newcomer",
       1,
       {0},
       {3},
       {0, 1, 2},
       true},
  };
  return cases;
}

TEST(NotificationWalk, EverySubscribedListenerIsToldOnceWhateverTheHandlersChange) {
  for (const TWalkKind& kind : WalkKinds()) {
    for (const TWalkCase& row : WalkCases()) {
      SCOPED_TRACE(std::string(kind.Name) + ": " + row.Name);
      std::unique_ptr<TWalk> walk = kind.Make();
      std::vector<int> told;
      bool acted = false;
      walk->OnCalled = [&](int AIndex) {
        told.push_back(AIndex);
        if (AIndex != row.Actor || acted)
          return;
        acted = true;
        for (int leaving : row.Leave)
          walk->Unsubscribe(leaving);
        for (int joining : row.Join)
          walk->Subscribe(joining);
      };
      walk->Notify();

      std::vector<int> expected = row.Told;
      if (row.NewcomerJoins && walk->TellsNewcomers())
        expected.push_back(TWalk::kNewcomer);
      EXPECT_EQ(told, expected);

      // The next walk tells exactly those subscribed now, once each.
      std::vector<int> subscribed;
      for (int i = 0; i < TWalk::kListeners; ++i) {
        const bool left = std::find(row.Leave.begin(), row.Leave.end(), i) != row.Leave.end();
        const bool joined = std::find(row.Join.begin(), row.Join.end(), i) != row.Join.end();
        if ((i < TWalk::kNewcomer && !left) || joined)
          subscribed.push_back(i);
      }
      told.clear();
      walk->Notify();
      std::sort(told.begin(), told.end());
      EXPECT_EQ(told, subscribed);
    }
  }
}

} // namespace
} // namespace telvora
