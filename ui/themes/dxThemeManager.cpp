#include "ui/themes/dxThemeManager.h"

#include "ui/support/dxDPI.h"
#include "ui/support/dxScaleFactor.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>

namespace telvora {

namespace {

constexpr size_t kThemeCacheCapacity = 93;

// The theme manager unit's process-wide state.
struct TThemeManagerState {
  bool FIsGlobalThemeActive = false;
  std::unique_ptr<TdxThemeDataManager> FThemeDataManager;
  std::unique_ptr<std::vector<TdxThemeChangedNotificator*>> FThemeChangedNotificatorList;
  std::unique_ptr<TdxThemeChangedEventReceiver> FThemeChangedEventReceiver;
};

TThemeManagerState& State() noexcept {
  static TThemeManagerState state;
  return state;
}

std::wstring UpperCase(std::wstring_view text) {
  std::wstring result(text);
  for (wchar_t& c : result)
    c = static_cast<wchar_t>(std::towupper(c));
  return result;
}

BOOL CALLBACK AddMonitorDpi(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  reinterpret_cast<std::vector<int>*>(data)->push_back(dxGetMonitorDPI(monitor));
  return TRUE;
}

} // namespace

// TdxThemeData

TdxThemeData::TdxThemeData(TdxTheme ATheme, int ADpi, std::wstring AClassNameList)
    : ClassNameList(std::move(AClassNameList)), Theme(ATheme) {
  if (ADpi > 0) {
    ScaleFactor = std::make_unique<TdxScaleFactor>();
    ScaleFactor->Assign(ADpi, 96, false);
  }
}

bool TdxThemeData::IsBackgroundPartiallyTransparent(int APartId, int AStateId) {
  const std::uint64_t key =
      (static_cast<std::uint64_t>(static_cast<std::uint32_t>(APartId)) << 32) |
      static_cast<std::uint32_t>(AStateId);
  auto found = FPartiallyTransparent.find(key);
  if (found == FPartiallyTransparent.end())
    found =
        FPartiallyTransparent
            .emplace(key, IsThemeBackgroundPartiallyTransparent(Theme, APartId, AStateId) != FALSE)
            .first;
  return found->second;
}

TdxThemeData::~TdxThemeData() {
  if (Theme != 0)
    CloseThemeData(Theme);
}

// TdxThemeDataManager

TdxThemeDataManager::TdxThemeDataManager() : TdxThemeDataManager(MonitorDpis) {}

TdxThemeDataManager::TdxThemeDataManager(TDpiListSource ADpiListSource)
    : FDpiListSource(std::move(ADpiListSource)) {
  FThemes.reserve(kThemeCacheCapacity);
}

TdxThemeDataManager::~TdxThemeDataManager() {
  CloseAll();
}

std::uint64_t TdxThemeDataManager::MakeKey(TdxThemedObjectType AThemedObjectType,
                                           int ADpi) noexcept {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(ADpi)) << 32) |
         static_cast<std::uint32_t>(AThemedObjectType);
}

int TdxThemeDataManager::ClosestDpi(const std::vector<int>& AList, int ADpi) noexcept {
  int result = 0;
  long long best = -1;
  for (int dpi : AList) {
    const long long distance = std::llabs(static_cast<long long>(dpi) - ADpi);
    if (best < 0 || distance < best) {
      best = distance;
      result = dpi;
    }
  }
  return result;
}

std::vector<int> TdxThemeDataManager::MonitorDpis() {
  std::vector<int> result;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitorDpi, reinterpret_cast<LPARAM>(&result));
  return result;
}

const std::vector<int>& TdxThemeDataManager::GetValidDpiList() {
  if (!FValidDpi)
    FValidDpi = FDpiListSource ? FDpiListSource() : std::vector<int>{};
  return *FValidDpi;
}

void TdxThemeDataManager::SetDpiListSource(TDpiListSource ADpiListSource) {
  FDpiListSource = std::move(ADpiListSource);
  FValidDpi.reset();
}

