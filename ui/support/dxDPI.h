#pragma once
// DPI-dependent system values: the system, desktop and monitor resolutions,
// system metrics for a scale factor, and the optional per-DPI entry points of
// Shcore.dll and user32 (bound once at the unit's start-up).

#include "platform/Classes.h"

#include <windows.h>

namespace telvora {

class TdxScaleFactor;

// The screen's pixels per inch (LOGPIXELSY).
int dxGetSystemDPI();
// "AppliedDPI" under HKEY_CURRENT_USER "Control Panel\Desktop\WindowMetrics"
// when the key opens and the value exists, else the system DPI. A value that
// is not a 4-byte REG_DWORD raises the registry reader's ERegistryException.
int dxGetDesktopDPI();
// The monitor's effective DPI (0 when Windows cannot tell it); the system
// DPI where Windows has no per-monitor DPI, or for no monitor.
int dxGetMonitorDPI(HMONITOR AMonitor);
// The same for the monitor nearest to a screen point.
int dxGetMonitorDPI(const POINT& AScreenPoint);
bool dxIsProcessDPIAware();
// The factor limited to 30 .. 480 pixels per inch.
int dxCheckDPIValue(int AValue);

class TdxScaleFactorHelper {
public:
  // The pixels per inch a factor stands for: 96 scaled by it (96 for none).
  static int TargetDPI(const TdxScaleFactor* AScaleFactor);
};

// GetSystemMetrics, or with a factor the metric at the factor's DPI.
int dxGetSystemMetrics(int AIndex, const TdxScaleFactor* AScaleFactor = nullptr);
// The instance's own factor if it has one (IdxScaleFactor), else the system
// factor.
TdxScaleFactor* dxGetScaleFactor(TObject* AInstance);

// The optional entry points; each is none where Windows lacks it, and all
// are none outside the unit's lifetime.
struct TdxDPIEntryPoints {
  HRESULT(WINAPI* GetDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
  HRESULT(WINAPI* GetProcessDpiAwareness)(HANDLE, int*) = nullptr;
  HRESULT(WINAPI* SetProcessDpiAwareness)(int) = nullptr;
  int(WINAPI* GetSystemMetricsForDpi)(int, UINT) = nullptr;
  DPI_AWARENESS_CONTEXT(WINAPI* GetThreadDpiAwarenessContext)() = nullptr;
  DPI_AWARENESS_CONTEXT(WINAPI* SetThreadDpiAwarenessContext)(DPI_AWARENESS_CONTEXT) = nullptr;
  BOOL(WINAPI* AdjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
};
const TdxDPIEntryPoints& dxDPIEntryPoints();

// Unit start-up binds the entry points; shut-down clears them, frees
// Shcore.dll and the process-wide scale factors, which are not created
// again afterwards.
void InitDPIUnit();
void DoneDPIUnit();

} // namespace telvora
