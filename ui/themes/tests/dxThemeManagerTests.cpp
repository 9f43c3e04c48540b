// The theme manager against Wine's uxtheme.dll, whose new prefixes have an
// active theme and OpenThemeDataForDpi, on one monitor of 96 DPI. Wine's
// theme has no "Clock" class, which serves as the class that cannot be
// opened.

#include "ui/themes/dxThemeManager.h"

#include "platform/Application.h"
#include "platform/Handles.h"
#include "ui/support/dxDPI.h"
#include "ui/support/dxScaleFactor.h"
#include "ui/support/tests/SystemDpiProcess.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace telvora {
namespace {

constexpr int kPushButton = 1;
constexpr int kCheckBox = 3;
constexpr int kNormal = 1;
constexpr int kTextColor = 3803; // TMT_TEXTCOLOR
constexpr int kColor = 204;      // TMT_COLOR, not in Wine's push-button theme
constexpr TdxThemedObjectType kMissingClass = totClock;

// Every test starts and ends with an empty cache reading the real monitors.
class ThemeManager : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(dxThemeDataManager(), nullptr);
    CloseAllThemes();
  }
  void TearDown() override {
    if (TdxThemeDataManager* manager = dxThemeDataManager())
      manager->SetDpiListSource(TdxThemeDataManager::MonitorDpis);
    CloseAllThemes();
  }
  static TdxThemeDataManager& Cache() { return *dxThemeDataManager(); }
};

// Empties a slot of the library table for the life of the holder.
class TUnboundEntry {
public:
  explicit TUnboundEntry(TdxUxThemeEntry entry)
      : FEntry(entry), FAddress(dxReplaceUxThemeEntryAddress(entry, nullptr)) {}
  ~TUnboundEntry() { dxReplaceUxThemeEntryAddress(FEntry, FAddress); }
  TUnboundEntry(const TUnboundEntry&) = delete;
  TUnboundEntry& operator=(const TUnboundEntry&) = delete;

private:
  TdxUxThemeEntry FEntry;
  FARPROC FAddress;
};

// A scale factor of a given value.
class TFactor : public TdxScaleFactor {
public:
  TFactor(int numerator, int denominator) { Assign(numerator, denominator, false); }
};

SIZE CheckBoxSize(TdxTheme theme) {
  SIZE size{};
  EXPECT_EQ(GetThemePartSize(theme, nullptr, kCheckBox, kNormal, dxtsTrue, size), S_OK);
  return size;
}

TEST_F(ThemeManager, VisualStylesAreAvailableAndHandlesAreCached) {
  EXPECT_TRUE(IsGlobalThemeActive());
  EXPECT_TRUE(AreVisualStylesAvailable());
  const TdxTheme theme = OpenTheme(totButton);
  ASSERT_NE(theme, 0u);
  TdxThemeData* record = Cache().Find(totButton, 0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->Theme, theme);
  EXPECT_EQ(record->ClassNameList, L"Button");
  EXPECT_EQ(record->ScaleFactor, nullptr);
  EXPECT_EQ(Cache().FindByHandle(theme), record);

  EXPECT_EQ(OpenTheme(totButton), theme);
  EXPECT_EQ(OpenTheme(totButton, 0), theme);
  EXPECT_EQ(OpenTheme(totButton, nullptr), theme);
  EXPECT_EQ(Cache().Find(totButton, 0), record);
  EXPECT_EQ(Cache().Count(), 1);

  // Asking about types opens (and so caches) their themes.
  EXPECT_TRUE(AreVisualStylesAvailable(totButton));
  EXPECT_TRUE(AreVisualStylesAvailable({totToolBar, totScrollBar}));
  EXPECT_NE(Cache().Find(totToolBar, 0), nullptr);
  EXPECT_NE(Cache().Find(totScrollBar, 0), nullptr);
  EXPECT_EQ(Cache().Count(), 3);
}

