#include "platform/ProgramIcon.h"

namespace telvora {

namespace {
constexpr wchar_t kProgramIconName[] = L"MAINICON";

HICON LoadSharedIcon(HINSTANCE AInstance, int AWidth, int AHeight) {
  return static_cast<HICON>(
      LoadImageW(AInstance, kProgramIconName, IMAGE_ICON, AWidth, AHeight, LR_SHARED));
}
} // namespace

TProgramIcon ProgramIcon(HINSTANCE AInstance) {
  return {LoadSharedIcon(AInstance, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)),
          LoadSharedIcon(AInstance, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON))};
}

void SetProgramIcon(WNDCLASSEXW& AClass) {
  const TProgramIcon icon = ProgramIcon(AClass.hInstance);
  AClass.hIcon = icon.Large;
  AClass.hIconSm = icon.Small;
}

} // namespace telvora
