#pragma once
// The look-and-feel model.
//
// Every control that draws itself owns a TcxLookAndFeel. It stores only the
// values assigned to it; every other value comes from its master
// look-and-feel, or, without one, from the process-wide root look-and-feel,
// and at the end of the chain from the built-in defaults. From the resolved
// values it chooses the painter that draws the control. Any change up the
// chain is passed down: each look-and-feel re-resolves its values and
// painter and tells its listeners and its OnChanged handler.
//
// This header also brings the system colour notification the model listens
// to (cxSystemPalette.h), the canvas unit's subscriber to it
// (cxGraphicsPalette.h) and the controller that edits the root
// (cxLookAndFeelController.h).

#include "platform/Classes.h"
#include "platform/ListenerList.h"
#include "ui/lookandfeel/cxGraphicsPalette.h"
#include "ui/lookandfeel/cxLookAndFeelPainters.h"
#include "ui/lookandfeel/cxSystemPalette.h"
#include "ui/support/cxGraphics.h"
#include "ui/themes/dxThemeManager.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace telvora {

// One setting of a look-and-feel.
enum TcxLookAndFeelValue {
  lfvKind,
  lfvNativeStyle,
  lfvSkinName,
  lfvScrollbarMode,
  lfvRenderMode,
  lfvScrollMode
};

