// The look-and-feel model: painter choice from kind, native style and skin
// name, inheritance from the master and the root, assigned values, change
// notification, the system colour broadcast, the registry's refresh of the
// root, controllers, form descriptions and the unit's shut-down.

#include "ui/lookandfeel/cxLookAndFeels.h"

#include "platform/FormReader.h"
#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"
#include "ui/lookandfeel/dxOffice11.h"
#include "ui/themes/dxUxTheme.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

constexpr TcxLookAndFeelValues kNone{};

TcxCustomLookAndFeelPainter* Registered(const wchar_t* AName) {
  return cxLookAndFeelPaintersManager()->GetPainter(AName);
}

std::wstring NameOf(TcxCustomLookAndFeelPainter* APainter) {
  return APainter != nullptr ? APainter->LookAndFeelName() : L"(none)";
}

// The OnChanged calls a look-and-feel made.
class TChangeLog {
public:
  explicit TChangeLog(TcxLookAndFeel& ALookAndFeel) {
    ALookAndFeel.OnChanged = [this, &ALookAndFeel](TcxLookAndFeel* Sender,
                                                   TcxLookAndFeelValues AValues) {
      EXPECT_EQ(Sender, &ALookAndFeel);
      Calls.push_back(AValues);
    };
  }
  std::vector<TcxLookAndFeelValues> Calls;
};

// Every test starts with a new root (the unit started again) and the
// process-wide settings at their defaults.
class LookAndFeel : public ::testing::Test {
protected:
  void SetUp() override {
    DoneLookAndFeelsUnit();
    InitLookAndFeelsUnit();
    cxUseSkins = true;
    cxIsTouchModeEnabled = false;
    GetSkinPainterProc = nullptr;
    ASSERT_TRUE(AreVisualStylesAvailable(totButton));
  }
  void TearDown() override {
    GetSkinPainterProc = nullptr;
    cxUseSkins = true;
  }
  // The root, past its first processed change.
  static TcxLookAndFeel& SettledRoot() {
    TcxLookAndFeel* root = RootLookAndFeel();
    root->Refresh();
    return *root;
  }
};

// The theme units run again without the theme library, as on a system
// without uxtheme.dll; the normal units come back afterwards.
class TWithoutThemes {
public:
  TWithoutThemes() : FSavedName(dxUxThemeLibraryName) {
    DoneThemeManagerUnit();
    DoneUxThemeUnit();
    dxUxThemeLibraryName = L"C:\\no-such-folder\\UxTheme.dll";
    InitUxThemeUnit();
    InitThemeManagerUnit();
  }
  ~TWithoutThemes() {
    DoneThemeManagerUnit();
    DoneUxThemeUnit();
    dxUxThemeLibraryName = FSavedName;
    InitUxThemeUnit();
    InitThemeManagerUnit();
  }
  TWithoutThemes(const TWithoutThemes&) = delete;
  TWithoutThemes& operator=(const TWithoutThemes&) = delete;

private:
  const wchar_t* FSavedName;
};

// ---------------------------------------------------------------- painter choice

struct TChoice {
  const char* Case;
  bool ThemeActive;
  std::function<void(TcxLookAndFeel&)> Assign;
  const wchar_t* Painter;
  TcxLookAndFeelStyle ActiveStyle;
  const wchar_t* SkinPainter; // nullptr: none
};

TcxCustomLookAndFeelPainter* CustomSkin(const TdxSkinName& AName) {
  return AName == L"Custom" ? cxLookAndFeelPaintersManager()->GetPainter(L"Office11") : nullptr;
}

const std::vector<TChoice>& Choices() {
  static const std::vector<TChoice> choices = {
      {"nothing assigned, theme active", true, [](TcxLookAndFeel&) {}, L"Native", lfsNative,
       nullptr},
      {"nothing assigned, theme not active", false, [](TcxLookAndFeel&) {}, L"UltraFlat",
       lfsUltraFlat, nullptr},
      {"native style off, kind not assigned", true,
       [](TcxLookAndFeel& L) { L.SetNativeStyle(false); }, L"UltraFlat", lfsUltraFlat, nullptr},
      {"native style off, flat", true,
       [](TcxLookAndFeel& L) {
         L.SetNativeStyle(false);
         L.SetKind(lfFlat);
       },
       L"Flat", lfsFlat, nullptr},
      {"native style off, standard", true,
       [](TcxLookAndFeel& L) {
         L.SetNativeStyle(false);
         L.SetKind(lfStandard);
       },
       L"Standard", lfsStandard, nullptr},
      {"native style off, ultra-flat", true,
       [](TcxLookAndFeel& L) {
         L.SetNativeStyle(false);
         L.SetKind(lfUltraFlat);
       },
       L"UltraFlat", lfsUltraFlat, nullptr},
      {"native style off, Office 11", true,
       [](TcxLookAndFeel& L) {
         L.SetNativeStyle(false);
         L.SetKind(lfOffice11);
       },
       L"Office11", lfsOffice11, nullptr},
      {"native style off, a registered painter's name in other case", true,
       [](TcxLookAndFeel& L) {
         L.SetNativeStyle(false);
         L.SetKind(lfStandard);
         L.SetSkinName(L"fLAT");
       },
       L"Flat", lfsSkin, L"Flat"},
      {"native style off, skin name but skins not used", true,
       [](TcxLookAndFeel& L) {
         cxUseSkins = false;
         L.SetNativeStyle(false);
         L.SetKind(lfStandard);
         L.SetSkinName(L"Flat");
       },
       L"Standard", lfsStandard, nullptr},
      {"native style off, a skin name nobody carries", true,
       [](TcxLookAndFeel& L) {
         L.SetNativeStyle(false);
         L.SetKind(lfStandard);
         L.SetSkinName(L"NoSuchSkin");
       },
       L"Standard", lfsStandard, nullptr},
      {"native style off, a skin name the skin procedure resolves", true,
       [](TcxLookAndFeel& L) {
         GetSkinPainterProc = CustomSkin;
         L.SetNativeStyle(false);
         L.SetSkinName(L"Custom");
       },
       L"Office11", lfsSkin, L"Office11"},
      {"native style on, theme active, a skin name", true,
       [](TcxLookAndFeel& L) {
         L.SetKind(lfFlat);
         L.SetSkinName(L"Standard");
       },
       L"Native", lfsNative, nullptr},
      {"native style on, theme not active, a skin name", false,
       [](TcxLookAndFeel& L) {
         L.SetKind(lfFlat);
         L.SetSkinName(L"Standard");
       },
       L"Flat", lfsFlat, nullptr},
      {"native style on, theme not active, Office 11", false,
       [](TcxLookAndFeel& L) { L.SetKind(lfOffice11); }, L"Office11", lfsOffice11, nullptr},
  };
  return choices;
}