TEST_F(ThemeManager, ClassThatCannotBeOpenedIsAskedOnceUntilCloseAll) {
  EXPECT_EQ(OpenTheme(kMissingClass), 0u);
  TdxThemeData* record = Cache().Find(kMissingClass, 0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->Theme, 0u);
  // Asking the platform again would have replaced the record.
  EXPECT_EQ(OpenTheme(kMissingClass), 0u);
  EXPECT_FALSE(AreVisualStylesAvailable(kMissingClass));
  EXPECT_EQ(Cache().Find(kMissingClass, 0), record);
  EXPECT_EQ(Cache().FindByHandle(0), nullptr);

  // The walk over a set stops at the first type without a theme.
  EXPECT_FALSE(AreVisualStylesAvailable({totToolBar, kMissingClass}));
  EXPECT_EQ(Cache().Find(totToolBar, 0), nullptr);
  EXPECT_EQ(Cache().Find(kMissingClass, 0), record);

  CloseAllThemes();
  EXPECT_EQ(Cache().Count(), 0);
  EXPECT_EQ(Cache().Find(kMissingClass, 0), nullptr);
  EXPECT_EQ(OpenTheme(kMissingClass), 0u);
  EXPECT_NE(Cache().Find(kMissingClass, 0), nullptr);
}

TEST_F(ThemeManager, ADifferentClassListReopensTheTheme) {
  const TdxTheme theme = OpenTheme(totButton);
  ASSERT_NE(theme, 0u);
  // The same list in other case answers the cached theme.
  EXPECT_EQ(OpenTheme(totButton, L"bUTTON"), theme);
  EXPECT_EQ(Cache().Find(totButton, 0)->ClassNameList, L"Button");

  EXPECT_EQ(OpenTheme(totButton, L"NoSuchThemeClass"), 0u);
  TdxThemeData* record = Cache().Find(totButton, 0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->ClassNameList, L"NoSuchThemeClass");
  EXPECT_EQ(Cache().FindByHandle(theme), nullptr);
  EXPECT_EQ(Cache().Count(), 1);
  // Without a list the cached record answers, whatever it was opened with.
  EXPECT_EQ(OpenTheme(totButton), 0u);
}

TEST(ThemeDpi, ClosestMonitorDpiWinsAndTheFirstOnATie) {
  struct {
    std::vector<int> Monitors;
    int Requested;
    int Expected;
  } cases[] = {
      {{96}, 120, 96},       {{96, 144}, 120, 96},      {{144, 96}, 120, 144},
      {{96, 144}, 121, 144}, {{96, 96, 192}, 200, 192}, {{}, 120, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TdxThemeDataManager::ClosestDpi(c.Monitors, c.Requested), c.Expected)
        << c.Requested << " among " << c.Monitors.size();
}

TEST(ThemeDpi, KeyHoldsTypeLowAndDpiHigh) {
  EXPECT_EQ(TdxThemeDataManager::MakeKey(totToolBar, 144), (std::uint64_t{144} << 32) | 19u);
  EXPECT_EQ(TdxThemeDataManager::MakeKey(totExplorerTreeView, 0), 30u);
}

TEST(ThemeDpi, TwoMonitorsAtTheSameDistanceOpenForTheFirst) {
  TdxThemeDataManager cache([] { return std::vector<int>{96, 144}; });
  // Wine keeps one theme object per class, sized for the DPI it was last
  // opened for, so each size is measured right after its opening.
  const TdxTheme at120 = cache.Open(totButton, 120);
  ASSERT_NE(at120, 0u);
  const SIZE size120 = CheckBoxSize(at120);
  EXPECT_NE(cache.Find(totButton, 96), nullptr);
  EXPECT_EQ(cache.Find(totButton, 120), nullptr);
  EXPECT_EQ(cache.Find(totButton, 144), nullptr);

  const TdxTheme at140 = cache.Open(totButton, 140);
  const SIZE size140 = CheckBoxSize(at140);
  TdxThemeData* record = cache.Find(totButton, 144);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->Theme, at140);
  ASSERT_NE(record->ScaleFactor, nullptr);
  EXPECT_EQ(record->ScaleFactor->Numerator(), 3);
  EXPECT_EQ(record->ScaleFactor->Denominator(), 2);
  // Opened for 144 DPI: the check box is larger than at 96.
  EXPECT_GT(size140.cx, size120.cx);
  EXPECT_EQ(cache.Count(), 2);
}

