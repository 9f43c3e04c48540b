#include "platform/Registry.h"
#include "ui/support/dxDPI.h"
#include "ui/support/dxScaleFactor.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace telvora {
namespace {

constexpr wchar_t kWindowMetrics[] = L"Control Panel\\Desktop\\WindowMetrics";
constexpr wchar_t kAppliedDPI[] = L"AppliedDPI";

// Writes a scratch "AppliedDPI" for one test and puts back whatever was
// there before (or nothing).
class TAppliedDPIScratch {
public:
  TAppliedDPIScratch() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kWindowMetrics, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    FKey.Reset(key);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, kAppliedDPI, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::vector<BYTE> data(size);
      if (RegQueryValueExW(key, kAppliedDPI, nullptr, &type, data.data(), &size) == ERROR_SUCCESS)
        FSaved = std::make_pair(type, std::move(data));
    }
  }
  ~TAppliedDPIScratch() {
    if (!FKey)
      return;
    if (FSaved)
      RegSetValueExW(FKey.Get(), kAppliedDPI, 0, FSaved->first, FSaved->second.data(),
                     static_cast<DWORD>(FSaved->second.size()));
    else
      RegDeleteValueW(FKey.Get(), kAppliedDPI);
  }
  bool Opened() const { return static_cast<bool>(FKey); }
  void Set(DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(
        RegSetValueExW(FKey.Get(), kAppliedDPI, 0, type, static_cast<const BYTE*>(data), size),
        ERROR_SUCCESS);
  }
  void Remove() { RegDeleteValueW(FKey.Get(), kAppliedDPI); }

private:
  TRegKey FKey;
  std::optional<std::pair<DWORD, std::vector<BYTE>>> FSaved;
};

TEST(DesktopDPI, AbsentValueGivesTheSystemDPI) {
  TAppliedDPIScratch scratch;
  ASSERT_TRUE(scratch.Opened());
  scratch.Remove();
  EXPECT_EQ(dxGetDesktopDPI(), dxGetSystemDPI());
}

TEST(DesktopDPI, DwordValueIsTheDesktopDPI) {
  TAppliedDPIScratch scratch;
  ASSERT_TRUE(scratch.Opened());
  DWORD dpi = 144;
  scratch.Set(REG_DWORD, &dpi, sizeof(dpi));
  EXPECT_EQ(dxGetDesktopDPI(), 144);
  EXPECT_EQ(TRegKey::LiveCount(), 1); // only the scratch key: the reader closed its own
}

struct TBadValueCase {
  const char* Name;
  DWORD Type;
  std::vector<BYTE> Data;
  std::wstring Message;
};

class DesktopDPIBadValue : public ::testing::TestWithParam<TBadValueCase> {};

TEST_P(DesktopDPIBadValue, RaisesTheReadersMessage) {
  const TBadValueCase& c = GetParam();
  TAppliedDPIScratch scratch;
  ASSERT_TRUE(scratch.Opened());
  scratch.Set(c.Type, c.Data.data(), static_cast<DWORD>(c.Data.size()));
  try {
    dxGetDesktopDPI();
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), c.Message);
  }
  EXPECT_EQ(TRegKey::LiveCount(), 1);
}

const std::wstring kFailedToGetData = L"Failed to get data for 'AppliedDPI'";
const std::wstring kInvalidDataType = L"Invalid data type for 'AppliedDPI'";

INSTANTIATE_TEST_SUITE_P(
    WrongTypeOrSize, DesktopDPIBadValue,
    ::testing::Values(
        TBadValueCase{"String", REG_SZ, {'1', 0, '4', 0, '4', 0, 0, 0}, kFailedToGetData},
        TBadValueCase{"Qword", REG_QWORD, {144, 0, 0, 0, 0, 0, 0, 0}, kFailedToGetData},
        TBadValueCase{"LongBinary", REG_BINARY, {144, 0, 0, 0, 0}, kFailedToGetData},
        TBadValueCase{"Binary", REG_BINARY, {144, 0, 0, 0}, kInvalidDataType},
        TBadValueCase{"ShortString", REG_SZ, {'9', 0}, kInvalidDataType},
        TBadValueCase{"BigEndianDword", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 144}, kInvalidDataType}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MonitorDPI, NoMonitorGivesTheSystemDPI) {
  EXPECT_EQ(dxGetMonitorDPI(static_cast<HMONITOR>(nullptr)), dxGetSystemDPI());
}