void ExpectChoice(TcxLookAndFeel& L, const TChoice& row) {
  EXPECT_EQ(NameOf(L.Painter()), row.Painter);
  EXPECT_EQ(L.Painter(), Registered(row.Painter));
  EXPECT_EQ(L.GetActiveStyle(), row.ActiveStyle);
  EXPECT_EQ(NameOf(L.SkinPainter()), row.SkinPainter ? row.SkinPainter : L"(none)");
  EXPECT_EQ(L.GetAvailablePainter(), L.Painter());
}

TEST_F(LookAndFeel, ThePainterFollowsKindNativeStyleAndSkinNameOnItselfOrOnTheRoot) {
  for (bool onRoot : {false, true}) {
    for (const TChoice& row : Choices()) {
      SCOPED_TRACE(std::string(row.Case) + (onRoot ? ", set on the root" : ", set on itself"));
      SetUp();
      std::unique_ptr<TWithoutThemes> noThemes;
      if (!row.ThemeActive)
        noThemes = std::make_unique<TWithoutThemes>();
      TcxLookAndFeel L(nullptr);
      row.Assign(onRoot ? *RootLookAndFeel() : L);
      ExpectChoice(L, row);
      if (onRoot) {
        EXPECT_TRUE(L.AssignedValues().Empty());
        ExpectChoice(*RootLookAndFeel(), row);
      }
      TearDown();
    }
  }
}

TEST_F(LookAndFeel, NeededThemeClassesThatCannotBeOpenedStillGiveTheNativePainter) {
  TcxLookAndFeel L(nullptr);
  ASSERT_FALSE(AreVisualStylesAvailable(totClock));
  EXPECT_EQ(L.GetAvailablePainter(totClock), Registered(L"Native"));
  EXPECT_EQ(L.GetAvailablePainter({totButton, totClock}), Registered(L"Native"));
  L.SetNativeStyle(false);
  L.SetKind(lfFlat);
  EXPECT_EQ(L.GetAvailablePainter(totButton), Registered(L"Flat"));
}