TEST(ThemeDpi, MonitorDpisAreReadOnFirstNeedAndAgainAfterCloseAll) {
  int reads = 0;
  TdxThemeDataManager cache([&reads] {
    ++reads;
    return std::vector<int>{144};
  });
  EXPECT_EQ(cache.ValidateDpiValue(100), 144);
  EXPECT_EQ(cache.ValidateDpiValue(200), 144);
  EXPECT_EQ(reads, 1);
  cache.CloseAll();
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(cache.ValidateDpiValue(96), 144);
  EXPECT_EQ(reads, 2);
  // Below 96 nothing is read and the theme opens without DPI.
  EXPECT_EQ(cache.ValidateDpiValue(95), 0);
  EXPECT_EQ(cache.ValidateDpiValue(0), 0);
}

TEST_F(ThemeManager, DpiIsValidatedAgainstTheMonitor) {
  // Wine's one monitor has 96 DPI.
  ASSERT_EQ(Cache().GetValidDpiList(), std::vector<int>{96});
  const TdxTheme at120 = OpenTheme(totButton, 120);
  ASSERT_NE(at120, 0u);
  TdxThemeData* record = Cache().Find(totButton, 96);
  ASSERT_NE(record, nullptr);
  ASSERT_NE(record->ScaleFactor, nullptr);
  EXPECT_FALSE(record->ScaleFactor->Assigned());
  EXPECT_EQ(OpenTheme(totButton, 96), at120);

  const TFactor factor(5, 4); // 120 DPI
  EXPECT_EQ(OpenTheme(totButton, &factor), at120);
  EXPECT_EQ(Cache().Count(), 1);

  OpenTheme(totButton, 72);
  EXPECT_NE(Cache().Find(totButton, 0), nullptr);
  EXPECT_EQ(Cache().Count(), 2);
}

TEST_F(ThemeManager, WithoutOpenThemeDataForDpiThemesOpenWithoutDpi) {
  TUnboundEntry unbound(TdxUxThemeEntry::OpenThemeDataForDpi);
  ASSERT_FALSE(IsThemeScalingSupported());
  EXPECT_NE(OpenTheme(totButton, 144), 0u);
  EXPECT_NE(Cache().Find(totButton, 0), nullptr);
  EXPECT_EQ(Cache().Count(), 1);
}

TEST_F(ThemeManager, ScaleFactorOfATheme) {
  Cache().SetDpiListSource([] { return std::vector<int>{96, 144}; });
  const TdxTheme at144 = OpenTheme(totButton, 144);
  const TdxScaleFactor* factor = GetThemeScaleFactor(at144);
  ASSERT_NE(factor, nullptr);
  EXPECT_EQ(factor->Numerator(), 3);
  EXPECT_EQ(factor->Denominator(), 2);
  // Opened without DPI, or not a known handle: the system factor.
  EXPECT_EQ(GetThemeScaleFactor(OpenTheme(totButton)), dxSystemScaleFactor());
  EXPECT_EQ(GetThemeScaleFactor(0), dxSystemScaleFactor());
}

TEST_F(ThemeManager, ScaledPartSizeFromEachScaleSource) {
  // A target of 150 %; the theme opens for 144 DPI where a monitor has it.
  Cache().SetDpiListSource([] { return std::vector<int>{96, 144}; });
  const TFactor target(3, 2);
  const SIZE at144 = CheckBoxSize(OpenTheme(totButton, 144));
  ASSERT_GT(at144.cx, 0);
  // At the system's 96 DPI a size at the system DPI is one at 96 DPI, as with
  // no scaling; ThemeManagerAtSystemDpi tells the two apart.
  ASSERT_EQ(dxGetSystemDPI(), 96);
  struct {
    TdxThemeSizeScaleSource Source;
    SIZE Expected;
  } cases[] = {
      {tssNoScaling, {MulDiv(at144.cx, 3, 2), MulDiv(at144.cy, 3, 2)}},
      {tssSystemDpi, {MulDiv(at144.cx, 3, 2), MulDiv(at144.cy, 3, 2)}},
      {tssThemeDpi, at144},
  };
  for (const auto& c : cases) {
    SIZE size{-1, -1};
    ASSERT_TRUE(GetThemeScaledPartSize(totButton, &target, kCheckBox, size, kNormal, c.Source))
        << c.Source;
    EXPECT_EQ(size.cx, c.Expected.cx) << c.Source;
    EXPECT_EQ(size.cy, c.Expected.cy) << c.Source;
    const SIZE answered = GetThemeScaledPartSize(totButton, &target, kCheckBox, kNormal, c.Source);
    EXPECT_EQ(answered.cx, c.Expected.cx) << c.Source;
  }

  // On the real monitor the theme opens for 96 DPI and is scaled up.
  Cache().SetDpiListSource(TdxThemeDataManager::MonitorDpis);
  CloseAllThemes();
  const SIZE at96 = CheckBoxSize(OpenTheme(totButton, 96));
  const SIZE scaled = GetThemeScaledPartSize(totButton, &target, kCheckBox, kNormal, tssThemeDpi);
  EXPECT_EQ(scaled.cx, MulDiv(at96.cx, 3, 2));
}