int TdxThemeDataManager::ValidateDpiValue(int ADpi) {
  if (IsThemeScalingSupported() && ADpi >= 96)
    return ClosestDpi(GetValidDpiList(), ADpi);
  return 0;
}

TdxTheme TdxThemeDataManager::Open(TdxThemedObjectType AThemedObjectType, int ADpi,
                                   std::wstring_view AClassNameList) {
  const int dpi = ValidateDpiValue(ADpi);
  const std::uint64_t key = MakeKey(AThemedObjectType, dpi);
  auto found = FThemes.find(key);
  if (found != FThemes.end() &&
      (AClassNameList.empty() ||
       UpperCase(AClassNameList) == UpperCase(found->second->ClassNameList)))
    return found->second->Theme;

  std::wstring classNameList(AClassNameList.empty()
                                 ? std::wstring_view(dxThemedObjectNameA[AThemedObjectType])
                                 : AClassNameList);
  const TdxTheme theme = OpenThemeData(nullptr, classNameList.c_str(), dpi);
  auto data = std::make_unique<TdxThemeData>(theme, dpi, std::move(classNameList));

  if (found != FThemes.end()) {
    // The record being replaced loses its handle-map entry (unless another
    // record with the same handle took it since) and closes its handle.
    TdxThemeData* previous = found->second.get();
    auto entry = FHandleMap.find(previous->Theme);
    if (entry != FHandleMap.end() && entry->second == previous)
      FHandleMap.erase(entry);
    found->second = std::move(data);
  } else {
    found = FThemes.emplace(key, std::move(data)).first;
  }
  if (theme != 0)
    FHandleMap[theme] = found->second.get();
  return theme;
}

void TdxThemeDataManager::CloseAll() {
  FValidDpi.reset();
  FHandleMap.clear();
  FThemes.clear();
}

TdxThemeData* TdxThemeDataManager::FindByHandle(TdxTheme ATheme) const {
  if (ATheme == 0)
    return nullptr;
  auto found = FHandleMap.find(ATheme);
  return found != FHandleMap.end() ? found->second : nullptr;
}

TdxThemeData* TdxThemeDataManager::Find(TdxThemedObjectType AThemedObjectType, int ADpi) const {
  auto found = FThemes.find(MakeKey(AThemedObjectType, ADpi));
  return found != FThemes.end() ? found->second.get() : nullptr;
}

// TdxThemeChangedNotificator

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  auto* list = State().FThemeChangedNotificatorList.get();
  if (IsThemeLibraryLoaded() && list != nullptr)
    list->push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  auto* list = State().FThemeChangedNotificatorList.get();
  if (IsThemeLibraryLoaded() && list != nullptr) {
    auto found = std::find(list->begin(), list->end(), this);
    if (found != list->end())
      list->erase(found);
  }
}

void TdxThemeChangedNotificator::DoThemeChanged() {
  if (FOnThemeChanged)
    FOnThemeChanged();
}

// TdxThemeChangedEventReceiver

TdxThemeChangedEventReceiver::TdxThemeChangedEventReceiver()
    : FWindowHandle([this](TMessage& message) { WndProc(message); }) {}

TdxThemeChangedEventReceiver::~TdxThemeChangedEventReceiver() {
  State().FIsGlobalThemeActive = false;
  FWindowHandle.Reset();
}

void TdxThemeChangedEventReceiver::WndProc(TMessage& message) {
  const HWND window = FWindowHandle.Handle();
  if (message.Msg == WM_SETTINGCHANGE && IsThemeScalingSupported())
    CloseAllThemes();
  if (message.Msg == WM_THEMECHANGED || message.Msg == WM_SYSCOLORCHANGE) {
    // An exception from here on reaches the application's error display
    // through the window's message entry, with the result 0; the window
    // keeps working.
    message.Result = 0;
    CloseAllThemes();
    DefWindowProcW(window, message.Msg, message.WParam, message.LParam);
    State().FIsGlobalThemeActive = IsThemeActive();
    DoNotifyListeners();
    return;
  }
  DefaultUtilWindowProc(window, message);
}

