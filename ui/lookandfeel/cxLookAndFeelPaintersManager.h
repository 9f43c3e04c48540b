#pragma once
// The painter registry: one instance of each painter class, created and
// registered at the registry's first use, kept sorted by name and answered
// by style or by name. The registry lives until the painters' unit shuts
// down; from then on cxLookAndFeelPaintersManager answers none.

#include "ui/lookandfeel/cxLookAndFeelPainters.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

// Told of painters added to and removed from the registry.
class IcxLookAndFeelPainterListener {
public:
  virtual void PainterAdded(TcxCustomLookAndFeelPainter* APainter) = 0;
  virtual void PainterRemoved(TcxCustomLookAndFeelPainter* APainter) = 0;

protected:
  ~IcxLookAndFeelPainterListener() = default;
};

// Fills a list with the names of the skins available, in place of the
// registry's own skin painters.
using TcxGetSkinNamesProc = void (*)(std::vector<std::wstring>& AList);
extern TcxGetSkinNamesProc GetSkinNamesProc;

// How the registry refreshes the root look-and-feel after a change made
// outside an update lock. The look-and-feel unit sets it while the root
// exists; none refreshes nobody.
using TcxRootLookAndFeelRefreshProc = void (*)();
extern TcxRootLookAndFeelRefreshProc cxRootLookAndFeelRefreshProc;

class TcxLookAndFeelPaintersManager {
public:
  TcxLookAndFeelPaintersManager();
  TcxLookAndFeelPaintersManager(const TcxLookAndFeelPaintersManager&) = delete;
  TcxLookAndFeelPaintersManager& operator=(const TcxLookAndFeelPaintersManager&) = delete;
  // Frees the registered painters.
  virtual ~TcxLookAndFeelPaintersManager();

  // Takes the painter in. False, and the painter is freed at once, when a
  // painter of the same name (ignoring case) is registered.
  bool Register(std::unique_ptr<TcxCustomLookAndFeelPainter> APainter);
  // Removes and frees the painter of that name (ignoring case); false when
  // there is none.
  bool Unregister(std::wstring_view AName);

  // The last registered painter of the style, or none. Unregistering it
  // leaves the style without a painter.
  TcxCustomLookAndFeelPainter* GetPainter(TcxLookAndFeelStyle AStyle) const noexcept;
  bool GetPainter(TcxLookAndFeelStyle AStyle,
                  TcxCustomLookAndFeelPainter*& APainter) const noexcept;
  // The first painter, in name order, whose name equals AName ignoring case.
  TcxCustomLookAndFeelPainter* GetPainter(std::wstring_view AName) const;
  bool GetPainter(std::wstring_view AName, TcxCustomLookAndFeelPainter*& APainter) const;

  // Listeners are not owned; adding one twice keeps one entry.
  void AddListener(IcxLookAndFeelPainterListener* AListener);
  void RemoveListener(IcxLookAndFeelPainterListener* AListener);

  // A nesting lock: changes made inside it refresh nobody. EndUpdate
  // refreshes the root when the lock opens; CancelUpdate does not.
  void BeginUpdate() noexcept;
  void EndUpdate();
  void CancelUpdate() noexcept;
  int LockCount() const noexcept { return FLockCount; }

  // Every registered painter, in name order, frees its cached images.
  void ReleaseImageResources();
  // Adds the skin names to AList: GetSkinNamesProc's when it is set, else
  // the names of the registered skin painters in name order.
  void PopulateSkinNames(std::vector<std::wstring>& AList);

  int GetCount() const noexcept { return static_cast<int>(FPainters.size()); }
  // The painter at a position in name order.
  TcxCustomLookAndFeelPainter* GetItem(int AIndex) const;

protected:
  virtual void DoPainterAdded(TcxCustomLookAndFeelPainter* APainter);
  virtual void DoPainterRemoved(TcxCustomLookAndFeelPainter* APainter);
  virtual void DoRootLookAndFeelChanged();
  void SortPainters();

private:
  int IndexOf(std::wstring_view AName) const;

  std::vector<IcxLookAndFeelPainterListener*> FListeners;
  int FLockCount = 0;
  std::vector<std::unique_ptr<TcxCustomLookAndFeelPainter>> FPainters;
  std::array<TcxCustomLookAndFeelPainter*, cxLookAndFeelStyleCount> FStandardPainters{};
};

// The registry with its five painters, created at the first call; none once
// the painters' unit has shut down.
TcxLookAndFeelPaintersManager* cxLookAndFeelPaintersManager();

// Start-up of the painters' unit: clears its shut-down flag and subscribes
// to system colour changes (a primary notifier, which discards the
// painters' cached images). Shut-down: sets the flag, lets every painter
// free its cached images, then frees the notifier and the registry.
void InitLookAndFeelPaintersUnit();
void DoneLookAndFeelPaintersUnit();

} // namespace telvora
