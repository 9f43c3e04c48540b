#include "ui/lookandfeel/cxLookAndFeels.h"

#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"

#include <string_view>
#include <unordered_set>

namespace telvora {

bool cxUseSkins = cxDefaultUseSkins;
bool cxIsTouchModeEnabled = cxDefaultIsTouchModeEnabled;
bool cxIsTouchSettingsChanging = false;
TdxDefaultBoolean dxSkinShowFormShadow = bDefault;
TdxSkinImageSet dxSkinsUseImageSet = imsDefault;
TcxGetSkinPainterProc GetSkinPainterProc = nullptr;

namespace {
TcxLookAndFeel* FRootLookAndFeel = nullptr;
bool FUnitIsFinalized = false;
int FLookAndFeelControllerCount = 0;

// Names of enumerators as form descriptions write them.
constexpr const wchar_t* kKindNames[] = {L"lfFlat", L"lfStandard", L"lfUltraFlat", L"lfOffice11"};
constexpr const wchar_t* kScrollbarModeNames[] = {L"sbmDefault", L"sbmTouch", L"sbmClassic",
                                                  L"sbmHybrid"};
constexpr const wchar_t* kScrollModeNames[] = {L"scmDefault", L"scmClassic", L"scmSmooth"};
constexpr const wchar_t* kRenderModeNames[] = {L"rmDefault", L"rmGDI", L"rmDirectX", L"rmGDIPlus"};
constexpr const wchar_t* kTouchScrollUIModeNames[] = {L"tsmDefault", L"tsmEnabled", L"tsmDisabled"};
constexpr const wchar_t* kValueNames[] = {L"lfvKind",          L"lfvNativeStyle", L"lfvSkinName",
                                          L"lfvScrollbarMode", L"lfvRenderMode",  L"lfvScrollMode"};

TPropertyValue Identifier(const wchar_t* AName) {
  TPropertyValue value;
  value.Kind = TPropertyValue::TKind::Identifier;
  value.Text = AName;
  return value;
}

TPropertyValue Boolean(bool AValue) {
  return Identifier(AValue ? L"True" : L"False");
}

TPropertyValue String(const std::wstring& AText) {
  TPropertyValue value;
  value.Kind = TPropertyValue::TKind::String;
  value.Text = AText;
  return value;
}

bool IsController(IcxLookAndFeelNotificationListener* AListener) {
  return dynamic_cast<TcxLookAndFeelController*>(AListener->GetObject()) != nullptr;
}

void RefreshRootLookAndFeel() {
  if (FRootLookAndFeel != nullptr)
    FRootLookAndFeel->Refresh();
}
} // namespace

// ---------------------------------------------------------------- persistent

void TcxInterfacedPersistent::Assign(const TObject* ASource) {
  throw EConvertError(ASource == nullptr ? L"Cannot assign nil"
                                         : L"Cannot assign this object to a look-and-feel");
}

// ---------------------------------------------------------------- look-and-feel

TcxLookAndFeel::TcxLookAndFeel(TObject* AOwner) : TcxLookAndFeel(AOwner, false) {}

TcxLookAndFeel::TcxLookAndFeel(TObject* AOwner, bool AIsRootLookAndFeel)
    : TcxInterfacedPersistent(AOwner), FIsRootLookAndFeel(AIsRootLookAndFeel) {
  FCurrentState = FData;
  FSystemPaletteChangedNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>(false);
  FSystemPaletteChangedNotifier->OnSystemPaletteChanged = [this] { SystemPaletteChanged(); };
  try {
    if (!FIsRootLookAndFeel) {
      if (TcxLookAndFeel* root = RootLookAndFeel())
        root->AddChangeListener(this);
      InitializeCurrentState();
    }
    InitializePainter();
  } catch (...) {
    // No master keeps a look-and-feel that was never made.
    if (TcxLookAndFeel* master = GetMasterLookAndFeel())
      master->RemoveChangeListener(this);
    throw;
  }
}

TcxLookAndFeel::~TcxLookAndFeel() {
  FSystemPaletteChangedNotifier.reset();
  DoMasterLookAndFeelDestroying();
  FChangeListenerList.Clear();
  if (TcxLookAndFeel* master = GetMasterLookAndFeel())
    master->RemoveChangeListener(this);
}

void TcxLookAndFeel::Assign(const TObject* ASource) {
  const auto* source = dynamic_cast<const TcxLookAndFeel*>(ASource);
  if (source == nullptr) {
    TcxInterfacedPersistent::Assign(ASource);
    return;
  }
  // One report for data and master together.
  SaveState();
  FData = source->FData;
  FAssignedValues = source->FAssignedValues;
  ChangeMaster(source->GetMasterLookAndFeel());
  CheckStateChanges();
}

template <class T>
void TcxLookAndFeel::AssignValue(TcxLookAndFeelValue AValue, T TcxLookAndFeelData::*AField,
                                 const T& ANew, T (TcxLookAndFeel::*AResolve)()) {
  const T previous = FCurrentState.*AField;
  FAssignedValues = FAssignedValues | TcxLookAndFeelValues{AValue};
  FData.*AField = ANew;
  if ((this->*AResolve)() != previous)
    Changed({AValue});
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value) {
  AssignValue(lfvKind, &TcxLookAndFeelData::Kind, Value, &TcxLookAndFeel::InternalGetKind);
}

void TcxLookAndFeel::SetNativeStyle(bool Value) {
  AssignValue(lfvNativeStyle, &TcxLookAndFeelData::NativeStyle, Value,
              &TcxLookAndFeel::InternalGetNativeStyle);
}

void TcxLookAndFeel::SetSkinName(const TdxSkinName& Value) {
  AssignValue(lfvSkinName, &TcxLookAndFeelData::SkinName, Value,
              &TcxLookAndFeel::InternalGetSkinName);
}

void TcxLookAndFeel::SetScrollbarMode(TdxScrollbarMode Value) {
  AssignValue(lfvScrollbarMode, &TcxLookAndFeelData::ScrollbarMode, Value,
              &TcxLookAndFeel::InternalGetScrollbarMode);
}

void TcxLookAndFeel::SetScrollMode(TdxScrollMode Value) {
  AssignValue(lfvScrollMode, &TcxLookAndFeelData::ScrollMode, Value,
              &TcxLookAndFeel::InternalGetScrollMode);
}

void TcxLookAndFeel::SetRenderMode(TdxRenderMode Value) {
  AssignValue(lfvRenderMode, &TcxLookAndFeelData::RenderMode, Value,
              &TcxLookAndFeel::InternalGetRenderMode);
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues Value) {
  if (Value == FAssignedValues)
    return;
  SaveState();
  FAssignedValues = Value;
  CheckStateChanges();
}

TcxLookAndFeel* TcxLookAndFeel::GetMasterLookAndFeel() const noexcept {
  if (FIsRootLookAndFeel)
    return nullptr;
  return FMasterLookAndFeel != nullptr ? FMasterLookAndFeel : FRootLookAndFeel;
}

TcxLookAndFeel* TcxLookAndFeel::InheritFrom() const noexcept {
  return GetMasterLookAndFeel();
}

bool TcxLookAndFeel::ChangeMaster(TcxLookAndFeel* Value) {
  if (FIsRootLookAndFeel || Value == this || Value == GetMasterLookAndFeel())
    return false;
  if (TcxLookAndFeel* master = GetMasterLookAndFeel())
    master->RemoveChangeListener(this);
  FMasterLookAndFeel = Value;
  if (TcxLookAndFeel* master = GetMasterLookAndFeel())
    master->AddChangeListener(this);
  return true;
}

void TcxLookAndFeel::SetMasterLookAndFeel(TcxLookAndFeel* Value) {
  if (FIsRootLookAndFeel || Value == this || Value == GetMasterLookAndFeel())
    return;
  SaveState();
  ChangeMaster(Value);
  CheckStateChanges();
}

void TcxLookAndFeel::AddChangeListener(TObject* AListener) {
  auto* listener = dynamic_cast<IcxLookAndFeelNotificationListener*>(AListener);
  if (listener == nullptr)
    return;
  const bool controller = IsController(listener);
  if (controller && !FIsRootLookAndFeel)
    return;
  if (!FChangeListenerList.Add(AListener))
    return;
  if (controller)
    ++FLookAndFeelControllerCount;
}

void TcxLookAndFeel::RemoveChangeListener(TObject* AListener) {
  auto* listener = dynamic_cast<IcxLookAndFeelNotificationListener*>(AListener);
  if (listener == nullptr)
    return;
  const bool controller = IsController(listener);
  // While listeners are told (of the destruction too), the list keeps the
  // places of the others.
  if (!FChangeListenerList.Remove(AListener))
    return;
  if (controller && FIsRootLookAndFeel && FLookAndFeelControllerCount > 0 &&
      --FLookAndFeelControllerCount == 0)
    Reset();
}

void TcxLookAndFeel::BeginUpdate() noexcept {
  ++FUpdateLockCount;
}

void TcxLookAndFeel::EndUpdate() {
  if (FUpdateLockCount <= 0)
    return;
  if (--FUpdateLockCount == 0) {
    TcxLookAndFeelValues changed = FChangedValues;
    FChangedValues = {};
    Changed(changed);
  }
}

void TcxLookAndFeel::Refresh() {
  Changed(LookAndFeelValueAll);
}

void TcxLookAndFeel::Reset() {
  if (FIsRootLookAndFeel && FPainter != nullptr)
    FPainter->ResetLookAndFeelSettings();
  SetAssignedValues({});
  if (FIsRootLookAndFeel) {
    // Noticed by each look-and-feel at its next change.
    dxSkinShowFormShadow = bDefault;
    dxSkinsUseImageSet = imsDefault;
    cxUseSkins = cxDefaultUseSkins;
    cxIsTouchModeEnabled = cxDefaultIsTouchModeEnabled;
  }
}

void TcxLookAndFeel::SetStyle(TcxLookAndFeelStyle Value) {
  SetNativeStyle(Value == lfsNative);
  if (!NativeStyle())
    SetKind(cxLookAndFeelKindMap[Value]);
}

TcxCustomLookAndFeelPainter*
TcxLookAndFeel::GetAvailablePainter(TdxThemedObjectTypes ANeededThemedObjectTypes) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  if (manager == nullptr)
    return nullptr;
  if (NativeStyle() && AreVisualStylesAvailable(ANeededThemedObjectTypes))
    return manager->GetPainter(lfsNative);
  if (FSkinPainter != nullptr)
    return FSkinPainter;
  return manager->GetPainter(GetActiveStyle());
}

