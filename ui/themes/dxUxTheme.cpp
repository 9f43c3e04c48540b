#include "ui/themes/dxUxTheme.h"

#include "platform/Handles.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <array>
#include <cstddef>
#include <utility>

namespace telvora {

// The records are handed to the platform as they are.
static_assert(sizeof(TdxMargins) == sizeof(MARGINS));
static_assert(offsetof(TdxMargins, cyBottomHeight) == offsetof(MARGINS, cyBottomHeight));
static_assert(sizeof(TdxDTTOpts) == sizeof(DTTOPTS));
static_assert(offsetof(TdxDTTOpts, iGlowSize) == offsetof(DTTOPTS, iGlowSize));
static_assert(offsetof(TdxDTTOpts, lParam) == offsetof(DTTOPTS, lParam));
static_assert(sizeof(TdxBPPaintParams) == sizeof(BP_PAINTPARAMS));
static_assert(offsetof(TdxBPPaintParams, pBlendFunction) ==
              offsetof(BP_PAINTPARAMS, pBlendFunction));
static_assert(sizeof(TdxTheme) == sizeof(HTHEME));
static_assert(sizeof(TdxPaintBuffer) == sizeof(HPAINTBUFFER));

const wchar_t* dxUxThemeLibraryName = L"UxTheme.dll";

namespace {

constexpr const char* kEntryNames[dxUxThemeEntryCount] = {
    "CloseThemeData",
    "DrawThemeBackground",
    "DrawThemeEdge",
    "DrawThemeIcon",
    "DrawThemeParentBackground",
    "DrawThemeText",
    "DrawThemeTextEx",
    "EnableThemeDialogTexture",
    "GetCurrentThemeName",
    "GetThemeAppProperties",
    "GetThemeBackgroundContentRect",
    "GetThemeBackgroundRegion",
    "GetThemeBackgroundExtent",
    "GetThemeBool",
    "GetThemeColor",
    "GetThemeDocumentationProperty",
    "GetThemeEnumValue",
    "GetThemeFilename",
    "GetThemeFont",
    "GetThemeInt",
    "GetThemeIntList",
    "GetThemeMargins",
    "GetThemeMetric",
    "GetThemePartSize",
    "GetThemePosition",
    "GetThemePropertyOrigin",
    "GetThemeRect",
    "GetThemeString",
    "GetThemeSysBool",
    "GetThemeSysColor",
    "GetThemeSysColorBrush",
    "GetThemeSysFont",
    "GetThemeSysInt",
    "GetThemeSysSize",
    "GetThemeSysString",
    "GetThemeTextExtent",
    "GetThemeTextMetrics",
    "GetWindowTheme",
    "HitTestThemeBackground",
    "IsAppThemed",
    "IsThemeActive",
    "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent",
    "IsThemeDialogTextureEnabled",
    "OpenThemeData",
    "OpenThemeDataForDpi",
    "SetThemeAppProperties",
    "SetWindowTheme",
    "BeginBufferedPaint",
    "BufferedPaintClear",
    "BufferedPaintInit",
    "BufferedPaintSetAlpha",
    "BufferedPaintUnInit",
    "EndBufferedPaint",
};

constexpr const char* kPanningNames[3] = {"BeginPanningFeedback", "UpdatePanningFeedback",
                                          "EndPanningFeedback"};

// The table's order, with OpenThemeDataForDpi looked up last.
constexpr std::array<int, dxUxThemeEntryCount> LookupOrder() {
  std::array<int, dxUxThemeEntryCount> order{};
  const int forDpi = static_cast<int>(TdxUxThemeEntry::OpenThemeDataForDpi);
  int n = 0;
  for (int i = 0; i < dxUxThemeEntryCount; ++i)
    if (i != forDpi)
      order[static_cast<size_t>(n++)] = i;
  order[static_cast<size_t>(n)] = forDpi;
  return order;
}

struct TThemeLibrary {
  TModule Module;
  std::array<FARPROC, dxUxThemeEntryCount> FThemeLibraryMethodPointersKeeper{};
  std::array<FARPROC, 3> FPanning{}; // FBeginPanningFeedback, FUpdate..., FEnd...
};

TThemeLibrary& Library() noexcept {
  static TThemeLibrary library;
  return library;
}

template <class F> F Entry(TdxUxThemeEntry AEntry) noexcept {
  return reinterpret_cast<F>(
      Library().FThemeLibraryMethodPointersKeeper[static_cast<size_t>(AEntry)]);
}

template <class F> F Panning(TdxPanningEntry AEntry) noexcept {
  return reinterpret_cast<F>(Library().FPanning[static_cast<size_t>(AEntry)]);
}

HTHEME ToTheme(TdxTheme ATheme) noexcept {
  return reinterpret_cast<HTHEME>(ATheme);
}

HPAINTBUFFER ToPaintBuffer(TdxPaintBuffer ABuffer) noexcept {
  return reinterpret_cast<HPAINTBUFFER>(ABuffer);
}

using TCloseThemeData = HRESULT(WINAPI*)(HTHEME);
using TDrawThemeBackground = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
using TDrawThemeEdge = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*);
using TDrawThemeParentBackground = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
using TDrawThemeText = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD,
                                        const RECT*);