TEST(MonitorDPI, PointFormAsksTheNearestMonitor) {
  ASSERT_NE(dxDPIEntryPoints().GetDpiForMonitor, nullptr);
  POINT origin{0, 0};
  HMONITOR primary = MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
  UINT x = 0, y = 0;
  ASSERT_EQ(dxDPIEntryPoints().GetDpiForMonitor(primary, 0, &x, &y), S_OK);
  EXPECT_EQ(dxGetMonitorDPI(primary), static_cast<int>(x));
  // Far off any screen: the nearest monitor answers.
  EXPECT_EQ(dxGetMonitorDPI(POINT{-100000, -100000}),
            dxGetMonitorDPI(MonitorFromPoint(POINT{-100000, -100000}, MONITOR_DEFAULTTONEAREST)));
}

TEST(ScaleFactorHelper, TargetDPIIsNinetySixScaledByTheFactor) {
  struct TCase {
    int N, D, Expected;
  };
  const TCase cases[] = {{1, 1, 96}, {3, 2, 144}, {5, 4, 120}, {2, 1, 192}, {1, 3, 32}};
  for (const TCase& c : cases) {
    TdxScaleFactor f;
    f.Assign(c.N, c.D, false);
    EXPECT_EQ(TdxScaleFactorHelper::TargetDPI(&f), c.Expected) << c.N << "/" << c.D;
  }
  EXPECT_EQ(TdxScaleFactorHelper::TargetDPI(nullptr), 96);
}

TEST(CheckDPIValue, LimitsToThirtyToFourHundredEighty) {
  const std::pair<int, int> cases[] = {{-5, 30}, {0, 30},    {29, 30},   {30, 30},
                                       {96, 96}, {480, 480}, {481, 480}, {100000, 480}};
  for (auto [value, expected] : cases)
    EXPECT_EQ(dxCheckDPIValue(value), expected) << value;
}

TEST(SystemMetrics, ScaleFactorAsksForTheMetricAtItsDPI) {
  auto forDpi = dxDPIEntryPoints().GetSystemMetricsForDpi;
  ASSERT_NE(forDpi, nullptr);
  TdxScaleFactor f;
  for (int index : {SM_CXVSCROLL, SM_CYCAPTION, SM_CXEDGE}) {
    EXPECT_EQ(dxGetSystemMetrics(index), GetSystemMetrics(index));
    f.Assign(1, 1, false);
    EXPECT_EQ(dxGetSystemMetrics(index, &f), forDpi(index, 96)) << index;
    f.Assign(3, 2, false);
    EXPECT_EQ(dxGetSystemMetrics(index, &f), forDpi(index, 144)) << index;
  }
  // The metric really depends on the DPI asked for.
  f.Assign(3, 2, false);
  EXPECT_GT(dxGetSystemMetrics(SM_CXVSCROLL, &f), forDpi(SM_CXVSCROLL, 96));
}

TEST(DPIEntryPoints, AreBoundAtStartUp) {
  const TdxDPIEntryPoints& e = dxDPIEntryPoints();
  EXPECT_NE(e.GetDpiForMonitor, nullptr);
  EXPECT_NE(e.GetProcessDpiAwareness, nullptr);
  EXPECT_NE(e.SetProcessDpiAwareness, nullptr);
  EXPECT_NE(e.GetSystemMetricsForDpi, nullptr);
  EXPECT_NE(e.GetThreadDpiAwarenessContext, nullptr);
  EXPECT_NE(e.SetThreadDpiAwarenessContext, nullptr);
  EXPECT_NE(e.AdjustWindowRectExForDpi, nullptr);
}

} // namespace
} // namespace telvora