// Run by ThemeManagerAtSystemDpi in a process started at 144 DPI: a part
// size said to be at the system DPI is converted from 3/2, whatever DPI the
// theme was opened for.
TEST_F(ThemeManager, ScaledPartSizeAtTheSystemDpiOfThisProcess) {
  if (!testing::SystemDpiCaseOfThisProcess())
    GTEST_SKIP() << "runs in a process started by ThemeManagerAtSystemDpi";
  ASSERT_EQ(testing::SystemDpiCaseOfThisProcess(), 0);
  ASSERT_EQ(dxGetSystemDPI(), 144);
  Cache().SetDpiListSource([] { return std::vector<int>{96, 144}; });
  struct {
    int Numerator, Denominator; // the target
    int ThemeDpi;               // the DPI the theme opens for
    // Each source's size from the size measured at ThemeDpi: multiplied by
    // M and divided by D.
    int NoScalingM, NoScalingD;
    int SystemM, SystemD;
    int ThemeM, ThemeD;
  } cases[] = {
      {1, 1, 96, 1, 1, 2, 3, 1, 1},  // 100 %: from 144 to 96 DPI
      {3, 2, 144, 3, 2, 1, 1, 1, 1}, // 150 %: the system's own DPI
      {2, 1, 144, 2, 1, 4, 3, 4, 3}, // 200 %: the theme opens for 144
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Numerator) + "/" + std::to_string(c.Denominator));
    const TFactor target(c.Numerator, c.Denominator);
    // Wine sizes its one theme object for the DPI of the last opening:
    // measure right after opening the theme the operation itself finds.
    CloseAllThemes();
    const SIZE measured = CheckBoxSize(OpenTheme(totButton, &target));
    ASSERT_GT(measured.cx, 0);
    ASSERT_NE(Cache().Find(totButton, c.ThemeDpi), nullptr);
    const struct {
      TdxThemeSizeScaleSource Source;
      int M, D;
    } sources[] = {
        {tssNoScaling, c.NoScalingM, c.NoScalingD},
        {tssSystemDpi, c.SystemM, c.SystemD},
        {tssThemeDpi, c.ThemeM, c.ThemeD},
    };
    for (const auto& source : sources) {
      SIZE size{-1, -1};
      ASSERT_TRUE(
          GetThemeScaledPartSize(totButton, &target, kCheckBox, size, kNormal, source.Source))
          << source.Source;
      EXPECT_EQ(size.cx, MulDiv(measured.cx, source.M, source.D)) << source.Source;
      EXPECT_EQ(size.cy, MulDiv(measured.cy, source.M, source.D)) << source.Source;
    }
  }
  // Without a target the size is wanted at 96 DPI; a theme opened without
  // DPI is taken to be at the system DPI.
  CloseAllThemes();
  const SIZE measured = CheckBoxSize(OpenTheme(totButton));
  const SIZE size = GetThemeScaledPartSize(totButton, nullptr, kCheckBox, kNormal, tssThemeDpi);
  EXPECT_EQ(size.cx, MulDiv(measured.cx, 2, 3));
  EXPECT_EQ(size.cy, MulDiv(measured.cy, 2, 3));
}

TEST(ThemeManagerAtSystemDpi, ScaledPartSizeFromEachScaleSource) {
  if (!testing::NewProcessesFollowLogPixels())
    GTEST_SKIP() << "Windows applies LogPixels at the next logon only";
  EXPECT_TRUE(testing::RunTestAtSystemDpi("ThemeManager.ScaledPartSizeAtTheSystemDpiOfThisProcess",
                                          0, {144, std::nullopt}));
}