// A set of TcxLookAndFeelValue: bit n for ordinal n.
class TcxLookAndFeelValues {
public:
  constexpr TcxLookAndFeelValues() = default;
  constexpr TcxLookAndFeelValues(std::initializer_list<TcxLookAndFeelValue> values) {
    for (auto v : values)
      FBits = static_cast<std::uint8_t>(FBits | Bit(v));
  }
  static constexpr TcxLookAndFeelValues FromBits(std::uint8_t ABits) {
    TcxLookAndFeelValues r;
    r.FBits = static_cast<std::uint8_t>(ABits & 0x3F);
    return r;
  }
  constexpr bool Contains(TcxLookAndFeelValue v) const { return (FBits & Bit(v)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr std::uint8_t Bits() const { return FBits; }
  constexpr TcxLookAndFeelValues operator|(TcxLookAndFeelValues other) const {
    return FromBits(static_cast<std::uint8_t>(FBits | other.FBits));
  }
  constexpr TcxLookAndFeelValues operator&(TcxLookAndFeelValues other) const {
    return FromBits(static_cast<std::uint8_t>(FBits & other.FBits));
  }
  constexpr TcxLookAndFeelValues operator-(TcxLookAndFeelValues other) const {
    return FromBits(static_cast<std::uint8_t>(FBits & ~other.FBits));
  }
  constexpr bool operator==(const TcxLookAndFeelValues&) const = default;

private:
  static constexpr std::uint8_t Bit(TcxLookAndFeelValue v) {
    return static_cast<std::uint8_t>(1u << v);
  }
  std::uint8_t FBits = 0;
};

inline constexpr TcxLookAndFeelValues LookAndFeelValueAll = TcxLookAndFeelValues::FromBits(0x3F);

enum TdxScrollbarMode { sbmDefault, sbmTouch, sbmClassic, sbmHybrid };
enum TdxScrollMode { scmDefault, scmClassic, scmSmooth };
enum TdxRenderMode { rmDefault, rmGDI, rmDirectX, rmGDIPlus };
// The older stream value, mapped onto the scroll bar mode.
enum TdxTouchScrollUIMode { tsmDefault, tsmEnabled, tsmDisabled };
// The image set the skins draw from.
enum TdxSkinImageSet { imsDefault, imsAlternate };

// A skin (or painter) name; empty means none.
using TdxSkinName = std::wstring;

// Kind to style, and style to kind.
inline constexpr TcxLookAndFeelStyle cxLookAndFeelStyleMap[4] = {lfsFlat, lfsStandard, lfsUltraFlat,
                                                                 lfsOffice11};
inline constexpr TcxLookAndFeelKind cxLookAndFeelKindMap[cxLookAndFeelStyleCount] = {
    lfFlat, lfStandard, lfUltraFlat, lfStandard, lfOffice11, lfUltraFlat};

// Built-in defaults: the values at the end of every chain.
inline constexpr TcxLookAndFeelKind cxDefaultLookAndFeelKind = lfUltraFlat;
inline constexpr bool cxDefaultLookAndFeelNativeStyle = true;
inline constexpr const wchar_t* cxDefaultLookAndFeelSkinName = L"";
inline constexpr TdxScrollbarMode cxDefaultLookAndFeelScrollbarMode = sbmDefault;
inline constexpr TdxScrollMode cxDefaultLookAndFeelScrollMode = scmDefault;
inline constexpr TdxRenderMode cxDefaultLookAndFeelRenderMode = rmDefault;
// What the root's Reset restores.
inline constexpr bool cxDefaultUseSkins = true;
inline constexpr bool cxDefaultIsTouchModeEnabled = false;

// Process-wide settings.
// Skin painters may be used at all.
extern bool cxUseSkins;
// Painters enlarge touchable elements.
extern bool cxIsTouchModeEnabled;
// True only while the touch mode is switched: every look-and-feel then
// re-resolves and notifies, even with nothing changed.
extern bool cxIsTouchSettingsChanging;
extern TdxDefaultBoolean dxSkinShowFormShadow;
extern TdxSkinImageSet dxSkinsUseImageSet;
// Resolves skin names that no registered painter carries; none by default.
using TcxGetSkinPainterProc = TcxCustomLookAndFeelPainter* (*)(const TdxSkinName& AName);
extern TcxGetSkinPainterProc GetSkinPainterProc;

// Own, resolved or remembered values of a look-and-feel. UseSkins matters in
// the resolved values only: cxUseSkins when they were last resolved.
struct TcxLookAndFeelData {
  TcxLookAndFeelKind Kind = cxDefaultLookAndFeelKind;
  bool NativeStyle = cxDefaultLookAndFeelNativeStyle;
  TdxSkinName SkinName;
  TdxScrollbarMode ScrollbarMode = cxDefaultLookAndFeelScrollbarMode;
  TdxScrollMode ScrollMode = cxDefaultLookAndFeelScrollMode;
  TdxRenderMode RenderMode = cxDefaultLookAndFeelRenderMode;
  bool UseSkins = false;
};

class TcxLookAndFeel;

// What a listener of a look-and-feel implements (a look-and-feel listens to
// its master through it).
class IcxLookAndFeelNotificationListener {
public:
  // The implementing object.
  virtual TObject* GetObject() = 0;
  virtual void MasterLookAndFeelChanged(TcxLookAndFeel* Sender,
                                        TcxLookAndFeelValues AChangedValues) = 0;
  virtual void MasterLookAndFeelDestroying(TcxLookAndFeel* Sender) = 0;

protected:
  ~IcxLookAndFeelNotificationListener() = default;
};

// Optional: told when a notification begins and ends.
class IcxLookAndFeelNotificationListener2 {
public:
  virtual void MasterLookAndFeelBeginChange() = 0;
  virtual void MasterLookAndFeelEndChange() = 0;

protected:
  ~IcxLookAndFeelNotificationListener2() = default;
};

// A control that hands out its look-and-feel.
class IcxLookAndFeelContainer {
public:
  virtual TcxLookAndFeel* GetLookAndFeel() = 0;

protected:
  ~IcxLookAndFeelContainer() = default;
};

// Marks a control that can be skinned.
class IdxSkinSupport {
protected:
  ~IdxSkinSupport() = default;
};

class IdxSkinSupport2 : public IdxSkinSupport {
public:
  virtual bool IsSkinnable() = 0;

protected:
  ~IdxSkinSupport2() = default;
};

// A persistent object that keeps its owner; its lifetime is the owner's
// business.
class TcxInterfacedPersistent : public TObject {
public:
  explicit TcxInterfacedPersistent(TObject* AOwner) : FOwner(AOwner) {}
  TObject* Owner() const noexcept { return FOwner; }
  // Copies ASource into this object; raises EConvertError for a source this
  // class cannot take.
  virtual void Assign(const TObject* ASource);

private:
  TObject* FOwner;
};

using TcxLookAndFeelChangedEvent =
    std::function<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)>;

class TcxLookAndFeel : public TcxInterfacedPersistent,
                       public IcxLookAndFeelNotificationListener2,
                       public IcxLookAndFeelNotificationListener {
public:
  explicit TcxLookAndFeel(TObject* AOwner);
  ~TcxLookAndFeel() override;

  // Copies own values, the assigned set and the master of another
  // look-and-feel; reports the resolved values that changed.
  void Assign(const TObject* ASource) override;

  // The resolved values (no resolution at read time).
  TcxLookAndFeelKind Kind() const noexcept { return FCurrentState.Kind; }
  bool NativeStyle() const noexcept { return FCurrentState.NativeStyle; }
  const TdxSkinName& SkinName() const noexcept { return FCurrentState.SkinName; }
  TdxScrollbarMode ScrollbarMode() const noexcept { return FCurrentState.ScrollbarMode; }
  TdxScrollMode ScrollMode() const noexcept { return FCurrentState.ScrollMode; }
  TdxRenderMode RenderMode() const noexcept { return FCurrentState.RenderMode; }

  // Each setter marks its value assigned and notifies when the resolved
  // value changed.
  void SetKind(TcxLookAndFeelKind Value);
  void SetNativeStyle(bool Value);
  void SetSkinName(const TdxSkinName& Value);
  void SetScrollbarMode(TdxScrollbarMode Value);
  void SetScrollMode(TdxScrollMode Value);
  void SetRenderMode(TdxRenderMode Value);

  TcxLookAndFeelValues AssignedValues() const noexcept { return FAssignedValues; }
  // Values removed from the set fall back to inheritance.
  void SetAssignedValues(TcxLookAndFeelValues Value);

  // A value is written to a form description only when assigned.
  bool IsKindStored() const noexcept { return FAssignedValues.Contains(lfvKind); }
  bool IsNativeStyleStored() const noexcept { return FAssignedValues.Contains(lfvNativeStyle); }
  bool IsSkinNameStored() const noexcept { return FAssignedValues.Contains(lfvSkinName); }
  bool IsScrollbarModeStored() const noexcept { return FAssignedValues.Contains(lfvScrollbarMode); }
  bool IsScrollModeStored() const noexcept { return FAssignedValues.Contains(lfvScrollMode); }
  bool IsRenderModeStored() const noexcept { return FAssignedValues.Contains(lfvRenderMode); }

  // The explicit master, else the root (none for the root itself and after
  // the unit's shut-down).
  TcxLookAndFeel* GetMasterLookAndFeel() const noexcept;
  // Moves the subscription to the new master. The chain must stay acyclic.
  void SetMasterLookAndFeel(TcxLookAndFeel* Value);

  // Listeners (not owned) must implement IcxLookAndFeelNotificationListener;
  // other objects are ignored. A controller is accepted by the root only.
  void AddChangeListener(TObject* AListener);
  void RemoveChangeListener(TObject* AListener);
  int ChangeListenerCount() const noexcept { return static_cast<int>(FChangeListenerList.Count()); }

  // While nested, changes are collected and reported once by the outermost
  // EndUpdate.
  void BeginUpdate() noexcept;
  void EndUpdate();
  // Reports every value as changed.
  void Refresh();
  // Makes every value inherited again; the root also resets the global
  // settings.
  void Reset();

  // NativeStyle := (Value = lfsNative); without the native style also
  // Kind := the kind of the style.
  void SetStyle(TcxLookAndFeelStyle Value);

  // The painter for a caller that needs the given theme classes.
  virtual TcxCustomLookAndFeelPainter*
  GetAvailablePainter(TdxThemedObjectTypes ANeededThemedObjectTypes = {});
  TcxCustomLookAndFeelPainter* GetAvailablePainter(TdxThemedObjectType ANeededThemedObjectType);
  // The style in force for drawing without specific theme classes.
  TcxLookAndFeelStyle GetActiveStyle();

  TcxCustomLookAndFeelPainter* Painter() const noexcept { return FPainter; }
  TcxCustomLookAndFeelPainter* SkinPainter() const noexcept { return FSkinPainter; }

  TdxTouchScrollUIMode GetTouchScrollUIMode() const noexcept;
  void SetTouchScrollUIMode(TdxTouchScrollUIMode Value);

  bool IsRootLookAndFeel() const noexcept { return FIsRootLookAndFeel; }

  // Form descriptions: sets one published value ("Kind", "NativeStyle",
  // "SkinName", "ScrollbarMode", "ScrollMode", "RenderMode",
  // "AssignedValues") or reads the older entry "TouchScrollUIMode". False
  // for a name the look-and-feel does not have.
  bool SetProperty(const std::wstring& AName, const TPropertyValue& AValue);
  // Calls AWrite for each entry a form description gets, in published
  // order: the assigned values only.
  void WriteProperties(const std::function<void(const std::wstring& AName,
                                                const TPropertyValue& AValue)>& AWrite) const;

  TcxLookAndFeelChangedEvent OnChanged;
  TNotifyEvent OnMasterBeginChange;
  TNotifyEvent OnMasterEndChange;

  // IcxLookAndFeelNotificationListener
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel* Sender,
                                TcxLookAndFeelValues AChangedValues) override;
  void MasterLookAndFeelDestroying(TcxLookAndFeel* Sender) override;
  // IcxLookAndFeelNotificationListener2
  void MasterLookAndFeelBeginChange() override;
  void MasterLookAndFeelEndChange() override;

protected:
  // The root's constructor.
  TcxLookAndFeel(TObject* AOwner, bool AIsRootLookAndFeel);

