// The start-up floor of a window like the panel's: the least a Win32 program does to show the same controls.
// From the panel's own layout table it creates each control with its system class and caption, in its place
// and font, shows and paints the window, puts a text on the status label and runs its messages until the
// window is closed. No menu, tooltip, colours, option logic, files or database: what lies between this and
// the panel is the panel's own start-up work. It is built with the panel's resources, so that the same
// common controls draw it.

#include <windows.h>

#include "floor_window.h"
#include "layout_floor.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  HWND window = qm::bench::CreateFloorWindow(instance, L"QuenmarelBenchControlsFloor",
                                             L"Quenmarel benchmark floor with controls");
  if (window == nullptr)
    return 1;
  const UINT dpi = ::GetDpiForWindow(window);
  const qm::FontSet fonts(dpi, qm::MainCaptions());
  for (const qm::ControlLayout* control : qm::CreationOrder()) {
    if (qm::bench::CreateFloorControl(instance, window, *control, fonts, dpi) == nullptr)
      return 1;
  }
  qm::bench::PlaceLikeThePanel(window, dpi);
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  ::SetWindowTextW(::GetDlgItem(window, qm::ControlId(L"lblStatus")), L"Status: OK.");
  return qm::bench::RunFloorMessages();
}
