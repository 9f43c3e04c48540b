#pragma once
// The control of each window this framework made or subclassed. Every
// message looks its window up; a window property would cost a round trip to
// the window server under Wine at each message, so the framework keeps the
// association itself.

#include <windows.h>

#include <mutex>
#include <unordered_map>

namespace telvora {

class TWinControl;

class TControlMap {
public:
  // The control of `window`, or none.
  TWinControl* Get(HWND window);
  void Set(HWND window, TWinControl* control);
  void Remove(HWND window);

private:
  std::mutex FLock;
  std::unordered_map<HWND, TWinControl*> FControls;
};

// The program's one map.
TControlMap& ControlMap();

} // namespace telvora