  // The painter a skin name stands for: a registered painter of that name
  // (ignoring case), else GetSkinPainterProc's answer; none without skins.
  virtual TcxCustomLookAndFeelPainter* GetSkinPainter(const TdxSkinName& AName);
  virtual void InitializeCurrentState();
  virtual void InitializePainter();
  virtual TcxLookAndFeelKind InternalGetKind();
  virtual bool InternalGetNativeStyle();
  virtual TdxRenderMode InternalGetRenderMode();
  virtual TdxScrollbarMode InternalGetScrollbarMode();
  virtual TdxScrollMode InternalGetScrollMode();
  virtual TdxSkinName InternalGetSkinName();
  virtual TcxCustomLookAndFeelPainter* InternalGetSkinPainter();
  // A system colour change: reports lfvNativeStyle.
  virtual void SystemPaletteChanged();

  // Re-resolves and notifies (see the unit's notes).
  void Changed(TcxLookAndFeelValues AChangedValues);
  void SaveState();
  // Reports the resolved values that differ from the saved ones.
  void CheckStateChanges();

private:
  // The inherited values: master's, else root's, else built-in.
  TcxLookAndFeel* InheritFrom() const noexcept;
  void DoMasterLookAndFeelChanged(TcxLookAndFeelValues AChangedValues);
  void DoMasterLookAndFeelDestroying();
  // Assigns AField := ANew and notifies AValue when the resolved value
  // changed.
  template <class T>
  void AssignValue(TcxLookAndFeelValue AValue, T TcxLookAndFeelData::*AField, const T& ANew,
                   T (TcxLookAndFeel::*AResolve)());
  // Moves the subscription to another master; false when nothing changes.
  bool ChangeMaster(TcxLookAndFeel* Value);
  // Calls ANotify once for each listener, in list order; the handlers may
  // add and remove listeners meanwhile.
  template <class TNotify> void ForEachListener(TNotify ANotify);

