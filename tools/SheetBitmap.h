#pragma once
// What the contact-sheet tools share: writing the picture as a 24-bit BMP
// file, and the program's frame (arguments, unit start-up and shut-down,
// errors).

#include "ui/support/cxGraphics.h"

#include <string>

namespace telvora {

bool SaveBmp(TcxBitmap32& ABitmap, const std::wstring& AFileName);
// SaveBmp, saying on stderr when the file cannot be written; answers the
// program's exit code.
int SaveSheet(TcxBitmap32& ASheet, const std::wstring& AFileName);

// The tool's main: one argument, the output file, handed to ARun between
// the units' start-up and shut-down; an exception is reported with AName.
int RunSheetTool(int argc, wchar_t** argv, const char* AName,
                 int (*ARun)(const std::wstring& AFileName));

} // namespace telvora