TEST_F(ThemeManager, ScaledPartSizeFailsWithoutATheme) {
  const TFactor target(3, 2);
  SIZE size{7, 7};
  EXPECT_FALSE(
      GetThemeScaledPartSize(kMissingClass, &target, kCheckBox, size, kNormal, tssNoScaling));
  const SIZE answered =
      GetThemeScaledPartSize(kMissingClass, &target, kCheckBox, kNormal, tssNoScaling);
  EXPECT_EQ(answered.cx, 0);
  EXPECT_EQ(answered.cy, 0);
}

TEST_F(ThemeManager, ThemeColour) {
  COLORREF raw = 0;
  ASSERT_EQ(GetThemeColor(OpenTheme(totButton), kPushButton, kNormal, kTextColor, raw), S_OK);
  struct {
    TdxThemedObjectType Type;
    int PropId;
    bool Answer;
    TColor Colour;
  } cases[] = {
      {totButton, kTextColor, true, static_cast<TColor>(raw)},
      {totButton, kColor, false, 255},            // the wrapper's starting value
      {kMissingClass, kTextColor, false, clNone}, // left alone
  };
  for (const auto& c : cases) {
    TColor colour = clNone;
    EXPECT_EQ(cxGetThemeColor(c.Type, kPushButton, kNormal, c.PropId, colour), c.Answer)
        << c.PropId;
    EXPECT_EQ(colour, c.Colour) << c.PropId;
  }
}

TEST_F(ThemeManager, DrawThemeBackgroundThroughTheCache) {
  TMemoryDC dc(CreateCompatibleDC(nullptr));
  TGdiObject bitmap(CreateBitmap(40, 20, 1, 32, nullptr));
  TSelectObject selected(dc.Get(), bitmap.Get());
  const RECT r{0, 0, 40, 20};
  const TFactor factor(1, 1);
  EXPECT_TRUE(dxDrawThemeBackground(dc.Get(), totButton, r, kPushButton, kNormal));
  EXPECT_TRUE(dxDrawThemeBackground(dc.Get(), totButton, &factor, r, kPushButton, kNormal));
  EXPECT_NE(Cache().Find(totButton, 0), nullptr);
  EXPECT_NE(Cache().Find(totButton, 96), nullptr);
  EXPECT_FALSE(dxDrawThemeBackground(dc.Get(), kMissingClass, r, kPushButton, kNormal));
}

// The platform's answer, counted.
int gTransparencyQuestions = 0;
FARPROC gTransparencyAnswer = nullptr;
BOOL WINAPI CountedIsThemeBackgroundPartiallyTransparent(TdxTheme theme, int part, int state) {
  ++gTransparencyQuestions;
  return reinterpret_cast<BOOL(WINAPI*)(TdxTheme, int, int)>(gTransparencyAnswer)(theme, part,
                                                                                  state);
}

