#pragma once
// Access to the visual-style themes: whether a theme is active, theme handles
// opened per themed object type and DPI and cached until the theme, the
// system colours or the display settings change, the hidden window that
// learns of those changes, and helpers that draw, measure and read colours
// through the cached themes.
//
// Callers never keep a theme handle: they call OpenTheme at each use,
// because every change closes all handles.

#include "platform/Classes.h"
#include "platform/UtilWindow.h"
#include "ui/themes/dxUxTheme.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace telvora {

class TdxScaleFactor;

enum TdxThemedObjectType : int {
  totButton,
  totClock,
  totComboBox,
  totEdit,
  totExplorerBar,
  totHeader,
  totListBox,
  totListView,
  totMenu,
  totPage,
  totProgress,
  totRebar,
  totScrollBar,
  totSpin,
  totStartPanel,
  totStatus,
  totTab,
  totTaskBand,
  totTaskBar,
  totToolBar,
  totToolTip,
  totTrackBar,
  totTrayNotify,
  totTreeView,
  totWindow,
  totNavigation,
  totExplorerListView,
  totTextStyle,
  totItemsViewListView,
  totItemsViewHeader,
  totExplorerTreeView
};
constexpr int dxThemedObjectTypeCount = 31;

// The theme class opened for each type.
inline constexpr const wchar_t* dxThemedObjectNameA[dxThemedObjectTypeCount] = {
    L"Button",
    L"Clock",
    L"ComboBox",
    L"Edit",
    L"ExplorerBar",
    L"Header",
    L"ListBox",
    L"ListView",
    L"Menu",
    L"Page",
    L"Progress",
    L"Rebar",
    L"ScrollBar",
    L"Spin",
    L"StartPanel",
    L"Status",
    L"Tab",
    L"TaskBand",
    L"TaskBar",
    L"ToolBar",
    L"ToolTip",
    L"TrackBar",
    L"TrayNotify",
    L"TreeView",
    L"Window",
    L"Navigation",
    L"Explorer::ListView",
    L"TEXTSTYLE",
    L"ItemsView::ListView",
    L"ItemsView::Header",
    L"Explorer::TreeView",
};