using TDrawThemeTextEx = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, RECT*,
                                          const DTTOPTS*);
using TGetCurrentThemeName = HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
using TGetThemeBackgroundContentRect = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*);
using TGetThemeBackgroundRegion = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, HRGN*);
using TGetThemeColor = HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*);
using TGetThemeMargins = HRESULT(WINAPI*)(HTHEME, HDC, int, int, int, const RECT*, MARGINS*);
using TGetThemePartSize = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*);
using TIsThemeActive = BOOL(WINAPI*)();
using TIsThemeBackgroundPartiallyTransparent = BOOL(WINAPI*)(HTHEME, int, int);
using TOpenThemeData = HTHEME(WINAPI*)(HWND, LPCWSTR);
using TOpenThemeDataForDpi = HTHEME(WINAPI*)(HWND, LPCWSTR, UINT);
using TBufferedPaintInit = HRESULT(WINAPI*)();
using TBeginBufferedPaint = HPAINTBUFFER(WINAPI*)(HDC, const RECT*, BP_BUFFERFORMAT,
                                                  BP_PAINTPARAMS*, HDC*);
using TEndBufferedPaint = HRESULT(WINAPI*)(HPAINTBUFFER, BOOL);
using TBufferedPaintClear = HRESULT(WINAPI*)(HPAINTBUFFER, const RECT*);
using TBufferedPaintSetAlpha = HRESULT(WINAPI*)(HPAINTBUFFER, const RECT*, BYTE);
using TBeginPanningFeedback = BOOL(WINAPI*)(HWND);
using TUpdatePanningFeedback = BOOL(WINAPI*)(HWND, LONG, LONG, BOOL);
using TEndPanningFeedback = BOOL(WINAPI*)(HWND, BOOL);

} // namespace

void InitUxThemeUnit() {
  InitCommonControls();
  TThemeLibrary& library = Library();
  library.Module.Reset(LoadLibraryW(dxUxThemeLibraryName));
  library.FThemeLibraryMethodPointersKeeper.fill(nullptr);
  library.FPanning.fill(nullptr);
  if (!library.Module)
    return;
  HMODULE module = library.Module.Get();
  for (int index : LookupOrder())
    library.FThemeLibraryMethodPointersKeeper[static_cast<size_t>(index)] =
        GetProcAddress(module, kEntryNames[index]);
  for (size_t i = 0; i < library.FPanning.size(); ++i)
    library.FPanning[i] = GetProcAddress(module, kPanningNames[i]);
}

void DoneUxThemeUnit() {
  TThemeLibrary& library = Library();
  library.FThemeLibraryMethodPointersKeeper.fill(nullptr);
  library.FPanning.fill(nullptr);
  library.Module.Reset();
}

HMODULE dxThemeLibrary() noexcept {
  return Library().Module.Get();
}

const char* dxUxThemeEntryName(TdxUxThemeEntry AEntry) noexcept {
  const int index = static_cast<int>(AEntry);
  return index >= 0 && index < dxUxThemeEntryCount ? kEntryNames[index] : nullptr;
}

FARPROC dxUxThemeEntryAddress(TdxUxThemeEntry AEntry) noexcept {
  const int index = static_cast<int>(AEntry);
  if (index < 0 || index >= dxUxThemeEntryCount)
    return nullptr;
  return Library().FThemeLibraryMethodPointersKeeper[static_cast<size_t>(index)];
}