TEST_F(ThemeManager, PartialTransparencyIsAskedOncePerOpenThemePartAndState) {
  const TdxTheme button = OpenTheme(totButton);
  const TdxTheme window = OpenTheme(totWindow);
  ASSERT_NE(button, 0u);
  ASSERT_NE(window, 0u);
  struct TCase {
    TdxTheme Theme;
    int Part, State;
  };
  const TCase cases[] = {{button, kPushButton, kNormal},
                         {button, kPushButton, 2},
                         {button, kCheckBox, kNormal},
                         {window, 1, 1},
                         {window, 17, 1}};
  std::vector<BOOL> direct;
  for (const TCase& c : cases)
    direct.push_back(IsThemeBackgroundPartiallyTransparent(c.Theme, c.Part, c.State));

  gTransparencyAnswer =
      dxUxThemeEntryAddress(TdxUxThemeEntry::IsThemeBackgroundPartiallyTransparent);
  ASSERT_NE(gTransparencyAnswer, nullptr);
  gTransparencyQuestions = 0;
  {
    TUnboundEntry counted(TdxUxThemeEntry::IsThemeBackgroundPartiallyTransparent);
    dxReplaceUxThemeEntryAddress(
        TdxUxThemeEntry::IsThemeBackgroundPartiallyTransparent,
        reinterpret_cast<FARPROC>(&CountedIsThemeBackgroundPartiallyTransparent));
    for (int round = 0; round < 3; ++round)
      for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(IsThemeBackgroundPartiallyTransparentCached(cases[i].Theme, cases[i].Part,
                                                              cases[i].State),
                  direct[i] != FALSE)
            << i;
    EXPECT_EQ(gTransparencyQuestions, static_cast<int>(std::size(cases)));

    // A theme change closes the themes: the reopened one is asked again.
    CloseAllThemes();
    const TdxTheme reopened = OpenTheme(totButton);
    EXPECT_EQ(IsThemeBackgroundPartiallyTransparentCached(reopened, kPushButton, kNormal),
              direct[0] != FALSE);
    EXPECT_EQ(gTransparencyQuestions, static_cast<int>(std::size(cases)) + 1);

    // A handle the cache does not hold is asked every time (a class the
    // cache has not opened: Wine hands out one handle per open class).
    const TdxTheme own = OpenThemeData(nullptr, L"Edit");
    ASSERT_NE(own, 0u);
    IsThemeBackgroundPartiallyTransparentCached(own, kPushButton, kNormal);
    IsThemeBackgroundPartiallyTransparentCached(own, kPushButton, kNormal);
    EXPECT_EQ(gTransparencyQuestions, static_cast<int>(std::size(cases)) + 3);
    CloseThemeData(own);
  }
}

// Counts its notifications and the order they came in.
class TCountingNotificator : public TdxThemeChangedNotificator {
public:
  explicit TCountingNotificator(std::vector<int>* log = nullptr, int id = 0) {
    SetOnThemeChanged([this, log, id] {
      ++Count;
      if (log)
        log->push_back(id);
    });
  }
  int Count = 0;
};

void Broadcast(UINT message) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

TEST_F(ThemeManager, ChangeWindowIsAHiddenUtilityWindow) {
  ASSERT_NE(dxThemeChangedEventReceiver(), nullptr);
  HWND window = dxThemeChangedEventReceiver()->WindowHandle();
  ASSERT_TRUE(IsWindow(window));
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  EXPECT_STREQ(className, L"TPUtilWindow");
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & WS_POPUP, 0);
  EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
}

TEST_F(ThemeManager, ThemeAndColourChangesCloseAllAndNotifyInOrder) {
  for (UINT message : {WM_THEMECHANGED, WM_SYSCOLORCHANGE}) {
    std::vector<int> log;
    TCountingNotificator first(&log, 1);
    TCountingNotificator second(&log, 2);
    ASSERT_NE(OpenTheme(totButton), 0u);
    ASSERT_EQ(Cache().Count(), 1);

    Broadcast(message);
    EXPECT_EQ(Cache().Count(), 0) << message;
    EXPECT_EQ(log, (std::vector<int>{1, 2})) << message;
    EXPECT_EQ(IsGlobalThemeActive(), IsThemeActive());
    // The next request opens afresh.
    EXPECT_NE(OpenTheme(totButton), 0u);
    EXPECT_EQ(Cache().Count(), 1);
  }
}

TEST_F(ThemeManager, SettingChangeClosesAllOnlyWhereThemesOpenPerDpi) {
  HWND window = dxThemeChangedEventReceiver()->WindowHandle();
  TCountingNotificator notificator;
  ASSERT_NE(OpenTheme(totButton), 0u);
  SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(Cache().Count(), 0);

  {
    TUnboundEntry unbound(TdxUxThemeEntry::OpenThemeDataForDpi);
    ASSERT_NE(OpenTheme(totButton), 0u);
    SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(Cache().Count(), 1);
  }
  EXPECT_EQ(notificator.Count, 0);
  EXPECT_TRUE(IsGlobalThemeActive());
}

TEST_F(ThemeManager, NotificatorsJoinAndLeaveTheList) {
  const auto* list = dxThemeChangedNotificatorList();
  ASSERT_NE(list, nullptr);
  const size_t before = list->size();
  {
    TCountingNotificator a, b;
    ASSERT_EQ(list->size(), before + 2);
    EXPECT_EQ((*list)[before], &a);
    EXPECT_EQ((*list)[before + 1], &b);
  }
  EXPECT_EQ(list->size(), before);
}

