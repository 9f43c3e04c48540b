#pragma once
// Run-time binding of the Windows visual-style library. "UxTheme.dll" is
// loaded at start-up and every entry point is looked up by name, so the
// program runs (without native drawing) where the library or any single
// function is missing. The wrappers below call the bound entry points.
//
// Theme and paint-buffer handles are unsigned pointer-sized integers here and
// the records are the library's own copies of the platform's, so a call
// inside namespace telvora always resolves to these wrappers and never to the
// import declarations of <uxtheme.h>.

#include "platform/Graphics.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace telvora {

// A theme handle; 0 is none.
using TdxTheme = std::uintptr_t;
// A buffered-paint handle; 0 is none.
using TdxPaintBuffer = std::uintptr_t;

// The platform's MARGINS.
struct TdxMargins {
  int cxLeftWidth;
  int cxRightWidth;
  int cyTopHeight;
  int cyBottomHeight;
};

using TdxDrawTextCallback = int(WINAPI*)(HDC hdc, LPWSTR pszText, int cchText, LPRECT prc,
                                         UINT dwFlags, LPARAM lParam);

// The platform's DTTOPTS.
struct TdxDTTOpts {
  DWORD dwSize;
  DWORD dwFlags;
  COLORREF crText;
  COLORREF crBorder;
  COLORREF crShadow;
  int iTextShadowType;
  POINT ptShadowOffset;
  int iBorderSize;
  int iFontPropId;
  int iColorPropId;
  int iStateId;
  BOOL fApplyOverlay;
  int iGlowSize;
  TdxDrawTextCallback pfnDrawTextCallback;
  LPARAM lParam;
};

// The platform's BP_PAINTPARAMS.
struct TdxBPPaintParams {
  DWORD cbSize;
  DWORD dwFlags;
  const RECT* prcExclude;
  const BLENDFUNCTION* pBlendFunction;
};

// The platform's BP_BUFFERFORMAT.
enum TdxBPBufferFormat : int {
  dxbpbfCompatibleBitmap = 0,
  dxbpbfDIB = 1,
  dxbpbfTopDownDIB = 2,
  dxbpbfTopDownMonoDIB = 3
};

// The platform's THEMESIZE.
enum TdxThemeSize : int { dxtsMin = 0, dxtsTrue = 1, dxtsDraw = 2 };

// The library's entry points, one slot each, in table order.
enum class TdxUxThemeEntry : int {
  CloseThemeData,
  DrawThemeBackground,
  DrawThemeEdge,
  DrawThemeIcon,
  DrawThemeParentBackground,
  DrawThemeText,
  DrawThemeTextEx,
  EnableThemeDialogTexture,
  GetCurrentThemeName,
  GetThemeAppProperties,
  GetThemeBackgroundContentRect,
  GetThemeBackgroundRegion,
  GetThemeBackgroundExtent,
  GetThemeBool,
  GetThemeColor,
  GetThemeDocumentationProperty,
  GetThemeEnumValue,
  GetThemeFilename,
  GetThemeFont,
  GetThemeInt,
  GetThemeIntList,
  GetThemeMargins,
  GetThemeMetric,
  GetThemePartSize,
  GetThemePosition,
  GetThemePropertyOrigin,
  GetThemeRect,
  GetThemeString,
  GetThemeSysBool,
  GetThemeSysColor,
  GetThemeSysColorBrush,
  GetThemeSysFont,
  GetThemeSysInt,
  GetThemeSysSize,
  GetThemeSysString,
  GetThemeTextExtent,
  GetThemeTextMetrics,
  GetWindowTheme,
  HitTestThemeBackground,
  IsAppThemed,
  IsThemeActive,
  IsThemePartDefined,
  IsThemeBackgroundPartiallyTransparent,
  IsThemeDialogTextureEnabled,
  OpenThemeData,
  OpenThemeDataForDpi,
  SetThemeAppProperties,
  SetWindowTheme,
  BeginBufferedPaint,
  BufferedPaintClear,
  BufferedPaintInit,
  BufferedPaintSetAlpha,
  BufferedPaintUnInit,
  EndBufferedPaint,
};
constexpr int dxUxThemeEntryCount = 54;

// The panning-feedback entry points, kept apart from the table.
enum class TdxPanningEntry : int {
  BeginPanningFeedback,
  UpdatePanningFeedback,
  EndPanningFeedback
};

// The file the start-up step loads. Tests point it at a missing file to run
// without the library; it is read only by InitUxThemeUnit.
extern const wchar_t* dxUxThemeLibraryName;

// Start-up: initialises the common controls, loads the library and binds
// its entry points. Shut-down: clears every slot and frees the library.
void InitUxThemeUnit();
void DoneUxThemeUnit();