TcxCustomLookAndFeelPainter*
TcxLookAndFeel::GetAvailablePainter(TdxThemedObjectType ANeededThemedObjectType) {
  return GetAvailablePainter(TdxThemedObjectTypes{ANeededThemedObjectType});
}

TcxLookAndFeelStyle TcxLookAndFeel::GetActiveStyle() {
  if (NativeStyle() && AreVisualStylesAvailable())
    return lfsNative;
  if (FSkinPainter != nullptr)
    return lfsSkin;
  return cxLookAndFeelStyleMap[Kind()];
}

TdxTouchScrollUIMode TcxLookAndFeel::GetTouchScrollUIMode() const noexcept {
  switch (ScrollbarMode()) {
  case sbmDefault:
    return tsmDefault;
  case sbmTouch:
    return tsmEnabled;
  default:
    return tsmDisabled;
  }
}

void TcxLookAndFeel::SetTouchScrollUIMode(TdxTouchScrollUIMode Value) {
  switch (Value) {
  case tsmDefault:
    SetScrollbarMode(sbmDefault);
    break;
  case tsmEnabled:
    SetScrollbarMode(sbmTouch);
    break;
  default:
    SetScrollbarMode(sbmClassic);
    break;
  }
}

bool TcxLookAndFeel::SetProperty(const std::wstring& AName, const TPropertyValue& AValue) {
  if (AName == L"Kind")
    SetKind(static_cast<TcxLookAndFeelKind>(AValue.AsEnumeration(kKindNames)));
  else if (AName == L"NativeStyle")
    SetNativeStyle(AValue.AsBoolean());
  else if (AName == L"SkinName")
    SetSkinName(AValue.AsString());
  else if (AName == L"ScrollbarMode")
    SetScrollbarMode(static_cast<TdxScrollbarMode>(AValue.AsEnumeration(kScrollbarModeNames)));
  else if (AName == L"ScrollMode")
    SetScrollMode(static_cast<TdxScrollMode>(AValue.AsEnumeration(kScrollModeNames)));
  else if (AName == L"RenderMode")
    SetRenderMode(static_cast<TdxRenderMode>(AValue.AsEnumeration(kRenderModeNames)));
  else if (AName == L"AssignedValues") {
    SetAssignedValues(
        TcxLookAndFeelValues::FromBits(static_cast<std::uint8_t>(AValue.AsSet(kValueNames))));
  } else if (AName == L"TouchScrollUIMode") {
    // The older entry: an unknown name means classic scroll bars.
    int ordinal = AValue.IndexOfName(kTouchScrollUIModeNames);
    if (ordinal < 0)
      SetScrollbarMode(sbmClassic);
    else
      SetTouchScrollUIMode(static_cast<TdxTouchScrollUIMode>(ordinal));
  } else
    return false;
  return true;
}

