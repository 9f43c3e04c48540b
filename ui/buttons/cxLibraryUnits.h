#pragma once
// The UI library's units in start-up order, from the theme library binding
// to the push button. They need the window framework's units started first:
//   StartUnits({FrameworkUnits(), cxLibraryUnits(), <the program's units>});

#include "platform/Units.h"

#include <span>

namespace telvora {

std::span<const TUnit> cxLibraryUnits();

} // namespace telvora