TEST_F(ThemeManager, ExceptionInTheChangeHandlingReachesTheErrorDisplay) {
  ASSERT_NE(Application(), nullptr);
  std::vector<std::wstring> shown;
  TExceptionEvent saved = Application()->OnException;
  Application()->OnException = [&shown](TObject*, const Exception& E) {
    shown.push_back(E.Message());
  };
  HWND window = dxThemeChangedEventReceiver()->WindowHandle();

  TdxThemeChangedNotificator failing;
  failing.SetOnThemeChanged([] { throw Exception(L"Theme listener failed"); });
  ASSERT_NE(OpenTheme(totButton), 0u);
  EXPECT_EQ(SendMessageW(window, WM_THEMECHANGED, 0, 0), 0);
  EXPECT_EQ(shown, std::vector<std::wstring>{L"Theme listener failed"});
  EXPECT_EQ(Cache().Count(), 0);

  // The window goes on working.
  int calls = 0;
  failing.SetOnThemeChanged([&calls] { ++calls; });
  ASSERT_NE(OpenTheme(totButton), 0u);
  EXPECT_EQ(SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0), 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Cache().Count(), 0);
  EXPECT_EQ(shown.size(), 1u);
  Application()->OnException = saved;
}

// Runs the theme units again with the library file name pointing at a
// missing file, and restores the normal units afterwards.
class TWithoutThemeLibrary {
public:
  TWithoutThemeLibrary() : FSavedName(dxUxThemeLibraryName) {
    DoneThemeManagerUnit();
    DoneUxThemeUnit();
    dxUxThemeLibraryName = L"C:\\no-such-folder\\UxTheme.dll";
    InitUxThemeUnit();
    InitThemeManagerUnit();
  }
  ~TWithoutThemeLibrary() {
    DoneThemeManagerUnit();
    DoneUxThemeUnit();
    dxUxThemeLibraryName = FSavedName;
    InitUxThemeUnit();
    InitThemeManagerUnit();
  }
  TWithoutThemeLibrary(const TWithoutThemeLibrary&) = delete;
  TWithoutThemeLibrary& operator=(const TWithoutThemeLibrary&) = delete;

private:
  const wchar_t* FSavedName;
};

TEST(ThemeUnits, ShutDownFreesEverythingAndStartUpRestoresIt) {
  HWND window = dxThemeChangedEventReceiver()->WindowHandle();
  const int modules = TModule::LiveCount();
  DoneThemeManagerUnit();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsGlobalThemeActive());
  EXPECT_EQ(dxThemeDataManager(), nullptr);
  EXPECT_EQ(dxThemeChangedEventReceiver(), nullptr);
  EXPECT_EQ(dxThemeChangedNotificatorList(), nullptr);
  EXPECT_EQ(OpenTheme(totButton), 0u);
  DoneUxThemeUnit();
  EXPECT_EQ(TModule::LiveCount(), modules - 1);
  EXPECT_FALSE(IsThemeLibraryLoaded());

  InitUxThemeUnit();
  InitThemeManagerUnit();
  EXPECT_EQ(TModule::LiveCount(), modules);
  EXPECT_TRUE(IsGlobalThemeActive());
  EXPECT_NE(OpenTheme(totButton), 0u);
  CloseAllThemes();
}