void TcxLookAndFeel::WriteProperties(
    const std::function<void(const std::wstring& AName, const TPropertyValue& AValue)>& AWrite)
    const {
  if (IsKindStored())
    AWrite(L"Kind", Identifier(kKindNames[Kind()]));
  if (IsNativeStyleStored())
    AWrite(L"NativeStyle", Boolean(NativeStyle()));
  if (IsRenderModeStored())
    AWrite(L"RenderMode", Identifier(kRenderModeNames[RenderMode()]));
  if (IsScrollbarModeStored())
    AWrite(L"ScrollbarMode", Identifier(kScrollbarModeNames[ScrollbarMode()]));
  if (IsScrollModeStored())
    AWrite(L"ScrollMode", Identifier(kScrollModeNames[ScrollMode()]));
  // An assigned empty skin name is written too: it stops the inheritance.
  if (IsSkinNameStored())
    AWrite(L"SkinName", String(SkinName()));
}

void TcxLookAndFeel::MasterLookAndFeelChanged(TcxLookAndFeel*,
                                              TcxLookAndFeelValues AChangedValues) {
  Changed(AChangedValues & (LookAndFeelValueAll - FAssignedValues));
}

void TcxLookAndFeel::MasterLookAndFeelDestroying(TcxLookAndFeel*) {
  SetMasterLookAndFeel(nullptr);
}