TEST_F(LookAndFeel, ThemesSwitchedOffAreNoticedAtTheNextSystemColourChange) {
  TcxLookAndFeel L(nullptr);
  TChangeLog log(L);
  EXPECT_EQ(L.Painter(), Registered(L"Native"));
  TWithoutThemes noThemes;
  SendMessageW(SystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(L.Painter(), Registered(L"UltraFlat"));
  EXPECT_FALSE(log.Calls.empty());
}

// ---------------------------------------------------------------- values

TEST_F(LookAndFeel, ANewLookAndFeelHasTheBuiltInValuesAndNothingAssigned) {
  TcxLookAndFeel L(nullptr);
  EXPECT_EQ(L.Kind(), lfUltraFlat);
  EXPECT_TRUE(L.NativeStyle());
  EXPECT_EQ(L.SkinName(), L"");
  EXPECT_EQ(L.ScrollbarMode(), sbmDefault);
  EXPECT_EQ(L.ScrollMode(), scmDefault);
  EXPECT_EQ(L.RenderMode(), rmDefault);
  EXPECT_TRUE(L.AssignedValues().Empty());
  EXPECT_EQ(L.GetMasterLookAndFeel(), RootLookAndFeel());
  EXPECT_EQ(RootLookAndFeel()->GetMasterLookAndFeel(), nullptr);
  EXPECT_EQ(RootLookAndFeel()->Owner(), nullptr);
  EXPECT_TRUE(RootLookAndFeel()->IsRootLookAndFeel());
  EXPECT_FALSE(L.IsRootLookAndFeel());
  EXPECT_EQ(RootLookAndFeel()->ChangeListenerCount(), 1);
}

// One row per value: a setter taking two distinct non-default values, and a
// check that reads whether the current value is the first, second or
// default one.
struct TValueRow {
  TcxLookAndFeelValue Value;
  std::function<void(TcxLookAndFeel&, int)> Set; // 1 or 2
  std::function<int(const TcxLookAndFeel&)> Get; // 0 default, 1, 2
  std::function<bool(const TcxLookAndFeel&)> Stored;
};

const std::vector<TValueRow>& ValueRows() {
  static const std::vector<TValueRow> rows = {
      {lfvKind, [](TcxLookAndFeel& L, int v) { L.SetKind(v == 1 ? lfFlat : lfOffice11); },
       [](const TcxLookAndFeel& L) {
         return L.Kind() == lfFlat ? 1 : L.Kind() == lfOffice11 ? 2 : 0;
       },
       [](const TcxLookAndFeel& L) { return L.IsKindStored(); }},
      {lfvNativeStyle, [](TcxLookAndFeel& L, int v) { L.SetNativeStyle(v == 2); },
       // Only one non-default native style exists: the second is the default.
       [](const TcxLookAndFeel& L) { return L.NativeStyle() ? 0 : 1; },
       [](const TcxLookAndFeel& L) { return L.IsNativeStyleStored(); }},
      {lfvSkinName, [](TcxLookAndFeel& L, int v) { L.SetSkinName(v == 1 ? L"One" : L"Two"); },
       [](const TcxLookAndFeel& L) {
         return L.SkinName() == L"One" ? 1 : L.SkinName() == L"Two" ? 2 : 0;
       },
       [](const TcxLookAndFeel& L) { return L.IsSkinNameStored(); }},
      {lfvScrollbarMode,
       [](TcxLookAndFeel& L, int v) { L.SetScrollbarMode(v == 1 ? sbmTouch : sbmHybrid); },
       [](const TcxLookAndFeel& L) {
         return L.ScrollbarMode() == sbmTouch ? 1 : L.ScrollbarMode() == sbmHybrid ? 2 : 0;
       },
       [](const TcxLookAndFeel& L) { return L.IsScrollbarModeStored(); }},
      {lfvRenderMode, [](TcxLookAndFeel& L, int v) { L.SetRenderMode(v == 1 ? rmGDI : rmDirectX); },
       [](const TcxLookAndFeel& L) {
         return L.RenderMode() == rmGDI ? 1 : L.RenderMode() == rmDirectX ? 2 : 0;
       },
       [](const TcxLookAndFeel& L) { return L.IsRenderModeStored(); }},
      {lfvScrollMode,
       [](TcxLookAndFeel& L, int v) { L.SetScrollMode(v == 1 ? scmClassic : scmSmooth); },
       [](const TcxLookAndFeel& L) {
         return L.ScrollMode() == scmClassic ? 1 : L.ScrollMode() == scmSmooth ? 2 : 0;
       },
       [](const TcxLookAndFeel& L) { return L.IsScrollModeStored(); }},
  };
  return rows;
}

TEST_F(LookAndFeel, EachValueIsInheritedThroughTheChainUntilAssigned) {
  for (const TValueRow& row : ValueRows()) {
    SCOPED_TRACE(static_cast<int>(row.Value));
    SetUp();
    TcxLookAndFeel& root = SettledRoot();
    TcxLookAndFeel master(nullptr);
    TcxLookAndFeel L(nullptr);
    L.SetMasterLookAndFeel(&master);
    TChangeLog log(L);
    const TcxLookAndFeelValues only{row.Value};

    // From the root through the master.
    row.Set(root, 1);
    EXPECT_EQ(row.Get(master), 1);
    EXPECT_EQ(row.Get(L), 1);
    EXPECT_EQ(log.Calls, std::vector<TcxLookAndFeelValues>{only});
    EXPECT_FALSE(row.Stored(L));
    EXPECT_TRUE(row.Stored(root));

    // The master's own value stops the root's.
    row.Set(master, 2);
    EXPECT_EQ(master.AssignedValues(), only);
    EXPECT_EQ(row.Get(L), row.Value == lfvNativeStyle ? 0 : 2);
    row.Set(root, 2);
    row.Set(root, 1);
    EXPECT_EQ(row.Get(L), row.Value == lfvNativeStyle ? 0 : 2);

    // Its own value stops the master's; giving it up inherits again.
    row.Set(L, 1);
    EXPECT_TRUE(row.Stored(L));
    EXPECT_EQ(L.AssignedValues(), only);
    EXPECT_EQ(row.Get(L), 1);
    log.Calls.clear();
    L.SetAssignedValues({});
    EXPECT_FALSE(row.Stored(L));
    EXPECT_EQ(row.Get(L), row.Value == lfvNativeStyle ? 0 : 2);
    EXPECT_EQ(log.Calls, std::vector<TcxLookAndFeelValues>{only});
    master.SetAssignedValues({});
    EXPECT_EQ(row.Get(L), 1);
    TearDown();
  }
}

TEST_F(LookAndFeel, AssigningTheValueInForceStoresItWithoutNotifying) {
  TcxLookAndFeel L(nullptr);
  TChangeLog log(L);
  L.SetKind(lfUltraFlat);
  L.SetNativeStyle(true);
  L.SetSkinName(L"");
  EXPECT_TRUE(L.IsKindStored());
  EXPECT_TRUE(L.IsNativeStyleStored());
  EXPECT_TRUE(L.IsSkinNameStored());
  EXPECT_EQ(L.AssignedValues(), (TcxLookAndFeelValues{lfvKind, lfvNativeStyle, lfvSkinName}));
  EXPECT_TRUE(log.Calls.empty());
}

TEST_F(LookAndFeel, SkinNamesCompareExactlyForNotificationButNotForThePainter) {
  TcxLookAndFeel L(nullptr);
  L.SetNativeStyle(false);
  TChangeLog log(L);
  L.SetSkinName(L"flat");
  EXPECT_EQ(L.SkinPainter(), Registered(L"Flat"));
  L.SetSkinName(L"Flat");
  EXPECT_EQ(L.SkinPainter(), Registered(L"Flat"));
  EXPECT_EQ(log.Calls, (std::vector<TcxLookAndFeelValues>{{lfvSkinName}, {lfvSkinName}}));
}

TEST_F(LookAndFeel, SetStyleSetsTheNativeStyleAndOtherwiseTheKindOfTheStyle) {
  struct {
    TcxLookAndFeelStyle Style;
    bool NativeStyle;
    TcxLookAndFeelKind Kind;
  } const rows[] = {
      {lfsNative, true, lfOffice11},      {lfsSkin, false, lfUltraFlat},
      {lfsFlat, false, lfFlat},           {lfsStandard, false, lfStandard},
      {lfsUltraFlat, false, lfUltraFlat}, {lfsOffice11, false, lfOffice11},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.Style));
    TcxLookAndFeel L(nullptr);
    L.SetKind(lfOffice11);
    L.SetStyle(row.Style);
    EXPECT_EQ(L.NativeStyle(), row.NativeStyle);
    EXPECT_EQ(L.Kind(), row.Kind);
  }
}

