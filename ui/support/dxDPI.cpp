#include "ui/support/dxDPI.h"

#include "platform/Handles.h"
#include "platform/Registry.h"
#include "ui/support/dxScaleFactor.h"

#include <versionhelpers.h>

#include <algorithm>

namespace telvora {

namespace {

struct TDPIUnitState {
  TdxDPIEntryPoints EntryPoints;
  TModule Shcore;
};

TDPIUnitState& DPIUnit() {
  static TDPIUnitState state;
  return state;
}

constexpr wchar_t kWindowMetricsKey[] = L"Control Panel\\Desktop\\WindowMetrics";
constexpr wchar_t kAppliedDPIValue[] = L"AppliedDPI";
constexpr int kDefaultDPI = 96;

} // namespace

const TdxDPIEntryPoints& dxDPIEntryPoints() {
  return DPIUnit().EntryPoints;
}

void InitDPIUnit() {
  TDPIUnitState& unit = DPIUnit();
  dxResetProcessScaleFactors(false);
  unit.Shcore.Reset(LoadLibraryW(L"Shcore.dll"));
  HMODULE shcore = unit.Shcore.Get();
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  TdxDPIEntryPoints& e = unit.EntryPoints;
  BindProcAddress(shcore, "GetDpiForMonitor", e.GetDpiForMonitor);
  BindProcAddress(shcore, "GetProcessDpiAwareness", e.GetProcessDpiAwareness);
  BindProcAddress(shcore, "SetProcessDpiAwareness", e.SetProcessDpiAwareness);
  BindProcAddress(user32, "GetSystemMetricsForDpi", e.GetSystemMetricsForDpi);
  BindProcAddress(user32, "GetThreadDpiAwarenessContext", e.GetThreadDpiAwarenessContext);
  BindProcAddress(user32, "SetThreadDpiAwarenessContext", e.SetThreadDpiAwarenessContext);
  BindProcAddress(user32, "AdjustWindowRectExForDpi", e.AdjustWindowRectExForDpi);
}

void DoneDPIUnit() {
  TDPIUnitState& unit = DPIUnit();
  dxResetProcessScaleFactors(true);
  unit.EntryPoints = {};
  unit.Shcore.Reset();
}

int dxGetSystemDPI() {
  TWindowDC dc(nullptr);
  return GetDeviceCaps(dc.Get(), LOGPIXELSY);
}

int dxGetDesktopDPI() {
  // Read-only access, falling back to narrower rights where KEY_READ is
  // refused.
  for (REGSAM access : {static_cast<REGSAM>(KEY_READ), static_cast<REGSAM>(0x20009),
                        static_cast<REGSAM>(KEY_QUERY_VALUE)}) {
    TRegistry registry(access);
    registry.SetRootKey(HKEY_CURRENT_USER);
    if (!registry.OpenKeyReadOnly(kWindowMetricsKey))
      continue;
    if (registry.ValueExists(kAppliedDPIValue))
      return registry.ReadInteger(kAppliedDPIValue);
    break;
  }
  return dxGetSystemDPI();
}

int dxGetMonitorDPI(HMONITOR AMonitor) {
  if (AMonitor == nullptr)
    return dxGetSystemDPI();
  // GetDpiForMonitor exists from Windows 8.1 on; older systems have one DPI.
  auto getDpiForMonitor = dxDPIEntryPoints().GetDpiForMonitor;
  if (getDpiForMonitor == nullptr)
    return dxGetSystemDPI();
  UINT x = 0, y = 0;
  if (FAILED(getDpiForMonitor(AMonitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)))
    return 0;
  return static_cast<int>(x);
}

int dxGetMonitorDPI(const POINT& AScreenPoint) {
  return dxGetMonitorDPI(MonitorFromPoint(AScreenPoint, MONITOR_DEFAULTTONEAREST));
}

bool dxIsProcessDPIAware() {
  return IsWindowsVistaOrGreater() && IsProcessDPIAware() != FALSE;
}

int dxCheckDPIValue(int AValue) {
  return std::clamp(AValue, 30, 480);
}

int TdxScaleFactorHelper::TargetDPI(const TdxScaleFactor* AScaleFactor) {
  if (AScaleFactor == nullptr || !AScaleFactor->Assigned())
    return kDefaultDPI;
  return MulDiv(kDefaultDPI, AScaleFactor->Numerator(), AScaleFactor->Denominator());
}

int dxGetSystemMetrics(int AIndex, const TdxScaleFactor* AScaleFactor) {
  if (AScaleFactor == nullptr)
    return GetSystemMetrics(AIndex);
  if (auto forDpi = dxDPIEntryPoints().GetSystemMetricsForDpi)
    return forDpi(AIndex, static_cast<UINT>(TdxScaleFactorHelper::TargetDPI(AScaleFactor)));
  // Without per-DPI metrics: the desktop's metric converted to the factor
  // (unconverted once the desktop factor is gone at shut-down).
  int value = GetSystemMetrics(AIndex);
  const TdxScaleFactor* desktop = dxDesktopScaleFactor();
  return desktop ? AScaleFactor->Apply(value, *desktop) : value;
}

TdxScaleFactor* dxGetScaleFactor(TObject* AInstance) {
  if (auto* owner = dynamic_cast<IdxScaleFactor*>(AInstance))
    return owner->GetScaleFactor();
  return dxSystemScaleFactor();
}

} // namespace telvora