void TcxLookAndFeel::MasterLookAndFeelBeginChange() {
  if (OnMasterBeginChange)
    OnMasterBeginChange(this);
}

void TcxLookAndFeel::MasterLookAndFeelEndChange() {
  if (OnMasterEndChange)
    OnMasterEndChange(this);
}

TcxCustomLookAndFeelPainter* TcxLookAndFeel::GetSkinPainter(const TdxSkinName& AName) {
  if (!cxUseSkins || AName.empty())
    return nullptr;
  if (TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager())
    if (TcxCustomLookAndFeelPainter* painter = manager->GetPainter(AName))
      return painter;
  return GetSkinPainterProc != nullptr ? GetSkinPainterProc(AName) : nullptr;
}

void TcxLookAndFeel::InitializeCurrentState() {
  FCurrentState.Kind = InternalGetKind();
  FCurrentState.NativeStyle = InternalGetNativeStyle();
  FCurrentState.SkinName = InternalGetSkinName();
  FCurrentState.ScrollbarMode = InternalGetScrollbarMode();
  FCurrentState.ScrollMode = InternalGetScrollMode();
  FCurrentState.RenderMode = InternalGetRenderMode();
  FCurrentState.UseSkins = cxUseSkins;
  // A skin name counts only without the native style.
  FSkinPainter = FCurrentState.NativeStyle ? nullptr : InternalGetSkinPainter();
}

void TcxLookAndFeel::InitializePainter() {
  FPainter = GetAvailablePainter(TdxThemedObjectTypes{});
}

TcxLookAndFeelKind TcxLookAndFeel::InternalGetKind() {
  if (FAssignedValues.Contains(lfvKind))
    return FData.Kind;
  TcxLookAndFeel* master = InheritFrom();
  return master != nullptr ? master->FCurrentState.Kind : cxDefaultLookAndFeelKind;
}