TEST_F(LookAndFeel, TouchScrollUIModeMapsOntoTheScrollbarMode) {
  TcxLookAndFeel L(nullptr);
  const struct {
    TdxTouchScrollUIMode Set;
    TdxScrollbarMode Mode;
  } rows[] = {{tsmEnabled, sbmTouch}, {tsmDefault, sbmDefault}, {tsmDisabled, sbmClassic}};
  for (const auto& row : rows) {
    L.SetTouchScrollUIMode(row.Set);
    EXPECT_EQ(L.ScrollbarMode(), row.Mode);
    EXPECT_EQ(L.GetTouchScrollUIMode(), row.Set);
  }
  L.SetScrollbarMode(sbmHybrid);
  EXPECT_EQ(L.GetTouchScrollUIMode(), tsmDisabled);

  EXPECT_TRUE(cxIsTouchScrollUIModeEnabled());
  RootLookAndFeel()->SetScrollbarMode(sbmHybrid);
  EXPECT_FALSE(cxIsTouchScrollUIModeEnabled());
  RootLookAndFeel()->SetScrollbarMode(sbmTouch);
  EXPECT_TRUE(cxIsTouchScrollUIModeEnabled());
}

// ---------------------------------------------------------------- notification

TEST_F(LookAndFeel, TheRootsChangeReachesEveryLookAndFeelWithoutItsOwnValueOnce) {
  TcxLookAndFeel& root = *RootLookAndFeel();
  TcxLookAndFeel inherits(nullptr);
  TcxLookAndFeel own(nullptr);
  own.SetKind(lfStandard);
  TChangeLog rootLog(root), inheritsLog(inherits), ownLog(own);
  int ownBegins = 0, ownEnds = 0;
  own.OnMasterBeginChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &own);
    ++ownBegins;
  };
  own.OnMasterEndChange = [&](TObject*) { ++ownEnds; };

  // The root's first change also reports the skin setting it had not
  // resolved yet.
  root.SetKind(lfFlat);
  const TcxLookAndFeelValues first{lfvKind, lfvSkinName};
  EXPECT_EQ(rootLog.Calls, std::vector<TcxLookAndFeelValues>{first});
  EXPECT_EQ(inheritsLog.Calls, std::vector<TcxLookAndFeelValues>{first});
  EXPECT_EQ(ownLog.Calls, std::vector<TcxLookAndFeelValues>{{lfvSkinName}});
  EXPECT_EQ(inherits.Kind(), lfFlat);
  EXPECT_EQ(own.Kind(), lfStandard);

  rootLog.Calls.clear();
  inheritsLog.Calls.clear();
  ownLog.Calls.clear();
  root.SetKind(lfOffice11);
  EXPECT_EQ(rootLog.Calls, std::vector<TcxLookAndFeelValues>{{lfvKind}});
  EXPECT_EQ(inheritsLog.Calls, std::vector<TcxLookAndFeelValues>{{lfvKind}});
  // Told, but nothing of its own changed.
  EXPECT_TRUE(ownLog.Calls.empty());
  EXPECT_EQ(ownBegins, 2);
  EXPECT_EQ(ownEnds, 2);
}