void TdxThemeChangedEventReceiver::DoNotifyListeners() {
  auto* list = State().FThemeChangedNotificatorList.get();
  if (list == nullptr)
    return;
  // The walk goes over the notificators there were when it began, in list
  // order; each one is told only while it is still in the list, so that a
  // handler may free others (or itself) and create new ones.
  const std::vector<TdxThemeChangedNotificator*> snapshot(*list);
  for (TdxThemeChangedNotificator* notificator : snapshot) {
    list = State().FThemeChangedNotificatorList.get();
    if (list == nullptr)
      return;
    if (std::find(list->begin(), list->end(), notificator) != list->end())
      notificator->DoThemeChanged();
  }
}

// The unit

void InitThemeManagerUnit() {
  TThemeManagerState& state = State();
  if (!IsThemeLibraryLoaded() || state.FThemeDataManager)
    return;
  state.FIsGlobalThemeActive = IsThemeActive();
  state.FThemeDataManager = std::make_unique<TdxThemeDataManager>();
  state.FThemeChangedNotificatorList = std::make_unique<std::vector<TdxThemeChangedNotificator*>>();
  state.FThemeChangedEventReceiver = std::make_unique<TdxThemeChangedEventReceiver>();
}

void DoneThemeManagerUnit() {
  TThemeManagerState& state = State();
  state.FThemeChangedEventReceiver.reset();
  state.FIsGlobalThemeActive = false;
  CloseAllThemes();
  state.FThemeChangedNotificatorList.reset();
  state.FThemeDataManager.reset();
}

bool IsGlobalThemeActive() noexcept {
  return State().FIsGlobalThemeActive;
}

bool UpdateGlobalThemeActive() {
  TThemeManagerState& state = State();
  if (!state.FThemeChangedEventReceiver || !IsThemeLibraryLoaded())
    return false;
  const bool active = IsThemeActive();
  if (active == state.FIsGlobalThemeActive)
    return false;
  // No handle opened under the theme that was (or was not) in force stays.
  CloseAllThemes();
  state.FIsGlobalThemeActive = active;
  return true;
}

TdxThemeDataManager* dxThemeDataManager() noexcept {
  return State().FThemeDataManager.get();
}

TdxThemeChangedEventReceiver* dxThemeChangedEventReceiver() noexcept {
  return State().FThemeChangedEventReceiver.get();
}

const std::vector<TdxThemeChangedNotificator*>* dxThemeChangedNotificatorList() noexcept {
  return State().FThemeChangedNotificatorList.get();
}

// The helpers

bool AreVisualStylesAvailable(TdxThemedObjectTypes ANeededThemedObjectTypes) {
  bool result = State().FIsGlobalThemeActive && IsThemeLibraryLoaded();
  if (result && !ANeededThemedObjectTypes.Empty()) {
    for (int i = 0; i < dxThemedObjectTypeCount; ++i) {
      const auto type = static_cast<TdxThemedObjectType>(i);
      if (ANeededThemedObjectTypes.Contains(type) && OpenTheme(type) == 0) {
        result = false;
        break;
      }
    }
  }
  return result;
}

bool AreVisualStylesAvailable(TdxThemedObjectType ANeededThemedObjectType) {
  return State().FIsGlobalThemeActive && IsThemeLibraryLoaded() &&
         OpenTheme(ANeededThemedObjectType) != 0;
}

TdxTheme OpenTheme(TdxThemedObjectType AThemedObjectType, std::wstring_view AClassNameList) {
  return OpenTheme(AThemedObjectType, 0, AClassNameList);
}

TdxTheme OpenTheme(TdxThemedObjectType AThemedObjectType, int ADpi,
                   std::wstring_view AClassNameList) {
  TdxThemeDataManager* manager = State().FThemeDataManager.get();
  if (manager == nullptr || !AreVisualStylesAvailable())
    return 0;
  return manager->Open(AThemedObjectType, ADpi, AClassNameList);
}

TdxTheme OpenTheme(TdxThemedObjectType AThemedObjectType, const TdxScaleFactor* AScaleFactor,
                   std::wstring_view AClassNameList) {
  if (AScaleFactor == nullptr)
    return OpenTheme(AThemedObjectType, 0, AClassNameList);
  return OpenTheme(AThemedObjectType, TdxScaleFactorHelper::TargetDPI(AScaleFactor),
                   AClassNameList);
}

