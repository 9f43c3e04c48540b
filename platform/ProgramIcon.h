#pragma once

#include <windows.h>

namespace telvora {

// The program's icon ("MAINICON" in the executable's resources) in the two
// sizes a window class carries: the large one and the small one of the
// caption and task bar. Both are the system's shared copies (never
// destroyed); a handle is null when the resource is missing.
struct TProgramIcon {
  HICON Large;
  HICON Small;
};

TProgramIcon ProgramIcon(HINSTANCE AInstance);

// Fills the icon fields of a window class with ProgramIcon's. Giving the
// small icon too spares the system deriving one from the large icon's
// resource at every class registration.
void SetProgramIcon(WNDCLASSEXW& AClass);

} // namespace telvora