FARPROC dxReplaceUxThemeEntryAddress(TdxUxThemeEntry AEntry, FARPROC AAddress) noexcept {
  const int index = static_cast<int>(AEntry);
  if (index < 0 || index >= dxUxThemeEntryCount)
    return nullptr;
  return std::exchange(Library().FThemeLibraryMethodPointersKeeper[static_cast<size_t>(index)],
                       AAddress);
}

FARPROC dxPanningEntryAddress(TdxPanningEntry AEntry) noexcept {
  const int index = static_cast<int>(AEntry);
  if (index < 0 || index >= 3)
    return nullptr;
  return Library().FPanning[static_cast<size_t>(index)];
}

bool IsThemeLibraryLoaded() noexcept {
  return static_cast<bool>(Library().Module);
}

bool IsThemeScalingSupported() noexcept {
  return dxUxThemeEntryAddress(TdxUxThemeEntry::OpenThemeDataForDpi) != nullptr;
}

bool IsThemeActive() noexcept {
  auto fn = Entry<TIsThemeActive>(TdxUxThemeEntry::IsThemeActive);
  return fn != nullptr && fn() != FALSE;
}

TdxTheme OpenThemeData(HWND hwnd, LPCWSTR pszClassList, int Dpi) noexcept {
  HTHEME theme = nullptr;
  auto forDpi = Entry<TOpenThemeDataForDpi>(TdxUxThemeEntry::OpenThemeDataForDpi);
  if (forDpi != nullptr && Dpi > 0)
    theme = forDpi(hwnd, pszClassList, static_cast<UINT>(Dpi));
  else if (auto open = Entry<TOpenThemeData>(TdxUxThemeEntry::OpenThemeData))
    theme = open(hwnd, pszClassList);
  return reinterpret_cast<TdxTheme>(theme);
}

HRESULT CloseThemeData(TdxTheme hTheme) noexcept {
  auto fn = Entry<TCloseThemeData>(TdxUxThemeEntry::CloseThemeData);
  return fn ? fn(ToTheme(hTheme)) : E_NOTIMPL;
}

HRESULT DrawThemeBackground(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                            const RECT* pClipRect) noexcept {
  auto fn = Entry<TDrawThemeBackground>(TdxUxThemeEntry::DrawThemeBackground);
  return fn ? fn(ToTheme(hTheme), hdc, iPartId, iStateId, pRect, pClipRect) : E_NOTIMPL;
}

HRESULT DrawThemeBackground(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT& pRect,
                            const RECT* pClipRect) noexcept {
  return DrawThemeBackground(hTheme, hdc, iPartId, iStateId, &pRect, pClipRect);
}

HRESULT DrawThemeText(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText,
                      int iCharCount, DWORD dwTextFlags, DWORD dwTextFlags2,
                      const RECT* pRect) noexcept {
  auto fn = Entry<TDrawThemeText>(TdxUxThemeEntry::DrawThemeText);
  return fn ? fn(ToTheme(hTheme), hdc, iPartId, iStateId, pszText, iCharCount, dwTextFlags,
                 dwTextFlags2, pRect)
            : E_NOTIMPL;
}

HRESULT DrawThemeText(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId,
                      const std::wstring& AText, int iCharCount, DWORD dwTextFlags,
                      DWORD dwTextFlags2, const RECT& pRect) {
  std::wstring text = AText;
  return DrawThemeText(hTheme, hdc, iPartId, iStateId, text.c_str(), iCharCount, dwTextFlags,
                       dwTextFlags2, &pRect);
}

HRESULT DrawThemeTextEx(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId,
                        const std::wstring& AText, int iCharCount, DWORD dwFlags, RECT& pRect,
                        const TdxDTTOpts& pOptions) {
  auto fn = Entry<TDrawThemeTextEx>(TdxUxThemeEntry::DrawThemeTextEx);
  if (!fn)
    return E_NOTIMPL;
  // A writable copy: DT_MODIFYSTRING lets the platform change the text.
  std::wstring text = AText;
  text.reserve(text.size() + 4);
  return fn(ToTheme(hTheme), hdc, iPartId, iStateId, text.data(), iCharCount, dwFlags, &pRect,
            reinterpret_cast<const DTTOPTS*>(&pOptions));
}

