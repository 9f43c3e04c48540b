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

} // namespace

const TOleEntryPoints& Ole32() {
  TOleLibrary& library = Library();
  if (!library.Module) {
    library.Module.Reset(LoadLibraryW(L"ole32.dll"));
    if (HMODULE module = library.Module.Get()) {
      TOleEntryPoints& e = library.EntryPoints;
      BindProcAddress(module, "OleInitialize", e.OleInitialize);
      BindProcAddress(module, "OleUninitialize", e.OleUninitialize);
      BindProcAddress(module, "CoInitialize", e.CoInitialize);
      BindProcAddress(module, "CoUninitialize", e.CoUninitialize);
      BindProcAddress(module, "CreateStreamOnHGlobal", e.CreateStreamOnHGlobal);
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
