#include "app/Main.h"

#include "platform/Clipboard.h"
#include "platform/Handles.h"

namespace telvora {

TfrmMain* frmMain = nullptr;

namespace {
template <class T> T* RequireComponent(TComponent* owner, const wchar_t* name) {
  T* component = dynamic_cast<T*>(owner->FindComponent(name));
  if (component == nullptr)
    throw EReadError(std::wstring(L"Component ") + name + L" missing from the form description");
  return component;
}
} // namespace

TNotifyEvent TfrmMain::FindMethod(const std::wstring& name) {
  if (name == L"btnKopyalaClick")
    return [this](TObject* sender) { btnKopyalaClick(sender); };
  if (name == L"btnMakineKoduokuClick")
    return [this](TObject* sender) { btnMakineKoduokuClick(sender); };
  return TCustomForm::FindMethod(name);
}

void TfrmMain::Loaded() {
  TCustomForm::Loaded();
  btnKopyala = RequireComponent<TcxButton>(this, L"btnKopyala");
  edtGuid = RequireComponent<TEdit>(this, L"edtGuid");
  btnMakineKoduoku = RequireComponent<TcxButton>(this, L"btnMakineKoduoku");
}

bool fgWindowsIs64Bit() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  TModule kernel(LoadLibraryW(L"kernel32.dll"));
  if (!kernel)
    return false;
  IsWow64ProcessFn isWow64Process = nullptr;
  BindProcAddress(kernel.Get(), "IsWow64Process", isWow64Process);
  if (isWow64Process == nullptr)
    return false;
  BOOL vIsWow64 = FALSE;
  if (isWow64Process(GetCurrentProcess(), &vIsWow64))
    return vIsWow64 != FALSE;
  return false;
}

TVariant TfrmMain::fgGetRegistryData2(HKEY xRootKey, const std::wstring& xKey,
                                      const std::wstring& xValue, bool xShowReadError) {
  REGSAM access = KEY_QUERY_VALUE;
  if (fgWindowsIs64Bit())
    access |= KEY_WOW64_64KEY;
  TRegistry registry(access);
  registry.SetRootKey(xRootKey);
  if (!registry.OpenKey(xKey) && xShowReadError)
    throw ERegistryException(Format(L"Reg Key not found: %s", {xKey}));
  if (!registry.ValueExists(xValue) && xShowReadError)
    throw ERegistryException(Format(L"Reg Name not found: %s\\%s", {xKey, xValue}));
  return TVariant(registry.ReadString(xValue));
}

void TfrmMain::btnMakineKoduokuClick(TObject*) {
  TVariant value = fgGetRegistryData2(HKEY_LOCAL_MACHINE, kMachineGuidKey, kMachineGuidValue, true);
  edtGuid->SetText(value.ToString());
}

void TfrmMain::btnKopyalaClick(TObject*) {
  Clipboard()->SetAsText(edtGuid->Text());
}

} // namespace telvora