TEST_F(LookAndFeel, ChangesInsideUpdatesAreReportedOnceByTheOutermostEndUpdate) {
  SettledRoot();
  TcxLookAndFeel L(nullptr);
  TcxLookAndFeel child(nullptr);
  child.SetMasterLookAndFeel(&L);
  TChangeLog log(L), childLog(child);
  L.BeginUpdate();
  L.SetKind(lfFlat);
  L.BeginUpdate();
  L.SetRenderMode(rmGDI);
  L.EndUpdate();
  L.SetNativeStyle(false);
  // Resolved at once, reported later.
  EXPECT_EQ(L.Painter(), Registered(L"Flat"));
  EXPECT_EQ(child.Kind(), lfUltraFlat);
  EXPECT_TRUE(log.Calls.empty());
  L.EndUpdate();
  const TcxLookAndFeelValues all3{lfvKind, lfvRenderMode, lfvNativeStyle};
  EXPECT_EQ(log.Calls, std::vector<TcxLookAndFeelValues>{all3});
  EXPECT_EQ(childLog.Calls, std::vector<TcxLookAndFeelValues>{all3});
  EXPECT_EQ(child.Painter(), Registered(L"Flat"));
  L.EndUpdate(); // unbalanced: nothing
  EXPECT_EQ(log.Calls.size(), 1u);
}

// A listener that is not a look-and-feel; records its calls in a shared log.
class TListener : public TObject, public IcxLookAndFeelNotificationListener {
public:
  TListener(std::wstring AName, std::vector<std::wstring>& ALog)
      : FName(std::move(AName)), FLog(ALog) {}
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues AValues) override {
    FLog.push_back(FName + L" changed " + std::to_wstring(AValues.Bits()));
    if (OnChanged)
      OnChanged();
  }
  void MasterLookAndFeelDestroying(TcxLookAndFeel*) override {
    FLog.push_back(FName + L" destroying");
  }
  std::function<void()> OnChanged;

protected:
  std::wstring FName;
  std::vector<std::wstring>& FLog;
};

class TListener2 : public TListener, public IcxLookAndFeelNotificationListener2 {
public:
  using TListener::TListener;
  void MasterLookAndFeelBeginChange() override { FLog.push_back(FName + L" begin"); }
  void MasterLookAndFeelEndChange() override { FLog.push_back(FName + L" end"); }
};

TEST_F(LookAndFeel, ListenersAreToldInThreePassesAndMayLeaveOrJoinMeanwhile) {
  TcxLookAndFeel L(nullptr);
  std::vector<std::wstring> log;
  TListener2 a(L"a", log);
  TListener b(L"b", log);
  TListener2 c(L"c", log);
  TListener2 late(L"late", log);
  TObject notAListener;
  L.AddChangeListener(&a);
  L.AddChangeListener(&b);
  L.AddChangeListener(&a); // once only
  L.AddChangeListener(&c);
  L.AddChangeListener(&notAListener);
  L.AddChangeListener(nullptr);
  EXPECT_EQ(L.ChangeListenerCount(), 3);

  // b leaves while told and lets a new listener join.
  b.OnChanged = [&] {
    L.RemoveChangeListener(&b);
    L.AddChangeListener(&late);
  };
  L.SetKind(lfFlat);
  const std::wstring kind = L" changed " + std::to_wstring(TcxLookAndFeelValues{lfvKind}.Bits());
  EXPECT_EQ(
      log, (std::vector<std::wstring>{L"a begin", L"c begin", L"a" + kind, L"b" + kind, L"c" + kind,
                                      L"late" + kind, L"a end", L"c end", L"late end"}));
  EXPECT_EQ(L.ChangeListenerCount(), 3);
  L.RemoveChangeListener(&late);
  L.RemoveChangeListener(&notAListener);
  EXPECT_EQ(L.ChangeListenerCount(), 2);
}

TEST_F(LookAndFeel, ADestroyedMasterLeavesItsListenersWithTheRoot) {
  TcxLookAndFeel& root = SettledRoot();
  root.SetKind(lfStandard);
  std::vector<std::wstring> log;
  TListener other(L"other", log);
  auto master = std::make_unique<TcxLookAndFeel>(nullptr);
  master->SetKind(lfFlat);
  TcxLookAndFeel L(nullptr);
  L.SetMasterLookAndFeel(master.get());
  master->AddChangeListener(&other);
  EXPECT_EQ(root.ChangeListenerCount(), 1); // only the master
  EXPECT_EQ(L.Kind(), lfFlat);
  TChangeLog changes(L);

  master.reset();
  EXPECT_EQ(log, std::vector<std::wstring>{L"other destroying"});
  EXPECT_EQ(L.GetMasterLookAndFeel(), &root);
  EXPECT_EQ(L.Kind(), lfStandard);
  EXPECT_EQ(changes.Calls, std::vector<TcxLookAndFeelValues>{{lfvKind}});
  EXPECT_EQ(root.ChangeListenerCount(), 1); // now L

  // A look-and-feel that goes first leaves its master's list.
  {
    TcxLookAndFeel short_lived(nullptr);
    EXPECT_EQ(root.ChangeListenerCount(), 2);
  }
  EXPECT_EQ(root.ChangeListenerCount(), 1);
}