// The loaded library, or none.
HMODULE dxThemeLibrary() noexcept;
// The exported name of a slot and its bound address (none when the library
// is not loaded or does not export the name).
const char* dxUxThemeEntryName(TdxUxThemeEntry AEntry) noexcept;
FARPROC dxUxThemeEntryAddress(TdxUxThemeEntry AEntry) noexcept;
FARPROC dxPanningEntryAddress(TdxPanningEntry AEntry) noexcept;
// Puts AAddress in a slot and answers what it held. Tests use it to run as on
// systems whose library lacks an entry point.
FARPROC dxReplaceUxThemeEntryAddress(TdxUxThemeEntry AEntry, FARPROC AAddress) noexcept;

// Whether the library is loaded.
bool IsThemeLibraryLoaded() noexcept;
// Whether themes can be opened for a DPI (OpenThemeDataForDpi is bound).
bool IsThemeScalingSupported() noexcept;
// False when the entry point is not bound.
bool IsThemeActive() noexcept;

// The wrappers pass their arguments on in the platform's order and return the
// platform's result. An entry point that is not bound answers a failure
// (E_NOTIMPL, FALSE or a zero handle) instead of being called.

// OpenThemeDataForDpi when it is bound and Dpi > 0, else OpenThemeData.
TdxTheme OpenThemeData(HWND hwnd, LPCWSTR pszClassList, int Dpi = 0) noexcept;
HRESULT CloseThemeData(TdxTheme hTheme) noexcept;

HRESULT DrawThemeBackground(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                            const RECT* pClipRect = nullptr) noexcept;
HRESULT DrawThemeBackground(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT& pRect,
                            const RECT* pClipRect = nullptr) noexcept;

HRESULT DrawThemeText(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText,
                      int iCharCount, DWORD dwTextFlags, DWORD dwTextFlags2,
                      const RECT* pRect) noexcept;
HRESULT DrawThemeText(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId,
                      const std::wstring& AText, int iCharCount, DWORD dwTextFlags,
                      DWORD dwTextFlags2, const RECT& pRect);
HRESULT DrawThemeTextEx(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId,
                        const std::wstring& AText, int iCharCount, DWORD dwFlags, RECT& pRect,
                        const TdxDTTOpts& pOptions);

HRESULT DrawThemeEdge(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pDestRect,
                      UINT uEdge, UINT uFlags, RECT* pContentRect) noexcept;
HRESULT GetThemeBackgroundContentRect(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId,
                                      const RECT* pBoundingRect, RECT* pContentRect) noexcept;
HRESULT GetThemeBackgroundRegion(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId,
                                 const RECT* pRect, HRGN* pRegion) noexcept;
BOOL IsThemeBackgroundPartiallyTransparent(TdxTheme hTheme, int iPartId, int iStateId) noexcept;
HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                            int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars) noexcept;

HRESULT GetThemePartSize(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT* prc,
                         TdxThemeSize eSize, SIZE* psz) noexcept;
HRESULT GetThemePartSize(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT& prc,
                         TdxThemeSize eSize, SIZE& psz) noexcept;
HRESULT GetThemePartSize(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, TdxThemeSize eSize,
                         SIZE& psz) noexcept;

// The raw colour value.
HRESULT GetThemeColor(TdxTheme hTheme, int iPartId, int iStateId, int iPropId,
                      COLORREF& pColor) noexcept;
// A colour variable: the platform's colour, or 255 when the platform wrote
// none; AColor is written in any case.
HRESULT GetThemeColor(TdxTheme hTheme, int iPartId, int iStateId, int iPropId,
                      TColor& AColor) noexcept;

HRESULT GetThemeMargins(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, int iPropId,
                        const RECT* prc, TdxMargins* pMargins) noexcept;
// The margins as a rectangle (MarginsToRect); zero margins when the call
// fails.
RECT GetThemeMargins(TdxTheme hTheme, int iPartId, int iStateId, int iPropId) noexcept;
RECT MarginsToRect(const TdxMargins& AMargins) noexcept;

// Selects the device context's font again after the call.
HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc) noexcept;

HRESULT BufferedPaintInit() noexcept;
HRESULT BufferedPaintUnInit() noexcept;
TdxPaintBuffer BeginBufferedPaint(HDC hdcTarget, const RECT* prcTarget, TdxBPBufferFormat dwFormat,
                                  TdxBPPaintParams* pPaintParams, HDC* phdc) noexcept;
HRESULT EndBufferedPaint(TdxPaintBuffer hBufferedPaint, BOOL fUpdateTarget) noexcept;
HRESULT BufferedPaintClear(TdxPaintBuffer hBufferedPaint, const RECT* prc) noexcept;
HRESULT BufferedPaintSetAlpha(TdxPaintBuffer hBufferedPaint, const RECT* prc, BYTE alpha) noexcept;

// False when the entry point is not bound.
bool dxBeginPanningFeedback(HWND hwnd) noexcept;
bool dxUpdatePanningFeedback(HWND hwnd, LONG lTotalOverpanOffsetX, LONG lTotalOverpanOffsetY,
                             bool fInInertia) noexcept;
bool dxEndPanningFeedback(HWND hwnd, bool fAnimateBack) noexcept;

} // namespace telvora
