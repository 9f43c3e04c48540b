// TELVORA: shows this computer's machine GUID and copies it to the clipboard.

#include "app/Main.h"
#include "app/ProgramUnits.h"
#include "platform/Application.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  using namespace telvora;
  StartProgramUnits();
  Application()->Initialize();
  Application()->SetMainFormOnTaskBar(true);
  try {
    Application()->CreateForm(frmMain);
  } catch (...) {
    Application()->HandleException(Application());
    StopProgramUnits();
    return 1;
  }
  Application()->Run();
  StopProgramUnits();
  return 0;
}
