#include "platform/OleLibrary.h"

#include "platform/Handles.h"

namespace telvora {

namespace {

struct TOleLibrary {
  TModule Module;
  TOleEntryPoints EntryPoints;
};

TOleLibrary& Library() {
  static TOleLibrary library;
  return library;
}

template <class T> void Bind(HMODULE AModule, const char* AName, T& AEntry) {
  AEntry = reinterpret_cast<T>(GetProcAddress(AModule, AName));
}

} // namespace

const TOleEntryPoints& Ole32() {
  TOleLibrary& library = Library();
  if (!library.Module) {
    library.Module.Reset(LoadLibraryW(L"ole32.dll"));
    if (HMODULE module = library.Module.Get()) {
      TOleEntryPoints& e = library.EntryPoints;
      Bind(module, "OleInitialize", e.OleInitialize);
      Bind(module, "OleUninitialize", e.OleUninitialize);
      Bind(module, "CoInitialize", e.CoInitialize);
      Bind(module, "CoUninitialize", e.CoUninitialize);
      Bind(module, "CreateStreamOnHGlobal", e.CreateStreamOnHGlobal);
    }
  }
  return library.EntryPoints;
}

void ReleaseOle32() {
  TOleLibrary& library = Library();
  library.EntryPoints = {};
  library.Module.Reset();
}

} // namespace telvora
