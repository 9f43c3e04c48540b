#include "platform/ProgramIcon.h"

namespace telvora {

namespace {
HICON LoadSharedIcon(HINSTANCE AInstance, int AWidth, int AHeight) {
  return static_cast<HICON>(
      LoadImageW(AInstance, L"MAINICON", IMAGE_ICON, AWidth, AHeight, LR_SHARED));
}
} // namespace

void SetProgramIcon(WNDCLASSEXW& AClass) {
  AClass.hIcon =
      LoadSharedIcon(AClass.hInstance, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
  AClass.hIconSm = LoadSharedIcon(AClass.hInstance, GetSystemMetrics(SM_CXSMICON),
                                  GetSystemMetrics(SM_CYSMICON));
}

} // namespace telvora
