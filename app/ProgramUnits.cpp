#include "app/ProgramUnits.h"

#include "platform/FrameworkUnits.h"
#include "platform/Units.h"
#include "ui/buttons/cxLibraryUnits.h"

namespace telvora {

namespace {
void NoStep() {}

// The program's own unit, started after the framework's and the library's.
const TUnit kProgramUnits[] = {
    {L"Main", NoStep, NoStep},
};
} // namespace

void StartProgramUnits() {
  StartUnits({FrameworkUnits(), cxLibraryUnits(), kProgramUnits});
}

void StopProgramUnits() {
  StopUnits();
}

} // namespace telvora
