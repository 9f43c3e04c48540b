#pragma once
// Drives a real program on the desktop as a person would: starts it, finds
// its windows, moves the real mouse and presses real keys (SendInput), reads
// what is shown (captions, texts, sizes, the focus, message boxes, the
// clipboard) and waits for it to end. Every wait is bounded; nothing here
// pumps messages, since the program under test is another process.
// A program that uses these helpers runs per-monitor DPI aware, so that all
// sizes and positions are physical pixels whatever the other program's DPI
// (PhysicalPixels.h).
//
// This header brings in every part; a test may include the part it uses.

#include "platform/Handles.h"
#include "platform/SysUtils.h" // ToUtf8
#include "tests/support/ClipboardText.h"
#include "tests/support/DesktopProcess.h"
#include "tests/support/DesktopWindows.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/RealInput.h"
#include "tests/support/RegistryString.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/SystemErrorText.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaitUntil.h"
#include "tests/support/WindowFocus.h"
#include "tests/support/WindowPaint.h"