TEST(ThemeUnits, WithoutTheLibraryEveryAnswerIsFalseOrZero) {
  TWithoutThemeLibrary missing;
  EXPECT_FALSE(IsThemeLibraryLoaded());
  EXPECT_EQ(dxThemeLibrary(), nullptr);
  for (int i = 0; i < dxUxThemeEntryCount; ++i)
    EXPECT_EQ(dxUxThemeEntryAddress(static_cast<TdxUxThemeEntry>(i)), nullptr) << i;
  EXPECT_FALSE(IsThemeActive());
  EXPECT_FALSE(IsThemeScalingSupported());
  EXPECT_FALSE(IsGlobalThemeActive());
  EXPECT_EQ(dxThemeDataManager(), nullptr);
  EXPECT_EQ(dxThemeChangedEventReceiver(), nullptr);
  EXPECT_EQ(dxThemeChangedNotificatorList(), nullptr);

  // The theme manager's helpers.
  const TFactor factor(3, 2);
  EXPECT_FALSE(AreVisualStylesAvailable());
  EXPECT_FALSE(AreVisualStylesAvailable(totButton));
  EXPECT_FALSE(AreVisualStylesAvailable(TdxThemedObjectTypes{totButton}));
  EXPECT_EQ(OpenTheme(totButton), 0u);
  EXPECT_EQ(OpenTheme(totButton, 144), 0u);
  EXPECT_EQ(OpenTheme(totButton, &factor), 0u);
  CloseAllThemes();
  EXPECT_EQ(GetThemeScaleFactor(0), dxSystemScaleFactor());
  SIZE size{5, 5};
  EXPECT_FALSE(GetThemeScaledPartSize(totButton, &factor, kCheckBox, size, 0, tssThemeDpi));
  EXPECT_EQ(GetThemeScaledPartSize(totButton, &factor, kCheckBox, 0, tssThemeDpi).cx, 0);
  TColor colour = clNone;
  EXPECT_FALSE(cxGetThemeColor(totButton, kPushButton, kNormal, kTextColor, colour));
  EXPECT_EQ(colour, clNone);
  TMemoryDC dc(CreateCompatibleDC(nullptr));
  const RECT r{0, 0, 10, 10};
  EXPECT_FALSE(dxDrawThemeBackground(dc.Get(), totButton, r, kPushButton, kNormal));
  EXPECT_FALSE(dxDrawThemeBackground(dc.Get(), totButton, &factor, r, kPushButton, kNormal));
  { TCountingNotificator notificator; }

  // The wrappers.
  const TdxTheme anyTheme = 1;
  EXPECT_EQ(OpenThemeData(nullptr, L"Button", 0), 0u);
  EXPECT_EQ(OpenThemeData(nullptr, L"Button", 144), 0u);
  EXPECT_TRUE(FAILED(CloseThemeData(anyTheme)));
  EXPECT_TRUE(FAILED(DrawThemeBackground(anyTheme, dc.Get(), kPushButton, kNormal, r)));
  EXPECT_TRUE(FAILED(
      DrawThemeText(anyTheme, dc.Get(), kPushButton, kNormal, std::wstring(L"A"), -1, 0, 0, r)));
  TdxDTTOpts options{};
  options.dwSize = sizeof(options);
  RECT textRect = r;
  EXPECT_TRUE(FAILED(
      DrawThemeTextEx(anyTheme, dc.Get(), kPushButton, kNormal, L"A", -1, 0, textRect, options)));
  EXPECT_TRUE(FAILED(GetThemePartSize(anyTheme, nullptr, kCheckBox, kNormal, dxtsTrue, size)));
  COLORREF raw = 7;
  EXPECT_TRUE(FAILED(GetThemeColor(anyTheme, kPushButton, kNormal, kTextColor, raw)));
  EXPECT_TRUE(FAILED(GetThemeColor(anyTheme, kPushButton, kNormal, kTextColor, colour)));
  const RECT margins = GetThemeMargins(anyTheme, 6, 0, 3602);
  EXPECT_EQ(margins.left | margins.top | margins.right | margins.bottom, 0);
  RECT content{};
  EXPECT_TRUE(
      FAILED(GetThemeBackgroundContentRect(anyTheme, nullptr, kPushButton, kNormal, &r, &content)));
  EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(anyTheme, kPushButton, kNormal));
  EXPECT_TRUE(FAILED(DrawThemeParentBackground(nullptr, dc.Get(), &r)));
  wchar_t name[MAX_PATH] = {};
  EXPECT_TRUE(FAILED(GetCurrentThemeName(name, MAX_PATH, nullptr, 0, nullptr, 0)));
  EXPECT_TRUE(FAILED(BufferedPaintInit()));
  HDC paintDC = nullptr;
  EXPECT_EQ(BeginBufferedPaint(dc.Get(), &r, dxbpbfTopDownDIB, nullptr, &paintDC), 0u);
  EXPECT_TRUE(FAILED(EndBufferedPaint(0, TRUE)));
  EXPECT_FALSE(dxBeginPanningFeedback(nullptr));
}

} // namespace
} // namespace telvora
