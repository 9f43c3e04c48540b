#pragma once
// Keyboard shortcuts ("Ctrl+O") and their texts, and the accelerator
// character of a caption ("&Open").

#include "platform/Controls.h" // TShiftState

#include <windows.h>

#include <string>

namespace telvora {

// A keyboard shortcut: the virtual key in the low byte, the modifiers above.
using TShortCut = WORD;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The shortcut of a key (below 256) with the Shift, Ctrl and Alt of AShift;
// scNone for a key above.
TShortCut ShortCut(WORD AKey, TShiftState AShift);
// "Ctrl+O", "Shift+F10", "Ctrl+Alt+Del": modifiers in the order Ctrl, Alt,
// Shift, then the key's name; empty for scNone or a key without a name.
std::wstring ShortCutToText(TShortCut AShortCut);
// The shortcut ShortCutToText writes as AText (modifiers in any order, any
// case); scNone when the text names none.
TShortCut TextToShortCut(const std::wstring& AText);

// The accelerator character of a caption: the character after the first
// single "&", upper case; 0 when there is none.
wchar_t GetHotkey(const std::wstring& ACaption);

} // namespace telvora