// A set of themed object types: bit n for ordinal n.
class TdxThemedObjectTypes {
public:
  constexpr TdxThemedObjectTypes() = default;
  constexpr TdxThemedObjectTypes(std::initializer_list<TdxThemedObjectType> types) {
    for (auto t : types)
      FBits |= Bit(t);
  }
  constexpr bool Contains(TdxThemedObjectType t) const { return (FBits & Bit(t)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr std::uint32_t Bits() const { return FBits; }
  constexpr bool operator==(const TdxThemedObjectTypes&) const = default;

private:
  static constexpr std::uint32_t Bit(TdxThemedObjectType t) {
    return std::uint32_t{1} << static_cast<int>(t);
  }
  std::uint32_t FBits = 0;
};

// At which scale a measured part size is expressed.
enum TdxThemeSizeScaleSource { tssNoScaling, tssSystemDpi, tssThemeDpi };

// One open theme. Destroying it closes the handle.
class TdxThemeData {
public:
  TdxThemeData(TdxTheme ATheme, int ADpi, std::wstring AClassNameList);
  TdxThemeData(const TdxThemeData&) = delete;
  TdxThemeData& operator=(const TdxThemeData&) = delete;
  ~TdxThemeData();

  // The class list the theme was opened with.
  std::wstring ClassNameList;
  // The DPI it was opened for, divided by 96; none when opened without DPI.
  std::unique_ptr<TdxScaleFactor> ScaleFactor;
  // May be 0 when the platform could not open the class list.
  TdxTheme Theme;
  // Whether a part and state draw partly transparent, asked of the platform
  // once while the theme stays open (a theme change closes it).
  bool IsBackgroundPartiallyTransparent(int APartId, int AStateId);

private:
  std::unordered_map<std::uint64_t, bool> FPartiallyTransparent;
};

// The process-wide cache of open themes, keyed by type and DPI.
class TdxThemeDataManager {
public:
  // The display monitors' effective DPIs, in monitor order.
  using TDpiListSource = std::function<std::vector<int>()>;

  TdxThemeDataManager();
  // A cache that takes the monitor DPIs from ADpiListSource.
  explicit TdxThemeDataManager(TDpiListSource ADpiListSource);
  TdxThemeDataManager(const TdxThemeDataManager&) = delete;
  TdxThemeDataManager& operator=(const TdxThemeDataManager&) = delete;
  ~TdxThemeDataManager();

  // The cached theme of the type for the validated DPI, opening it first
  // when needed. An empty class list means the type's own class name.
  TdxTheme Open(TdxThemedObjectType AThemedObjectType, int ADpi,
                std::wstring_view AClassNameList = {});
  // Closes every theme and forgets the monitor DPIs.
  void CloseAll();

  // The monitor DPI closest to ADpi when themes open per DPI and ADpi is at
  // least 96; otherwise 0.
  int ValidateDpiValue(int ADpi);
  // The monitor DPIs, read on first need after creation or CloseAll.
  const std::vector<int>& GetValidDpiList();
  // Replaces where the monitor DPIs come from and forgets the list read.
  void SetDpiListSource(TDpiListSource ADpiListSource);

  // The record of an open handle, or none (handle 0 has none).
  TdxThemeData* FindByHandle(TdxTheme ATheme) const;
  // The record under (type, DPI), or none.
  TdxThemeData* Find(TdxThemedObjectType AThemedObjectType, int ADpi) const;
  int Count() const noexcept { return static_cast<int>(FThemes.size()); }

  // The type's ordinal in the low 32 bits, the DPI in the high 32 bits.
  static std::uint64_t MakeKey(TdxThemedObjectType AThemedObjectType, int ADpi) noexcept;
  // The entry of AList with the smallest distance to ADpi, the earliest on a
  // tie; 0 for an empty list.
  static int ClosestDpi(const std::vector<int>& AList, int ADpi) noexcept;
  // Every monitor's effective DPI, in the order Windows enumerates them.
  static std::vector<int> MonitorDpis();

private:
  std::unordered_map<TdxTheme, TdxThemeData*> FHandleMap;
  std::unordered_map<std::uint64_t, std::unique_ptr<TdxThemeData>> FThemes;
  std::optional<std::vector<int>> FValidDpi;
  TDpiListSource FDpiListSource;
};

// Told when the theme changes. Created and destroyed by a subscriber, also
// from within an OnThemeChanged handler: a notificator that goes before its
// turn is not told, one created meanwhile is told at the next change.
class TdxThemeChangedNotificator : public TObject {
public:
  using TThemeChangedEvent = std::function<void()>;

  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;

  const TThemeChangedEvent& OnThemeChanged() const noexcept { return FOnThemeChanged; }
  void SetOnThemeChanged(TThemeChangedEvent value) { FOnThemeChanged = std::move(value); }

protected:
  virtual void DoThemeChanged();

private:
  friend class TdxThemeChangedEventReceiver;
  TThemeChangedEvent FOnThemeChanged;
};

// Owns the hidden window that receives the theme, system colour and settings
// change broadcasts.
class TdxThemeChangedEventReceiver {
public:
  TdxThemeChangedEventReceiver();
  TdxThemeChangedEventReceiver(const TdxThemeChangedEventReceiver&) = delete;
  TdxThemeChangedEventReceiver& operator=(const TdxThemeChangedEventReceiver&) = delete;
  // Marks the theme inactive and destroys the window.
  ~TdxThemeChangedEventReceiver();

  HWND WindowHandle() const noexcept { return FWindowHandle.Handle(); }

private:
  void WndProc(TMessage& message);
  void DoNotifyListeners();

  TUtilWindow FWindowHandle;
};

// Start-up (when the theme library is loaded): reads whether a theme is
// active and creates the cache, the notificator list and the receiver.
// Shut-down frees them.
void InitThemeManagerUnit();
void DoneThemeManagerUnit();

// Whether the visual-styles theme is active, as read at start-up and after
// the last theme or system colour change.
bool IsGlobalThemeActive() noexcept;
// Reads again whether a theme is active; when that differs from the flag,
// closes every theme and then sets the flag. Answers whether it changed.
// Does nothing before start-up, after shut-down or without the theme
// library. Whoever learns of a theme or colour change before the
// theme-change window calls it; the window's own handling of the same
// change, earlier or later, then leaves the flag as it is.
bool UpdateGlobalThemeActive();
// The process-wide objects; none before start-up, after shut-down or without
// the theme library.
TdxThemeDataManager* dxThemeDataManager() noexcept;
TdxThemeChangedEventReceiver* dxThemeChangedEventReceiver() noexcept;
// The live notificators, in creation order.
const std::vector<TdxThemeChangedNotificator*>* dxThemeChangedNotificatorList() noexcept;

// A theme is active, the library is loaded and every type of the set (which
// is opened and so cached) has a theme.
bool AreVisualStylesAvailable(TdxThemedObjectTypes ANeededThemedObjectTypes = {});
bool AreVisualStylesAvailable(TdxThemedObjectType ANeededThemedObjectType);

// 0 unless visual styles are available; otherwise the cached theme. The first
// form opens without DPI, the last for the scale factor's target DPI (without
// DPI when there is no factor).
TdxTheme OpenTheme(TdxThemedObjectType AThemedObjectType, std::wstring_view AClassNameList = {});
TdxTheme OpenTheme(TdxThemedObjectType AThemedObjectType, int ADpi,
                   std::wstring_view AClassNameList = {});
TdxTheme OpenTheme(TdxThemedObjectType AThemedObjectType, const TdxScaleFactor* AScaleFactor,
                   std::wstring_view AClassNameList = {});
void CloseAllThemes();

// The DPI the theme was opened for, as a scale factor; the system scale
// factor for a theme opened without DPI or not known.
const TdxScaleFactor* GetThemeScaleFactor(TdxTheme ATheme);

// IsThemeBackgroundPartiallyTransparent, answered from the open theme's
// record after the first question (asked of the platform for a handle the
// cache does not hold).
bool IsThemeBackgroundPartiallyTransparentCached(TdxTheme ATheme, int APartId, int AStateId);

// The part's true size, converted from AScaleSource to AScaleFactor.
bool GetThemeScaledPartSize(TdxThemedObjectType AThemedObjectType,
                            const TdxScaleFactor* AScaleFactor, int APartId, SIZE& ASize,
                            int AStateId, TdxThemeSizeScaleSource AScaleSource);
// The same; (0, 0) when it fails.
SIZE GetThemeScaledPartSize(TdxThemedObjectType AThemedObjectType,
                            const TdxScaleFactor* AScaleFactor, int APartId, int AStateId,
                            TdxThemeSizeScaleSource AScaleSource);

// True and the theme's colour when the theme defines the property. AColor is
// left alone when the type has no theme.
bool cxGetThemeColor(TdxThemedObjectType AObjectType, int APartId, int AStateId, int APropId,
                     TColor& AColor);

// Draws the part's background; false when there is no theme or drawing fails.
bool dxDrawThemeBackground(HDC DC, TdxThemedObjectType AThemedObjectType, const RECT& R,
                           int APartId, int AStateId);
bool dxDrawThemeBackground(HDC DC, TdxThemedObjectType AThemedObjectType,
                           const TdxScaleFactor* AScaleFactor, const RECT& R, int APartId,
                           int AStateId);

} // namespace telvora
