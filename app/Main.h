#pragma once
// The main window: a read-only edit box showing the machine GUID, "GUID Oku"
// reading it from the registry and "Kopyala" copying it to the clipboard.

#include "platform/Forms.h"
#include "platform/Registry.h"
#include "platform/StdCtrls.h"
#include "platform/Variant.h"
#include "ui/buttons/cxButtons.h"

namespace telvora {

class TfrmMain : public TCustomForm {
public:
  explicit TfrmMain(TComponent* AOwner) : TCustomForm(AOwner) {}
  std::wstring ClassName() const override { return L"TfrmMain"; }

  TcxButton* btnKopyala = nullptr;
  TEdit* edtGuid = nullptr;
  TcxButton* btnMakineKoduoku = nullptr;

  void btnMakineKoduokuClick(TObject* Sender);
  void btnKopyalaClick(TObject* Sender);
  // Reads the text of value `xValue` under `xKey` of `xRootKey`; a missing
  // key or value raises only when `xShowReadError` is true.
  TVariant fgGetRegistryData2(HKEY xRootKey, const std::wstring& xKey, const std::wstring& xValue,
                              bool xShowReadError);

  TNotifyEvent FindMethod(const std::wstring& name) override;
  void Loaded() override;
};

// Whether this process runs under WOW64 (a 32-bit process on 64-bit Windows).
bool fgWindowsIs64Bit();

extern TfrmMain* frmMain;

// Where the machine GUID lives.
inline constexpr wchar_t kMachineGuidKey[] = L"\\SOFTWARE\\Microsoft\\Cryptography";
inline constexpr wchar_t kMachineGuidValue[] = L"MachineGuid";

} // namespace telvora
