#pragma once
// The system's menu-animation setting, which decides whether state changes
// fade; tests switch it and put it back.

#include <windows.h>

namespace telvora::testing {

inline void SetMenuAnimation(bool AOn) {
  SystemParametersInfoW(SPI_SETMENUANIMATION, 0,
                        reinterpret_cast<void*>(static_cast<UINT_PTR>(AOn ? TRUE : FALSE)), 0);
}

inline bool MenuAnimation() {
  BOOL value = FALSE;
  SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &value, 0);
  return value != FALSE;
}

} // namespace telvora::testing
