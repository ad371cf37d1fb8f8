// The program: the main window is the start-up object; there is no command line and nothing to read first.

#include <windows.h>

#include <exception>

#include "ui/application_title.h"
#include "ui/frmMain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    qm::frmMain window(instance);
    window.Form_Load();
    return qm::RunMessageLoop(window);
  } catch (const std::exception&) {
    // Only the creation of the window itself can fail this way; there is no panel to report on.
    ::MessageBoxW(nullptr, L"The main window could not be created.", qm::kApplicationTitle,
                  MB_OK | MB_ICONERROR);
    return 1;
  }
}
