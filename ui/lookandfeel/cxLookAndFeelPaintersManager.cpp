#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"

#include "platform/SysUtils.h"
#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/lookandfeel/cxPngResourceImage.h"

#include <algorithm>

namespace telvora {

TcxGetSkinNamesProc GetSkinNamesProc = nullptr;
TcxRootLookAndFeelRefreshProc cxRootLookAndFeelRefreshProc = nullptr;

namespace {

TcxLookAndFeelPaintersManager* FLookAndFeelPaintersManager = nullptr;
bool FPaintersUnitFinalized = false;

// The user's locale order, case-sensitive.
bool NameLess(const std::wstring& a, const std::wstring& b) noexcept {
  return CompareStringW(LOCALE_USER_DEFAULT, 0, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                        static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

// Calls `notify` once for each listener, from the last to the first. The
// walk goes over the listeners there were when it began and calls each only
// while it is still in the list: a listener may remove itself or others
// meanwhile; one added meanwhile is told of the next change.
template <class TNotify>
void NotifyLastToFirst(const std::vector<IcxLookAndFeelPainterListener*>& list, TNotify notify) {
  const std::vector<IcxLookAndFeelPainterListener*> snapshot(list);
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (std::find(list.begin(), list.end(), *it) != list.end())
      notify(*it);
  }
}

// The painters' unit's subscriber: a colour change invalidates the images
// the painters have cached.
class TSystemPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
public:
  TSystemPaletteChangedNotifier() : TcxSystemPaletteChangedNotifier(true) {}

  void DoChanged() override {
    TcxSystemPaletteChangedNotifier::DoChanged();
    if (FLookAndFeelPaintersManager != nullptr)
      FLookAndFeelPaintersManager->ReleaseImageResources();
  }
};

TSystemPaletteChangedNotifier* FSystemPaletteChangedNotifier = nullptr;

// Closes the update lock without a refresh when the registry's filling
// ends, also by an exception.
class TCancelUpdateOnExit {
public:
  explicit TCancelUpdateOnExit(TcxLookAndFeelPaintersManager& AManager) : FManager(AManager) {}
  TCancelUpdateOnExit(const TCancelUpdateOnExit&) = delete;
  TCancelUpdateOnExit& operator=(const TCancelUpdateOnExit&) = delete;
  ~TCancelUpdateOnExit() { FManager.CancelUpdate(); }

private:
  TcxLookAndFeelPaintersManager& FManager;
};

void RegisterPainters(TcxLookAndFeelPaintersManager& AManager) {
  AManager.BeginUpdate();
  TCancelUpdateOnExit cancel(AManager);
  AManager.Register(std::make_unique<TcxFlatLookAndFeelPainter>());
  AManager.Register(std::make_unique<TcxOffice11LookAndFeelPainter>());
  AManager.Register(std::make_unique<TcxStandardLookAndFeelPainter>());
  AManager.Register(std::make_unique<TcxUltraFlatLookAndFeelPainter>());
  AManager.Register(std::make_unique<TcxWinXPLookAndFeelPainter>());
}

} // namespace

// ---------------------------------------------------------------- registry

TcxLookAndFeelPaintersManager::TcxLookAndFeelPaintersManager() = default;

TcxLookAndFeelPaintersManager::~TcxLookAndFeelPaintersManager() {
  FStandardPainters.fill(nullptr);
  FPainters.clear();
}

bool TcxLookAndFeelPaintersManager::Register(
    std::unique_ptr<TcxCustomLookAndFeelPainter> APainter) {
  if (!APainter)
    return false;
  if (IndexOf(APainter->LookAndFeelName()) >= 0)
    return false; // the refused painter goes with APainter
  TcxCustomLookAndFeelPainter* painter = APainter.get();
  FPainters.push_back(std::move(APainter));
  SortPainters();
  DoPainterAdded(painter);
  return true;
}

bool TcxLookAndFeelPaintersManager::Unregister(std::wstring_view AName) {
  int index = IndexOf(AName);
  if (index < 0)
    return false;
  // Owned here until the end, so that it is freed also when a listener
  // raises.
  std::unique_ptr<TcxCustomLookAndFeelPainter> painter = std::move(FPainters[index]);
  FPainters.erase(FPainters.begin() + index);
  DoPainterRemoved(painter.get());
  return true;
}

TcxCustomLookAndFeelPainter*
TcxLookAndFeelPaintersManager::GetPainter(TcxLookAndFeelStyle AStyle) const noexcept {
  int index = static_cast<int>(AStyle);
  if (index < 0 || index >= cxLookAndFeelStyleCount)
    return nullptr;
  return FStandardPainters[index];
}

bool TcxLookAndFeelPaintersManager::GetPainter(
    TcxLookAndFeelStyle AStyle, TcxCustomLookAndFeelPainter*& APainter) const noexcept {
  APainter = GetPainter(AStyle);
  return APainter != nullptr;
}

TcxCustomLookAndFeelPainter*
TcxLookAndFeelPaintersManager::GetPainter(std::wstring_view AName) const {
  int index = IndexOf(AName);
  return index >= 0 ? FPainters[index].get() : nullptr;
}

bool TcxLookAndFeelPaintersManager::GetPainter(std::wstring_view AName,
                                               TcxCustomLookAndFeelPainter*& APainter) const {
  APainter = GetPainter(AName);
  return APainter != nullptr;
}

void TcxLookAndFeelPaintersManager::AddListener(IcxLookAndFeelPainterListener* AListener) {
  if (AListener != nullptr &&
      std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
    FListeners.push_back(AListener);
}

void TcxLookAndFeelPaintersManager::RemoveListener(IcxLookAndFeelPainterListener* AListener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it != FListeners.end())
    FListeners.erase(it);
}

void TcxLookAndFeelPaintersManager::BeginUpdate() noexcept {
  ++FLockCount;
}

void TcxLookAndFeelPaintersManager::EndUpdate() {
  if (FLockCount <= 0)
    return;
  if (--FLockCount == 0)
    DoRootLookAndFeelChanged();
}

void TcxLookAndFeelPaintersManager::CancelUpdate() noexcept {
  if (FLockCount > 0)
    --FLockCount;
}

void TcxLookAndFeelPaintersManager::ReleaseImageResources() {
  for (const auto& painter : FPainters)
    painter->ReleaseImageResources();
}

void TcxLookAndFeelPaintersManager::PopulateSkinNames(std::vector<std::wstring>& AList) {
  if (GetSkinNamesProc != nullptr) {
    GetSkinNamesProc(AList);
    return;
  }
  for (const auto& painter : FPainters)
    if (painter->LookAndFeelStyle() == lfsSkin)
      AList.push_back(painter->LookAndFeelName());
}

TcxCustomLookAndFeelPainter* TcxLookAndFeelPaintersManager::GetItem(int AIndex) const {
  return FPainters.at(static_cast<size_t>(AIndex)).get();
}

void TcxLookAndFeelPaintersManager::DoPainterAdded(TcxCustomLookAndFeelPainter* APainter) {
  int style = static_cast<int>(APainter->LookAndFeelStyle());
  if (style >= 0 && style < cxLookAndFeelStyleCount)
    FStandardPainters[style] = APainter;
  if (FLockCount == 0)
    DoRootLookAndFeelChanged();
  NotifyLastToFirst(FListeners, [APainter](IcxLookAndFeelPainterListener* listener) {
    listener->PainterAdded(APainter);
  });
}

void TcxLookAndFeelPaintersManager::DoPainterRemoved(TcxCustomLookAndFeelPainter* APainter) {
  int style = static_cast<int>(APainter->LookAndFeelStyle());
  if (style >= 0 && style < cxLookAndFeelStyleCount)
    FStandardPainters[style] = nullptr;
  if (FLockCount == 0)
    DoRootLookAndFeelChanged();
  NotifyLastToFirst(FListeners, [APainter](IcxLookAndFeelPainterListener* listener) {
    listener->PainterRemoved(APainter);
  });
}

void TcxLookAndFeelPaintersManager::DoRootLookAndFeelChanged() {
  if (cxRootLookAndFeelRefreshProc != nullptr)
    cxRootLookAndFeelRefreshProc();
}

void TcxLookAndFeelPaintersManager::SortPainters() {
  std::stable_sort(FPainters.begin(), FPainters.end(), [](const auto& a, const auto& b) {
    return NameLess(a->LookAndFeelName(), b->LookAndFeelName());
  });
}

int TcxLookAndFeelPaintersManager::IndexOf(std::wstring_view AName) const {
  for (size_t i = 0; i < FPainters.size(); ++i)
    if (SameText(FPainters[i]->LookAndFeelName(), AName))
      return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------- accessor

TcxLookAndFeelPaintersManager* cxLookAndFeelPaintersManager() {
  if (FLookAndFeelPaintersManager == nullptr && !FPaintersUnitFinalized) {
    FLookAndFeelPaintersManager = new TcxLookAndFeelPaintersManager;
    RegisterPainters(*FLookAndFeelPaintersManager);
  }
  return FLookAndFeelPaintersManager;
}

// ---------------------------------------------------------------- unit

void InitLookAndFeelPaintersUnit() {
  FPaintersUnitFinalized = false;
  if (FSystemPaletteChangedNotifier == nullptr)
    FSystemPaletteChangedNotifier = new TSystemPaletteChangedNotifier;
}

void DoneLookAndFeelPaintersUnit() {
  FPaintersUnitFinalized = true;
  if (FLookAndFeelPaintersManager != nullptr)
    FLookAndFeelPaintersManager->ReleaseImageResources();
  delete FSystemPaletteChangedNotifier;
  FSystemPaletteChangedNotifier = nullptr;
  TcxLookAndFeelPaintersManager* manager = FLookAndFeelPaintersManager;
  FLookAndFeelPaintersManager = nullptr;
  delete manager;
  // The decoded resource images (the command-link glyph) and GDI+ with them.
  cxReleasePngResources();
}

} // namespace telvora