bool TcxLookAndFeel::InternalGetNativeStyle() {
  if (FAssignedValues.Contains(lfvNativeStyle))
    return FData.NativeStyle;
  TcxLookAndFeel* master = InheritFrom();
  return master != nullptr ? master->FCurrentState.NativeStyle : cxDefaultLookAndFeelNativeStyle;
}

TdxRenderMode TcxLookAndFeel::InternalGetRenderMode() {
  if (FAssignedValues.Contains(lfvRenderMode))
    return FData.RenderMode;
  TcxLookAndFeel* master = InheritFrom();
  return master != nullptr ? master->FCurrentState.RenderMode : cxDefaultLookAndFeelRenderMode;
}

TdxScrollbarMode TcxLookAndFeel::InternalGetScrollbarMode() {
  if (FAssignedValues.Contains(lfvScrollbarMode))
    return FData.ScrollbarMode;
  TcxLookAndFeel* master = InheritFrom();
  return master != nullptr ? master->FCurrentState.ScrollbarMode
                           : cxDefaultLookAndFeelScrollbarMode;
}

TdxScrollMode TcxLookAndFeel::InternalGetScrollMode() {
  if (FAssignedValues.Contains(lfvScrollMode))
    return FData.ScrollMode;
  TcxLookAndFeel* master = InheritFrom();
  return master != nullptr ? master->FCurrentState.ScrollMode : cxDefaultLookAndFeelScrollMode;
}

TdxSkinName TcxLookAndFeel::InternalGetSkinName() {
  if (FAssignedValues.Contains(lfvSkinName))
    return FData.SkinName;
  TcxLookAndFeel* master = InheritFrom();
  return master != nullptr ? master->FCurrentState.SkinName
                           : TdxSkinName(cxDefaultLookAndFeelSkinName);
}

TcxCustomLookAndFeelPainter* TcxLookAndFeel::InternalGetSkinPainter() {
  if (FAssignedValues.Contains(lfvSkinName))
    return GetSkinPainter(FData.SkinName);
  TcxLookAndFeel* master = InheritFrom();
  return master != nullptr ? master->GetSkinPainter(master->FCurrentState.SkinName) : nullptr;
}

void TcxLookAndFeel::SystemPaletteChanged() {
  Changed({lfvNativeStyle});
}

void TcxLookAndFeel::Changed(TcxLookAndFeelValues AChangedValues) {
  if (FIsDestruction)
    return;
  if (FCurrentState.UseSkins != cxUseSkins)
    AChangedValues = AChangedValues | TcxLookAndFeelValues{lfvSkinName};
  if (AChangedValues.Empty() && !cxIsTouchSettingsChanging)
    return;
  InitializeCurrentState();
  InitializePainter();
  if (FUpdateLockCount > 0) {
    FChangedValues = FChangedValues | AChangedValues;
    return;
  }
  DoMasterLookAndFeelChanged(AChangedValues);
  if (OnChanged)
    OnChanged(this, AChangedValues);
}

void TcxLookAndFeel::SaveState() {
  FPrevState = FCurrentState;
}

void TcxLookAndFeel::CheckStateChanges() {
  TcxLookAndFeelValues changed;
  if (InternalGetKind() != FPrevState.Kind)
    changed = changed | TcxLookAndFeelValues{lfvKind};
  if (InternalGetNativeStyle() != FPrevState.NativeStyle)
    changed = changed | TcxLookAndFeelValues{lfvNativeStyle};
  if (InternalGetSkinName() != FPrevState.SkinName)
    changed = changed | TcxLookAndFeelValues{lfvSkinName};
  if (InternalGetScrollbarMode() != FPrevState.ScrollbarMode)
    changed = changed | TcxLookAndFeelValues{lfvScrollbarMode};
  if (InternalGetScrollMode() != FPrevState.ScrollMode)
    changed = changed | TcxLookAndFeelValues{lfvScrollMode};
  if (InternalGetRenderMode() != FPrevState.RenderMode)
    changed = changed | TcxLookAndFeelValues{lfvRenderMode};
  Changed(changed);
}

