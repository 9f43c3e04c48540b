#pragma once
// The window framework's units in start-up order: forms and the
// application object, the standard controls, menus, actions and the
// clipboard. A program starts them first, before the units built on them:
//   StartUnits({FrameworkUnits(), cxLibraryUnits(), <its own units>});

#include "platform/Units.h"

#include <span>

namespace telvora {

std::span<const TUnit> FrameworkUnits();

} // namespace telvora