  TcxLookAndFeelValues FAssignedValues;
  TcxLookAndFeelValues FChangedValues;
  TListenerList<TObject> FChangeListenerList;
  TcxLookAndFeelData FCurrentState;
  TcxLookAndFeelData FData;
  bool FIsDestruction = false;
  bool FIsRootLookAndFeel = false;
  TcxLookAndFeel* FMasterLookAndFeel = nullptr;
  TcxCustomLookAndFeelPainter* FPainter = nullptr;
  TcxCustomLookAndFeelPainter* FSkinPainter = nullptr;
  TcxLookAndFeelData FPrevState;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> FSystemPaletteChangedNotifier;
  int FUpdateLockCount = 0;

  friend class TcxRootLookAndFeel;
};

// The process-wide root: the master of every look-and-feel without one.
class TcxRootLookAndFeel : public TcxLookAndFeel {
public:
  TcxRootLookAndFeel();
  ~TcxRootLookAndFeel() override;
};

// The root, created at the first call; none once the unit has shut down.
TcxLookAndFeel* RootLookAndFeel();
// Whether the root exists; never creates it.
bool IsRootLookAndFeelAssigned() noexcept;
// True without a root, or when the root's scroll bar mode is sbmDefault or
// sbmTouch.
bool cxIsTouchScrollUIModeEnabled();

// Form-description support for an owner of a look-and-feel: applies a path
// "LookAndFeel.<name>" to ALookAndFeel. False for any other path.
bool SetLookAndFeelProperty(TcxLookAndFeel& ALookAndFeel, const std::wstring& APath,
                            const TPropertyValue& AValue);

// Start-up of the look-and-feel unit clears its shut-down flag; shut-down
// sets it and destroys the root.
void InitLookAndFeelsUnit();
void DoneLookAndFeelsUnit();

} // namespace telvora

// The controller edits the root through the model declared above.
#include "ui/lookandfeel/cxLookAndFeelController.h"
