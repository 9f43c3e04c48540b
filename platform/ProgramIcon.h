#pragma once

#include <windows.h>

namespace telvora {

// Gives a window class the program's icon ("MAINICON" in the executable's
// resources, that is AClass.hInstance's) in both sizes a class carries: the
// large one and the small one of the caption and task bar. Both are the
// system's shared copies (never destroyed); without the resource both are
// null. Giving the small icon too spares the system deriving one from the
// large icon's resource at every class registration.
void SetProgramIcon(WNDCLASSEXW& AClass);

} // namespace telvora