TEST_F(LookAndFeel, SettingTheMasterReportsWhatChangedAndRefusesItself) {
  TcxLookAndFeel& root = SettledRoot();
  TcxLookAndFeel master(nullptr);
  master.SetKind(lfOffice11);
  master.SetScrollMode(scmSmooth);
  TcxLookAndFeel L(nullptr);
  TChangeLog log(L);
  L.SetMasterLookAndFeel(&L);
  L.SetMasterLookAndFeel(&root); // the root is already its master
  EXPECT_TRUE(log.Calls.empty());
  L.SetMasterLookAndFeel(&master);
  EXPECT_EQ(log.Calls, (std::vector<TcxLookAndFeelValues>{{lfvKind, lfvScrollMode}}));
  EXPECT_EQ(master.ChangeListenerCount(), 1);
  EXPECT_EQ(root.ChangeListenerCount(), 1); // the master
  L.SetMasterLookAndFeel(nullptr);
  EXPECT_EQ(L.Kind(), lfUltraFlat);
  EXPECT_EQ(master.ChangeListenerCount(), 0);
  root.SetMasterLookAndFeel(&master);
  EXPECT_EQ(root.GetMasterLookAndFeel(), nullptr);
}

TEST_F(LookAndFeel, AssignCopiesOwnValuesAssignedSetAndMasterInOneReport) {
  SettledRoot();
  TcxLookAndFeel master(nullptr);
  master.SetRenderMode(rmGDIPlus);
  TcxLookAndFeel source(nullptr);
  source.SetMasterLookAndFeel(&master);
  source.SetNativeStyle(false);
  source.SetKind(lfStandard);
  TcxLookAndFeel L(nullptr);
  L.SetScrollMode(scmSmooth);
  TChangeLog log(L);

  L.Assign(&source);
  EXPECT_EQ(L.AssignedValues(), source.AssignedValues());
  EXPECT_EQ(L.GetMasterLookAndFeel(), &master);
  EXPECT_EQ(L.Kind(), lfStandard);
  EXPECT_FALSE(L.NativeStyle());
  EXPECT_EQ(L.RenderMode(), rmGDIPlus);
  EXPECT_EQ(L.ScrollMode(), scmDefault);
  EXPECT_EQ(L.Painter(), Registered(L"Standard"));
  EXPECT_EQ(log.Calls, (std::vector<TcxLookAndFeelValues>{
                           {lfvKind, lfvNativeStyle, lfvRenderMode, lfvScrollMode}}));

  TObject other;
  EXPECT_THROW(L.Assign(&other), EConvertError);
}

// ---------------------------------------------------------------- system colours

TEST_F(LookAndFeel, ABroadcastColourChangeReachesEveryLookAndFeelAfterTheColourCaches) {
  TcxLookAndFeel& root = SettledRoot();
  TcxLookAndFeel a(nullptr);
  TcxLookAndFeel b(nullptr);
  b.SetMasterLookAndFeel(&a);
  TcxLookAndFeel own(nullptr);
  own.SetNativeStyle(true);
  const TColor stale = 0x00123456;
  ASSERT_NE(stale, dxOffice11DockColor1);
  const TColor fresh = dxOffice11DockColor1;
  dxOffice11DockColor1 = stale;

  struct TSeen {
    int Reports = 0;
    bool OnlyNativeStyle = true;
    bool CachesFresh = true;
  };
  std::vector<TSeen> seen(4);
  TcxLookAndFeel* all[] = {&root, &a, &b, &own};
  for (size_t i = 0; i < 4; ++i)
    all[i]->OnChanged = [&seen, i, fresh](TcxLookAndFeel*, TcxLookAndFeelValues AValues) {
      ++seen[i].Reports;
      seen[i].OnlyNativeStyle &= AValues == TcxLookAndFeelValues{lfvNativeStyle};
      seen[i].CachesFresh &= dxOffice11DockColor1 == fresh;
    };

  DWORD_PTR result = 0;
  ASSERT_NE(
      SendMessageTimeoutW(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result),
      0);
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_GE(seen[i].Reports, 1);
    EXPECT_TRUE(seen[i].OnlyNativeStyle);
    EXPECT_TRUE(seen[i].CachesFresh);
  }
  // Its own native style keeps the master's reports away: its notifier only.
  EXPECT_EQ(seen[3].Reports, 1);
}

// ---------------------------------------------------------------- registry

class TSkinPainter : public TcxUltraFlatLookAndFeelPainter {
public:
  std::wstring LookAndFeelName() override { return L"Zz"; }
  TcxLookAndFeelStyle LookAndFeelStyle() override { return lfsSkin; }
};

