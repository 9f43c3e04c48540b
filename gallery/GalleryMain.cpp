// ButtonGallery: every kind of the library's push button in every
// look-and-feel and with its options, as live controls in one window.

#include "app/ProgramUnits.h"
#include "gallery/GalleryControls.h"
#include "gallery/frmGallery.h"
#include "platform/Application.h"
#include "platform/Units.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  using namespace telvora;
  StartProgramUnits();
  // The gallery's own controls are known to form descriptions while the
  // units run; they are forgotten at the end, before the units shut down.
  RegisterGalleryControls();
  AddExitProc(UnregisterGalleryControls);
  Application()->Initialize();
  Application()->SetMainFormOnTaskBar(true);
  try {
    Application()->CreateForm(frmGallery);
    CentreOnWorkArea(*frmGallery);
  } catch (...) {
    Application()->HandleException(Application());
    StopProgramUnits();
    return 1;
  }
  Application()->Run();
  StopProgramUnits();
  return 0;
}
