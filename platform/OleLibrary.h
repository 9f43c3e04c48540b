#pragma once
// ole32, bound at run time. The program needs it from the application
// object's creation on (OLE for the main thread) and for memory streams;
// linked as an import it would be loaded, with what it needs, before the
// program's entry point, which costs every start several milliseconds under
// Wine even where the load itself is not the slow part.

#include <windows.h>

#include <objidl.h>

namespace telvora {

// The ole32 entry points the program uses; each is none when ole32 or the
// function cannot be had.
struct TOleEntryPoints {
  HRESULT(WINAPI* OleInitialize)(LPVOID) = nullptr;
  void(WINAPI* OleUninitialize)() = nullptr;
  HRESULT(WINAPI* CoInitialize)(LPVOID) = nullptr;
  void(WINAPI* CoUninitialize)() = nullptr;
  HRESULT(WINAPI* CreateStreamOnHGlobal)(HGLOBAL, BOOL, LPSTREAM*) = nullptr;
};

// Loads ole32 on first use (again after ReleaseOle32) and answers its entry
// points.
const TOleEntryPoints& Ole32();
// Frees ole32 and forgets its entry points: at the framework's shut-down,
// after the application object has uninitialised OLE.
void ReleaseOle32();

} // namespace telvora
