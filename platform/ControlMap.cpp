#include "platform/ControlMap.h"

namespace telvora {

TWinControl* TControlMap::Get(HWND window) {
  std::lock_guard lock(FLock);
  const auto it = FControls.find(window);
  return it != FControls.end() ? it->second : nullptr;
}

void TControlMap::Set(HWND window, TWinControl* control) {
  std::lock_guard lock(FLock);
  FControls[window] = control;
}

void TControlMap::Remove(HWND window) {
  std::lock_guard lock(FLock);
  FControls.erase(window);
}

TControlMap& ControlMap() {
  static TControlMap map;
  return map;
}

} // namespace telvora