HRESULT DrawThemeEdge(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pDestRect,
                      UINT uEdge, UINT uFlags, RECT* pContentRect) noexcept {
  auto fn = Entry<TDrawThemeEdge>(TdxUxThemeEntry::DrawThemeEdge);
  return fn ? fn(ToTheme(hTheme), hdc, iPartId, iStateId, pDestRect, uEdge, uFlags, pContentRect)
            : E_NOTIMPL;
}

HRESULT GetThemeBackgroundContentRect(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId,
                                      const RECT* pBoundingRect, RECT* pContentRect) noexcept {
  auto fn = Entry<TGetThemeBackgroundContentRect>(TdxUxThemeEntry::GetThemeBackgroundContentRect);
  return fn ? fn(ToTheme(hTheme), hdc, iPartId, iStateId, pBoundingRect, pContentRect) : E_NOTIMPL;
}

HRESULT GetThemeBackgroundRegion(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId,
                                 const RECT* pRect, HRGN* pRegion) noexcept {
  auto fn = Entry<TGetThemeBackgroundRegion>(TdxUxThemeEntry::GetThemeBackgroundRegion);
  return fn ? fn(ToTheme(hTheme), hdc, iPartId, iStateId, pRect, pRegion) : E_NOTIMPL;
}

BOOL IsThemeBackgroundPartiallyTransparent(TdxTheme hTheme, int iPartId, int iStateId) noexcept {
  auto fn = Entry<TIsThemeBackgroundPartiallyTransparent>(
      TdxUxThemeEntry::IsThemeBackgroundPartiallyTransparent);
  return fn ? fn(ToTheme(hTheme), iPartId, iStateId) : FALSE;
}

HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                            int cchMaxColorChars, LPWSTR pszSizeBuff,
                            int cchMaxSizeChars) noexcept {
  auto fn = Entry<TGetCurrentThemeName>(TdxUxThemeEntry::GetCurrentThemeName);
  return fn ? fn(pszThemeFileName, cchMaxNameChars, pszColorBuff, cchMaxColorChars, pszSizeBuff,
                 cchMaxSizeChars)
            : E_NOTIMPL;
}

HRESULT GetThemePartSize(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT* prc,
                         TdxThemeSize eSize, SIZE* psz) noexcept {
  auto fn = Entry<TGetThemePartSize>(TdxUxThemeEntry::GetThemePartSize);
  return fn ? fn(ToTheme(hTheme), hdc, iPartId, iStateId, prc, static_cast<THEMESIZE>(eSize), psz)
            : E_NOTIMPL;
}

HRESULT GetThemePartSize(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, const RECT& prc,
                         TdxThemeSize eSize, SIZE& psz) noexcept {
  return GetThemePartSize(hTheme, hdc, iPartId, iStateId, &prc, eSize, &psz);
}

HRESULT GetThemePartSize(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, TdxThemeSize eSize,
                         SIZE& psz) noexcept {
  return GetThemePartSize(hTheme, hdc, iPartId, iStateId, nullptr, eSize, &psz);
}

HRESULT GetThemeColor(TdxTheme hTheme, int iPartId, int iStateId, int iPropId,
                      COLORREF& pColor) noexcept {
  auto fn = Entry<TGetThemeColor>(TdxUxThemeEntry::GetThemeColor);
  return fn ? fn(ToTheme(hTheme), iPartId, iStateId, iPropId, &pColor) : E_NOTIMPL;
}

HRESULT GetThemeColor(TdxTheme hTheme, int iPartId, int iStateId, int iPropId,
                      TColor& AColor) noexcept {
  COLORREF color = 255;
  HRESULT result = GetThemeColor(hTheme, iPartId, iStateId, iPropId, color);
  AColor = static_cast<TColor>(color);
  return result;
}

HRESULT GetThemeMargins(TdxTheme hTheme, HDC hdc, int iPartId, int iStateId, int iPropId,
                        const RECT* prc, TdxMargins* pMargins) noexcept {
  auto fn = Entry<TGetThemeMargins>(TdxUxThemeEntry::GetThemeMargins);
  return fn ? fn(ToTheme(hTheme), hdc, iPartId, iStateId, iPropId, prc,
                 reinterpret_cast<MARGINS*>(pMargins))
            : E_NOTIMPL;
}