TEST_F(LookAndFeel, PaintersAddedOrRemovedRefreshTheRootAndEveryoneBelow) {
  TcxLookAndFeel& root = SettledRoot();
  EXPECT_NE(cxRootLookAndFeelRefreshProc, nullptr);
  TcxLookAndFeel L(nullptr);
  L.SetNativeStyle(false);
  L.SetSkinName(L"zz");
  EXPECT_EQ(L.SkinPainter(), nullptr);
  TChangeLog rootLog(root), log(L);

  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  ASSERT_TRUE(manager->Register(std::make_unique<TSkinPainter>()));
  EXPECT_EQ(rootLog.Calls, std::vector<TcxLookAndFeelValues>{LookAndFeelValueAll});
  const TcxLookAndFeelValues notOwn =
      LookAndFeelValueAll - TcxLookAndFeelValues{lfvNativeStyle, lfvSkinName};
  EXPECT_EQ(log.Calls, std::vector<TcxLookAndFeelValues>{notOwn});
  EXPECT_EQ(L.SkinPainter(), manager->GetPainter(L"Zz"));
  EXPECT_EQ(L.Painter(), L.SkinPainter());
  EXPECT_EQ(L.GetActiveStyle(), lfsSkin);

  // Nothing keeps a painter that has gone.
  ASSERT_TRUE(manager->Unregister(L"Zz"));
  EXPECT_EQ(rootLog.Calls.size(), 2u);
  EXPECT_EQ(L.SkinPainter(), nullptr);
  EXPECT_EQ(L.Painter(), Registered(L"UltraFlat"));
}

// ---------------------------------------------------------------- controller

TEST_F(LookAndFeel, ControllersEditTheRootAndTheLastOneGoingResetsIt) {
  TcxLookAndFeel& root = SettledRoot();
  TcxLookAndFeel L(nullptr);
  auto first = std::make_unique<TcxLookAndFeelController>(nullptr);
  auto second = std::make_unique<TcxLookAndFeelController>(nullptr);
  EXPECT_EQ(root.ChangeListenerCount(), 3);
  // Only the root takes a controller.
  L.AddChangeListener(first.get());
  EXPECT_EQ(L.ChangeListenerCount(), 0);

  first->SetNativeStyle(false);
  second->SetKind(lfFlat);
  first->SetSkinName(L"Standard");
  EXPECT_EQ(second->Kind(), lfFlat);
  EXPECT_EQ(L.Painter(), Registered(L"Standard"));
  cxUseSkins = false;

  first.reset();
  EXPECT_EQ(root.AssignedValues(), (TcxLookAndFeelValues{lfvKind, lfvNativeStyle, lfvSkinName}));
  second.reset();
  EXPECT_TRUE(root.AssignedValues().Empty());
  EXPECT_TRUE(cxUseSkins);
  EXPECT_EQ(L.Painter(), Registered(L"Native"));
  EXPECT_EQ(root.ChangeListenerCount(), 1);
}

TEST_F(LookAndFeel, SwitchingTheTouchModeMakesEveryLookAndFeelReport) {
  SettledRoot();
  TcxLookAndFeel everything(nullptr);
  everything.SetAssignedValues(LookAndFeelValueAll);
  TChangeLog log(everything);
  TcxLookAndFeelController controller(nullptr);
  controller.SetTouchMode(true);
  EXPECT_TRUE(cxIsTouchModeEnabled);
  EXPECT_TRUE(controller.TouchMode());
  EXPECT_FALSE(cxIsTouchSettingsChanging);
  EXPECT_EQ(log.Calls, std::vector<TcxLookAndFeelValues>{kNone});
  controller.SetTouchMode(true);
  EXPECT_EQ(log.Calls.size(), 1u);
}

// ---------------------------------------------------------------- form descriptions

// A component owning a look-and-feel, as a control does.
class TOwnerOfLookAndFeel : public TComponent {
public:
  explicit TOwnerOfLookAndFeel(TComponent* AOwner) : TComponent(AOwner), FLookAndFeel(this) {}
  std::wstring ClassName() const override { return L"TOwnerOfLookAndFeel"; }
  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override {
    return SetLookAndFeelProperty(FLookAndFeel, path, value) ||
           TComponent::SetProperty(path, value);
  }
  TcxLookAndFeel FLookAndFeel;
};

class TFormRoot : public TComponent {
public:
  TFormRoot() : TComponent(nullptr) {}
  std::wstring ClassName() const override { return L"TFormRoot"; }
};

