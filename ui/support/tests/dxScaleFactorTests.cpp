#include "ui/buttons/cxButtons.h"
#include "ui/support/dxDPI.h"
#include "ui/support/dxScaleFactor.h"
#include "ui/support/tests/SystemDpiProcess.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Rectangles compare and print by their edges.
static bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace telvora {
namespace {

// Records every notification of a factor.
struct TNotification {
  TdxScaleFactor* Sender;
  int M;
  int D;
  bool IsLoading;
  bool operator==(const TNotification&) const = default;
};

struct TRecorder {
  std::vector<TNotification> Calls;
  TdxScaleFactorListener Listener(int tag = 0) {
    return {this, tag, [this](TdxScaleFactor* s, int m, int d, bool l) {
              Calls.push_back({s, m, d, l});
            }};
  }
};

// Assign

struct TAssignCase {
  int N, D;
  int ExpectedN, ExpectedD;
};

class ScaleFactorAssign : public ::testing::TestWithParam<TAssignCase> {};

TEST_P(ScaleFactorAssign, StoresTheReducedFraction) {
  const TAssignCase& c = GetParam();
  TdxScaleFactor f;
  f.Assign(c.N, c.D, false);
  EXPECT_EQ(f.Numerator(), c.ExpectedN);
  EXPECT_EQ(f.Denominator(), c.ExpectedD);
  EXPECT_EQ(f.Assigned(), c.ExpectedN != c.ExpectedD);
}

INSTANTIATE_TEST_SUITE_P(WorkedNumbers, ScaleFactorAssign,
                         ::testing::Values(TAssignCase{192, 96, 2, 1}, TAssignCase{144, 96, 3, 2},
                                           TAssignCase{120, 96, 5, 4}, TAssignCase{96, 96, 1, 1},
                                           TAssignCase{6, 4, 3, 2}, TAssignCase{7, 5, 7, 5},
                                           TAssignCase{32, 96, 1, 3}, TAssignCase{1, 1, 1, 1}));

TEST(ScaleFactor, IsOneToOneAtCreation) {
  TdxScaleFactor f;
  EXPECT_EQ(f.Numerator(), 1);
  EXPECT_EQ(f.Denominator(), 1);
  EXPECT_FALSE(f.Assigned());
}

TEST(ScaleFactor, SameValueInAnotherFormChangesNothingAndTellsNobody) {
  TdxScaleFactor f;
  f.Assign(3, 2, false);
  TRecorder recorder;
  f.ListenerAdd(recorder.Listener());
  f.Assign(6, 4, false);
  f.Assign(144, 96, true);
  f.Change(96, 96);
  EXPECT_EQ(f.Numerator(), 3);
  EXPECT_EQ(f.Denominator(), 2);
  EXPECT_TRUE(recorder.Calls.empty());
}

TEST(ScaleFactor, ZeroOrNegativeValuesAreRejected) {
  const std::pair<int, int> bad[] = {{0, 96}, {96, 0}, {0, 0}, {-144, 96}, {144, -96}, {-3, -2}};
  for (auto [n, d] : bad) {
    SCOPED_TRACE(std::to_string(n) + "/" + std::to_string(d));
    TdxScaleFactor f;
    f.Assign(3, 2, false);
    TRecorder recorder;
    f.ListenerAdd(recorder.Listener());
    f.Assign(n, d, false);
    f.Change(n, d);
    EXPECT_EQ(f.Numerator(), 3);
    EXPECT_EQ(f.Denominator(), 2);
    EXPECT_TRUE(recorder.Calls.empty());
    // Still a sound factor: nothing divides by zero.
    EXPECT_EQ(f.Apply(11), 17);
    EXPECT_EQ(f.Revert(17), 11);
  }
}

TEST(ScaleFactor, AssignFromAnotherFactorCopiesItsValue) {
  TdxScaleFactor source, f;
  source.Assign(5, 4, false);
  f.Assign(source);
  EXPECT_EQ(f.Numerator(), 5);
  EXPECT_EQ(f.Denominator(), 4);
}

TEST(ScaleFactor, ChangeMultipliesTheValue) {
  TdxScaleFactor f;
  f.Change(144, 96);
  EXPECT_EQ(f.Numerator(), 3);
  EXPECT_EQ(f.Denominator(), 2);
  f.Change(192, 144); // 144 -> 192 pixels per inch
  EXPECT_EQ(f.Numerator(), 2);
  EXPECT_EQ(f.Denominator(), 1);
  f.Change(96, 192);
  EXPECT_FALSE(f.Assigned());
}

TEST(ScaleFactor, EqualsComparesValues) {
  TdxScaleFactor a, b;
  EXPECT_TRUE(a.Equals(b));
  a.Assign(3, 2, false);
  EXPECT_FALSE(a.Equals(b));
  b.Assign(144, 96, false);
  EXPECT_TRUE(a.Equals(b));
  b.Assign(5, 4, false);
  EXPECT_FALSE(b.Equals(a));
}

// Integer scaling: Windows MulDiv, halves away from zero.

struct TIntCase {
  int N, D;
  bool Revert;
  int Value, Expected;
};

class ScaleFactorInteger : public ::testing::TestWithParam<TIntCase> {};

TEST_P(ScaleFactorInteger, ScalesWithMulDivRounding) {
  const TIntCase& c = GetParam();
  TdxScaleFactor f;
  f.Assign(c.N, c.D, false);
  EXPECT_EQ(c.Revert ? f.Revert(c.Value) : f.Apply(c.Value), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(WorkedNumbers, ScaleFactorInteger,
                         ::testing::Values(TIntCase{3, 2, false, 11, 17},   // 16.5
                                           TIntCase{3, 2, true, 17, 11},    // 11.33
                                           TIntCase{3, 2, false, -11, -17}, // -16.5
                                           TIntCase{3, 2, false, 1, 2},     // 1.5
                                           TIntCase{3, 2, true, 1, 1},      // 0.67
                                           TIntCase{3, 2, true, 3, 2},      // 2
                                           TIntCase{5, 4, false, 10, 13},   // 12.5
                                           TIntCase{5, 4, true, 10, 8},     // 8
                                           TIntCase{2, 1, true, 7, 4},      // 3.5
                                           TIntCase{2, 1, true, -7, -4},    // -3.5
                                           TIntCase{1, 1, false, 12345, 12345},
                                           TIntCase{1, 1, true, -7, -7}));

TEST(ScaleFactor, RectanglesScaleEdgeByEdge) {
  TdxScaleFactor f;
  f.Assign(3, 2, false);
  // Width 9 becomes 13, not 13.5 rounded: each edge is rounded by itself.
  EXPECT_EQ(f.Apply(RECT{1, 1, 10, 10}), (RECT{2, 2, 15, 15}));
  EXPECT_EQ(f.Revert(RECT{2, 2, 15, 15}), (RECT{1, 1, 10, 10}));
  EXPECT_EQ(f.Apply(RECT{-3, 0, 5, 7}), (RECT{-5, 0, 8, 11}));
}

TEST(ScaleFactor, PointsAndSizesScaleCoordinateByCoordinate) {
  TdxScaleFactor f;
  f.Assign(5, 4, false);
  POINT p = f.Apply(POINT{10, -6});
  EXPECT_EQ(p.x, 13);
  EXPECT_EQ(p.y, -8); // -7.5
  SIZE s = f.Revert(SIZE{10, 3});
  EXPECT_EQ(s.cx, 8);
  EXPECT_EQ(s.cy, 2); // 2.4
}

TEST(ScaleFactor, FloatsScaleExactly) {
  TdxScaleFactor f;
  f.Assign(3, 2, false);
  EXPECT_EQ(f.ApplyF(11.0), 16.5);
  EXPECT_EQ(f.RevertF(16.5), 11.0);
  EXPECT_EQ(f.ApplyF(11.0f), 16.5f);
  f.Assign(1, 3, false);
  // Single values are divided in extended precision.
  EXPECT_EQ(f.ApplyF(10.0f), 3.3333333f);
  EXPECT_EQ(f.ApplyF(10.0), 10.0 / 3.0);
}

TEST(ScaleFactor, FloatGeometryUsesOneSinglePrecisionRatio) {
  TdxScaleFactor f;
  f.Assign(3, 2, false);
  EXPECT_EQ(f.ApplyF(TdxPointF{1, -2}), (TdxPointF{1.5f, -3}));
  EXPECT_EQ(f.ApplyF(TdxSizeF{4, 5}), (TdxSizeF{6, 7.5f}));
  EXPECT_EQ(f.RevertF(TdxRectF{3, 6, 9, 12}), (TdxRectF{2, 4, 6, 8}));
  f.Assign(1, 3, false);
  // 10 x (1/3 as a single) = 3.33333343..., which rounds to another single
  // than 10/3 does.
  EXPECT_EQ(f.ApplyF(TdxPointF{10, 10}).X, 3.3333335f);
  EXPECT_EQ(f.ApplyF(TdxRectF{0, 0, 10, 3}), (TdxRectF{0, 0, 3.3333335f, 1}));
}

TEST(ScaleFactor, OneToOneReturnsEveryInputUnchanged) {
  TdxScaleFactor f;
  f.Assign(96, 96, false);
  EXPECT_EQ(f.Apply(RECT{1, 2, 3, 4}), (RECT{1, 2, 3, 4}));
  EXPECT_EQ(f.Revert(RECT{-1, 2, 3, 4}), (RECT{-1, 2, 3, 4}));
  EXPECT_EQ(f.Apply(POINT{5, 6}).y, 6);
  EXPECT_EQ(f.Revert(SIZE{7, 8}).cx, 7);
  EXPECT_EQ(f.ApplyF(0.1f), 0.1f);
  EXPECT_EQ(f.RevertF(0.1), 0.1);
  EXPECT_EQ(f.ApplyF(TdxPointF{0.1f, 0.2f}), (TdxPointF{0.1f, 0.2f}));
  EXPECT_EQ(f.RevertF(TdxSizeF{0.3f, 0.7f}), (TdxSizeF{0.3f, 0.7f}));
  EXPECT_EQ(f.ApplyF(TdxRectF{0.1f, 0.2f, 0.3f, 0.4f}), (TdxRectF{0.1f, 0.2f, 0.3f, 0.4f}));
}

// Conversion from another factor: scaled by (N/D) / (SN/SD).

struct TConvertCase {
  int N, D;   // this factor
  int SN, SD; // the source
  int Value, Expected;
};

class ScaleFactorConvert : public ::testing::TestWithParam<TConvertCase> {};

TEST_P(ScaleFactorConvert, ConvertsValuesOfTheSourceFactor) {
  const TConvertCase& c = GetParam();
  TdxScaleFactor f, source;
  f.Assign(c.N, c.D, false);
  source.Assign(c.SN, c.SD, false);
  EXPECT_EQ(f.Apply(c.Value, c.SN, c.SD), c.Expected);
  EXPECT_EQ(f.Apply(c.Value, source), c.Expected);
  EXPECT_EQ(f.Apply(POINT{c.Value, -c.Value}, source).y, -c.Expected);
  EXPECT_EQ(f.Apply(SIZE{c.Value, 0}, c.SN, c.SD).cx, c.Expected);
  EXPECT_EQ(f.Apply(RECT{0, c.Value, c.Value, 0}, source), (RECT{0, c.Expected, c.Expected, 0}));
}

INSTANTIATE_TEST_SUITE_P(
    WorkedNumbers, ScaleFactorConvert,
    ::testing::Values(TConvertCase{1, 1, 3, 2, 20, 13},    // 13.33
                      TConvertCase{3, 2, 1, 1, 20, 30},    //
                      TConvertCase{3, 2, 3, 2, 21, 21},    // equal factors
                      TConvertCase{3, 2, 6, 4, 21, 21},    // equal in another form
                      TConvertCase{2, 1, 144, 96, 20, 27}, // 4/3: 26.67
                      TConvertCase{5, 4, 3, 2, 20, 17},    // 5/6: 16.67
                      TConvertCase{3, 2, 120, 96, 16, 19}  // a 120 DPI source: 19.2
                      ));

TEST(ScaleFactor, ConversionRoundsEachEdgeOnItsOwn) {
  TdxScaleFactor f;
  EXPECT_EQ(f.Apply(RECT{1, 1, 10, 10}, 2, 3), (RECT{2, 2, 15, 15}));
}

TEST(ScaleFactor, ConversionFromAnInvalidSourceChangesNothing) {
  TdxScaleFactor f;
  f.Assign(3, 2, false);
  EXPECT_EQ(f.Apply(20, 0, 96), 20);
  EXPECT_EQ(f.Apply(20, 96, -1), 20);
}

// Listeners

TEST(ScaleFactorListeners, ToldOnceWithTheRatioOfNewToOld) {
  TdxScaleFactor f;
  TRecorder recorder;
  f.ListenerAdd(recorder.Listener());
  f.Change(144, 96);
  ASSERT_EQ(recorder.Calls.size(), 1u);
  EXPECT_EQ(recorder.Calls[0], (TNotification{&f, 3, 2, false}));
  f.Assign(5, 4, true); // 3/2 -> 5/4: M = 2 x 5, D = 3 x 4
  ASSERT_EQ(recorder.Calls.size(), 2u);
  EXPECT_EQ(recorder.Calls[1], (TNotification{&f, 10, 12, true}));
  f.Assign(1, 1, false);
  ASSERT_EQ(recorder.Calls.size(), 3u);
  EXPECT_EQ(recorder.Calls[2], (TNotification{&f, 4, 5, false}));
}

TEST(ScaleFactorListeners, ToldInOrderOfAddingAndRemovedOneAtATime) {
  TdxScaleFactor f;
  std::string order;
  int a = 0, b = 0;
  auto listener = [&order](const void* object, int tag, char mark) {
    return TdxScaleFactorListener{
        object, tag, [&order, mark](TdxScaleFactor*, int, int, bool) { order += mark; }};
  };
  f.ListenerAdd(listener(&a, 0, 'a'));
  f.ListenerAdd(listener(&b, 0, 'b'));
  f.ListenerAdd(listener(&a, 1, 'c'));
  f.ListenerAdd(listener(&a, 0, 'd'));
  f.Change(2, 1);
  EXPECT_EQ(order, "abcd");

  order.clear();
  f.ListenerRemove(&a, 0); // the first entry of (a, 0) only
  f.ListenerRemove(&b, 7); // no such tag
  f.Change(1, 2);
  EXPECT_EQ(order, "bcd");
  EXPECT_EQ(f.ListenerCount(), 3);

  f.ListenerRemove(&a, 0);
  f.ListenerRemove(&a, 1);
  f.ListenerRemove(&b);
  EXPECT_EQ(f.ListenerCount(), 0);
  f.ListenerRemove(&b); // nothing left: does nothing
  order.clear();
  f.Change(2, 1);
  EXPECT_EQ(order, "");
}

TEST(ScaleFactorListeners, ListenerMayRemoveItselfAndOthersWhileBeingTold) {
  TdxScaleFactor f;
  std::string order;
  int a = 0, b = 0, c = 0;
  f.ListenerAdd({&a, 0, [&](TdxScaleFactor* sender, int, int, bool) {
                   order += 'a';
                   sender->ListenerRemove(&a);
                   sender->ListenerRemove(&b);
                 }});
  f.ListenerAdd({&b, 0, [&](TdxScaleFactor*, int, int, bool) { order += 'b'; }});
  f.ListenerAdd({&c, 0, [&](TdxScaleFactor* sender, int, int, bool) {
                   order += 'c';
                   sender->ListenerRemove(&c);
                 }});
  f.Change(3, 2);
  EXPECT_EQ(order, "ac");
  EXPECT_EQ(f.ListenerCount(), 0);
}

// Owned factor

TEST(OwnedScaleFactor, FollowsItsOwnerUntilChangedDirectly) {
  TdxScaleFactor owner;
  owner.Assign(3, 2, false);
  TdxOwnedScaleFactor owned;
  TRecorder recorder;
  owned.ListenerAdd(recorder.Listener());
  owned.SetOwner(&owner);
  EXPECT_EQ(owned.Numerator(), 3);
  EXPECT_TRUE(owned.UseOwnerValue());
  owner.Assign(2, 1, false);
  EXPECT_EQ(owned.Numerator(), 2);
  EXPECT_EQ(owned.Denominator(), 1);
  EXPECT_TRUE(owned.UseOwnerValue());
  ASSERT_EQ(recorder.Calls.size(), 2u);
  EXPECT_EQ(recorder.Calls[1], (TNotification{&owned, 4, 3, false}));

  owned.Assign(5, 4, false);
  EXPECT_FALSE(owned.UseOwnerValue());
  owner.Assign(1, 1, false);
  EXPECT_EQ(owned.Numerator(), 5);

  owned.SetUseOwnerValue(true);
  EXPECT_FALSE(owned.Assigned());
  EXPECT_TRUE(owned.UseOwnerValue());
}

TEST(OwnedScaleFactor, ChangesWhileLoadingKeepFollowingTheOwner) {
  TdxScaleFactor owner;
  TdxOwnedScaleFactor owned;
  owned.SetOwner(&owner);
  owned.Assign(3, 2, true);
  EXPECT_TRUE(owned.UseOwnerValue());
  // The owner's loading flag is passed on.
  TRecorder recorder;
  owned.ListenerAdd(recorder.Listener());
  owner.Assign(2, 1, true);
  ASSERT_EQ(recorder.Calls.size(), 1u);
  EXPECT_TRUE(recorder.Calls[0].IsLoading);
  EXPECT_EQ(owned.Numerator(), 2);
}

TEST(OwnedScaleFactor, StopsListeningWhenOwnerChangesOrItIsFreed) {
  TdxScaleFactor first, second;
  second.Assign(5, 4, false);
  {
    TdxOwnedScaleFactor owned;
    owned.SetOwner(&first);
    EXPECT_EQ(first.ListenerCount(), 1);
    owned.SetOwner(&second);
    EXPECT_EQ(first.ListenerCount(), 0);
    EXPECT_EQ(second.ListenerCount(), 1);
    EXPECT_EQ(owned.Numerator(), 5);
    first.Assign(3, 2, false);
    EXPECT_EQ(owned.Numerator(), 5);
  }
  EXPECT_EQ(second.ListenerCount(), 0);
}

// Reduction

TEST(ReduceFraction, DividesOutEveryCommonFactor) {
  struct TCase {
    int A, B, ExpectedA, ExpectedB;
  };
  const TCase cases[] = {{192, 96, 2, 1}, {144, 96, 3, 2}, {120, 96, 5, 4},
                         {96, 96, 1, 1},  {7, 5, 7, 5},    {0, 5, 0, 5},
                         {6, 1, 6, 1},    {-4, 2, -4, 2},  {1024, 768, 4, 3}};
  for (const TCase& c : cases) {
    int a = c.A, b = c.B;
    cxReduceFraction(a, b);
    EXPECT_EQ(a, c.ExpectedA) << c.A << "/" << c.B;
    EXPECT_EQ(b, c.ExpectedB) << c.A << "/" << c.B;
  }
}

// Process-wide factors and the button's factor

// The factors of a process started normally by the test run, whose prefix
// has the default 96 pixels per inch.
TEST(ProcessScaleFactors, DescribeDefaultSystemAndDesktopResolution) {
  TdxScaleFactor* def = dxDefaultScaleFactor();
  ASSERT_NE(def, nullptr);
  EXPECT_FALSE(def->Assigned());
  EXPECT_EQ(def->Numerator(), 1);
  EXPECT_EQ(def->Denominator(), 1);
  EXPECT_EQ(dxDefaultScaleFactor(), def);

  ASSERT_EQ(dxGetSystemDPI(), 96);
  ASSERT_NE(dxSystemScaleFactor(), nullptr);
  EXPECT_FALSE(dxSystemScaleFactor()->Assigned());
  EXPECT_EQ(dxSystemScaleFactor()->Numerator(), 1);
  EXPECT_EQ(dxSystemScaleFactor()->Denominator(), 1);
  EXPECT_NE(dxSystemScaleFactor(), def);
  ASSERT_NE(dxDesktopScaleFactor(), nullptr);
  EXPECT_EQ(dxDesktopScaleFactor()->Numerator(), 1);
  EXPECT_EQ(dxDesktopScaleFactor()->Denominator(), 1);
}

// Processes started at other resolutions: LogPixels gives the system DPI,
// AppliedDPI (when there is one) the desktop DPI of a DPI-aware process.
struct TProcessDpiCase {
  testing::TSystemDpiSettings Settings;
  int SystemN, SystemD;
  int DesktopN, DesktopD;
};

constexpr TProcessDpiCase kProcessDpiCases[] = {
    {{144, std::nullopt}, 3, 2, 3, 2}, // no AppliedDPI: the desktop has the system DPI
    {{144, 120}, 3, 2, 5, 4},
    {{120, 192}, 5, 4, 2, 1},
};

// Run by ScaleFactorsAtSystemDpi in a process of its own.
TEST(ScaleFactorsAtSystemDpiChild, FollowTheResolutionThisProcessStartedWith) {
  const std::optional<int> index = testing::SystemDpiCaseOfThisProcess();
  if (!index)
    GTEST_SKIP() << "runs in a process started by ScaleFactorsAtSystemDpi";
  ASSERT_GE(*index, 0);
  ASSERT_LT(*index, static_cast<int>(std::size(kProcessDpiCases)));
  const TProcessDpiCase& c = kProcessDpiCases[*index];
  ASSERT_TRUE(dxIsProcessDPIAware()) << "the desktop DPI counts for DPI-aware processes only";
  EXPECT_EQ(dxGetSystemDPI(), c.Settings.LogPixels);
  EXPECT_EQ(dxGetDesktopDPI(), c.Settings.AppliedDpi.value_or(c.Settings.LogPixels));

  const TdxScaleFactor* system = dxSystemScaleFactor();
  ASSERT_NE(system, nullptr);
  EXPECT_EQ(system->Numerator(), c.SystemN);
  EXPECT_EQ(system->Denominator(), c.SystemD);
  EXPECT_TRUE(system->Assigned());
  const TdxScaleFactor* desktop = dxDesktopScaleFactor();
  ASSERT_NE(desktop, nullptr);
  EXPECT_EQ(desktop->Numerator(), c.DesktopN);
  EXPECT_EQ(desktop->Denominator(), c.DesktopD);
  // The default factor stays 1/1 whatever the resolution.
  ASSERT_NE(dxDefaultScaleFactor(), nullptr);
  EXPECT_FALSE(dxDefaultScaleFactor()->Assigned());
  // Unscaled operations use the system factor.
  EXPECT_EQ(dxGetScaleFactor(nullptr)->Apply(100), MulDiv(100, c.SystemN, c.SystemD));
}

TEST(ScaleFactorsAtSystemDpi, FollowLogPixelsAndAppliedDpiOfEachStart) {
  if (!testing::NewProcessesFollowLogPixels())
    GTEST_SKIP() << "Windows applies LogPixels at the next logon only";
  for (int i = 0; i < static_cast<int>(std::size(kProcessDpiCases)); ++i) {
    const testing::TSystemDpiSettings& settings = kProcessDpiCases[i].Settings;
    SCOPED_TRACE("LogPixels " + std::to_string(settings.LogPixels) + ", AppliedDPI " +
                 (settings.AppliedDpi ? std::to_string(*settings.AppliedDpi) : "none"));
    EXPECT_TRUE(testing::RunTestAtSystemDpi(
        "ScaleFactorsAtSystemDpiChild.FollowTheResolutionThisProcessStartedWith", i, settings));
  }
}

TEST(ButtonScaleFactor, FollowsTheFrameworkRescale) {
  TcxButton button(nullptr);
  button.SetBounds(10, 20, 75, 25);
  EXPECT_FALSE(button.GetScaleFactor()->Assigned());
  button.ChangeScale(144, 96, true);
  EXPECT_EQ(button.GetScaleFactor()->Numerator(), 3);
  EXPECT_EQ(button.GetScaleFactor()->Denominator(), 2);
  EXPECT_EQ(button.BoundsRect(), (RECT{15, 30, 128, 68}));
  button.ChangeScale(192, 144, true);
  EXPECT_EQ(button.GetScaleFactor()->Numerator(), 2);
  EXPECT_EQ(button.GetScaleFactor()->Denominator(), 1);
}

TEST(ButtonScaleFactor, IsTheButtonsOwnFactorForScaledOperations) {
  TcxButton button(nullptr);
  EXPECT_EQ(dxGetScaleFactor(&button), button.GetScaleFactor());
  TObject plain;
  EXPECT_EQ(dxGetScaleFactor(&plain), dxSystemScaleFactor());
  EXPECT_EQ(dxGetScaleFactor(nullptr), dxSystemScaleFactor());
}

} // namespace
} // namespace telvora
