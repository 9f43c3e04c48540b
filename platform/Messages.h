#pragma once
// Messages of the window framework: CM_ messages are the framework's own
// notifications to controls, CN_ messages are Windows notifications that a
// parent reflects back to the child control they concern.

#include <windows.h>

namespace telvora {

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_DIALOGKEY = CM_BASE + 16;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_RELEASE = CM_BASE + 33;

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;

// A window message as handed through a control's WndProc.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

inline int XFromLParam(LPARAM lParam) noexcept {
  return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam)));
}
inline int YFromLParam(LPARAM lParam) noexcept {
  return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam)));
}

} // namespace telvora
