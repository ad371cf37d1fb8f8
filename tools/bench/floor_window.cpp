// The start-up floor: the least a Win32 program does to show one window. It registers a class, creates and
// shows an empty window and runs its messages until the window is closed, built and linked exactly as the
// panel is, so that the ratio of the two leaves Wine's own process start out of the comparison.

#include <windows.h>

#include "floor_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  HWND window =
      qm::bench::CreateFloorWindow(instance, L"QuenmarelBenchFloor", L"Quenmarel benchmark floor", 640, 320);
  if (window == nullptr)
    return 1;
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  return qm::bench::RunFloorMessages();
}