RECT GetThemeMargins(TdxTheme hTheme, int iPartId, int iStateId, int iPropId) noexcept {
  TdxMargins margins{};
  if (FAILED(GetThemeMargins(hTheme, nullptr, iPartId, iStateId, iPropId, nullptr, &margins)))
    margins = TdxMargins{};
  return MarginsToRect(margins);
}

RECT MarginsToRect(const TdxMargins& AMargins) noexcept {
  return RECT{AMargins.cxLeftWidth, AMargins.cyTopHeight, AMargins.cxRightWidth,
              AMargins.cyBottomHeight};
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc) noexcept {
  auto fn = Entry<TDrawThemeParentBackground>(TdxUxThemeEntry::DrawThemeParentBackground);
  if (!fn)
    return E_NOTIMPL;
  HGDIOBJ font = GetCurrentObject(hdc, OBJ_FONT);
  HRESULT result = fn(hwnd, hdc, prc);
  if (font != nullptr)
    SelectObject(hdc, font);
  return result;
}

HRESULT BufferedPaintInit() noexcept {
  auto fn = Entry<TBufferedPaintInit>(TdxUxThemeEntry::BufferedPaintInit);
  return fn ? fn() : E_NOTIMPL;
}

HRESULT BufferedPaintUnInit() noexcept {
  auto fn = Entry<TBufferedPaintInit>(TdxUxThemeEntry::BufferedPaintUnInit);
  return fn ? fn() : E_NOTIMPL;
}

TdxPaintBuffer BeginBufferedPaint(HDC hdcTarget, const RECT* prcTarget, TdxBPBufferFormat dwFormat,
                                  TdxBPPaintParams* pPaintParams, HDC* phdc) noexcept {
  auto fn = Entry<TBeginBufferedPaint>(TdxUxThemeEntry::BeginBufferedPaint);
  if (!fn)
    return 0;
  return reinterpret_cast<TdxPaintBuffer>(
      fn(hdcTarget, prcTarget, static_cast<BP_BUFFERFORMAT>(dwFormat),
         reinterpret_cast<BP_PAINTPARAMS*>(pPaintParams), phdc));
}

HRESULT EndBufferedPaint(TdxPaintBuffer hBufferedPaint, BOOL fUpdateTarget) noexcept {
  auto fn = Entry<TEndBufferedPaint>(TdxUxThemeEntry::EndBufferedPaint);
  return fn ? fn(ToPaintBuffer(hBufferedPaint), fUpdateTarget) : E_NOTIMPL;
}

HRESULT BufferedPaintClear(TdxPaintBuffer hBufferedPaint, const RECT* prc) noexcept {
  auto fn = Entry<TBufferedPaintClear>(TdxUxThemeEntry::BufferedPaintClear);
  return fn ? fn(ToPaintBuffer(hBufferedPaint), prc) : E_NOTIMPL;
}

HRESULT BufferedPaintSetAlpha(TdxPaintBuffer hBufferedPaint, const RECT* prc, BYTE alpha) noexcept {
  auto fn = Entry<TBufferedPaintSetAlpha>(TdxUxThemeEntry::BufferedPaintSetAlpha);
  return fn ? fn(ToPaintBuffer(hBufferedPaint), prc, alpha) : E_NOTIMPL;
}

bool dxBeginPanningFeedback(HWND hwnd) noexcept {
  auto fn = Panning<TBeginPanningFeedback>(TdxPanningEntry::BeginPanningFeedback);
  return fn != nullptr && fn(hwnd) != FALSE;
}

bool dxUpdatePanningFeedback(HWND hwnd, LONG lTotalOverpanOffsetX, LONG lTotalOverpanOffsetY,
                             bool fInInertia) noexcept {
  auto fn = Panning<TUpdatePanningFeedback>(TdxPanningEntry::UpdatePanningFeedback);
  return fn != nullptr &&
         fn(hwnd, lTotalOverpanOffsetX, lTotalOverpanOffsetY, fInInertia ? TRUE : FALSE) != FALSE;
}

bool dxEndPanningFeedback(HWND hwnd, bool fAnimateBack) noexcept {
  auto fn = Panning<TEndPanningFeedback>(TdxPanningEntry::EndPanningFeedback);
  return fn != nullptr && fn(hwnd, fAnimateBack ? TRUE : FALSE) != FALSE;
}

} // namespace telvora