bool IsThemeBackgroundPartiallyTransparentCached(TdxTheme ATheme, int APartId, int AStateId) {
  if (TdxThemeDataManager* manager = State().FThemeDataManager.get())
    if (TdxThemeData* data = manager->FindByHandle(ATheme))
      return data->IsBackgroundPartiallyTransparent(APartId, AStateId);
  return IsThemeBackgroundPartiallyTransparent(ATheme, APartId, AStateId) != FALSE;
}

void CloseAllThemes() {
  if (TdxThemeDataManager* manager = State().FThemeDataManager.get())
    manager->CloseAll();
}

const TdxScaleFactor* GetThemeScaleFactor(TdxTheme ATheme) {
  if (AreVisualStylesAvailable()) {
    if (TdxThemeDataManager* manager = State().FThemeDataManager.get()) {
      TdxThemeData* data = manager->FindByHandle(ATheme);
      if (data != nullptr && data->ScaleFactor)
        return data->ScaleFactor.get();
    }
  }
  return dxSystemScaleFactor();
}

bool GetThemeScaledPartSize(TdxThemedObjectType AThemedObjectType,
                            const TdxScaleFactor* AScaleFactor, int APartId, SIZE& ASize,
                            int AStateId, TdxThemeSizeScaleSource AScaleSource) {
  const TdxTheme theme = OpenTheme(AThemedObjectType, AScaleFactor);
  if (theme == 0)
    return false;
  if (GetThemePartSize(theme, nullptr, APartId, AStateId, nullptr, dxtsTrue, &ASize) != S_OK)
    return false;
  const TdxScaleFactor* source = nullptr;
  switch (AScaleSource) {
  case tssNoScaling:
    source = dxDefaultScaleFactor();
    break;
  case tssSystemDpi:
    source = dxSystemScaleFactor();
    break;
  case tssThemeDpi:
    source = GetThemeScaleFactor(theme);
    break;
  }
  // Without a target factor the size is wanted at 96 DPI.
  const TdxScaleFactor* target = AScaleFactor != nullptr ? AScaleFactor : dxDefaultScaleFactor();
  if (target != nullptr && source != nullptr)
    ASize = target->Apply(ASize, *source);
  return true;
}

SIZE GetThemeScaledPartSize(TdxThemedObjectType AThemedObjectType,
                            const TdxScaleFactor* AScaleFactor, int APartId, int AStateId,
                            TdxThemeSizeScaleSource AScaleSource) {
  SIZE size{0, 0};
  if (!GetThemeScaledPartSize(AThemedObjectType, AScaleFactor, APartId, size, AStateId,
                              AScaleSource))
    size = SIZE{0, 0};
  return size;
}

bool cxGetThemeColor(TdxThemedObjectType AObjectType, int APartId, int AStateId, int APropId,
                     TColor& AColor) {
  const TdxTheme theme = OpenTheme(AObjectType);
  if (theme == 0)
    return false;
  return GetThemeColor(theme, APartId, AStateId, APropId, AColor) == S_OK;
}

bool dxDrawThemeBackground(HDC DC, TdxThemedObjectType AThemedObjectType, const RECT& R,
                           int APartId, int AStateId) {
  const TdxTheme theme = OpenTheme(AThemedObjectType);
  if (theme == 0)
    return false;
  return SUCCEEDED(DrawThemeBackground(theme, DC, APartId, AStateId, R, nullptr));
}

bool dxDrawThemeBackground(HDC DC, TdxThemedObjectType AThemedObjectType,
                           const TdxScaleFactor* AScaleFactor, const RECT& R, int APartId,
                           int AStateId) {
  const TdxTheme theme = OpenTheme(AThemedObjectType, AScaleFactor);
  if (theme == 0)
    return false;
  return SUCCEEDED(DrawThemeBackground(theme, DC, APartId, AStateId, R, nullptr));
}

} // namespace telvora