TEST_F(LookAndFeel, AFormDescriptionLoadsTheLookAndFeelOfItsOwner) {
  RegisterComponentClass(L"TOwnerOfLookAndFeel",
                         [](TComponent* AOwner) { return new TOwnerOfLookAndFeel(AOwner); });
  TFormRoot form;
  ReadComponent(&form, ParseFormDescription(L"object f: TFormRoot\n"
                                            L"  object c: TOwnerOfLookAndFeel\n"
                                            L"    LookAndFeel.Kind = lfOffice11\n"
                                            L"    LookAndFeel.NativeStyle = False\n"
                                            L"    LookAndFeel.SkinName = ''\n"
                                            L"    LookAndFeel.RenderMode = rmDirectX\n"
                                            L"    LookAndFeel.ScrollMode = scmSmooth\n"
                                            L"    LookAndFeel.TouchScrollUIMode = tsmEnabled\n"
                                            L"  end\n"
                                            L"  object ctl: TcxLookAndFeelController\n"
                                            L"    Kind = lfFlat\n"
                                            L"  end\n"
                                            L"end\n"));
  UnregisterComponentClass(L"TOwnerOfLookAndFeel");
  auto* owner = dynamic_cast<TOwnerOfLookAndFeel*>(form.FindComponent(L"c"));
  ASSERT_NE(owner, nullptr);
  TcxLookAndFeel& L = owner->FLookAndFeel;
  EXPECT_EQ(L.Owner(), owner);
  EXPECT_EQ(L.Kind(), lfOffice11);
  EXPECT_FALSE(L.NativeStyle());
  EXPECT_EQ(L.RenderMode(), rmDirectX);
  EXPECT_EQ(L.ScrollMode(), scmSmooth);
  EXPECT_EQ(L.ScrollbarMode(), sbmTouch);
  EXPECT_EQ(L.AssignedValues(), LookAndFeelValueAll);
  EXPECT_EQ(L.Painter(), Registered(L"Office11"));
  EXPECT_EQ(RootLookAndFeel()->Kind(), lfFlat);

  // What is written reads back into the same values.
  TcxLookAndFeel copy(nullptr);
  std::vector<std::wstring> names;
  L.WriteProperties([&](const std::wstring& AName, const TPropertyValue& AValue) {
    names.push_back(AName);
    EXPECT_TRUE(copy.SetProperty(AName, AValue));
  });
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Kind", L"NativeStyle", L"RenderMode",
                                              L"ScrollbarMode", L"ScrollMode", L"SkinName"}));
  EXPECT_EQ(copy.AssignedValues(), LookAndFeelValueAll);
  EXPECT_EQ(copy.Kind(), lfOffice11);
  EXPECT_EQ(copy.ScrollbarMode(), sbmTouch);
  // Nothing assigned, nothing written.
  TcxLookAndFeel plain(nullptr);
  plain.WriteProperties([](const std::wstring& AName, const TPropertyValue&) {
    ADD_FAILURE() << "wrote " << std::string(AName.begin(), AName.end());
  });
}

TEST_F(LookAndFeel, TheOlderTouchEntryAndFaultyValues) {
  const struct {
    const wchar_t* Identifier;
    TdxScrollbarMode Mode;
  } rows[] = {{L"tsmEnabled", sbmTouch},
              {L"tsmDefault", sbmDefault},
              {L"tsmDisabled", sbmClassic},
              {L"tsmSomethingElse", sbmClassic}};
  for (const auto& row : rows) {
    TcxLookAndFeel L(nullptr);
    TPropertyValue value;
    value.Kind = TPropertyValue::TKind::Identifier;
    value.Text = row.Identifier;
    EXPECT_TRUE(SetLookAndFeelProperty(L, L"LookAndFeel.TouchScrollUIMode", value));
    EXPECT_EQ(L.ScrollbarMode(), row.Mode);
    EXPECT_EQ(L.AssignedValues(), TcxLookAndFeelValues{lfvScrollbarMode});
  }
  TcxLookAndFeel L(nullptr);
  TPropertyValue bad;
  bad.Kind = TPropertyValue::TKind::Identifier;
  bad.Text = L"lfShiny";
  EXPECT_THROW(SetLookAndFeelProperty(L, L"LookAndFeel.Kind", bad), EReadError);
  EXPECT_FALSE(SetLookAndFeelProperty(L, L"LookAndFeel.Colour", bad));
  EXPECT_FALSE(SetLookAndFeelProperty(L, L"Kind", bad));
  EXPECT_TRUE(L.AssignedValues().Empty());

  TPropertyValue set;
  set.Kind = TPropertyValue::TKind::Set;
  set.Items = {L"lfvKind", L"lfvScrollMode"};
  EXPECT_TRUE(L.SetProperty(L"AssignedValues", set));
  EXPECT_EQ(L.AssignedValues(), (TcxLookAndFeelValues{lfvKind, lfvScrollMode}));
}

// ---------------------------------------------------------------- shut-down

TEST_F(LookAndFeel, AfterShutDownThereIsNoRootAndNoneIsMade) {
  TcxLookAndFeel& root = SettledRoot();
  root.SetKind(lfFlat);
  TcxLookAndFeel survivor(nullptr);
  EXPECT_EQ(survivor.Kind(), lfFlat);

  DoneLookAndFeelsUnit();
  EXPECT_EQ(RootLookAndFeel(), nullptr);
  EXPECT_EQ(RootLookAndFeel(), nullptr);
  EXPECT_FALSE(IsRootLookAndFeelAssigned());
  EXPECT_EQ(cxRootLookAndFeelRefreshProc, nullptr);
  EXPECT_EQ(survivor.GetMasterLookAndFeel(), nullptr);
  EXPECT_TRUE(cxIsTouchScrollUIModeEnabled());

  // Survivors and newcomers fall back on the built-in values.
  survivor.Refresh();
  EXPECT_EQ(survivor.Kind(), lfUltraFlat);
  TcxLookAndFeel late(nullptr);
  EXPECT_EQ(late.GetMasterLookAndFeel(), nullptr);
  EXPECT_EQ(late.Painter(), Registered(L"Native"));
  TcxLookAndFeelController controller(nullptr);
  controller.SetKind(lfOffice11);
  EXPECT_EQ(controller.Kind(), lfUltraFlat);
  EXPECT_EQ(RootLookAndFeel(), nullptr);
  InitLookAndFeelsUnit();
}

} // namespace
} // namespace telvora