template <class TNotify> void TcxLookAndFeel::ForEachListener(TNotify ANotify) {
  // Every listener in the list is told once, in list order, whatever the
  // handlers add or remove: one removed before its turn is not told, one
  // added meanwhile is told in its turn, one that leaves and comes back is
  // not told twice.
  std::unordered_set<TObject*> told;
  FChangeListenerList.ForEach([&](TObject* listener) {
    if (told.insert(listener).second)
      ANotify(listener);
  });
}

void TcxLookAndFeel::DoMasterLookAndFeelChanged(TcxLookAndFeelValues AChangedValues) {
  ForEachListener([](TObject* listener) {
    if (auto* listener2 = dynamic_cast<IcxLookAndFeelNotificationListener2*>(listener))
      listener2->MasterLookAndFeelBeginChange();
  });
  ForEachListener([this, AChangedValues](TObject* listener) {
    if (auto* intf = dynamic_cast<IcxLookAndFeelNotificationListener*>(listener))
      intf->MasterLookAndFeelChanged(this, AChangedValues);
  });
  ForEachListener([](TObject* listener) {
    if (auto* listener2 = dynamic_cast<IcxLookAndFeelNotificationListener2*>(listener))
      listener2->MasterLookAndFeelEndChange();
  });
}

void TcxLookAndFeel::DoMasterLookAndFeelDestroying() {
  FIsDestruction = true;
  TScopeExit done([this] { FIsDestruction = false; });
  // The listeners there were when the destruction began.
  for (TObject* listener : FChangeListenerList.Items())
    if (FChangeListenerList.Contains(listener))
      if (auto* intf = dynamic_cast<IcxLookAndFeelNotificationListener*>(listener))
        intf->MasterLookAndFeelDestroying(this);
}

// ---------------------------------------------------------------- root

TcxRootLookAndFeel::TcxRootLookAndFeel() : TcxLookAndFeel(nullptr, true) {}

TcxRootLookAndFeel::~TcxRootLookAndFeel() {
  if (FRootLookAndFeel == this) {
    FRootLookAndFeel = nullptr;
    cxRootLookAndFeelRefreshProc = nullptr;
  }
  // The controllers listened to this root only.
  FLookAndFeelControllerCount = 0;
}

TcxLookAndFeel* RootLookAndFeel() {
  if (FRootLookAndFeel == nullptr && !FUnitIsFinalized) {
    FRootLookAndFeel = new TcxRootLookAndFeel;
    // Painters added to or removed from the registry refresh the root.
    cxRootLookAndFeelRefreshProc = RefreshRootLookAndFeel;
  }
  return FRootLookAndFeel;
}

bool IsRootLookAndFeelAssigned() noexcept {
  return FRootLookAndFeel != nullptr;
}

bool cxIsTouchScrollUIModeEnabled() {
  if (FRootLookAndFeel == nullptr)
    return true;
  TdxScrollbarMode mode = FRootLookAndFeel->ScrollbarMode();
  return mode == sbmDefault || mode == sbmTouch;
}

// ---------------------------------------------------------------- forms

bool SetLookAndFeelProperty(TcxLookAndFeel& ALookAndFeel, const std::wstring& APath,
                            const TPropertyValue& AValue) {
  constexpr std::wstring_view prefix = L"LookAndFeel.";
  if (APath.size() <= prefix.size() || std::wstring_view(APath).substr(0, prefix.size()) != prefix)
    return false;
  return ALookAndFeel.SetProperty(APath.substr(prefix.size()), AValue);
}

// ---------------------------------------------------------------- unit

void InitLookAndFeelsUnit() {
  FUnitIsFinalized = false;
  RegisterComponentClass(L"TcxLookAndFeelController",
                         [](TComponent* AOwner) { return new TcxLookAndFeelController(AOwner); });
}

void DoneLookAndFeelsUnit() {
  FUnitIsFinalized = true;
  UnregisterComponentClass(L"TcxLookAndFeelController");
  // The reference goes first: while the root is destroyed, the other
  // look-and-feels find no master.
  TcxLookAndFeel* root = FRootLookAndFeel;
  FRootLookAndFeel = nullptr;
  cxRootLookAndFeelRefreshProc = nullptr;
  delete root;
}

} // namespace telvora
